// Whether the computer should be restarted after an update, and why, the
// way each family tells it: each manager that ran answers for itself
// (ManagerFacts::restart): Debian and Ubuntu in apt.cpp, Fedora in dnf.cpp,
// Arch in pacman.cpp.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "managers.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

struct RestartNeed {
  bool needed = false;
  std::vector<std::string> because;  // package names, or "linux" for the kernel
};

struct RestartQuestion {
  std::vector<Step> steps;  // what the update ran
  // What each of them updated, by name, where that is known.
  std::vector<std::pair<Step, std::vector<std::string>>> updated;
  std::string kernel_release;  // uname -r
  [[nodiscard]] const std::vector<std::string>& updated_by(Step step) const;
};

// Blocks while a manager answers (dnf, within the local time limit).
RestartNeed restart_needed(const RestartQuestion& question, const CheckSetup& setup);

}  // namespace sorvane::gui

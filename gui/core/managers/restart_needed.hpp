// Whether the computer should be restarted after an update, and why, the
// way each family tells it:
//   Debian, Ubuntu  /run/reboot-required (and its .pkgs, the packages that
//                   asked), which update-notifier's hooks write; where
//                   nothing writes it (Debian without unattended-upgrades),
//                   an updated package that only takes effect on a restart:
//                   a kernel image, the C library, systemd, D-Bus,
//                   microcode or firmware;
//   Fedora          `dnf needs-restarting -r`, which exits 1 when one is due;
//   Arch            the running kernel's modules, /usr/lib/modules/<release>,
//                   are gone once its package was upgraded.
#pragma once

#include <string>
#include <vector>

#include "managers.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

struct RestartNeed {
  bool needed = false;
  std::vector<std::string> because;  // package names, or "linux" for the kernel
};

struct RestartQuestion {
  std::vector<Step> steps;                  // what the update ran
  std::vector<std::string> updated_by_apt;  // what apt updated, by name
  std::string kernel_release;               // uname -r
};

// An apt package that takes effect only on a restart.
bool needs_restart_on_debian(const std::string& package);

// Blocks for dnf's answer (within the local time limit); the rest is files.
RestartNeed restart_needed(const RestartQuestion& question, const CheckSetup& setup);

}  // namespace sorvane::gui

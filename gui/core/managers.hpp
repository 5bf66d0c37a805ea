// The five package managers as Sorvane Update knows them, one row each, in
// the order the update script runs them: the privileged ones under one
// sudo, then flatpak as the user. Every fact the window needs about a
// manager is here and nowhere else.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "detection.hpp"

namespace sorvane::gui {

// A manager, as a step of the update script.
enum class Step : std::uint8_t { Pacman, Apt, Dnf, Snap, Flatpak };

struct CheckSetup;
struct ManagerCheck;
// Asks a manager what it would update (pending_check.cpp).
using CheckFunction = ManagerCheck (*)(const CheckSetup&);
ManagerCheck check_pacman(const CheckSetup& setup);
ManagerCheck check_apt(const CheckSetup& setup);
ManagerCheck check_dnf(const CheckSetup& setup);
ManagerCheck check_snap(const CheckSetup& setup);
ManagerCheck check_flatpak(const CheckSetup& setup);

// What a manager updates, for the screen's words about it.
enum class Updates : std::uint8_t { SystemPackages, Snaps, UserApps };

struct Manager {
  Step step;
  ManagerKind kind;            // as sorvane reports it; its report order
  std::string_view name;       // the program, and what the screen calls it
  std::string_view step_line;  // what the script prints before running it
  bool under_sudo;             // run as root by the script
  Updates updates;
  CheckFunction check;
};

inline constexpr std::array<Manager, 5> MANAGERS = {{
    {Step::Pacman, ManagerKind::Pacman, "pacman", "Updating pacman packages...", true,
     Updates::SystemPackages, check_pacman},
    {Step::Apt, ManagerKind::Apt, "apt", "Updating apt packages...", true, Updates::SystemPackages,
     check_apt},
    {Step::Dnf, ManagerKind::Dnf, "dnf", "Updating dnf packages...", true, Updates::SystemPackages,
     check_dnf},
    {Step::Snap, ManagerKind::Snap, "snap", "Updating Snap packages...", true, Updates::Snaps,
     check_snap},
    {Step::Flatpak, ManagerKind::Flatpak, "flatpak", "Updating Flatpak packages...", false,
     Updates::UserApps, check_flatpak},
}};

constexpr const Manager& manager(Step step) {
  return MANAGERS.at(static_cast<size_t>(step));
}
constexpr std::string_view manager_name(Step step) {
  return manager(step).name;
}
constexpr std::string_view step_line(Step step) {
  return manager(step).step_line;
}
constexpr bool runs_under_sudo(Step step) {
  return manager(step).under_sudo;
}
constexpr std::optional<Step> step_of(ManagerKind kind) {
  for (const Manager& row : MANAGERS) {
    if (row.kind == kind) return row.step;
  }
  return std::nullopt;
}
constexpr std::optional<Step> step_named(std::string_view name) {
  for (const Manager& row : MANAGERS) {
    if (row.name == name) return row.step;
  }
  return std::nullopt;
}
// Sorvane's report lists managers in its own order; the screen follows it.
constexpr bool reported_before(Step a, Step b) {
  return manager(a).kind < manager(b).kind;
}

// The programs the update script looks up on its PATH: sudo and bash, then
// the managers.
inline constexpr std::array<std::string_view, 2 + MANAGERS.size()> SCRIPT_PROGRAMS = [] {
  std::array<std::string_view, 2 + MANAGERS.size()> names{"sudo", "bash"};
  for (size_t i = 0; i < MANAGERS.size(); ++i) names.at(2 + i) = MANAGERS.at(i).name;
  return names;
}();

static_assert(
    [] {
      for (size_t i = 0; i < MANAGERS.size(); ++i) {
        if (static_cast<size_t>(MANAGERS.at(i).step) != i) return false;
      }
      return true;
    }(),
    "MANAGERS is indexed by Step");

}  // namespace sorvane::gui

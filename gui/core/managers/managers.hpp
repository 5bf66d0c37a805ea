// The five package managers as Sorvane Update knows them, one row each, in
// the order the update script runs them: the privileged ones under one
// sudo, then flatpak as the user. A row holds the manager's identity and
// the script's line for it; everything else it knows is in its own file
// (apt.cpp, dnf.cpp, pacman.cpp, snap.cpp, flatpak.cpp), reached through
// the row's facts (manager_facts.hpp).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "detection.hpp"

namespace sorvane::gui {

// A manager, as a step of the update script.
enum class Step : std::uint8_t { Pacman, Apt, Dnf, Snap, Flatpak };

// Each defined in the manager's own file.
struct ManagerFacts;
extern const ManagerFacts PACMAN;
extern const ManagerFacts APT;
extern const ManagerFacts DNF;
extern const ManagerFacts SNAP;
extern const ManagerFacts FLATPAK;

// What a manager updates, for the screen's words about it.
enum class Updates : std::uint8_t { SystemPackages, Snaps, UserApps };

struct Manager {
  Step step;
  ManagerKind kind;            // as sorvane reports it; its report order
  std::string_view name;       // the program, and what the screen calls it
  std::string_view step_line;  // what the script prints before running it
  bool under_sudo;             // run as root by the script
  Updates updates;
  const ManagerFacts* facts;
  std::string_view icon;  // the icon theme's name for it
};

inline constexpr std::array<Manager, 5> MANAGERS = {{
    {Step::Pacman, ManagerKind::Pacman, "pacman", "Updating pacman packages...", true,
     Updates::SystemPackages, &PACMAN, "package-x-generic"},
    {Step::Apt, ManagerKind::Apt, "apt", "Updating apt packages...", true, Updates::SystemPackages,
     &APT, "package-x-generic"},
    {Step::Dnf, ManagerKind::Dnf, "dnf", "Updating dnf packages...", true, Updates::SystemPackages,
     &DNF, "package-x-generic"},
    {Step::Snap, ManagerKind::Snap, "snap", "Updating Snap packages...", true, Updates::Snaps,
     &SNAP, "snap"},
    {Step::Flatpak, ManagerKind::Flatpak, "flatpak", "Updating Flatpak packages...", false,
     Updates::UserApps, &FLATPAK, "flatpak"},
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
template <typename Matches>
constexpr std::optional<Step> step_where(Matches matches) {
  const auto* row = std::find_if(MANAGERS.begin(), MANAGERS.end(), matches);
  return row == MANAGERS.end() ? std::nullopt : std::optional<Step>(row->step);
}
constexpr std::optional<Step> step_of(ManagerKind kind) {
  return step_where([kind](const Manager& row) { return row.kind == kind; });
}
constexpr std::optional<Step> step_named(std::string_view name) {
  return step_where([name](const Manager& row) { return row.name == name; });
}
// Sorvane's report lists managers in its own order; the screen follows it.
constexpr bool reported_before(Step a, Step b) {
  return manager(a).kind < manager(b).kind;
}

// The programs the update script looks up on its PATH: sudo and bash, then
// the managers.
using ScriptPrograms = std::array<std::string_view, 2 + MANAGERS.size()>;
constexpr ScriptPrograms script_programs() {
  ScriptPrograms names{"sudo", "bash"};
  size_t at = 2;
  for (const Manager& row : MANAGERS) names.at(at++) = row.name;
  return names;
}
inline constexpr ScriptPrograms SCRIPT_PROGRAMS = script_programs();

constexpr bool indexed_by_step() {
  size_t at = 0;
  return std::all_of(MANAGERS.begin(), MANAGERS.end(),
                     [&at](const Manager& row) { return static_cast<size_t>(row.step) == at++; });
}
static_assert(indexed_by_step(), "MANAGERS is indexed by Step");

}  // namespace sorvane::gui

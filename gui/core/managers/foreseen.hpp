// What would stop the update, decided once from everything the check found
// before the password: the window and the headless check (its text and its
// JSON) say exactly this.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pending_check.hpp"

namespace sorvane::gui {

// A file system the update would fill: where it is mounted, what the
// update needs there (with the margin) and what is free, and the managers
// that write there.
struct SpaceShortage {
  std::string mount_point;
  std::uint64_t needed = 0;
  std::uint64_t free = 0;
  std::vector<Step> steps;
  friend bool operator==(const SpaceShortage&, const SpaceShortage&) = default;
};

// Room kept beyond what the managers say they write: 5 %, and at least
// 20 MB. apt refreshes its lists before it upgrades, sizes are counted in
// whole KiB per package while files take whole blocks, dpkg runs the
// maintainer scripts and writes its log and database as it goes, and a
// file system filled to its last block breaks more than the update.
inline constexpr std::uint64_t SPACE_MARGIN_MIN = 20'000'000;
inline constexpr std::uint64_t SPACE_MARGIN_PERCENT = 5;
std::uint64_t with_margin(std::uint64_t bytes);

struct Foreseen {
  bool offline = false;                       // no route to any network
  std::optional<Step> stopping;               // the first manager that would fail
  std::vector<SpaceShortage> short_of_space;  // in the order first written to
  [[nodiscard]] bool stops_update() const {
    return offline || stopping.has_value() || !short_of_space.empty();
  }
  friend bool operator==(const Foreseen&, const Foreseen&) = default;
};

// Every manager's needs grouped by file system (several paths on one add
// up) and held against what is free there.
std::vector<SpaceShortage> space_shortages(const std::vector<ManagerCheck>& checks);

Foreseen foresee(const std::vector<ManagerCheck>& checks, bool online);

}  // namespace sorvane::gui

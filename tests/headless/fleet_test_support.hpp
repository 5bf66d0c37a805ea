// Check results for the fleet formatters' tables.
#pragma once

#include <string>
#include <vector>

#include "fleet_check.hpp"

namespace sorvane::gui::fleet_test {

inline PendingUpdate update(const std::string& name, bool security = false) {
  return PendingUpdate{name, "1", "2", security};
}

inline ManagerCheck checked(Step step, std::vector<PendingUpdate> updates = {}) {
  ManagerCheck check;
  check.step = step;
  check.updates = std::move(updates);
  return check;
}

inline ManagerCheck with_problem(Step step, Problem why) {
  ManagerCheck check = checked(step);
  check.problem = CheckProblem{why, "held by apt-get"};
  return check;
}

// apt needs more room on `mount_point` than is free there.
inline ManagerCheck short_of_space(const std::string& mount_point) {
  constexpr std::uint64_t NEEDED = 900'000'000;
  constexpr std::uint64_t FREE = 1'000'000;
  ManagerCheck check = checked(Step::Apt, {update("big")});
  check.space.push_back(SpaceNeed{"/var/cache/apt/archives", NEEDED, 1, mount_point, FREE});
  return check;
}

}  // namespace sorvane::gui::fleet_test

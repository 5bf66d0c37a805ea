// A package the check sees pending that the update will leave as it is,
// and why: the words for each reason are the model's.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::gui {

enum class HeldReason : std::uint8_t {
  NewDependencies,  // apt: its new version needs packages `apt upgrade` does not add or remove
  HeldByUser,       // apt-mark hold, pacman's IgnorePkg/IgnoreGroup, dnf's excludepkgs
  PhasedRollout,    // apt: offered to only part of all computers so far
  NeededByHeld,     // apt: a package the user holds depends on exactly this version
};

struct HeldBack {
  std::string name;
  HeldReason reason = HeldReason::NewDependencies;
  // Of a phased rollout: the share of computers it is offered to, when known.
  std::optional<int> rollout_percent;
  // Of NeededByHeld: the held package that needs it as it is.
  std::string held_by;
  // Its new version comes from a security archive: left as it is, the
  // machine misses a security fix.
  bool security = false;
  friend bool operator==(const HeldBack&, const HeldBack&) = default;
};

using HeldBacks = std::vector<HeldBack>;

// How many of them are security updates.
inline size_t security_held_back(const HeldBacks& held) {
  return static_cast<size_t>(
      std::count_if(held.begin(), held.end(), [](const HeldBack& one) { return one.security; }));
}

}  // namespace sorvane::gui

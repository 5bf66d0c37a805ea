#include "foreseen.hpp"

#include <algorithm>

namespace sorvane::gui {

std::uint64_t with_margin(std::uint64_t bytes) {
  const std::uint64_t margin = std::max(bytes / 100 * SPACE_MARGIN_PERCENT, SPACE_MARGIN_MIN);
  std::uint64_t total = 0;
  return __builtin_add_overflow(bytes, margin, &total) ? UINT64_MAX : total;
}

std::vector<SpaceShortage> space_shortages(const std::vector<ManagerCheck>& checks) {
  struct OnDevice {
    std::uint64_t device;
    SpaceShortage sum;
  };
  std::vector<OnDevice> devices;
  for (const ManagerCheck& check : checks) {
    for (const SpaceNeed& need : check.space) {
      if (need.bytes == 0) continue;  // nothing written: nothing to fit
      auto at = std::find_if(devices.begin(), devices.end(),
                             [&](const OnDevice& d) { return d.device == need.device; });
      if (at == devices.end()) {
        devices.push_back({need.device, {need.mount_point, 0, need.free_bytes, {}}});
        at = std::prev(devices.end());
      }
      SpaceShortage& sum = at->sum;
      if (__builtin_add_overflow(sum.needed, need.bytes, &sum.needed)) sum.needed = UINT64_MAX;
      // Measured by each manager's own check, a moment apart: the least.
      sum.free = std::min(sum.free, need.free_bytes);
      if (std::find(sum.steps.begin(), sum.steps.end(), check.step) == sum.steps.end()) {
        sum.steps.push_back(check.step);
      }
    }
  }
  std::vector<SpaceShortage> short_of;
  for (OnDevice& on : devices) {
    on.sum.needed = with_margin(on.sum.needed);
    if (on.sum.needed > on.sum.free) short_of.push_back(std::move(on.sum));
  }
  return short_of;
}

Foreseen foresee(const std::vector<ManagerCheck>& checks, bool online) {
  Foreseen foreseen;
  foreseen.offline = !online;
  foreseen.stopping = stopping_step(checks);
  foreseen.short_of_space = space_shortages(checks);
  return foreseen;
}

}  // namespace sorvane::gui

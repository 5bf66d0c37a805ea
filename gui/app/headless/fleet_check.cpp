#include "fleet_check.hpp"

#include <algorithm>
#include <charconv>
#include <ctime>

namespace sorvane::gui {

std::string_view outcome_label(Outcome outcome) {
  switch (outcome) {
    case Outcome::Success: return "success";
    case Outcome::SuccessWithWarnings: return "success_with_warnings";
    case Outcome::PasswordRefused: return "password_refused";
    case Outcome::Failed: return "failed";
  }
  return "failed";
}

std::string_view problem_label(Problem problem) {
  switch (problem) {
    case Problem::CouldNotCheck: return "could_not_check";
    case Problem::NoRepository: return "no_repository";
    case Problem::SnapdNotRunning: return "snapd_not_running";
    case Problem::DpkgInterrupted: return "dpkg_interrupted";
    case Problem::LockHeld: return "lock_held";
    case Problem::Offline: return "offline";
    case Problem::Metered: return "metered";
  }
  return "could_not_check";
}

size_t security_updates(const ManagerCheck& check) {
  return static_cast<size_t>(std::count_if(check.updates.begin(), check.updates.end(),
                                           [](const PendingUpdate& u) { return u.security; }));
}

FleetCounts fleet_counts(const FleetCheck& check) {
  FleetCounts counts;
  for (const ManagerCheck& manager : check.checks) {
    counts.updates += manager.updates.size();
    counts.security += security_updates(manager);
    counts.held_back += manager.kept_back.size();
    counts.held_security += security_held_back(manager.kept_back);
    if (manager.data_age_seconds) {
      counts.oldest_data = std::max(counts.oldest_data.value_or(0), *manager.data_age_seconds);
    }
  }
  return counts;
}

}  // namespace sorvane::gui

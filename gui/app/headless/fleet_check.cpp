#include "fleet_check.hpp"

#include <algorithm>
#include <charconv>
#include <ctime>

namespace sorvane::gui {

std::optional<std::int64_t> support_end_of(std::string_view os_release) {
  constexpr std::string_view KEY = "SUPPORT_END=";
  constexpr int FIRST_YEAR = 1970;
  constexpr int LAST_YEAR = 9999;
  constexpr int MONTHS = 12;
  constexpr int DAYS = 31;
  size_t at = 0;
  while (at < os_release.size()) {
    const size_t end = std::min(os_release.find('\n', at), os_release.size());
    std::string_view line = os_release.substr(at, end - at);
    at = end + 1;
    if (!line.starts_with(KEY)) continue;
    line.remove_prefix(KEY.size());
    // The value may be quoted, as every os-release value may.
    if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') &&
        line.back() == line.front()) {
      line = line.substr(1, line.size() - 2);
    }
    int year = 0;
    int month = 0;
    int day = 0;
    constexpr size_t DATE_LENGTH = 10;  // YYYY-MM-DD
    if (line.size() != DATE_LENGTH || line[4] != '-' || line[7] != '-') return std::nullopt;
    const auto number = [&line](size_t from, size_t length, int& into) {
      const char* first = line.data() + from;
      const auto [ptr, ec] = std::from_chars(first, first + length, into);
      return ec == std::errc() && ptr == first + length;
    };
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || year < FIRST_YEAR ||
        year > LAST_YEAR || month < 1 || month > MONTHS || day < 1 || day > DAYS) {
      return std::nullopt;
    }
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    return static_cast<std::int64_t>(::timegm(&date));
  }
  return std::nullopt;
}

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
    if (manager.data_age_seconds) {
      counts.oldest_data = std::max(counts.oldest_data.value_or(0), *manager.data_age_seconds);
    }
  }
  return counts;
}

}  // namespace sorvane::gui

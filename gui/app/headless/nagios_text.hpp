// The check as a Nagios or Icinga plugin, after the monitoring plugins'
// guidelines: one status line with performance data, then a line per
// manager, and the status as the exit code (0 OK, 1 WARNING, 2 CRITICAL,
// 3 UNKNOWN). Like check_apt, any pending update warns and any security
// update is critical unless the thresholds say otherwise.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet_check.hpp"
#include "result.hpp"

namespace sorvane::gui {

// A threshold in the guidelines' range syntax: "10" (alert above 10),
// "10:" (below 10), "~:10", "10:20" (outside), "@10:20" (inside).
struct NagiosRange {
  std::string text;  // as given, for the performance data
  double low = 0;
  std::optional<double> high;
  bool low_unbounded = false;
  bool inside = false;

  static std::optional<NagiosRange> parse(std::string_view text);
  [[nodiscard]] bool alerts(double value) const;
};

struct NagiosLimits {
  // Pending updates; security updates; the oldest package lists, in
  // seconds (none: their age alerts nothing).
  NagiosRange warning = *NagiosRange::parse("0");
  NagiosRange critical = *NagiosRange::parse("0");
  std::optional<NagiosRange> warning_age;
  std::optional<NagiosRange> critical_age;
};

// --warning RANGE, --critical RANGE, --warning-age RANGE, --critical-age
// RANGE (also -w, -c and --opt=RANGE); the error names what is wrong.
Result<NagiosLimits, std::string> nagios_limits(const std::vector<std::string_view>& options);

inline constexpr int NAGIOS_OK = 0;
inline constexpr int NAGIOS_WARNING = 1;
inline constexpr int NAGIOS_CRITICAL = 2;
inline constexpr int NAGIOS_UNKNOWN = 3;

struct NagiosReport {
  std::string text;
  int status = NAGIOS_UNKNOWN;
};

NagiosReport nagios_text(const FleetCheck& check, const NagiosLimits& limits = {});

}  // namespace sorvane::gui

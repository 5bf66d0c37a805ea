// The check as the engines that look after many machines read it
// (Prometheus, Nagios and Icinga): the same answers the headless check
// prints, and the facts about the machine around them.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pending_check.hpp"
#include "script_output.hpp"
#include "system_support.hpp"

namespace sorvane::gui {

struct LastUpdate {
  time_t ended = 0;
  Outcome outcome = Outcome::Failed;
};

struct FleetCheck {
  // The look itself failed (no check was made): why, in its own words.
  std::optional<std::string> failed;
  std::vector<ManagerCheck> checks;  // none: no supported manager
  bool online = true;
  bool restart_due = false;
  // The last update this user ran, when one is on record.
  std::optional<LastUpdate> last_update;
  // When the installed release stops getting updates, when it says.
  std::optional<std::int64_t> support_end;
};

// What an outcome is called where machines read it: stable, untranslated.
std::string_view outcome_label(Outcome outcome);
// A problem's stable name: "lock_held", "dpkg_interrupted".
std::string_view problem_label(Problem problem);

// The counts both engines report.
struct FleetCounts {
  size_t updates = 0;
  size_t security = 0;
  size_t held_back = 0;
  size_t held_security = 0;                 // of those held back
  std::optional<std::int64_t> oldest_data;  // seconds; none when no manager says
};
FleetCounts fleet_counts(const FleetCheck& check);
size_t security_updates(const ManagerCheck& check);

}  // namespace sorvane::gui

// How an update that ended after its window was closed went, told at the
// next start. Nobody reaped the script, so its exit status is lost: the
// outcome rests on its log (the steps begun, "Update complete." after the
// last, the managers' warnings), and a run whose log stops early ended
// there. What was updated comes from the managers' own logs for the time
// the update ran: dpkg's "upgrade" lines and pacman's "[ALPM] upgraded"
// lines, which are not translated.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "managers.hpp"
#include "script_output.hpp"
#include "update_progress.hpp"

namespace sorvane::gui {

struct PastUpdate {
  time_t started = 0;
  // Success, SuccessWithWarnings, or Failed at the step the log stopped in
  // (its exit status unknown: 0).
  Finish finish{Outcome::Failed, {}, 0, false, 0, {}};
  // Packages upgraded, for the managers whose logs tell.
  std::vector<std::pair<Step, size_t>> updated;
  // Config files left as the user had changed them, the new ones beside.
  std::vector<KeptConfig> kept_configs;
};

// Reads the log `log` of an update that ran from `started` to `ended`,
// and the managers' logs under `root`.
PastUpdate read_past_update(int log, time_t started, time_t ended, const std::string& root);

}  // namespace sorvane::gui

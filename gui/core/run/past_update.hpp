// How an update that ended after its window was closed went, told at the
// next start. Its outcome is the exit status its monitor recorded, read
// with its log (the steps begun, the managers' warnings); a run with no
// status did not finish, whatever its log says. What was updated comes from the managers' own logs
// for the time the update ran: dpkg's "upgrade" lines and pacman's "[ALPM] upgraded" lines, which
// are not translated.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "managers.hpp"
#include "restart_needed.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"
#include "script_output.hpp"
#include "update_progress.hpp"

namespace sorvane::gui {

struct PastUpdate {
  time_t started = 0;
  // From the recorded status; Failed with no step when there is none.
  Finish finish{Outcome::Failed, {}, 0, false, 0, {}};
  // Packages upgraded, for the managers whose logs tell.
  std::vector<std::pair<Step, size_t>> updated;
  // What each manager whose log tells upgraded, by name, and every step
  // that ran: for the restart.
  std::vector<std::pair<Step, std::vector<std::string>>> updated_names;
  std::vector<Step> steps_run;
  // Config files left as the user had changed them, the new ones beside.
  std::vector<KeptConfig> kept_configs;
};

// Reads the log `log` of an update that ran from `started` to `ended` and
// ended with `wait_status` (none: not seen), where its monitor saw sudo
// end (none: not seen), and the managers' logs under `root`.
PastUpdate read_past_update(int log, std::optional<int> wait_status, time_t started, time_t ended,
                            const std::string& root, std::optional<SudoEnd> sudo_end);

// Whether the computer should be restarted after it (blocks: see
// restart_needed).
RestartNeed past_restart(const PastUpdate& past, const CheckSetup& setup);

// When the computer started (btime of `proc`/stat), seconds since the epoch.
std::optional<std::int64_t> boot_time(const std::string& proc);

// The newest run in `logs` that has ended, read whole, whether a window
// has shown its end or still does: what fleets are told of the last update.
struct NewestRun {
  FinishedRun run;
  PastUpdate past;
};
std::optional<NewestRun> newest_finished_run(const std::string& logs, uid_t user,
                                             const std::string& root);

// A restart that run asked for is due until the computer restarts after it.
bool restart_still_due(const NewestRun& newest, const CheckSetup& setup,
                       std::optional<std::int64_t> boot);

}  // namespace sorvane::gui

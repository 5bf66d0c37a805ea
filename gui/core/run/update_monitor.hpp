// The monitor of one update: a small process the window starts in a
// session of its own, which outlives the window. It starts the script
// (update_process.hpp), stays its parent to its end, and is the only
// process that:
// - holds the log's claim (its flock): the script and everything it
//   starts never get the log, so a daemon a package leaves behind cannot
//   make a long-finished update look as if it still ran;
// - writes the log, from a pipe, freeing all but its head and tail as it
//   goes (LogCap), window or no window;
// - reaps the script and records its exit status (run_status.hpp).
// Once the script is reaped it stops copying (whoever still holds the pipe
// writes to nobody), records the status, gives back the claim and the
// logind inhibitor, and ends.
#pragma once

#include <string>

#include "os_error.hpp"
#include "result.hpp"
#include "run_status.hpp"

namespace sorvane::gui {

struct MonitorEnd {
  RunStatus status;
  // A window held the run directory when the update ended: it tells the
  // user. Otherwise the monitor holds it now, until it ends.
  bool watched = false;
};

// Runs the update handed over on the descriptors update_process.hpp names,
// with `bash`, in this process (the monitor). The script's environment is
// the kept variables of `environ`.
Result<MonitorEnd, OsError> monitor_update(const std::string& bash, char** environ);

// Whether `argv` asks for the monitor: `PROGRAM --run-update BASH`.
bool is_monitor_call(int argc, char** argv);

}  // namespace sorvane::gui

// Starts the update script the way the update window runs it, so that
// exactly the checked bytes run, the password reaches sudo and nothing
// else, and the run survives the window. The window starts a small
// monitor (update_monitor.hpp) in a session of its own, and the monitor
// starts the script, stays its parent to its end and writes down how it
// ended:
// - the trusted bash reads the script from a sealed memfd, as /dev/fd/3:
//   nothing can change those bytes after they were checked;
// - its standard input is one end of an AF_UNIX socket pair, which another
//   process of the user cannot reopen through /proc/<pid>/fd/0 as it
//   could a pipe; the window keeps the other end and writes the password;
// - its standard output and error are a pipe to the monitor, which copies
//   it into the log: closing the window or losing it never cuts a package
//   manager's output, and nothing the script starts ever holds the log;
// - it starts a new session with no controlling terminal, in "/", with
//   umask 022 (a session umask of 077 would reach root through sudo),
//   every signal at its default action and none blocked, no descriptor but
//   0, 1, 2 and the script's, and an environment of HOME, USER, LOGNAME,
//   LANG and XDG_RUNTIME_DIR only: with sudo's env_keep, anything more
//   (LD_*, BASH_ENV, a D-Bus address) could reach root.
#pragma once

#include <sys/types.h>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "child_process.hpp"
#include "os_error.hpp"
#include "result.hpp"
#include "secret.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {

// The variables the script is given, taken from the window's own
// environment where set there.
inline constexpr std::array<std::string_view, 5> KEPT_VARIABLES = {"HOME", "USER", "LOGNAME",
                                                                   "LANG", "XDG_RUNTIME_DIR"};
inline constexpr mode_t SCRIPT_UMASK = 022;
inline constexpr int SCRIPT_FD = 3;
// What the monitor is given, besides the script at SCRIPT_FD: the logind
// inhibitor (held by the monitor alone, so no process the script leaves
// behind keeps shutdown away), the script's input, the log it writes and
// holds the claim of, and the run directory it records the end in.
inline constexpr int MONITOR_HELD_FD = 4;
inline constexpr int MONITOR_INPUT_FD = 5;
inline constexpr int MONITOR_LOG_FD = 6;
inline constexpr int MONITOR_RUN_FD = 7;
// `sorvane-gui --run-update BASH`: the monitor's hidden mode.
inline constexpr std::string_view MONITOR_FLAG = "--run-update";
// What the monitor may have besides the script's own variables: the
// session bus, to tell of the end, and the language to tell it in. They
// never reach the script.
inline constexpr std::array<std::string_view, 4> MONITOR_VARIABLES = {
    "DBUS_SESSION_BUS_ADDRESS", "LANGUAGE", "LC_ALL", "LC_MESSAGES"};

struct StartedUpdate {
  ChildProcess monitor;   // the window's child, in a session of its own
  pid_t pid = -1;         // the script, the monitor's child
  UniqueFd input;         // our end of the script's standard input
  UniqueFd script_input;  // a duplicate of the script's end, to see what it left unread
};

// "NAME=value" for each of `names` that `environ` sets, in that order; a
// language variable only when it names a locale, never a path.
std::vector<std::string> named_variables(char** environ, std::span<const std::string_view> names);
// "NAME=value" for each kept variable that `environ` sets.
std::vector<std::string> kept_environment(char** environ);
// "NAME=value" for each of MONITOR_VARIABLES that `environ` sets.
std::vector<std::string> monitor_extras(char** environ);

// Starts `monitor --run-update bash`, which starts `bash /dev/fd/3` with
// the script's bytes there and exactly `environment`, copies its output
// into `log` (an open file, appended to, whose claim it takes over) and
// records its end in the run directory `run`. `extras` go to the monitor
// alone. `held`, when not -1, lives as long as the script. The monitor
// outlives the window: the caller reaps it or leaves it (release()).
Result<StartedUpdate, OsError> start_update(const std::string& monitor, const std::string& bash,
                                            std::string_view script, int log, int run,
                                            const std::vector<std::string>& environment,
                                            const std::vector<std::string>& extras = {},
                                            int held = -1);

// Writes the password and one line feed to the script's input in one call,
// then shuts that direction so sudo sees the end after it. The password is
// let go (wiped) as this returns, written or not.
std::optional<OsError> send_password(const StartedUpdate& update, SecretBytes secret);

// Shuts the script's input without writing anything: with no password to
// give (a NOPASSWD rule), a question on standard input must still end.
std::optional<OsError> end_input(const StartedUpdate& update);

// Bytes the script has not read from its input. Nonzero once sudo has
// started a manager means sudo never asked for the password: drain them.
size_t unread_input(const StartedUpdate& update);
void drain_unread_input(const StartedUpdate& update);

}  // namespace sorvane::gui

// Starts the update script the way the update window runs it, so that
// exactly the checked bytes run, the password reaches sudo and nothing
// else, and the run survives the window:
// - the trusted bash reads the script from a sealed memfd, as /dev/fd/3:
//   nothing can change those bytes after they were checked;
// - its standard input is one end of an AF_UNIX socket pair, which another
//   process of the same user cannot reopen through /proc/<pid>/fd/0 as it
//   could a pipe;
// - its standard output and error go to an append-only log file, so
//   closing the window or losing it never cuts a package manager's output;
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
#include <string>
#include <string_view>
#include <vector>

#include "os_error.hpp"
#include "result.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {

// The variables the script is given, taken from the window's own
// environment where set there.
inline constexpr std::array<std::string_view, 5> KEPT_VARIABLES = {"HOME", "USER", "LOGNAME",
                                                                   "LANG", "XDG_RUNTIME_DIR"};
inline constexpr mode_t SCRIPT_UMASK = 022;
inline constexpr int SCRIPT_FD = 3;
inline constexpr int HELD_FD = 4;

struct StartedUpdate {
  pid_t pid = -1;
  UniqueFd input;         // our end of the script's standard input
  UniqueFd script_input;  // a duplicate of the script's end, to see what it left unread
};

// "NAME=value" for each kept variable that `environ` sets.
std::vector<std::string> kept_environment(char** environ);

// Starts `bash /dev/fd/3` with the script's bytes there and `log` (an
// open file, appended to) as its standard output and error. `held`, when
// not -1, is passed on as descriptor 4 and so lives as long as the script
// (a logind inhibitor: the update keeps shutdown away even after the
// window is gone). The caller owns the child and must reap it.
Result<StartedUpdate, OsError> start_update(const std::string& bash, std::string_view script,
                                            int log, const std::vector<std::string>& environment,
                                            int held = -1);

// Writes the password and one line feed to the script's input in one call,
// then shuts that direction so sudo sees the end after it.
std::optional<OsError> send_password(const StartedUpdate& update, std::string_view password);

// Shuts the script's input without writing anything: with no password to
// give (a NOPASSWD rule), a question on standard input must still end.
std::optional<OsError> end_input(const StartedUpdate& update);

// Bytes the script has not read from its input. Nonzero once sudo has
// started a manager means sudo never asked for the password: drain them.
size_t unread_input(const StartedUpdate& update);
void drain_unread_input(const StartedUpdate& update);

}  // namespace sorvane::gui

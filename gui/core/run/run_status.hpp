// How an update ended, as the one process that saw it end wrote it down:
// the monitor that started the script, stayed its parent and reaped it.
// Every later reader (the window that started it, a window following it,
// the next start) takes the outcome from this file alone, never from the
// script's output, which any package can write to. A run with no status
// here did not finish, or its end was not seen: it is never a success.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <optional>
#include <string_view>

#include "os_error.hpp"

namespace sorvane::gui {

inline constexpr std::string_view STATUS_NAME = "update.status";

struct RunStatus {
  int wait_status = 0;  // as waitpid gave it
  time_t started = 0;
  time_t ended = 0;
};

// Writes `status` into the run directory `run` as a new file (never over
// one that is there), mode 0400, whole, and flushed to disk.
std::optional<OsError> record_status(int run, const RunStatus& status);

// The status recorded in `run`, when it is exactly what record_status
// writes: a plain file of `user`'s, not a link, mode 0400, one name, and
// the three fields in order. Anything else is no status.
std::optional<RunStatus> recorded_status(int run, uid_t user);

// Where sudo's part of the script ended, as the monitor saw it end with
// the script held still: how many lines printed until then read as the
// start of a step after sudo (a package's, every one). Absent when the
// monitor could not watch sudo (it never saw it, or saw it too late).
inline constexpr std::string_view SUDO_END_NAME = "sudo.end";

struct SudoEnd {
  std::size_t step_lines = 0;
};

// As record_status, into its own file.
std::optional<OsError> record_sudo_end(int run, const SudoEnd& end);
// As recorded_status: exactly what record_sudo_end writes, or nothing.
std::optional<SudoEnd> recorded_sudo_end(int run, uid_t user);

}  // namespace sorvane::gui

// Where one update keeps its files: the script Sorvane writes, the log the
// window follows, and the script's process id. A fresh directory of mode
// 0700 for each run, in $XDG_RUNTIME_DIR when that is really the user's
// own, in /tmp otherwise. It outlives the window while the update runs;
// a later start clears it once that process is gone.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "os_error.hpp"
#include "result.hpp"

namespace sorvane::gui {

inline constexpr std::string_view RUN_DIR_PREFIX = "sorvane-update-";
inline constexpr std::string_view SCRIPT_NAME = "update.sh";
inline constexpr std::string_view LOG_NAME = "update.log";
inline constexpr std::string_view PID_NAME = "pid";

// $XDG_RUNTIME_DIR (null when unset) when it is a directory, not a link,
// owned by `user` with mode exactly 0700 (after `su` it can name someone
// else's); "/tmp" otherwise.
std::string run_dir_base(const char* xdg_runtime_dir, uid_t user);

// A new directory, mode 0700, in `base`.
Result<std::string, OsError> make_run_dir(const std::string& base);

// Records whose the run is: the window's pid from the start, the script's
// once it runs (it may outlive the window).
std::optional<OsError> record_pid(const std::string& run_dir, pid_t pid);

// Removes the run directories in `base` that belong to `user`, are over a
// minute old, and whose recorded process is gone (or that never recorded
// one). Only the names a run creates are removed, and no link is followed.
void clear_stale_run_dirs(const std::string& base, uid_t user);

}  // namespace sorvane::gui

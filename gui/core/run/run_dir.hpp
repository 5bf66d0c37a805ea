// Where one update keeps its files: the script Sorvane writes while the
// window looks, or the log of one attempt to update. A fresh directory of
// mode 0700 each time, in $XDG_RUNTIME_DIR when that is really the user's
// own, in /tmp otherwise. It is held open and used only through that
// descriptor (never by name again, which another user could remake in
// /tmp), and the descriptor's flock is the window's claim on it. The log
// carries a claim of its own, held by the update's monitor alone until the
// script ended, so a directory whose update is still running outlives the
// window; a later start clears it once both claims are gone.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os_error.hpp"
#include "result.hpp"
#include "run_status.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {

inline constexpr std::string_view RUN_DIR_PREFIX = "sorvane-update-";
inline constexpr std::string_view SCRIPT_NAME = "update.sh";
inline constexpr std::string_view LOG_NAME = "update.log";

// $XDG_RUNTIME_DIR (null when unset) when it is a directory, not a link,
// owned by `user` with mode exactly 0700 (after `su` it can name someone
// else's); "/tmp" otherwise.
std::string run_dir_base(const char* xdg_runtime_dir, uid_t user);

// Where updates' logs are kept, across logins and restarts:
// $XDG_STATE_HOME/sorvane, or $HOME/.local/state/sorvane when that is
// unset (either may be null), made with mode 0700 where missing. Used
// only when it is private as above and a run's claims can be taken there;
// `fallback` otherwise.
std::string log_base(const char* xdg_state_home, const char* home, uid_t user,
                     const std::string& fallback);

// How many finished updates keep their logs, and for how long: a run is
// removed once it is neither among the newest KEPT_RUNS nor younger than
// KEPT_DAYS.
inline constexpr size_t KEPT_RUNS = 10;
inline constexpr int KEPT_DAYS = 30;

class RunDir {
 public:
  // A new directory in `base`, mode 0700, opened and claimed.
  static Result<RunDir, OsError> make(const std::string& base);

  RunDir(RunDir&& other) noexcept = default;
  // The directory replaced goes the way the destructor would take it.
  RunDir& operator=(RunDir&& other) noexcept;
  RunDir(const RunDir&) = delete;
  RunDir& operator=(const RunDir&) = delete;
  // Removes the directory unless it was kept.
  ~RunDir();

  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] int fd() const { return fd_.get(); }

  // The log of an update, new (never an existing name, so nothing planted
  // can be opened or block), mode 0600, open for appending and reading,
  // and claimed with its own flock, which the monitor takes over.
  [[nodiscard]] Result<UniqueFd, OsError> create_log() const;

  // The two ways out: kept (the log outlives the window; its claim goes
  // with this object) or removed with everything a run puts in it.
  void keep();
  void discard();

 private:
  RunDir(std::string path, UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}

  std::string path_;
  UniqueFd fd_;  // O_DIRECTORY, with the window's flock
  bool kept_ = false;
};

// Removes the run directories in `base` that belong to `user`, are over a
// minute old, and that no window and no running update claims. Only the
// names a run creates are removed, no link is followed, and nothing is
// opened that could block.
void clear_stale_run_dirs(const std::string& base, uid_t user);

// Removes the finished runs in `base` past KEPT_RUNS and KEPT_DAYS at
// `now`, the way clear_stale_run_dirs removes them; a run is as old as
// its log's last write.
void clear_old_runs(const std::string& base, uid_t user, time_t now);

// A finished update whose log no window has shown the end of: it ended
// after its window was closed.
struct FinishedRun {
  std::string log_path;
  UniqueFd log;  // open for reading
  time_t started = 0;
  time_t ended = 0;
  // The script's wait status, as its monitor recorded it; none: its end
  // was not seen.
  std::optional<int> wait_status;
  // Where its monitor saw sudo end; none: not seen.
  std::optional<SudoEnd> sudo_end;
};
// The newest finished run in `base`, when its end was never shown.
std::optional<FinishedRun> unshown_run(const std::string& base, uid_t user);
// Every finished run in `base`, for the history: those a window still
// shows are Sorvane Update's as much as the closed ones; one whose script
// runs on is not finished.
std::vector<FinishedRun> finished_runs(const std::string& base, uid_t user);
// A window has shown how the update writing `log` ended: its log becomes
// read-only, as a finished log is, and is not told of again.
void mark_shown(int log);

// The log of an update of `user`'s still running in `base` (its claim is
// held), opened for reading, and its run directory: only one update runs
// at a time, and a second window follows the first one's instead of
// starting another.
struct RunningUpdate {
  UniqueFd log;
  UniqueFd run;
};
std::optional<RunningUpdate> running_update_log(const std::string& base, uid_t user);
// Whether the update writing `log` (from running_update_log) still runs.
bool still_claimed(int log);

}  // namespace sorvane::gui

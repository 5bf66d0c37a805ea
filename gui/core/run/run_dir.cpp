#include "run_dir.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "path.hpp"
#include "run_status.hpp"

namespace sorvane::gui {
namespace {

constexpr mode_t PRIVATE_DIR = 0700;
constexpr mode_t LOG_MODE = 0600;
constexpr mode_t SHOWN_LOG_MODE = 0400;
constexpr mode_t OWNER_WRITE = 0200;
constexpr time_t DAY_SECONDS = time_t{24} * 60 * 60;
constexpr mode_t PERMISSION_BITS = 07777;
// A directory this young may be one whose claim is not taken yet.
constexpr time_t FRESH_SECONDS = 60;
constexpr std::array<std::string_view, 4> RUN_FILES = {SCRIPT_NAME, LOG_NAME, STATUS_NAME,
                                                       SUDO_END_NAME};

// Whether someone holds a claim on the open file: a try for the lock that
// does not wait. The lock taken here goes with the descriptor.
bool claimed(int fd) {
  return ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

// The log's claim, looked at without following a link or blocking on a
// planted FIFO; a directory without a log has none.
bool log_claimed(int dir_fd) {
  const UniqueFd log(
      ::openat(dir_fd, LOG_NAME.data(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  return log.valid() && claimed(log.get());
}

void remove_run_files(int dir_fd) {
  for (const std::string_view file : RUN_FILES) ::unlinkat(dir_fd, file.data(), 0);
}

// A run directory and what a run puts in it; it stays if anything else is
// there.
void remove_run(int base_fd, const char* name, int run) {
  remove_run_files(run);
  ::unlinkat(base_fd, name, AT_REMOVEDIR);
}

// A directory, not a link, owned by `user`, that only `user` can enter.
bool private_dir(const char* path, uid_t user) {
  struct stat st {};
  return path != nullptr && path[0] == '/' && ::lstat(path, &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == user && (st.st_mode & PERMISSION_BITS) == PRIVATE_DIR;
}

// Makes every missing directory of the absolute `path`, each private;
// the ones already there are left as they are.
bool make_directories(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), PRIVATE_DIR) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

// When a run last changed: its log's last write, or when it was made.
time_t run_time(int run, const struct stat& run_st) {
  struct stat st {};
  return ::fstatat(run, LOG_NAME.data(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? st.st_mtime
                                                                        : run_st.st_mtime;
}

}  // namespace

std::string run_dir_base(const char* xdg_runtime_dir, uid_t user) {
  return private_dir(xdg_runtime_dir, user) ? xdg_runtime_dir : "/tmp";
}

std::string log_base(const char* xdg_state_home, const char* home, uid_t user,
                     const std::string& fallback) {
  std::string state;
  if (xdg_state_home != nullptr && xdg_state_home[0] == '/') {
    state = xdg_state_home;
  } else if (home != nullptr && home[0] == '/') {
    state = join(home, ".local/state");
  } else {
    return fallback;
  }
  std::string base = join(state, "sorvane");
  if (!make_directories(base) || !private_dir(base.c_str(), user)) return fallback;
  // A run's claims are flocks on descriptors opened for reading, which a
  // network file system (an NFS home) may refuse: then they stay local.
  const UniqueFd dir(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!dir.valid() || ::flock(dir.get(), LOCK_EX | LOCK_NB) != 0) return fallback;
  ::flock(dir.get(), LOCK_UN);
  return base;
}

Result<RunDir, OsError> RunDir::make(const std::string& base) {
  std::string pattern = join(base, std::string(RUN_DIR_PREFIX) + "XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) return OsError::last();  // mode 0700
  UniqueFd dir(::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!dir.valid() || ::flock(dir.get(), LOCK_EX | LOCK_NB) != 0) {
    const OsError error = OsError::last();
    ::rmdir(pattern.c_str());
    return error;
  }
  return RunDir(std::move(pattern), std::move(dir));
}

RunDir& RunDir::operator=(RunDir&& other) noexcept {
  if (this != &other) {
    if (fd_.valid() && !kept_) discard();
    path_ = std::move(other.path_);
    fd_ = std::move(other.fd_);
    kept_ = other.kept_;
  }
  return *this;
}

RunDir::~RunDir() {
  if (fd_.valid() && !kept_) discard();
}

Result<UniqueFd, OsError> RunDir::create_log() const {
  UniqueFd log(::openat(fd_.get(), LOG_NAME.data(),
                        O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, LOG_MODE));
  if (!log.valid() || ::flock(log.get(), LOCK_EX | LOCK_NB) != 0) return OsError::last();
  return log;
}

void RunDir::keep() {
  kept_ = true;
}

void RunDir::discard() {
  remove_run_files(fd_.get());
  ::rmdir(path_.c_str());  // by name, but only ever ours: it fails if anything else is left
  fd_.reset();             // and so never twice
}

// Calls `visit(base_fd, name, run_fd)` for each run directory of `user`
// in `base`, until it returns true.
template <typename Visit>
void each_run_dir(const std::string& base, uid_t user, Visit visit) {
  const UniqueFd base_fd(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!base_fd.valid()) return;
  const auto close_dir = [](DIR* d) { ::closedir(d); };
  const std::unique_ptr<DIR, decltype(close_dir)> dir(
      ::fdopendir(::fcntl(base_fd.get(), F_DUPFD_CLOEXEC, 0)), close_dir);
  if (!dir) return;
  // This call owns the stream: readdir's one shared buffer is safe here.
  // NOLINTNEXTLINE(concurrency-mt-unsafe)
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(RUN_DIR_PREFIX)) continue;
    const UniqueFd run(
        ::openat(base_fd.get(), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!run.valid() || ::fstat(run.get(), &st) != 0 || st.st_uid != user) continue;
    if (visit(base_fd.get(), entry->d_name, run.get(), st)) return;
  }
}

void clear_stale_run_dirs(const std::string& base, uid_t user) {
  each_run_dir(base, user, [](int base_fd, const char* name, int run, const struct stat& st) {
    if (::time(nullptr) - st.st_mtime < FRESH_SECONDS) return false;
    if (claimed(run) || log_claimed(run)) return false;
    remove_run(base_fd, name, run);
    return false;
  });
}

void clear_old_runs(const std::string& base, uid_t user, time_t now) {
  // Finished runs only: one a window or an update holds is never old.
  const auto finished = [now](int run, const struct stat& st) {
    return now - st.st_mtime >= FRESH_SECONDS && !claimed(run) && !log_claimed(run);
  };
  std::vector<time_t> times;
  each_run_dir(base, user, [&](int, const char*, int run, const struct stat& st) {
    if (finished(run, st)) times.push_back(run_time(run, st));
    return false;
  });
  if (times.size() <= KEPT_RUNS) return;
  std::nth_element(times.begin(), times.begin() + (KEPT_RUNS - 1), times.end(), std::greater<>());
  const time_t newest_kept = times[KEPT_RUNS - 1];
  each_run_dir(base, user, [&](int base_fd, const char* name, int run, const struct stat& st) {
    const time_t when = run_time(run, st);
    if (when >= newest_kept || now - when <= KEPT_DAYS * DAY_SECONDS || !finished(run, st)) {
      return false;
    }
    remove_run(base_fd, name, run);
    return false;
  });
}

namespace {

// Calls `take` with each finished run in `base`; with `held_too`, also
// with those a window still holds (it shows their end).
template <typename Take>
void each_finished_run(const std::string& base, uid_t user, bool held_too, Take take) {
  each_run_dir(base, user, [&](int, const char* name, int run, const struct stat& run_st) {
    UniqueFd log(::openat(run, LOG_NAME.data(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!log.valid() || ::fstat(log.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != user ||
        (!held_too && claimed(run)) || still_claimed(log.get())) {
      return false;
    }
    const std::optional<RunStatus> status = recorded_status(run, user);
    // Without a status, the log is made when the update starts, and
    // nothing after it.
    const time_t ended = status ? status->ended : st.st_mtime;
    take(FinishedRun{join(join(base, name), std::string(LOG_NAME)), std::move(log),
                     status ? status->started : run_st.st_mtime, ended,
                     status ? std::optional<int>(status->wait_status) : std::nullopt,
                     recorded_sudo_end(run, user)});
    return false;
  });
}

}  // namespace

std::vector<FinishedRun> finished_runs(const std::string& base, uid_t user) {
  std::vector<FinishedRun> runs;
  each_finished_run(base, user, true, [&](FinishedRun run) { runs.push_back(std::move(run)); });
  return runs;
}

std::optional<FinishedRun> unshown_run(const std::string& base, uid_t user) {
  std::optional<FinishedRun> newest;
  each_finished_run(base, user, false, [&](FinishedRun run) {
    if (!newest || run.ended >= newest->ended) newest = std::move(run);
  });
  if (!newest) return newest;
  struct stat st {};
  if (::fstat(newest->log.get(), &st) != 0 || (st.st_mode & OWNER_WRITE) == 0) return std::nullopt;
  return newest;
}

void mark_shown(int log) {
  ::fchmod(log, SHOWN_LOG_MODE);
}

std::optional<RunningUpdate> running_update_log(const std::string& base, uid_t user) {
  std::optional<RunningUpdate> found;
  each_run_dir(base, user, [&](int, const char*, int run, const struct stat&) {
    UniqueFd log(::openat(run, LOG_NAME.data(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!log.valid() || ::fstat(log.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != user ||
        !still_claimed(log.get())) {
      return false;
    }
    found = RunningUpdate{std::move(log),
                          UniqueFd(::openat(run, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))};
    return true;
  });
  return found;
}

bool still_claimed(int log) {
  if (claimed(log)) return true;
  // Taken just now to look: given back at once, so it never holds anyone up.
  ::flock(log, LOCK_UN);
  return false;
}

}  // namespace sorvane::gui

#include "run_dir.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <ctime>
#include <memory>

#include "path.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

constexpr mode_t PRIVATE_DIR = 0700;
constexpr mode_t PERMISSION_BITS = 07777;
constexpr time_t FRESH_SECONDS = 60;

// The pid a run directory recorded, or 0.
pid_t recorded_pid(int dir_fd) {
  const UniqueFd fd(::openat(dir_fd, PID_NAME.data(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.valid()) return 0;
  std::array<char, 32> text{};
  const ssize_t n = ::read(fd.get(), text.data(), text.size() - 1);
  pid_t pid = 0;
  if (n > 0) std::from_chars(text.data(), text.data() + n, pid);
  return pid;
}

bool still_running(pid_t pid) {
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

std::string run_dir_base(const char* xdg_runtime_dir, uid_t user) {
  struct stat st {};
  if (xdg_runtime_dir != nullptr && xdg_runtime_dir[0] == '/' &&
      ::lstat(xdg_runtime_dir, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == user &&
      (st.st_mode & PERMISSION_BITS) == PRIVATE_DIR) {
    return xdg_runtime_dir;
  }
  return "/tmp";
}

Result<std::string, OsError> make_run_dir(const std::string& base) {
  std::string pattern = join(base, std::string(RUN_DIR_PREFIX) + "XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) return OsError::last();  // mode 0700
  return pattern;
}

void clear_stale_run_dirs(const std::string& base, uid_t user) {
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
    // A run that has only just begun may not have recorded its pid yet.
    if (::time(nullptr) - st.st_mtime < FRESH_SECONDS) continue;
    if (still_running(recorded_pid(run.get()))) continue;
    for (const std::string_view file : {SCRIPT_NAME, LOG_NAME, PID_NAME}) {
      ::unlinkat(run.get(), file.data(), 0);
    }
    ::unlinkat(base_fd.get(), entry->d_name, AT_REMOVEDIR);  // fails if anything else is left
  }
}

std::optional<OsError> record_pid(const std::string& run_dir, pid_t pid) {
  const std::string path = join(run_dir, PID_NAME);
  const UniqueFd fd(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.valid()) return OsError::last();
  const std::string text = std::to_string(pid) + "\n";
  if (::write(fd.get(), text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    return OsError::last();
  }
  return std::nullopt;
}

}  // namespace sorvane::gui

#include "detector_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <new>
#include <optional>

#include "path.hpp"
#include "unique_fd.hpp"

namespace sorvane {
namespace {

constexpr int FIRST_NON_STANDARD_FD = 3;
// The detector prints a few short lines; one page per read is plenty, and a
// small chunk keeps each read from clearing memory it will not use.
constexpr size_t READ_CHUNK = 4096;

struct Pipe {
  UniqueFd read_end;
  UniqueFd write_end;
};

Result<Pipe, OsError> make_pipe() {
  std::array<int, 2> fds{};
  // Close-on-exec on both ends: the child gets its copies through dup2 only.
  if (::pipe2(fds.data(), O_CLOEXEC) != 0) return OsError::last();
  return Pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
}

// Owns one posix_spawn set-up object (file actions or attributes) and
// destroys it if its initialisation succeeded.
template <class T, int (*Init)(T*), int (*Destroy)(T*)>
class SpawnObject {
 public:
  SpawnObject() : error_(Init(&object_)) {}
  SpawnObject(const SpawnObject&) = delete;
  SpawnObject& operator=(const SpawnObject&) = delete;
  SpawnObject(SpawnObject&&) = delete;
  SpawnObject& operator=(SpawnObject&&) = delete;
  ~SpawnObject() {
    if (error_ == 0) Destroy(&object_);
  }
  [[nodiscard]] int init_error() const { return error_; }
  T* get() { return &object_; }

 private:
  T object_{};
  int error_;
};

using SpawnFileActions = SpawnObject<posix_spawn_file_actions_t, ::posix_spawn_file_actions_init,
                                     ::posix_spawn_file_actions_destroy>;
using SpawnAttributes =
    SpawnObject<posix_spawnattr_t, ::posix_spawnattr_init, ::posix_spawnattr_destroy>;

// A started child that is reaped on every path, even when reading its
// output failed: no zombie is left behind.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  Child(Child&&) = delete;
  Child& operator=(Child&&) = delete;
  ~Child() {
    if (pid_ > 0) (void)wait();
  }

  // The raw wait status.
  Result<int, OsError> wait() {
    int status = 0;
    const pid_t pid = std::exchange(pid_, -1);
    if (retry_on_eintr([&] { return ::waitpid(pid, &status, 0); }) < 0) return OsError::last();
    return status;
  }

 private:
  pid_t pid_;
};

std::optional<OsError> set_non_blocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return OsError::last();
  return std::nullopt;
}

// Reads once from a ready pipe and appends what came to `sink`, or drops it
// when there is no sink. Closes the pipe at end of file. Running out of
// memory is an error like any other: the caller still closes the pipes and
// reaps the child.
std::optional<OsError> read_available(UniqueFd& fd, std::string* sink) {
  std::array<char, READ_CHUNK> chunk{};
  const ssize_t n = retry_on_eintr([&] { return ::read(fd.get(), chunk.data(), chunk.size()); });
  const int saved = errno;
  if (n < 0) return saved == EAGAIN ? std::nullopt : std::optional(OsError::from_code(saved));
  if (n == 0) {
    fd.reset();
    return std::nullopt;
  }
  if (sink == nullptr) return std::nullopt;
  try {
    sink->append(chunk.data(), static_cast<size_t>(n));
  } catch (const std::bad_alloc&) {
    return OsError::from_code(ENOMEM);
  }
  return std::nullopt;
}

// The child's 0, 1 and 2 are /dev/null and our two pipes. The dup2s clear
// close-on-exec on those three only; closing everything above also keeps
// out descriptors that our own caller leaked to us without close-on-exec.
int set_up_descriptors(posix_spawn_file_actions_t* actions, int in_fd, int out_fd, int err_fd) {
  int rc = ::posix_spawn_file_actions_adddup2(actions, in_fd, STDIN_FILENO);
  if (rc == 0) rc = ::posix_spawn_file_actions_adddup2(actions, out_fd, STDOUT_FILENO);
  if (rc == 0) rc = ::posix_spawn_file_actions_adddup2(actions, err_fd, STDERR_FILENO);
  if (rc == 0) rc = ::posix_spawn_file_actions_addclosefrom_np(actions, FIRST_NON_STANDARD_FD);
  return rc;
}

// Every signal at its default action and none blocked, whatever our caller
// left us: SIGPIPE (which we ignore) lets the detector die quietly if we stop
// reading, and a caller that ignored SIGINT, SIGTERM, SIGHUP or SIGQUIT
// cannot make the detector unkillable. SIGKILL and SIGSTOP in the set are
// passed over by the spawn.
int set_up_signals(posix_spawnattr_t* attr) {
  sigset_t default_signals;
  sigset_t empty_mask;
  sigfillset(&default_signals);
  sigemptyset(&empty_mask);
  int rc = ::posix_spawnattr_setsigdefault(attr, &default_signals);
  if (rc == 0) rc = ::posix_spawnattr_setsigmask(attr, &empty_mask);
  if (rc == 0)
    rc = ::posix_spawnattr_setflags(attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  return rc;
}

// Drains both pipes together, so a child that fills one of them never
// blocks while we wait on the other. Standard output is kept; standard
// error is read and dropped chunk by chunk.
std::optional<OsError> drain(UniqueFd& out_fd, UniqueFd& err_fd, ChildOutput& output) {
  if (auto error = set_non_blocking(out_fd.get())) return error;
  if (auto error = set_non_blocking(err_fd.get())) return error;
  while (out_fd.valid() || err_fd.valid()) {
    // A negative descriptor is skipped by poll: that pipe is finished.
    std::array<pollfd, 2> fds{{{out_fd.get(), POLLIN, 0}, {err_fd.get(), POLLIN, 0}}};
    if (retry_on_eintr([&] { return ::poll(fds.data(), fds.size(), -1); }) < 0) {
      return OsError::last();
    }
    const std::array<std::pair<UniqueFd*, std::string*>, 2> targets{
        {{&out_fd, &output.out}, {&err_fd, nullptr}}};
    for (size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      if ((fds[i].revents & POLLNVAL) != 0) return OsError::from_code(EBADF);
      if (auto error = read_available(*targets[i].first, targets[i].second)) return error;
    }
  }
  return std::nullopt;
}

}  // namespace

Result<ChildOutput, OsError> run_detector_child(std::string_view bash, std::string_view script) {
  auto c_bash = to_c_path(bash);
  auto c_script = to_c_path(script);
  if (!c_bash || !c_script) return OsError::from_code(EINVAL);

  UniqueFd null_fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  if (!null_fd.valid()) return OsError::last();
  auto out_pipe = make_pipe();
  if (!out_pipe) return out_pipe.error();
  auto err_pipe = make_pipe();
  if (!err_pipe) return err_pipe.error();

  SpawnFileActions actions;
  if (actions.init_error() != 0) return OsError::from_code(actions.init_error());
  SpawnAttributes attr;
  if (attr.init_error() != 0) return OsError::from_code(attr.init_error());

  int rc = set_up_descriptors(actions.get(), null_fd.get(), out_pipe.value().write_end.get(),
                              err_pipe.value().write_end.get());
  if (rc == 0) rc = set_up_signals(attr.get());
  if (rc != 0) return OsError::from_code(rc);

  // Sorted by name, and nothing else of ours: no BASH_ENV, no exported
  // functions, no LD_PRELOAD reach the detector.
  std::string locale_var = "LC_ALL=C";
  std::string path_var = "PATH=" + std::string(DETECTOR_PATH_ENV);
  std::array<char*, 3> envp{locale_var.data(), path_var.data(), nullptr};
  // argv[0] is the bash path itself; argv[1] the script, byte for byte.
  std::array<char*, 3> argv{c_bash->data(), c_script->data(), nullptr};

  // posix_spawn, not posix_spawnp: the path is absolute and is never looked
  // up in any PATH.
  pid_t pid = -1;
  rc = ::posix_spawn(&pid, c_bash->c_str(), actions.get(), attr.get(), argv.data(), envp.data());
  if (rc != 0) return OsError::from_code(rc);
  Child child(pid);

  // Our copies of the child's ends must go, or the pipes never reach EOF.
  null_fd.reset();
  out_pipe.value().write_end.reset();
  err_pipe.value().write_end.reset();

  ChildOutput output;
  auto read_error = drain(out_pipe.value().read_end, err_pipe.value().read_end, output);
  // Closing our ends first lets a child still writing die of SIGPIPE
  // instead of blocking the wait below.
  out_pipe.value().read_end.reset();
  err_pipe.value().read_end.reset();
  auto status = child.wait();
  if (read_error) return *read_error;
  if (!status) return status.error();
  output.wait_status = status.value();
  return output;
}

}  // namespace sorvane

// The one way the window starts a program: the child gets exactly the
// arguments, environment and descriptors it is described with and nothing
// of the window's own state; a child that could not be set up is an error,
// never a running process; and every child is reaped, on every path.
//
// Thread-safe: no global state, no signal handler, nothing relying on
// SIGCHLD, so helpers may run from many threads at once.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "os_error.hpp"
#include "result.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {

// Which of the window's descriptors the child gets at which number.
struct ChildFd {
  int target;  // the number in the child
  int source;  // an open descriptor of ours; it stays ours
};

enum class ChildGroup {
  NewProcessGroup,  // the child and all it starts can be killed at once
  NewSession,       // as well: no controlling terminal
};

struct ChildSetup {
  std::vector<std::string> argv;         // argv[0] is absolute; PATH is never searched
  std::vector<std::string> environment;  // "NAME=value", exactly these
  std::vector<ChildFd> fds;              // every other descriptor is closed
  ChildGroup group = ChildGroup::NewProcessGroup;
  std::optional<std::string> directory;  // to change to
  std::optional<mode_t> umask;
  // Every signal is at its default action and none is blocked, always.
};

class ChildProcess {
 public:
  // Starts the child, or says why it could not: the errno of the first
  // set-up step that failed, in the window or in the child before exec.
  static Result<ChildProcess, OsError> spawn(const ChildSetup& setup);

  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // One not yet reaped is killed, with its process group, and reaped.
  ~ChildProcess();

  [[nodiscard]] pid_t pid() const { return pid_; }
  // Readable once the child has ended.
  [[nodiscard]] int pidfd() const { return pidfd_.get(); }

  // The wait status once the child has ended; nullopt while it runs.
  Result<std::optional<int>, OsError> try_reap();
  // Waits for the end, at most until `deadline` when given.
  Result<std::optional<int>, OsError> wait_until(
      std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);
  // SIGKILL to the child's whole process group; nothing once reaped.
  void kill_group();
  // Leaves the child running and unreaped: the caller reaps the pid.
  pid_t release();

 private:
  ChildProcess(pid_t pid, UniqueFd pidfd) : pid_(pid), pidfd_(std::move(pidfd)) {}
  void end();

  pid_t pid_ = -1;
  UniqueFd pidfd_;
  std::optional<int> status_;
};

// What a program run to its end wrote and how it ended.
struct Captured {
  std::string out;
  std::string err;
  int wait_status = 0;
  bool timed_out = false;  // killed, with its process group, at the limit
  bool cut = false;        // a stream went past `max_output`
};

// Runs a helper program (sorvane itself, a manager's query, sudo's password
// probe) with exactly `environment`, standard input on /dev/null and its
// output captured, in its own process group, for at most `limit`: a helper
// that hangs must not hang the window with it. Each stream keeps its first
// `max_output` bytes; the rest is read and dropped, so a chatty child never
// blocks. The child is always reaped.
inline constexpr size_t MAX_OUTPUT = size_t{64} * 1024;
Result<Captured, OsError> run_captured(const std::vector<std::string>& argv,
                                       const std::vector<std::string>& environment,
                                       std::chrono::milliseconds limit,
                                       size_t max_output = MAX_OUTPUT);

}  // namespace sorvane::gui

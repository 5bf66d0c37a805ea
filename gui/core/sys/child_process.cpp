#include "child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>

#include "pidfd.hpp"

namespace sorvane::gui {
namespace {

using Clock = std::chrono::steady_clock;
// A poll's timeout is an int; longer waits go round again.
constexpr std::int64_t MAX_POLL_MS = 60'000;

std::vector<char*> c_strings(std::vector<std::string>& strings) {
  std::vector<char*> pointers(strings.size() + 1, nullptr);
  std::transform(strings.begin(), strings.end(), pointers.begin(),
                 [](std::string& s) { return s.data(); });
  return pointers;
}

// Everything the child uses, made before the fork: after it, nothing may
// be allocated.
struct Plan {
  const char* program;
  char* const* argv;
  char* const* envp;
  const std::vector<ChildFd>* moves;  // sources already above every target
  const std::vector<int>* kept;       // the targets, sorted, without repeats
  ChildGroup group;
  const char* directory;  // nullptr: stay
  bool set_umask;
  mode_t umask;
  int report;  // close-on-exec: the child writes its errno here on failure
};

// Closes every descriptor in [from, to], none when the range is empty.
bool close_between(int from, int to) {
  return from > to ||
         ::close_range(static_cast<unsigned int>(from), static_cast<unsigned int>(to), 0) == 0;
}

// Between fork and exec: async-signal-safe calls only. Every signal is
// still blocked here, so no handler of the window's runs in the child
// before its disposition is back at the default.
bool set_up_child(const Plan& plan) {
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG; ++signal) {
    if (signal == SIGKILL || signal == SIGSTOP) continue;
    // The C library refuses the few signals it keeps for itself; those
    // it never lets anyone change, so they are at their default.
    if (::sigaction(signal, &default_action, nullptr) != 0 && errno != EINVAL) return false;
  }
  if (plan.group == ChildGroup::NewSession ? ::setsid() < 0 : ::setpgid(0, 0) != 0) return false;
  for (const ChildFd& move : *plan.moves) {
    if (::dup2(move.source, move.target) < 0) return false;
  }
  int next = 0;
  for (const int target : *plan.kept) {
    if (!close_between(next, target - 1)) return false;
    next = target + 1;
  }
  if (!close_between(next, plan.report - 1)) return false;
  if (::close_range(static_cast<unsigned int>(plan.report) + 1, ~0U, 0) != 0) return false;
  if (plan.directory != nullptr && ::chdir(plan.directory) != 0) return false;
  if (plan.set_umask) ::umask(plan.umask);
  sigset_t none;
  sigemptyset(&none);
  const int unblocked = ::pthread_sigmask(SIG_SETMASK, &none, nullptr);
  if (unblocked != 0) {
    errno = unblocked;
    return false;
  }
  return true;
}

[[noreturn]] void become_child(const Plan& plan) {
  if (set_up_child(plan)) ::execve(plan.program, plan.argv, plan.envp);
  const int error = errno;
  // A pipe takes these few bytes whole; if the window is gone, nobody asks.
  [[maybe_unused]] const ssize_t n =
      retry_on_eintr([&] { return ::write(plan.report, &error, sizeof error); });
  ::_exit(127);
}

// A copy of `fd` numbered at least `floor`, closed on exec.
Result<UniqueFd, OsError> copy_above(int fd, int floor) {
  UniqueFd copy(::fcntl(fd, F_DUPFD_CLOEXEC, floor));
  if (!copy.valid()) return OsError::last();
  return copy;
}

int reap_blocking(pid_t pid) {
  int status = 0;
  retry_on_eintr([&] { return ::waitpid(pid, &status, 0); });
  return status;
}

// Blocks every signal for as long as it lives, on this thread only.
class AllSignalsBlocked {
 public:
  AllSignalsBlocked() {
    sigset_t all;
    sigfillset(&all);
    error_ = ::pthread_sigmask(SIG_SETMASK, &all, &old_);
  }
  AllSignalsBlocked(const AllSignalsBlocked&) = delete;
  AllSignalsBlocked& operator=(const AllSignalsBlocked&) = delete;
  AllSignalsBlocked(AllSignalsBlocked&&) = delete;
  AllSignalsBlocked& operator=(AllSignalsBlocked&&) = delete;
  ~AllSignalsBlocked() {
    if (error_ == 0) ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  [[nodiscard]] int error() const { return error_; }

 private:
  sigset_t old_{};
  int error_ = 0;
};

}  // namespace

Result<ChildProcess, OsError> ChildProcess::spawn(const ChildSetup& setup) {
  if (setup.argv.empty() || !setup.argv[0].starts_with('/')) return OsError::from_code(EINVAL);
  int floor = STDERR_FILENO + 1;
  std::vector<int> kept;
  for (const ChildFd& fd : setup.fds) {
    if (fd.target < 0) return OsError::from_code(EBADF);
    floor = std::max(floor, fd.target + 1);
    kept.push_back(fd.target);
  }
  std::sort(kept.begin(), kept.end());
  if (std::adjacent_find(kept.begin(), kept.end()) != kept.end()) return OsError::from_code(EINVAL);

  // Every source is copied above every target, so that no move in the
  // child overwrites a source another move still needs.
  std::vector<UniqueFd> sources;
  std::vector<ChildFd> moves;
  for (const ChildFd& fd : setup.fds) {
    auto copy = copy_above(fd.source, floor);
    if (!copy) return copy.error();
    moves.push_back({fd.target, copy.value().get()});
    sources.push_back(std::move(copy.value()));
  }
  std::array<int, 2> report{};
  if (::pipe2(report.data(), O_CLOEXEC) != 0) return OsError::last();
  UniqueFd report_read(report[0]);
  auto report_write = copy_above(report[1], floor);
  ::close(report[1]);
  if (!report_write) return report_write.error();

  std::vector<std::string> args = setup.argv;
  std::vector<std::string> env = setup.environment;
  const auto c_args = c_strings(args);
  const auto c_env = c_strings(env);
  const Plan plan{c_args[0],
                  c_args.data(),
                  c_env.data(),
                  &moves,
                  &kept,
                  setup.group,
                  setup.directory ? setup.directory->c_str() : nullptr,
                  setup.umask.has_value(),
                  setup.umask.value_or(0),
                  report_write.value().get()};

  pid_t child = -1;
  int fork_error = 0;
  {
    const AllSignalsBlocked blocked;
    if (blocked.error() != 0) return OsError::from_code(blocked.error());
    child = ::fork();
    if (child == 0) become_child(plan);
    fork_error = errno;
  }
  if (child < 0) return OsError::from_code(fork_error);
  report_write.value().reset();

  int child_error = 0;
  const ssize_t n =
      retry_on_eintr([&] { return ::read(report_read.get(), &child_error, sizeof child_error); });
  const int read_error = errno;
  if (n != 0) {
    // The child failed before exec and has exited or is about to; if what
    // it said cannot be read, it is not left running either.
    if (n < 0) ::kill(child, SIGKILL);
    reap_blocking(child);
    if (n < 0) return OsError::from_code(read_error);
    return OsError::from_code(n == sizeof child_error ? child_error : EIO);
  }
  UniqueFd opened(::pidfd_open(child, 0));
  if (!opened.valid()) {
    const OsError error = OsError::last();
    ::kill(-child, SIGKILL);
    reap_blocking(child);
    return error;
  }
  return ChildProcess(child, std::move(opened));
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      pidfd_(std::move(other.pidfd_)),
      status_(std::exchange(other.status_, std::nullopt)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    end();
    pid_ = std::exchange(other.pid_, -1);
    pidfd_ = std::move(other.pidfd_);
    status_ = std::exchange(other.status_, std::nullopt);
  }
  return *this;
}

ChildProcess::~ChildProcess() {
  end();
}

void ChildProcess::end() {
  if (pid_ < 0 || status_) return;
  kill_group();
  status_ = reap_blocking(pid_);
}

Result<std::optional<int>, OsError> ChildProcess::try_reap() {
  if (status_ || pid_ < 0) return status_;
  int status = 0;
  const pid_t done = retry_on_eintr([&] { return ::waitpid(pid_, &status, WNOHANG); });
  if (done < 0) return OsError::last();
  if (done == pid_) status_ = status;
  return status_;
}

Result<std::optional<int>, OsError> ChildProcess::wait_until(
    std::optional<Clock::time_point> deadline) {
  for (;;) {
    auto reaped = try_reap();
    if (!reaped || reaped.value() || pid_ < 0) return reaped;
    int timeout = -1;
    if (deadline) {
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
      if (left <= 0) return std::optional<int>{};
      timeout = static_cast<int>(std::min<decltype(left)>(left, MAX_POLL_MS));
    }
    pollfd ended{pidfd_.get(), POLLIN, 0};
    if (::poll(&ended, 1, timeout) < 0 && errno != EINTR) return OsError::last();
  }
}

void ChildProcess::kill_group() {
  // Unreaped, the child keeps its pid and so its group's number from
  // going to anyone else.
  if (pid_ < 0 || status_) return;
  if (::kill(-pid_, SIGKILL) != 0) ::pidfd_send_signal(pidfd_.get(), SIGKILL, nullptr, 0);
}

pid_t ChildProcess::release() {
  pidfd_.reset();
  status_.reset();
  return std::exchange(pid_, -1);
}

Result<Captured, OsError> run_captured(const std::vector<std::string>& argv,
                                       const std::vector<std::string>& environment,
                                       std::chrono::milliseconds limit, size_t max_output) {
  const auto deadline = Clock::now() + limit;
  const UniqueFd null(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  if (!null.valid()) return OsError::last();
  std::array<UniqueFd, 2> reads;
  std::array<UniqueFd, 2> writes;
  for (size_t i = 0; i < reads.size(); ++i) {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) return OsError::last();
    reads.at(i).reset(ends[0]);
    writes.at(i).reset(ends[1]);
  }
  ChildSetup setup{argv,
                   environment,
                   {{STDIN_FILENO, null.get()},
                    {STDOUT_FILENO, writes[0].get()},
                    {STDERR_FILENO, writes[1].get()}},
                   ChildGroup::NewProcessGroup,
                   std::nullopt,
                   std::nullopt};
  auto spawned = ChildProcess::spawn(setup);
  if (!spawned) return spawned.error();
  ChildProcess& child = spawned.value();
  for (UniqueFd& fd : writes) fd.reset();

  Captured run;
  const std::array<std::string*, 2> sinks{&run.out, &run.err};
  // Ended is not reaped: until the end of the run the child keeps its pid,
  // and so its group's number, from going to anyone else.
  bool ended = false;
  for (;;) {
    if (ended && !reads[0].valid() && !reads[1].valid()) break;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      run.timed_out = true;
      break;
    }
    // A closed stream's entry is -1, which poll passes over.
    std::array<pollfd, 3> fds{{{reads[0].get(), POLLIN, 0},
                               {reads[1].get(), POLLIN, 0},
                               {ended ? -1 : child.pidfd(), POLLIN, 0}}};
    const int timeout = static_cast<int>(std::min<decltype(left)>(left, MAX_POLL_MS));
    if (::poll(fds.data(), fds.size(), timeout) < 0) {
      if (errno == EINTR) continue;
      return OsError::last();
    }
    ended = ended || fds[2].revents != 0;
    for (size_t i = 0; i < reads.size(); ++i) {
      if (fds.at(i).revents == 0) continue;
      std::array<char, 4096> chunk{};
      const ssize_t n = ::read(reads.at(i).get(), chunk.data(), chunk.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        reads.at(i).reset();
        continue;
      }
      std::string& sink = *sinks.at(i);
      const size_t kept =
          std::min(static_cast<size_t>(n), max_output - std::min(max_output, sink.size()));
      run.cut = run.cut || kept < static_cast<size_t>(n);
      sink.append(chunk.data(), kept);
    }
  }
  // Past the limit the child and all it started go; either way it is
  // reaped before this returns.
  if (run.timed_out) child.kill_group();
  auto reaped = child.wait_until();
  if (!reaped) return reaped.error();
  run.wait_status = reaped.value().value_or(0);
  return run;
}

}  // namespace sorvane::gui

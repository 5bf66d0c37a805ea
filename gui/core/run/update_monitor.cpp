#include "update_monitor.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <string_view>

#include "child_process.hpp"
#include "password_handover.hpp"
#include "pidfd.hpp"
#include "run_status.hpp"
#include "script_output.hpp"
#include "unique_fd.hpp"
#include "update_log.hpp"
#include "update_process.hpp"
#include "writer.hpp"

namespace sorvane::gui {
namespace {

constexpr std::size_t CHUNK = std::size_t{64} << 10;
// What is still in the pipe when the script has ended: its own last words
// fit in a pipe's buffer; a daemon that keeps writing is not waited for.
constexpr std::size_t MAX_AFTER_END = std::size_t{1} << 20;

void say(std::string_view line) {
  (void)write_all(STDOUT_FILENO, line);
  // Said once: the window stops listening, and nothing else goes there.
  const UniqueFd null(::open("/dev/null", O_WRONLY | O_CLOEXEC));
  if (null.valid()) ::dup2(null.get(), STDOUT_FILENO);
}

// Appends what came through the pipe to the log, which stays within its
// cap. A log that cannot be written (a full disk) loses output, never the
// update: the pipe is always read.
class Copier {
 public:
  explicit Copier(int log) : log_(log) {
    struct stat st {};
    if (::fstat(log_, &st) == 0) length_ = static_cast<std::uint64_t>(st.st_size);
  }
  // What is copied from now on is counted there too; nullptr stops it.
  void count_into(SudoLines* lines) { counted_ = lines; }
  // False at the end of the pipe or on an error; `more` with nothing
  // waiting when it would block.
  bool copy(int pipe, bool& more) {
    const ssize_t n = retry_on_eintr([&] { return ::read(pipe, chunk_.data(), chunk_.size()); });
    more = n > 0;
    if (n < 0 && errno == EAGAIN) return true;
    if (n <= 0) return false;
    const std::string_view bytes(chunk_.data(), static_cast<std::size_t>(n));
    if (counted_ != nullptr) counted_->feed(bytes);
    if (!write_all(log_, bytes)) length_ += bytes.size();
    cap_.grew_to(log_, length_);
    copied_ += bytes.size();
    return true;
  }
  [[nodiscard]] std::size_t copied() const { return copied_; }

 private:
  int log_;
  std::uint64_t length_ = 0;
  std::size_t copied_ = 0;
  LogCap cap_;
  SudoLines* counted_ = nullptr;
  std::array<char, CHUNK> chunk_{};
};

// How often the script's children are looked at until sudo is among them:
// it waits for its password far longer than this.
constexpr int SUDO_LOOK_MS = 50;

// sudo's part of the script. While sudo runs the script only waits for
// it, so the script is held stopped from when sudo is seen until sudo has
// ended and all that its commands printed has been read: nothing the
// script prints after sudo reaches the pipe before that, and the count of
// step lines recorded then tells every reader which of them a package
// printed.
class SudoWatch {
 public:
  explicit SudoWatch(const ChildProcess& script) : script_(script) {}
  SudoWatch(const SudoWatch&) = delete;
  SudoWatch& operator=(const SudoWatch&) = delete;
  SudoWatch(SudoWatch&&) = delete;
  SudoWatch& operator=(SudoWatch&&) = delete;
  ~SudoWatch() { resume(); }

  // Still to be found: look again within SUDO_LOOK_MS.
  [[nodiscard]] bool looking() const { return !given_up_ && !sudo_.valid(); }
  // Readable once the watched sudo has ended; -1 while none is.
  [[nodiscard]] int fd() const { return sudo_.get(); }

  void look() {
    if (!looking()) return;
    const auto sudo = sudo_below("/proc", script_.pid(), 1);
    if (!sudo) return;
    UniqueFd watched(::pidfd_open(*sudo, 0));
    if (!watched.valid() || !signal(SIGSTOP)) return give_up();
    stopped_ = true;
    // Held before sudo ended, and sudo is still the script's: only then
    // is the line between them exact.
    if (!held() || ended(watched.get()) || sudo_below("/proc", script_.pid(), 1) != sudo) {
      return give_up();
    }
    sudo_ = std::move(watched);
  }
  // Once the script, still held, may go on.
  void done() {
    sudo_.reset();
    give_up();
  }

 private:
  bool signal(int number) const {
    return ::pidfd_send_signal(script_.pidfd(), number, nullptr, 0) == 0;
  }
  [[nodiscard]] bool held() const {
    constexpr int TRIES = 200;
    for (int i = 0; i < TRIES; ++i) {
      const auto script = look_at_process("/proc", script_.pid());
      if (!script) return false;
      if (script->state == 'T') return true;
      ::usleep(1000);
    }
    return false;
  }
  static bool ended(int pidfd) {
    pollfd one{pidfd, POLLIN, 0};
    return ::poll(&one, 1, 0) != 0;
  }
  void give_up() {
    given_up_ = true;
    resume();
  }
  void resume() {
    if (stopped_) (void)signal(SIGCONT);
    stopped_ = false;
  }

  const ChildProcess& script_;
  UniqueFd sudo_;
  bool stopped_ = false;
  bool given_up_ = false;
};

Result<ChildProcess, OsError> start_script(const std::string& bash, int output, char** environ) {
  return ChildProcess::spawn({{bash, "/dev/fd/" + std::to_string(SCRIPT_FD)},
                              kept_environment(environ),
                              {{STDIN_FILENO, MONITOR_INPUT_FD},
                               {STDOUT_FILENO, output},
                               {STDERR_FILENO, output},
                               {SCRIPT_FD, SCRIPT_FD}},
                              ChildGroup::NewSession,
                              "/",
                              SCRIPT_UMASK});
}

}  // namespace

bool is_monitor_call(int argc, char** argv) {
  return argc == 3 && std::string_view(argv[1]) == MONITOR_FLAG && argv[2][0] == '/';
}

Result<MonitorEnd, OsError> monitor_update(const std::string& bash, char** environ) {
  // The window may be gone when something is said to it.
  (void)::signal(SIGPIPE, SIG_IGN);
  const auto failed = [](const OsError& error) {
    say("failed " + std::to_string(error.code() > 0 ? error.code() : EIO) + "\n");
    return error;
  };
  struct stat log_st {};
  struct stat run_st {};
  if (::fstat(MONITOR_LOG_FD, &log_st) != 0 || !S_ISREG(log_st.st_mode) ||
      ::fstat(MONITOR_RUN_FD, &run_st) != 0 || !S_ISDIR(run_st.st_mode)) {
    return failed(OsError::from_code(EBADF));
  }
  // The claim, taken over from the window (it is the same open file).
  if (::flock(MONITOR_LOG_FD, LOCK_EX | LOCK_NB) != 0) return failed(OsError::last());
  std::array<int, 2> ends{};
  if (::pipe2(ends.data(), O_CLOEXEC) != 0) return failed(OsError::last());
  const UniqueFd output(ends[0]);
  UniqueFd output_write(ends[1]);
  const time_t started = ::time(nullptr);
  auto script = start_script(bash, output_write.get(), environ);
  // Only the script has these now: its input ends when the window's end
  // goes, and the script's bytes live as long as it reads them.
  ::close(MONITOR_INPUT_FD);
  ::close(SCRIPT_FD);
  output_write.reset();
  if (!script) return failed(script.error());
  say("started " + std::to_string(script.value().pid()) + "\n");

  // Read when poll says so, and drained without waiting at sudo's end.
  ::fcntl(output.get(), F_SETFL, O_NONBLOCK);
  Copier copier(MONITOR_LOG_FD);
  SudoLines sudo_lines;
  copier.count_into(&sudo_lines);
  SudoWatch sudo(script.value());
  bool open = true;
  std::optional<int> status;
  while (!status) {
    std::array<pollfd, 3> fds{{{open ? output.get() : -1, POLLIN, 0},
                               {script.value().pidfd(), POLLIN, 0},
                               {sudo.fd(), POLLIN, 0}}};
    const int wait = sudo.looking() ? SUDO_LOOK_MS : -1;
    if (::poll(fds.data(), fds.size(), wait) < 0 && errno != EINTR) break;
    if (fds[0].revents != 0) {
      bool more = false;
      open = copier.copy(output.get(), more);
    }
    if (fds[2].revents != 0) {
      // sudo has ended and the script is held: what is in the pipe now is
      // all that sudo's commands printed.
      const std::size_t before = copier.copied();
      for (bool more = true; open && more && copier.copied() - before < MAX_AFTER_END;) {
        open = copier.copy(output.get(), more);
      }
      (void)record_sudo_end(MONITOR_RUN_FD, {sudo_lines.count()});
      copier.count_into(nullptr);
      sudo.done();
    }
    if (fds[1].revents != 0) {
      auto reaped = script.value().try_reap();
      if (!reaped) break;
      status = reaped.value();
    }
    sudo.look();
  }
  // Never left held, whatever ended the loop: the script is waited for next.
  sudo.done();
  if (!status) {
    // poll or waitpid failing here is no state to go on in: the script
    // is still waited for, so its end is never lost.
    auto reaped = script.value().wait_until();
    if (reaped && reaped.value()) status = reaped.value();
  }
  // What the script wrote before it ended is in the pipe: read it without
  // waiting for an end that a daemon holding the pipe would never give.
  const std::size_t before = copier.copied();
  for (bool more = true; open && more && copier.copied() - before < MAX_AFTER_END;) {
    open = copier.copy(output.get(), more);
  }
  ::close(MONITOR_HELD_FD);  // shutdown may go ahead now
  MonitorEnd end{{status.value_or(0), started, ::time(nullptr)}, false};
  const bool recorded = status && !record_status(MONITOR_RUN_FD, end.status);
  ::fsync(MONITOR_LOG_FD);
  // Whether a window watches: each holds the directory while it does.
  end.watched = ::flock(MONITOR_RUN_FD, LOCK_EX | LOCK_NB) != 0;
  // The update is over: the next one may start.
  ::flock(MONITOR_LOG_FD, LOCK_UN);
  if (!recorded) return OsError::from_code(status ? EIO : ECHILD);
  return end;
}

}  // namespace sorvane::gui

#include "update_process.hpp"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>

#include "password.hpp"
#include "writer.hpp"

namespace sorvane::gui {
namespace {

constexpr unsigned int SEALS = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;
// Where the child's sources are kept before they are put in place, above
// every number they are moved to, so no move overwrites another source.
constexpr int HIGH_FD = 10;

// The script's bytes in memory that no one, this process included, can
// change any more.
Result<UniqueFd, OsError> sealed_copy(std::string_view bytes) {
  UniqueFd fd(::memfd_create("sorvane-update-script", MFD_CLOEXEC | MFD_ALLOW_SEALING));
  if (!fd.valid()) return OsError::last();
  if (auto error = write_all(fd.get(), bytes)) return *error;
  if (::fcntl(fd.get(), F_ADD_SEALS, SEALS) != 0) return OsError::last();
  return fd;
}

Result<UniqueFd, OsError> moved_high(UniqueFd fd) {
  UniqueFd high(::fcntl(fd.get(), F_DUPFD_CLOEXEC, HIGH_FD));
  if (!high.valid()) return OsError::last();
  return high;
}

struct ChildFds {
  int input;
  int log;
  int script;
  int held;    // -1 when nothing is held
  int report;  // close-on-exec: the child writes its errno here if exec fails
};

// Between fork and exec: async-signal-safe calls only, nothing allocated.
[[noreturn]] void become_script(const ChildFds& fds, const char* bash, char* const* argv,
                                char* const* envp) {
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &default_action, nullptr);
  sigset_t none;
  sigemptyset(&none);
  ::pthread_sigmask(SIG_SETMASK, &none, nullptr);
  ::umask(SCRIPT_UMASK);
  const bool ready = ::setsid() >= 0 && ::chdir("/") == 0 && ::dup2(fds.input, STDIN_FILENO) >= 0 &&
                     ::dup2(fds.log, STDOUT_FILENO) >= 0 && ::dup2(fds.log, STDERR_FILENO) >= 0 &&
                     ::dup2(fds.script, SCRIPT_FD) >= 0 &&
                     (fds.held < 0 || ::dup2(fds.held, HELD_FD) >= 0) &&
                     ::close_range(fds.held < 0 ? HELD_FD : HELD_FD + 1, fds.report - 1, 0) == 0 &&
                     ::close_range(fds.report + 1, ~0U, 0) == 0;
  if (ready) ::execve(bash, argv, envp);
  const int error = errno;
  [[maybe_unused]] const ssize_t n = ::write(fds.report, &error, sizeof error);
  ::_exit(127);
}

}  // namespace

std::vector<std::string> kept_environment(char** environ) {
  std::vector<std::string> kept;
  for (const std::string_view name : KEPT_VARIABLES) {
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
      const std::string_view variable = *entry;
      if (variable.size() > name.size() && variable.starts_with(name) &&
          variable[name.size()] == '=') {
        kept.emplace_back(variable);
        break;
      }
    }
  }
  return kept;
}

Result<StartedUpdate, OsError> start_update(const std::string& bash, std::string_view script,
                                            int log, const std::vector<std::string>& environment,
                                            int held) {
  auto sealed = sealed_copy(script);
  if (!sealed) return sealed.error();
  std::array<int, 2> pair{};
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair.data()) != 0)
    return OsError::last();
  UniqueFd ours(pair[0]);
  UniqueFd theirs(pair[1]);
  std::array<int, 2> report{};
  if (::pipe2(report.data(), O_CLOEXEC) != 0) return OsError::last();
  UniqueFd report_read(report[0]);
  UniqueFd report_write(report[1]);

  auto input = moved_high(std::move(theirs));
  auto script_high = moved_high(std::move(sealed.value()));
  auto report_high = moved_high(std::move(report_write));
  if (!input) return input.error();
  if (!script_high) return script_high.error();
  if (!report_high) return report_high.error();
  UniqueFd log_high(::fcntl(log, F_DUPFD_CLOEXEC, HIGH_FD));
  if (!log_high.valid()) return OsError::last();
  UniqueFd script_input(::fcntl(input.value().get(), F_DUPFD_CLOEXEC, HIGH_FD));
  if (!script_input.valid()) return OsError::last();
  UniqueFd held_high;
  if (held >= 0) {
    held_high = UniqueFd(::fcntl(held, F_DUPFD_CLOEXEC, HIGH_FD));
    if (!held_high.valid()) return OsError::last();
  }

  // Everything the child needs is made before the fork.
  std::string script_arg = "/dev/fd/" + std::to_string(SCRIPT_FD);
  std::string bash_copy = bash;
  std::array<char*, 3> argv{bash_copy.data(), script_arg.data(), nullptr};
  std::vector<std::string> env_copy = environment;
  std::vector<char*> envp(env_copy.size() + 1, nullptr);
  std::transform(env_copy.begin(), env_copy.end(), envp.begin(),
                 [](std::string& variable) { return variable.data(); });
  const ChildFds fds{input.value().get(), log_high.get(), script_high.value().get(),
                     held_high.get(), report_high.value().get()};

  const pid_t pid = ::fork();
  if (pid < 0) return OsError::last();
  if (pid == 0) become_script(fds, bash_copy.c_str(), argv.data(), envp.data());

  report_high.value().reset();
  int child_error = 0;
  const ssize_t n =
      retry_on_eintr([&] { return ::read(report_read.get(), &child_error, sizeof child_error); });
  if (n > 0) {
    int status = 0;
    retry_on_eintr([&] { return ::waitpid(pid, &status, 0); });
    return OsError::from_code(child_error);
  }
  return StartedUpdate{pid, std::move(ours), std::move(script_input)};
}

std::optional<OsError> send_password(const StartedUpdate& update, std::string_view password) {
  // One write, so sudo never sees half a line; a socket buffer holds far
  // more than the 256 bytes at most.
  std::string line(password);
  line += '\n';
  const ssize_t n = retry_on_eintr(
      [&] { return ::send(update.input.get(), line.data(), line.size(), MSG_NOSIGNAL); });
  const int error = errno;
  wipe(line.data(), line.size());
  if (n < 0) return OsError::from_code(error);
  if (static_cast<size_t>(n) != line.size()) return OsError::from_code(EIO);
  return end_input(update);
}

std::optional<OsError> end_input(const StartedUpdate& update) {
  if (::shutdown(update.input.get(), SHUT_WR) != 0) return OsError::last();
  return std::nullopt;
}

size_t unread_input(const StartedUpdate& update) {
  int queued = 0;
  if (::ioctl(update.script_input.get(), FIONREAD, &queued) != 0 || queued < 0) return 0;
  return static_cast<size_t>(queued);
}

void drain_unread_input(const StartedUpdate& update) {
  std::array<char, 512> sink{};
  while (::recv(update.script_input.get(), sink.data(), sink.size(), MSG_DONTWAIT) > 0) {
  }
  wipe(sink.data(), sink.size());
}

}  // namespace sorvane::gui

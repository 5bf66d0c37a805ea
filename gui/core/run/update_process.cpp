#include "update_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <span>

#include "child_process.hpp"
#include "secret.hpp"
#include "writer.hpp"

namespace sorvane::gui {
namespace {

constexpr unsigned int SEALS = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;

// The script's bytes in memory that no one, this process included, can
// change any more.
Result<UniqueFd, OsError> sealed_copy(std::string_view bytes) {
  UniqueFd fd(::memfd_create("sorvane-update-script", MFD_CLOEXEC | MFD_ALLOW_SEALING));
  if (!fd.valid()) return OsError::last();
  if (auto error = write_all(fd.get(), bytes)) return *error;
  if (::fcntl(fd.get(), F_ADD_SEALS, SEALS) != 0) return OsError::last();
  return fd;
}

}  // namespace

namespace {

// A language variable that names a locale ("de_DE.UTF-8", "en:de",
// "sr_RS@latin"). A value with "/" is a path: glibc loads the locale data
// and the translated messages, format strings included, of whatever
// directory it names, and an odd sudoers (env_keep += LANG) hands it to
// root's package managers as it is.
bool names_a_locale(std::string_view name, std::string_view value) {
  if (name != "LANG" && name != "LANGUAGE" && !name.starts_with("LC_")) return true;
  constexpr size_t MAX_LOCALE = 255;
  if (value.size() > MAX_LOCALE || value.find("..") != std::string_view::npos) return false;
  return std::all_of(value.begin(), value.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-' || c == '@' || c == ':' || c == '+';
  });
}

}  // namespace

std::vector<std::string> named_variables(char** environ, std::span<const std::string_view> names) {
  std::vector<std::string> kept;
  for (const std::string_view name : names) {
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
      const std::string_view variable = *entry;
      if (variable.size() > name.size() && variable.starts_with(name) &&
          variable[name.size()] == '=') {
        if (names_a_locale(name, variable.substr(name.size() + 1))) kept.emplace_back(variable);
        break;
      }
    }
  }
  return kept;
}

namespace {

// The monitor says on its standard output whether the script started:
// "started PID" or "failed ERRNO", one line. Nothing at all means it
// could not say.
constexpr std::chrono::seconds REPORT_LIMIT{30};

Result<pid_t, OsError> read_report(int fd) {
  std::string said;
  const auto deadline = std::chrono::steady_clock::now() + REPORT_LIMIT;
  std::array<char, 64> chunk{};
  while (said.find('\n') == std::string::npos && said.size() < chunk.size()) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    if (left <= 0) return OsError::from_code(ETIMEDOUT);
    pollfd readable{fd, POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(left)) < 0) {
      if (errno == EINTR) continue;
      return OsError::last();
    }
    const ssize_t n = retry_on_eintr([&] { return ::read(fd, chunk.data(), chunk.size()); });
    if (n < 0) return OsError::last();
    if (n == 0) break;
    said.append(chunk.data(), static_cast<size_t>(n));
  }
  int number = 0;
  const auto parse = [&](std::string_view prefix) {
    if (!said.starts_with(prefix)) return false;
    const char* end = said.data() + said.size();
    const auto [at, error] = std::from_chars(said.data() + prefix.size(), end, number);
    return error == std::errc{} && at != end && *at == '\n' && number > 0;
  };
  if (parse("started ")) return static_cast<pid_t>(number);
  if (parse("failed ")) return OsError::from_code(number);
  return OsError::from_code(EIO);
}

}  // namespace

std::vector<std::string> kept_environment(char** environ) {
  return named_variables(environ, KEPT_VARIABLES);
}

std::vector<std::string> monitor_extras(char** environ) {
  return named_variables(environ, MONITOR_VARIABLES);
}

Result<StartedUpdate, OsError> start_update(const std::string& monitor, const std::string& bash,
                                            std::string_view script, int log, int run,
                                            const std::vector<std::string>& environment,
                                            const std::vector<std::string>& extras, int held) {
  if (log < 0 || run < 0) return OsError::from_code(EBADF);
  auto sealed = sealed_copy(script);
  if (!sealed) return sealed.error();
  std::array<int, 2> pair{};
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair.data()) != 0)
    return OsError::last();
  UniqueFd ours(pair[0]);
  UniqueFd theirs(pair[1]);
  UniqueFd script_input(::fcntl(theirs.get(), F_DUPFD_CLOEXEC, 0));
  if (!script_input.valid()) return OsError::last();
  std::array<int, 2> report{};
  if (::pipe2(report.data(), O_CLOEXEC) != 0) return OsError::last();
  const UniqueFd report_read(report[0]);
  UniqueFd report_write(report[1]);
  const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
  if (!null.valid()) return OsError::last();

  std::vector<std::string> monitor_environment = environment;
  monitor_environment.insert(monitor_environment.end(), extras.begin(), extras.end());
  ChildSetup setup{{monitor, std::string(MONITOR_FLAG), bash},
                   monitor_environment,
                   {{STDIN_FILENO, null.get()},
                    {STDOUT_FILENO, report_write.get()},
                    {STDERR_FILENO, null.get()},
                    {SCRIPT_FD, sealed.value().get()},
                    {MONITOR_INPUT_FD, theirs.get()},
                    {MONITOR_LOG_FD, log},
                    {MONITOR_RUN_FD, run}},
                   ChildGroup::NewSession,
                   "/",
                   SCRIPT_UMASK};
  if (held >= 0) setup.fds.push_back({MONITOR_HELD_FD, held});
  auto child = ChildProcess::spawn(setup);
  if (!child) return child.error();
  report_write.reset();
  auto script_pid = read_report(report_read.get());
  if (!script_pid) {
    // It said the script did not start, or cannot say: it is ended.
    child.value().kill_group();
    (void)child.value().wait_until();
    return script_pid.error();
  }
  return StartedUpdate{std::move(child.value()), script_pid.value(), std::move(ours),
                       std::move(script_input)};
}

// By value: the password is this call's to let go, whatever the caller does.
// cppcheck-suppress passedByValue
std::optional<OsError> send_password(const StartedUpdate& update, SecretBytes secret) {
  const std::string_view password = secret.view();
  // One call, so sudo never sees half a line (a socket buffer holds far
  // more than the 256 bytes at most), and no copy: a line made by
  // appending the line feed would leave the password in freed memory.
  static constexpr char LINE_FEED = '\n';
  std::array<iovec, 2> parts = {
      {{const_cast<char*>(password.data()), password.size()}, {const_cast<char*>(&LINE_FEED), 1}}};
  msghdr message{};
  message.msg_iov = parts.data();
  message.msg_iovlen = parts.size();
  const ssize_t n =
      retry_on_eintr([&] { return ::sendmsg(update.input.get(), &message, MSG_NOSIGNAL); });
  if (n < 0) return OsError::last();
  if (static_cast<size_t>(n) != password.size() + 1) return OsError::from_code(EIO);
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

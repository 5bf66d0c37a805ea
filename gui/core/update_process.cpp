#include "update_process.hpp"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "child_process.hpp"
#include "password.hpp"
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
  UniqueFd script_input(::fcntl(theirs.get(), F_DUPFD_CLOEXEC, 0));
  if (!script_input.valid()) return OsError::last();

  ChildSetup setup{{bash, "/dev/fd/" + std::to_string(SCRIPT_FD)},
                   environment,
                   {{STDIN_FILENO, theirs.get()},
                    {STDOUT_FILENO, log},
                    {STDERR_FILENO, log},
                    {SCRIPT_FD, sealed.value().get()}},
                   ChildGroup::NewSession,
                   "/",
                   SCRIPT_UMASK};
  if (held >= 0) setup.fds.push_back({HELD_FD, held});
  auto child = ChildProcess::spawn(setup);
  if (!child) return child.error();
  // The run outlives the window: its owner reaps the pid, or init does.
  return StartedUpdate{child.value().release(), std::move(ours), std::move(script_input)};
}

std::optional<OsError> send_password(const StartedUpdate& update, std::string_view password) {
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

#include "run_status.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <string>

#include "unique_fd.hpp"
#include "writer.hpp"

namespace sorvane::gui {
namespace {

constexpr mode_t STATUS_MODE = 0400;
constexpr mode_t PERMISSION_BITS = 07777;
constexpr size_t MAX_STATUS_BYTES = 128;
constexpr std::array<std::string_view, 3> FIELDS = {"wait-status ", "started ", "ended "};

// One "name value\n" line at the front of `text`, taken off it.
template <typename Number>
bool take_field(std::string_view& text, std::string_view name, Number& value) {
  if (!text.starts_with(name)) return false;
  text.remove_prefix(name.size());
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end == text.data() || end == text.data() + text.size() ||
      *end != '\n') {
    return false;
  }
  text.remove_prefix(static_cast<size_t>(end - text.data()) + 1);
  return true;
}

// A new file of the run, never over one that is there: whole, flushed.
std::optional<OsError> record(int run, std::string_view name, const std::string& text) {
  const UniqueFd file(::openat(run, std::string(name).c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, STATUS_MODE));
  if (!file.valid()) return OsError::last();
  if (auto error = write_all(file.get(), text)) return error;
  if (::fsync(file.get()) != 0) return OsError::last();
  return std::nullopt;
}

// What record wrote: a plain file of `user`'s, not a link, mode 0400, one
// name, short; anything else is nothing.
std::optional<std::string> recorded(int run, std::string_view name, uid_t user) {
  const UniqueFd file(
      ::openat(run, std::string(name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st {};
  if (!file.valid() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != user ||
      (st.st_mode & PERMISSION_BITS) != STATUS_MODE || st.st_nlink != 1 || st.st_size <= 0 ||
      static_cast<size_t>(st.st_size) > MAX_STATUS_BYTES) {
    return std::nullopt;
  }
  std::array<char, MAX_STATUS_BYTES + 1> buffer{};
  const ssize_t n =
      retry_on_eintr([&] { return ::pread(file.get(), buffer.data(), buffer.size(), 0); });
  if (n != st.st_size) return std::nullopt;
  return std::string(buffer.data(), static_cast<size_t>(n));
}

constexpr std::string_view STEP_LINES_FIELD = "step-lines ";

}  // namespace

std::optional<OsError> record_status(int run, const RunStatus& status) {
  return record(run, STATUS_NAME,
                std::string(FIELDS[0]) + std::to_string(status.wait_status) + '\n' +
                    std::string(FIELDS[1]) + std::to_string(status.started) + '\n' +
                    std::string(FIELDS[2]) + std::to_string(status.ended) + '\n');
}

std::optional<RunStatus> recorded_status(int run, uid_t user) {
  const std::optional<std::string> file = recorded(run, STATUS_NAME, user);
  if (!file) return std::nullopt;
  std::string_view text = *file;
  RunStatus status;
  if (!take_field(text, FIELDS[0], status.wait_status) ||
      !take_field(text, FIELDS[1], status.started) || !take_field(text, FIELDS[2], status.ended) ||
      !text.empty()) {
    return std::nullopt;
  }
  return status;
}

std::optional<OsError> record_sudo_end(int run, const SudoEnd& end) {
  return record(run, SUDO_END_NAME,
                std::string(STEP_LINES_FIELD) + std::to_string(end.step_lines) + '\n');
}

std::optional<SudoEnd> recorded_sudo_end(int run, uid_t user) {
  const std::optional<std::string> file = recorded(run, SUDO_END_NAME, user);
  if (!file) return std::nullopt;
  std::string_view text = *file;
  SudoEnd end;
  if (!take_field(text, STEP_LINES_FIELD, end.step_lines) || !text.empty()) return std::nullopt;
  return end;
}

}  // namespace sorvane::gui

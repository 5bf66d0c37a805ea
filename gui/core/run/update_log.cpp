#include "update_log.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>

#include "terminal_text.hpp"

namespace sorvane::gui {
namespace {

// Holes are punched in whole pages, which every file system can free.
constexpr std::uint64_t PAGE = 4096;
constexpr std::size_t CHUNK = std::size_t{64} << 10;

}  // namespace

std::uint64_t UpdateLog::size() const {
  struct stat st {};
  if (::fstat(fd_.get(), &st) != 0) return offset_;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<OsError> UpdateLog::read_some(std::string& into, std::size_t max) {
  // Over what the monitor dropped since; at the end there is nothing to skip.
  const off_t data = ::lseek(fd_.get(), static_cast<off_t>(offset_), SEEK_DATA);
  if (data > static_cast<off_t>(offset_)) offset_ = static_cast<std::uint64_t>(data);
  into.resize(max);
  const ssize_t n = retry_on_eintr(
      [&] { return ::pread(fd_.get(), into.data(), max, static_cast<off_t>(offset_)); });
  if (n < 0) {
    const OsError error = OsError::last();
    into.clear();
    return error;
  }
  into.resize(static_cast<std::size_t>(n));
  offset_ += static_cast<std::uint64_t>(n);
  // A hole punched while this was read reads as NUL bytes.
  std::erase(into, '\0');
  return std::nullopt;
}

void LogCap::grew_to(int fd, std::uint64_t length) {
  if (length < KEEP_HEAD + KEEP_TAIL) return;
  const std::uint64_t end = (length - KEEP_TAIL) / PAGE * PAGE;
  if (end < released_end_ + RELEASE_STEP) return;
  // Where holes cannot be punched the log simply keeps everything.
  if (::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(released_end_),
                  static_cast<off_t>(end - released_end_)) == 0) {
    released_end_ = end;
  }
}

std::uint64_t dropped_bytes(int fd) {
  const off_t hole = ::lseek(fd, static_cast<off_t>(LogCap::KEEP_HEAD), SEEK_HOLE);
  if (hole < 0) return 0;
  const off_t data = ::lseek(fd, hole, SEEK_DATA);
  // A hole that runs to the end is the file's end, not a dropped middle.
  return data > hole ? static_cast<std::uint64_t>(data - hole) : 0;
}

void read_whole_file(int fd, const std::function<void(std::string_view)>& take,
                     std::uint64_t limit) {
  std::array<char, CHUNK> chunk{};
  std::string text;
  off_t offset = 0;
  std::uint64_t read = 0;
  while (read < limit) {
    // Over the holes punched in a flood of output.
    offset = ::lseek(fd, offset, SEEK_DATA);
    if (offset < 0) return;
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), limit - read));
    const ssize_t n = retry_on_eintr([&] { return ::pread(fd, chunk.data(), wanted, offset); });
    if (n <= 0) return;
    offset += n;
    read += static_cast<std::uint64_t>(n);
    text.assign(chunk.data(), static_cast<std::size_t>(n));
    std::erase(text, '\0');
    take(text);
  }
}

void read_lines(int fd, const std::function<void(std::string_view)>& take, std::size_t max_line,
                std::uint64_t limit) {
  std::string line;
  read_whole_file(
      fd,
      [&](std::string_view part) {
        for (const char c : part) {
          if (c != '\n') line += c;
          if (c == '\n' || line.size() == max_line) take(std::exchange(line, {}));
        }
      },
      limit);
  if (!line.empty()) take(line);
}

std::string log_as_text(int fd) {
  std::string text;
  std::string line;
  const auto take = [&] {
    text += without_colours(displayable_line(line));
    text += '\n';
    line.clear();
  };
  read_whole_file(
      fd,
      [&](std::string_view part) {
        for (const char c : part) {
          if (c != '\n') line += c;
          if (c == '\n') take();
        }
      },
      MAX_LOG_TEXT);
  if (!line.empty()) take();
  return text;
}

}  // namespace sorvane::gui

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
  return std::nullopt;
}

void UpdateLog::release_read() {
  if (offset_ < KEEP_HEAD + KEEP_TAIL) return;
  const std::uint64_t end = (offset_ - KEEP_TAIL) / PAGE * PAGE;
  if (end < released_end_ + RELEASE_STEP) return;
  // Where holes cannot be punched the log simply keeps everything.
  if (::fallocate(fd_.get(), FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE,
                  static_cast<off_t>(released_end_),
                  static_cast<off_t>(end - released_end_)) == 0) {
    released_end_ = end;
  }
}

void read_whole_file(int fd, const std::function<void(std::string_view)>& take,
                     std::uint64_t limit) {
  std::array<char, CHUNK> chunk{};
  std::string text;
  off_t offset = 0;
  while (static_cast<std::uint64_t>(offset) < limit) {
    // Over the holes punched in a flood of output.
    offset = ::lseek(fd, offset, SEEK_DATA);
    if (offset < 0) return;
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), limit - offset));
    const ssize_t n = retry_on_eintr([&] { return ::pread(fd, chunk.data(), wanted, offset); });
    if (n <= 0) return;
    offset += n;
    text.assign(chunk.data(), static_cast<std::size_t>(n));
    std::erase(text, '\0');
    take(text);
  }
}

void read_lines(int fd, const std::function<void(std::string_view)>& take, std::size_t max_line) {
  std::string line;
  read_whole_file(fd, [&](std::string_view part) {
    for (const char c : part) {
      if (c != '\n') line += c;
      if (c == '\n' || line.size() == max_line) take(std::exchange(line, {}));
    }
  });
  if (!line.empty()) take(line);
}

std::string log_as_text(int fd) {
  std::string text;
  read_lines(fd, [&](std::string_view line) {
    text += without_colours(displayable_line(line));
    text += '\n';
  });
  return text;
}

}  // namespace sorvane::gui

// The log one update writes and the window follows. The window reads it
// through the very descriptor the script writes it with (never by name),
// a bounded amount at a time, and frees the disk space of what it has read
// but the first and last few megabytes: a package that floods its output
// cannot fill the user's runtime directory while the window follows it.
// The file keeps its length; what was dropped reads as NUL bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "os_error.hpp"
#include "result.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {

class UpdateLog {
 public:
  explicit UpdateLog(UniqueFd log) : fd_(std::move(log)) {}

  [[nodiscard]] int fd() const { return fd_.get(); }
  // How far it has been read.
  [[nodiscard]] std::uint64_t offset() const { return offset_; }
  // How long the file is now.
  [[nodiscard]] std::uint64_t size() const;
  // Bytes whose disk space was freed after they were read.
  [[nodiscard]] std::uint64_t dropped() const { return released_end_ - KEEP_HEAD; }

  // Replaces `into` with what was written since the last read, at most
  // `max` bytes; empty at the end of what is there so far.
  std::optional<OsError> read_some(std::string& into, std::size_t max);

  // Frees what was read but the first KEEP_HEAD and the last KEEP_TAIL
  // bytes, once that is at least RELEASE_STEP more.
  void release_read();

  static constexpr std::uint64_t KEEP_HEAD = std::uint64_t{1} << 20;
  static constexpr std::uint64_t KEEP_TAIL = std::uint64_t{7} << 20;
  static constexpr std::uint64_t RELEASE_STEP = std::uint64_t{1} << 20;

 private:
  UniqueFd fd_;
  std::uint64_t offset_ = 0;
  std::uint64_t released_end_ = KEEP_HEAD;
};

// Passes all of the file `fd` from its start to `take`, a piece at a
// time, without the holes punched in it and without NUL bytes; no more
// than `limit` bytes of it are read.
void read_whole_file(int fd, const std::function<void(std::string_view)>& take,
                     std::uint64_t limit = UINT64_MAX);

// Passes each line of the file `fd` to `take`, without its line feed (the
// last one too, if it has none); a line is cut at `max_line` bytes.
void read_lines(int fd, const std::function<void(std::string_view)>& take,
                std::size_t max_line = SIZE_MAX);

// A finished update's whole log as text to paste elsewhere: each line as
// the window shows it, without colours.
std::string log_as_text(int fd);

}  // namespace sorvane::gui

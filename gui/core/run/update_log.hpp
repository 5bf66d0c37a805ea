// The log one update writes and the window follows. The update's monitor
// writes it and frees, as it writes, the disk space of all but its first
// and last few megabytes: a package that floods its output cannot fill the
// user's disk, whether a window is open or not. The file keeps its length;
// what was dropped is a hole, which every reader here passes over. The
// window reads it a bounded amount at a time.
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

  // Replaces `into` with what was written since the last read, at most
  // `max` bytes, without what was dropped; empty at the end of what is
  // there so far.
  std::optional<OsError> read_some(std::string& into, std::size_t max);

 private:
  UniqueFd fd_;
  std::uint64_t offset_ = 0;
};

// What one run may keep on disk: its first KEEP_HEAD bytes and about its
// last KEEP_TAIL; the middle is freed in steps of RELEASE_STEP.
class LogCap {
 public:
  // After the file `fd` (open for writing) grew to `length` bytes.
  void grew_to(int fd, std::uint64_t length);

  static constexpr std::uint64_t KEEP_HEAD = std::uint64_t{1} << 20;
  static constexpr std::uint64_t KEEP_TAIL = std::uint64_t{7} << 20;
  static constexpr std::uint64_t RELEASE_STEP = std::uint64_t{1} << 20;
  // The most a run occupies on disk.
  static constexpr std::uint64_t MAX_ON_DISK = KEEP_HEAD + KEEP_TAIL + 2 * RELEASE_STEP;

 private:
  std::uint64_t released_end_ = KEEP_HEAD;
};

// Bytes of the log `fd` left out to save space: its hole after the head.
std::uint64_t dropped_bytes(int fd);

// Passes all of the file `fd` from its start to `take`, a piece at a
// time, without the holes punched in it and without NUL bytes; no more
// than `limit` bytes of data are read.
void read_whole_file(int fd, const std::function<void(std::string_view)>& take,
                     std::uint64_t limit = UINT64_MAX);

// Passes each line of the file `fd` to `take`, without its line feed (the
// last one too, if it has none); a line is cut at `max_line` bytes, and
// no more than `limit` bytes are read.
void read_lines(int fd, const std::function<void(std::string_view)>& take,
                std::size_t max_line = SIZE_MAX, std::uint64_t limit = UINT64_MAX);

// A finished update's log as text to paste elsewhere: each line as the
// window shows it, without colours; at most MAX_LOG_TEXT bytes of the log
// are read, so no log holds up the window or fills its memory.
std::string log_as_text(int fd);
inline constexpr std::uint64_t MAX_LOG_TEXT = LogCap::MAX_ON_DISK;

}  // namespace sorvane::gui

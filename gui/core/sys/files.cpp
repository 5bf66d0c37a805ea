#include "files.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

constexpr size_t CHUNK = size_t{64} * 1024;

UniqueFd open_to_read(const std::string& path) {
  return UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
}

}  // namespace

Result<std::string, OsError> read_link(const std::string& path, size_t capacity) {
  std::string target(capacity, '\0');
  const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
  if (n < 0) return OsError::last();
  if (static_cast<size_t>(n) >= capacity) return OsError::from_code(ENAMETOOLONG);
  target.resize(static_cast<size_t>(n));
  return target;
}

std::optional<std::string> read_file(const std::string& path, size_t limit) {
  const UniqueFd fd = open_to_read(path);
  if (!fd.valid()) return std::nullopt;
  std::string text;
  std::array<char, 4096> chunk{};
  while (text.size() < limit) {
    const ssize_t n = retry_on_eintr([&] { return ::read(fd.get(), chunk.data(), chunk.size()); });
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    text.append(chunk.data(), static_cast<size_t>(n));
  }
  return text;
}

bool each_line_of(const std::string& path, const std::function<bool(std::string_view)>& take,
                  size_t max_line) {
  const UniqueFd fd = open_to_read(path);
  if (!fd.valid()) return false;
  std::array<char, CHUNK> chunk{};
  std::string line;
  bool too_long = false;
  for (;;) {
    const ssize_t n = retry_on_eintr([&] { return ::read(fd.get(), chunk.data(), chunk.size()); });
    if (n < 0) return false;
    if (n == 0) break;
    std::string_view piece(chunk.data(), static_cast<size_t>(n));
    while (!piece.empty()) {
      const size_t end = piece.find('\n');
      const std::string_view part = piece.substr(0, end);
      if (!too_long && line.size() + part.size() <= max_line) {
        line += part;
      } else {
        too_long = true;
        line.clear();
      }
      if (end == std::string_view::npos) break;
      piece.remove_prefix(end + 1);
      const bool go_on = too_long || take(line);
      line.clear();
      too_long = false;
      if (!go_on) return true;
    }
  }
  if (!too_long && !line.empty()) take(line);
  return true;
}

}  // namespace sorvane::gui

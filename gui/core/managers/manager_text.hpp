// Reading the managers' text: their outputs, logs and databases, line by
// line and word by word, never throwing, whatever the bytes.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace sorvane::gui::text {

inline bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// ASCII alone, whatever the locale: the managers' versions and identifiers.
inline bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
inline bool is_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline std::string_view trim(std::string_view text) {
  while (!text.empty() && (is_blank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// A deb822 field's value when `line` is that field; `key` with its colon
// ("Package:").
inline std::optional<std::string_view> field_value(std::string_view line, std::string_view key) {
  if (!line.starts_with(key)) return std::nullopt;
  return trim(line.substr(key.size()));
}

inline bool has_blank(std::string_view text) {
  return std::any_of(text.begin(), text.end(), is_blank);
}

// Calls `each` with every line, without its end of line (a "\r" too),
// while it returns true.
template <typename F>
void for_each_line(std::string_view out, F&& each) {
  while (!out.empty()) {
    const size_t end = out.find('\n');
    std::string_view line = out.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!each(line)) return;
    if (end == std::string_view::npos) return;
    out.remove_prefix(end + 1);
  }
}

// The blank-separated words of a line; no more than `limit` are kept, and
// a line with more gives limit + 1 so that callers can tell.
inline std::vector<std::string_view> words(std::string_view line,
                                           size_t limit = std::numeric_limits<size_t>::max() - 1) {
  std::vector<std::string_view> found;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i == line.size()) break;
    const size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    found.push_back(line.substr(start, i - start));
    if (found.size() > limit) break;
  }
  return found;
}

template <typename T>
std::optional<T> number(std::string_view text, int base = 10) {
  T value{};
  const char* const end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
  return value;
}

inline bool add(std::uint64_t& sum, std::uint64_t value) {
  return !__builtin_add_overflow(sum, value, &sum);
}

// dpkg's and pacman's logs begin each line with the local time,
// "YYYY-MM-DD HH:MM:SS" (pacman's in brackets, ISO 8601 with a "T").
inline constexpr size_t LOG_TIME_LENGTH = 19;

// Each line of `log` whose time (at `time_at`) lies between `from` and
// `to`, passed to `take` without its time.
template <typename Take>
void lines_between(std::string_view log, std::string_view from, std::string_view to, size_t time_at,
                   Take take) {
  while (!log.empty()) {
    const size_t end = std::min(log.find('\n'), log.size());
    const std::string_view line = log.substr(0, end);
    log.remove_prefix(std::min(end + 1, log.size()));
    if (line.size() < time_at + LOG_TIME_LENGTH) continue;
    std::string when(line.substr(time_at, LOG_TIME_LENGTH));
    std::replace(when.begin(), when.end(), 'T', ' ');  // pacman's ISO 8601
    if (when.compare(from) >= 0 && when.compare(to) <= 0)
      take(line.substr(time_at + LOG_TIME_LENGTH));
  }
}

}  // namespace sorvane::gui::text

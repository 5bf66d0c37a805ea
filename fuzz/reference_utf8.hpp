// A deliberately plain UTF-8 decoder for the fuzzers to check the real one
// against: it matches the input against the rows of the Unicode Standard's
// table of well-formed byte sequences, one row at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane::reference {

struct ByteRange {
  std::uint8_t lo;
  std::uint8_t hi;
};

struct Row {
  size_t length;
  std::array<ByteRange, 4> bytes;
};

inline constexpr ByteRange ANY_CONT{0x80, 0xBF};
inline constexpr std::array<Row, 9> WELL_FORMED = {{
    {1, {{{0x00, 0x7F}}}},
    {2, {{{0xC2, 0xDF}, ANY_CONT}}},
    {3, {{{0xE0, 0xE0}, {0xA0, 0xBF}, ANY_CONT}}},
    {3, {{{0xE1, 0xEC}, ANY_CONT, ANY_CONT}}},
    {3, {{{0xED, 0xED}, {0x80, 0x9F}, ANY_CONT}}},
    {3, {{{0xEE, 0xEF}, ANY_CONT, ANY_CONT}}},
    {4, {{{0xF0, 0xF0}, {0x90, 0xBF}, ANY_CONT, ANY_CONT}}},
    {4, {{{0xF1, 0xF3}, ANY_CONT, ANY_CONT, ANY_CONT}}},
    {4, {{{0xF4, 0xF4}, {0x80, 0x8F}, ANY_CONT, ANY_CONT}}},
}};

struct Unit {
  size_t length;
  bool valid;
};

// The well-formed sequence at pos, or the maximal invalid subpart there.
inline Unit next_unit(std::string_view s, size_t pos) {
  size_t longest_prefix = 1;
  for (const Row& row : WELL_FORMED) {
    size_t matched = 0;
    while (matched < row.length && pos + matched < s.size()) {
      const auto b = static_cast<std::uint8_t>(s[pos + matched]);
      if (b < row.bytes[matched].lo || b > row.bytes[matched].hi) break;
      ++matched;
    }
    if (matched == row.length) return {row.length, true};
    if (matched > longest_prefix) longest_prefix = matched;
  }
  return {longest_prefix, false};
}

inline bool is_valid(std::string_view s) {
  for (size_t pos = 0; pos < s.size();) {
    const Unit u = next_unit(s, pos);
    if (!u.valid) return false;
    pos += u.length;
  }
  return true;
}

inline std::string replace_invalid(std::string_view s) {
  std::string out;
  for (size_t pos = 0; pos < s.size();) {
    const Unit u = next_unit(s, pos);
    out += u.valid ? std::string(s.substr(pos, u.length)) : std::string("\xEF\xBF\xBD");
    pos += u.length;
  }
  return out;
}

}  // namespace sorvane::reference

// UTF-8 decoding that never fails: each maximal invalid subpart of the input
// (the Unicode Standard's "substitution of maximal subparts") is reported as
// one unit, so callers can replace it with U+FFFD or escape its bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvane {

inline constexpr char32_t REPLACEMENT_CHARACTER = U'\uFFFD';

struct Utf8Unit {
  char32_t code_point;  // REPLACEMENT_CHARACTER when !valid
  size_t length;        // bytes consumed, at least 1
  bool valid;
};

// Decodes the unit that starts at bytes[pos]; pos must be < bytes.size().
Utf8Unit decode_utf8_unit(std::string_view bytes, size_t pos);

void append_utf8(std::string& out, char32_t code_point);

// The bytes as valid UTF-8, one U+FFFD in place of each maximal invalid
// subpart. This is how paths and detector output are shown as text.
std::string to_plain(std::string_view bytes);

}  // namespace sorvane

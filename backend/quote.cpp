#include "quote.hpp"

#include <array>
#include <charconv>
#include <cstdint>

#include "unicode_tables.hpp"
#include "utf8.hpp"

namespace sorvane {
namespace {

// Combining marks from here on are escaped; none lies below it.
constexpr char32_t FIRST_ESCAPED_EXTEND = 0x300;
// Half-width katakana voiced marks: extending, but shown as they are.
constexpr char32_t HALFWIDTH_VOICED_MARK = 0xFF9E;
constexpr char32_t HALFWIDTH_SEMI_VOICED_MARK = 0xFF9F;

bool is_control(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool is_escaped_extend(char32_t c) {
  return c >= FIRST_ESCAPED_EXTEND && c != HALFWIDTH_VOICED_MARK &&
         c != HALFWIDTH_SEMI_VOICED_MARK && unicode::contains(unicode::GRAPHEME_EXTEND, c);
}

// Characters that would be invisible, ambiguous or unassigned if printed.
bool needs_unicode_escape(char32_t c) {
  using namespace unicode;
  return is_control(c) || contains(PRIVATE_USE, c) || (c != ' ' && contains(WHITE_SPACE, c)) ||
         contains(UNASSIGNED, c) || contains(FORMAT, c) || contains(DEFAULT_IGNORABLE, c) ||
         is_escaped_extend(c);
}

// "\u{1f}": lower-case hexadecimal without leading zeros.
void append_unicode_escape(std::string& out, char32_t c) {
  std::array<char, 8> digits{};
  const auto end =
      std::to_chars(digits.begin(), digits.end(), static_cast<std::uint32_t>(c), 16).ptr;
  out += "\\u{";
  out.append(digits.begin(), end);
  out += '}';
}

// "\xFF": always two upper-case digits.
void append_byte_escape(std::string& out, unsigned char byte) {
  constexpr std::string_view HEX = "0123456789ABCDEF";
  out += "\\x";
  out += HEX[byte >> 4U];
  out += HEX[byte & 0xFU];
}

void append_char(std::string& out, char32_t c) {
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\t': out += "\\t"; return;
    case '\r': out += "\\r"; return;
    case '\n': out += "\\n"; return;
    case '\0': out += "\\0"; return;
    default: break;
  }
  // Printable ASCII is never escaped; it is nearly every path, and it needs
  // no table lookups.
  if (c >= ' ' && c < 0x7F) {
    out += static_cast<char>(c);
    return;
  }
  if (needs_unicode_escape(c)) {
    append_unicode_escape(out, c);
  } else {
    append_utf8(out, c);
  }
}

}  // namespace

std::string quote_path(std::string_view path) {
  std::string out = "\"";
  out.reserve(path.size() + 2);
  for (size_t pos = 0; pos < path.size();) {
    const Utf8Unit unit = decode_utf8_unit(path, pos);
    if (unit.valid) {
      append_char(out, unit.code_point);
    } else {
      for (size_t i = 0; i < unit.length; ++i) {
        append_byte_escape(out, static_cast<unsigned char>(path[pos + i]));
      }
    }
    pos += unit.length;
  }
  out += '"';
  return out;
}

}  // namespace sorvane

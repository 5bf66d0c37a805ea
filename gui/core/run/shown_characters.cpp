#include "shown_characters.hpp"

#include "unicode_tables.hpp"
#include "utf8.hpp"

namespace sorvane::gui {
namespace {

bool is_layout_changing(char32_t c) {
  return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

bool is_ascii(char32_t c) {
  return c != 0 && c < 0x80;
}

// Invisible, yet part of how a script is written, so shown as they are
// unless they stand where no script needs them: ZWNJ and ZWJ (Persian,
// Devanagari, emoji sequences) between two characters not ASCII; the
// direction marks (LRM, RLM, ALM) unless both neighbours are ASCII; the
// variation selectors after a character not ASCII, or in a keycap ("1",
// U+FE0F, U+20E3).
bool is_written_as_needed(char32_t before, char32_t c, char32_t after) {
  if (c == 0x200C || c == 0x200D) return !is_ascii(before) && !is_ascii(after);
  if (c == 0x200E || c == 0x200F || c == 0x061C) return !is_ascii(before) || !is_ascii(after);
  const bool selector = (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) ||
                        (c >= 0x180B && c <= 0x180D) || c == 0x180F;
  return selector && (!is_ascii(before) || after == 0x20E3);
}

}  // namespace

Shown shown_as(char32_t before, char32_t c, char32_t after) {
  if (is_layout_changing(c)) return Shown::Replaced;
  if (!unicode::contains(unicode::DEFAULT_IGNORABLE, c)) return Shown::AsIs;
  return is_written_as_needed(before, c, after) ? Shown::AsIs : Shown::Hidden;
}

std::string shown_characters(std::string_view bytes) {
  std::string shown;
  char32_t before = 0;
  for (size_t i = 0; i < bytes.size();) {
    const Utf8Unit unit = decode_utf8_unit(bytes, i);
    i += unit.length;
    const char32_t after = i < bytes.size() ? decode_utf8_unit(bytes, i).code_point : 0;
    switch (shown_as(before, unit.code_point, after)) {
      case Shown::AsIs: append_utf8(shown, unit.code_point); break;
      case Shown::Replaced: append_utf8(shown, REPLACEMENT_CHARACTER); break;
      case Shown::Hidden: break;
    }
    before = unit.code_point;
  }
  return shown;
}

}  // namespace sorvane::gui

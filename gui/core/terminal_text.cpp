#include "terminal_text.hpp"

#include "utf8.hpp"

namespace sorvane::gui {
namespace {

constexpr char ESC = '\x1B';
constexpr char BEL = '\x07';
constexpr char CR = '\r';

bool is_csi_parameter_or_intermediate(char c) {
  return c >= 0x20 && c <= 0x3F;
}
bool is_final_byte(char c) {
  return c >= 0x40 && c <= 0x7E;
}

// Length of the escape sequence at text[0] (an ESC), all of it if it is
// never finished.
size_t escape_length(std::string_view text) {
  if (text.size() < 2) return text.size();
  size_t i = 2;
  switch (text[1]) {
    case '[':  // CSI: parameters and intermediates, then one final byte
      while (i < text.size() && is_csi_parameter_or_intermediate(text[i])) ++i;
      // A malformed sequence ends before the byte that broke it.
      return i < text.size() && is_final_byte(text[i]) ? i + 1 : i;
    case ']':  // OSC (a window title, a hyperlink): up to BEL or ESC backslash
    case 'P':  // DCS, and the other strings, end the same way
    case '_':
    case '^':
      for (; i < text.size(); ++i) {
        if (text[i] == BEL) return i + 1;
        if (text[i] == ESC && i + 1 < text.size() && text[i + 1] == '\\') return i + 2;
      }
      return i;
    default:  // ESC, intermediates (such as "(" of a charset), one final byte
      i = 1;
      while (i < text.size() && text[i] >= 0x20 && text[i] <= 0x2F) ++i;
      return i < text.size() ? i + 1 : i;
  }
}

bool is_colour_sequence(std::string_view sequence) {
  return sequence.size() >= 3 && sequence[1] == '[' && sequence.back() == 'm';
}

// What a terminal shows last: the text after the last carriage return that
// has anything after it ("50%\r100%\r" shows "100%").
std::string_view last_redraw(std::string_view raw) {
  while (!raw.empty() && raw.back() == CR) raw.remove_suffix(1);
  const size_t cr = raw.rfind(CR);
  return cr == std::string_view::npos ? raw : raw.substr(cr + 1);
}

bool is_shown_control(char32_t c) {
  return c == U'\t';
}
bool is_control(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

}  // namespace

std::string displayable_line(std::string_view raw) {
  const std::string_view text = last_redraw(raw);
  // Escape sequences first, on the bytes: their parts are all ASCII.
  std::string kept;
  for (size_t i = 0; i < text.size();) {
    if (text[i] != ESC) {
      kept += text[i++];
      continue;
    }
    const size_t length = escape_length(text.substr(i));
    if (is_colour_sequence(text.substr(i, length))) kept += text.substr(i, length);
    i += length;
  }
  // Then the characters, as valid UTF-8 without stray controls. The colour
  // sequences kept above are the only ESC bytes left.
  std::string shown;
  for (size_t i = 0; i < kept.size();) {
    if (kept[i] == ESC) {
      const size_t length = escape_length(std::string_view(kept).substr(i));
      shown.append(kept, i, length);
      i += length;
      continue;
    }
    const Utf8Unit unit = decode_utf8_unit(kept, i);
    if (!is_control(unit.code_point) || is_shown_control(unit.code_point)) {
      append_utf8(shown, unit.code_point);
    }
    i += unit.length;
  }
  return shown;
}

std::string without_colours(std::string_view displayable) {
  std::string text;
  for (size_t i = 0; i < displayable.size();) {
    if (displayable[i] == ESC) {
      i += escape_length(displayable.substr(i));
    } else {
      text += displayable[i++];
    }
  }
  return text;
}

}  // namespace sorvane::gui

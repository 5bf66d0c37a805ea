#include "terminal_text.hpp"

#include <charconv>

#include "shown_characters.hpp"
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

// Length of the escape sequence at text[0] (an ESC). A string (a title, a
// hyperlink) never ended on its line is only its two introducing bytes:
// otherwise one stray ESC ] would hide the rest of the line.
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
      return 2;
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
// The code point of the unit at `at` (0 past the end): the neighbour
// shown_as weighs.
char32_t code_point_at(std::string_view text, size_t at) {
  return at < text.size() ? decode_utf8_unit(text, at).code_point : 0;
}

constexpr int NORMAL_FOREGROUND = 30;
constexpr int BRIGHT_FOREGROUND = 90;
constexpr int COLOURS = 8;
constexpr int EXTENDED_FOREGROUND = 38;
constexpr int DEFAULT_FOREGROUND = 39;
constexpr int BOLD = 1;
constexpr int NORMAL_INTENSITY = 22;
constexpr int INDEXED = 5;
constexpr int DIRECT = 2;

// The numbers of "ESC [ n ; n ... m"; an empty one counts as 0.
std::vector<int> sgr_parameters(std::string_view sequence) {
  std::string_view body = sequence.substr(2, sequence.size() - 3);
  std::vector<int> numbers;
  for (;;) {
    const size_t end = body.find_first_of(";:");
    const std::string_view part = body.substr(0, end);
    int number = 0;
    std::from_chars(part.data(), part.data() + part.size(), number);
    numbers.push_back(number);
    if (end == std::string_view::npos) break;
    body.remove_prefix(end + 1);
  }
  return numbers;
}

void apply_sgr(const std::vector<int>& numbers, ColouredRun& style) {
  for (size_t i = 0; i < numbers.size(); ++i) {
    const int n = numbers[i];
    if (n == 0) {
      style.colour = -1;
      style.bold = false;
    } else if (n == BOLD) {
      style.bold = true;
    } else if (n == NORMAL_INTENSITY) {
      style.bold = false;
    } else if (n >= NORMAL_FOREGROUND && n < NORMAL_FOREGROUND + COLOURS) {
      style.colour = n - NORMAL_FOREGROUND;
    } else if (n >= BRIGHT_FOREGROUND && n < BRIGHT_FOREGROUND + COLOURS) {
      style.colour = n - BRIGHT_FOREGROUND + COLOURS;
    } else if (n == DEFAULT_FOREGROUND) {
      style.colour = -1;
    } else if (n == EXTENDED_FOREGROUND && i + 1 < numbers.size()) {
      // 38;5;n picks from 256 colours, the first 16 of which are ours;
      // 38;2;r;g;b is a colour of its own. Either way its numbers are used up.
      const bool indexed = numbers[i + 1] == INDEXED && i + 2 < numbers.size();
      style.colour = indexed && numbers[i + 2] < 2 * COLOURS ? numbers[i + 2] : -1;
      i += indexed ? 2 : (numbers[i + 1] == DIRECT ? 4 : 1);
    }
  }
}

}  // namespace

std::vector<ColouredRun> colour_runs(std::string_view displayable) {
  std::vector<ColouredRun> runs;
  ColouredRun current;
  for (size_t i = 0; i < displayable.size();) {
    if (displayable[i] != ESC) {
      current.text += displayable[i++];
      continue;
    }
    const size_t length = escape_length(displayable.substr(i));
    const std::string_view sequence = displayable.substr(i, length);
    i += length;
    if (!is_colour_sequence(sequence)) continue;
    if (!current.text.empty()) runs.push_back(current);
    current.text.clear();
    apply_sgr(sgr_parameters(sequence), current);
  }
  if (!current.text.empty() || runs.empty()) runs.push_back(current);
  return runs;
}

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
  char32_t before = 0;
  for (size_t i = 0; i < kept.size();) {
    if (kept[i] == ESC) {
      const size_t length = escape_length(std::string_view(kept).substr(i));
      shown.append(kept, i, length);
      i += length;
      continue;
    }
    const Utf8Unit unit = decode_utf8_unit(kept, i);
    const Shown how = shown_as(before, unit.code_point, code_point_at(kept, i + unit.length));
    if (how == Shown::Replaced) {
      append_utf8(shown, REPLACEMENT_CHARACTER);
    } else if (how == Shown::AsIs &&
               (!is_control(unit.code_point) || is_shown_control(unit.code_point))) {
      append_utf8(shown, unit.code_point);
    }
    before = unit.code_point;
    i += unit.length;
  }
  return shown;
}

std::string terminal_safe(std::string_view raw) {
  static constexpr std::string_view DIGITS = "0123456789abcdef";
  std::string safe;
  char32_t before = 0;
  for (size_t i = 0; i < raw.size();) {
    const Utf8Unit unit = decode_utf8_unit(raw, i);
    const char32_t c = unit.code_point;
    const Shown how = shown_as(before, c, code_point_at(raw, i + unit.length));
    before = c;
    if (c < 0x20 || c == 0x7F) {
      safe += "\\x";
      safe += DIGITS[(c >> 4U) & 0xFU];
      safe += DIGITS[c & 0xFU];
    } else if (is_control(c) || how != Shown::AsIs) {
      safe += "\\u";
      for (unsigned shift = c > 0xFFFF ? 20 : 12;; shift -= 4) {
        safe += DIGITS[(c >> shift) & 0xFU];
        if (shift == 0) break;
      }
    } else {
      append_utf8(safe, c);
    }
    i += unit.length;
  }
  return safe;
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

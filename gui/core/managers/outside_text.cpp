#include "outside_text.hpp"

#include <algorithm>

#include "manager_text.hpp"
#include "shown_characters.hpp"
#include "utf8.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

using text::is_digit;
using text::is_letter;

size_t digits_at(string_view text, size_t at) {
  size_t end = at;
  while (end < text.size() && is_digit(text[end])) ++end;
  return end - at;
}

// The end of an advisory's identifier starting at `at`, or 0: CVE-YYYY-NNNN…,
// or DSA-/DLA- with three digits or more and maybe "-N".
size_t advisory_end(string_view text, size_t at) {
  if (at > 0 && (is_letter(text[at - 1]) || is_digit(text[at - 1]))) return 0;
  const string_view rest = text.substr(at);
  if (rest.starts_with("CVE-")) {
    constexpr size_t YEAR = 4;
    const size_t year = at + 4;
    if (digits_at(text, year) != YEAR || year + YEAR >= text.size() || text[year + YEAR] != '-') {
      return 0;
    }
    const size_t number = digits_at(text, year + YEAR + 1);
    return number >= 4 ? year + YEAR + 1 + number : 0;
  }
  if (!rest.starts_with("DSA-") && !rest.starts_with("DLA-")) return 0;
  const size_t number = digits_at(text, at + 4);
  if (number < 3) return 0;
  size_t end = at + 4 + number;
  if (end + 1 < text.size() && text[end] == '-' && digits_at(text, end + 1) > 0) {
    end += 1 + digits_at(text, end + 1);
  }
  return end;
}

}  // namespace

std::vector<std::string> advisories_in(string_view text) {
  std::vector<std::string> found;
  for (size_t at = 0; at < text.size(); ++at) {
    if (const size_t end = advisory_end(text, at); end != 0) {
      std::string id(text.substr(at, end - at));
      if (std::find(found.begin(), found.end(), id) == found.end()) found.push_back(std::move(id));
      at = end - 1;
    }
  }
  return found;
}

std::string plain_text(string_view text, size_t limit) {
  std::string plain;
  bool cut = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0x1b) {
      // An escape sequence: ESC [ … final byte, ESC ] … BEL or ESC \, else ESC and one.
      if (i + 1 < text.size() && text[i + 1] == '[') {
        i += 2;
        while (i < text.size() && !(text[i] >= 0x40 && text[i] <= 0x7e)) ++i;
      } else if (i + 1 < text.size() && text[i + 1] == ']') {
        i += 2;
        while (i < text.size() && text[i] != '\a' && text[i] != 0x1b) ++i;
        if (i < text.size() && text[i] == 0x1b) ++i;
      } else {
        ++i;
      }
      continue;
    }
    if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7f) continue;
    // U+0080 to U+009F, which some terminals take as the 8-bit forms of
    // ESC's sequences: also when what was between its two bytes is gone.
    if (c >= 0x80 && c < 0xa0 && !plain.empty() && plain.back() == '\xc2') {
      plain.pop_back();
      continue;
    }
    if (plain.size() >= limit) {
      cut = true;
      break;
    }
    plain += static_cast<char>(c);
  }
  plain = shown_characters(plain);
  // An invalid byte grows into U+FFFD's three: the limit holds all the same.
  if (plain.size() > limit) cut = true;
  if (cut) {
    plain.resize(std::min(plain.size(), limit));
    if (const size_t line = plain.rfind('\n'); line != std::string::npos) {
      plain.resize(line + 1);
    } else {
      // No half character at the cut: the text is valid UTF-8 up to it.
      size_t lead = plain.size();
      while (lead > 0 && (static_cast<unsigned char>(plain[lead - 1]) & 0xC0U) == 0x80U) --lead;
      if (lead > 0) {
        const Utf8Unit last = decode_utf8_unit(plain, lead - 1);
        if (!last.valid || last.length != plain.size() - lead + 1) plain.resize(lead - 1);
      }
    }
    plain += "…";
  }
  return plain;
}

}  // namespace sorvane::gui

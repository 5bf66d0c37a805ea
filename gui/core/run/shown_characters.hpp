// Which characters of outside text (a manager's words, a remote's release
// notes) may be shown as they are. Some reorder or break the line around
// them; some are invisible, so that "CVE-2024-1234" with a zero-width space
// inside reads the same to a person and is no advisory to the window. What
// a language needs stays: letters of every script, right-to-left text, the
// joiners of Persian and the Indic scripts, emoji sequences.
#pragma once

#include <string>
#include <string_view>

namespace sorvane::gui {

enum class Shown {
  AsIs,
  Replaced,  // reorders or breaks the line: U+FFFD, or an escape that shows
  Hidden,    // invisible where it stands: left out, or an escape that shows
};

// What becomes of `c` between `before` and `after` (0 at either end).
// Bidirectional embeddings, overrides and isolates and the line and
// paragraph separators are Replaced. Default-ignorable characters are
// Hidden, but for the joiners, direction marks and variation selectors
// where a script needs them: never inside ASCII text.
Shown shown_as(char32_t before, char32_t c, char32_t after);

// The bytes as characters the window can show: valid UTF-8, each character
// as shown_as says (U+FFFD for what is Replaced or no UTF-8, nothing for
// what is Hidden).
std::string shown_characters(std::string_view bytes);

}  // namespace sorvane::gui

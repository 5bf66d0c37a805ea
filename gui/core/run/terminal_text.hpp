// Package managers write for a terminal: colours, progress bars redrawn
// after a carriage return, cursor movement, window titles. The update window
// shows their output as plain text, so each line is made fit to show first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvane::gui {

// One line of output (without its line feed) as it should be shown: what a
// terminal would finally show after the last carriage return that has text
// after it, as valid UTF-8 (U+FFFD for invalid bytes), with colour sequences
// (SGR, "ESC [ ... m") kept and every other escape sequence and control
// character but the tab removed. A string sequence (OSC, DCS, APC, PM) left
// unended on its line loses only its "ESC ]" (or "ESC P", "ESC _", "ESC ^"),
// and the rest of the line shows as text. Bidirectional embeddings,
// overrides and isolates (U+202A-U+202E, U+2066-U+2069) and the line and
// paragraph separators (U+2028, U+2029) show as U+FFFD, so outside text
// cannot reorder or break what is shown; invisible characters where no
// script needs them are left out (shown_as).
std::string displayable_line(std::string_view raw);

// Text from outside (a manager's version string, a package's name) as a
// terminal may be given it: every control character (C0 with the tab, DEL,
// C1) is written as an escape that shows, "\x1b" or "\u009b", and so are the
// characters that reorder or break a line ("\u202e") and the invisible ones
// (shown_as: "\u200b"); invalid UTF-8 shows
// as U+FFFD. Nothing in the result can move the cursor, set the clipboard
// or hide what follows.
std::string terminal_safe(std::string_view raw);

// The same text with its colour sequences removed too.
std::string without_colours(std::string_view displayable);

// A stretch of displayable text in one colour. `colour` is one of the 16
// terminal colours (0-7 normal, 8-15 bright) or -1 for the default.
struct ColouredRun {
  std::string text;
  int colour = -1;
  bool bold = false;

  friend bool operator==(const ColouredRun&, const ColouredRun&) = default;
};

// Splits a displayable line at its colour sequences. Settings a window
// cannot show as they are (256 and true colours, underline, blink...) fall
// back to the default.
std::vector<ColouredRun> colour_runs(std::string_view displayable);

}  // namespace sorvane::gui

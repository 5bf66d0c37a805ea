// Package managers write for a terminal: colours, progress bars redrawn
// after a carriage return, cursor movement, window titles. The update window
// shows their output as plain text, so each line is made fit to show first.
#pragma once

#include <string>
#include <string_view>

namespace sorvane::gui {

// One line of output (without its line feed) as it should be shown: what a
// terminal would finally show after the last carriage return that has text
// after it, as valid UTF-8 (U+FFFD for invalid bytes), with colour sequences
// (SGR, "ESC [ ... m") kept and every other escape sequence and control
// character but the tab removed.
std::string displayable_line(std::string_view raw);

// The same text with its colour sequences removed too.
std::string without_colours(std::string_view displayable);

}  // namespace sorvane::gui

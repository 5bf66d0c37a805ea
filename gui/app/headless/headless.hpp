// Sorvane Update without a window: the update's monitor (--run-update),
// the check for scripts (--check, --check --json) and the daily notice
// (--check --notify).
#pragma once

#include <optional>

namespace sorvane::gui {

// The exit status when the command line asks for no window (or is wrong);
// none: the window opens.
std::optional<int> run_headless(int argc, char* argv[]);

}  // namespace sorvane::gui

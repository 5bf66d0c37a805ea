// Sorvane Update without a window: the update's monitor (--run-update),
// the check for scripts (--check, --check --json), the daily notice
// (--check --notify), the fleet checks, --history, --help and --version.
#pragma once

#include <QStringList>
#include <optional>

namespace sorvane::gui {

// The exit status when the command line asks for no window (or is wrong);
// none: the window opens.
std::optional<int> run_headless(int argc, char* argv[]);

// For the window, once QApplication has taken Qt's options (and a
// translator is installed): the exit status when anything is left.
std::optional<int> wrong_window_call(const QStringList& arguments);

}  // namespace sorvane::gui

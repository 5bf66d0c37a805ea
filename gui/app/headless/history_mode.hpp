// `sorvane-gui --history [--json] [--since DATE] [--package NAME]`: every
// manager's past transactions, newest first, as text or JSON.
#pragma once

#include "command_line.hpp"

namespace sorvane::gui {

// The exit status: 0, 1 when the setup failed, 2 for a wrong date. Runs
// in the QCoreApplication the caller made, in the user's language.
int run_history(const CommandLine& line);

}  // namespace sorvane::gui

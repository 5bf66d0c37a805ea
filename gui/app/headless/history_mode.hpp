// `sorvane-gui --history [--json] [--since DATE] [--package NAME]`: every
// manager's past transactions, newest first, as text or JSON.
#pragma once

#include <string_view>
#include <vector>

namespace sorvane::gui {

bool is_history_call(const std::vector<std::string_view>& args);
// The exit status: 0, 1 when the setup failed, 2 for a wrong command line.
int run_history(int argc, char* argv[]);

}  // namespace sorvane::gui

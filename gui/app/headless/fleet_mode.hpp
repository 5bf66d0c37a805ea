// --check --prometheus [--output FILE] and --check --nagios [thresholds]:
// the check for the engines that look after many machines.
#pragma once

#include <string_view>
#include <vector>

namespace sorvane::gui {

// The arguments after the program's name ask for one of these.
bool is_fleet_call(const std::vector<std::string_view>& args);
// Its exit status: Nagios' for --nagios; for --prometheus 0 once the
// metrics are out (whatever they say), 1 when they could not be written.
int run_fleet_check(int argc, char* argv[]);

}  // namespace sorvane::gui

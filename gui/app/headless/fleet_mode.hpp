// --check --prometheus [--output FILE] and --check --nagios [thresholds]:
// the check for the engines that look after many machines.
#pragma once

#include "command_line.hpp"

namespace sorvane::gui {

// Its exit status: Nagios' for --nagios (UNKNOWN for a wrong --nagios
// call too); for --prometheus 0 once the metrics are out (whatever they
// say), 1 when they could not be written. Runs in the QCoreApplication
// the caller made, with no translations: the engines read one fixed form.
int run_fleet_check(const CommandLine& line);

}  // namespace sorvane::gui

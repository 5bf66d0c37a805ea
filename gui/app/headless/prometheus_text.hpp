// The check in Prometheus' text exposition format, for node_exporter's
// textfile collector. Its names begin with sorvane_, so they never clash
// with other collectors' (apt_info.py's apt_upgrades_pending and the like).
#pragma once

#include <string>

#include "fleet_check.hpp"

namespace sorvane::gui {

std::string prometheus_text(const FleetCheck& check);

}  // namespace sorvane::gui

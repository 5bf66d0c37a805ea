// The fixed text of the update script (1395 bytes of printable ASCII).
#pragma once

#include <string_view>

namespace sorvane {

extern const std::string_view UPDATE_SCRIPT;

}  // namespace sorvane

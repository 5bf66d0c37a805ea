// The quoted form of a path, used inside error messages where a path must
// be shown unambiguously: between double quotes, with escapes for quotes,
// backslashes, controls, invisible or unassigned characters, and for every
// byte that is not valid UTF-8 (\xNN). The result is valid UTF-8 with no raw
// control character, and it can be decoded back to the original bytes.
#pragma once

#include <string>
#include <string_view>

namespace sorvane {

std::string quote_path(std::string_view path);

}  // namespace sorvane

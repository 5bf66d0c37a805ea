// Why dnf leaves a package as it is: `excludepkgs` (or its older name
// `exclude`) in the [main] section of /etc/dnf/dnf.conf. dnf hides such a
// package from `check-update`; asked again with the excludes set aside,
// what it then lists and a pattern matches is held by the user.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvane::gui {

// dnf.conf's excludes: globs, split at commas and blanks.
std::vector<std::string> parse_dnf_excludes(std::string_view conf);
// Whether one of `patterns` (globs, as dnf matches them) names `name`.
bool dnf_excludes(const std::vector<std::string>& patterns, std::string_view name);

}  // namespace sorvane::gui

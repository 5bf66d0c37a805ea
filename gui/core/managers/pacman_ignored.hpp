// Why pacman leaves a package as it is: IgnorePkg and IgnoreGroup in the
// [options] of /etc/pacman.conf and the files it Includes; `pacman -Qu`
// (and checkupdates) mark such a package "[ignored]" (C locale).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "held_back.hpp"

namespace sorvane::gui {

struct PacmanIgnores {
  std::vector<std::string> packages;  // patterns, as pacman matches them (fnmatch)
  std::vector<std::string> groups;
  friend bool operator==(const PacmanIgnores&, const PacmanIgnores&) = default;
};

// pacman.conf and what it Includes, from `root` (tests give a directory of
// their own): Include's globs are expanded there, and nested as pacman
// nests them (at most 10 deep).
PacmanIgnores read_pacman_ignores(const std::string& root,
                                  std::string_view conf = "/etc/pacman.conf");
// The names `pacman -Qu` marks "[ignored]": "name old -> new [ignored]".
std::vector<std::string> parse_pacman_ignored(std::string_view out);
// Whether `name` is ignored; `group_members`: the packages of its ignored groups.
bool pacman_ignores(const PacmanIgnores& ignores, std::string_view name,
                    const std::vector<std::string>& group_members);
// `pacman -Sg group…`: "group name" lines, the names.
std::vector<std::string> parse_pacman_group_members(std::string_view out);

}  // namespace sorvane::gui

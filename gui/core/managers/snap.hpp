// snap. Asked before the password: snapd answers for the store; without
// it `snap refresh` fails. During the update: nothing countable, so its
// step is shown as busy.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "manager_facts.hpp"
#include "pending_parsers.hpp"

namespace sorvane::gui {

// `snap refresh --list`: the table "Name Version Rev Size Publisher Notes";
// `to` is the version. "All snaps up to date." goes to stderr: out is empty.
std::vector<PendingUpdate> parse_snap_refresh_list(std::string_view out);

}  // namespace sorvane::gui

// snap's history: `snap changes --abs-time` (snapd keeps about a week),
// one change per row, "ID Status Spawn Ready Summary"; the snaps are the
// quoted names of its summary ("Auto-refresh snaps \"core22\", \"firefox\"").
// Changes that install, remove, refresh or revert snaps are kept.
#pragma once

#include <string_view>
#include <vector>

#include "history.hpp"

namespace sorvane::gui {

std::vector<HistoryEntry> parse_snap_changes(std::string_view out);

void snap_history(const HistorySetup& setup, History& into);

}  // namespace sorvane::gui

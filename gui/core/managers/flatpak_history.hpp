// flatpak's history, from the journal through `flatpak history` (the
// system and the user's installations alike), one change per line in the
// columns asked: time ("Dec  9 10:00:01": no year, so the latest such
// date not after now), change ("deploy install", "deploy update",
// "uninstall"), application, branch, installation. Lines of one
// installation a minute apart or less are one transaction.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "history.hpp"

namespace sorvane::gui {

inline constexpr std::string_view FLATPAK_HISTORY_COLUMNS =
    "--columns=time,change,application,branch,installation";

std::vector<HistoryEntry> parse_flatpak_history(std::string_view out, std::int64_t now);

void flatpak_history(const HistorySetup& setup, History& into);

}  // namespace sorvane::gui

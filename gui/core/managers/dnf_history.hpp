// dnf's history, asked read-only as the user: `dnf history list` (one row
// per transaction, newest first: "ID | Command line | Date and time |
// Action(s) | Altered"), then `dnf history info ID` for the packages of
// the newest few (its "Packages Altered:" lines). Run in the C locale.
#pragma once

#include <string_view>
#include <vector>

#include "history.hpp"

namespace sorvane::gui {

struct DnfTransaction {
  std::string id;
  HistoryEntry entry;  // its packages counted in `unlisted`
};
std::vector<DnfTransaction> parse_dnf_history_list(std::string_view out);
// The "Packages Altered:" of `dnf history info`: each new version with the
// old one it replaced.
std::vector<PackageChange> parse_dnf_history_info(std::string_view out);

void dnf_history(const HistorySetup& setup, History& into);

}  // namespace sorvane::gui

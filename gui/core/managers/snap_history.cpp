#include "snap_history.hpp"

#include <array>

#include "history_source.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

struct SnapChange {
  string_view word;
  Change action;
};
constexpr std::array<SnapChange, 5> SNAP_CHANGES = {{
    {"Install", Change::Installed},
    {"Remove", Change::Removed},
    {"Refresh", Change::Upgraded},
    {"Auto-refresh", Change::Upgraded},
    {"Revert", Change::Other},
}};

Ended ended_of(string_view status) {
  if (status == "Done") return Ended::Succeeded;
  if (status == "Error" || status == "Undone" || status == "Hold") return Ended::Failed;
  return Ended::Unfinished;  // Do, Doing, Undoing, Wait
}

}  // namespace

std::vector<HistoryEntry> parse_snap_changes(string_view out) {
  std::vector<HistoryEntry> entries;
  text::for_each_line(out, [&](string_view line) {
    const auto found = text::words(line, 5);
    if (found.size() < 5 || !text::number<unsigned>(found[0])) return true;
    const auto spawn = iso_seconds(found[2]);
    if (!spawn) return true;
    // The summary is what follows the fourth column.
    const size_t at = line.find(found[3], found[2].data() + found[2].size() - line.data());
    const string_view summary = text::trim(line.substr(at + found[3].size()));
    const string_view first = summary.substr(0, summary.find(' '));
    const auto* row = std::find_if(SNAP_CHANGES.begin(), SNAP_CHANGES.end(),
                                   [&](const SnapChange& c) { return c.word == first; });
    if (row == SNAP_CHANGES.end()) return true;
    HistoryEntry entry{*spawn,
                       iso_seconds(found[3]).value_or(*spawn),
                       Step::Snap,
                       std::string(summary),
                       ended_of(found[1]),
                       {},
                       0,
                       {}};
    for (size_t quote = summary.find('"'); quote != string_view::npos;) {
      const size_t close = summary.find('"', quote + 1);
      if (close == string_view::npos) break;
      // An empty pair of quotes names no snap.
      if (close > quote + 1)
        entry.packages.push_back(
            {std::string(summary.substr(quote + 1, close - quote - 1)), {}, {}, row->action});
      quote = summary.find('"', close + 1);
    }
    entries.push_back(std::move(entry));
    return true;
  });
  return entries;
}

void snap_history(const HistorySetup& setup, History& into) {
  const auto out = history_command(setup, "snap", {"changes", "--abs-time"}, into);
  if (!out) return;
  auto entries = parse_snap_changes(*out);
  std::move(entries.begin(), entries.end(), std::back_inserter(into.entries));
}

}  // namespace sorvane::gui

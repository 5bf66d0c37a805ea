#include "dnf_history.hpp"

#include <algorithm>
#include <array>

#include "history_source.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::trim;
using text::words;

struct DnfAction {
  string_view word;
  Change action;
  bool old = false;  // names the version another line replaced
};
constexpr std::array<DnfAction, 11> DNF_ACTIONS = {{
    {"Install", Change::Installed},
    {"Upgrade", Change::Upgraded},
    {"Upgraded", Change::Upgraded, true},
    {"Downgrade", Change::Other},
    {"Downgraded", Change::Other, true},
    {"Reinstall", Change::Other},
    {"Reinstalled", Change::Other, true},
    {"Erase", Change::Removed},
    {"Removed", Change::Removed},
    {"Obsoleting", Change::Installed},
    {"Obsoleted", Change::Removed},
}};

// "name-[epoch:]version-release.arch": the name, and "version-release".
std::pair<std::string, std::string> nevra(string_view text) {
  const size_t arch = text.rfind('.');
  if (arch != string_view::npos) text = text.substr(0, arch);
  const size_t release = text.rfind('-');
  if (release == string_view::npos || release == 0) return {std::string(text), {}};
  const size_t version = text.rfind('-', release - 1);
  if (version == string_view::npos) return {std::string(text), {}};
  return {std::string(text.substr(0, version)), std::string(text.substr(version + 1))};
}

}  // namespace

std::vector<DnfTransaction> parse_dnf_history_list(string_view out) {
  std::vector<DnfTransaction> found;
  text::for_each_line(out, [&](string_view line) {
    std::vector<string_view> columns;
    size_t start = 0;
    for (size_t bar = line.find('|'); bar != string_view::npos; bar = line.find('|', start)) {
      columns.push_back(trim(line.substr(start, bar - start)));
      start = bar + 1;
    }
    columns.push_back(trim(line.substr(start)));
    if (columns.size() != 5 || !text::number<unsigned>(columns[0])) return true;
    // "2026-12-09 10:00": to the minute.
    const auto when = local_seconds(std::string(columns[2]) + ":00");
    if (!when) return true;
    const auto altered = words(columns[4]);
    DnfTransaction row{std::string(columns[0]), {}};
    row.entry =
        HistoryEntry{*when, *when, Step::Dnf, std::string(columns[1]), Ended::Succeeded, {}, 0, {}};
    if (!altered.empty()) row.entry.unlisted = text::number<size_t>(altered[0]).value_or(0);
    // "#": its return code was not zero.
    if (altered.size() > 1 && altered[1].find('#') != string_view::npos) {
      row.entry.ended = Ended::Failed;
    }
    found.push_back(std::move(row));
    return true;
  });
  return found;
}

std::vector<PackageChange> parse_dnf_history_info(string_view out) {
  std::vector<PackageChange> changes;
  bool altered = false;
  text::for_each_line(out, [&](string_view line) {
    if (!altered) {
      altered = line.starts_with("Packages Altered:");
      return true;
    }
    if (!line.starts_with(' ')) return false;  // the next section
    const auto found = words(line, 3);
    if (found.size() < 2) return true;
    const auto* row = std::find_if(DNF_ACTIONS.begin(), DNF_ACTIONS.end(),
                                   [&](const DnfAction& a) { return a.word == found[0]; });
    if (row == DNF_ACTIONS.end()) return true;
    // Named, not bound: a lambda below captures them.
    auto parsed = nevra(found[1]);
    std::string name = std::move(parsed.first);
    std::string version = std::move(parsed.second);
    if (name.empty()) return true;  // a version without its package: nothing to list
    if (row->old) {
      const auto replaced =
          std::find_if(changes.begin(), changes.end(), [&](const PackageChange& change) {
            return change.name == name && change.from.empty() && change.action == row->action;
          });
      if (replaced != changes.end()) {
        replaced->from = version;
        return true;
      }
    }
    PackageChange change{std::move(name), {}, {}, row->action};
    (row->action == Change::Removed || row->old ? change.from : change.to) = std::move(version);
    changes.push_back(std::move(change));
    return true;
  });
  return changes;
}

void dnf_history(const HistorySetup& setup, History& into) {
  const auto list = history_command(setup, "dnf", {"history", "list"}, into);
  if (!list) return;
  std::vector<DnfTransaction> rows = parse_dnf_history_list(*list);
  // Newest first: the newest few are asked for their packages.
  for (size_t i = 0; i < rows.size() && i < setup.detailed; ++i) {
    const auto info = history_command(setup, "dnf", {"history", "info", rows[i].id}, into);
    if (!info) continue;
    rows[i].entry.packages = parse_dnf_history_info(*info);
    if (!rows[i].entry.packages.empty()) rows[i].entry.unlisted = 0;
  }
  for (DnfTransaction& row : rows) into.entries.push_back(std::move(row.entry));
}

}  // namespace sorvane::gui

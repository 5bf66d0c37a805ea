#include "pacman_history.hpp"

#include <array>

#include "history_source.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

struct PacmanAction {
  string_view word;
  Change action;
};
constexpr std::array<PacmanAction, 5> PACMAN_ACTIONS = {{
    {"upgraded ", Change::Upgraded},
    {"installed ", Change::Installed},
    {"removed ", Change::Removed},
    {"downgraded ", Change::Other},
    {"reinstalled ", Change::Other},
}};

// "linux (6.1-1 -> 6.2-1)" or "foo (1.0-1)". A line without a name before
// its versions names no package.
std::optional<PackageChange> package_change(string_view rest, Change action) {
  const size_t open = rest.find(" (");
  if (open == 0 || open == string_view::npos || !rest.ends_with(')')) return std::nullopt;
  const string_view versions = rest.substr(open + 2, rest.size() - open - 3);
  PackageChange change{std::string(rest.substr(0, open)), {}, {}, action};
  const size_t arrow = versions.find(" -> ");
  if (arrow != string_view::npos) {
    change.from = versions.substr(0, arrow);
    change.to = versions.substr(arrow + 4);
  } else if (action == Change::Removed) {
    change.from = versions;
  } else {
    change.to = versions;
  }
  return change;
}

}  // namespace

void PacmanLogReader::line(string_view line) {
  if (!line.starts_with('[')) return;
  const size_t close = line.find("] [");
  if (close == string_view::npos) return;
  const auto when = iso_seconds(line.substr(1, close));
  if (!when) return;
  string_view rest = line.substr(close + 2);
  if (rest.starts_with("[PACMAN] Running ")) {
    asked_ = text::trim(rest.substr(17));
    if (asked_.size() >= 2 && asked_.front() == '\'' && asked_.back() == '\'') {
      asked_ = asked_.substr(1, asked_.size() - 2);
    }
    return;
  }
  if (!rest.starts_with("[ALPM] ")) return;
  rest.remove_prefix(7);
  if (rest == "transaction started") {
    if (open_) open_->ended = Ended::Unfinished;
    end();
    open_ = HistoryEntry{*when, *when, Step::Pacman, asked_, Ended::Unfinished, {}, 0, {}};
    return;
  }
  if (!open_) return;
  open_->end = *when;
  if (rest.starts_with("transaction ")) {
    const string_view how = rest.substr(12);
    open_->ended = how == "completed" ? Ended::Succeeded : Ended::Failed;
    end();
    return;
  }
  for (const PacmanAction& row : PACMAN_ACTIONS) {
    if (rest.starts_with(row.word)) {
      if (auto change = package_change(rest.substr(row.word.size()), row.action)) {
        open_->packages.push_back(std::move(*change));
      }
      return;
    }
  }
}

void PacmanLogReader::end() {
  if (open_) entries.push_back(std::move(*open_));
  open_.reset();
}

void pacman_history(const HistorySetup& setup, History& into) {
  PacmanLogReader pacman;
  for (const std::string& path : rotations(setup, "var/log", "pacman.log")) {
    read_log_lines(setup, path, into, [&](string_view line) { pacman.line(line); });
  }
  pacman.end();
  std::move(pacman.entries.begin(), pacman.entries.end(), std::back_inserter(into.entries));
}

}  // namespace sorvane::gui

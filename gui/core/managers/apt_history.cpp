#include "apt_history.hpp"

#include <algorithm>
#include <array>

#include "history_source.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::LOG_TIME_LENGTH;
using text::trim;
using text::words;

std::string package_name(string_view name) {
  return std::string(name.substr(0, name.find(':')));
}

struct AptField {
  string_view name;
  Change action;
  // cppcheck-suppress unusedStructMember ; read through the row found
  bool two_versions;  // "(from, to)"; one otherwise
};
constexpr std::array<AptField, 6> APT_FIELDS = {{
    {"Install", Change::Installed, false},
    {"Upgrade", Change::Upgraded, true},
    {"Downgrade", Change::Other, true},
    {"Reinstall", Change::Other, false},
    {"Remove", Change::Removed, false},
    {"Purge", Change::Removed, false},
}};

void close_into(std::optional<HistoryEntry>& open, std::vector<HistoryEntry>& entries) {
  if (open) entries.push_back(std::move(*open));
  open.reset();
}

}  // namespace

std::vector<PackageChange> parse_apt_packages(string_view field, string_view list) {
  std::vector<PackageChange> changes;
  const auto* row = std::find_if(APT_FIELDS.begin(), APT_FIELDS.end(),
                                 [&](const AptField& f) { return f.name == field; });
  if (row == APT_FIELDS.end()) return changes;
  while (true) {
    const size_t open = list.find(" (");
    const size_t close = list.find(')', open);
    if (open == string_view::npos || close == string_view::npos) break;
    const string_view name = trim(list.substr(0, open));
    const string_view versions = list.substr(open + 2, close - open - 2);
    const size_t comma = versions.find(", ");
    const string_view first = versions.substr(0, comma);
    const string_view second =
        comma == string_view::npos ? string_view{} : versions.substr(comma + 2);
    PackageChange change{package_name(name), {}, {}, row->action};
    if (row->two_versions) {
      change.from = first;
      change.to = second;
    } else if (row->action == Change::Removed) {
      change.from = first;
    } else {
      change.to = first;  // "automatic" may follow
    }
    if (!change.name.empty()) changes.push_back(std::move(change));
    list.remove_prefix(close + 1);
    if (list.starts_with(",")) list.remove_prefix(1);
  }
  return changes;
}

void AptHistoryReader::line(string_view line) {
  const size_t colon = line.find(": ");
  if (colon == string_view::npos) return;
  const string_view field = line.substr(0, colon);
  const string_view value = trim(line.substr(colon + 2));
  if (field == "Start-Date") {
    // A block without its End-Date: apt was stopped in it.
    if (open_) open_->ended = Ended::Unfinished;
    close_into(open_, entries);
    const auto when = local_seconds(value);
    if (!when) return;
    open_ = HistoryEntry{*when, *when, Step::Apt, {}, Ended::Unfinished, {}, 0, {}};
    return;
  }
  if (!open_) return;
  if (field == "Commandline") {
    open_->command = value;
  } else if (field == "Error") {
    open_->ended = Ended::Failed;
  } else if (field == "End-Date") {
    if (const auto when = local_seconds(value)) open_->end = *when;
    if (open_->ended == Ended::Unfinished) open_->ended = Ended::Succeeded;
    close_into(open_, entries);
  } else {
    auto changes = parse_apt_packages(field, value);
    std::move(changes.begin(), changes.end(), std::back_inserter(open_->packages));
  }
}

void AptHistoryReader::end() {
  close_into(open_, entries);
}

void DpkgLogReader::line(string_view line) {
  if (line.size() < LOG_TIME_LENGTH + 1) return;
  const auto when = local_seconds(line.substr(0, LOG_TIME_LENGTH));
  if (!when) return;
  const auto found = words(line.substr(LOG_TIME_LENGTH), 6);
  if (found.empty()) return;
  const string_view what = found[0];
  if (what == "startup") {
    if (open_ && *when - last_ > SAME_TRANSACTION_SECONDS) end();
    if (!open_) {
      open_ = HistoryEntry{*when, *when, Step::Apt, "dpkg", Ended::Succeeded, {}, 0, {}};
    }
  }
  last_ = *when;
  if (!open_) return;
  open_->end = *when;
  // A line without a package's name before its architecture names none.
  if (what == "status" && found.size() >= 3) {
    const std::string name = package_name(found[2]);
    if (name.empty()) return;
    const bool half = found[1] == "half-installed" || found[1] == "half-configured";
    const auto at = std::find(half_done_.begin(), half_done_.end(), name);
    if (half) {
      if (at == half_done_.end()) half_done_.push_back(name);
    } else if (at != half_done_.end()) {
      half_done_.erase(at);
    }
    return;
  }
  if (found.size() != 4) return;
  const std::string name = package_name(found[1]);
  if (name.empty()) return;
  const auto none = [](string_view version) {
    return version == "<none>" ? std::string() : std::string(version);
  };
  PackageChange change{name, none(found[2]), none(found[3]), Change::Other};
  if (what == "install") {
    change.action = change.from.empty() ? Change::Installed : Change::Upgraded;
  } else if (what == "upgrade") {
    change.action = Change::Upgraded;
  } else if (what == "remove" || what == "purge") {
    change.action = Change::Removed;
    // A purge after its remove is the same package gone.
    if (std::any_of(open_->packages.begin(), open_->packages.end(), [&](const PackageChange& p) {
          return p.name == name && p.action == Change::Removed;
        })) {
      return;
    }
  } else {
    return;
  }
  open_->packages.push_back(std::move(change));
}

void DpkgLogReader::end() {
  if (open_ && !half_done_.empty()) open_->ended = Ended::Failed;
  half_done_.clear();
  close_into(open_, entries);
}

void apt_history(const HistorySetup& setup, History& into) {
  AptHistoryReader apt;
  bool read = false;
  for (const std::string& path : rotations(setup, "var/log/apt", "history.log")) {
    read = read_log_lines(setup, path, into, [&](string_view line) { apt.line(line); }) || read;
  }
  apt.end();
  if (read) {
    std::move(apt.entries.begin(), apt.entries.end(), std::back_inserter(into.entries));
    return;
  }
  // No apt history to read: dpkg's, which any program that runs dpkg writes.
  DpkgLogReader dpkg;
  for (const std::string& path : rotations(setup, "var/log", "dpkg.log")) {
    read_log_lines(setup, path, into, [&](string_view line) { dpkg.line(line); });
  }
  dpkg.end();
  std::move(dpkg.entries.begin(), dpkg.entries.end(), std::back_inserter(into.entries));
}

}  // namespace sorvane::gui

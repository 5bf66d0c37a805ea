// apt's history: /var/log/apt/history.log and its rotations, one block per
// apt run (Start-Date, Commandline, Install/Upgrade/Remove/..., Error,
// End-Date); where apt keeps none, dpkg's own log, /var/log/dpkg.log*,
// whose runs close together are one transaction. Both untranslated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history.hpp"

namespace sorvane::gui {

// Fed history.log's lines in order, oldest rotation first.
class AptHistoryReader {
 public:
  void line(std::string_view line);
  // The last block, when the log ends before its End-Date.
  void end();
  std::vector<HistoryEntry> entries;

 private:
  std::optional<HistoryEntry> open_;
};

// Fed dpkg.log's lines in order: "2026-12-09 10:00:01 upgrade libssl3:amd64 3.0.1 3.0.2".
class DpkgLogReader {
 public:
  // dpkg runs that start within this many seconds of the last line are
  // one transaction: apt runs dpkg several times for one upgrade.
  static constexpr std::int64_t SAME_TRANSACTION_SECONDS = 5;
  void line(std::string_view line);
  void end();
  std::vector<HistoryEntry> entries;

 private:
  std::optional<HistoryEntry> open_;
  std::vector<std::string> half_done_;  // packages whose last status was half done
  std::int64_t last_ = 0;
};

// The packages of one history.log field: "libssl3:amd64 (3.0.1, 3.0.2), foo:amd64 (1.0,
// automatic)".
std::vector<PackageChange> parse_apt_packages(std::string_view field, std::string_view list);

void apt_history(const HistorySetup& setup, History& into);

}  // namespace sorvane::gui

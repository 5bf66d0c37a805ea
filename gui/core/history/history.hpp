// What every package manager on the computer did, whoever asked it: one
// entry per transaction, read as the user from the managers' own logs and
// history commands, never changing anything. Each manager's file reads its
// own sources (the `history` of its row of facts); this file gathers them,
// says which sources could not be read, and tells which entries came
// through Sorvane Update, from the runs whose logs it keeps.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "managers.hpp"
#include "pending_check.hpp"
#include "script_output.hpp"

namespace sorvane::gui {

enum class Change : std::uint8_t { Upgraded, Installed, Removed, Other };

struct PackageChange {
  std::string name;  // without dpkg's ":arch"
  std::string from;  // empty when it was not installed, or the manager does not say
  std::string to;    // empty when it was removed, or the manager does not say
  Change action = Change::Other;
  friend bool operator==(const PackageChange&, const PackageChange&) = default;
};

// How a transaction ended, as its manager recorded it.
enum class Ended : std::uint8_t {
  Succeeded,
  Warnings,    // Sorvane Update's run succeeded, with a manager's warnings
  Failed,      // an error recorded, or the transaction undone
  Unfinished,  // begun, and no end recorded
};

// What Sorvane Update kept of the run the entry came through.
struct SorvaneRun {
  std::string log_path;
  Outcome outcome = Outcome::Failed;
  size_t kept_configs = 0;  // config files set aside, the new ones beside
  bool restarted = false;   // the computer started again after the run
  friend bool operator==(const SorvaneRun&, const SorvaneRun&) = default;
};

struct HistoryEntry {
  std::int64_t time = 0;  // its start, in seconds since the epoch
  std::int64_t end = 0;   // its end when recorded, its start otherwise
  Step manager = {};
  std::string command;  // what was asked, as the manager recorded it; may be empty
  Ended ended = Ended::Succeeded;
  std::vector<PackageChange> packages;
  size_t unlisted = 0;                // packages the manager counted without naming them
  std::optional<SorvaneRun> sorvane;  // it came through Sorvane Update
  friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// A source that exists but could not be read by this user, and why.
struct Unreadable {
  std::string source;  // a path, or the command asked
  std::string reason;  // strerror's words, or the command's first line
  friend bool operator==(const Unreadable&, const Unreadable&) = default;
};

struct History {
  std::vector<HistoryEntry> entries;  // newest first once gathered
  std::vector<Unreadable> unreadable;
};

// Where the history is read from; tests point it elsewhere.
struct HistorySetup {
  CheckSetup check;            // the root, the trusted PATH, the user's environment
  std::string runs;            // where Sorvane Update keeps its runs (log_base)
  uid_t user = 0;              // whose runs they are
  std::string proc = "/proc";  // for the boot time
  // Transactions whose packages are asked one command each (dnf): the
  // newest this many; older ones show their counts alone.
  size_t detailed = 10;
  // Compressed rotations too; without them, the newest weeks alone, at
  // once (each is read through a gzip of its own).
  bool compressed = true;
};

// Every manager's history in `steps`, Sorvane Update's runs matched to
// their entries, newest first.
History read_history(const std::vector<Step>& steps, const HistorySetup& setup);

// Marks the entries that came through one of Sorvane Update's kept runs
// (an entry of a manager the run ran, between its start and end) and adds
// the runs that match none (one that failed before a manager recorded
// anything), then sorts newest first.
struct KeptRunFacts {
  std::int64_t started = 0;
  std::int64_t ended = 0;
  std::vector<Step> steps_run;
  SorvaneRun run;
};
void match_sorvane_runs(History& history, const std::vector<KeptRunFacts>& runs);

// The entries at or after `since` (seconds since the epoch) that changed
// `package` (every entry when empty); an entry keeps only that package's
// rows when one is asked.
History filtered(History history, std::optional<std::int64_t> since, const std::string& package);

// "YYYY-MM-DD HH:MM:SS" (any blanks between), in local time.
std::optional<std::int64_t> local_seconds(std::string_view text);
// ISO 8601 "YYYY-MM-DDTHH:MM:SS" with "Z", "+HHMM" or "+HH:MM" (local
// time without one).
std::optional<std::int64_t> iso_seconds(std::string_view text);

}  // namespace sorvane::gui

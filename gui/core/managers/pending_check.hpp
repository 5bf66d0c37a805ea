// What each package manager would update, asked before any password: as
// the desktop user, never changing the system, through the programs the
// update script itself would find, in the C locale (the answers are read,
// so they must not be translated), each query within a time and output
// limit. A manager the update would fail on, for a reason that can be seen
// without root, is named with that reason here, before the update starts.
#pragma once

#include <sys/types.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "dpkg_repair.hpp"
#include "filesystems.hpp"
#include "held_back.hpp"
#include "managers.hpp"
#include "pending_parsers.hpp"

namespace sorvane::gui {

enum class Problem : std::uint8_t {
  CouldNotCheck,    // a query failed or timed out; `detail` says how
  NoRepository,     // pacman or dnf with nothing to update from
  SnapdNotRunning,  // snap cannot reach snapd
  DpkgInterrupted,  // dpkg's database holds packages left half done
  LockHeld,         // another program holds the package database; `detail` names it
  Offline,          // no route to any network
  Metered,          // not asked: it would use the network, which the check may not
};

struct ProblemFacts {
  Problem problem;
  bool stops_update;  // the update would fail at this manager, or could do nothing
};

// Whether the update is still worth starting with each problem: the script
// stops at the first manager that fails, so a manager that will fail
// leaves every manager after it untouched.
inline constexpr std::array<ProblemFacts, 7> PROBLEMS = {{
    {Problem::CouldNotCheck, false},
    {Problem::NoRepository, true},
    {Problem::SnapdNotRunning, true},
    {Problem::DpkgInterrupted, true},
    {Problem::LockHeld, true},
    {Problem::Offline, true},
    {Problem::Metered, false},
}};
constexpr bool stops_update(Problem problem) {
  return PROBLEMS.at(static_cast<size_t>(problem)).stops_update;
}

struct CheckProblem {
  Problem why;
  std::string detail;  // the failing query's own words, or who holds a lock
  friend bool operator==(const CheckProblem&, const CheckProblem&) = default;
};

// What the manager tells of one pending update besides its versions.
struct UpdateAbout {
  std::string description;              // one line, the manager's own
  std::vector<std::string> advisories;  // DSA-…, DLA-…, CVE-…, FEDORA-…
  bool changelog_available = false;     // what is new can be asked for
};

struct ManagerCheck {
  Step step = Step::Pacman;
  std::vector<PendingUpdate> updates;
  HeldBacks kept_back;                           // pending, but the update will leave them
  std::optional<std::uint64_t> download_bytes;   // unknown when the manager does not say
  std::optional<std::int64_t> data_age_seconds;  // how old the lists are it answered from
  bool refreshed_first = false;  // the update refreshes those lists before it upgrades
  // The answer was fetched from the repositories for this check, as the
  // user (apt's private lists, checkupdates, dnf's refresh, a remote asked
  // live); `data_age_seconds` is then how long ago.
  bool fetched_for_check = false;
  // Why the lists could not be fetched for the check (the answer is from
  // the system's own); empty when they were or need not be.
  std::string not_fetched;
  std::optional<CheckProblem> problem;
  // Where the update writes and how much, where the manager tells.
  std::vector<SpaceNeed> space;
  // Config files the user changed, of packages the update upgrades: the
  // update keeps them (the new version goes beside them).
  std::vector<std::string> kept_conffiles;
  // By package name, where the manager tells.
  std::map<std::string, UpdateAbout> about;
  // What finishes the run dpkg left unfinished (with DpkgInterrupted).
  std::optional<DpkgRepair> repair;
};

// How many updates all the managers have waiting.
inline size_t pending_count(const std::vector<ManagerCheck>& checks) {
  return std::accumulate(
      checks.begin(), checks.end(), size_t{0},
      [](size_t sum, const ManagerCheck& check) { return sum + check.updates.size(); });
}

// Where the check looks; tests point it elsewhere.
struct CheckPlaces {
  std::vector<std::string> path_dirs;  // the update script's PATH
  std::string root = "/";              // prefix of the managers' state (/var/lib/...)
  std::string proc = "/proc";
  std::vector<uid_t> owners = {0};  // who may own a program that is asked
};
CheckPlaces system_places();

// A program the script's PATH holds, passing the same trust test as the
// programs the update runs: a query's answer decides what is shown.
std::optional<std::string> trusted_tool(const CheckPlaces& places, std::string_view name);

// Where the user's caches go: $XDG_CACHE_HOME when absolute, else
// $HOME/.cache; empty without an absolute HOME (a service's user with no
// home keeps none).
std::string user_cache_home();
// Where the user's data goes: $XDG_DATA_HOME when absolute, else
// $HOME/.local/share; empty without an absolute HOME.
std::string user_data_home();

struct CheckSetup {
  CheckPlaces places = system_places();
  std::vector<std::string> environment;  // the user's; the locale is set to C
  std::chrono::milliseconds local_limit{std::chrono::seconds(30)};
  std::chrono::milliseconds network_limit{std::chrono::seconds(90)};
  // False on a metered connection, for a check no one asked for: only what
  // is already on this computer is read (pacman -Qu, dnf from its cache,
  // apt without its private refresh, flatpak's cached summaries; snap,
  // which only snapd's store can answer, is not asked).
  bool network_allowed = true;
  std::string cache_home = user_cache_home();
  std::string data_home = user_data_home();  // flatpak's user installation is there
};

// What one query may print before it is cut (1,000 pending updates take
// a few hundred kilobytes).
inline constexpr size_t MAX_QUERY_OUTPUT = size_t{8} * 1024 * 1024;

// Asks one manager. Blocks; each manager's check may run in its own thread.
ManagerCheck check_manager(Step step, const CheckSetup& setup);

// Asks every manager of `steps` at once, and waits for all: the answers in
// the same order.
std::vector<ManagerCheck> check_all(const std::vector<Step>& steps, const CheckSetup& setup);

// Whether any network can be reached at all: a default route.
bool online(const CheckPlaces& places);

// The update would stop at the first of `checks` (in the script's order)
// with a problem that stops it.
std::optional<Step> stopping_step(const std::vector<ManagerCheck>& checks);

// Who holds `path` (a lock file): its program's name and pid, when locked.
std::optional<std::string> lock_held(const CheckPlaces& places, const std::string& path);
// Who holds any of `paths`, reading /proc/locks once, whole.
std::optional<std::string> lock_held(const CheckPlaces& places,
                                     const std::vector<std::string>& paths);

}  // namespace sorvane::gui

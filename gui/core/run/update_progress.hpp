// How far the update has come, package by package, from signals that do
// not depend on the user's language (the managers' messages are
// translated, their logs and file names are not); each manager's file
// gives its signals (ProgressSignals), as follows:
//   apt      a package's .deb in /var/cache/apt/archives (downloaded), then
//            dpkg's log, /var/log/dpkg.log: "status unpacked" and
//            "status installed" for it;
//   pacman   its package file in /var/cache/pacman/pkg, then pacman's log,
//            /var/log/pacman.log: "[ALPM] upgraded" or "[ALPM] installed";
//   dnf      its own counters in the output: "(n/m): " before each
//            download, " n/m" at the end of each transaction line;
//   flatpak  the ref's deployment: its "active" link changes when the new
//            commit is in place, in the system or the user installation;
//   snap     nothing countable: its step is shown as busy.
// Only the packages the check found pending count, and only what happens
// after the update began: an old log line or a file already cached counts
// once, as done before.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "manager_facts.hpp"
#include "managers.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

// The time an update began, for the config files found by their change
// time (rpm's).
std::int64_t now_in_nanoseconds();

struct StepProgress {
  size_t done = 0;      // units done: a package downloaded, unpacked or installed
  size_t total = 0;     // 0: nothing countable (busy)
  std::string current;  // the package worked on last, as the manager names it
  Phase phase = Phase::Busy;
  size_t phase_done = 0;   // packages through the phase
  size_t phase_total = 0;  // the pending packages
};

class UpdateProgress {
 public:
  UpdateProgress(const std::vector<ManagerCheck>& checks, ProgressPlaces places);

  // Reads what the logs and caches say now. Cheap enough to call a few
  // times a second: logs are read from where the last call stopped.
  void poll();
  // A line of the script's output while `step` runs (dnf counts there).
  void line(Step step, std::string_view text);

  [[nodiscard]] StepProgress step(Step step) const;
  // The packages of `step` the update finished (installed, upgraded), in
  // the check's order.
  [[nodiscard]] std::vector<std::string> updated(Step step) const;
  // The pending packages of `step` it did not update; nothing when that
  // cannot be told (its log could not be read, no deployment was found,
  // no counter was seen, or snap).
  [[nodiscard]] std::optional<std::vector<std::string>> not_updated(Step step) const;
  // The config files the update left as the user had changed them, each
  // once, in the order the managers' logs tell of them.
  [[nodiscard]] std::vector<KeptConfig> kept_configs() const;

 private:
  struct Package {
    std::string name;
    std::string to;
    bool downloaded = false;
    bool unpacked = false;
    bool installed = false;
    std::string deployment;  // flatpak: its "active" link, once found
    std::string deployed;    // and what that named when the update began
  };
  struct Followed {
    std::string path;
    ino_t inode = 0;
    off_t offset = 0;
    std::string partial;  // a line not yet ended
  };
  struct Tracked {
    Step step;
    std::vector<Package> packages;
    std::unordered_map<std::string, size_t> by_name;
    std::optional<Followed> log;
    size_t downloads_counted = 0;  // by the manager's own counters
    size_t transaction_counted = 0;
    bool observed = false;  // the source could be read: what it says counts
    std::string current;
    Phase phase = Phase::Busy;  // of the latest news
    std::vector<KeptConfig> kept;
  };

  static void read_log(Tracked& tracked);
  static void take_log_line(Tracked& tracked, std::string_view text);
  void look_at_cache(Tracked& tracked) const;
  void look_at_deployments(Tracked& tracked) const;
  [[nodiscard]] const Tracked* find(Step step) const;

  ProgressPlaces places_;
  std::vector<Tracked> tracked_;
  std::int64_t began_;  // for rpm's new config files
};

}  // namespace sorvane::gui

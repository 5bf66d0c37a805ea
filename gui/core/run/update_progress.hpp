// How far the update has come, package by package, from signals that do
// not depend on the user's language (the managers' messages are
// translated, their logs and file names are not):
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

#include "managers.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

// A config file the update left as the user had changed it, with the
// package's new version put beside it:
//   dpkg    "conffile /etc/x keep" in its log; the new one is /etc/x.dpkg-dist
//           ("install" replaced the file: nothing of the user's is set aside
//           unless asked, and the update script never asks);
//   pacman  "[ALPM] warning: /etc/x installed as /etc/x.pacnew" in its log,
//           or "warning: extracting /etc/x as /etc/x.pacnew" for a file the
//           user told pacman not to upgrade.
// Both lines are written untranslated, whatever the user's language.
struct KeptConfig {
  std::string path;
  std::string beside;  // the package's new version
  friend bool operator==(const KeptConfig&, const KeptConfig&) = default;
};
//   rpm     "/etc/x.rpmnew": rpm tells of it only in its translated output,
//           and keeps no log of it, so the files themselves are looked for,
//           under /etc (where config files are), made while the update ran
//           (by their change time: rpm gives a file the package's own
//           modification time); a directory the user cannot read is passed
//           over.
std::optional<KeptConfig> read_dpkg_conffile_line(std::string_view line);
std::optional<KeptConfig> read_pacman_pacnew_line(std::string_view line);

// The ".rpmnew" files under `root`/etc changed between two times, in
// nanoseconds since the epoch, by path.
std::vector<KeptConfig> rpm_kept_configs(const std::string& root, std::int64_t from,
                                         std::int64_t to);
std::int64_t now_in_nanoseconds();

// Where the managers keep what progress is read from; tests point it at a
// directory of their own.
struct ProgressPlaces {
  std::string root = "/";
  std::string home;  // the user's, for flatpak's user installation
};

// What a step was doing at its latest news: the count under the bar is
// the one of that phase, so that it moves when the bar moves.
enum class Phase : std::uint8_t {
  Busy,         // nothing counted yet
  Downloading,  // apt, pacman, dnf
  Unpacking,    // apt (dpkg unpacks all, then sets up)
  SettingUp,    // apt: configured
  Installing,   // pacman, dnf's transaction, flatpak
};

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
    size_t dnf_downloaded = 0;
    size_t dnf_transaction = 0;
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

// What one log line says, for the logs above: the package (without dpkg's
// ":arch") and how far it is. Exposed for the parsers' tests.
enum class Stage { None, Unpacked, Installed };
struct LogEvent {
  std::string_view package;
  std::string_view version;  // the version the line is about
  Stage stage = Stage::None;
};
LogEvent read_dpkg_log_line(std::string_view line);
LogEvent read_pacman_log_line(std::string_view line);
// dnf's counters: "(3/10): name-1.0-1.fc40.x86_64.rpm  12 kB/s | ..." while
// downloading, "  Upgrading  : name-1.0-1.fc40.x86_64   3/10" in the
// transaction. Nothing when the line holds neither.
struct DnfCounter {
  bool download = false;
  size_t at = 0;
  size_t of = 0;
  std::string_view package;
};
std::optional<DnfCounter> read_dnf_counter(std::string_view line);

// The packages upgraded in dpkg's or pacman's log between two local times
// ("YYYY-MM-DD HH:MM:SS", as dpkg writes them), each counted once.
inline constexpr size_t LOG_TIME_LENGTH = 19;
size_t dpkg_upgrades(std::string_view log, std::string_view from, std::string_view to);
// The same packages of dpkg's log, by name, sorted.
std::vector<std::string> dpkg_upgraded(std::string_view log, std::string_view from,
                                       std::string_view to);
size_t pacman_upgrades(std::string_view log, std::string_view from, std::string_view to);
// The config files kept in dpkg's or pacman's log between two such times.
std::vector<KeptConfig> dpkg_kept_configs(std::string_view log, std::string_view from,
                                          std::string_view to);
std::vector<KeptConfig> pacman_kept_configs(std::string_view log, std::string_view from,
                                            std::string_view to);

}  // namespace sorvane::gui

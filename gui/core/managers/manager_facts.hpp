// What one package manager knows, as its own file (apt.cpp, dnf.cpp, …)
// tells it: how it is asked before the password, how its progress, its
// kept config files and its failures are read during and after the
// update, and how it says a restart is due. The shared code (asking with
// limits, following logs, adding up progress, naming a failure) asks the
// row of MANAGERS and never names a manager itself.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "manager_text.hpp"
#include "managers.hpp"

namespace sorvane::gui {

struct CheckPlaces;
struct CheckSetup;
struct FailureCause;
struct History;
struct HistorySetup;
struct ManagerCheck;
struct PendingUpdate;
struct RestartQuestion;

using text::LOG_TIME_LENGTH;

// A config file the update left as the user had changed it, with the
// package's new version put beside it.
struct KeptConfig {
  std::string path;
  std::string beside;  // the package's new version
  friend bool operator==(const KeptConfig&, const KeptConfig&) = default;
};

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

// What one log line says: the package (without dpkg's ":arch") and how far
// it is.
enum class Stage { None, Unpacked, Installed };
struct LogEvent {
  std::string_view package;
  std::string_view version;  // the version the line is about
  Stage stage = Stage::None;
};

// A counter a manager prints in its output: package `at` of `of`, while
// downloading or in the transaction.
struct OutputCounter {
  bool download = false;
  size_t at = 0;
  size_t of = 0;
  std::string_view package;
};

using Names = std::vector<std::string>;
using KeptConfigs = std::vector<KeptConfig>;

inline void keep_once(KeptConfigs& kept, std::optional<KeptConfig> found) {
  if (found && std::find(kept.begin(), kept.end(), *found) == kept.end()) {
    kept.push_back(std::move(*found));
  }
}

// A log the manager writes untranslated, with the local time on each line.
struct ManagerLog {
  std::string_view path;  // under the root; empty: it keeps none
  LogEvent (*event)(std::string_view line) = nullptr;
  std::optional<KeptConfig> (*kept)(std::string_view line) = nullptr;
  // What a past update did, from the lines between two local times.
  Names (*upgraded)(std::string_view log, std::string_view from, std::string_view to) = nullptr;
  KeptConfigs (*kept_between)(std::string_view log, std::string_view from,
                              std::string_view to) = nullptr;
};

struct ProgressSignals {
  ManagerLog log;
  // Where it downloads packages to (under the root), and whether a file
  // there is the package's new version.
  std::string_view cache;
  bool (*cached)(std::string_view file, std::string_view name, std::string_view to) = nullptr;
  // Its log tells of packages unpacked before they are set up.
  bool unpacks_first = false;
  // A link that changes once a package's new version is in place.
  std::string (*deployment)(const ProgressPlaces& places, std::string_view name) = nullptr;
  // Counters in its output, and whether one names the package.
  std::optional<OutputCounter> (*counter)(std::string_view line) = nullptr;
  bool (*counts)(std::string_view counted, std::string_view name, std::string_view to) = nullptr;
  // Config files it set aside, found as files changed between two times
  // (nanoseconds since the epoch) where it keeps no log of them.
  KeptConfigs (*kept_files)(const std::string& root, std::int64_t from, std::int64_t to) = nullptr;
  // It may exit 0 having updated nothing (flatpak, when a remote cannot
  // be reached): what these signals say it left alone is the truth of it.
  bool success_may_leave_all = false;
  [[nodiscard]] bool countable() const {
    return !log.path.empty() || deployment != nullptr || counter != nullptr;
  }
};

struct FailureSignals {
  // The first error line of its step, as it prints it (untranslated).
  bool (*error_line)(std::string_view line) = nullptr;
  // Its error lines may still come after the next step's line: a package
  // it runs printed that line.
  bool errors_outlast_step = false;
  // The lock files it names in its error when another program holds them.
  std::span<const std::string_view> locks;
  // Who holds the named lock; nullptr: whoever holds that file.
  std::string (*lock_holder)(std::string_view lock, const CheckPlaces& places) = nullptr;
  // The cause of its failure from the line and the system (Unknown when
  // it knows none).
  FailureCause (*cause)(std::string_view error_line, const CheckPlaces& places) = nullptr;
  // A warning it prints and still exits 0 after: the update then ended
  // with warnings.
  bool (*warning_line)(std::string_view line) = nullptr;
  // A line that is no news of how its step goes, never shown as the
  // latest.
  bool (*noise_line)(std::string_view line) = nullptr;
};

// Where an update's release notes are in an AppStream catalogue (the
// freedesktop format, read by the window's model): the component whose
// flatpak bundle is `bundle` (or, without one, whose id is `id`), its
// releases newer than `since` (the installed version; empty: all).
struct AppStreamNotes {
  std::string catalogue;  // the catalogue's path
  std::string bundle;     // "app/org.example.App/x86_64/stable"
  std::string id;
  std::string since;
  friend bool operator==(const AppStreamNotes&, const AppStreamNotes&) = default;
};

// What is new in one update, as its manager tells it on request: plain
// text (outside text, made safe), the advisories it names, or why it
// could not be had; or where its release notes are to be read.
struct WhatIsNew {
  std::string text;
  std::vector<std::string> advisories;
  std::string why_not;  // the manager's own words, untranslated
  std::optional<AppStreamNotes> appstream;
};

// How the screen speaks of a manager. The words are the window's own,
// translated (check_text.cpp): these choose among them.
// What the age of what it answers from is called: "lists from 3 hours
// ago", "package database from …".
enum class DataName : std::uint8_t { PackageDatabase, Lists };
// How it is said that no repository would give it updates, and what to do:
// enable one, or (where a package of it is often installed only to build
// packages for another system) remove it or configure one.
enum class NoRepositoryWords : std::uint8_t { NoneEnabled, NoneConfigured };
struct ScreenFacts {
  DataName data = DataName::PackageDatabase;
  NoRepositoryWords no_repository = NoRepositoryWords::NoneEnabled;
  // Commands that make room where it keeps what it downloads, as a user
  // would type them (never translated).
  std::span<const std::string_view> make_room;
};

struct ManagerFacts {
  ManagerCheck (*check)(const CheckSetup& setup) = nullptr;
  ProgressSignals progress;
  FailureSignals failure;
  // Whether the computer should restart after it ran, and because of what
  // (package names; none named when it does not say).
  std::optional<Names> (*restart)(const RestartQuestion& question,
                                  const CheckSetup& setup) = nullptr;
  // What it did before, whoever asked it (history.hpp): its entries, and
  // the sources it could not read, added to `into`.
  void (*history)(const HistorySetup& setup, History& into) = nullptr;
  // What is new in a pending update, asked as the user (it may use the
  // network; blocks); nullptr: the manager tells nothing of it.
  WhatIsNew (*what_is_new)(const CheckSetup& setup, const PendingUpdate& update) = nullptr;
  ScreenFacts screen = {};
};

inline const ManagerFacts& facts(Step step) {
  return *manager(step).facts;
}

}  // namespace sorvane::gui

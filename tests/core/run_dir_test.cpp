#include "run_dir.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <functional>

#include "path.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

TEST(RunDir, TheRuntimeDirectoryOnlyWhenItIsReallyTheUsers) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  test::make_dir(dir / "runtime", 0700);
  test::make_dir(dir / "open", 0755);
  ASSERT_EQ(::symlink((dir / "runtime").c_str(), (dir / "link").c_str()), 0);
  EXPECT_EQ(run_dir_base((dir / "runtime").c_str(), me), dir / "runtime");
  EXPECT_EQ(run_dir_base(nullptr, me), "/tmp");
  EXPECT_EQ(run_dir_base((dir / "open").c_str(), me), "/tmp");
  EXPECT_EQ(run_dir_base((dir / "link").c_str(), me), "/tmp");
  EXPECT_EQ(run_dir_base("relative", me), "/tmp");
  EXPECT_EQ(run_dir_base((dir / "runtime").c_str(), me + 1), "/tmp");  // someone else's after su

  std::string path;
  {
    const auto made = RunDir::make(dir / "runtime");
    ASSERT_TRUE(made.ok());
    path = made.value().path();
    EXPECT_TRUE(path.starts_with(dir / "runtime/sorvane-update-"));
    EXPECT_EQ(test::stat_of(path).st_mode & 07777, 0700U);
  }
  EXPECT_FALSE(test::exists(path));  // not kept: gone with its owner
  {
    auto kept = RunDir::make(dir / "runtime");
    ASSERT_TRUE(kept.ok());
    path = kept.value().path();
    ASSERT_TRUE(kept.value().create_log().ok());
    kept.value().keep();
  }
  EXPECT_EQ(test::list_dir(path), std::vector<std::string>{"update.log"});
}

TEST(RunDir, ALogIsAlwaysANewFileNothingPlantedCanStandIn) {
  const TempDir dir;
  auto made = RunDir::make(dir.path());
  ASSERT_TRUE(made.ok());
  const RunDir& run = made.value();
  {
    const auto log = run.create_log();
    ASSERT_TRUE(log.ok());
    EXPECT_EQ(test::stat_of(run.path() + "/update.log").st_mode & 07777, 0600U);
    // The script appends; the window reads the same descriptor.
    ASSERT_EQ(::write(log.value().get(), "line\n", 5), 5);
    std::array<char, 8> back{};
    EXPECT_EQ(::pread(log.value().get(), back.data(), back.size(), 0), 5);
  }
  // Never opened again by name: a second log, a FIFO or a link there is
  // refused at once (a FIFO opened for writing would block).
  const std::pair<std::string, std::function<void()>> plants[] = {
      {"an earlier log", [&] { test::write_file(run.path() + "/update.log", "earlier"); }},
      {"a FIFO", [&] { ASSERT_EQ(::mkfifoat(run.fd(), "update.log", 0666), 0); }},
      {"a link", [&] { ASSERT_EQ(::symlinkat("/etc/passwd", run.fd(), "update.log"), 0); }},
  };
  for (const auto& [name, plant] : plants) {
    ::unlinkat(run.fd(), "update.log", 0);
    plant();
    const auto again = run.create_log();
    ASSERT_FALSE(again.ok()) << name;
    EXPECT_EQ(again.error().code(), EEXIST) << name;
  }
}

TEST(RunDir, OnlyRunsNoOneClaimsAreCleared) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  const auto make_old = [&](const std::string& path) {
    const std::array<timespec, 2> two_minutes_ago = {{{0, UTIME_OMIT}, {::time(nullptr) - 120, 0}}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), two_minutes_ago.data(), 0), 0);
  };
  const auto run = [&](const std::string& name, const std::string& extra = "") {
    test::make_dir(dir / name, 0700);
    test::write_file(dir / name + "/update.log", "log");
    if (!extra.empty()) test::write_file(dir / name + "/" + extra, "not ours");
    make_old(dir / name);
  };
  run("sorvane-update-gone");
  run("sorvane-update-extra", "kept");
  run("other-name");
  test::make_dir(dir / "sorvane-update-never", 0700);  // no log at all
  make_old(dir / "sorvane-update-never");
  // A FIFO planted as the log must not hang the start that looks at it.
  test::make_dir(dir / "sorvane-update-fifo", 0700);
  ASSERT_EQ(::mkfifo((dir / "sorvane-update-fifo/update.log").c_str(), 0600), 0);
  make_old(dir / "sorvane-update-fifo");

  // An update that goes on after its window: the script's output holds
  // the log's claim.
  std::string running;
  std::optional<UniqueFd> script_output;
  {
    auto attempt = RunDir::make(dir.path());
    ASSERT_TRUE(attempt.ok());
    running = attempt.value().path();
    script_output.emplace(std::move(attempt.value().create_log().value()));
    attempt.value().keep();
  }
  make_old(running);
  // A window that is still open, however long it has waited.
  auto window = RunDir::make(dir.path());
  ASSERT_TRUE(window.ok());
  make_old(window.value().path());
  // Just made: its claim may not be taken yet.
  test::make_dir(dir / "sorvane-update-new", 0700);
  test::make_dir(dir / "target", 0700);
  ASSERT_EQ(::symlink((dir / "target").c_str(), (dir / "sorvane-update-link").c_str()), 0);

  clear_stale_run_dirs(dir.path(), me);
  const auto name_of = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
  std::vector<std::string> expected = {
      "other-name", "sorvane-update-extra", "sorvane-update-link",         "sorvane-update-new",
      "target",     name_of(running),       name_of(window.value().path())};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(test::list_dir(dir.path()), expected);
  EXPECT_EQ(test::list_dir(dir / "sorvane-update-extra"), std::vector<std::string>{"kept"});

  // Once the update is over, its directory goes too.
  script_output.reset();
  clear_stale_run_dirs(dir.path(), me);
  EXPECT_FALSE(test::exists(running));
  EXPECT_TRUE(test::exists(window.value().path()));
}

TEST(RunDir, LogsAreKeptInTheUsersOwnStateDirectory) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  const std::string fallback = dir / "runtime";
  test::make_dir(dir / "home", 0700);
  test::make_dir(dir / "shared", 0755);
  test::make_dir(dir / "shared/sorvane", 0755);
  test::make_dir(dir / "elsewhere", 0700);
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "linked").c_str()), 0);
  test::make_dir(dir / "linked-state", 0700);
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "linked-state/sorvane").c_str()), 0);
  struct Row {
    const char* name;
    std::optional<std::string> state;
    std::optional<std::string> home;
    std::string expected;
  };
  const Row rows[] = {
      {"XDG_STATE_HOME", dir / "state", dir / "home", dir / "state/sorvane"},
      {"HOME's default", std::nullopt, dir / "home", dir / "home/.local/state/sorvane"},
      {"a relative XDG_STATE_HOME is ignored", "state", dir / "home",
       dir / "home/.local/state/sorvane"},
      {"neither", std::nullopt, std::nullopt, fallback},
      {"a relative HOME", std::nullopt, "home", fallback},
      {"others may enter it", dir / "shared", dir / "home", fallback},
      {"a link", dir / "linked-state", dir / "home", fallback},
      {"cannot be made", "/proc/sorvane-state", dir / "home", fallback},
  };
  for (const Row& row : rows) {
    const std::string got = log_base(row.state ? row.state->c_str() : nullptr,
                                     row.home ? row.home->c_str() : nullptr, me, fallback);
    EXPECT_EQ(got, row.expected) << row.name;
    if (got != fallback) {
      EXPECT_EQ(test::stat_of(got).st_mode & 07777, 0700U) << row.name;
    }
  }
  // Every level it made is private; the ones there before are left alone.
  EXPECT_EQ(test::stat_of(dir / "home/.local").st_mode & 07777, 0700U);
  EXPECT_EQ(test::stat_of(dir / "shared/sorvane").st_mode & 07777, 0755U);
  EXPECT_TRUE(test::list_dir(dir / "elsewhere").empty());
}

// A finished run in `base`, its log last written `age` seconds ago.
std::string finished_run(const std::string& base, const std::string& name, time_t age) {
  const std::string run = join(base, name);
  test::make_dir(run, 0700);
  test::write_file(run + "/update.log", "Starting system update...\n", 0600);
  const std::array<timespec, 2> then = {{{0, UTIME_OMIT}, {::time(nullptr) - age, 0}}};
  EXPECT_EQ(::utimensat(AT_FDCWD, (run + "/update.log").c_str(), then.data(), 0), 0);
  EXPECT_EQ(::utimensat(AT_FDCWD, run.c_str(), then.data(), 0), 0);
  return run;
}

TEST(RunDir, FinishedRunsAreKeptTheLastTenOrThirtyDays) {
  constexpr time_t DAY = 24 * 60 * 60;
  struct Row {
    const char* name;
    std::vector<time_t> ages;  // in days, of run 0, 1, ...
    std::vector<size_t> removed;
  };
  const Row rows[] = {
      {"ten at most, once they are old",
       {1, 2, 3, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49},
       {10, 11, 12}},
      {"a month's are all kept", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 29}, {}},
      {"the newest ten, however old", {100, 200, 300}, {}},
      {"past ten and the month", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 31}, {11}},
  };
  for (const Row& row : rows) {
    const TempDir dir;
    std::vector<std::string> runs;
    for (size_t i = 0; i < row.ages.size(); ++i) {
      runs.push_back(
          finished_run(dir.path(), "sorvane-update-" + std::to_string(i), row.ages[i] * DAY));
    }
    // However old, one whose update runs on, or whose window is open, stays.
    const std::string running = finished_run(dir.path(), "sorvane-update-running", 90 * DAY);
    const UniqueFd output(::open((running + "/update.log").c_str(), O_RDWR | O_CLOEXEC));
    ASSERT_EQ(::flock(output.get(), LOCK_EX), 0);
    clear_old_runs(dir.path(), ::geteuid(), ::time(nullptr));
    for (size_t i = 0; i < runs.size(); ++i) {
      const bool removed =
          std::find(row.removed.begin(), row.removed.end(), i) != row.removed.end();
      EXPECT_EQ(test::exists(runs[i]), !removed) << row.name << ": run " << i;
    }
    EXPECT_TRUE(test::exists(running)) << row.name;
  }
}

TEST(RunDir, TheLastRunIsToldOfOnceItsEndWasNeverShown) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  EXPECT_FALSE(unshown_run(dir.path(), me).has_value());
  finished_run(dir.path(), "sorvane-update-older", 3600);
  const std::string newer = finished_run(dir.path(), "sorvane-update-newer", 60);
  // Still written to: not finished, so not the last run.
  const std::string running = finished_run(dir.path(), "sorvane-update-running", 0);
  UniqueFd output(::open((running + "/update.log").c_str(), O_RDWR | O_CLOEXEC));
  ASSERT_EQ(::flock(output.get(), LOCK_EX), 0);

  auto last = unshown_run(dir.path(), me);
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->log_path, newer + "/update.log");
  EXPECT_EQ(last->ended, test::stat_of(newer + "/update.log").st_mtime);
  EXPECT_EQ(last->started, test::stat_of(newer).st_mtime);
  // Told once: the older one behind it is never told of.
  mark_shown(last->log.get());
  EXPECT_EQ(test::stat_of(newer + "/update.log").st_mode & 07777, 0400U);
  EXPECT_FALSE(unshown_run(dir.path(), me).has_value());
  // The running one, once over, is the last run.
  output.reset();
  last = unshown_run(dir.path(), me);
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->log_path, running + "/update.log");
}

// The history names every run that ended as Sorvane Update's, also the one
// whose window still shows its end; a run still going is not in it yet.
TEST(RunDir, TheHistoryHasTheRunAWindowStillShows) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  const std::string shown = finished_run(dir.path(), "sorvane-update-shown", 60);
  const UniqueFd window(::open(shown.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  ASSERT_EQ(::flock(window.get(), LOCK_EX), 0);
  const std::string running = finished_run(dir.path(), "sorvane-update-running", 0);
  const UniqueFd output(::open((running + "/update.log").c_str(), O_RDWR | O_CLOEXEC));
  ASSERT_EQ(::flock(output.get(), LOCK_EX), 0);

  std::vector<std::string> logs;
  for (const FinishedRun& run : finished_runs(dir.path(), me)) logs.push_back(run.log_path);
  EXPECT_EQ(logs, std::vector<std::string>{shown + "/update.log"});
  // Its window tells of its end: no other start does.
  EXPECT_FALSE(unshown_run(dir.path(), me).has_value());
}

}  // namespace
}  // namespace sorvane::gui

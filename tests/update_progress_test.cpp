// How far the update has come, read from the managers' logs, caches,
// deployments and counters as they change under a root of the test's own.
#include "update_progress.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "apt.hpp"
#include "dnf.hpp"
#include "pacman.hpp"
#include "past_update.hpp"
#include "test_support.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

std::string capture(const std::string& name) {
  return test::read_file(test::source_dir() + "/tests/data/pending/" + name);
}

void append(const std::string& path, std::string_view text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::app) << text;
}

void relink(const std::string& path, const std::string& target) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::remove(path);
  std::filesystem::create_symlink(target, path);
}

// Each case: a step with its pending packages, what already exists, then
// changes one by one with the units done after each.
struct Change {
  std::function<void(const std::string& root)> make;
  size_t done;
};
struct FollowCase {
  std::string name;
  Step step;
  std::vector<PendingUpdate> pending;
  std::function<void(const std::string& root)> before;
  std::vector<Change> changes;
  size_t total;
  std::vector<std::string> updated;
};

TEST(UpdateProgress, FollowsWhatTheManagersWrite) {
  const std::string log = "var/log/dpkg.log";
  const std::string cache = "var/cache/apt/archives/";
  const std::string upgrade = capture("dpkg-log-upgrade.txt");
  const std::vector<PendingUpdate> systemd = {
      {"libsystemd0", "252.36-1~deb12u1", "252.38-1~deb12u1"},
      {"libudev1", "252.36-1~deb12u1", "252.38-1~deb12u1"}};
  const auto nothing = [](const std::string&) {};
  const std::vector<FollowCase> cases = {
      {"apt: the real log of an upgrade, line by line",
       Step::Apt,
       systemd,
       // What the log held before the update began never counts.
       [&](const std::string& r) { append(r + "/" + log, upgrade); },
       {{[&](const std::string& r) {
           append(r + "/" + cache + "libudev1_252.38-1~deb12u1_amd64.deb", "");
         },
         1},
        {[&](const std::string& r) {
           // The old version is marked unpacked while it is replaced: no step.
           append(r + "/" + log,
                  upgrade.substr(0, upgrade.find("status half-installed libsystemd0")));
         },
         1},
        {[&](const std::string& r) {
           append(r + "/" + log, upgrade.substr(upgrade.find("status half-installed libsystemd0")));
         },
         6}},
       6,
       {"libsystemd0", "libudev1"}},
      {"apt: a cached file of another version, a partial download, an epoch",
       Step::Apt,
       {{"zip", "3.0-13", "3.0-14"}, {"tzdata", "2025b-1", "1:2026a-1"}},
       nothing,
       {{[&](const std::string& r) { append(r + "/" + cache + "zip_3.0-13_amd64.deb", ""); }, 0},
        {[&](const std::string& r) {
           append(r + "/" + cache + "partial/zip_3.0-14_amd64.deb", "");
         },
         0},
        {[&](const std::string& r) { append(r + "/" + cache + "tzdata_1%3a2026a-1_all.deb", ""); },
         1},
        // A line cut in two by the poll counts once it ends.
        {[&](const std::string& r) {
           append(r + "/" + log, "2026-12-09 10:00:00 status installed tzdata:all 1:2026a");
         },
         1},
        {[&](const std::string& r) { append(r + "/" + log, "-1\n"); }, 3}},
       6,
       {"tzdata"}},
      {"apt: the log rotated during the update",
       Step::Apt,
       {{"zip", "3.0-13", "3.0-14"}},
       [&](const std::string& r) { append(r + "/" + log, std::string(4096, '#') + "\n"); },
       {{[&](const std::string& r) {
           std::filesystem::rename(r + "/" + log, r + "/" + log + ".1");
           append(r + "/" + log, "2026-12-09 10:00:00 status installed zip:amd64 3.0-14\n");
         },
         3}},
       3,
       {"zip"}},
      {"pacman: the cache, then the log",
       Step::Pacman,
       {{"linux", "6.1-1", "6.2-1"}, {"vim", "9.0-1", "9.1-1"}},
       [](const std::string& r) {
         append(r + "/var/log/pacman.log",
                "[2026-12-01T10:00:01+0000] [ALPM] upgraded linux (6.0-1 -> 6.2-1)\n");
       },
       {{[](const std::string& r) {
           append(r + "/var/cache/pacman/pkg/linux-6.2-1-x86_64.pkg.tar.zst.part", "");
         },
         0},
        {[](const std::string& r) {
           append(r + "/var/cache/pacman/pkg/linux-6.2-1-x86_64.pkg.tar.zst", "");
         },
         1},
        {[](const std::string& r) {
           append(r + "/var/cache/pacman/pkg/linux-6.2-1-x86_64.pkg.tar.zst.sig", "");
         },
         1},
        {[](const std::string& r) {
           append(r + "/var/log/pacman.log",
                  "[2026-12-09T10:00:01+0000] [ALPM] upgraded linux (6.1-1 -> 6.2-1)\n"
                  "[2026-12-09T10:00:01+0000] [ALPM] upgraded vim (9.0-1 -> 9.0-2)\n");
         },
         2}},
       4,
       {"linux"}},
      {"flatpak: a deployment moves to its new commit",
       Step::Flatpak,
       {{"org.example.App//stable", "", "2.0"}, {"org.example.Platform//23.08", "", "abc"}},
       [](const std::string& r) {
         relink(r + "/var/lib/flatpak/app/org.example.App/x86_64/stable/active", "1111");
       },
       {{[](const std::string& r) {
           relink(r + "/var/lib/flatpak/app/org.example.App/x86_64/stable/active", "2222");
         },
         1},
        // New to the user's installation: counted once it is deployed.
        {[](const std::string& r) {
           relink(r + "/home/.local/share/flatpak/runtime/org.example.Platform/x86_64/23.08/active",
                  "3333");
         },
         2}},
       2,
       {"org.example.App//stable", "org.example.Platform//23.08"}},
      {"snap: nothing to count", Step::Snap, {{"firefox", "", "121.0"}}, nothing, {}, 0, {}},
  };
  for (const FollowCase& c : cases) {
    SCOPED_TRACE(c.name);
    const test::TempDir dir;
    const std::string root = dir / "root";
    test::make_dir(root);
    c.before(root);
    ManagerCheck check;
    check.step = c.step;
    check.updates = c.pending;
    UpdateProgress progress({check}, {root, root + "/home"});
    EXPECT_EQ(progress.step(c.step).done, 0U);
    for (size_t i = 0; i < c.changes.size(); ++i) {
      c.changes[i].make(root);
      progress.poll();
      EXPECT_EQ(progress.step(c.step).done, c.changes[i].done) << "after change " << i;
    }
    EXPECT_EQ(progress.step(c.step).total, c.total);
    EXPECT_EQ(progress.updated(c.step), c.updated);
    if (const auto left = progress.not_updated(c.step)) {
      EXPECT_EQ(left->size() + c.updated.size(), c.pending.size());
    } else {
      EXPECT_EQ(c.step, Step::Snap);
    }
  }
}

TEST(UpdateProgress, ConfigFilesKeptDuringTheUpdateOnly) {
  const test::TempDir dir;
  const std::string dpkg = capture("dpkg-log-conffile.txt");
  const std::string pacnew =
      "[2026-12-09T10:00:01+0000] [ALPM] warning: /etc/pacman.conf installed as "
      "/etc/pacman.conf.pacnew\n";
  // What the logs told of before the update began is not this update's.
  append(dir / "var/log/dpkg.log", dpkg.substr(0, dpkg.find("2026-12-09 19:20:58")));
  append(dir / "var/log/pacman.log", pacnew);
  ManagerCheck apt;
  apt.step = Step::Apt;
  ManagerCheck pacman;
  pacman.step = Step::Pacman;
  UpdateProgress progress({apt, pacman}, {dir.path(), {}});
  EXPECT_EQ(progress.kept_configs(), std::vector<KeptConfig>{});
  append(dir / "var/log/dpkg.log", dpkg.substr(dpkg.find("2026-12-09 19:20:58")));
  append(dir / "var/log/pacman.log", pacnew);
  progress.poll();
  const std::vector<KeptConfig> want = {
      {"/etc/sorvane-probe/edited.conf", "/etc/sorvane-probe/edited.conf.dpkg-dist"},
      {"/etc/pacman.conf", "/etc/pacman.conf.pacnew"}};
  EXPECT_EQ(progress.kept_configs(), want);
}

// rpm's new config files are found by themselves, made while dnf ran.
TEST(UpdateProgress, RpmNewFilesMadeWhileTheUpdateRan) {
  const test::TempDir dir;
  ManagerCheck dnf;
  dnf.step = Step::Dnf;
  UpdateProgress progress({dnf}, {dir.path(), {}});
  append(dir / "etc/ssh/sshd_config.rpmnew", "new");
  append(dir / "etc/dnf/dnf.conf.rpmnew", "new");
  append(dir / "etc/hosts.rpmsave", "old");           // what a removal leaves: not new
  append(dir / "etc/.rpmnew", "");                    // no file's new version
  append(dir / "var/lib/x.conf.rpmnew", "");          // not a config file's place
  test::make_dir(dir / "etc/dnf/dnf.conf.d.rpmnew");  // not a file
  const std::vector<KeptConfig> want = {{"/etc/dnf/dnf.conf", "/etc/dnf/dnf.conf.rpmnew"},
                                        {"/etc/ssh/sshd_config", "/etc/ssh/sshd_config.rpmnew"}};
  EXPECT_EQ(progress.kept_configs(), want);
  // Made before the update, or after it: not its own.
  struct stat st {};
  ASSERT_EQ(::stat((dir / "etc/ssh/sshd_config.rpmnew").c_str(), &st), 0);
  const std::int64_t changed = std::int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec;
  const auto holds_sshd = [&](std::int64_t from, std::int64_t to) {
    const auto kept = rpm_kept_configs(dir.path(), from, to);
    return std::find(kept.begin(), kept.end(), want[1]) != kept.end();
  };
  EXPECT_TRUE(holds_sshd(changed, changed));
  EXPECT_FALSE(holds_sshd(changed + 1, std::numeric_limits<std::int64_t>::max()));
  EXPECT_FALSE(holds_sshd(0, changed - 1));
  // A folder the user cannot read is passed over, the rest still read.
  if (::geteuid() != 0) {
    test::set_mode(dir / "etc/dnf", 0);
    EXPECT_EQ(progress.kept_configs(), std::vector<KeptConfig>{want[1]});
    test::set_mode(dir / "etc/dnf", 0755);
  }
}

TEST(UpdateProgress, WhatCannotBeReadNeverCountsAsLeftAlone) {
  const test::TempDir dir;
  ManagerCheck apt;
  apt.step = Step::Apt;
  apt.updates = {{"zip", "3.0-13", "3.0-14"}};
  ManagerCheck flatpak;
  flatpak.step = Step::Flatpak;
  flatpak.updates = {{"org.example.App//stable", "", "2.0"}};
  UpdateProgress progress({apt, flatpak}, {dir / "nothing-here", ""});
  progress.poll();
  EXPECT_EQ(progress.not_updated(Step::Apt), std::nullopt);
  EXPECT_EQ(progress.not_updated(Step::Flatpak), std::nullopt);
  EXPECT_EQ(progress.not_updated(Step::Pacman), std::nullopt);  // not in this update
  // Once dpkg's log exists, what it does not say was not done.
  append(dir / "nothing-here/var/log/dpkg.log", "");
  progress.poll();
  EXPECT_EQ(progress.not_updated(Step::Apt), (std::vector<std::string>{"zip"}));
}

TEST(UpdateProgress, DnfCountsItsOwnCountersNeverBackwards) {
  ManagerCheck check;
  check.step = Step::Dnf;
  check.updates = {{"bash", "5.2.15-1.fc40", "5.2.26-3.fc40"}, {"zsh", "5.9-1", "5.9-2"}};
  UpdateProgress progress({check}, {"/nonexistent", ""});
  struct Line {
    std::string text;
    size_t done;
    Phase phase;  // and the count under the bar, of that phase
    size_t phase_done;
  };
  const Line lines[] = {
      {"(1/2): bash-5.2.26-3.fc40.x86_64.rpm  1 MB/s | 1 MB 00:01", 1, Phase::Downloading, 1},
      {"(2/2): zsh-5.9-2.fc40.x86_64.rpm  1 MB/s | 1 MB 00:01", 2, Phase::Downloading, 2},
      {"  Upgrading        : bash-5.2.26-3.fc40.x86_64        1/4", 2, Phase::Installing, 0},
      {"  Upgrading        : zsh-5.9-2.fc40.x86_64            2/4", 3, Phase::Installing, 1},
      {"  Cleanup          : bash-5.2.15-1.fc40.x86_64        4/4", 4, Phase::Installing, 2},
      {"  Verifying        : bash-5.2.26-3.fc40.x86_64        1/4", 4, Phase::Installing, 2},
  };
  for (const Line& line : lines) {
    progress.line(Step::Dnf, line.text);
    progress.line(Step::Apt, line.text);  // not dnf's step: ignored
    const StepProgress step = progress.step(Step::Dnf);
    EXPECT_EQ(step.done, line.done) << line.text;
    EXPECT_EQ(step.phase, line.phase) << line.text;
    EXPECT_EQ(step.phase_done, line.phase_done) << line.text;
    EXPECT_EQ(step.phase_total, 2U) << line.text;
  }
  EXPECT_EQ(progress.step(Step::Dnf).total, 4U);
  EXPECT_EQ(progress.updated(Step::Dnf), (std::vector<std::string>{"bash", "zsh"}));
  EXPECT_EQ(progress.step(Step::Dnf).current, "bash");
}

// The count under the bar is the phase's own, and moves when the bar
// moves: downloaded, then unpacked, then set up, from apt's cache and
// dpkg's real log (which marks a package unpacked again as it sets it up).
TEST(UpdateProgress, ThePhaseAndItsCountFollowTheLatestNews) {
  const test::TempDir dir;
  const std::string root = dir / "root";
  test::make_dir(root);
  const std::string upgrade = capture("dpkg-log-upgrade.txt");
  ManagerCheck check;
  check.step = Step::Apt;
  check.updates = {{"libsystemd0", "252.36-1~deb12u1", "252.38-1~deb12u1"},
                   {"libudev1", "252.36-1~deb12u1", "252.38-1~deb12u1"}};
  UpdateProgress progress({check}, {root, ""});
  const auto log_up_to = [&](const std::string& line) {
    return upgrade.substr(0, upgrade.find('\n', upgrade.find(line)) + 1);
  };
  size_t logged = 0;
  const auto log = [&](const std::string& until) {
    const std::string text = log_up_to(until);
    append(root + "/var/log/dpkg.log", text.substr(logged));
    logged = text.size();
  };
  struct News {
    std::function<void()> make;
    Phase phase;
    size_t phase_done;
    size_t done;
  };
  const std::string cache = root + "/var/cache/apt/archives/";
  const News changes[] = {
      {[] {}, Phase::Busy, 0, 0},
      {[&] { append(cache + "libudev1_252.38-1~deb12u1_amd64.deb", ""); }, Phase::Downloading, 1,
       1},
      {[&] { append(cache + "libsystemd0_252.38-1~deb12u1_amd64.deb", ""); }, Phase::Downloading, 2,
       2},
      {[&] { log("status unpacked libsystemd0:amd64 252.38-1~deb12u1"); }, Phase::Unpacking, 1, 3},
      // Marked unpacked again as it is set up: still unpacking, no step back.
      {[&] {
         log("configure libsystemd0:amd64 252.38-1~deb12u1 <none>\n2025-06-24 14:36:25 status "
             "unpacked libsystemd0:amd64 252.38-1~deb12u1");
       },
       Phase::Unpacking, 1, 3},
      {[&] { log("status installed libsystemd0:amd64 252.38-1~deb12u1"); }, Phase::SettingUp, 1, 4},
      {[&] { log("status unpacked libudev1:amd64 252.38-1~deb12u1"); }, Phase::Unpacking, 2, 5},
      {[&] { log("status installed libudev1:amd64 252.38-1~deb12u1"); }, Phase::SettingUp, 2, 6},
  };
  for (size_t i = 0; i < std::size(changes); ++i) {
    changes[i].make();
    progress.poll();
    const StepProgress step = progress.step(Step::Apt);
    EXPECT_EQ(step.phase, changes[i].phase) << "after change " << i;
    EXPECT_EQ(step.phase_done, changes[i].phase_done) << "after change " << i;
    EXPECT_EQ(step.phase_total, 2U);
    EXPECT_EQ(step.done, changes[i].done) << "after change " << i;
  }
}

}  // namespace
}  // namespace sorvane::gui

namespace sorvane::gui {
namespace {

// After the update: whether a restart is due, each family's way, in a root
// of the test's own.
// dpkg's and pacman's time for `when`, in local time as they write it.
std::string log_time(time_t when, const char* format) {
  struct tm parts {};
  std::array<char, 32> text{};
  ::localtime_r(&when, &parts);
  ::strftime(text.data(), text.size(), format, &parts);
  return text.data();
}

TEST(PastUpdate, HowAnUpdateWithoutItsWindowEnded) {
  const time_t now = ::time(nullptr);
  const time_t started = now - 600;
  const time_t ended = now - 60;
  const auto dpkg = [](time_t when, const std::string& rest) {
    return log_time(when, "%Y-%m-%d %H:%M:%S ") + rest + "\n";
  };
  const auto pacman = [](time_t when, const std::string& rest) {
    return log_time(when, "[%Y-%m-%dT%H:%M:%S+0000] ") + rest + "\n";
  };
  // Only the upgrades between the start and the end count, each once.
  const std::string dpkg_log =
      dpkg(started - 3600, "upgrade before:amd64 1 2") + dpkg(started, "upgrade a:amd64 1 2") +
      dpkg(started + 5, "status installed a:amd64 2") + dpkg(started + 9, "upgrade b:all 1 2") +
      dpkg(started + 9, "upgrade b:all 1 2") + dpkg(started + 10, "install new:amd64 <none> 1") +
      dpkg(ended, "upgrade c:amd64 1 2") + dpkg(now, "upgrade after:amd64 1 2") +
      dpkg(started - 60, "conffile /etc/before.conf keep") +
      dpkg(started + 6, "conffile /etc/a.conf keep") + dpkg(now, "conffile /etc/after.conf keep");
  const std::string pacman_log =
      pacman(started - 60, "[ALPM] upgraded old (1-1 -> 2-1)") +
      pacman(started + 1, "[ALPM] upgraded linux (6.1-1 -> 6.2-1)") +
      pacman(started + 2, "[ALPM] installed new (1-1)") +
      pacman(started + 3, "[ALPM-SCRIPTLET] upgraded fake (1 -> 2)") +
      pacman(started + 4, "[ALPM] upgraded glibc (2.38-1 -> 2.39-1)") +
      pacman(started + 4, "[ALPM] warning: /etc/x installed as /etc/x.pacnew");
  const std::string start = "Starting system update...\n\n";
  struct Row {
    const char* name;
    std::string log;
    std::optional<int> status;  // as the monitor recorded it
    Outcome outcome;
    std::optional<Step> step;
    std::vector<std::pair<Step, size_t>> updated;
    std::optional<SudoEnd> sudo_end = {};  // as the monitor saw sudo end
  };
  // A package prints what the script prints after sudo, then apt dies.
  const std::string faked = start +
                            "Updating apt packages...\nSetting up chatty\n"
                            "Updating Flatpak packages...\nUpdate complete.\n";
  const Row rows[] = {
      {"finished",
       start + "Updating apt packages...\nSetting up a\nUpdate complete.\n",
       0,
       Outcome::Success,
       std::nullopt,
       {{Step::Apt, 3}}},
      {"warned",
       start + "Updating apt packages...\nW: Failed to fetch x\nUpdate complete.\n",
       0,
       Outcome::SuccessWithWarnings,
       Step::Apt,
       {{Step::Apt, 3}}},
      {"stopped in apt",
       start + "Updating apt packages...\nE: dpkg was interrupted\n",
       W_EXITCODE(100, 0),
       Outcome::Failed,
       Step::Apt,
       {{Step::Apt, 3}}},
      {"stopped in the second step",
       start + "Updating apt packages...\nUpdating Flatpak packages...\nerror: no remote\n",
       W_EXITCODE(1, 0),
       Outcome::Failed,
       Step::Flatpak,
       {{Step::Apt, 3}}},
      {"a manager's own line cannot end it early",
       start + "Updating pacman packages...\nUpdate complete.\nUpdating Flatpak packages...\n",
       W_EXITCODE(1, 0),
       Outcome::Failed,
       Step::Flatpak,
       {{Step::Pacman, 2}}},
      {"pacman",
       start + "Updating pacman packages...\nUpdate complete.\n",
       0,
       Outcome::Success,
       std::nullopt,
       {{Step::Pacman, 2}}},
      // A package's "Update complete." is not the end: apt was killed.
      {"killed after a package printed the last line",
       start + "Updating apt packages...\nUpdate complete.\n",
       W_EXITCODE(137, 0),
       Outcome::Failed,
       Step::Apt,
       {{Step::Apt, 3}}},
      {"no status recorded",
       start + "Updating apt packages...\nUpdate complete.\n",
       std::nullopt,
       Outcome::Failed,
       std::nullopt,
       {{Step::Apt, 3}}},
      {"nothing began", start, W_EXITCODE(1, 0), Outcome::Failed, std::nullopt, {}},
      {"a package's flatpak line while sudo ran, then apt killed",
       faked,
       W_EXITCODE(137, 0),
       Outcome::Failed,
       Step::Apt,
       {{Step::Apt, 3}},
       SudoEnd{1}},
      {"the script's own flatpak line after a package's",
       faked + "Updating Flatpak packages...\nerror: no remote\n",
       W_EXITCODE(1, 0),
       Outcome::Failed,
       Step::Flatpak,
       {{Step::Apt, 3}},
       SudoEnd{1}},
      {"glued to a package's unfinished line, the script's own still counts",
       start + "Updating apt packages...\nUpdating Flatpak packages...\nprogress 50%" +
           "Updating Flatpak packages...\nerror: no remote\n",
       W_EXITCODE(1, 0),
       Outcome::Failed,
       Step::Flatpak,
       {{Step::Apt, 3}},
       SudoEnd{1}},
      {"sudo's end not seen: as before",
       faked,
       W_EXITCODE(137, 0),
       Outcome::Failed,
       Step::Flatpak,
       {{Step::Apt, 3}}},
  };
  for (const Row& row : rows) {
    const test::TempDir root;
    append(root / "var/log/dpkg.log", dpkg_log);
    append(root / "var/log/pacman.log", pacman_log);
    append(root / "update.log", row.log);
    const UniqueFd log(::open((root / "update.log").c_str(), O_RDONLY | O_CLOEXEC));
    const PastUpdate past =
        read_past_update(log.get(), row.status, started, ended, root.path(), row.sudo_end);
    EXPECT_EQ(past.started, started) << row.name;
    EXPECT_EQ(past.finish.outcome, row.outcome) << row.name;
    EXPECT_EQ(past.finish.failed_step, row.step) << row.name;
    EXPECT_EQ(past.finish.exit_status, row.status ? WEXITSTATUS(*row.status) : 0) << row.name;
    EXPECT_EQ(past.updated, row.updated) << row.name;
    std::vector<KeptConfig> kept;
    for (const auto& [step, count] : row.updated) {
      if (step == Step::Apt) kept.push_back({"/etc/a.conf", "/etc/a.conf.dpkg-dist"});
      if (step == Step::Pacman) kept.push_back({"/etc/x", "/etc/x.pacnew"});
    }
    EXPECT_EQ(past.kept_configs, kept) << row.name;
  }
}

}  // namespace
}  // namespace sorvane::gui

// What each manager's row tells the shared code: its log lines, its kept
// config files, its output's counters and its sign that a restart is due.
// Read through the table, so a row wired to another manager's reader fails.
#include "manager_facts.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "captures.hpp"
#include "restart_needed.hpp"

namespace sorvane::gui {
namespace {

using test::capture;

TEST(UpdateProgressLogs, ReadEachManagersOwnLines) {
  struct Case {
    std::string line;
    Step step;
    std::string package;
    std::string version;
    Stage stage;
  };
  const Case cases[] = {
      {"2025-06-24 14:36:25 status installed libsystemd0:amd64 252.38-1~deb12u1", Step::Apt,
       "libsystemd0", "252.38-1~deb12u1", Stage::Installed},
      {"2025-06-24 14:36:25 status unpacked libudev1:amd64 252.36-1~deb12u1", Step::Apt, "libudev1",
       "252.36-1~deb12u1", Stage::Unpacked},
      {"2025-06-24 14:36:25 status half-configured libudev1:amd64 252.38-1", Step::Apt, "", "",
       Stage::None},
      {"2025-06-24 14:36:25 upgrade libudev1:amd64 252.36-1 252.38-1", Step::Apt, "", "",
       Stage::None},
      {"2025-06-24 14:36:25 status installed", Step::Apt, "", "", Stage::None},
      {"[2026-12-09T10:00:01+0000] [ALPM] upgraded linux (6.1-1 -> 6.2-1)", Step::Pacman, "linux",
       "6.2-1", Stage::Installed},
      {"[2026-12-09T10:00:01+0000] [ALPM] installed zstd (1.5.5-1)", Step::Pacman, "zstd",
       "1.5.5-1", Stage::Installed},
      {"[2026-12-09T10:00:01+0000] [ALPM] removed vim (9.0-1)", Step::Pacman, "", "", Stage::None},
      {"[2026-12-09T10:00:01+0000] [PACMAN] upgraded linux (6.1-1 -> 6.2-1)", Step::Pacman, "", "",
       Stage::None},
      {"[2026-12-09T10:00:01+0000] [ALPM] upgraded linux (6.1-1 6.2-1)", Step::Pacman, "", "",
       Stage::None},
  };
  for (const Case& c : cases) {
    const LogEvent event = facts(c.step).progress.log.event(c.line);
    EXPECT_EQ(event.stage, c.stage) << c.line;
    EXPECT_EQ(event.package, c.package) << c.line;
    EXPECT_EQ(event.version, c.version) << c.line;
  }
}

// The config files an update left as the user had changed them, from
// each manager's own log line.
TEST(UpdateProgressLogs, ConfigFilesKeptBesideTheNewOnes) {
  const std::string dpkg = capture("dpkg-log-conffile.txt");
  const std::string keep = dpkg.substr(dpkg.find("2026-12-09 19:20:57 conffile"));
  const std::string install = dpkg.substr(dpkg.find("2026-12-09 19:21:02 conffile"));
  const KeptConfig edited{"/etc/sorvane-probe/edited.conf",
                          "/etc/sorvane-probe/edited.conf.dpkg-dist"};
  struct Case {
    std::string line;
    Step step;
    std::optional<KeptConfig> want;
  };
  const Case cases[] = {
      // Captured from dpkg: kept, then replaced at the user's request.
      {keep.substr(0, keep.find('\n')), Step::Apt, edited},
      {install.substr(0, install.find('\n')), Step::Apt, std::nullopt},
      {"2026-12-09 19:20:57 conffile /etc/with space/a b.conf keep", Step::Apt,
       KeptConfig{"/etc/with space/a b.conf", "/etc/with space/a b.conf.dpkg-dist"}},
      {"2026-12-09 19:20:57 status installed sorvane-probe-conf:all 2.0", Step::Apt, std::nullopt},
      {"2026-12-09 19:20:57 conffile keep", Step::Apt, std::nullopt},
      {"conffile /etc/a keep", Step::Apt, std::nullopt},
      // pacman writes these with alpm_logaction, untranslated.
      {"[2026-12-09T10:00:01+0000] [ALPM] warning: /etc/pacman.conf installed as "
       "/etc/pacman.conf.pacnew",
       Step::Pacman, KeptConfig{"/etc/pacman.conf", "/etc/pacman.conf.pacnew"}},
      {"[2026-12-09T10:00:01+0000] [ALPM] warning: extracting /etc/my as as "
       "/etc/my as.pacnew",
       Step::Pacman, KeptConfig{"/etc/my as", "/etc/my as.pacnew"}},
      {"[2026-12-09T10:00:01+0000] [ALPM] warning: /etc/a installed as /etc/b.pacnew", Step::Pacman,
       std::nullopt},
      {"[2026-12-09T10:00:01+0000] [ALPM] warning: /etc/a saved as /etc/a.pacsave", Step::Pacman,
       std::nullopt},
      {"[2026-12-09T10:00:01+0000] [ALPM-SCRIPTLET] warning: /etc/a installed as /etc/a.pacnew",
       Step::Pacman, std::nullopt},
      {"[2026-12-09T10:00:01+0000] [ALPM] upgraded linux (6.1-1 -> 6.2-1)", Step::Pacman,
       std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(facts(c.step).progress.log.kept(c.line), c.want) << c.line;
  // Kept twice (2.0 and 3.0), told once; replaced (4.0): nothing to tell.
  EXPECT_EQ(facts(Step::Apt).progress.log.kept_between(dpkg, "2026-12-09 19:20:57",
                                                       "2026-12-09 19:21:02"),
            std::vector<KeptConfig>{edited});
  EXPECT_EQ(facts(Step::Apt).progress.log.kept_between(dpkg, "2026-12-09 19:21:01",
                                                       "2026-12-09 19:21:02"),
            std::vector<KeptConfig>{});
}

TEST(UpdateProgressLogs, DnfCountersInAnyLanguage) {
  struct Case {
    std::string line;
    std::optional<OutputCounter> want;
  };
  const Case cases[] = {
      {"(1/2): bash-5.2.26-3.fc40.x86_64.rpm   1.2 MB/s | 1.8 MB  00:01",
       OutputCounter{true, 1, 2, "bash-5.2.26-3.fc40.x86_64.rpm"}},
      {"  Upgrading        : bash-5.2.26-3.fc40.x86_64        1/4 ",
       OutputCounter{false, 1, 4, "bash-5.2.26-3.fc40.x86_64"}},
      {"  Running scriptlet: bash-5.2.26-3.fc40.x86_64        1/4",
       OutputCounter{false, 1, 4, "bash-5.2.26-3.fc40.x86_64"}},
      {"  Mise à jour      : bash-5.2.26-3.fc40.x86_64        2/4",
       OutputCounter{false, 2, 4, "bash-5.2.26-3.fc40.x86_64"}},
      {"  Preparing        :                                  1/1", std::nullopt},
      {"  Upgrading        : bash-5.2.26-3.fc40.x86_64        5/4", std::nullopt},
      {"  Upgrading        : bash-5.2.26-3.fc40.x86_64        0/4", std::nullopt},
      {"(x/2): bash.rpm 1 MB", std::nullopt},
      {"Total  3.1 MB/s | 4.0 MB  00:01", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto got = facts(Step::Dnf).progress.counter(c.line);
    ASSERT_EQ(got.has_value(), c.want.has_value()) << c.line;
    if (!got) continue;
    EXPECT_EQ(got->download, c.want->download) << c.line;
    EXPECT_EQ(got->at, c.want->at) << c.line;
    EXPECT_EQ(got->of, c.want->of) << c.line;
    EXPECT_EQ(got->package, c.want->package) << c.line;
  }
}

TEST(RestartNeeded, EachFamilysOwnSign) {
  struct Case {
    std::string name;
    std::vector<Step> steps;
    std::vector<std::string> updated_by_apt;
    std::vector<std::pair<std::string, std::string>> files;  // under the root
    std::string dnf;                                         // a stand-in's body, when any
    RestartNeed want;
  };
  const std::string dnf_due =
      "echo 'Core libraries or services have been updated since boot-up:'; echo '  * "
      "systemd'; echo; echo 'Reboot is required to fully utilize these updates.'; exit 1";
  const std::vector<Case> cases = {
      {"Debian: the file and its packages",
       {Step::Apt},
       {"zip"},
       {{"run/reboot-required", "*** System restart required ***\n"},
        {"run/reboot-required.pkgs", "linux-image-6.1.0-28-amd64\nlinux-image-6.1.0-28-amd64\n"}},
       {},
       {true, {"linux-image-6.1.0-28-amd64"}}},
      {"Debian without the file: what was updated",
       {Step::Apt, Step::Flatpak},
       {"zip", "libc6", "libc6-dev", "systemd-timesyncd", "systemd", "dbus", "intel-microcode",
        "firmware-misc-nonfree", "linux-image-amd64", "libssl3"},
       {},
       {},
       {true,
        {"libc6", "systemd", "dbus", "intel-microcode", "firmware-misc-nonfree",
         "linux-image-amd64"}}},
      {"Debian: nothing that needs it", {Step::Apt}, {"zip", "libssl3", "libc6-dev"}, {}, {}, {}},
      {"the file, but apt did not run", {Step::Flatpak}, {}, {{"run/reboot-required", ""}}, {}, {}},
      {"Arch: the running kernel's modules are gone",
       {Step::Pacman},
       {},
       {{"usr/lib/modules/6.12.1-arch1-1/modules.dep", ""}},
       {},
       {true, {"linux"}}},
      {"Arch: they are there",
       {Step::Pacman},
       {},
       {{"usr/lib/modules/6.11.0-arch1-1/modules.dep", ""}},
       {},
       {}},
      {"Fedora: dnf says one is due", {Step::Dnf}, {}, {}, dnf_due, {true, {}}},
      {"Fedora: dnf says none",
       {Step::Dnf},
       {},
       {},
       "echo 'No core libraries or services have been updated since boot-up.'",
       {}},
      {"Fedora: dnf without the plugin",
       {Step::Dnf},
       {},
       {},
       "echo 'No such command: needs-restarting.' >&2; exit 1",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.dnf.empty() && ::geteuid() != 0) continue;  // its stand-in must be root's
    const test::TempDir dir("/run");
    test::make_dir(dir / "bin");
    test::make_dir(dir / "root");
    for (const auto& [path, text] : c.files) {
      std::filesystem::create_directories(
          std::filesystem::path(dir / ("root/" + path)).parent_path());
      test::write_file(dir / ("root/" + path), text);
    }
    if (!c.dnf.empty()) test::write_file(dir / "bin/dnf", "#!/bin/sh\n" + c.dnf + "\n", 0755);
    CheckSetup setup;
    setup.places = {{dir / "bin"}, dir / "root", "/proc", {0}};
    const RestartNeed need =
        restart_needed({c.steps, {{Step::Apt, c.updated_by_apt}}, "6.11.0-arch1-1"}, setup);
    EXPECT_EQ(need.needed, c.want.needed);
    EXPECT_EQ(need.because, c.want.because);
  }
}

}  // namespace
}  // namespace sorvane::gui

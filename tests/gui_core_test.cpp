// The package managers as the update window sees them: what is pending,
// why an update failed, and what finishes a run dpkg left unfinished.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>

#include "child_process.hpp"
#include "detector_process.hpp"
#include "dpkg_repair.hpp"
#include "failure_cause.hpp"
#include "managers.hpp"
#include "payload.hpp"
#include "pending_check.hpp"
#include "run_dir.hpp"
#include "script_output.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using namespace std::chrono_literals;

// The window follows the script by the lines it prints: a line renamed in
// the script alone would make every good update look failed.
TEST(Managers, EachLineTheWindowWaitsForIsOneTheScriptPrints) {
  const std::string_view script = UPDATE_SCRIPT;
  std::vector<std::string> lines;
  for (const Manager& row : MANAGERS) lines.emplace_back(row.step_line);
  lines.emplace_back(COMPLETE_LINE);
  lines.emplace_back(HEADER_LINES[0]);
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    EXPECT_NE(script.find("echo \"" + line + "\"\n"), std::string_view::npos);
  }
  // Each in its own branch, in the order the window expects.
  size_t at = 0;
  for (const Manager& row : MANAGERS) {
    const size_t found = script.find(row.step_line, at);
    EXPECT_NE(found, std::string_view::npos) << row.name;
    at = found;
    const size_t test = script.rfind("command -v ", found);
    ASSERT_NE(test, std::string_view::npos);
    EXPECT_EQ(script.substr(test + 11, row.name.size()), row.name);
  }
}

TEST(Managers, TheReportAndTheScriptNameTheSameFive) {
  for (const Manager& row : MANAGERS) {
    EXPECT_EQ(display_name(row.kind), row.name);
    EXPECT_EQ(step_of(row.kind), row.step);
    EXPECT_EQ(step_named(row.name), row.step);
    // The privileged ones run first, under one sudo, then the user's.
    const bool before_flatpak = row.step < Step::Flatpak;
    EXPECT_EQ(row.under_sudo, before_flatpak) << row.name;
  }
  EXPECT_TRUE(std::find(SCRIPT_PROGRAMS.begin(), SCRIPT_PROGRAMS.end(), "flatpak") !=
              SCRIPT_PROGRAMS.end());
}

struct CauseCase {
  std::string name;
  Step step;
  std::string line;
  std::string status;  // dpkg's database
  FailureCause cause;
};

// Each cause from what does not depend on the language: apt's messages are
// translated (German rows), the paths, URLs and dpkg's database are not.
TEST(FailureCause, TheCommonCausesAreFoundFromUntranslatedSignals) {
  const TempDir dir;
  std::filesystem::create_directories(dir / "var/cache/apt/archives");
  std::filesystem::create_directories(dir / "var/lib/dpkg");
  std::filesystem::create_directories(dir / "var/lib/apt/lists");
  std::filesystem::create_directories(dir / "etc");
  test::write_file(dir / "var/lib/dpkg/lock-frontend", "", 0640);
  test::write_file(dir / "etc/asked.conf", "mine\n", 0644);
  test::write_file(dir / "etc/asked.conf.dpkg-new", "theirs\n", 0644);
  const CheckPlaces places{{}, dir.path(), dir / "proc", {0}};
  std::filesystem::create_directories(dir / "proc");
  test::write_file(dir / "proc/locks", "", 0644);
  const std::string half_configured =
      "Package: fine\nStatus: install ok installed\n\n"
      "Package: broken\nStatus: install ok half-configured\nVersion: 2.0\n\n";
  const std::string unpacked_with_question =
      "Package: asked\nStatus: install ok unpacked\nConffiles:\n"
      " /etc/asked.conf 0123456789abcdef0123456789abcdef\n\n"
      "Package: waiting\nStatus: install ok unpacked\n\n";
  const CauseCase cases[] = {
      {"apt's own free space check",
       Step::Apt,
       "E: You don't have enough free space in /var/cache/apt/archives/.",
       "",
       {Cause::NoSpace, "/", 0, {}, {}, {}, {}}},
      {"the same in German",
       Step::Apt,
       "E: Sie haben nicht genug Platz in /var/cache/apt/archives/.",
       "",
       {Cause::NoSpace, "/", 0, {}, {}, {}, {}}},
      {"a write error's errno",
       Step::Apt,
       "E: Write error - write (28: No space left on device) /var/lib/apt/lists/partial/x",
       "",
       {Cause::NoSpace, "/", 0, {}, {}, {}, {}}},
      {"a download that could not be written",
       Step::Apt,
       "E: Failed to fetch http://deb.debian.org/debian/pool/main/b/bash/"
       "bash_5.2.15-2+b7_amd64.deb  Write error - write (28: No space left on device)",
       "",
       {Cause::NoSpace, "/", 0, {}, {}, {}, {}}},
      // As apt said it in the project's chroot, for a source on a closed port.
      {"the mirror refuses",
       Step::Apt,
       "E: Failed to fetch http://127.0.0.1:9/./sv-slow-01_2.0_all.deb  Could not connect to "
       "127.0.0.1:9 (127.0.0.1). - connect (111: Connection refused)",
       "",
       {Cause::Unreachable, {}, 0, "127.0.0.1:9", {}, {}, {}}},
      {"the mirror",
       Step::Apt,
       "E: Failed to fetch http://deb.debian.org/debian/pool/main/b/bash/"
       "bash_5.2.15-2+b7_amd64.deb  Temporary failure resolving 'deb.debian.org'",
       "",
       {Cause::Unreachable, {}, 0, "deb.debian.org", {}, {}, {}}},
      {"the mirror, in German, https",
       Step::Apt,
       "E: Fehlschlag beim Holen von https://mirror.example:8443/debian/pool/x.deb  "
       "Verbindung fehlgeschlagen",
       "",
       {Cause::Unreachable, {}, 0, "mirror.example:8443", {}, {}, {}}},
      {"the lock, nobody holding it now",
       Step::Apt,
       "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)",
       "",
       {Cause::Locked, {}, 0, {}, {}, {}, {}}},
      {"the lists' lock",
       Step::Apt,
       "E: Konnte Sperre /var/lib/apt/lists/lock nicht bekommen.",
       "",
       {Cause::Locked, {}, 0, {}, {}, {}, {}}},
      {"pacman's lock",
       Step::Pacman,
       "error: failed to init transaction (unable to lock database)",
       "",
       {}},
      {"pacman's lock file",
       Step::Pacman,
       "error: could not lock database: /var/lib/pacman/db.lck",
       "",
       {Cause::Locked, {}, 0, {}, {}, {}, {}}},
      {"a maintainer script",
       Step::Apt,
       "dpkg: error processing package broken (--configure):",
       half_configured,
       {Cause::ScriptFailed, {}, 0, {}, {}, "broken", {}}},
      {"a maintainer script, in German",
       Step::Apt,
       "dpkg: Fehler beim Bearbeiten des Paketes broken (--configure):",
       half_configured,
       {Cause::ScriptFailed, {}, 0, {}, {}, "broken", {}}},
      {"a config file question",
       Step::Apt,
       "dpkg: error processing package asked (--configure):",
       unpacked_with_question,
       {Cause::ConfigQuestion, {}, 0, {}, {}, "asked", "/etc/asked.conf"}},
      {"nothing recognised",
       Step::Apt,
       "E: Unable to correct problems, you have held broken packages.",
       "",
       {}},
      {"flatpak", Step::Flatpak, "error: Unable to connect to system bus", "", {}},
  };
  for (const auto& c : cases) {
    test::write_file(dir / "var/lib/dpkg/status", c.status, 0644);
    FailureCause found = find_failure_cause(c.step, c.line, places);
    if (found.cause == Cause::NoSpace) {
      EXPECT_GT(found.free_bytes, 0U) << c.name;
      found.free_bytes = 0;
    }
    EXPECT_EQ(found, c.cause) << c.name;
  }
}

// The holder of apt's lock is found in /proc/locks and named.

// A process of its own holding a write lock on `file`, as apt holds its
// locks, until it is killed; -1 when none could be started.
pid_t hold_write_lock(const std::filesystem::path& file) {
  const pid_t holder = ::fork();
  if (holder != 0) return holder;
  const int fd = ::open(file.c_str(), O_RDWR);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0) ::_exit(1);
  ::pause();
  ::_exit(0);
}
TEST(FailureCause, TheLocksHolderIsNamed) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  std::filesystem::create_directories(dir / "var/lib/dpkg");
  test::write_file(dir / "var/lib/dpkg/lock-frontend", "", 0640);
  const CheckPlaces places{{}, dir.path(), "/proc", {0}};
  const pid_t holder = hold_write_lock(dir / "var/lib/dpkg/lock-frontend");
  ASSERT_GE(holder, 0);
  FailureCause found;
  for (int i = 0; i < 200 && found.holder.empty(); ++i) {
    found = find_failure_cause(
        Step::Apt, "E: Could not get lock /var/lib/dpkg/lock. It is held by process 1 (x)", places);
    if (found.holder.empty()) ::usleep(10000);
  }
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  EXPECT_EQ(found.cause, Cause::Locked);
  EXPECT_NE(found.holder.find("(process " + std::to_string(holder) + ")"), std::string::npos)
      << found.holder;
}

// A nearly full filesystem dpkg writes to is the cause, named with what is
// free, whatever the error said.
TEST(FailureCause, AFullFilesystemIsNamed) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  std::filesystem::create_directories(dir / "var/cache/apt/archives");
  std::filesystem::create_directories(dir / "var/lib/dpkg");
  test::write_file(dir / "var/lib/dpkg/status", "", 0644);
  ASSERT_EQ(::mount("tmpfs", (dir / "var/cache/apt/archives").c_str(), "tmpfs", 0, "size=1m"), 0);
  const CheckPlaces places{{}, dir.path(), "/proc", {0}};
  const FailureCause found = find_failure_cause(
      Step::Apt,
      "dpkg: error processing archive /var/cache/apt/archives/big_1.0_all.deb (--unpack):", places);
  ::umount((dir / "var/cache/apt/archives").c_str());
  EXPECT_EQ(found.cause, Cause::NoSpace);
  EXPECT_EQ(found.filesystem, "/var/cache/apt/archives");
  EXPECT_GT(found.free_bytes, 0U);
  EXPECT_LE(found.free_bytes, std::uint64_t{1} << 20);
}

// A manager's tools, as the check finds them: each prints what it is given
// for its arguments and exits with the status given.
struct FakeTool {
  std::string name;
  std::string script;  // the body of a sh script; "$*" holds the arguments
};

struct StateFile {
  StateFile(const char* where, std::string text = {}) : path(where), content(std::move(text)) {}
  std::string path;
  std::string content;
};

struct CheckCase {
  std::string name;
  Step step;
  std::vector<FakeTool> tools;
  std::vector<StateFile> state_files;  // made under the root
  size_t updates;
  std::optional<Problem> problem = std::nullopt;
  std::string detail_holds = {};
  std::optional<std::uint64_t> download_bytes = std::nullopt;
  std::vector<std::string> kept_conffiles = {};
};

TEST(PendingCheck, EachManagerIsAskedAndWhatWouldFailIsNamed) {
  REQUIRE_ROOT();  // the tools must pass the trust test: under /run, root's
  const std::string apt_get = R"(case "$1" in
  -s) printf 'Inst libssl3 [3.0.11-1] (3.0.13-1 Debian-Security:12/bookworm-security [amd64])\nInst zip [3.0-13] (3.0-14 Debian:12.5/stable [amd64])\n' ;;
  -qq) printf "'http://h/libssl3.deb' libssl3.deb 2000000 MD5Sum:x\n'http://h/zip.deb' zip.deb 500 MD5Sum:y\n" ;;
esac)";
  const FakeTool one_repo{"pacman-conf", "echo core"};
  const FakeTool md5sum{"md5sum", "exec /usr/bin/md5sum \"$@\""};
  // libssl3 and zip are upgraded, vim is not; the md5s are those of
  // "original\n" and "same\n".
  const std::string conffiles =
      "Package: libssl3\nStatus: install ok installed\nConffiles:\n"
      " /etc/ssl/openssl.cnf 88fa9f694690e11239096536ccf2702b\n"
      " /etc/ssl/gone 88fa9f694690e11239096536ccf2702b obsolete\n"
      " /etc/ssl/missing 88fa9f694690e11239096536ccf2702b\n"
      " /etc/ssl 88fa9f694690e11239096536ccf2702b\n\n"
      "Package: zip\nStatus: install ok installed\nConffiles:\n"
      " /etc/zip.conf 847676261680bff61c72961c8198abc0\n\n"
      "Package: vim\nStatus: install ok installed\nConffiles:\n"
      " /etc/vimrc 88fa9f694690e11239096536ccf2702b\n";
  const std::vector<CheckCase> cases = {
      {"apt with two updates", Step::Apt, {{"apt-get", apt_get}}, {}, 2, std::nullopt, {}, 2000500},
      {"apt after a failed dpkg",
       Step::Apt,
       {{"apt-get", apt_get}},
       {{"var/lib/dpkg/status", "Package: zip\nStatus: install ok half-configured\n"}},
       0,
       Problem::DpkgInterrupted,
       "zip"},
      {"apt after a dpkg that was killed",
       Step::Apt,
       {{"apt-get", apt_get}},
       {{"var/lib/dpkg/status", "Package: zip\nStatus: install ok installed\n"},
        {"var/lib/dpkg/updates/0000", "Package: zip\nStatus: install reinstreq half-installed\n"},
        {"var/lib/dpkg/updates/tmp.i", "Package: vim\nStatus: install ok unpacked\n"}},
       0,
       Problem::DpkgInterrupted,
       "zip"},
      {"apt after many failed packages",
       Step::Apt,
       {{"apt-get", apt_get}},
       {{"var/lib/dpkg/status",
         "Package: a\nStatus: install ok unpacked\n\nPackage: b\nStatus: install ok unpacked\n\n"
         "Package: c\nStatus: install ok unpacked\n\nPackage: d\nStatus: install ok unpacked\n\n"
         "Package: e\nStatus: install ok unpacked\n\nPackage: f\nStatus: install ok unpacked\n"}},
       0,
       Problem::DpkgInterrupted,
       "a, b, c, d, e, …"},
      {"apt with a finished dpkg",
       Step::Apt,
       {{"apt-get", apt_get}},
       {{"var/lib/dpkg/status", "Package: zip\nStatus: install ok installed\n"},
        {"var/lib/dpkg/updates/tmp.i", "Package: zip\nStatus: install ok unpacked\n"}},
       2},
      // Changed: said. Unchanged, obsolete, missing, not a file (md5sum
      // cannot read it) or of a package not upgraded: not.
      {"apt with config files the user changed",
       Step::Apt,
       {{"apt-get", apt_get}, md5sum},
       {{"var/lib/dpkg/status", conffiles},
        {"etc/ssl/openssl.cnf", "changed\n"},
        {"etc/ssl/gone", "changed\n"},
        {"etc/zip.conf", "same\n"},
        {"etc/vimrc", "changed\n"}},
       2,
       std::nullopt,
       {},
       2000500,
       {"/etc/ssl/openssl.cnf"}},
      {"apt with config files as they came",
       Step::Apt,
       {{"apt-get", apt_get}, md5sum},
       {{"var/lib/dpkg/status", conffiles},
        {"etc/ssl/openssl.cnf", "original\n"},
        {"etc/zip.conf", "same\n"}},
       2},
      {"apt failing",
       Step::Apt,
       {{"apt-get", "echo 'E: broken lists' >&2; exit 100"}},
       {},
       0,
       Problem::CouldNotCheck,
       "status 100: E: broken lists"},
      {"apt not where the update finds it",
       Step::Apt,
       {},
       {},
       0,
       Problem::CouldNotCheck,
       "apt-get was not found"},
      {"apt hanging",
       Step::Apt,
       {{"apt-get", "exec /bin/sleep 30"}},
       {},
       0,
       Problem::CouldNotCheck,
       "did not answer"},
      {"pacman with no repository",
       Step::Pacman,
       {{"pacman-conf", "exit 0"}},
       {},
       0,
       Problem::NoRepository},
      {"pacman with updates",
       Step::Pacman,
       {one_repo, {"pacman", "echo 'linux 6.1-1 -> 6.2-1'; echo 'vim 9.0-1 -> 9.1-1 [ignored]'"}},
       {},
       1},
      {"pacman with none (status 1, as pacman says it)",
       Step::Pacman,
       {one_repo, {"pacman", "exit 1"}},
       {},
       0},
      {"checkupdates when there",
       Step::Pacman,
       {one_repo,
        {"pacman", "exit 99"},
        {"checkupdates", "echo 'a 1-1 -> 2-1'; echo 'b 1-1 -> 2-1'"}},
       {},
       2},
      {"pacman in use",
       Step::Pacman,
       {one_repo, {"pacman", "exit 0"}},
       {"var/lib/pacman/db.lck"},
       0,
       Problem::LockHeld,
       "pacman"},
      {"dnf with no repository", Step::Dnf, {{"dnf", "exit 0"}}, {}, 0, Problem::NoRepository},
      {"dnf with an update",
       Step::Dnf,
       {{"dnf", R"(case "$2" in
  repolist) echo 'repo id   repo name'; echo 'fedora    Fedora 40' ;;
  check-update) echo; echo 'bash.x86_64   5.2.26-3.fc40   updates'; exit 100 ;;
  updateinfo) echo 'FEDORA-2024-1 Important/Sec. bash-5.2.26-3.fc40.x86_64' ;;
esac)"},
        {"rpm", "echo 'bash 5.2.15-1.fc40'"}},
       {},
       1},
      {"dnf failing",
       Step::Dnf,
       {{"dnf", R"([ "$2" = repolist ] && { echo 'repo id  name'; echo 'fedora  F'; exit 0; }
echo 'Error: Failed to download metadata' >&2; exit 1)"}},
       {},
       0,
       Problem::CouldNotCheck,
       "Failed to download metadata"},
      {"snap without snapd", Step::Snap, {{"snap", "exit 0"}}, {}, 0, Problem::SnapdNotRunning},
      {"snap with snapd",
       Step::Snap,
       {{"snap",
         "printf 'Name  Version  Rev  Size  Publisher  Notes\\nfirefox  121.0  3600  80MB  mozilla "
         " -\\n'"}},
       {"run/snapd.socket"},
       1},
      {"flatpak, both installations",
       Step::Flatpak,
       {{"flatpak",
         R"([ "$2" = --system ] && printf 'app/org.example.A/x86_64/stable\t1.2\tabc\t4.0 kB\n'
[ "$2" = --user ] && printf 'app/org.example.B/x86_64/stable\t\tdef\t142 bytes\n'
exit 0)"}},
       {},
       2,
       std::nullopt,
       {},
       4142},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir dir("/run");
    test::make_dir(dir / "bin");
    test::make_dir(dir / "root");
    for (const FakeTool& tool : c.tools) {
      test::write_file(dir / ("bin/" + tool.name), "#!/bin/sh\n" + tool.script + "\n", 0755);
    }
    for (const StateFile& file : c.state_files) {
      const std::string path = dir / ("root/" + file.path);
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      test::write_file(path, file.content);
    }
    CheckSetup setup;
    setup.places = {{dir / "bin"}, dir / "root", "/proc", {0}};
    setup.local_limit = std::chrono::milliseconds(c.name == "apt hanging" ? 300 : 10000);
    const ManagerCheck check = check_manager(c.step, setup);
    EXPECT_EQ(check.step, c.step);
    EXPECT_EQ(check.updates.size(), c.updates);
    ASSERT_EQ(check.problem.has_value(), c.problem.has_value())
        << (check.problem ? check.problem->detail : "");
    if (c.problem) {
      EXPECT_EQ(check.problem->why, *c.problem);
      EXPECT_NE(check.problem->detail.find(c.detail_holds), std::string::npos)
          << "[" << check.problem->detail << "]";
    }
    if (c.download_bytes) {
      EXPECT_EQ(check.download_bytes, c.download_bytes);
    }
    EXPECT_EQ(check.kept_conffiles, c.kept_conffiles);
    // A killed run leaves a package half-installed: only apt can fetch it again.
    const bool left = c.problem == Problem::DpkgInterrupted;
    EXPECT_EQ(check.repair.has_value(), left);
    if (left) {
      EXPECT_EQ(*check.repair, c.name.find("killed") != std::string::npos
                                   ? DpkgRepair::ConfigureThenFix
                                   : DpkgRepair::Configure);
    }
  }
}

// The terminal "Repair…" opens, and what it is given: fixed text only.
TEST(DpkgRepairTerminal, FoundLikeTheScriptsPrograms) {
  REQUIRE_ROOT();  // the terminals must pass the trust test: under /run, root's
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, mode_t>> present;
    std::optional<Terminal> want;  // its name under the directory
  };
  const std::vector<Case> cases = {
      {"none", {}, std::nullopt},
      {"Debian's alternative",
       {{"x-terminal-emulator", 0755}},
       Terminal{"x-terminal-emulator", true}},
      {"the desktop's own first",
       {{"x-terminal-emulator", 0755}, {"xdg-terminal-exec", 0755}},
       Terminal{"xdg-terminal-exec", false}},
      {"one others may change is passed over",
       {{"x-terminal-emulator", 0755}, {"xdg-terminal-exec", 0775}},
       Terminal{"x-terminal-emulator", true}},
      {"one that cannot run is no terminal", {{"x-terminal-emulator", 0644}}, std::nullopt},
  };
  for (const Case& c : cases) {
    const TempDir dir("/run");
    for (const auto& [name, mode] : c.present) {
      test::write_file(dir / name, "#!/bin/sh\n", mode);
      ASSERT_EQ(::chmod((dir / name).c_str(), mode), 0);
    }
    const CheckPlaces places{{dir.path()}, "/", "/proc", {0}};
    const auto found = find_terminal(places);
    ASSERT_EQ(found.has_value(), c.want.has_value()) << c.name;
    if (!found) continue;
    EXPECT_EQ(found->path, dir / c.want->path) << c.name;
    EXPECT_EQ(found->takes_dash_e, c.want->takes_dash_e) << c.name;
  }
}

TEST(DpkgRepairTerminal, TheCommandIsFixedText) {
  const std::string path = std::string(DETECTOR_PATH_ENV);
  const std::string configure = "PATH=" + path +
                                "\nexport PATH\n"
                                "printf '%s\\n' '$ sudo dpkg --configure -a'\n"
                                "sudo dpkg --configure -a\n"
                                "echo\nread -r -p \"$1\" _\n";
  const std::string both = "PATH=" + path +
                           "\nexport PATH\n"
                           "printf '%s\\n' '$ sudo dpkg --configure -a'\n"
                           "sudo dpkg --configure -a\n"
                           "printf '%s\\n' '$ sudo apt-get -f install'\n"
                           "sudo apt-get -f install\n"
                           "echo\nread -r -p \"$1\" _\n";
  EXPECT_EQ(repair_script(DpkgRepair::Configure), configure);
  EXPECT_EQ(repair_script(DpkgRepair::ConfigureThenFix), both);
  EXPECT_EQ(repair_commands(DpkgRepair::Configure), "sudo dpkg --configure -a");
  EXPECT_EQ(repair_commands(DpkgRepair::ConfigureThenFix),
            "sudo dpkg --configure -a; sudo apt-get -f install");
  // The prompt, translated, is an argument of the script: "$(…)" in it is
  // printed, never run.
  const std::string prompt = "Enter $(touch /tmp/x) `id`";
  EXPECT_EQ(terminal_command({"/usr/bin/xdg-terminal-exec", false}, "/usr/bin/bash",
                             DpkgRepair::Configure, prompt),
            (std::vector<std::string>{"/usr/bin/xdg-terminal-exec", "/usr/bin/bash", "-c",
                                      configure, "sorvane-repair", prompt}));
  EXPECT_EQ(terminal_command({"/usr/bin/x-terminal-emulator", true}, "/usr/bin/bash",
                             DpkgRepair::ConfigureThenFix, prompt),
            (std::vector<std::string>{"/usr/bin/x-terminal-emulator", "-e", "/usr/bin/bash", "-c",
                                      both, "sorvane-repair", prompt}));
  // The session reaches the terminal; what would change what its shell runs
  // does not, and PATH is the script's own.
  std::array<std::string, 7> session = {"DISPLAY=:0",         "PATH=/home/u/bin:/usr/bin",
                                        "BASH_ENV=/home/u/x", "LD_PRELOAD=/home/u/y.so",
                                        "WAYLAND_DISPLAY=w0", "HOME=/home/u",
                                        "DISPLAYX=no"};
  std::vector<char*> environ_like;
  for (std::string& variable : session) environ_like.push_back(variable.data());
  environ_like.push_back(nullptr);
  EXPECT_EQ(terminal_environment(environ_like.data()),
            (std::vector<std::string>{"HOME=/home/u", "DISPLAY=:0", "WAYLAND_DISPLAY=w0",
                                      "PATH=" + path}));
}

TEST(PendingCheck, WhatIsSeenOfEachUpdate) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  test::make_dir(dir / "bin");
  test::write_file(dir / "bin/pacman-conf", "#!/bin/sh\necho core\n", 0755);
  test::write_file(dir / "bin/pacman", "#!/bin/sh\necho 'linux 6.1-1 -> 6.2-1'\n", 0755);
  test::write_file(dir / "bin/dnf", R"(#!/bin/sh
case "$2" in
  repolist) echo 'repo id   repo name'; echo 'fedora    Fedora 40' ;;
  check-update) echo; echo 'bash.x86_64   5.2.26-3.fc40   updates'; echo 'zsh.x86_64 5.9-1 updates'; exit 100 ;;
  updateinfo) echo 'FEDORA-2024-1 Important/Sec. bash-5.2.26-3.fc40.x86_64' ;;
esac
)",
                   0755);
  test::write_file(dir / "bin/rpm", "#!/bin/sh\necho 'bash 5.2.15-1.fc40'\n", 0755);
  CheckSetup setup;
  setup.places = {{dir / "bin"}, dir / "root", "/proc", {0}};
  const auto checks = check_all({Step::Pacman, Step::Dnf}, setup);
  ASSERT_EQ(checks.size(), 2U);
  EXPECT_EQ(checks[0].updates, (std::vector<PendingUpdate>{{"linux", "6.1-1", "6.2-1", false}}));
  // dnf's installed versions come from rpm; its security notices mark them.
  EXPECT_EQ(checks[1].updates,
            (std::vector<PendingUpdate>{{"bash", "5.2.15-1.fc40", "5.2.26-3.fc40", true},
                                        {"zsh", "", "5.9-1", false}}));
}

TEST(PendingCheck, ALockHeldByAnotherProgramIsNamed) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  test::make_dir(dir / "root");
  std::filesystem::create_directories(dir / "root/var/lib/dpkg");
  test::write_file(dir / "root/var/lib/dpkg/lock-frontend", "", 0640);
  const CheckPlaces places{{}, dir / "root", "/proc", {0}};
  EXPECT_EQ(lock_held(places, dir / "root/var/lib/dpkg/lock-frontend"), std::nullopt);
  // Held as apt holds it: a write lock of a process of its own.
  const pid_t holder = hold_write_lock(dir / "root/var/lib/dpkg/lock-frontend");
  ASSERT_GE(holder, 0);
  std::optional<std::string> held;
  for (int i = 0; i < 200 && !held; ++i) {
    held = lock_held(places, dir / "root/var/lib/dpkg/lock-frontend");
    if (!held) ::usleep(10000);
  }
  CheckSetup setup;
  setup.places = places;
  const ManagerCheck check = check_manager(Step::Apt, setup);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ASSERT_TRUE(held.has_value());
  EXPECT_NE(held->find("(process " + std::to_string(holder) + ")"), std::string::npos) << *held;
  ASSERT_TRUE(check.problem.has_value());
  EXPECT_EQ(check.problem->why, Problem::LockHeld);
  EXPECT_TRUE(stops_update(check.problem->why));
}

TEST(PendingCheck, TheUpdateStopsAtTheFirstManagerThatWouldFail) {
  const auto with = [](Step step, std::optional<Problem> problem) {
    ManagerCheck check;
    check.step = step;
    if (problem) check.problem = CheckProblem{*problem, {}};
    return check;
  };
  EXPECT_EQ(stopping_step({with(Step::Apt, std::nullopt), with(Step::Flatpak, std::nullopt)}),
            std::nullopt);
  // A query that failed says nothing of the update itself.
  EXPECT_EQ(stopping_step({with(Step::Apt, Problem::CouldNotCheck)}), std::nullopt);
  EXPECT_EQ(stopping_step({with(Step::Flatpak, Problem::LockHeld),
                           with(Step::Pacman, Problem::NoRepository)}),
            Step::Pacman);
}

}  // namespace
}  // namespace sorvane::gui

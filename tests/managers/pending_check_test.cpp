// What each manager is asked before the password, and what would stop the update.
#include "pending_check.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>

#include "lock_holder.hpp"
#include "manager_facts.hpp"
#include "managers.hpp"
#include "path.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using namespace std::chrono_literals;

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

// A system to check: the stand-in tools on its PATH (bin/) and its
// managers' state under its root (root/), written `age` ago.
void lay_out_system(const TempDir& dir, const std::vector<FakeTool>& tools,
                    const std::vector<StateFile>& files,
                    std::chrono::hours age = std::chrono::hours(0)) {
  test::make_dir(dir / "bin");
  test::make_dir(dir / "root");
  for (const FakeTool& tool : tools) {
    test::write_file(dir / ("bin/" + tool.name), "#!/bin/sh\n" + tool.script + "\n", 0755);
  }
  for (const StateFile& file : files) {
    const std::string path = dir / ("root/" + file.path);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::write_file(path, file.content);
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - age);
  }
}

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
  HeldBacks kept_back = {};
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
       1,
       std::nullopt,
       {},
       std::nullopt,
       {},
       {{"vim", HeldReason::HeldByUser, {}, {}}}},
      {"pacman ignoring a package and a group through an Include",
       Step::Pacman,
       {one_repo, {"pacman", R"([ "$1" = -Sg ] && { echo "gnome gedit"; exit 0; }
printf 'linux 6.1-1 -> 6.2-1\ngedit 1-1 -> 2-1\nzip 1-1 -> 2-1\n')"}},
       {{"etc/pacman.conf", "[options]\nInclude = /etc/pacman.d/hold\n"},
        {"etc/pacman.d/hold", "IgnorePkg = linux*\nIgnoreGroup = gnome\n"}},
       1,
       std::nullopt,
       {},
       std::nullopt,
       {},
       {{"linux", HeldReason::HeldByUser, {}, {}}, {"gedit", HeldReason::HeldByUser, {}, {}}}},
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
      {"dnf excluding a package in dnf.conf",
       Step::Dnf,
       {{"dnf", R"(case "$2" in
  repolist) echo 'repo id   repo name'; echo 'fedora    Fedora 40' ;;
  check-update) echo; echo 'bash.x86_64   5.2.26-3.fc40   updates'
    [ "$3" = --disableexcludes=main ] && echo 'kernel-core.x86_64   6.9.1-1.fc40   updates'
    exit 100 ;;
esac)"},
        {"rpm", "echo 'bash 5.2.15-1.fc40'"}},
       {{"etc/dnf/dnf.conf", "[main]\nexcludepkgs=kernel*\n"}},
       1,
       std::nullopt,
       {},
       std::nullopt,
       {},
       {{"kernel-core", HeldReason::HeldByUser, {}, {}}}},
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
         R"([ "$2" = --system ] && printf 'app/org.example.A/x86_64/stable\tAn app\t1.2\tabc\t4.0 kB\n'
[ "$2" = --user ] && printf 'app/org.example.B/x86_64/stable\t\t\tdef\t142 bytes\n'
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
    lay_out_system(dir, c.tools, c.state_files);
    CheckSetup setup;
    setup.places = {{dir / "bin"}, dir / "root", "/proc", {0}};
    setup.cache_home.clear();  // the system's lists: apt_refresh_test.cpp asks with its own
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
    EXPECT_EQ(check.kept_back, c.kept_back);
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

// How fresh each manager's answer is, said by its own check: fetched for
// this check (checked just now), or from what this computer already had,
// with why. Not allowed the network (a metered connection), no query may
// reach it: each fake tool fails when asked in a way that would.
struct FreshCase {
  std::string name;
  Step step;
  std::vector<FakeTool> tools;
  std::vector<StateFile> state_files = {};
  bool network_allowed = true;
  size_t updates = 0;
  size_t security = 0;
  size_t held = 0;
  bool fetched = false;
  std::optional<std::int64_t> at_least_old = std::nullopt;  // unknown when not set
  std::string not_fetched = {};                             // part of the reason; empty: none
  std::optional<Problem> problem = std::nullopt;
};

TEST(PendingCheck, EachRowSaysHowFreshItIs) {
  REQUIRE_ROOT();
  const FakeTool one_repo{"pacman-conf", "echo core"};
  const FakeTool pacman{"pacman", "echo 'linux 6.1-1 -> 6.2-1'"};
  const FakeTool checkupdates{"checkupdates",
                              "echo 'linux 6.1-1 -> 6.2-1'; echo 'zsh 5.9-1 -> 5.9-2'"};
  // dnf fails when a query that reads metadata could reach the network
  // (no -C) where it may not, or would trust an expired cache (no
  // --refresh) where it may.
  const auto dnf = [](bool network) {
    const std::string must =
        network
            ? R"(case "$*" in *check-update*--refresh*|*disableexcludes*|*repolist*|*updateinfo*) ;; *check-update*) exit 1 ;; esac
case "$*" in *-C*) exit 1 ;; esac)"
            : R"(case "$*" in *-C*) ;; *) echo 'Error: would reach the network' >&2; exit 1 ;; esac)";
    return FakeTool{"dnf", must + R"(
case "$2" in
  repolist) echo 'repo id   repo name'; echo 'fedora    Fedora 40' ;;
  check-update) echo; echo 'bash.x86_64   5.2.26-3.fc40   updates'
    [ "$3" = --disableexcludes=main ] && echo 'kernel-core.x86_64   6.9.1-1.fc40   updates'
    exit 100 ;;
  updateinfo) echo 'FEDORA-2024-1 Important/Sec. bash-5.2.26-3.fc40.x86_64' ;;
esac)"};
  };
  const StateFile excludes{"etc/dnf/dnf.conf", "[main]\nexcludepkgs=kernel*\n"};
  const FakeTool rpm{"rpm", "echo 'bash 5.2.15-1.fc40'"};
  const auto flatpak = [](const std::string& cached) {
    return FakeTool{"flatpak", cached + R"(
[ "$2" = --system ] && printf 'app/org.example.A/x86_64/stable		1.2	abc	4.0 kB
'
exit 0)"};
  };
  const std::string live_only = R"(case "$*" in *--cached*) exit 1 ;; esac)";
  const std::string cached_only = R"(case "$*" in *--cached*) ;; *) exit 1 ;; esac)";
  const std::string no_cache =
      R"(echo "error: No cached summary for remote 'flathub'" >&2; exit 1)";
  const FakeTool snap{"snap",
                      "printf 'Name  Version  Rev  Size  Publisher  Notes\\nfirefox  121.0  3600  "
                      "80MB  mozilla  -\\n'"};
  const std::vector<FreshCase> cases = {
      {.name = "checkupdates syncs a copy of its own",
       .step = Step::Pacman,
       .tools = {one_repo, {"pacman", "exit 99"}, checkupdates},
       .updates = 2,
       .fetched = true,
       .at_least_old = 0},
      {.name = "pacman without checkupdates: its databases' age, and why",
       .step = Step::Pacman,
       .tools = {one_repo, pacman},
       .state_files = {{"var/lib/pacman/sync/core.db", "old"}},
       .updates = 1,
       .at_least_old = 3 * 3600,
       .not_fetched = "pacman-contrib"},
      {.name = "pacman on a metered connection: checkupdates is not run",
       .step = Step::Pacman,
       .tools = {one_repo, pacman, {"checkupdates", "exit 99"}},
       .state_files = {{"var/lib/pacman/sync/core.db", "old"}},
       .network_allowed = false,
       .updates = 1,
       .at_least_old = 3 * 3600,
       .not_fetched = "not on this connection"},
      {.name = "dnf refreshes its metadata",
       .step = Step::Dnf,
       .tools = {dnf(true), rpm},
       .state_files = {excludes},
       .updates = 1,
       .security = 1,
       .held = 1,
       .fetched = true,
       .at_least_old = 0},
      {.name = "dnf on a metered connection reads its cache alone",
       .step = Step::Dnf,
       .tools = {dnf(false), rpm},
       .state_files = {excludes},
       .network_allowed = false,
       .updates = 1,
       .security = 1,
       .held = 1,
       .not_fetched = "not on this connection"},
      {.name = "flatpak asks its remotes",
       .step = Step::Flatpak,
       .tools = {flatpak(live_only)},
       .updates = 1,
       .fetched = true,
       .at_least_old = 0},
      {.name = "flatpak on a metered connection reads its cached summaries",
       .step = Step::Flatpak,
       .tools = {flatpak(cached_only)},
       .network_allowed = false,
       .updates = 1,
       .not_fetched = "not on this connection"},
      {.name = "flatpak on a metered connection without cached summaries",
       .step = Step::Flatpak,
       .tools = {flatpak(no_cache)},
       .network_allowed = false,
       .problem = Problem::Metered},
      {.name = "snap asks the store",
       .step = Step::Snap,
       .tools = {snap},
       .state_files = {{"run/snapd.socket"}},
       .updates = 1,
       .fetched = true,
       .at_least_old = 0},
      {.name = "snap on a metered connection is not asked",
       .step = Step::Snap,
       .tools = {{"snap", "exit 99"}},
       .state_files = {{"run/snapd.socket"}},
       .network_allowed = false,
       .problem = Problem::Metered},
      {.name = "apt on a metered connection: the system's lists",
       .step = Step::Apt,
       .tools = {{"apt-get", "exit 0"}},
       .network_allowed = false,
       .not_fetched = "not on this connection"},
  };
  for (const FreshCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir dir("/run");
    // The state files written by the last sync, four hours ago.
    lay_out_system(dir, c.tools, c.state_files, std::chrono::hours(4));
    test::make_dir(dir / "cache");
    CheckSetup setup;
    setup.places = {{dir / "bin"}, dir / "root", "/proc", {0}};
    setup.cache_home = dir / "cache";
    setup.network_allowed = c.network_allowed;
    const ManagerCheck check = check_manager(c.step, setup);
    ASSERT_EQ(check.problem.has_value(), c.problem.has_value())
        << (check.problem ? check.problem->detail : "");
    if (c.problem) {
      EXPECT_EQ(check.problem->why, *c.problem);
      EXPECT_FALSE(stops_update(check.problem->why));
    }
    EXPECT_EQ(check.updates.size(), c.updates);
    EXPECT_EQ(static_cast<size_t>(std::count_if(check.updates.begin(), check.updates.end(),
                                                [](const PendingUpdate& u) { return u.security; })),
              c.security);
    EXPECT_EQ(check.kept_back.size(), c.held);
    EXPECT_EQ(check.fetched_for_check, c.fetched);
    ASSERT_EQ(check.data_age_seconds.has_value(), c.at_least_old.has_value());
    if (c.at_least_old) {
      EXPECT_GE(*check.data_age_seconds, *c.at_least_old);
      EXPECT_LT(*check.data_age_seconds, *c.at_least_old + 7200);
    }
    if (c.not_fetched.empty()) {
      EXPECT_EQ(check.not_fetched, "");
    } else {
      EXPECT_NE(check.not_fetched.find(c.not_fetched), std::string::npos) << check.not_fetched;
    }
  }
}

// The terminal "Repair…" opens, and what it is given: fixed text only.
TEST(PendingCheck, WhatIsSeenOfEachUpdate) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  test::make_dir(dir / "bin");
  test::write_file(dir / "bin/pacman-conf", "#!/bin/sh\necho core\n", 0755);
  test::write_file(dir / "bin/pacman",
                   "#!/bin/sh\n[ \"$1\" = -Qi ] && printf 'Name : linux\\nDescription : The Linux "
                   "kernel\\n' && exit 0\necho 'linux 6.1-1 -> 6.2-1'\n",
                   0755);
  test::write_file(dir / "bin/dnf", R"(#!/bin/sh
case "$2" in
  repolist) echo 'repo id   repo name'; echo 'fedora    Fedora 40' ;;
  check-update) echo; echo 'bash.x86_64   5.2.26-3.fc40   updates'; echo 'zsh.x86_64 5.9-1 updates'; exit 100 ;;
  updateinfo)
    [ "$3" != info ] && { echo 'FEDORA-2024-1 Important/Sec. bash-5.2.26-3.fc40.x86_64'; exit 0; }
    [ "$5" = bash ] && printf 'Update ID: FEDORA-2024-1\n  Description: fixes \033[2JCVE-2024-1234\n' ;;
  advisory) exit 2 ;;
esac
)",
                   0755);
  test::write_file(dir / "bin/rpm",
                   "#!/bin/sh\nprintf 'bash 5.2.15-1.fc40 The GNU Bourne Again \\033[2Jshell\\n'\n",
                   0755);
  // The real flatpak's answers for the local test remote in the system
  // installation (the PATH holds nothing but the stand-ins, so the shell
  // prints them itself), and an app in the user's.
  test::write_file(
      dir / "bin/flatpak",
      "#!/bin/sh\ncase \"$1 $2\" in\n"
      "  'remote-ls --system') f=flatpak-remote-ls-updates-local-repo.txt ;;\n"
      "  'list --system') f=flatpak-list-local-repo.txt ;;\n"
      "  'remote-ls --user') printf 'app/u.App/x86_64/stable\\tU\\t3.1\\tc\\t1 kB\\n'; exit 0 ;;\n"
      "  'list --user') printf 'u.App\\tstable\\t3.0\\tx86_64\\tflathub\\n'; exit 0 ;;\n"
      "  *) exit 0 ;;\nesac\n"
      "while IFS= read -r line; do printf '%s\\n' \"$line\"; done < " +
          test::source_dir() + "/tests/data/pending/$f\n",
      0755);
  CheckSetup setup;
  setup.places = {{dir / "bin"}, dir / "root", "/proc", {0}};
  setup.data_home = dir / "home/.local/share";
  const auto checks = check_all({Step::Pacman, Step::Dnf, Step::Flatpak}, setup);
  ASSERT_EQ(checks.size(), 3U);
  EXPECT_EQ(checks[0].updates, (std::vector<PendingUpdate>{{"linux", "6.1-1", "6.2-1", false}}));
  EXPECT_EQ(checks[0].about.at("linux").description, "The Linux kernel");
  // dnf's installed versions come from rpm; its security notices mark them.
  EXPECT_EQ(checks[1].updates,
            (std::vector<PendingUpdate>{{"bash", "5.2.15-1.fc40", "5.2.26-3.fc40", true},
                                        {"zsh", "", "5.9-1", false}}));
  // Its advisories are named, and what one says is had on request, made
  // plain; an update without one has nothing to tell.
  EXPECT_EQ(checks[1].about.at("bash").advisories, std::vector<std::string>{"FEDORA-2024-1"});
  EXPECT_TRUE(checks[1].about.at("bash").changelog_available);
  EXPECT_FALSE(checks[1].about.contains("zsh"));
  // Its one line, the installed package's summary, made plain.
  EXPECT_EQ(checks[1].about.at("bash").description, "The GNU Bourne Again shell");
  const WhatIsNew bash = facts(Step::Dnf).what_is_new(setup, checks[1].updates[0]);
  EXPECT_EQ(bash.text, "Update ID: FEDORA-2024-1\n  Description: fixes CVE-2024-1234");
  EXPECT_EQ(bash.advisories, std::vector<std::string>{"CVE-2024-1234"});
  EXPECT_EQ(bash.why_not, "");
  const WhatIsNew zsh = facts(Step::Dnf).what_is_new(setup, checks[1].updates[1]);
  EXPECT_EQ(zsh.text, "");
  EXPECT_NE(zsh.why_not, "");
  // A flatpak app with a version has release notes, in its remote's
  // catalogue for its architecture, newer than what is installed; a
  // runtime known by its commit alone has none.
  ASSERT_EQ(checks[2].updates.size(), 3U) << (checks[2].problem ? checks[2].problem->detail : "");
  EXPECT_TRUE(checks[2].about.at("org.sorvane.ProbeApp//stable").changelog_available);
  EXPECT_FALSE(checks[2].about.contains("org.sorvane.Probe.Platform//stable"));
  const WhatIsNew app = facts(Step::Flatpak).what_is_new(setup, checks[2].updates[0]);
  EXPECT_EQ(app.why_not, "");
  EXPECT_EQ(
      app.appstream,
      (AppStreamNotes{dir / "root/var/lib/flatpak/appstream/probe/x86_64/active/appstream.xml",
                      "org.sorvane.ProbeApp/x86_64/stable", "org.sorvane.ProbeApp", "1.0"}));
  // One of the user's: in the user's data directory; without one, it is
  // not found.
  const WhatIsNew user_app = facts(Step::Flatpak).what_is_new(setup, checks[2].updates[2]);
  EXPECT_EQ(user_app.appstream,
            (AppStreamNotes{
                dir / "home/.local/share/flatpak/appstream/flathub/x86_64/active/appstream.xml",
                "u.App/x86_64/stable", "u.App", "3.0"}));
  CheckSetup homeless = setup;
  homeless.data_home.clear();
  EXPECT_FALSE(facts(Step::Flatpak).what_is_new(homeless, checks[2].updates[2]).appstream);
  const WhatIsNew gone =
      facts(Step::Flatpak).what_is_new(setup, {"org.gone.App//stable", "", "2", false});
  EXPECT_FALSE(gone.appstream.has_value());
  EXPECT_NE(gone.why_not.find("org.gone.App//stable"), std::string::npos) << gone.why_not;
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
  const pid_t holder = test::hold_write_lock(dir / "root/var/lib/dpkg/lock-frontend");
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

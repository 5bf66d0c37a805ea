// Why a step failed, from signals that are the same in every language.
#include "failure_cause.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "lock_holder.hpp"
#include "path.hpp"
#include "pending_check.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using namespace std::chrono_literals;

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
TEST(FailureCause, TheLocksHolderIsNamed) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  std::filesystem::create_directories(dir / "var/lib/dpkg");
  test::write_file(dir / "var/lib/dpkg/lock-frontend", "", 0640);
  const CheckPlaces places{{}, dir.path(), "/proc", {0}};
  const pid_t holder = test::hold_write_lock(dir / "var/lib/dpkg/lock-frontend");
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

}  // namespace
}  // namespace sorvane::gui

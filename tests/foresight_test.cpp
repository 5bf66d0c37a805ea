// What the check foresees before the password, under real conditions: a
// lock held on an overlay, another user's flood of locks, a small file
// system where apt keeps its downloads. Each case that mounts runs in a
// child of its own mount namespace, so nothing outside it changes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "foreseen.hpp"
#include "pending_check.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

// Runs `body` in a forked child with a mount namespace of its own (its
// mounts go with it); what it returns comes back as text.
std::string in_private_mounts(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    std::string out = "no private mount namespace";
    if (::unshare(CLONE_NEWNS) == 0 &&
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0) {
      out = body();
    }
    for (size_t at = 0; at < out.size();) {
      const ssize_t n = ::write(fds[1], out.data() + at, out.size() - at);
      if (n <= 0) break;
      at += static_cast<size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  std::array<char, 4096> chunk{};
  for (ssize_t n; (n = ::read(fds[0], chunk.data(), chunk.size())) > 0;) {
    out.append(chunk.data(), static_cast<size_t>(n));
  }
  ::close(fds[0]);
  ::waitpid(child, nullptr, 0);
  return out;
}

bool mounted(const std::string& type, const std::string& where, const std::string& options) {
  std::filesystem::create_directories(where);
  return ::mount(type.c_str(), where.c_str(), type.c_str(), 0, options.c_str()) == 0;
}

// Starts `argv` in a process group of its own, killed with this process.
pid_t start_holder(const std::vector<std::string>& argv) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  return pid;
}

void stop_holder(pid_t pid) {
  ::kill(-pid, SIGKILL);
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

// Asks until an answer comes (the holder takes its lock when it runs).
std::optional<std::string> held_soon(const CheckPlaces& places, const std::string& path) {
  std::optional<std::string> held;
  for (int i = 0; i < 500 && !held; ++i) {
    held = lock_held(places, path);
    if (!held) ::usleep(10000);
  }
  return held;
}

// A live session's or a container's root: overlayfs, its layers on two
// file systems. stat gives the lower layer's device there, /proc/locks
// the overlay's own: the lock is found all the same, as apt takes it
// (fcntl on a file opened for writing, which copies it up) and as flock(1)
// does (a read-only open, the file left in the lower layer); its program
// is named whole, past the kernel's 15 bytes.
TEST(Foresight, ALockOnAnOverlayIsFoundAndItsProgramNamedWhole) {
  REQUIRE_ROOT();
  if (!test::exists("/usr/bin/flock")) GTEST_SKIP() << "flock(1) is not installed";
  const TempDir dir("/run");
  const std::string lock = dir / "root/var/lib/dpkg/lock-frontend";
  const std::string holder = dir / "bin/sorvane-lock-holder-for-tests";
  test::make_dir(dir / "bin");
  std::filesystem::copy_file("/usr/bin/flock", holder);
  test::set_mode(holder, 0755);
  const std::string out = in_private_mounts([&]() -> std::string {
    if (!mounted("tmpfs", dir / "lower", "mode=0755") ||
        !mounted("tmpfs", dir / "upper", "mode=0755")) {
      return "no tmpfs";
    }
    std::filesystem::create_directories(dir / "lower/var/lib/dpkg");
    std::filesystem::create_directories(dir / "upper/up");
    std::filesystem::create_directories(dir / "upper/work");
    test::write_file(dir / "lower/var/lib/dpkg/lock-frontend", "", 0640);
    if (!mounted("overlay", dir / "root",
                 "lowerdir=" + dir / "lower" + ",upperdir=" + dir / "upper/up" +
                     ",workdir=" + dir / "upper/work")) {
      return "no overlay";
    }
    const CheckPlaces places{{}, dir / "root", "/proc", {0}};
    std::string said = "before: " + lock_held(places, lock).value_or("none") + "\n";

    const pid_t flock = start_holder({holder, "-x", lock, "/bin/sleep", "600"});
    said +=
        "flock " + std::to_string(flock) + ": " + held_soon(places, lock).value_or("none") + "\n";
    // What stat alone would have matched: nothing.
    struct stat st {};
    ::stat(lock.c_str(), &st);
    const std::string locks = test::read_file("/proc/locks");
    said += std::string("by stat's device: ") +
            (lock_holder(locks, st.st_dev, st.st_ino) ? "found" : "missed") + "\n";
    stop_holder(flock);
    // Its lock goes with the last of its descriptors, sleep's among them.
    for (int i = 0; i < 500 && lock_held(places, lock); ++i) ::usleep(10000);

    const pid_t apt = ::fork();
    if (apt == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      const int fd = ::open(lock.c_str(), O_RDWR);
      struct flock range {};
      range.l_type = F_WRLCK;
      range.l_whence = SEEK_SET;
      if (fd < 0 || ::fcntl(fd, F_SETLK, &range) != 0) ::_exit(1);
      ::pause();
      ::_exit(0);
    }
    said += "fcntl " + std::to_string(apt) + ": " + held_soon(places, lock).value_or("none") + "\n";
    CheckSetup setup;
    setup.places = places;
    const ManagerCheck check = check_manager(Step::Apt, setup);
    said += "apt: " + (check.problem && check.problem->why == Problem::LockHeld
                           ? check.problem->detail
                           : std::string("no lock"));
    stop_holder(apt);
    return said;
  });
  ASSERT_TRUE(out.starts_with("before: none\n")) << out;
  const auto line = [&out](const std::string& head) {
    const size_t at = out.find("\n" + head);
    return at == std::string::npos ? std::string()
                                   : out.substr(at + 1, out.find('\n', at + 1) - at - 1);
  };
  const std::string flock_line = line("flock ");
  const std::string flock_pid = flock_line.substr(6, flock_line.find(':') - 6);
  EXPECT_EQ(flock_line,
            "flock " + flock_pid + ": sorvane-lock-holder-for-tests (process " + flock_pid + ")")
      << out;
  EXPECT_EQ(line("by stat's device: "), "by stat's device: missed") << out;
  const std::string fcntl_line = line("fcntl ");
  const std::string fcntl_pid = fcntl_line.substr(6, fcntl_line.find(':') - 6);
  EXPECT_NE(fcntl_line.find("(process " + fcntl_pid + ")"), std::string::npos) << out;
  EXPECT_NE(line("apt: ").find("(process " + fcntl_pid + ")"), std::string::npos) << out;
}

// Another user may hold as many locks as they like, and every one comes
// before dpkg's in /proc/locks: all of it is read, a piece at a time. The
// holder's name is its comm, made whole from its command line when the
// kernel cut it.
TEST(Foresight, TheWholeOfProcLocksIsReadAndTheHolderNamed) {
  const TempDir dir;
  test::make_dir(dir / "proc");
  test::write_file(dir / "lock", "");
  const struct stat st = test::stat_of(dir / "lock");
  std::string locks;
  for (int i = 1; i <= 60000; ++i) {
    locks +=
        std::to_string(i) + ": POSIX  ADVISORY  WRITE 999 fe:01:" + std::to_string(i) + " 0 EOF\n";
  }
  ASSERT_GT(locks.size(), size_t{2} << 20);
  // A line too long to be a lock's is skipped whole, never read in pieces.
  locks += std::string(10000, 'x') + " 1: POSIX  ADVISORY  WRITE 7 " + "\n";
  char device[64];
  std::snprintf(device, sizeof device, "%02x:%02x:%lu", major(st.st_dev), minor(st.st_dev),
                static_cast<unsigned long>(st.st_ino));
  locks += "60001: POSIX  ADVISORY  WRITE 4242 " + std::string(device) + " 0 EOF\n";
  test::write_file(dir / "proc/locks", locks);
  test::make_dir(dir / "proc/4242");
  const CheckPlaces places{{}, "/", dir / "proc", {0}};
  struct Case {
    std::string comm;
    std::string cmdline;
    std::string want;
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {"apt-get\n", "apt-get\0upgrade\0"s, "apt-get (process 4242)"},
      {"unattended-upgr\n", "/usr/bin/python3\0/usr/bin/unattended-upgrade\0--download-only\0"s,
       "unattended-upgrade (process 4242)"},
      {"unattended-upgr\n", "/usr/bin/python3\0/usr/bin/other\0"s,
       "unattended-upgr (process 4242)"},
      {"", "", "a program (process 4242)"},
  };
  for (const Case& c : cases) {
    test::write_file(dir / "proc/4242/comm", c.comm);
    test::write_file(dir / "proc/4242/cmdline", c.cmdline);
    EXPECT_EQ(lock_held(places, dir / "lock"), c.want) << c.comm;
  }
  EXPECT_EQ(lock_held(places, dir / "proc/locks"), std::nullopt);
}

// apt keeps its downloads on a small file system of their own: the update
// is foreseen short there, named by its mount point, and not elsewhere.
// The package files go to /usr and a new kernel to /boot, on the root's
// one file system, where their needs add up.
TEST(Foresight, ASmallFileSystemForAptsDownloadsIsForeseenShort) {
  REQUIRE_ROOT();  // the tools must pass the trust test: under /run, root's
  const TempDir dir("/run");
  test::make_dir(dir / "bin");
  test::write_file(dir / "bin/apt-get", R"(#!/bin/sh
case "$1" in
  -s) printf 'Inst libssl3 [3.0.11-1] (3.0.13-1 Debian-Security:12/bookworm-security [amd64])\nInst zip [3.0-13] (3.0-14 Debian:12.5/stable [amd64])\nInst linux-image-6.1.0-99-amd64 (6.1.99-1 Debian:12.5/stable [amd64])\n' ;;
  -qq) printf "'http://h/libssl3.deb' libssl3.deb 2000000 MD5Sum:x\n'http://h/zip.deb' zip.deb 500 MD5Sum:y\n" ;;
esac
)",
                   0755);
  test::write_file(dir / "bin/apt-cache", R"(#!/bin/sh
for v in "$@"; do case "$v" in
  libssl3=3.0.11-1) printf 'Package: libssl3\nVersion: 3.0.11-1\nInstalled-Size: 5000\n\n' ;;
  libssl3=3.0.13-1) printf 'Package: libssl3\nVersion: 3.0.13-1\nInstalled-Size: 6000\n\n' ;;
  zip=*) printf 'Package: zip\nVersion: %s\nInstalled-Size: 100\n\n' "${v#zip=}" ;;
  linux-image-*) printf 'Package: linux-image-6.1.0-99-amd64\nVersion: 6.1.99-1\nInstalled-Size: 4000\n\n' ;;
esac; done
)",
                   0755);
  struct Case {
    const char* archives_size;
    bool short_there;
  };
  for (const Case c : {Case{"8m", true}, Case{"64m", false}}) {
    SCOPED_TRACE(c.archives_size);
    const std::string out = in_private_mounts([&]() -> std::string {
      if (!mounted("tmpfs", dir / "root", "size=256m,mode=0755")) return "no tmpfs";
      std::filesystem::create_directories(dir / "root/usr");
      std::filesystem::create_directories(dir / "root/boot");
      test::write_file(dir / "root/boot/vmlinuz-6.1.0-1-amd64", std::string(1000, 'k'));
      test::write_file(dir / "root/boot/initrd.img-6.1.0-1-amd64", std::string(3000, 'i'));
      test::write_file(dir / "root/boot/config-6.1.0-0-amd64", std::string(10, 'c'));
      if (!mounted("tmpfs", dir / "root/var/cache/apt/archives",
                   std::string("mode=0755,size=") + c.archives_size)) {
        return "no small tmpfs";
      }
      CheckSetup setup;
      setup.places = {{dir / "bin"}, dir / "root", "/proc", {0}};
      const ManagerCheck check = check_manager(Step::Apt, setup);
      std::string said;
      for (const SpaceNeed& need : check.space) {
        said += need.path + " " + std::to_string(need.bytes) + " on " + need.mount_point + "\n";
      }
      for (const SpaceShortage& shortage : foresee({check}, true).short_of_space) {
        said += "short: " + shortage.mount_point + " needs " + std::to_string(shortage.needed) +
                (shortage.free <= 8U << 20 ? " with at most 8 MiB free" : " with more free") + "\n";
      }
      return said;
    });
    std::string want =
        "/var/cache/apt/archives 2000500 on /var/cache/apt/archives\n"
        // (6000 - 5000) + (4000 - 0) KiB more, and the largest, 6000 KiB.
        "/usr 11264000 on /\n"
        // The largest kernel there now: 4000 bytes.
        "/boot 4000 on /\n";
    if (c.short_there) {
      want += "short: /var/cache/apt/archives needs " + std::to_string(with_margin(2000500)) +
              " with at most 8 MiB free\n";
    }
    EXPECT_EQ(out, want);
  }
}

}  // namespace
}  // namespace sorvane::gui

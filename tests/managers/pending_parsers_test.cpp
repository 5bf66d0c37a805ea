// What the check reads of the system for every manager (/proc/locks,
// mountinfo, routes), and every manager's parser against hostile input.
#include "pending_parsers.hpp"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "apt.hpp"
#include "captures.hpp"
#include "dnf.hpp"
#include "flatpak.hpp"
#include "pacman.hpp"
#include "snap.hpp"

namespace sorvane::gui {
namespace {

using Updates = std::vector<PendingUpdate>;
using Names = std::vector<std::string>;

using test::capture;

// Every parser must survive what is not its manager's output.
const std::string HOSTILE[] = {
    std::string{},
    std::string("\0\0\0", 3),
    std::string(100000, '\n'),
    std::string(100000, ' '),
    std::string(50000, '['),
    "Inst",
    "Inst ",
    "Inst a [",
    "Inst a [1] (",
    "Inst a (1",
    "Inst a (])",
    "Inst  [1] (2 x [all])",
    "'",
    "''",
    "' x 1",
    "name.",
    ".arch 1-1 repo",
    "-.noarch",
    "a b -> ",
    "\t\t\t",
    "app/\t\t\t",
    "app/a/b/c\t\t\t99999999999999999999999 EB",
    "1: ->",
    "1: POSIX ADVISORY WRITE 1 ::",
    "1: POSIX ADVISORY WRITE 1 fe:00:",
    "1: POSIX ADVISORY WRITE 99999999999 fe:00:5",
    "Name Version\nx",
    "lo 00000000 0 zz 0 0 0 00000000",
};

TEST(PendingParsers, NeverFailOnHostileInput) {
  for (const std::string& text : HOSTILE) {
    SCOPED_TRACE(text.substr(0, 40));
    (void)parse_apt_simulation(text);
    (void)parse_apt_kept_back(text);
    (void)parse_apt_download_size(text);
    (void)parse_dnf_check_update(text);
    (void)parse_dnf_security(text);
    (void)parse_dnf_repolist(text);
    (void)parse_pacman_updates(text);
    (void)parse_pacman_repo_list(text);
    (void)parse_flatpak_updates(text);
    (void)parse_snap_refresh_list(text);
    (void)lock_holder(text, makedev(0xfe, 0), 5);
    (void)has_default_route(text, text);
    (void)parse_dpkg_unfinished({text, text});
    (void)lock_line_holder(text, {{makedev(0xfe, 0), makedev(0, 0x27)}, 5});
    (void)parse_mountinfo_line(text);
    (void)parse_dpkg_conffiles(text, {"a", "b:i386"});
    (void)parse_md5sum_z(text);
    (void)parse_apt_installed_sizes(text);
  }
}

// --- /proc ---

TEST(LockHolder, FindsWhoHoldsTheAptLocks) {
  // Captured while apt-get ran a dpkg hook: it held the frontend and
  // archives locks, not yet dpkg's own.
  const std::string locks = capture("proc-locks-apt-install.txt");
  const dev_t disk = makedev(254, 0);
  EXPECT_EQ(lock_holder(locks, disk, 11001903), 4818);          // /var/lib/dpkg/lock-frontend
  EXPECT_EQ(lock_holder(locks, disk, 11001888), 4818);          // /var/cache/apt/archives/lock
  EXPECT_EQ(lock_holder(locks, disk, 11001902), std::nullopt);  // /var/lib/dpkg/lock
  EXPECT_EQ(lock_holder(locks, makedev(254, 1), 11001903), std::nullopt);
  EXPECT_EQ(lock_holder(locks, makedev(253, 0), 11001903), std::nullopt);
}

TEST(LockHolder, TellsPosixFlockOpenFileAndWaitingLocksApart) {
  const std::string locks = capture("proc-locks-posix-flock-ofd-waiter.txt");
  const dev_t disk = makedev(254, 0);
  EXPECT_EQ(lock_holder(locks, disk, 11020527), 6048);  // POSIX, with pid 6122 waiting
  EXPECT_EQ(lock_holder(locks, disk, 11020528), 6048);  // flock
  EXPECT_EQ(lock_holder(locks, disk, 11020529), 0);     // open file description: no pid
  EXPECT_EQ(lock_holder(locks, disk, 1102052), std::nullopt);
}

TEST(LockHolder, ReadsEachLineOnItsOwn) {
  const dev_t dev = makedev(0x103, 0x2a);
  const std::pair<std::string, std::optional<pid_t>> cases[] = {
      {"", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a:77 0 EOF", 12},
      {"1: FLOCK  ADVISORY  WRITE 12 103:2A:77 0 EOF", 12},
      {"1: LEASE  ACTIVE    READ  12 103:2a:77 0 EOF\r\n", 12},
      {"1: OFDLCK ADVISORY  WRITE -1 103:2a:77 0 EOF", 0},
      {"1: OFDLCK ADVISORY  WRITE -1 103:2a:77 0 EOF\n2: POSIX ADVISORY WRITE 9 103:2a:77 0 EOF",
       9},
      {"1: -> POSIX  ADVISORY  WRITE 12 103:2a:77 0 EOF", std::nullopt},
      {"1: -> POSIX  ADVISORY  WRITE 13 103:2a:77 0 EOF\n1: POSIX  ADVISORY  WRITE 12 103:2a:77 0 "
       "EOF",
       12},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a:78 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2b:77 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 3:2a:77 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a:77x 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a 0 EOF", std::nullopt},
      {"1 POSIX  ADVISORY  WRITE 12 103:2a:77 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE twelve 103:2a:77 0 EOF", 0},
  };
  for (const auto& [locks, want] : cases) EXPECT_EQ(lock_holder(locks, dev, 77), want) << locks;
}

// On overlayfs with layers on two file systems, stat gives a layer's
// device (here 0:2b) and /proc/locks the overlay's own (0:29, as
// /proc/self/mountinfo names it): either counts.
TEST(LockHolder, AnyOfTheFilesDevicesCounts) {
  const LockedFile overlay{{makedev(0, 0x2b), makedev(0, 0x29)}, 5};
  const std::pair<std::string, std::optional<pid_t>> cases[] = {
      {"1: POSIX  ADVISORY  WRITE 11389 00:29:5 0 EOF", 11389},
      {"1: FLOCK  ADVISORY  WRITE 10798 00:2b:5 0 EOF", 10798},
      {"1: POSIX  ADVISORY  WRITE 11389 00:2d:5 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 11389 00:29:6 0 EOF", std::nullopt},
      {"1: OFDLCK ADVISORY  WRITE -1 00:29:5 0 EOF\r", 0},
      {"1: -> POSIX  ADVISORY  WRITE 11389 00:29:5 0 EOF", std::nullopt},
  };
  for (const auto& [line, want] : cases) EXPECT_EQ(lock_line_holder(line, overlay), want) << line;
  EXPECT_EQ(lock_line_holder("1: POSIX  ADVISORY  WRITE 1 00:29:5 0 EOF", {{}, 5}), std::nullopt);
}

TEST(MountInfo, ReadsIdDeviceAndMountPoint) {
  const std::pair<std::string, std::optional<MountLine>> cases[] = {
      {"69 45 0:41 / /tmp/ovx/m rw,relatime - overlay overlay rw,lowerdir=l,upperdir=u/up",
       MountLine{69, makedev(0, 41), "/tmp/ovx/m"}},
      {"36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue",
       MountLine{36, makedev(98, 0), "/mnt2"}},
      {"30 1 259:3 / /media/my\\040disk\\011x\\134 rw - ext4 /dev/x rw",
       MountLine{30, makedev(259, 3), "/media/my disk\tx\\"}},
      {"30 1 259:3 / /a\\04 rw - ext4 /dev/x rw", MountLine{30, makedev(259, 3), "/a\\04"}},
      {"30 1 259 / /a rw - ext4 /dev/x rw", std::nullopt},
      {"x 1 259:3 / /a rw - ext4 /dev/x rw", std::nullopt},
      {"30 1 259:3 /", std::nullopt},
  };
  for (const auto& [line, want] : cases) EXPECT_EQ(parse_mountinfo_line(line), want) << line;
}

TEST(DefaultRoute, ReadsTheCapturedRoutingTables) {
  struct Case {
    const char* ipv4;
    const char* ipv6;
    bool want;
  };
  const Case cases[] = {
      {"route-ipv4-host.txt", "route-ipv6-host.txt", true},
      {"route-ipv4-netns-lo-only.txt", "route-ipv6-netns-lo-only.txt", false},
      {"route-ipv4-netns-veth-no-default.txt", "route-ipv6-netns-veth-no-default.txt", false},
      {"route-ipv4-netns-veth-default.txt", "route-ipv6-netns-veth-no-default.txt", true},
      {"route-ipv4-netns-veth-no-default.txt", "route-ipv6-netns-veth-default.txt", true},
      {"route-ipv4-netns-unreachable-default.txt", "route-ipv6-netns-unreachable-default.txt",
       false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(has_default_route(capture(c.ipv4), capture(c.ipv6)), c.want)
        << c.ipv4 << " " << c.ipv6;
}

TEST(DefaultRoute, NeedsAnUpDefaultOffLoopback) {
  const std::string header =
      "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
  const std::string six_default =
      "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
      "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n";
  const std::pair<std::string, bool> ipv4_cases[] = {
      {"", false},
      {header, false},
      {header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n", true},
      {header + "eth0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n", true},  // on-link
      {header + "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n", false},
      {header + "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n", false},  // down
      {header + "*\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n", false},  // unreachable
      {header + "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n", false},
      {header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000080\t0\t0\t0\n", false},  // 0/1 half
      {header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\n", false},
      {header + "eth0\t0\t010200C0\t0003\t0\t0\t0\t0\t0\t0\t0\n", false},
  };
  for (const auto& [ipv4, want] : ipv4_cases) EXPECT_EQ(has_default_route(ipv4, ""), want) << ipv4;
  const std::pair<std::string, bool> ipv6_cases[] = {
      {"", false},
      {six_default, true},
      {"00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200       lo\n",
       false},
      {"00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "00000000000000000000000000000000 00000064 00000001 00000000 00200201     eth0\n",
       false},  // a reject route, up
      {"00000000000000000000000000000000 03 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n",
       false},  // ::/3
      {"20000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n",
       false},
      {"00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003\n",
       false},  // no device
      {"00000000 00 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n",
       false},
  };
  for (const auto& [ipv6, want] : ipv6_cases) EXPECT_EQ(has_default_route("", ipv6), want) << ipv6;
}

}  // namespace
}  // namespace sorvane::gui

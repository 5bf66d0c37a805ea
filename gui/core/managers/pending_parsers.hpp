// What every manager's answer is made of (a pending update), and the
// system's own files the check reads for all of them: /proc/locks,
// mountinfo, the routing tables. Each manager's parsers are in its own
// file. What is read may be anything: every parser reads it once, line by
// line, never throws and ignores what it does not understand.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::gui {

struct PendingUpdate {
  std::string name;
  std::string
      from;  // the installed version; empty when the manager does not say (a new package, dnf)
  std::string to;  // the version the update brings
  bool security = false;
  friend bool operator==(const PendingUpdate&, const PendingUpdate&) = default;
};

// A file as /proc/locks names it: its inode, on any of the devices it may
// be shown with. /proc/locks gives the device of the file system's own
// superblock, which stat does not always give: overlayfs shows a layer's
// device to stat when its layers are on different file systems, btrfs a
// subvolume's.
struct LockedFile {
  std::vector<dev_t> devices;
  ino_t inode = 0;
};

// One line of /proc/locks: the pid holding a lock on `locked` (the dpkg and
// apt lock files, which the desktop user can stat but not open):
// "1: POSIX  ADVISORY  WRITE 1234 08:01:123456 0 EOF", major and minor in
// hex, the inode in decimal. 0 when it is held by a lock with no owning
// process (an open file description lock shows pid -1); nullopt when the
// line holds no lock on it. Waiting locks ("1: -> POSIX ...") hold nothing.
std::optional<pid_t> lock_line_holder(std::string_view line, const LockedFile& locked);
// The same for all of /proc/locks: the first holder with a pid, else 0
// when only a lock with no pid holds it, else nullopt.
std::optional<pid_t> lock_holder(std::string_view proc_locks, dev_t device, ino_t inode);

// One line of /proc/self/mountinfo: "36 35 98:0 /mnt1 /mnt2 rw,noatime
// master:1 - ext3 /dev/root rw": the mount's id, the device of its file
// system's superblock (major:minor in decimal) and where it is mounted
// (octal escapes undone).
struct MountLine {
  std::uint64_t id = 0;
  dev_t device = 0;
  std::string mount_point;
  friend bool operator==(const MountLine&, const MountLine&) = default;
};
std::optional<MountLine> parse_mountinfo_line(std::string_view line);

// /proc/net/route and /proc/net/ipv6_route: whether a usable default route
// (destination 0 with prefix 0, up, not a reject route, not on lo) exists.
bool has_default_route(std::string_view ipv4_routes, std::string_view ipv6_routes);

}  // namespace sorvane::gui

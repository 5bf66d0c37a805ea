// What each package manager says it would update, read from the output of
// its own queries, run as the desktop user before any password is asked.
// The output is the managers' and may be anything: every parser reads it
// once, line by line, never throws and ignores what it does not understand.
// The queries are run in the C locale; the formats below are theirs there.
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

// `apt-get -s -o APT::Get::Show-User-Simulation-Note=false --with-new-pkgs upgrade`:
// one entry per "Inst" line, "Inst name [old] (new origin, origin [arch]) []",
// each origin "[label:][version/]archive" (or a host name without a Release
// file); a package new to the system has no [old]. Security when an origin's
// archive ends in "-security" or its label is "Debian-Security".
std::vector<PendingUpdate> parse_apt_simulation(std::string_view out);
// The indented names after "The following packages have been kept back:".
std::vector<std::string> parse_apt_kept_back(std::string_view out);
// `apt-get -qq --print-uris --with-new-pkgs upgrade`: the sum of the sizes in
// its "'uri' file size hash" lines; nullopt when any line is not one.
std::optional<std::uint64_t> parse_apt_download_size(std::string_view out);

// `dnf -q check-update` (exit 100 when updates exist): "name.arch
// [epoch:]version-release repo", the name alone on a line of its own when
// it is long; stops at "Obsoleting Packages". `from` is empty.
std::vector<PendingUpdate> parse_dnf_check_update(std::string_view out);
// `dnf -q updateinfo list --updates security`: the names of the packages
// whose "name-[epoch:]version-release.arch" it lists, in any column.
std::vector<std::string> parse_dnf_security(std::string_view out);
// `dnf -q repolist --enabled`: the ids of the enabled repositories.
std::vector<std::string> parse_dnf_repolist(std::string_view out);

// `checkupdates` or `pacman -Qu`: "name old -> new"; lines ending in
// "[ignored]" are not pending.
std::vector<PendingUpdate> parse_pacman_updates(std::string_view out);
// `pacman-conf --repo-list`: one repository name per line.
std::vector<std::string> parse_pacman_repo_list(std::string_view out);

struct FlatpakPending {
  std::vector<PendingUpdate> updates;  // name: "id//branch"; `to`: the version, else the commit
  std::optional<std::uint64_t> download_bytes;  // nullopt when any size is unreadable
};
// The exact query, whose columns this reads in this order (flatpak 1.14
// separates columns with a tab and prints no title row when its output is
// not a terminal; a cell it has no value for is empty):
inline constexpr std::string_view FLATPAK_UPDATES_COLUMNS =
    "--columns=ref,version,commit,download-size";
// `flatpak remote-ls --updates --columns=ref,version,commit,download-size`:
// ref "app/org.example.App/x86_64/stable" (or "runtime/..."), version
// (empty without appstream data), commit, and the size as g_format_size
// prints it ("512 bytes", "3.4 kB", "1.2 MB": decimal units; the C locale
// shows the no-break space before a unit as "?": "3.4?kB").
FlatpakPending parse_flatpak_updates(std::string_view out);
// A size as g_format_size prints it, in bytes (rounded as printed).
std::optional<std::uint64_t> parse_flatpak_size(std::string_view text);

// `snap refresh --list`: the table "Name Version Rev Size Publisher Notes";
// `to` is the version. "All snaps up to date." goes to stderr: out is empty.
std::vector<PendingUpdate> parse_snap_refresh_list(std::string_view out);

// dpkg's database, /var/lib/dpkg/status, then the journal a run that did
// not finish leaves in /var/lib/dpkg/updates/ (applied over it in order):
// stanzas of "Package:", "Architecture:" and "Status: want flag state". The
// packages, in the order first seen, whose last word leaves them unfinished:
// half-installed, unpacked, half-configured, triggers-awaited or
// triggers-pending, or flagged reinstreq. `dpkg --audit` reports the same,
// but only to root: for the desktop user it fails on the lock.
std::vector<std::string> parse_dpkg_unfinished(const std::vector<std::string_view>& in_order);
// The same, and whether any of them is flagged reinstreq or half-installed:
// its files are of neither version, and only apt can fetch it again.
struct DpkgLeft {
  std::vector<std::string> packages;
  bool reinstall = false;
};
DpkgLeft parse_dpkg_left(const std::vector<std::string_view>& in_order);

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

// dpkg's status database: the conffiles of the installed packages named
// (a name may carry ":arch"), from their "Conffiles:" field, each line
// " /etc/path md5". Entries marked after the md5 ("obsolete",
// "remove-on-upgrade") and md5s that are not 32 hex digits (dpkg's
// "newconffile") are left out: dpkg does not keep those as the user's.
struct Conffile {
  std::string path;
  std::string md5;
  friend bool operator==(const Conffile&, const Conffile&) = default;
};
std::vector<Conffile> parse_dpkg_conffiles(std::string_view status,
                                           const std::vector<std::string>& packages);
// `md5sum -z -- FILE...`: "md5  path" records ended by NUL (no escaping);
// files it could not read are on stderr, not here.
std::vector<Conffile> parse_md5sum_z(std::string_view out);

// `apt-cache show name=version ...`: the "Installed-Size" (KiB) of each
// stanza, by package, architecture and version.
struct InstalledSize {
  std::string package;
  std::string architecture;
  std::string version;
  std::uint64_t kib = 0;
  friend bool operator==(const InstalledSize&, const InstalledSize&) = default;
};
std::vector<InstalledSize> parse_apt_installed_sizes(std::string_view out);

// /proc/net/route and /proc/net/ipv6_route: whether a usable default route
// (destination 0 with prefix 0, up, not a reject route, not on lo) exists.
bool has_default_route(std::string_view ipv4_routes, std::string_view ipv6_routes);

}  // namespace sorvane::gui

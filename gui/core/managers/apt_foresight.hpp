// What an apt upgrade will do to the disk and to the config files the user
// changed, foreseen before the password from what the user can read: apt's
// own answers, dpkg's database and the files themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apt.hpp"
#include "filesystems.hpp"
#include "pending_parsers.hpp"

namespace sorvane::gui {

struct CheckPlaces;

struct AptForesight {
  std::vector<SpaceNeed> space;
  std::vector<std::string> kept_conffiles;  // as the user sees them: "/etc/foo.conf"
};

// Runs a program as the check runs its queries: what it printed on standard
// output when it ran to its end (whatever its exit status), else nothing.
using AptQuery =
    std::function<std::optional<std::string>(std::string_view tool, std::vector<std::string> args)>;

// The space the upgrade of `updates` needs: the download (`download_bytes`,
// from apt's --print-uris) in /var/cache/apt/archives; the growth of the
// packages' Installed-Size (new against installed versions, from
// `apt-cache show`), plus the largest new package (dpkg unpacks it beside
// its old files), on /usr; for each new kernel image, what the largest
// kernel in /boot takes there now (its image, initrd, map and config). And
// the conffiles of the upgraded packages whose md5 (`md5sum`) is no longer
// the one in dpkg's `status`: unreadable ones are left out.
AptForesight foresee_apt(const CheckPlaces& places, std::string_view status,
                         const std::vector<PendingUpdate>& updates,
                         std::optional<std::uint64_t> download_bytes, const AptQuery& query);

// What the largest kernel in the directory `boot` takes: its files named
// vmlinuz-, initrd.img-, System.map- and config- with one release, added up.
std::uint64_t largest_kernel_bytes(const std::string& boot);

}  // namespace sorvane::gui

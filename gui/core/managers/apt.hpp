// apt, and dpkg beneath it: what Sorvane Update knows of them. Asked
// before the password: `apt-get` simulates the upgrade (new packages
// allowed, as `apt upgrade` allows them), dpkg's database tells of a run
// left unfinished, and its locks of another program at work. During the
// update: a package's .deb in /var/cache/apt/archives (downloaded), then
// dpkg's log, /var/log/dpkg.log: "status unpacked" and "status installed"
// for it; "conffile /etc/x keep" there is a config file the user changed
// that the update kept, its new version beside it as /etc/x.dpkg-dist.
// After it: apt's "E:" lines, the paths and URLs they name and dpkg's
// database tell why it failed; /run/reboot-required, or a package that
// takes effect only then, that a restart is due.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "manager_facts.hpp"
#include "pending_parsers.hpp"

namespace sorvane::gui {

// `apt-get -s -o APT::Get::Show-User-Simulation-Note=false --with-new-pkgs upgrade`:
// one entry per "Inst" line, "Inst name [old] (new origin, origin [arch]) []",
// each origin "[label:][version/]archive" (or a host name without a Release
// file); a package new to the system has no [old]. Security when an origin's
// archive ends in "-security" or its label is "Debian-Security".
// An archive (a suite) of security updates: "bookworm-security".
bool is_security_archive(std::string_view suite);
std::vector<PendingUpdate> parse_apt_simulation(std::string_view out);
// The indented names after "The following packages have been kept back:".
std::vector<std::string> parse_apt_kept_back(std::string_view out);
// The names apt lists, indented, under a heading line of its output.
std::vector<std::string> apt_names_listed_under(std::string_view out, std::string_view heading);
// `apt-get -qq --print-uris --with-new-pkgs upgrade`: the sum of the sizes in
// its "'uri' file size hash" lines; nullopt when any line is not one.
std::optional<std::uint64_t> parse_apt_download_size(std::string_view out);

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

// One line of dpkg's log: "2026-12-09 10:00:01 status installed libssl3:amd64 3.0.22-1".
LogEvent read_dpkg_log_line(std::string_view line);
// "2026-12-09 19:20:57 conffile /etc/x keep": /etc/x kept, /etc/x.dpkg-dist
// beside it ("install" replaced the file: nothing of the user's is set
// aside unless asked, and the update script never asks).
std::optional<KeptConfig> read_dpkg_conffile_line(std::string_view line);
// The packages upgraded in dpkg's log between two local times
// ("YYYY-MM-DD HH:MM:SS", as dpkg writes them), by name, sorted.
std::vector<std::string> dpkg_upgraded(std::string_view log, std::string_view from,
                                       std::string_view to);
size_t dpkg_upgrades(std::string_view log, std::string_view from, std::string_view to);
// The config files kept in dpkg's log between two such times.
std::vector<KeptConfig> dpkg_kept_configs(std::string_view log, std::string_view from,
                                          std::string_view to);

// A package that takes effect only on a restart: a kernel image, the C
// library, systemd, D-Bus, microcode or firmware.
bool needs_restart_on_debian(const std::string& package);

// apt's error line: "E:", or dpkg's own "dpkg: error".
bool is_apt_error_line(std::string_view line);

// dpkg's database: the first package whose maintainer script failed
// (half-configured), and the first package left unpacked
// with a config file whose new version still waits beside it
// ("<file>.dpkg-new": dpkg asked about it and read no answer). Exposed for
// the tests.
struct DpkgLeftOver {
  std::string failed_script;
  std::string question_package;
  std::string question_file;
};
DpkgLeftOver dpkg_left_over(std::string_view status, const std::string& root);

}  // namespace sorvane::gui

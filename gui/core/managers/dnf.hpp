// dnf, and rpm beneath it. Asked before the password: `dnf check-update`
// (which refreshes the metadata in a cache of the user's own), rpm for the
// installed versions, `updateinfo` for security. During the update: its
// own counters in the output, "(n/m): " before each download, " n/m" at
// the end of each transaction line. A config file the user changed is
// kept, the new one beside it as /etc/x.rpmnew: rpm tells of it only in
// its translated output and keeps no log of it, so the files themselves
// are looked for, under /etc, made while the update ran (by their change
// time: rpm gives a file the package's own modification time); a
// directory the user cannot read is passed over. After it: "Error:" lines;
// `dnf needs-restarting -r`, which exits 1 when a restart is due.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "manager_facts.hpp"
#include "pending_parsers.hpp"

namespace sorvane::gui {

// `dnf -q check-update` (exit 100 when updates exist): "name.arch
// [epoch:]version-release repo", the name alone on a line of its own when
// it is long; stops at "Obsoleting Packages". `from` is empty.
std::vector<PendingUpdate> parse_dnf_check_update(std::string_view out);

// A query of dnf's that reads its metadata: from the cache alone (-C) when
// the check may not use the network.
std::vector<std::string> dnf_args(const CheckSetup& setup, std::vector<std::string> args);
// `dnf -q updateinfo list --updates security`: the names of the packages
// whose "name-[epoch:]version-release.arch" it lists, in any column.
std::vector<std::string> parse_dnf_security(std::string_view out);

struct RpmInstalled {
  std::string_view evr;      // "1:2.3-4.fc40"
  std::string_view summary;  // one line; empty when rpm gives none
};
// The exact query of what is installed, whose fields this reads.
inline constexpr std::string_view RPM_INSTALLED_FORMAT = "%{NAME} %{EVR} %{SUMMARY}\\n";
// `rpm -qa --qf '%{NAME} %{EVR} %{SUMMARY}\n'`, by name (names and EVRs
// hold no space; the summary is the rest of the line).
std::unordered_map<std::string_view, RpmInstalled> parse_rpm_installed(std::string_view out);
// `dnf -q repolist --enabled`: the ids of the enabled repositories.
std::vector<std::string> parse_dnf_repolist(std::string_view out);

// dnf's counters: "(3/10): name-1.0-1.fc40.x86_64.rpm  12 kB/s | ..." while
// downloading, "  Upgrading  : name-1.0-1.fc40.x86_64   3/10" in the
// transaction. Nothing when the line holds neither.
std::optional<OutputCounter> read_dnf_counter(std::string_view line);

// The ".rpmnew" files under `root`/etc changed between two times, in
// nanoseconds since the epoch, by path.
std::vector<KeptConfig> rpm_kept_configs(const std::string& root, std::int64_t from,
                                         std::int64_t to);

}  // namespace sorvane::gui

// What an apt update brings, before the password: its one-line
// description from the package data, and on request the entries of its
// Debian changelog newer than the installed version, fetched as the user
// (`apt-get changelog`, from the source apt's configuration names) and
// cached per version; the advisories (DSA-, DLA-, CVE- identifiers) those
// entries name. The changelog is outside text: bounded, its control
// characters removed, shown as plain text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "manager_facts.hpp"
#include "outside_text.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

// Debian's version order (dpkg's): epoch, then upstream version, then
// revision, "~" before everything, letters before other characters, digit
// runs as numbers. Negative, zero or positive.
int compare_debian_versions(std::string_view a, std::string_view b);

// The entries of a Debian changelog (newest first, each from its
// "name (version) suite; urgency=…" line at the start of a line) newer than
// `installed`: all of them when it is empty or none is older.
std::string changelog_since(std::string_view changelog, std::string_view installed);

// `apt-cache show name=version …`: each stanza's package, version and the
// first line of its Description.
struct Described {
  std::string package;
  std::string version;
  std::string description;
  friend bool operator==(const Described&, const Described&) = default;
};
std::vector<Described> parse_apt_descriptions(std::string_view out);

// How much of a changelog is kept: a long one is cut, never the window's
// memory.
inline constexpr size_t MAX_CHANGELOG = size_t{256} * 1024;

// What is new in `update`: from the cache under `cache_dir`
// (changelogs/<name>_<version>), else fetched with `apt-get changelog`
// (the private lists' options when `lists` is not empty) and cached. The
// newer entries as plain text, or why they could not be had.
WhatIsNew apt_changelog(const CheckSetup& setup, const PendingUpdate& update);

// The descriptions of `updates` (their new versions) and the advisories of
// the changelogs already cached, into `check.about`.
void describe_apt_updates(const CheckSetup& setup, const std::vector<std::string>& lists,
                          ManagerCheck& check);

}  // namespace sorvane::gui

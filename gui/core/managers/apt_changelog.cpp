#include "apt_changelog.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "apt_refresh.hpp"
#include "manager_query.hpp"
#include "manager_text.hpp"
#include "path.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

using text::is_digit;
using text::is_letter;

// dpkg's weight of a character in a version's non-digit part.
int order(char c) {
  if (is_digit(c) || c == '\0') return 0;
  if (is_letter(c)) return c;
  if (c == '~') return -1;
  return static_cast<unsigned char>(c) + 256;
}

int compare_part(string_view a, string_view b) {
  size_t i = 0;
  size_t j = 0;
  const auto at = [](string_view s, size_t k) { return k < s.size() ? s[k] : '\0'; };
  while (i < a.size() || j < b.size()) {
    while ((i < a.size() && !is_digit(a[i])) || (j < b.size() && !is_digit(b[j]))) {
      const int left = order(at(a, i));
      const int right = order(at(b, j));
      if (left != right) return left - right;
      ++i;
      ++j;
    }
    while (at(a, i) == '0') ++i;
    while (at(b, j) == '0') ++j;
    int first_difference = 0;
    while (is_digit(at(a, i)) && is_digit(at(b, j))) {
      if (first_difference == 0) first_difference = at(a, i) - at(b, j);
      ++i;
      ++j;
    }
    if (is_digit(at(a, i))) return 1;
    if (is_digit(at(b, j))) return -1;
    if (first_difference != 0) return first_difference;
  }
  return 0;
}

struct Version {
  long epoch = 0;
  string_view upstream;
  string_view revision;
};

Version split(string_view version) {
  Version parts;
  if (const size_t colon = version.find(':'); colon != string_view::npos) {
    long epoch = 0;
    for (const char c : version.substr(0, colon)) {
      if (!is_digit(c) || epoch > 1000000) break;
      epoch = epoch * 10 + (c - '0');
    }
    parts.epoch = epoch;
    version.remove_prefix(colon + 1);
  }
  if (const size_t dash = version.rfind('-'); dash != string_view::npos) {
    parts.revision = version.substr(dash + 1);
    version = version.substr(0, dash);
  }
  parts.upstream = version;
  return parts;
}

// "name (version) suite; urgency=…": the version of an entry's first line.
std::optional<string_view> entry_version(string_view line) {
  if (line.empty() || line[0] == ' ' || line[0] == '\t') return std::nullopt;
  const size_t open = line.find(" (");
  const size_t close = line.find(')', open == string_view::npos ? 0 : open);
  if (open == string_view::npos || close == string_view::npos || open == 0) return std::nullopt;
  return line.substr(open + 2, close - open - 2);
}

// The changelog's cache file: a name and version as apt writes them into
// file names (":" as "%3a"); nothing for one that could lead elsewhere.
std::optional<std::string> cache_name(const PendingUpdate& update) {
  std::string name = update.name + "_";
  for (const char c : update.to) name += c == ':' ? std::string("%3a") : std::string(1, c);
  if (update.name.empty() || update.name.starts_with('.') || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  return name;
}

std::vector<std::string> private_lists_if_any(const std::string& dir) {
  struct stat st {};
  if (::stat(join(dir, "refreshed").c_str(), &st) != 0) return {};
  return private_list_options(dir);
}

}  // namespace

int compare_debian_versions(string_view a, string_view b) {
  const Version left = split(a);
  const Version right = split(b);
  if (left.epoch != right.epoch) return left.epoch < right.epoch ? -1 : 1;
  if (const int upstream = compare_part(left.upstream, right.upstream); upstream != 0) {
    return upstream;
  }
  return compare_part(left.revision, right.revision);
}

std::string changelog_since(string_view changelog, string_view installed) {
  // What comes before the first entry is not the changelog's (apt's own
  // "Get:1 …" line, when it fetched it).
  std::optional<size_t> first;
  size_t at = 0;
  while (at < changelog.size()) {
    const size_t end = changelog.find('\n', at);
    const string_view line = changelog.substr(at, end == string_view::npos ? end : end - at);
    const auto version = entry_version(line);
    if (version && !first) first = at;
    if (version && !installed.empty() && compare_debian_versions(*version, installed) <= 0) break;
    at = end == string_view::npos ? changelog.size() : end + 1;
  }
  const size_t from = first.value_or(0);
  std::string newer(changelog.substr(from, at - from));
  while (!newer.empty() && (newer.back() == '\n' || newer.back() == ' ')) newer.pop_back();
  return newer;
}

std::vector<Described> parse_apt_descriptions(string_view out) {
  std::vector<Described> found;
  Described stanza;
  const auto flush = [&] {
    if (!stanza.package.empty()) found.push_back(stanza);
    stanza = {};
  };
  while (!out.empty()) {
    const string_view line = out.substr(0, out.find('\n'));
    out.remove_prefix(std::min(out.size(), line.size() + 1));
    if (line.empty()) {
      flush();
      continue;
    }
    const auto value = [&](string_view field) -> std::optional<std::string> {
      if (!line.starts_with(field)) return std::nullopt;
      string_view rest = line.substr(field.size());
      while (rest.starts_with(' ')) rest.remove_prefix(1);
      return std::string(rest);
    };
    if (auto name = value("Package:")) stanza.package = *name;
    if (auto version = value("Version:")) stanza.version = *version;
    // "Description:" or a translated one, "Description-en:".
    if (auto text = value("Description:"); text && stanza.description.empty()) {
      stanza.description = *text;
    }
    if (auto text = value("Description-en:"); text && stanza.description.empty()) {
      stanza.description = *text;
    }
  }
  flush();
  return found;
}

WhatIsNew apt_changelog(const CheckSetup& setup, const PendingUpdate& update) {
  WhatIsNew changelog;
  const auto dir = apt_cache_dir(setup.cache_home);
  const auto name = cache_name(update);
  if (!dir || !name) {
    changelog.why_not = "no cache directory";
    return changelog;
  }
  if (auto refused = make_own_cache(*dir, ::geteuid())) {
    changelog.why_not = *refused;
    return changelog;
  }
  const std::string changelogs = join(*dir, "changelogs");
  if (::mkdir(changelogs.c_str(), 0700) != 0 && errno != EEXIST) {
    changelog.why_not = "cannot make the changelog cache";
    return changelog;
  }
  const std::string cached = join(changelogs, *name);
  std::optional<std::string> whole;
  struct stat st {};
  if (::lstat(cached.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
    whole = read_file(cached, MAX_QUERY_OUTPUT);
  }
  if (!whole) {
    // -qq: the changelog alone, without apt's progress lines.
    std::vector<std::string> args = {"-qq", "changelog", update.name + "=" + update.to};
    const auto lists = private_lists_if_any(*dir);
    args.insert(args.end(), lists.begin(), lists.end());
    const auto asked = ask(setup, "apt-get", args, setup.network_limit);
    if (!asked) {
      changelog.why_not = asked.error().detail;
      return changelog;
    }
    if (asked.value().status != 0) {
      changelog.why_not = failed("apt-get changelog", asked.value()).detail;
      return changelog;
    }
    whole = plain_text(asked.value().run.out, MAX_CHANGELOG);
    const std::string part = cached + ".part";
    const UniqueFd file(
        ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.valid() &&
        ::write(file.get(), whole->data(), whole->size()) == static_cast<ssize_t>(whole->size())) {
      if (::rename(part.c_str(), cached.c_str()) != 0) ::unlink(part.c_str());
    } else {
      ::unlink(part.c_str());
    }
  }
  changelog.text = plain_text(changelog_since(*whole, update.from), MAX_CHANGELOG);
  changelog.advisories = advisories_in(changelog.text);
  return changelog;
}

void describe_apt_updates(const CheckSetup& setup, const std::vector<std::string>& lists,
                          ManagerCheck& check) {
  if (check.updates.empty()) return;
  std::vector<std::string> args = {"show", "--no-all-versions"};
  std::transform(check.updates.begin(), check.updates.end(), std::back_inserter(args),
                 [](const PendingUpdate& update) { return update.name + "=" + update.to; });
  args.insert(args.end(), lists.begin(), lists.end());
  const auto asked = ask(setup, "apt-cache", args, setup.local_limit);
  std::vector<Described> described;
  if (asked) described = parse_apt_descriptions(asked.value().run.out);
  const auto dir = apt_cache_dir(setup.cache_home);
  for (const PendingUpdate& update : check.updates) {
    UpdateAbout& about = check.about[update.name];
    about.changelog_available = true;
    for (const Described& one : described) {
      if (one.package == update.name && one.version == update.to) {
        about.description = plain_text(one.description, MAX_DESCRIPTION);
      }
    }
    // A changelog fetched before (on request): its advisories.
    const auto name = cache_name(update);
    if (!dir || !name) continue;
    const std::string cached = join(join(*dir, "changelogs"), *name);
    struct stat st {};
    if (::lstat(cached.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
      continue;
    }
    if (auto text = read_file(cached, MAX_CHANGELOG)) {
      about.advisories = advisories_in(changelog_since(*text, update.from));
    }
  }
}

}  // namespace sorvane::gui

#include "dnf.hpp"

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "dnf_advisories.hpp"
#include "dnf_excludes.hpp"
#include "dnf_history.hpp"
#include "files.hpp"
#include "manager_query.hpp"
#include "outside_text.hpp"
#include "path.hpp"
#include "restart_needed.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::for_each_line;
using text::has_blank;
using text::is_blank;
using text::number;
using text::trim;
using text::words;

constexpr std::array<string_view, 17> RPM_ARCHES = {
    "noarch",  "x86_64",  "i686",        "i586",   "i486",    "i386",
    "aarch64", "armv7hl", "armv7hnl",    "armhfp", "ppc64le", "ppc64",
    "s390x",   "riscv64", "loongarch64", "src",    "athlon"};

bool rpm_arch(string_view arch) {
  return std::find(RPM_ARCHES.begin(), RPM_ARCHES.end(), arch) != RPM_ARCHES.end();
}

// "name.arch" split at its last dot; nullopt without a name or an arch.
std::optional<string_view> name_of_name_arch(string_view name_arch) {
  const size_t dot = name_arch.rfind('.');
  if (dot == 0 || dot == string_view::npos || dot + 1 == name_arch.size()) return std::nullopt;
  return name_arch.substr(0, dot);
}

// The name of "name-[epoch:]version-release.arch", for a known arch.
std::optional<string_view> name_of_nevra(string_view nevra) {
  const size_t dot = nevra.rfind('.');
  if (dot == string_view::npos || !rpm_arch(nevra.substr(dot + 1))) return std::nullopt;
  const string_view nevr = nevra.substr(0, dot);
  const size_t release = nevr.rfind('-');
  if (release == string_view::npos || release + 1 == nevr.size()) return std::nullopt;
  const size_t version = nevr.rfind('-', release == 0 ? 0 : release - 1);
  if (version == string_view::npos || version == 0 || version + 1 == release) return std::nullopt;
  return nevr.substr(0, version);
}

string_view without_epoch(string_view version) {
  const size_t colon = version.find(':');
  return colon == string_view::npos ? version : version.substr(colon + 1);
}

// dnf's "name-version-release.arch" (maybe ending ".rpm") for this package.
bool is_nevra_of(string_view word, string_view name, string_view to) {
  if (!word.starts_with(name) || word.size() <= name.size() || word[name.size()] != '-') {
    return false;
  }
  return word.substr(name.size() + 1).starts_with(without_epoch(to));
}

// "n/m" with 0 < n <= m.
std::optional<std::pair<size_t, size_t>> fraction(string_view text) {
  const size_t slash = text.find('/');
  if (slash == string_view::npos) return std::nullopt;
  const auto at = number<size_t>(text.substr(0, slash));
  const auto of = number<size_t>(text.substr(slash + 1));
  if (!at || !of || *at == 0 || *at > *of) return std::nullopt;
  return std::pair{*at, *of};
}

std::optional<Names> dnf_restart(const RestartQuestion& /*question*/, const CheckSetup& setup) {
  const auto dnf = trusted_tool(setup.places, "dnf");
  if (!dnf) return std::nullopt;
  std::vector<std::string> env = setup.environment;
  env.emplace_back("LC_ALL=C");
  const auto asked = run_captured({*dnf, "-q", "needs-restarting", "-r"}, env, setup.local_limit);
  // 1 with its sentence (in the C locale): a restart is due. dnf without
  // the plugin also exits 1, saying "No such command" on stderr.
  if (asked && !asked.value().timed_out && WIFEXITED(asked.value().wait_status) &&
      WEXITSTATUS(asked.value().wait_status) == 1 &&
      asked.value().out.find("Reboot is required") != std::string::npos) {
    return Names{};
  }
  return std::nullopt;
}

bool is_dnf_error_line(string_view line) {
  return line.starts_with("Error:");
}

// What dnf.conf excludes: asked once more with the excludes set aside, from
// the metadata just fetched.
void hold_excluded(const CheckSetup& setup, ManagerCheck& check) {
  constexpr size_t MAX_CONF = size_t{1024} * 1024;
  const auto patterns =
      parse_dnf_excludes(read_file(under(setup.places, "etc/dnf/dnf.conf"), MAX_CONF).value_or(""));
  if (patterns.empty()) return;
  const auto all =
      ask(setup, "dnf", dnf_args(setup, {"-q", "check-update", "--disableexcludes=main"}),
          setup.local_limit);
  if (!all || (all.value().status != 0 && all.value().status != 100)) return;
  for (PendingUpdate& update : parse_dnf_check_update(all.value().run.out)) {
    const bool listed = std::any_of(check.updates.begin(), check.updates.end(),
                                    [&](const PendingUpdate& u) { return u.name == update.name; });
    if (!listed && dnf_excludes(patterns, update.name)) {
      check.kept_back.push_back({std::move(update.name), HeldReason::HeldByUser, {}, {}});
    }
  }
}

// dnf: `dnf check-update --refresh` refreshes the metadata as the user (in
// a cache of the user's own), asking each repository whether it changed
// rather than trusting metadata up to its expiry old, and exits with 100
// when something is pending. Not allowed the network, it answers from that
// cache as it is, of an age dnf does not tell.
ManagerCheck check_dnf(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Dnf;
  check.refreshed_first = true;
  const auto repos =
      ask(setup, "dnf", dnf_args(setup, {"-q", "repolist", "--enabled"}), setup.local_limit);
  if (!repos) return with_problem(check, repos.error());
  if (repos.value().status == 0 && parse_dnf_repolist(repos.value().run.out).empty()) {
    return with_problem(check, {Problem::NoRepository, {}});
  }
  std::vector<std::string> args = {"-q", "check-update"};
  if (setup.network_allowed) args.emplace_back("--refresh");
  const auto pending = ask(setup, "dnf", dnf_args(setup, std::move(args)), setup.network_limit);
  if (!pending) return with_problem(check, pending.error());
  if (pending.value().status != 0 && pending.value().status != 100) {
    return with_problem(check, failed("dnf", pending.value()));
  }
  check.updates = parse_dnf_check_update(pending.value().run.out);
  if (setup.network_allowed) {
    check.fetched_for_check = true;
    check.data_age_seconds = 0;
  } else {
    check.not_fetched = NOT_ON_THIS_CONNECTION;
  }
  hold_excluded(setup, check);
  if (check.updates.empty()) return check;
  // What is installed now, by name.
  const auto installed =
      ask(setup, "rpm", {"-qa", "--qf", std::string(RPM_INSTALLED_FORMAT)}, setup.local_limit);
  if (installed && installed.value().status == 0) {
    const auto packages = parse_rpm_installed(installed.value().run.out);
    for (PendingUpdate& update : check.updates) {
      const auto found = packages.find(update.name);
      if (found == packages.end()) continue;
      update.from = std::string(found->second.evr);
      // The installed version's summary: a package's rarely changes.
      if (!found->second.summary.empty()) {
        check.about[update.name].description = plain_text(found->second.summary, MAX_DESCRIPTION);
      }
    }
  }
  const auto security =
      ask(setup, "dnf", dnf_args(setup, {"-q", "updateinfo", "list", "--updates", "security"}),
          setup.network_limit);
  if (security && security.value().status == 0) {
    const auto names = parse_dnf_security(security.value().run.out);
    for (PendingUpdate& update : check.updates) {
      update.security = std::find(names.begin(), names.end(), update.name) != names.end();
    }
  }
  name_dnf_advisories(setup, check);
  return check;
}

}  // namespace

// A query of dnf's that reads its metadata: from the cache alone (-C) when
// the check may not use the network.
std::vector<std::string> dnf_args(const CheckSetup& setup, std::vector<std::string> args) {
  if (!setup.network_allowed) args.emplace_back("-C");
  return args;
}

std::vector<PendingUpdate> parse_dnf_check_update(string_view out) {
  std::vector<PendingUpdate> updates;
  // A long name (or version) ends its line; the rest follows indented.
  std::vector<string_view> pending;
  for_each_line(out, [&](string_view line) {
    if (trim(line).starts_with("Obsoleting Packages")) return false;
    const auto found = words(line, 3);
    if (found.empty()) {
      pending.clear();
      return true;
    }
    if (!is_blank(line.front()))
      pending.clear();
    else if (pending.empty())
      return true;
    pending.insert(pending.end(), found.begin(), found.end());
    if (pending.size() < 3) return true;
    const auto name = pending.size() == 3 ? name_of_name_arch(pending[0]) : std::nullopt;
    if (name && pending[1].find('-') != string_view::npos)
      updates.push_back({std::string{*name}, {}, std::string{pending[1]}, false});
    pending.clear();
    return true;
  });
  return updates;
}

std::unordered_map<string_view, RpmInstalled> parse_rpm_installed(string_view out) {
  std::unordered_map<string_view, RpmInstalled> installed;
  text::for_each_line(out, [&](string_view line) {
    const size_t space = line.find(' ');
    if (space == 0 || space == string_view::npos) return true;
    const string_view rest = line.substr(space + 1);
    const size_t second = rest.find(' ');
    const string_view evr = rest.substr(0, second);
    if (evr.empty()) return true;
    installed[line.substr(0, space)] = {
        evr, second == string_view::npos ? string_view{} : text::trim(rest.substr(second + 1))};
    return true;
  });
  return installed;
}

std::vector<std::string> parse_dnf_security(string_view out) {
  std::vector<std::string> names;
  std::unordered_set<string_view> seen;  // views into `out`, which outlives it
  for_each_line(out, [&](string_view line) {
    for (const string_view word : words(line)) {
      const auto name = name_of_nevra(word);
      if (name && seen.insert(*name).second) names.emplace_back(*name);
    }
    return true;
  });
  return names;
}

std::vector<std::string> parse_dnf_repolist(string_view out) {
  std::vector<std::string> ids;
  for_each_line(out, [&](string_view line) {
    if (line.starts_with("repo id")) return true;
    if (line.empty() || is_blank(line.front())) return true;
    ids.emplace_back(words(line, 1).front());
    return true;
  });
  return ids;
}

std::optional<OutputCounter> read_dnf_counter(string_view line) {
  const auto found = words(line);
  if (found.size() < 2) return std::nullopt;
  const string_view first = found.front();
  if (first.size() > 4 && first.front() == '(' && first.ends_with("):")) {
    if (const auto counted = fraction(first.substr(1, first.size() - 3))) {
      return OutputCounter{true, counted->first, counted->second, found[1]};
    }
  }
  // "Upgrading : name 3/10", the verb translated and maybe of several
  // words, the colon spaced or not: the counter last, the package before it.
  if (found.size() >= 3 && found[found.size() - 3].ends_with(':')) {
    if (const auto counted = fraction(found.back())) {
      return OutputCounter{false, counted->first, counted->second, found[found.size() - 2]};
    }
  }
  return std::nullopt;
}

std::vector<KeptConfig> rpm_kept_configs(const std::string& root, std::int64_t from,
                                         std::int64_t to) {
  constexpr string_view RPMNEW = ".rpmnew";
  // /etc holds a few thousand entries; a tree far larger is not walked on.
  constexpr size_t MAX_ENTRIES = 200'000;
  namespace fs = std::filesystem;
  std::vector<KeptConfig> kept;
  const fs::path etc = fs::path(join(root, "etc"));
  std::error_code error;
  fs::recursive_directory_iterator entry(etc, fs::directory_options::skip_permission_denied, error);
  for (size_t seen = 0; !error && entry != fs::recursive_directory_iterator() && seen < MAX_ENTRIES;
       entry.increment(error), ++seen) {
    const std::string name = entry->path().filename();
    if (!name.ends_with(RPMNEW) || name.size() == RPMNEW.size()) continue;
    struct stat st {};
    if (::lstat(entry->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const std::int64_t changed =
        std::int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec;
    if (changed < from || changed > to) continue;
    // Appended rather than "/" + ...: GCC 12 at -O3 sees a false -Wrestrict in
    // operator+(const char*, string&&).
    std::string beside = "/";
    beside += entry->path().lexically_relative(fs::path(root)).string();
    kept.push_back({beside.substr(0, beside.size() - RPMNEW.size()), beside});
  }
  std::sort(kept.begin(), kept.end(),
            [](const KeptConfig& a, const KeptConfig& b) { return a.path < b.path; });
  return kept;
}

const ManagerFacts DNF = {
    check_dnf,
    {{}, {}, nullptr, false, nullptr, read_dnf_counter, is_nevra_of, rpm_kept_configs},
    {is_dnf_error_line, false, {}, nullptr, nullptr},
    dnf_restart,
    dnf_history,
    dnf_what_is_new,
};

}  // namespace sorvane::gui

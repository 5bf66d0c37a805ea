#include "pacman.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <set>

#include "manager_query.hpp"
#include "outside_text.hpp"
#include "pacman_history.hpp"
#include "pacman_ignored.hpp"
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

// pacman names its lock in its error when another pacman holds it.
constexpr std::array<string_view, 1> PACMAN_LOCKS = {"/var/lib/pacman/db.lck"};
constexpr string_view PACMAN_LOG = "var/log/pacman.log";
constexpr string_view PACMAN_CACHE = "var/cache/pacman/pkg";
constexpr string_view MODULES = "usr/lib/modules";

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// What pacman.conf tells pacman to leave alone: pacman marks it
// "[ignored]", and an update it still lists is moved there too.
void hold_ignored(const CheckSetup& setup, std::string_view out, ManagerCheck& check) {
  for (std::string& name : parse_pacman_ignored(out)) {
    check.kept_back.push_back({std::move(name), HeldReason::HeldByUser, {}, {}});
  }
  const PacmanIgnores ignores = read_pacman_ignores(setup.places.root);
  if (ignores.packages.empty() && ignores.groups.empty()) return;
  std::vector<std::string> members;
  if (!ignores.groups.empty()) {
    std::vector<std::string> args = {"-Sg"};
    args.insert(args.end(), ignores.groups.begin(), ignores.groups.end());
    const auto groups = ask(setup, "pacman", std::move(args), setup.local_limit);
    if (groups && groups.value().status == 0) {
      members = parse_pacman_group_members(groups.value().run.out);
    }
  }
  std::erase_if(check.updates, [&](const PendingUpdate& update) {
    if (!pacman_ignores(ignores, update.name, members)) return false;
    check.kept_back.push_back({update.name, HeldReason::HeldByUser, {}, {}});
    return true;
  });
}

// Each pending update's one line, as its installed package gives it (a
// package's description rarely changes; the sync copy checkupdates makes
// is its own).
void describe_pacman_updates(const CheckSetup& setup, ManagerCheck& check) {
  if (check.updates.empty()) return;
  std::vector<std::string> args = {"-Qi"};
  std::transform(check.updates.begin(), check.updates.end(), std::back_inserter(args),
                 [](const PendingUpdate& update) { return update.name; });
  const auto asked = ask(setup, "pacman", std::move(args), setup.local_limit);
  // A name it does not know makes it fail; the rest are still told.
  if (!asked) return;
  for (const auto& described : parse_pacman_descriptions(asked.value().run.out)) {
    const std::string& name = described.first;
    const bool pending =
        std::any_of(check.updates.begin(), check.updates.end(),
                    [&name](const PendingUpdate& update) { return update.name == name; });
    if (pending) check.about[name].description = plain_text(described.second, MAX_DESCRIPTION);
  }
}

// pacman: what the last sync knows (`pacman -Qu`), or a fresh private sync
// with checkupdates when pacman-contrib provides it. The update syncs first.
ManagerCheck check_pacman(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Pacman;
  check.refreshed_first = true;
  const auto repos = ask(setup, "pacman-conf", {"--repo-list"}, setup.local_limit);
  if (!repos) return with_problem(check, repos.error());
  if (repos.value().status != 0) return with_problem(check, failed("pacman-conf", repos.value()));
  if (parse_pacman_repo_list(repos.value().run.out).empty()) {
    return with_problem(check, {Problem::NoRepository, {}});
  }
  if (::access(under(setup.places, PACMAN_LOCKS[0]).c_str(), F_OK) == 0) {
    return with_problem(check, {Problem::LockHeld, "pacman"});
  }
  // checkupdates syncs a copy of the databases of its own: fetched now.
  const bool has_checkupdates = trusted_tool(setup.places, "checkupdates").has_value();
  const bool fresh = setup.network_allowed && has_checkupdates;
  const auto updates = fresh ? ask(setup, "checkupdates", {}, setup.network_limit)
                             : ask(setup, "pacman", {"-Qu"}, setup.local_limit);
  if (!updates) return with_problem(check, updates.error());
  const Asked& asked = updates.value();
  // Both say "nothing" with a status of their own: checkupdates 2, pacman 1.
  const int nothing = fresh ? 2 : 1;
  if (asked.status != 0 && !(asked.status == nothing && asked.run.out.empty())) {
    return with_problem(check, failed(fresh ? "checkupdates" : "pacman", asked));
  }
  check.updates = parse_pacman_updates(asked.run.out);
  hold_ignored(setup, asked.run.out, check);
  describe_pacman_updates(setup, check);
  if (fresh) {
    check.fetched_for_check = true;
    check.data_age_seconds = 0;
  } else {
    check.not_fetched = setup.network_allowed
                            ? std::string("checkupdates (pacman-contrib) is not installed")
                            : std::string(NOT_ON_THIS_CONNECTION);
    const std::string sync = under(setup.places, "var/lib/pacman/sync");
    const std::vector<std::string> repo_names = parse_pacman_repo_list(repos.value().run.out);
    std::vector<std::string> dbs(repo_names.size());
    std::transform(repo_names.begin(), repo_names.end(), dbs.begin(),
                   [&sync](const std::string& repo) { return join(sync, repo + ".db"); });
    check.data_age_seconds = age_of(dbs);
  }
  return check;
}

bool pacman_cached(string_view file, string_view name, string_view to) {
  return file.starts_with(std::string(name) + "-" + std::string(to) + "-") &&
         file.find(".pkg.tar") != string_view::npos && !file.ends_with(".part") &&
         !file.ends_with(".sig");
}

// "warning: /etc/x installed as /etc/x.pacnew" or "warning: extracting
// /etc/x as /etc/x.pacnew", after pacman's "[ALPM] ". The new name is the
// old one and ".pacnew", which finds the path even when it holds spaces.
std::optional<KeptConfig> pacman_kept(string_view text) {
  constexpr string_view WARNING = "warning: ";
  constexpr string_view PACNEW = ".pacnew";
  if (!text.starts_with(WARNING)) return std::nullopt;
  text.remove_prefix(WARNING.size());
  for (const auto& [before, between] :
       {std::pair<string_view, string_view>{"", " installed as "},
        std::pair<string_view, string_view>{"extracting ", " as "}}) {
    if (!text.starts_with(before) || !text.ends_with(PACNEW)) continue;
    const string_view rest = text.substr(before.size());
    if (rest.size() < between.size() + PACNEW.size()) continue;
    const size_t length = (rest.size() - between.size() - PACNEW.size()) / 2;
    const string_view path = rest.substr(0, length);
    if (path.empty() || path.front() != '/' || rest.substr(length, between.size()) != between ||
        rest.substr(length + between.size()) != std::string(path) + std::string(PACNEW)) {
      continue;
    }
    return KeptConfig{std::string(path), std::string(path) + std::string(PACNEW)};
  }
  return std::nullopt;
}

// pacman's line after its time: "+0000] [ALPM] warning: …".
std::optional<KeptConfig> pacman_kept_after_time(string_view rest) {
  constexpr string_view ALPM = "] [ALPM] ";
  const size_t at = rest.find(ALPM);
  if (at == string_view::npos) return std::nullopt;
  return pacman_kept(rest.substr(at + ALPM.size()));
}

std::vector<std::string> pacman_upgraded(string_view log, string_view from, string_view to) {
  // "[2026-12-09T12:03:05+0100] [ALPM] upgraded linux (6.1-1 -> 6.2-1)"
  std::set<string_view> packages;
  text::lines_between(log, from, to, 1, [&](string_view rest) {
    const auto found = words(rest);
    if (found.size() >= 4 && found[1] == "[ALPM]" && found[2] == "upgraded") {
      packages.insert(found[3]);
    }
  });
  return {packages.begin(), packages.end()};
}

// The running kernel's modules are gone once its package was upgraded.
std::optional<Names> pacman_restart(const RestartQuestion& question, const CheckSetup& setup) {
  const std::string modules = join(setup.places.root, MODULES);
  if (!question.kernel_release.empty() && question.kernel_release.find('/') == std::string::npos &&
      exists(modules) && !exists(join(modules, question.kernel_release))) {
    return Names{"linux"};
  }
  return std::nullopt;
}

bool is_pacman_error_line(string_view line) {
  return line.starts_with("error:");
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parse_pacman_descriptions(string_view out) {
  std::vector<std::pair<std::string, std::string>> described;
  std::string name;
  for_each_line(out, [&](string_view line) {
    const size_t colon = line.find(" : ");
    if (colon == string_view::npos) {
      if (trim(line).empty()) name.clear();  // the next package's block
      return true;
    }
    const string_view key = trim(line.substr(0, colon));
    const string_view value = trim(line.substr(colon + 3));
    if (key == "Name") {
      name = value;
    } else if (key == "Description" && !name.empty() && !value.empty() && value != "None") {
      described.emplace_back(name, value);
      name.clear();
    }
    return true;
  });
  return described;
}

std::vector<PendingUpdate> parse_pacman_updates(string_view out) {
  std::vector<PendingUpdate> updates;
  for_each_line(out, [&](string_view line) {
    const auto found = words(line, 4);
    if (found.size() == 4 && found[2] == "->")
      updates.push_back(
          {std::string{found[0]}, std::string{found[1]}, std::string{found[3]}, false});
    return true;
  });
  return updates;
}

std::vector<std::string> parse_pacman_repo_list(string_view out) {
  std::vector<std::string> repos;
  for_each_line(out, [&](string_view line) {
    line = trim(line);
    if (!line.empty() && !has_blank(line)) repos.emplace_back(line);
    return true;
  });
  return repos;
}

LogEvent read_pacman_log_line(string_view line) {
  // "[2026-12-09T10:00:01+0000] [ALPM] upgraded linux (6.1-1 -> 6.2-1)"
  const auto found = words(line);
  if (found.size() < 4 || found[1] != "[ALPM]") return {};
  // The new version: after "->" for an upgrade, alone for an install.
  string_view version = found.back();
  if (found[2] == "upgraded" && found.size() >= 7 && found[5] == "->" && version.ends_with(')')) {
    version.remove_suffix(1);
  } else if (found[2] == "installed" && found.size() == 5 && version.size() > 2 &&
             version.front() == '(' && version.back() == ')') {
    version = version.substr(1, version.size() - 2);
  } else {
    return {};
  }
  return {found[3], version, Stage::Installed};
}

std::optional<KeptConfig> read_pacman_pacnew_line(string_view line) {
  // "[2026-12-09T10:00:01+0000] [ALPM] warning: /etc/x installed as /etc/x.pacnew"
  if (!line.starts_with('[')) return std::nullopt;
  return pacman_kept_after_time(line.substr(1));
}

size_t pacman_upgrades(string_view log, string_view from, string_view to) {
  return pacman_upgraded(log, from, to).size();
}

std::vector<KeptConfig> pacman_kept_configs(string_view log, string_view from, string_view to) {
  std::vector<KeptConfig> kept;
  text::lines_between(log, from, to, 1,
                      [&](string_view rest) { keep_once(kept, pacman_kept_after_time(rest)); });
  return kept;
}

const ManagerFacts PACMAN = {
    check_pacman,
    {{PACMAN_LOG, read_pacman_log_line, read_pacman_pacnew_line, pacman_upgraded,
      pacman_kept_configs},
     PACMAN_CACHE,
     pacman_cached,
     false,
     nullptr,
     nullptr,
     nullptr,
     nullptr},
    {is_pacman_error_line, false, PACMAN_LOCKS, nullptr, nullptr},
    pacman_restart,
    pacman_history,
    nullptr,  // pacman tells nothing of what is new
    // Debian ships pacman to build packages for Arch Linux, with no
    // repository configured.
    {DataName::PackageDatabase, NoRepositoryWords::NoneConfigured, {}},
};

}  // namespace sorvane::gui

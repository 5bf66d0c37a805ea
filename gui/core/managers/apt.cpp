#include "apt.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "apt_changelog.hpp"
#include "apt_foresight.hpp"
#include "apt_held.hpp"
#include "apt_history.hpp"
#include "apt_refresh.hpp"
#include "dpkg_repair.hpp"
#include "failure_cause.hpp"
#include "manager_query.hpp"
#include "path.hpp"
#include "restart_needed.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::lines_between;
using text::words;

// The package database locks: a program holding any of them is installing
// or fetching, and the update would wait for it or fail. apt names them in
// its error when another program holds them (untranslated paths).
constexpr std::array<string_view, 4> APT_LOCKS = {"/var/lib/dpkg/lock-frontend",
                                                  "/var/lib/dpkg/lock", "/var/lib/apt/lists/lock",
                                                  "/var/cache/apt/archives/lock"};
// dpkg's database and the journal of a run that did not finish: readable by
// every user, and a desktop's database is a few MB.
constexpr string_view DPKG_STATUS = "var/lib/dpkg/status";
constexpr string_view DPKG_JOURNAL = "var/lib/dpkg/updates";
constexpr size_t MAX_DPKG_DATABASE = size_t{64} * 1024 * 1024;
// How many unfinished packages a reason names.
constexpr size_t NAMED_UNFINISHED = 5;
constexpr string_view DPKG_LOG = "var/log/dpkg.log";
constexpr string_view APT_CACHE = "var/cache/apt/archives";
// Where apt and dpkg write during an update, most specific first: the
// download cache, the package lists, dpkg's database, then what packages
// install into.
constexpr std::array<string_view, 7> APT_WRITES = {
    "/var/cache/apt/archives", "/var/lib/apt/lists", "/var/lib/dpkg", "/boot", "/usr", "/var", "/"};

// The packages an interrupted or failed dpkg run left unfinished, as dpkg
// itself would read its database: the status file, then the journal
// entries (files named by number only) in order.
DpkgLeft dpkg_unfinished(const CheckPlaces& places, const std::string& status) {
  std::vector<std::string> texts = {status};
  std::vector<std::filesystem::path> journal;
  std::error_code error;
  // Never the throwing increment: a journal that cannot be listed is skipped.
  for (std::filesystem::directory_iterator entry(under(places, DPKG_JOURNAL), error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename();
    if (!name.empty() &&
        std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      journal.push_back(entry->path());
    }
  }
  std::sort(journal.begin(), journal.end());
  for (const auto& entry : journal) {
    if (auto text = read_file(entry, MAX_STATE_FILE)) texts.push_back(std::move(*text));
  }
  return parse_dpkg_left({texts.begin(), texts.end()});
}

std::string named_briefly(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < NAMED_UNFINISHED; ++i) {
    if (i > 0) text += ", ";
    text += names[i];
  }
  if (names.size() > NAMED_UNFINISHED) text += ", …";
  return text;
}

// apt: what `apt upgrade` would do (new packages allowed, as it allows
// them), simulated from lists refreshed as the user into a cache of their
// own (apt_refresh.hpp), else from the system's as they are; the update
// refreshes the system's.
ManagerCheck check_apt(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Apt;
  check.refreshed_first = true;
  if (auto held = a_lock_held(setup.places, APT_LOCKS)) return with_problem(check, *held);
  const std::string status =
      read_file(under(setup.places, DPKG_STATUS), MAX_DPKG_DATABASE).value_or("");
  if (const auto unfinished = dpkg_unfinished(setup.places, status); !unfinished.packages.empty()) {
    check.repair = unfinished.reinstall ? DpkgRepair::ConfigureThenFix : DpkgRepair::Configure;
    return with_problem(check, {Problem::DpkgInterrupted, named_briefly(unfinished.packages)});
  }
  // Fresh lists of the user's own first; the system's when they cannot be had.
  const AptRefresh refresh = refresh_private_lists(setup);
  const std::vector<std::string> lists =
      refresh.dir.empty() ? std::vector<std::string>{} : private_list_options(refresh.dir);
  const auto apt_args = [&lists](std::vector<std::string> args) {
    args.insert(args.end(), lists.begin(), lists.end());
    return args;
  };
  const std::vector<std::string> no_lock = {"-o", "Debug::NoLocking=true", "--with-new-pkgs",
                                            "upgrade"};
  std::vector<std::string> uris = {"-qq", "--print-uris"};
  uris.insert(uris.end(), no_lock.begin(), no_lock.end());
  // What the update fetches is what the system's archive cache lacks, so
  // that is the cache apt counts against (read only: --print-uris fetches
  // nothing), not the private one beside the user's lists.
  const std::vector<std::string> system_archives = {
      "-o", "Dir::Cache::Archives=" + under(setup.places, "var/cache/apt/archives") + "/"};
  // The sizes come from a second run of apt-get, alongside the first.
  std::optional<Result<Asked, CheckProblem>> download;
  std::jthread sizes([&] {
    std::vector<std::string> args = apt_args(uris);
    args.insert(args.end(), system_archives.begin(), system_archives.end());
    download = ask(setup, "apt-get", std::move(args), setup.local_limit);
  });
  std::vector<std::string> simulate = {"-s", "-o", "APT::Get::Show-User-Simulation-Note=false"};
  simulate.insert(simulate.end(), no_lock.begin(), no_lock.end());
  const auto simulated = ask(setup, "apt-get", apt_args(simulate), setup.local_limit);
  sizes.join();
  if (!simulated) return with_problem(check, simulated.error());
  if (simulated.value().status != 0) {
    return with_problem(check, failed("apt-get", simulated.value()));
  }
  check.updates = parse_apt_simulation(simulated.value().run.out);
  std::vector<std::string> kept = parse_apt_kept_back(simulated.value().run.out);
  for (std::string& deferred : parse_apt_phasing_deferred(simulated.value().run.out)) {
    if (std::find(kept.begin(), kept.end(), deferred) == kept.end()) kept.push_back(deferred);
  }
  check.kept_back = apt_held_reasons(
      kept, status, simulated.value().run.out,
      [&setup](std::string_view tool, std::vector<std::string> args) -> std::optional<std::string> {
        auto asked = ask(setup, tool, std::move(args), setup.local_limit);
        if (!asked || asked.value().status != 0) return std::nullopt;
        return std::move(asked.value().run.out);
      });
  if (download && *download && download->value().status == 0) {
    check.download_bytes = parse_apt_download_size(download->value().run.out);
  }
  describe_apt_updates(setup, lists, check);
  check.data_age_seconds =
      refresh.dir.empty() ? system_lists_age(setup.places) : refresh.age_seconds;
  check.fetched_for_check = !refresh.dir.empty() && refresh.why_not.empty();
  check.not_fetched = refresh.why_not;
  AptForesight foresight =
      foresee_apt(setup.places, status, check.updates, check.download_bytes,
                  [&setup, &apt_args](std::string_view tool,
                                      std::vector<std::string> args) -> std::optional<std::string> {
                    if (tool == "apt-cache") args = apt_args(std::move(args));
                    auto asked = ask(setup, tool, args, setup.local_limit);
                    if (!asked) return std::nullopt;
                    return std::move(asked.value().run.out);
                  });
  check.space = std::move(foresight.space);
  check.kept_conffiles = std::move(foresight.kept_conffiles);
  return check;
}

// A version as it appears in a file name: apt writes an epoch's ":" as "%3a".
std::string apt_file_version(string_view version) {
  std::string text;
  for (const char c : version) {
    if (c == ':') {
      text += "%3a";
    } else {
      text += c;
    }
  }
  return text;
}

bool apt_cached(string_view file, string_view name, string_view to) {
  return file.starts_with(std::string(name) + "_" + apt_file_version(to) + "_") &&
         file.ends_with(".deb");
}

// "conffile /etc/x keep", after the time. A path may hold spaces: all
// between the two words is the path.
std::optional<KeptConfig> dpkg_kept(string_view rest) {
  constexpr string_view WORD = "conffile ";
  constexpr string_view KEEP = " keep";
  while (rest.starts_with(' ')) rest.remove_prefix(1);
  if (!rest.starts_with(WORD) || !rest.ends_with(KEEP)) return std::nullopt;
  const string_view path = rest.substr(WORD.size(), rest.size() - WORD.size() - KEEP.size());
  if (!path.starts_with('/')) return std::nullopt;
  return KeptConfig{std::string(path), std::string(path) + ".dpkg-dist"};
}

std::vector<std::string> dpkg_upgraded_names(string_view log, string_view from, string_view to) {
  return dpkg_upgraded(log, from, to);
}

// Debian and Ubuntu: /run/reboot-required (and its .pkgs, the packages that
// asked), which update-notifier's hooks write; where nothing writes it
// (Debian without unattended-upgrades), an updated package that only takes
// effect on a restart.
constexpr string_view REBOOT_REQUIRED = "run/reboot-required";
constexpr string_view REBOOT_REQUIRED_PACKAGES = "run/reboot-required.pkgs";
// How many package names /run/reboot-required.pkgs gives at most.
constexpr size_t MAX_NAMED = 50;
// Packages named exactly so, or beginning so (linux-image-6.1.0-28-amd64,
// firmware-misc-nonfree).
constexpr std::array<string_view, 5> DEBIAN_EXACT = {"libc6", "systemd", "dbus", "dbus-daemon",
                                                     "dbus-broker"};
constexpr std::array<string_view, 4> DEBIAN_PREFIXES = {"linux-image-", "firmware-",
                                                        "intel-microcode", "amd64-microcode"};

std::vector<std::string> named_in(const std::string& path) {
  std::vector<std::string> names;
  std::ifstream file(path);
  std::string line;
  while (names.size() < MAX_NAMED && std::getline(file, line)) {
    if (!line.empty() && std::find(names.begin(), names.end(), line) == names.end()) {
      names.push_back(line);
    }
  }
  return names;
}

std::optional<Names> apt_restart(const RestartQuestion& question, const CheckSetup& setup) {
  std::optional<Names> because;
  struct stat st {};
  if (::lstat(join(setup.places.root, REBOOT_REQUIRED).c_str(), &st) == 0) {
    because = named_in(join(setup.places.root, REBOOT_REQUIRED_PACKAGES));
  }
  for (const std::string& name : question.updated_by(Step::Apt)) {
    if (!needs_restart_on_debian(name)) continue;
    if (!because) because.emplace();
    because->push_back(name);
  }
  return because;
}

// apt waits for the frontend lock; dpkg's own is held with it.
std::string apt_lock_holder(string_view lock, const CheckPlaces& places) {
  const std::string held = under(places, lock);
  if (!lock.starts_with("/var/lib/dpkg/lock")) return lock_held(places, held).value_or("");
  return lock_held(places, under(places, "/var/lib/dpkg/lock-frontend"))
      .value_or(lock_held(places, held).value_or(""));
}

FailureCause apt_failure_cause(string_view error_line, const CheckPlaces& places) {
  const std::string& root = places.root;
  // apt's own check before downloading names the directory; its write
  // errors carry the errno, 28 (ENOSPC), as a number.
  if (error_line.starts_with("E:") && names_path(error_line, "/var/cache/apt/archives") &&
      error_line.find("://") == string_view::npos) {
    return no_space(root, "/var/cache/apt/archives");
  }
  if (error_line.starts_with("E:") && error_line.find("(28: ") != string_view::npos) {
    const auto named = std::find_if(APT_WRITES.begin(), APT_WRITES.end(), [&](string_view path) {
      return path != "/" && names_path(error_line, path);
    });
    if (named != APT_WRITES.end()) return no_space(root, *named);
    // A download that could not be written: apt writes it to its cache.
    if (error_line.find("://") != string_view::npos) {
      return no_space(root, "/var/cache/apt/archives");
    }
  }
  if (error_line.starts_with("E:") && error_line.find("://") != string_view::npos) {
    return {Cause::Unreachable, {}, 0, url_host(error_line), {}, {}, {}};
  }
  const DpkgLeftOver left =
      dpkg_left_over(read_file(under(places, DPKG_STATUS), MAX_DPKG_DATABASE).value_or(""), root);
  // Out of room: a filesystem dpkg writes to is (nearly) full now.
  for (const string_view path : APT_WRITES) {
    const auto free = free_bytes(under(places, path));
    if (free && *free < NEARLY_FULL_BYTES && left.question_package.empty()) {
      return no_space(root, path);
    }
  }
  if (!left.failed_script.empty()) {
    return {Cause::ScriptFailed, {}, 0, {}, {}, left.failed_script, {}};
  }
  if (!left.question_package.empty()) {
    return {Cause::ConfigQuestion, {}, 0, {}, {}, left.question_package, left.question_file};
  }
  return {};
}

}  // namespace

bool needs_restart_on_debian(const std::string& package) {
  return std::any_of(DEBIAN_EXACT.begin(), DEBIAN_EXACT.end(),
                     [&](string_view name) { return package == name; }) ||
         std::any_of(DEBIAN_PREFIXES.begin(), DEBIAN_PREFIXES.end(),
                     [&](string_view prefix) { return package.starts_with(prefix); });
}

bool is_apt_error_line(string_view line) {
  return line.starts_with("E:") || line.starts_with("dpkg: error");
}

namespace {

// apt reports a failed download or a held package this way, and still
// exits with 0.
bool is_apt_warning_line(string_view line) {
  return line.starts_with("W:") || line.starts_with("E:");
}

// debconf says on every package that it cannot ask (it may not: nothing
// can answer).
bool is_debconf_noise(string_view line) {
  return line.starts_with("debconf: ");
}

}  // namespace

LogEvent read_dpkg_log_line(string_view line) {
  // "2026-12-09 10:00:01 status installed libssl3:amd64 3.0.22-1~deb12u2"
  const auto found = words(line);
  if (found.size() < 6 || found[2] != "status") return {};
  const Stage stage = found[3] == "installed"  ? Stage::Installed
                      : found[3] == "unpacked" ? Stage::Unpacked
                                               : Stage::None;
  if (stage == Stage::None) return {};
  const string_view package = found[4].substr(0, found[4].find(':'));
  return {package, found[5], stage};
}

std::optional<KeptConfig> read_dpkg_conffile_line(string_view line) {
  // "2026-12-09 19:20:57 conffile /etc/sorvane-probe/edited.conf keep"
  if (line.size() <= LOG_TIME_LENGTH) return std::nullopt;
  return dpkg_kept(line.substr(LOG_TIME_LENGTH));
}

std::vector<std::string> dpkg_upgraded(string_view log, string_view from, string_view to) {
  // "2026-12-09 12:03:05 upgrade libssl3:amd64 3.0.11-1 3.0.15-1"
  std::set<string_view> packages;
  text::lines_between(log, from, to, 0, [&](string_view rest) {
    const auto found = words(rest);
    if (found.size() == 4 && found[0] == "upgrade") {
      packages.insert(found[1].substr(0, found[1].find(':')));
    }
  });
  return {packages.begin(), packages.end()};
}

size_t dpkg_upgrades(string_view log, string_view from, string_view to) {
  return dpkg_upgraded(log, from, to).size();
}

std::vector<KeptConfig> dpkg_kept_configs(string_view log, string_view from, string_view to) {
  std::vector<KeptConfig> kept;
  text::lines_between(log, from, to, 0,
                      [&](string_view rest) { keep_once(kept, dpkg_kept(rest)); });
  return kept;
}

constexpr std::array<std::string_view, 2> APT_MAKE_ROOM = {"sudo apt clean", "sudo apt autoremove"};

const ManagerFacts APT = {
    check_apt,
    {{DPKG_LOG, read_dpkg_log_line, read_dpkg_conffile_line, dpkg_upgraded_names,
      dpkg_kept_configs},
     APT_CACHE,
     apt_cached,
     true,
     nullptr,
     nullptr,
     nullptr,
     nullptr},
    {is_apt_error_line, true, APT_LOCKS, apt_lock_holder, apt_failure_cause, is_apt_warning_line,
     is_debconf_noise},
    apt_restart,
    apt_history,
    apt_changelog,
    {DataName::Lists, NoRepositoryWords::NoneEnabled, APT_MAKE_ROOM},
};

}  // namespace sorvane::gui

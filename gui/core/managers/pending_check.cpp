#include "pending_check.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <span>
#include <thread>
#include <unordered_map>

#include "apt_foresight.hpp"
#include "child_process.hpp"
#include "files.hpp"
#include "path.hpp"
#include "path_trust.hpp"
#include "script_programs.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

// Small files the kernel or a manager keeps: /proc/locks, routes, comm.
constexpr size_t MAX_STATE_FILE = size_t{1024} * 1024;
// How much of a failed query's own words is kept for its reason.
constexpr size_t MAX_DETAIL = 300;

// The package database locks: a program holding any of them is installing
// or fetching, and the update would wait for it or fail.
constexpr std::array<std::string_view, 4> APT_LOCKS = {
    "var/lib/dpkg/lock-frontend", "var/lib/dpkg/lock", "var/lib/apt/lists/lock",
    "var/cache/apt/archives/lock"};
constexpr std::string_view PACMAN_LOCK = "var/lib/pacman/db.lck";
constexpr std::string_view SNAPD_SOCKET = "run/snapd.socket";
// dpkg's database and the journal of a run that did not finish: readable by
// every user, and a desktop's database is a few MB.
constexpr std::string_view DPKG_STATUS = "var/lib/dpkg/status";
constexpr std::string_view DPKG_JOURNAL = "var/lib/dpkg/updates";
constexpr size_t MAX_DPKG_DATABASE = size_t{64} * 1024 * 1024;
// How many unfinished packages a reason names.
constexpr size_t NAMED_UNFINISHED = 5;

std::string under(const CheckPlaces& places, std::string_view relative) {
  return join(places.root, relative);
}

// The first line of what a query printed, for a reason a person can act on.
std::string first_words(const Captured& run) {
  std::string_view text = run.err.empty() ? std::string_view(run.out) : std::string_view(run.err);
  while (!text.empty() && (text.front() == '\n' || text.front() == ' ')) text.remove_prefix(1);
  text = text.substr(0, text.find('\n'));
  return std::string(text.substr(0, MAX_DETAIL));
}

int exit_code(const Captured& run) {
  return WIFEXITED(run.wait_status) ? WEXITSTATUS(run.wait_status)
                                    : 128 + WTERMSIG(run.wait_status);
}

CheckProblem could_not(std::string detail) {
  return {Problem::CouldNotCheck, std::move(detail)};
}

std::vector<std::string> query_environment(const CheckSetup& setup) {
  std::vector<std::string> env;
  std::copy_if(setup.environment.begin(), setup.environment.end(), std::back_inserter(env),
               [](const std::string& variable) {
                 return !variable.starts_with("LANG=") && !variable.starts_with("PATH=");
               });
  env.emplace_back("LC_ALL=C");
  std::string path = "PATH=";
  for (const std::string& dir : setup.places.path_dirs) {
    if (path.size() > 5) path += ':';
    path += dir;
  }
  env.push_back(std::move(path));
  return env;
}

struct Asked {
  Captured run;
  int status = 0;
};

// Runs one query: the tool by its trusted path, the arguments as given.
Result<Asked, CheckProblem> ask(const CheckSetup& setup, std::string_view tool,
                                std::vector<std::string> args, std::chrono::milliseconds limit) {
  const auto program = trusted_tool(setup.places, tool);
  if (!program) return could_not(std::string(tool) + " was not found where the update finds it");
  args.insert(args.begin(), *program);
  auto ran = run_captured(args, query_environment(setup), limit, MAX_QUERY_OUTPUT);
  if (!ran) return could_not(std::string(tool) + ": " + ran.error().text());
  if (ran.value().timed_out) {
    return could_not(
        std::string(tool) + " did not answer within " +
        std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limit).count()) + " s");
  }
  if (ran.value().cut) return could_not(std::string(tool) + " printed more than can be read");
  Asked asked{std::move(ran.value()), 0};
  asked.status = exit_code(asked.run);
  return asked;
}

CheckProblem failed(std::string_view tool, const Asked& asked) {
  std::string detail = std::string(tool) + " exited with status " + std::to_string(asked.status);
  const std::string words = first_words(asked.run);
  if (!words.empty()) detail += ": " + words;
  return could_not(std::move(detail));
}

// Seconds since the newest of `paths` changed; nothing when none exists.
std::optional<std::int64_t> age_of(const std::vector<std::string>& paths) {
  std::optional<std::int64_t> newest;
  for (const std::string& path : paths) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) continue;
    newest = std::max(newest.value_or(st.st_mtim.tv_sec), std::int64_t{st.st_mtim.tv_sec});
  }
  if (!newest) return std::nullopt;
  return std::max(std::int64_t{0}, std::int64_t{std::time(nullptr)} - *newest);
}

std::optional<CheckProblem> a_lock_held(const CheckPlaces& places,
                                        std::span<const std::string_view> locks) {
  std::vector<std::string> paths(locks.size());
  std::transform(locks.begin(), locks.end(), paths.begin(),
                 [&](std::string_view lock) { return under(places, lock); });
  if (auto holder = lock_held(places, paths)) return CheckProblem{Problem::LockHeld, *holder};
  return std::nullopt;
}

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

constexpr std::string_view FLATPAK_SYSTEM = "var/lib/flatpak";

// The user's installation: $HOME/.local/share/flatpak, or under
// $XDG_DATA_HOME when that is set.
std::optional<SpaceNeed> user_flatpak_need(const CheckSetup& setup, std::uint64_t bytes) {
  std::string home;
  std::string data;
  for (const std::string& variable : setup.environment) {
    if (variable.starts_with("HOME=")) home = variable.substr(5);
    if (variable.starts_with("XDG_DATA_HOME=")) data = variable.substr(14);
  }
  if (!data.starts_with('/')) data = home.starts_with('/') ? join(home, ".local/share") : "";
  if (data.empty()) return std::nullopt;
  return space_need(setup.places.proc, "/", join(data, "flatpak").substr(1), bytes);
}

ManagerCheck with_problem(ManagerCheck check, CheckProblem problem) {
  check.problem = std::move(problem);
  return check;
}

}  // namespace

std::optional<std::string> trusted_tool(const CheckPlaces& places, std::string_view name) {
  for (const std::string& dir : places.path_dirs) {
    const std::string candidate = join(dir, name);
    struct stat st {};
    if (::stat(candidate.c_str(), &st) != 0 || S_ISDIR(st.st_mode) ||
        ::access(candidate.c_str(), X_OK) != 0) {
      continue;
    }
    if (untrusted_on_the_way(candidate, places.owners)) return std::nullopt;
    return candidate;
  }
  return std::nullopt;
}

CheckPlaces system_places() {
  return {script_path_dirs(), "/", "/proc", {0}};
}

bool online(const CheckPlaces& places) {
  const auto v4 = read_file(join(places.proc, "net/route"), MAX_STATE_FILE);
  const auto v6 = read_file(join(places.proc, "net/ipv6_route"), MAX_STATE_FILE);
  // Without either file there is nothing to go by: not a reason to stop.
  if (!v4 && !v6) return true;
  return has_default_route(v4.value_or(""), v6.value_or(""));
}

namespace {

// The kernel keeps 15 bytes of a program's name: /proc/PID/comm says
// "unattended-upgr". Its command line, readable by every user, holds the
// whole name of the script or program that was started.
constexpr size_t COMM_KEPT = 15;
constexpr size_t MAX_PROGRAM_NAME = 100;

std::string program_name(const CheckPlaces& places, pid_t pid) {
  const std::string dir = join(places.proc, std::to_string(pid));
  std::string name = read_file(join(dir, "comm"), MAX_PROGRAM_NAME).value_or("");
  while (!name.empty() && name.back() == '\n') name.pop_back();
  if (name.size() != COMM_KEPT) return name;
  const std::string command = read_file(join(dir, "cmdline"), MAX_STATE_FILE).value_or("");
  std::string_view args = command;
  while (!args.empty()) {
    const std::string_view arg = args.substr(0, args.find('\0'));
    args.remove_prefix(std::min(args.size(), arg.size() + 1));
    const std::string_view base = arg.substr(arg.rfind('/') + 1);
    if (base.size() > name.size() && base.size() <= MAX_PROGRAM_NAME && base.starts_with(name)) {
      return std::string(base);
    }
  }
  return name;
}

}  // namespace

std::optional<std::string> lock_held(const CheckPlaces& places, const std::string& path) {
  return lock_held(places, std::vector<std::string>{path});
}

std::optional<std::string> lock_held(const CheckPlaces& places,
                                     const std::vector<std::string>& paths) {
  std::vector<LockedFile> files;
  for (const std::string& path : paths) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) continue;
    LockedFile file{{st.st_dev}, st.st_ino};
    if (const auto mount = mount_of(places.proc, path); mount && mount->device != st.st_dev) {
      file.devices.push_back(mount->device);
    }
    files.push_back(std::move(file));
  }
  if (files.empty()) return std::nullopt;
  // All of it: another user's locks may come first, as many as they like.
  std::optional<pid_t> pid;
  each_line_of(join(places.proc, "locks"), [&](std::string_view line) {
    for (const LockedFile& file : files) {
      if (const auto holder = lock_line_holder(line, file))
        pid = std::max(pid.value_or(0), *holder);
    }
    return !(pid && *pid > 0);
  });
  if (!pid) return std::nullopt;
  if (*pid <= 0) return std::string("another program");
  std::string name = program_name(places, *pid);
  if (name.empty()) name = "a program";
  return name + " (process " + std::to_string(*pid) + ")";
}

std::optional<Step> stopping_step(const std::vector<ManagerCheck>& checks) {
  std::optional<Step> first;
  for (const ManagerCheck& check : checks) {
    if (check.problem && stops_update(check.problem->why) && (!first || check.step < *first)) {
      first = check.step;
    }
  }
  return first;
}

ManagerCheck check_manager(Step step, const CheckSetup& setup) {
  return manager(step).check(setup);
}

std::vector<ManagerCheck> check_all(const std::vector<Step>& steps, const CheckSetup& setup) {
  std::vector<ManagerCheck> checks(steps.size());
  {
    std::vector<std::jthread> askers;
    askers.reserve(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
      askers.emplace_back(
          [&checks, &steps, &setup, i] { checks[i] = check_manager(steps[i], setup); });
    }
  }  // every asker joined
  return checks;
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
  if (::access(under(setup.places, PACMAN_LOCK).c_str(), F_OK) == 0) {
    return with_problem(check, {Problem::LockHeld, "pacman"});
  }
  const bool fresh = trusted_tool(setup.places, "checkupdates").has_value();
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
  if (fresh) {
    check.data_age_seconds = 0;
  } else {
    const std::string sync = under(setup.places, "var/lib/pacman/sync");
    const std::vector<std::string> repo_names = parse_pacman_repo_list(repos.value().run.out);
    std::vector<std::string> dbs(repo_names.size());
    std::transform(repo_names.begin(), repo_names.end(), dbs.begin(),
                   [&sync](const std::string& repo) { return join(sync, repo + ".db"); });
    check.data_age_seconds = age_of(dbs);
  }
  return check;
}

// apt: what `apt upgrade` would do (new packages allowed, as it allows
// them), simulated from the lists as they are; the update refreshes them.
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
  const std::vector<std::string> no_lock = {"-o", "Debug::NoLocking=true", "--with-new-pkgs",
                                            "upgrade"};
  std::vector<std::string> uris = {"-qq", "--print-uris"};
  uris.insert(uris.end(), no_lock.begin(), no_lock.end());
  // The sizes come from a second run of apt-get, alongside the first.
  std::optional<Result<Asked, CheckProblem>> download;
  std::jthread sizes([&] { download = ask(setup, "apt-get", uris, setup.local_limit); });
  std::vector<std::string> simulate = {"-s", "-o", "APT::Get::Show-User-Simulation-Note=false"};
  simulate.insert(simulate.end(), no_lock.begin(), no_lock.end());
  const auto simulated = ask(setup, "apt-get", simulate, setup.local_limit);
  sizes.join();
  if (!simulated) return with_problem(check, simulated.error());
  if (simulated.value().status != 0) {
    return with_problem(check, failed("apt-get", simulated.value()));
  }
  check.updates = parse_apt_simulation(simulated.value().run.out);
  check.kept_back = parse_apt_kept_back(simulated.value().run.out);
  if (download && *download && download->value().status == 0) {
    check.download_bytes = parse_apt_download_size(download->value().run.out);
  }
  const std::string lists = under(setup.places, "var/lib/apt/lists");
  check.data_age_seconds =
      age_of({lists, join(lists, "partial"),
              under(setup.places, "var/lib/apt/periodic/update-success-stamp")});
  AptForesight foresight = foresee_apt(
      setup.places, status, check.updates, check.download_bytes,
      [&setup](std::string_view tool, std::vector<std::string> args) -> std::optional<std::string> {
        auto asked = ask(setup, tool, std::move(args), setup.local_limit);
        if (!asked) return std::nullopt;
        return std::move(asked.value().run.out);
      });
  check.space = std::move(foresight.space);
  check.kept_conffiles = std::move(foresight.kept_conffiles);
  return check;
}

// dnf: `dnf check-update` refreshes the metadata as the user (in a cache of
// the user's own) and exits with 100 when something is pending.
ManagerCheck check_dnf(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Dnf;
  check.refreshed_first = true;
  const auto repos = ask(setup, "dnf", {"-q", "repolist", "--enabled"}, setup.local_limit);
  if (!repos) return with_problem(check, repos.error());
  if (repos.value().status == 0 && parse_dnf_repolist(repos.value().run.out).empty()) {
    return with_problem(check, {Problem::NoRepository, {}});
  }
  const auto pending = ask(setup, "dnf", {"-q", "check-update"}, setup.network_limit);
  if (!pending) return with_problem(check, pending.error());
  if (pending.value().status != 0 && pending.value().status != 100) {
    return with_problem(check, failed("dnf", pending.value()));
  }
  check.updates = parse_dnf_check_update(pending.value().run.out);
  check.data_age_seconds = 0;
  if (check.updates.empty()) return check;
  // What is installed now, by name.
  const auto installed = ask(setup, "rpm", {"-qa", "--qf", "%{NAME} %{EVR}\\n"}, setup.local_limit);
  if (installed && installed.value().status == 0) {
    std::unordered_map<std::string_view, std::string_view> versions;
    std::string_view text = installed.value().run.out;
    while (!text.empty()) {
      const std::string_view line = text.substr(0, text.find('\n'));
      text.remove_prefix(std::min(text.size(), line.size() + 1));
      const size_t space = line.find(' ');
      if (space != std::string_view::npos) versions[line.substr(0, space)] = line.substr(space + 1);
    }
    for (PendingUpdate& update : check.updates) {
      if (const auto found = versions.find(update.name); found != versions.end()) {
        update.from = std::string(found->second);
      }
    }
  }
  const auto security =
      ask(setup, "dnf", {"-q", "updateinfo", "list", "--updates", "security"}, setup.network_limit);
  if (security && security.value().status == 0) {
    const auto names = parse_dnf_security(security.value().run.out);
    for (PendingUpdate& update : check.updates) {
      update.security = std::find(names.begin(), names.end(), update.name) != names.end();
    }
  }
  return check;
}

// snap: snapd answers for the store; without it, `snap refresh` fails.
ManagerCheck check_snap(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Snap;
  check.refreshed_first = true;
  if (::access(under(setup.places, SNAPD_SOCKET).c_str(), F_OK) != 0) {
    return with_problem(check, {Problem::SnapdNotRunning, {}});
  }
  const auto pending = ask(setup, "snap", {"refresh", "--list"}, setup.network_limit);
  if (!pending) return with_problem(check, pending.error());
  if (pending.value().status != 0) {
    const std::string words = first_words(pending.value().run);
    if (words.find("cannot communicate with server") != std::string::npos) {
      return with_problem(check, {Problem::SnapdNotRunning, words});
    }
    return with_problem(check, failed("snap", pending.value()));
  }
  check.updates = parse_snap_refresh_list(pending.value().run.out);
  check.data_age_seconds = 0;
  return check;
}

// flatpak: the system installation and the user's, each asked of its
// remotes; the update covers both.
ManagerCheck check_flatpak(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Flatpak;
  check.refreshed_first = true;
  check.download_bytes = 0;
  for (const char* installation : {"--system", "--user"}) {
    const auto pending =
        ask(setup, "flatpak",
            {"remote-ls", installation, "--updates", std::string(FLATPAK_UPDATES_COLUMNS)},
            setup.network_limit);
    if (!pending) return with_problem(check, pending.error());
    if (pending.value().status != 0) return with_problem(check, failed("flatpak", pending.value()));
    FlatpakPending found = parse_flatpak_updates(pending.value().run.out);
    check.updates.insert(check.updates.end(), found.updates.begin(), found.updates.end());
    if (found.download_bytes && *found.download_bytes > 0) {
      // The download goes into the installation's own repository.
      auto need = installation == std::string_view("--system")
                      ? space_need(setup.places.proc, setup.places.root, FLATPAK_SYSTEM,
                                   *found.download_bytes)
                      : user_flatpak_need(setup, *found.download_bytes);
      if (need) check.space.push_back(std::move(*need));
    }
    if (!found.download_bytes) {
      check.download_bytes.reset();
    } else if (check.download_bytes) {
      *check.download_bytes += *found.download_bytes;
    }
  }
  check.data_age_seconds = 0;
  return check;
}

}  // namespace sorvane::gui

#include "pending_check.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <span>
#include <thread>
#include <unordered_map>

#include "manager_facts.hpp"
#include "manager_query.hpp"
#include "path.hpp"
#include "path_trust.hpp"
#include "script_programs.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

// How much of a failed query's own words is kept for its reason.
constexpr size_t MAX_DETAIL = 300;

}  // namespace

std::string under(const CheckPlaces& places, std::string_view path) {
  while (path.starts_with('/')) path.remove_prefix(1);
  return path.empty() ? places.root : join(places.root, path);
}

// The first line of what a query printed, for a reason a person can act on.
std::string first_words(const Captured& run) {
  std::string_view text = run.err.empty() ? std::string_view(run.out) : std::string_view(run.err);
  while (!text.empty() && (text.front() == '\n' || text.front() == ' ')) text.remove_prefix(1);
  text = text.substr(0, text.find('\n'));
  return std::string(text.substr(0, MAX_DETAIL));
}

CheckProblem could_not(std::string detail) {
  return {Problem::CouldNotCheck, std::move(detail)};
}

namespace {

int exit_code(const Captured& run) {
  return WIFEXITED(run.wait_status) ? WEXITSTATUS(run.wait_status)
                                    : 128 + WTERMSIG(run.wait_status);
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

}  // namespace

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

ManagerCheck with_problem(ManagerCheck check, CheckProblem problem) {
  check.problem = std::move(problem);
  return check;
}

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

namespace {

// An XDG base directory: `variable` when absolute, else `under_home` in
// $HOME; empty without an absolute HOME.
std::string xdg_home(const char* variable, std::string_view under_home) {
  // NOLINTBEGIN(concurrency-mt-unsafe): nothing in the program sets them
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return set;
  const char* home = std::getenv("HOME");
  // NOLINTEND(concurrency-mt-unsafe)
  if (home == nullptr || home[0] != '/' || std::string_view(home) == "/") return {};
  return join(home, under_home);
}

}  // namespace

std::string user_cache_home() {
  return xdg_home("XDG_CACHE_HOME", ".cache");
}

std::string user_data_home() {
  return xdg_home("XDG_DATA_HOME", ".local/share");
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
  return facts(step).check(setup);
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

}  // namespace sorvane::gui

#include "apt_refresh.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "manager_query.hpp"
#include "path.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

// What apt writes under the private directory: the lists and the downloads
// in progress, and the binary cache it builds from them.
constexpr std::array<string_view, 5> PRIVATE_DIRS = {"lists", "lists/partial", "cache",
                                                     "cache/archives", "cache/archives/partial"};
// Written after each refresh that succeeded: its time is the lists' age
// (an unchanged list is not written again).
constexpr string_view STAMP = "refreshed";
constexpr string_view LOCK = "lock";
// The hooks the system's configuration runs around `apt update` (a
// database of commands, a notifier's stamp): for the system's lists, not
// these, and most would fail as the user. And the binary caches kept
// beside the lists even where the system keeps none (container images
// set them ""): `apt-get update` builds them once, under the lock, and
// every question after reads them instead of parsing every list again,
// two at a time.
constexpr string_view CLEAR_HOOKS =
    "#clear APT::Update::Pre-Invoke;\n"
    "#clear APT::Update::Post-Invoke;\n"
    "#clear APT::Update::Post-Invoke-Success;\n"
    "Dir::Cache::pkgcache \"pkgcache.bin\";\n"
    "Dir::Cache::srcpkgcache \"srcpkgcache.bin\";\n";
constexpr string_view CONFIG = "apt.conf";

// A directory under `parent`, made if missing, that must be a real
// directory of `user`'s; open to no one else when `private_only`.
std::optional<std::string> own_dir(int parent, const char* name, uid_t user, bool private_only,
                                   UniqueFd& opened) {
  if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST) {
    return std::string("cannot make ") + name + ": " +
           std::error_code(errno, std::generic_category()).message();
  }
  opened = UniqueFd(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!opened.valid()) return std::string(name) + " is not a directory of its own (a link?)";
  struct stat st {};
  if (::fstat(opened.get(), &st) != 0 || st.st_uid != user) {
    return std::string(name) + " belongs to another user";
  }
  if ((st.st_mode & (private_only ? 077 : 022)) != 0) {
    return std::string(name) + " is open to other users";
  }
  return std::nullopt;
}

// The private cache, ready, with its lock held while it is written.
std::optional<std::string> prepare(const std::string& dir, uid_t user, UniqueFd& lock) {
  if (auto refused = make_own_cache(dir, user)) return refused;
  lock = UniqueFd(::open(join(dir, LOCK).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!lock.valid() || ::flock(lock.get(), LOCK_EX) != 0)
    return std::string("cannot lock the cache");
  const UniqueFd config(::open(join(dir, CONFIG).c_str(),
                               O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!config.valid() || ::write(config.get(), CLEAR_HOOKS.data(), CLEAR_HOOKS.size()) !=
                             static_cast<ssize_t>(CLEAR_HOOKS.size())) {
    return std::string("cannot write ") + std::string(CONFIG);
  }
  return std::nullopt;
}

void stamp(const std::string& dir) {
  const UniqueFd file(::open(join(dir, STAMP).c_str(),
                             O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (file.valid()) ::futimens(file.get(), nullptr);
}

}  // namespace

std::optional<std::string> failed_fetch(string_view out) {
  constexpr size_t MAX_REASON = 300;
  while (!out.empty()) {
    const string_view line = out.substr(0, out.find('\n'));
    out.remove_prefix(std::min(out.size(), line.size() + 1));
    if (line.starts_with("Err:")) return std::string(line.substr(0, MAX_REASON));
  }
  return std::nullopt;
}

std::optional<std::string> apt_cache_dir(const std::string& cache_home) {
  if (!cache_home.starts_with('/')) return std::nullopt;
  return join(join(cache_home, "sorvane"), "apt");
}

std::optional<std::string> make_own_cache(const std::string& dir, uid_t user) {
  const std::filesystem::path path(dir);
  const std::string base = path.parent_path().parent_path();
  // The base ($XDG_CACHE_HOME) may be a link the user made; made 0700 if missing.
  if (::mkdir(base.c_str(), 0700) != 0 && errno != EEXIST) {
    return "cannot make " + base + ": " + std::error_code(errno, std::generic_category()).message();
  }
  const UniqueFd top(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct stat st {};
  if (!top.valid() || ::fstat(top.get(), &st) != 0 || st.st_uid != user) {
    return base + " is not the user's own";
  }
  UniqueFd middle;
  if (auto refused = own_dir(top.get(), "sorvane", user, false, middle)) return refused;
  UniqueFd own;
  if (auto refused = own_dir(middle.get(), path.filename().c_str(), user, true, own)) {
    return refused;
  }
  for (const string_view sub : PRIVATE_DIRS) {
    UniqueFd made;
    if (auto refused = own_dir(own.get(), std::string(sub).c_str(), user, false, made)) {
      return refused;
    }
  }
  return std::nullopt;
}

std::vector<std::string> private_list_options(const std::string& dir) {
  return {"-c", join(dir, CONFIG),
          "-o", "Dir::State::Lists=" + join(dir, "lists") + "/",
          "-o", "Dir::Cache=" + join(dir, "cache") + "/",
          "-o", "Debug::NoLocking=true"};
}

void seed_private_lists(const std::string& system_lists, const std::string& private_lists) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(private_lists, error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (entry->is_regular_file(error)) return;  // not empty: refreshed before
  }
  for (std::filesystem::directory_iterator entry(system_lists, error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename();
    struct stat st {};
    if (name == "lock" || ::lstat(entry->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      continue;
    }
    const std::string target = join(private_lists, name);
    std::error_code copy_error;
    if (!std::filesystem::copy_file(entry->path(), target, copy_error)) continue;
    const std::array<timespec, 2> times = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, target.c_str(), times.data(), AT_SYMLINK_NOFOLLOW);
  }
}

std::optional<std::int64_t> system_lists_age(const CheckPlaces& places) {
  const std::string lists = under(places, "var/lib/apt/lists");
  return age_of(
      {lists, join(lists, "partial"), under(places, "var/lib/apt/periodic/update-success-stamp")});
}

namespace {

// `apt-get update` into the private lists, within the network limit; why
// not, when they are not all fresh now.
std::optional<std::string> fetch(const CheckSetup& setup, const std::string& dir) {
  if (!online(setup.places)) return "offline";
  seed_private_lists(under(setup.places, "var/lib/apt/lists"), join(dir, "lists"));
  std::vector<std::string> args = private_list_options(dir);
  args.emplace_back("-q");
  args.emplace_back("update");
  const auto asked = ask(setup, "apt-get", args, setup.network_limit);
  if (!asked) return asked.error().detail;
  if (asked.value().status != 0) return failed("apt-get", asked.value()).detail;
  // apt exits 0 when a source could not be fetched, keeping what it had
  // ("Err:" then a "W:" line): those lists are not fresh.
  return failed_fetch(asked.value().run.out);
}

// The lists to answer from, read under the lock held shared: a refresh
// that failed leaves them as the last one that worked made them (apt takes
// back what a source's failed fetch began), and these lists must not be
// older than the system's. A mirror that fails on purpose (an endless file,
// a hash that does not match, an expired Release) cannot make the check
// forget an update these lists already knew of.
AptRefresh answer_from(const CheckSetup& setup, const std::string& dir, UniqueFd lock,
                       std::string why_not) {
  AptRefresh refresh;
  refresh.why_not = std::move(why_not);
  const auto age = age_of({join(dir, STAMP)});
  if (!refresh.why_not.empty()) {
    const auto system_age = system_lists_age(setup.places);
    if (!age || (system_age && *system_age <= *age)) return refresh;
  }
  if (::flock(lock.get(), LOCK_SH) != 0) {
    if (refresh.why_not.empty()) refresh.why_not = "cannot lock the cache";
    return refresh;
  }
  refresh.dir = dir;
  refresh.age_seconds = age;
  refresh.reading = std::move(lock);
  return refresh;
}

AptRefresh not_fetched(std::string why) {
  AptRefresh refresh;
  refresh.why_not = std::move(why);
  return refresh;
}

}  // namespace

AptRefresh refresh_private_lists(const CheckSetup& setup) {
  const auto dir = apt_cache_dir(setup.cache_home);
  if (!setup.network_allowed) {
    // Nothing is made for a check that may not refresh: only lists an
    // earlier refresh left are read.
    struct stat st {};
    if (!dir || ::lstat(dir->c_str(), &st) != 0)
      return not_fetched(std::string(NOT_ON_THIS_CONNECTION));
  }
  if (!dir) return not_fetched("no cache directory");
  UniqueFd lock;
  std::optional<std::string> refused = prepare(*dir, ::geteuid(), lock);
  if (!setup.network_allowed) {
    if (refused) return not_fetched(std::string(NOT_ON_THIS_CONNECTION));
    return answer_from(setup, *dir, std::move(lock), std::string(NOT_ON_THIS_CONNECTION));
  }
  if (refused) return not_fetched(std::move(*refused));
  auto why_not = fetch(setup, *dir);
  if (!why_not) stamp(*dir);
  return answer_from(setup, *dir, std::move(lock), why_not.value_or(""));
}

}  // namespace sorvane::gui

// apt's package lists refreshed as the desktop user, without root and
// without touching the system's: `apt-get update` with the lists and its
// cache pointed at a directory of the user's own
// ($XDG_CACHE_HOME/sorvane/apt), sources and keys from the system's own
// configuration, then every question to apt asked against those lists. The
// system's lists stay as the last `apt update` left them; the update script
// still refreshes them itself.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "unique_fd.hpp"

namespace sorvane::gui {

struct CheckPlaces;
struct CheckSetup;

// <cache home>/sorvane/apt ($XDG_CACHE_HOME, else ~/.cache); nothing
// without a cache home.
std::optional<std::string> apt_cache_dir(const std::string& cache_home);

// Makes the directory (0700) and what apt writes in it, or accepts them as
// they are: each a real directory (never a link), owned by `user`, and the
// directory itself open to no one else. Why not, when it is refused.
std::optional<std::string> make_own_cache(const std::string& dir, uid_t user);

// The options that make apt read and write the lists under `dir` and take
// no lock (apt reads options anywhere on its command line).
std::vector<std::string> private_list_options(const std::string& dir);

// The system's lists copied into an empty private directory, each file
// with its time (apt asks the servers "changed since?" by it): the first
// refresh then fetches only what changed since the system's last update.
void seed_private_lists(const std::string& system_lists, const std::string& private_lists);

// `apt-get update`'s output: its first "Err:" line (a source it could not
// fetch; it exits 0 and keeps the old list), nothing when all came.
std::optional<std::string> failed_fetch(std::string_view out);

struct AptRefresh {
  std::string dir;                          // the private cache, when the check answers from it
  std::optional<std::int64_t> age_seconds;  // of its last refresh that succeeded
  std::string why_not;  // why it is not fresh now: a reason for the person, untranslated detail
  UniqueFd reading;     // the cache's lock, shared, while it lives
};

// The age of the system's lists: the newest of their directory, its
// partial downloads and the stamp of the last `apt update` that worked.
std::optional<std::int64_t> system_lists_age(const CheckPlaces& places);

// Refreshes the private lists within the network limit, one refresh at a
// time per user. A refresh that was not allowed, could not be made or
// failed says why; the check then answers from the lists the last refresh
// that worked left, when there are some newer than the system's, else
// (`dir` empty) from the system's. While `dir` is kept the lock is held
// shared: no other check's refresh rewrites the lists (and removes the
// binary caches apt built at its end) under the queries that read them.
AptRefresh refresh_private_lists(const CheckSetup& setup);

}  // namespace sorvane::gui

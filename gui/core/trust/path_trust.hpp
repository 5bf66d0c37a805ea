// Whether a path can be changed by anyone but its trusted owners, all the
// way down: before the update window hands a password to sudo, everything
// that decides what runs (the directories of the script's PATH, the
// programs it finds there, Sorvane itself) must be beyond the reach of
// other users. Stricter than the trust test Sorvane applies to a report:
// every directory from the root down is examined, and every symbolic link
// on the way is followed and its own directories examined too.
#pragma once

#include <sys/types.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sorvane::gui {

struct Untrusted {
  enum class Why : unsigned char {
    Missing,  // it, or a directory on the way, cannot be looked at
    OwnedBySomeoneElse,
    WritableByOthers,  // a group or other write bit
    TooManyLinks,
  };
  std::string path;  // the file or directory at fault
  Why why;
};

// Checks `path` (absolute) and every directory and link on the way to the
// file it names. Each must be owned by one of `owners` and have no group or
// other write bit (a sticky world-writable directory does not pass either).
// Nothing means it passed.
std::optional<Untrusted> untrusted_on_the_way(std::string_view path, std::span<const uid_t> owners);

}  // namespace sorvane::gui

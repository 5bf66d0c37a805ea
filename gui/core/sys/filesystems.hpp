// Which file system a path is on, as the kernel itself names it, and how
// much room is left there: for the locks the check looks for and the space
// the update will need.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "pending_parsers.hpp"

namespace sorvane::gui {

// The mount `path` is on, found in `proc`/self/mountinfo by the mount id
// statx gives; nothing where either is missing.
std::optional<MountLine> mount_of(const std::string& proc, const std::string& path);

// Where a manager writes during the update, how much, and the file system
// that lands on as the check found it.
struct SpaceNeed {
  std::string path;              // as the user sees it: under the root, with a leading "/"
  std::uint64_t bytes = 0;       // what the update will write there
  std::uint64_t device = 0;      // the file system's own device
  std::string mount_point;       // as the user sees it
  std::uint64_t free_bytes = 0;  // f_bavail * f_frsize: what apt counts as free
  friend bool operator==(const SpaceNeed&, const SpaceNeed&) = default;
};

// `bytes` to be written at `where` (relative to `root`): the file system of
// the nearest existing directory on the way. Nothing when none can be
// measured.
std::optional<SpaceNeed> space_need(const std::string& proc, const std::string& root,
                                    std::string_view where, std::uint64_t bytes);

}  // namespace sorvane::gui

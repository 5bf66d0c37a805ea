// The programs the window runs before the update itself: sorvane and its
// detector, found at a fixed place beside the window's own executable,
// never through PATH. Whoever can change either, or any directory above
// them, decides what runs: they must be root's or the user's alone.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "os_error.hpp"
#include "path_trust.hpp"
#include "result.hpp"

namespace sorvane::gui {

struct Installation {
  std::string sorvane;   // beside the window's executable
  std::string detector;  // where that sorvane looks for it
};

// The window's own executable, as /proc/self/exe names it. A name that
// may have been cut short is ENAMETOOLONG, never a wrong place.
Result<std::string, OsError> own_executable();

// For a window executable at <dir>/sorvane-gui: <dir>/sorvane and
// <dir>/../../scripts/detect-package-managers.sh.
Installation installation_beside(std::string_view own_executable);

std::optional<Untrusted> untrusted_installation(const Installation& installation, uid_t user);

}  // namespace sorvane::gui

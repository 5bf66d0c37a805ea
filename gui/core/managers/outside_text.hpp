// Text the managers print about an update (changelogs, advisories) is
// outside text: it is bounded and stripped of what a terminal or the
// window could take as commands before it is shown, and the advisories it
// names are read from it the same way for every manager.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::gui {

// A package's description as the managers give it is one line, shown
// beside its name: at most this many bytes of it.
inline constexpr size_t MAX_DESCRIPTION = 200;

// The advisories named in `text`, in order, once each: DSA-NNNN(-N),
// DLA-NNNN(-N) and CVE-YYYY-NNNN(N…).
std::vector<std::string> advisories_in(std::string_view text);

// Outside text made safe to show: escape sequences and control characters
// (C0 other than line feeds and tabs, DEL, and C1 as UTF-8) removed, what
// reorders or breaks a line and invalid UTF-8 as U+FFFD, invisible
// characters where no script needs them left out (shown_as), at most
// `limit` bytes (cut at a line's end, "…" after).
std::string plain_text(std::string_view text, size_t limit);

}  // namespace sorvane::gui

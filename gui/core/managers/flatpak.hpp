// flatpak, run as the user after the privileged managers. Asked before
// the password: `flatpak remote-ls --updates` of the system installation
// and the user's, with the download sizes. During the update: the ref's
// deployment, whose "active" link changes when the new commit is in place.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "manager_facts.hpp"
#include "pending_check.hpp"
#include "pending_parsers.hpp"

namespace sorvane::gui {

inline constexpr std::string_view FLATPAK_SYSTEM = "var/lib/flatpak";

// One row of what flatpak prints with --columns when not on a terminal:
// exactly `N` tab-separated cells, trimmed (an empty cell stays, empty);
// nothing when the row has more or fewer.
template <size_t N>
std::optional<std::array<std::string_view, N>> flatpak_columns(std::string_view line) {
  std::array<std::string_view, N> cells{};
  for (size_t count = 0; count < N; ++count) {
    const size_t tab = line.find('\t');
    cells.at(count) = text::trim(line.substr(0, tab));
    if (tab == std::string_view::npos) {
      if (count + 1 != N) return std::nullopt;
      return cells;
    }
    line.remove_prefix(tab + 1);
  }
  return std::nullopt;  // a cell too many
}
// The user's installation: flatpak in the user's data directory; empty
// without one.
std::string user_flatpak_data(const CheckSetup& setup);

struct FlatpakPending {
  std::vector<PendingUpdate> updates;  // name: "id//branch"; `to`: the version, else the commit
  // Its one-line description, and whether its release notes may be had
  // (`to` is a version, which only AppStream data gives).
  std::map<std::string, UpdateAbout> about;
  std::optional<std::uint64_t> download_bytes;  // nullopt when any size is unreadable
};
// The exact query, whose columns this reads in this order (flatpak 1.14
// separates columns with a tab and prints no title row when its output is
// not a terminal; a cell it has no value for is empty):
inline constexpr std::string_view FLATPAK_UPDATES_COLUMNS =
    "--columns=ref,description,version,commit,download-size";
// `flatpak remote-ls --updates --columns=ref,description,version,commit,download-size`:
// ref "app/org.example.App/x86_64/stable" (or "runtime/..."), the
// AppStream summary and version (both empty without appstream data),
// commit, and the size as g_format_size
// prints it ("512 bytes", "3.4 kB", "1.2 MB": decimal units; the C locale
// shows the no-break space before a unit as "?": "3.4?kB").
FlatpakPending parse_flatpak_updates(std::string_view out);
// A size as g_format_size prints it, in bytes (rounded as printed).
std::optional<std::uint64_t> parse_flatpak_size(std::string_view text);

// The "active" link of a ref's deployment ("id//branch", an app or a
// runtime of any architecture, in the system or the user installation);
// empty when it has none yet.
std::string flatpak_active_link(const ProgressPlaces& places, std::string_view name);

}  // namespace sorvane::gui

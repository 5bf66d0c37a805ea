// A way out of a dpkg run that did not finish, for the desktop user: the
// window runs nothing as root but the checked update script, so it opens
// the user's own terminal with the commands that finish the run, and the
// user types the password and answers any question there. The commands
// are fixed text: nothing read from outside goes into them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::gui {

struct CheckPlaces;

// What the run left decides what finishes it: packages unpacked or
// half-configured are configured by `dpkg --configure -a`; a package
// flagged reinstreq or half-installed has files of neither version in
// place, which only apt can fetch again (`apt-get -f install`, which also
// mends the dependencies an interrupted run left broken).
enum class DpkgRepair : std::uint8_t { Configure, ConfigureThenFix };

// Where dpkg keeps its database, under the root: a repair under way
// changes it with every step it takes.
inline constexpr std::string_view DPKG_DATABASE = "var/lib/dpkg";

// The commands, as a user would type them on one line.
std::string_view repair_commands(DpkgRepair repair);

// The text bash runs in the terminal: each command shown, then run, then
// a wait for Enter so that the outcome can be read. "$1" is the prompt
// for that wait (translated, so passed as an argument, never spliced in).
std::string repair_script(DpkgRepair repair);

// The user's terminal, found where the update script finds its programs
// and passing the same trust test: the password is typed into it.
//   xdg-terminal-exec    the desktop's chosen terminal, "cmd args…"
//   x-terminal-emulator  Debian's alternative, "-e cmd args…"
struct Terminal {
  std::string path;
  bool takes_dash_e = false;
};
std::optional<Terminal> find_terminal(const CheckPlaces& places);

// The terminal's whole command line: bash running repair_script(repair).
std::vector<std::string> terminal_command(const Terminal& terminal, const std::string& bash,
                                          DpkgRepair repair, std::string_view prompt);

// The terminal's environment: the window's session (display, bus, desktop,
// language, home) and the update script's PATH, so that `sudo` in it is the
// system's, whatever PATH the session had.
std::vector<std::string> terminal_environment(char** environ);

}  // namespace sorvane::gui

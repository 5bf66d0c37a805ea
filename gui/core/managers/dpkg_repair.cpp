#include "dpkg_repair.hpp"

#include <array>

#include "detector_process.hpp"
#include "pending_check.hpp"
#include "update_process.hpp"

namespace sorvane::gui {
namespace {

constexpr std::string_view CONFIGURE = "sudo dpkg --configure -a";
constexpr std::string_view FIX = "sudo apt-get -f install";
constexpr std::string_view BOTH = "sudo dpkg --configure -a; sudo apt-get -f install";

// What the terminal needs of the session to open a window on it and to speak
// the user's language; nothing that changes what a shell runs (BASH_ENV,
// ENV, LD_*, PATH) is passed on.
constexpr std::array<std::string_view, 16> SESSION_VARIABLES = {"HOME",
                                                                "USER",
                                                                "LOGNAME",
                                                                "LANG",
                                                                "LANGUAGE",
                                                                "LC_ALL",
                                                                "XDG_RUNTIME_DIR",
                                                                "DISPLAY",
                                                                "WAYLAND_DISPLAY",
                                                                "XAUTHORITY",
                                                                "DBUS_SESSION_BUS_ADDRESS",
                                                                "XDG_CURRENT_DESKTOP",
                                                                "XDG_SESSION_TYPE",
                                                                "XDG_DATA_DIRS",
                                                                "XDG_CONFIG_DIRS",
                                                                "XDG_CONFIG_HOME"};

}  // namespace

std::string_view repair_commands(DpkgRepair repair) {
  return repair == DpkgRepair::Configure ? CONFIGURE : BOTH;
}

std::string repair_script(DpkgRepair repair) {
  std::string script = "PATH=";
  script += DETECTOR_PATH_ENV;
  script += "\nexport PATH\n";
  // apt-get runs whatever dpkg left: a failure of the first is no reason
  // to skip the second.
  std::vector<std::string_view> commands = {CONFIGURE};
  if (repair == DpkgRepair::ConfigureThenFix) commands.push_back(FIX);
  for (const std::string_view command : commands) {
    script += "printf '%s\\n' '$ ";
    script += command;
    script += "'\n";
    script += command;
    script += "\n";
  }
  script += "echo\nread -r -p \"$1\" _\n";
  return script;
}

std::optional<Terminal> find_terminal(const CheckPlaces& places) {
  if (auto chosen = trusted_tool(places, "xdg-terminal-exec")) return Terminal{*chosen, false};
  if (auto alternative = trusted_tool(places, "x-terminal-emulator")) {
    return Terminal{*alternative, true};
  }
  return std::nullopt;
}

std::vector<std::string> terminal_command(const Terminal& terminal, const std::string& bash,
                                          DpkgRepair repair, std::string_view prompt) {
  std::vector<std::string> argv = {terminal.path};
  // Every terminal Debian offers as x-terminal-emulator takes the words
  // after -e as the command and its arguments (the wrappers of those that
  // take one string join them, quoted).
  if (terminal.takes_dash_e) argv.emplace_back("-e");
  argv.insert(argv.end(), {bash, "-c", repair_script(repair), "sorvane-repair"});
  argv.emplace_back(prompt);
  return argv;
}

std::vector<std::string> terminal_environment(char** environ) {
  std::vector<std::string> kept = named_variables(environ, SESSION_VARIABLES);
  kept.push_back("PATH=" + std::string(DETECTOR_PATH_ENV));
  return kept;
}

}  // namespace sorvane::gui

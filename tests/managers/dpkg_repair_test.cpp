// The way out of a dpkg run that did not finish: the user's own terminal.
#include "dpkg_repair.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "detector_process.hpp"
#include "path.hpp"
#include "pending_check.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using namespace std::chrono_literals;

TEST(DpkgRepairTerminal, FoundLikeTheScriptsPrograms) {
  REQUIRE_ROOT();  // the terminals must pass the trust test: under /run, root's
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, mode_t>> present;
    std::optional<Terminal> want;  // its name under the directory
  };
  const std::vector<Case> cases = {
      {"none", {}, std::nullopt},
      {"Debian's alternative",
       {{"x-terminal-emulator", 0755}},
       Terminal{"x-terminal-emulator", true}},
      {"the desktop's own first",
       {{"x-terminal-emulator", 0755}, {"xdg-terminal-exec", 0755}},
       Terminal{"xdg-terminal-exec", false}},
      {"one others may change is passed over",
       {{"x-terminal-emulator", 0755}, {"xdg-terminal-exec", 0775}},
       Terminal{"x-terminal-emulator", true}},
      {"one that cannot run is no terminal", {{"x-terminal-emulator", 0644}}, std::nullopt},
  };
  for (const Case& c : cases) {
    const TempDir dir("/run");
    for (const auto& [name, mode] : c.present) {
      test::write_file(dir / name, "#!/bin/sh\n", mode);
      ASSERT_EQ(::chmod((dir / name).c_str(), mode), 0);
    }
    const CheckPlaces places{{dir.path()}, "/", "/proc", {0}};
    const auto found = find_terminal(places);
    ASSERT_EQ(found.has_value(), c.want.has_value()) << c.name;
    if (!found) continue;
    EXPECT_EQ(found->path, dir / c.want->path) << c.name;
    EXPECT_EQ(found->takes_dash_e, c.want->takes_dash_e) << c.name;
  }
}

TEST(DpkgRepairTerminal, TheCommandIsFixedText) {
  const std::string path = std::string(DETECTOR_PATH_ENV);
  const std::string configure = "PATH=" + path +
                                "\nexport PATH\n"
                                "printf '%s\\n' '$ sudo dpkg --configure -a'\n"
                                "sudo dpkg --configure -a\n"
                                "echo\nread -r -p \"$1\" _\n";
  const std::string both = "PATH=" + path +
                           "\nexport PATH\n"
                           "printf '%s\\n' '$ sudo dpkg --configure -a'\n"
                           "sudo dpkg --configure -a\n"
                           "printf '%s\\n' '$ sudo apt-get -f install'\n"
                           "sudo apt-get -f install\n"
                           "echo\nread -r -p \"$1\" _\n";
  EXPECT_EQ(repair_script(DpkgRepair::Configure), configure);
  EXPECT_EQ(repair_script(DpkgRepair::ConfigureThenFix), both);
  EXPECT_EQ(repair_commands(DpkgRepair::Configure), "sudo dpkg --configure -a");
  EXPECT_EQ(repair_commands(DpkgRepair::ConfigureThenFix),
            "sudo dpkg --configure -a; sudo apt-get -f install");
  // The prompt, translated, is an argument of the script: "$(…)" in it is
  // printed, never run.
  const std::string prompt = "Enter $(touch /tmp/x) `id`";
  EXPECT_EQ(terminal_command({"/usr/bin/xdg-terminal-exec", false}, "/usr/bin/bash",
                             DpkgRepair::Configure, prompt),
            (std::vector<std::string>{"/usr/bin/xdg-terminal-exec", "/usr/bin/bash", "-c",
                                      configure, "sorvane-repair", prompt}));
  EXPECT_EQ(terminal_command({"/usr/bin/x-terminal-emulator", true}, "/usr/bin/bash",
                             DpkgRepair::ConfigureThenFix, prompt),
            (std::vector<std::string>{"/usr/bin/x-terminal-emulator", "-e", "/usr/bin/bash", "-c",
                                      both, "sorvane-repair", prompt}));
  // The session reaches the terminal; what would change what its shell runs
  // does not, and PATH is the script's own.
  std::array<std::string, 7> session = {"DISPLAY=:0",         "PATH=/home/u/bin:/usr/bin",
                                        "BASH_ENV=/home/u/x", "LD_PRELOAD=/home/u/y.so",
                                        "WAYLAND_DISPLAY=w0", "HOME=/home/u",
                                        "DISPLAYX=no"};
  std::vector<char*> environ_like;
  for (std::string& variable : session) environ_like.push_back(variable.data());
  environ_like.push_back(nullptr);
  EXPECT_EQ(terminal_environment(environ_like.data()),
            (std::vector<std::string>{"HOME=/home/u", "DISPLAY=:0", "WAYLAND_DISPLAY=w0",
                                      "PATH=" + path}));
}

}  // namespace
}  // namespace sorvane::gui

// What pacman.conf tells pacman to leave alone, through its Includes.
#include "pacman_ignored.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using Names = std::vector<std::string>;

struct ConfCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // path under the root, text
  PacmanIgnores want;
};

class PacmanConf : public testing::TestWithParam<ConfCase> {};

TEST_P(PacmanConf, IgnoresOfOptionsThroughIncludes) {
  const TempDir dir;
  for (const auto& [path, text] : GetParam().files) {
    std::filesystem::create_directories(std::filesystem::path(dir / path).parent_path());
    test::write_file(dir / path, text);
  }
  EXPECT_EQ(read_pacman_ignores(dir / ""), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PacmanConf,
    testing::Values(
        ConfCase{"plain",
                 {{"etc/pacman.conf",
                   "[options]\nIgnorePkg = linux  linux-headers # the kernel\n"
                   "#IgnorePkg = commented\nIgnoreGroup=gnome\n[core]\nInclude = "
                   "/etc/pacman.d/mirrorlist\n"}},
                 {{"linux", "linux-headers"}, {"gnome"}}},
        // An Include'd file is read in the section that includes it: its
        // IgnorePkg counts under [options], not under a repository.
        ConfCase{"included",
                 {{"etc/pacman.conf",
                   "[options]\nInclude = /etc/pacman.d/*.conf\nIgnorePkg = a\n[extra]\nInclude = "
                   "/etc/pacman.d/extra-only\n"},
                  {"etc/pacman.d/10-hold.conf", "IgnorePkg = b c*\n"},
                  {"etc/pacman.d/20-groups.conf", "IgnoreGroup = kde-applications\n"},
                  {"etc/pacman.d/extra-only", "IgnorePkg = not-options\nServer = x\n"}},
                 {{"b", "c*", "a"}, {"kde-applications"}}},
        // A file that includes itself stops at pacman's depth.
        ConfCase{"loop",
                 {{"etc/pacman.conf", "[options]\nIgnorePkg = x\nInclude = /etc/pacman.conf\n"}},
                 {Names(11, "x"), {}}},
        ConfCase{"missing", {}, {}},
        ConfCase{
            "no options", {{"etc/pacman.conf", "IgnorePkg = early\n[core]\nIgnorePkg = y\n"}}, {}}),
    [](const auto& param_info) {
      std::string name = param_info.param.name;
      std::replace(name.begin(), name.end(), ' ', '_');
      return name;
    });

TEST(PacmanIgnored, MarkedLinesAndPatterns) {
  EXPECT_EQ(parse_pacman_ignored("a 1-1 -> 2-1 [ignored]\nb 1 -> 2\nc 1 -> 2 [ignored] x\n"
                                 "d 1 -> [ignored]\n"),
            Names{"a"});
  const PacmanIgnores ignores{{"linux*", "vim"}, {"gnome"}};
  EXPECT_TRUE(pacman_ignores(ignores, "linux-lts", {}));
  EXPECT_TRUE(pacman_ignores(ignores, "vim", {}));
  EXPECT_FALSE(pacman_ignores(ignores, "gvim", {}));
  EXPECT_TRUE(pacman_ignores(ignores, "gedit", {"gedit", "nautilus"}));
  EXPECT_EQ(parse_pacman_group_members("gnome gedit\ngnome nautilus\n\nodd\n"),
            (Names{"gedit", "nautilus"}));
}

}  // namespace
}  // namespace sorvane::gui

#include "script_programs.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "detector_process.hpp"
#include "managers.hpp"
#include "path_trust.hpp"
#include "payload.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

TEST(ScriptPrograms, TheScriptsPathIsTheDetectorsAndIsCheckedWhole) {
  EXPECT_NE(UPDATE_SCRIPT.find("\nPATH=" + std::string(DETECTOR_PATH_ENV) + "\n"),
            std::string_view::npos);
  EXPECT_EQ(script_path_dirs(),
            (std::vector<std::string>{"/usr/local/sbin", "/usr/local/bin", "/usr/sbin", "/usr/bin",
                                      "/sbin", "/bin"}));
  EXPECT_EQ(find_like_the_script("bash"), "/usr/bin/bash");
  EXPECT_EQ(find_like_the_script("no-such-program-here"), std::nullopt);
  // A Debian machine as it comes: everything the script finds is root's.
  const auto fault = untrusted_script_program();
  EXPECT_FALSE(fault.has_value()) << fault->path;
}

struct PlantedProgram {
  std::string name;
  std::function<void(const TempDir&)> plant;
  std::optional<Untrusted> refused;  // its path relative to the tree
};

TEST(ScriptPrograms, EverythingRootCouldFindUnderAScriptNameIsChecked) {
  REQUIRE_ROOT();
  using Why = Untrusted::Why;
  const auto link = [](const std::string& target, const std::string& at) {
    ASSERT_EQ(::symlink(target.c_str(), at.c_str()), 0) << at;
  };
  const PlantedProgram cases[] = {
      {"a root-owned apt, 0755", [](const TempDir& d) { test::write_file(d / "a/apt", "", 0755); },
       std::nullopt},
      // Not executable by the user, but root's shell runs it.
      {"apt 0722 first", [](const TempDir& d) { test::write_file(d / "a/apt", "", 0722); },
       Untrusted{"a/apt", Why::WritableByOthers}},
      {"a good apt first, an open one later",
       [](const TempDir& d) {
         test::write_file(d / "a/apt", "", 0755);
         test::write_file(d / "c/apt", "", 0777);
       },
       Untrusted{"c/apt", Why::WritableByOthers}},
      {"a directory named apt", [](const TempDir& d) { test::make_dir(d / "b/apt", 0775); },
       Untrusted{"b/apt", Why::WritableByOthers}},
      {"a FIFO named snap",
       [](const TempDir& d) {
         ASSERT_EQ(::mkfifo((d / "b/snap").c_str(), 0600), 0);
         test::set_mode(d / "b/snap", 0622);
       },
       Untrusted{"b/snap", Why::WritableByOthers}},
      {"a link to a user's file",
       [&](const TempDir& d) {
         test::make_dir(d / "home");
         test::write_file(d / "home/apt", "", 0755);
         ASSERT_EQ(::chown((d / "home/apt").c_str(), 1000, 1000), 0);
         link(d / "home/apt", d / "b/apt");
       },
       Untrusted{"home/apt", Why::OwnedBySomeoneElse}},
      {"a dangling link", [&](const TempDir& d) { link(d / "nowhere", d / "c/dnf"); },
       Untrusted{"nowhere", Why::Missing}},
      {"a PATH directory open to its group",
       [](const TempDir& d) { test::set_mode(d / "b", 0775); },
       Untrusted{"b", Why::WritableByOthers}},
      {"a name the script does not run",
       [](const TempDir& d) { test::write_file(d / "a/vim", "", 0777); }, std::nullopt},
  };
  for (const auto& c : cases) {
    const TempDir dir("/run");
    // A directory that is not there holds nothing to check.
    const std::vector<std::string> dirs = {dir / "a", dir / "missing", dir / "b", dir / "c"};
    for (const char* sub : {"a", "b", "c"}) test::make_dir(dir / sub);
    c.plant(dir);
    const auto fault = untrusted_script_program(dirs);
    if (!c.refused) {
      EXPECT_FALSE(fault.has_value()) << c.name << ": " << fault->path;
      continue;
    }
    ASSERT_TRUE(fault.has_value()) << c.name;
    EXPECT_EQ(fault->path, dir / c.refused->path) << c.name;
    EXPECT_EQ(fault->why, c.refused->why) << c.name;
  }
}

// As the desktop user sees it: what it may not look at in a directory
// root's shell searches is refused, not taken to be absent.
TEST(ScriptPrograms, WhatTheUserCannotLookAtIsRefusedNotSkipped) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  test::make_dir(dir / "closed", 0700);  // root's, so it passes itself
  const std::vector<std::string> dirs = {dir / "closed"};
  EXPECT_TRUE(test::in_child([&] {
    const auto fault = test::drop_to_nobody() ? untrusted_script_program(dirs) : std::nullopt;
    return fault && fault->path.starts_with(dir / "closed/") &&
           fault->why == Untrusted::Why::Missing;
  }));
}

}  // namespace
}  // namespace sorvane::gui

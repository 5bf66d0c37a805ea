#include "trust.hpp"

#include <gtest/gtest.h>

#include <array>

#include "test_support.hpp"

namespace sorvane {
namespace {

using test::TempDir;

constexpr uid_t OTHER_USER = 1000;

struct ModeCase {
  mode_t file_mode;
  mode_t dir_mode;
  bool trusted;
};

TEST(Trust, FileAndDirectoryModes) {
  const ModeCase cases[] = {
      {0755, 0755, true},  {0700, 0755, true},  {04755, 0755, true}, {02755, 0755, true},
      {0500, 0700, true},  {0775, 0755, false}, {0757, 0755, false}, {0644, 0755, false},
      {0600, 0755, false}, {0755, 0775, false}, {0755, 0757, false}, {0755, 01777, false},
      {0755, 01755, true}, {0654, 0755, true},  {0645, 0755, true},  {0744, 0755, true},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    const std::string sub = dir / "bin";
    test::make_dir(sub, 0755);
    test::write_file(sub + "/tool", "#!/bin/sh\n", c.file_mode);
    test::set_mode(sub, c.dir_mode);
    EXPECT_EQ(is_trusted_executable(sub + "/tool"), c.trusted)
        << std::oct << "file " << c.file_mode << " dir " << c.dir_mode;
  }
}

TEST(Trust, OnlyRegularExistingFilesAndRealParents) {
  const TempDir dir;
  test::make_dir(dir / "subdir", 0755);
  EXPECT_FALSE(is_trusted_executable(dir / "subdir"));
  EXPECT_FALSE(is_trusted_executable(dir / "missing"));
  EXPECT_FALSE(is_trusted_executable("/"));
  EXPECT_FALSE(is_trusted_executable(""));
  EXPECT_FALSE(is_trusted_executable("bash"));  // its parent is the empty path
  EXPECT_TRUE(is_trusted_executable("/usr/bin/bash"));
  EXPECT_FALSE(is_trusted_executable("/usr/bin/bash/"));  // a file named as a directory
  EXPECT_FALSE(is_trusted_executable(std::string_view("/usr/bin/bash\0x", 15)));
}

TEST(Trust, SymlinksAreFollowedButTheLinksParentIsTested) {
  const TempDir dir;
  const std::string target = test::make_trusted_manager(dir, "real-tool");
  test::make_dir(dir / "open", 0755);
  ASSERT_EQ(::symlink(target.c_str(), (dir / "open/tool").c_str()), 0);
  EXPECT_TRUE(is_trusted_executable(dir / "open/tool"));
  test::set_mode(dir / "open", 01777);  // a fine target in a world-writable directory
  EXPECT_FALSE(is_trusted_executable(dir / "open/tool"));

  ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);
  EXPECT_FALSE(is_trusted_executable(dir / "dangling"));
}

TEST(Trust, OwnerMustMatchTheDirectoryOwner) {
  REQUIRE_ROOT();
  const TempDir dir;
  test::make_dir(dir / "user", 0755);
  test::write_file(dir / "user/tool", "", 0755);
  ASSERT_EQ(::chown((dir / "user").c_str(), OTHER_USER, OTHER_USER), 0);
  // Root's file in a user's directory: that user could swap it.
  EXPECT_FALSE(is_trusted_executable(dir / "user/tool"));
  // The user's file in the user's own directory: superuser not required.
  ASSERT_EQ(::chown((dir / "user/tool").c_str(), OTHER_USER, OTHER_USER), 0);
  EXPECT_TRUE(is_trusted_executable(dir / "user/tool"));
  // The user's file in root's directory.
  ASSERT_EQ(::chown((dir / "user").c_str(), 0, 0), 0);
  EXPECT_FALSE(is_trusted_executable(dir / "user/tool"));
}

class TrustedSearch : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"d1", "d2", "d3"}) test::make_dir(dir_ / name, 0755);
  }
  std::optional<std::string> search() {
    const std::array<std::string, 3> paths = {dir_ / "d1", dir_ / "d2", dir_ / "d3"};
    const std::array<std::string_view, 3> dirs = {paths[0], paths[1], paths[2]};
    return trusted_system_program("bash", dirs);
  }
  TempDir dir_;
};

TEST_F(TrustedSearch, FirstTrustedCandidateWins) {
  test::write_file(dir_ / "d1/bash", "", 0755);
  test::write_file(dir_ / "d3/bash", "", 0755);
  EXPECT_EQ(search(), dir_ / "d1/bash");
}

TEST_F(TrustedSearch, UntrustedAndMissingCandidatesAreSkipped) {
  test::write_file(dir_ / "d1/bash", "", 0775);
  test::write_file(dir_ / "d3/bash", "", 0755);
  EXPECT_EQ(search(), dir_ / "d3/bash");
}

TEST_F(TrustedSearch, ReturnsTheCanonicalTargetOfALink) {
  test::write_file(dir_ / "d3/bash-5.2", "", 0755);
  ASSERT_EQ(::symlink("../d3/bash-5.2", (dir_ / "d1/bash").c_str()), 0);
  EXPECT_EQ(search(), dir_ / "d3/bash-5.2");
}

TEST_F(TrustedSearch, NothingWhenNoCandidatePasses) {
  test::write_file(dir_ / "d2/bash", "", 0644);
  EXPECT_FALSE(search().has_value());
}

TEST(Trust, SystemBashIsFound) {
  EXPECT_EQ(trusted_system_program("bash"), "/usr/bin/bash");
}

}  // namespace
}  // namespace sorvane

#include "path_trust.hpp"

#include <gtest/gtest.h>

#include <array>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

TEST(PathTrust, EveryDirectoryAndLinkOnTheWayCounts) {
  const std::array<uid_t, 1> root_only = {0};
  EXPECT_FALSE(untrusted_on_the_way("/usr/bin/bash", root_only).has_value());
  EXPECT_FALSE(untrusted_on_the_way("/usr/bin/../bin/./bash", root_only).has_value());
  const auto in_tmp = untrusted_on_the_way("/tmp", root_only);
  ASSERT_TRUE(in_tmp.has_value());
  EXPECT_EQ(in_tmp->path, "/tmp");  // sticky, but writable by everyone
  EXPECT_EQ(in_tmp->why, Untrusted::Why::WritableByOthers);
  EXPECT_EQ(untrusted_on_the_way("relative/path", root_only)->why, Untrusted::Why::Missing);
  EXPECT_EQ(untrusted_on_the_way("/no/such/file", root_only)->path, "/no");
}

TEST(PathTrust, PlantedFilesAndLinksAreFoundWhereverTheyAre) {
  REQUIRE_ROOT();
  // Under /run (root's, 0755): a tree of our own where every directory
  // above is root's too.
  const TempDir dir("/run");
  const std::array<uid_t, 1> root_only = {0};
  test::make_dir(dir / "bin");
  test::write_file(dir / "bin/tool", "", 0755);
  test::make_dir(dir / "alternatives");
  ASSERT_EQ(::symlink((dir / "bin/tool").c_str(), (dir / "alternatives/tool").c_str()), 0);
  ASSERT_EQ(::symlink("../alternatives/tool", (dir / "bin/link").c_str()), 0);
  EXPECT_FALSE(untrusted_on_the_way(dir / "bin/link", root_only).has_value());

  // The link's own directory opened to the group: the link could be swapped.
  test::set_mode(dir / "alternatives", 0775);
  const auto swapped = untrusted_on_the_way(dir / "bin/link", root_only);
  ASSERT_TRUE(swapped.has_value());
  EXPECT_EQ(swapped->path, dir / "alternatives");
  test::set_mode(dir / "alternatives", 0755);

  // The target owned by an ordinary user, or writable by everyone.
  ASSERT_EQ(::chown((dir / "bin/tool").c_str(), 1000, 1000), 0);
  EXPECT_EQ(untrusted_on_the_way(dir / "bin/link", root_only)->why,
            Untrusted::Why::OwnedBySomeoneElse);
  const std::array<uid_t, 2> root_or_user = {0, 1000};
  EXPECT_FALSE(untrusted_on_the_way(dir / "bin/link", root_or_user).has_value());
  ASSERT_EQ(::chown((dir / "bin/tool").c_str(), 0, 0), 0);
  test::set_mode(dir / "bin/tool", 0777);
  EXPECT_EQ(untrusted_on_the_way(dir / "bin/tool", root_only)->path, dir / "bin/tool");

  // A loop of links ends.
  ASSERT_EQ(::symlink("loop-b", (dir / "bin/loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", (dir / "bin/loop-b").c_str()), 0);
  EXPECT_EQ(untrusted_on_the_way(dir / "bin/loop-a", root_only)->why, Untrusted::Why::TooManyLinks);
}

// A root that is not root's (a chroot, a container's): "/" itself counts.
TEST(PathTrust, TheRootItselfMustBeTrusted) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  test::make_dir(dir / "bin");
  test::write_file(dir / "bin/tool", "", 0755);
  ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
  EXPECT_TRUE(test::in_child([&] {
    if (::chroot(dir.path().c_str()) != 0 || ::chdir("/") != 0) return false;
    const auto fault = untrusted_on_the_way("/bin/tool", std::array<uid_t, 1>{0});
    return fault && fault->path == "/" && fault->why == Untrusted::Why::OwnedBySomeoneElse;
  }));
}

}  // namespace
}  // namespace sorvane::gui

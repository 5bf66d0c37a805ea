#include "metrics_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using sorvane::test::TempDir;

// Whatever the service's umask, node_exporter (its own user) reads it.
TEST(MetricsFile, WrittenWholeAndReadableByOthers) {
  const TempDir dir;
  const std::string path = dir / "sorvane.prom";
  const mode_t old = ::umask(077);
  auto written = write_metrics_file(path, "sorvane_reboot_required 1\n");
  ::umask(old);
  ASSERT_TRUE(written) << written.error();
  EXPECT_EQ(written.value(), MetricsWritten::Written);
  EXPECT_EQ(test::read_file(path), "sorvane_reboot_required 1\n");
  EXPECT_EQ(test::stat_of(path).st_mode & 07777, METRICS_FILE_MODE);
  // No temporary file is left beside it.
  EXPECT_EQ(test::list_dir(dir.path()), std::vector<std::string>{"sorvane.prom"});
}

// Replaced by a rename, never rewritten in place: a reader holding the old
// file (a second link to it here) still sees it whole.
TEST(MetricsFile, ReplacesTheOldFileByRename) {
  const TempDir dir;
  const std::string path = dir / "sorvane.prom";
  test::write_file(path, "old\n");
  ASSERT_EQ(::link(path.c_str(), (dir / "held").c_str()), 0);
  ASSERT_TRUE(write_metrics_file(path, "new\n"));
  EXPECT_EQ(test::read_file(path), "new\n");
  EXPECT_EQ(test::read_file(dir / "held"), "old\n");
}

// A link planted where the file goes is replaced, not followed.
TEST(MetricsFile, NeverWritesThroughALink) {
  const TempDir dir;
  const std::string path = dir / "sorvane.prom";
  test::write_file(dir / "target", "theirs\n");
  ASSERT_EQ(::symlink((dir / "target").c_str(), path.c_str()), 0);
  ASSERT_TRUE(write_metrics_file(path, "ours\n"));
  EXPECT_TRUE(S_ISREG(test::lstat_of(path).st_mode));
  EXPECT_EQ(test::read_file(dir / "target"), "theirs\n");
}

// No node_exporter's directory, no file, and nothing made for it.
TEST(MetricsFile, OnlyWhereTheDirectoryExists) {
  const TempDir dir;
  for (const std::string& path : {dir / "absent/sorvane.prom", dir / "a-file/sorvane.prom"}) {
    if (path.find("a-file") != std::string::npos) test::write_file(dir / "a-file", "");
    auto written = write_metrics_file(path, "x\n");
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(written.value(), MetricsWritten::NoDirectory) << path;
  }
  EXPECT_FALSE(test::exists(dir / "absent"));
}

TEST(MetricsFile, RefusesARelativeName) {
  EXPECT_FALSE(write_metrics_file("sorvane.prom", "x\n"));
}

}  // namespace
}  // namespace sorvane::gui

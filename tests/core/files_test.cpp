#include "files.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

TEST(Files, ALinkTargetThatMayBeCutShortIsRefused) {
  const test::TempDir dir;
  struct Case {
    size_t length;
    size_t capacity;
    int error;  // 0: read whole
  };
  const Case cases[] = {
      {1, 2, 0}, {99, 100, 0}, {100, 100, ENAMETOOLONG}, {4000, 64, ENAMETOOLONG}};
  for (const Case& c : cases) {
    const std::string target(c.length, 'x');
    const std::string link =
        dir / ("link" + std::to_string(c.length) + "-" + std::to_string(c.capacity));
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const auto read = read_link(link, c.capacity);
    if (c.error == 0) {
      ASSERT_TRUE(read.ok()) << read.error().text();
      EXPECT_EQ(read.value(), target);
    } else {
      ASSERT_FALSE(read.ok());
      EXPECT_EQ(read.error().code(), c.error);
    }
  }
  EXPECT_EQ(read_link(dir / "missing", 100).error().code(), ENOENT);
  EXPECT_EQ(read_link(dir.path(), 100).error().code(), EINVAL);
}

}  // namespace
}  // namespace sorvane::gui

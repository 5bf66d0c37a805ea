#include "path.hpp"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

struct Case {
  const char* path;
  const char* expected;  // nullptr: nothing
};

// Checks a path function that answers with an optional piece of the path.
template <class Function, size_t N>
void check(Function function, const Case (&cases)[N]) {
  for (const auto& c : cases) {
    const auto got = function(c.path);
    if (c.expected == nullptr) {
      EXPECT_FALSE(got.has_value()) << '"' << c.path << "\" -> \"" << got.value_or("") << '"';
    } else {
      ASSERT_TRUE(got.has_value()) << c.path;
      EXPECT_EQ(*got, c.expected) << c.path;
    }
  }
}

TEST(Path, ParentFollowsComponentRules) {
  const Case cases[] = {
      {"", nullptr},
      {"/", nullptr},
      {"//", nullptr},
      {"/.", nullptr},
      {".", ""},
      {"..", ""},
      {"out.sh", ""},
      {"./out.sh", "."},
      {"/out.sh", "/"},
      {"/usr/bin/bash", "/usr/bin"},
      {"/usr/bin/", "/usr"},
      {"a//b", "a"},
      {"a/./b", "a"},
      {"a/b/.", "a"},
      {"new/./out.sh", "new"},
      {"a/b/..", "a/b"},
      {"./scripts/update-script-output.sh", "./scripts"},
      {".//a", "."},
      {"a///", ""},
      {"/a/./", "/"},
  };
  check(parent, cases);
}

TEST(Path, FinalComponentIgnoresTrailingSlashAndDot) {
  const Case cases[] = {
      {"", nullptr},
      {"/", nullptr},
      {".", nullptr},
      {"..", nullptr},
      {"/usr/bin/..", nullptr},
      {"./", nullptr},
      {"apt", "apt"},
      {"./apt", "apt"},
      {"/usr/bin/apt", "apt"},
      {"/usr/bin/apt/", "apt"},
      {"/usr/bin/apt/.", "apt"},
      {"/usr//bin//apt//", "apt"},
      {"a/../apt", "apt"},
      {".apt", ".apt"},
      {"/usr/bin/...", "..."},
  };
  check(final_component, cases);
}

TEST(Path, JoinAddsOneSeparator) {
  EXPECT_EQ(join("/usr/bin", "bash"), "/usr/bin/bash");
  EXPECT_EQ(join("/usr/bin/", "bash"), "/usr/bin/bash");
  EXPECT_EQ(join("", "bash"), "bash");
  EXPECT_EQ(join("/", "out.sh"), "/out.sh");
  EXPECT_EQ(join("/home/u", "./scripts"), "/home/u/./scripts");
  EXPECT_EQ(join("/usr/bin", "/bin/bash"), "/bin/bash");
}

TEST(Path, ResolveRejectsMissingAndNul) {
  EXPECT_EQ(resolve("/usr/bin/../bin/."), "/usr/bin");
  EXPECT_FALSE(resolve("/nonexistent-sorvane/x").has_value());
  EXPECT_FALSE(resolve(std::string_view("/usr\0/bin", 9)).has_value());
}

}  // namespace
}  // namespace sorvane

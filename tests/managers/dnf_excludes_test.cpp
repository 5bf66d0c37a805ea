// What dnf.conf excludes from every update.
#include "dnf_excludes.hpp"

#include <gtest/gtest.h>

namespace sorvane::gui {
namespace {

using Names = std::vector<std::string>;

struct ExcludeCase {
  const char* conf;
  Names patterns;
};

class DnfConf : public testing::TestWithParam<ExcludeCase> {};

TEST_P(DnfConf, ExcludesOfMainOnly) {
  EXPECT_EQ(parse_dnf_excludes(GetParam().conf), GetParam().patterns);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DnfConf,
    testing::Values(ExcludeCase{"[main]\ngpgcheck=1\nexcludepkgs=kernel*, firefox\n",
                                {"kernel*", "firefox"}},
                    ExcludeCase{"[main]\nexclude = a b,c\nexcludepkgs=d\n", {"a", "b", "c", "d"}},
                    // A repository's excludes are that repository's; comments are not settings.
                    ExcludeCase{"[main]\n#excludepkgs=x\n[updates]\nexcludepkgs=y\n", {}},
                    ExcludeCase{"excludepkgs=before-main\n[main]\r\nexcludepkgs=z\r\n", {"z"}},
                    ExcludeCase{"", {}}));

TEST(DnfExcludes, GlobsAsDnfMatchesThem) {
  const Names patterns = {"kernel*", "firefox"};
  EXPECT_TRUE(dnf_excludes(patterns, "kernel-core"));
  EXPECT_TRUE(dnf_excludes(patterns, "firefox"));
  EXPECT_FALSE(dnf_excludes(patterns, "firefox-langpacks"));
  EXPECT_FALSE(dnf_excludes({}, "kernel"));
}

}  // namespace
}  // namespace sorvane::gui

// Outside text: the advisories it names, and hostile text made plain and
// bounded.
#include "outside_text.hpp"

#include <gtest/gtest.h>

namespace sorvane::gui {
namespace {

TEST(OutsideText, NamesEachAdvisoryOnce) {
  const std::pair<std::string_view, std::vector<std::string>> cases[] = {
      {"", {}},
      {"CVE-2024-1234 CVE-2024-1234, DLA-3999-1", {"CVE-2024-1234", "DLA-3999-1"}},
      {"(CVE-2024-12345)", {"CVE-2024-12345"}},
      {"DSA-5890", {"DSA-5890"}},
      {"DSA-5890-", {"DSA-5890"}},
      {"CVE-24-1234 CVE-2024-12 CVE-2024 xCVE-2024-1234 DSA-12", {}},
      {"CVE-2024-1234\x1b[31m", {"CVE-2024-1234"}},
  };
  for (const auto& [text, advisories] : cases) EXPECT_EQ(advisories_in(text), advisories) << text;
}

TEST(OutsideText, HostileTextIsShownPlainAndBounded) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain\n\ttabbed\n", "plain\n\ttabbed\n"},
      {"a\x1b[2J\x1b[31mred\x1b[0m", "ared"},
      {"title\x1b]0;owned\x07 after", "title after"},
      {"clip\x1b]52;c;ZXZpbA==\x1b\\board", "clipboard"},
      {std::string("nul\0bell\a\rcr\x7f", 14), "nulbellcr"},
      {"ünïcödé", "ünïcödé"},
      // C1 controls as UTF-8: U+009B is a CSI to terminals that take them.
      {"a\xc2\x9b"
       "2Jb\xc2\x9d"
       "0;owned\xc2\x9c c\xc2\xa0"
       "d\xc2",
       "a2Jb0;owned c\xc2\xa0"
       "d\xc2"},
      // Nor is one made of the bytes left around what was removed.
      {"\xc2\x1b[m\x9b"
       "2J",
       "2J"},
  };
  for (const auto& [text, plain] : cases) EXPECT_EQ(plain_text(text, 100), plain);
  // A huge changelog is cut at a line's end.
  std::string huge;
  for (int i = 0; i < 100000; ++i) huge += "  * a line of a very long changelog\n";
  constexpr size_t LIMIT = size_t{256} * 1024;
  const std::string cut = plain_text(huge, LIMIT);
  EXPECT_LE(cut.size(), LIMIT + 3);
  EXPECT_TRUE(cut.ends_with("\n…"));
}

}  // namespace
}  // namespace sorvane::gui

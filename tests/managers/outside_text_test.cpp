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
  // A zero-width character no longer hides an advisory from the window.
  EXPECT_EQ(advisories_in(plain_text("fixes CVE-2024\u200b-1234", 100)),
            std::vector<std::string>{"CVE-2024-1234"});
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
       "d\xef\xbf\xbd"},
      // Nor is one made of the bytes left around what was removed.
      {"\xc2\x1b[m\x9b"
       "2J",
       "2J"},
      // What reorders or breaks a line, and bytes that are no UTF-8: U+FFFD.
      {"\u202egpj.exe \u2066x\u2069 a\u2028b \xff\xfe",
       "\ufffdgpj.exe \ufffdx\ufffd a\ufffdb \ufffd\ufffd"},
      // Invisible characters inside ASCII hide nothing any more.
      {"CVE-2024\u200b-12\u200d34\u2060 \ufeff\u00adDSA-5\u200e890", "CVE-2024-1234 DSA-5890"},
      // What a script needs stays: Persian's ZWNJ, an emoji's ZWJ and
      // selector, Hebrew's direction mark beside ASCII, a keycap.
      {"\u0645\u06cc\u200c\u062e\u0648\u0627\u0647\u0645 \U0001f469\u200d\U0001f4bb \u2764\ufe0f "
       "\u05e9\u05dc\u05d5\u05dd\u200e (1.2) 1\ufe0f\u20e3",
       "\u0645\u06cc\u200c\u062e\u0648\u0627\u0647\u0645 \U0001f469\u200d\U0001f4bb \u2764\ufe0f "
       "\u05e9\u05dc\u05d5\u05dd\u200e (1.2) 1\ufe0f\u20e3"},
  };
  for (const auto& [text, plain] : cases) EXPECT_EQ(plain_text(text, 100), plain);
  // A huge changelog is cut at a line's end.
  std::string huge;
  for (int i = 0; i < 100000; ++i) huge += "  * a line of a very long changelog\n";
  constexpr size_t LIMIT = size_t{256} * 1024;
  const std::string cut = plain_text(huge, LIMIT);
  EXPECT_LE(cut.size(), LIMIT + 3);
  EXPECT_TRUE(cut.ends_with("\n…"));
  // One long line of bytes that are no UTF-8 stays within the limit, cut
  // between whole characters.
  std::string replaced;
  for (int i = 0; i < 33; ++i) replaced += "\ufffd";
  EXPECT_EQ(plain_text(std::string(1000, '\xff'), 100), replaced + "…");
}

}  // namespace
}  // namespace sorvane::gui

#include "terminal_text.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

TEST(TerminalText, ShowsWhatATerminalWouldShowLast) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain text", "plain text"},
      {"\x1B[1;32mok\x1B[0m done", "\x1B[1;32mok\x1B[0m done"},  // colours stay
      {"10%\r50%\r100%", "100%"},
      {"10%\r100%\r", "100%"},  // a trailing redraw point shows the last text
      {"\r", ""},
      {"\x1B]0;window title\x07text", "text"},  // OSC, ended by BEL
      {"\x1B]8;;http://x\x1B\\link", "link"},   // OSC, ended by ESC backslash
      {"\x1B[2K\x1B[1Gline", "line"},           // erase and cursor moves go
      {"a\x1B(Bb", "ab"},                       // a character-set switch
      {"tab\there", "tab\there"},
      {"bell\x07 back\x08space\x7F", "bell backspace"},
      {"caf\xFF", "caf\xEF\xBF\xBD"},
      {"\xC2\x9B"
       "31m",
       "31m"},                // the one-character CSI is a control, not a sequence
      {"cut \x1B[", "cut "},  // unfinished at the end of the line
      {"\xE2\x94\x80\xE2\x94\x80", "\xE2\x94\x80\xE2\x94\x80"},
      // A string never ended on its line: only "ESC ]" goes, the rest shows.
      {"\x1B]0;title then text", "0;title then text"},
      {"a\x1BPq#0 then \x1B[31mred", "aq#0 then \x1B[31mred"},
      {"\x1B_x\x1B^y", "xy"},
      // What would reorder or break the shown line shows as U+FFFD.
      {"file\xE2\x80\xAEtxt.exe", "file\xEF\xBF\xBDtxt.exe"},  // RIGHT-TO-LEFT OVERRIDE
      {"one\xE2\x80\xA8two\xE2\x80\xA9", "one\xEF\xBF\xBDtwo\xEF\xBF\xBD"},      // LS, PS
      {"\xE2\x81\xA6isolated\xE2\x81\xA9", "\xEF\xBF\xBDisolated\xEF\xBF\xBD"},  // LRI, PDI
      {"\xE2\x80\xAAlow\xE2\x80\xAC", "\xEF\xBF\xBDlow\xEF\xBF\xBD"},            // LRE, PDF
      {"\xE2\x80\x8Fmarks\xE2\x80\x8E", "\xE2\x80\x8Fmarks\xE2\x80\x8E"},        // RLM, LRM stay
  };
  for (const auto& [raw, shown] : cases) {
    EXPECT_EQ(displayable_line(raw), shown) << testing::PrintToString(raw);
  }
  EXPECT_EQ(without_colours("\x1B[31mred\x1B[0m and \x1B[1mbold\x1B[m"), "red and bold");
}

// What --check prints to a terminal: outside text can act on nothing.
TEST(TerminalText, OutsideTextGoesToATerminalAsVisibleEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {"1.2-3", "1.2-3"},
      {"1.0\x1B]52;c;aGVsbG8=\x07", "1.0\\x1b]52;c;aGVsbG8=\\x07"},  // OSC 52: the clipboard
      {"1.0\x1B]52;c;aGVsbG8=\x1B\\", "1.0\\x1b]52;c;aGVsbG8=\\x1b\\"},
      {"2\x1B[2K\x1B[1A\x1B[Hx", "2\\x1b[2K\\x1b[1A\\x1b[Hx"},  // erase, cursor up, home
      {"lone\x1B", "lone\\x1b"},
      {"\xC2\x9B"
       "31m\xC2\x9D"
       "52;c;x\xC2\x9C",
       "\\u009b31m\\u009d52;c;x\\u009c"},  // C1 CSI, OSC and ST in UTF-8
      {"a\rb\nc\td\x7F\x08", "a\\x0db\\x0ac\\x09d\\x7f\\x08"},
      {"v\xE2\x80\xAE"
       "1-2",
       "v\\u202e1-2"},  // RIGHT-TO-LEFT OVERRIDE
      {"\xE2\x81\xA6x\xE2\x81\xA9\xE2\x80\xA8", "\\u2066x\\u2069\\u2028"},
      {"caf\xFF\x9B", "caf\xEF\xBF\xBD\xEF\xBF\xBD"},  // a raw C1 byte is no UTF-8
      {"\xE2\x80\x8F\xE6\x9B\xB4\xE6\x96\xB0", "\xE2\x80\x8F\xE6\x9B\xB4\xE6\x96\xB0"},
  };
  for (const auto& [raw, safe] : cases) {
    EXPECT_EQ(terminal_safe(raw), safe) << testing::PrintToString(raw);
  }
}

TEST(TerminalText, ColoursBecomeRunsOfSixteenColours) {
  using Runs = std::vector<ColouredRun>;
  EXPECT_EQ(colour_runs("plain"), (Runs{{"plain", -1, false}}));
  EXPECT_EQ(colour_runs(""), (Runs{{"", -1, false}}));
  EXPECT_EQ(colour_runs("\x1B[1;31mError\x1B[0m: \x1B[92mok\x1B[39m!"),
            (Runs{{"Error", 1, true}, {": ", -1, false}, {"ok", 10, false}, {"!", -1, false}}));
  EXPECT_EQ(colour_runs("\x1B[38;5;4mblue\x1B[38;5;200mpink\x1B[38;2;1;2;3;1mbold"),
            (Runs{{"blue", 4, false}, {"pink", -1, false}, {"bold", -1, true}}));
  EXPECT_EQ(colour_runs("\x1B[1mB\x1B[22mn\x1B[mx"),
            (Runs{{"B", -1, true}, {"n", -1, false}, {"x", -1, false}}));
}

}  // namespace
}  // namespace sorvane::gui

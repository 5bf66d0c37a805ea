// Decoding of untrusted bytes and the two ways of showing a path.
#include <gtest/gtest.h>

#include <cerrno>

#include "os_error.hpp"
#include "quote.hpp"
#include "utf8.hpp"

namespace sorvane {
namespace {

const std::string FFFD = "\xEF\xBF\xBD";

struct PlainCase {
  std::string bytes;
  std::string plain;
};

TEST(Utf8, OneReplacementPerMaximalInvalidSubpart) {
  const PlainCase cases[] = {
      {"", ""},
      {"plain ascii", "plain ascii"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // a whole emoji stays
      {"\xF0\x9F\x98", FFFD},                    // truncated: one subpart
      {"\xF0\x9F\x98x", FFFD + "x"},
      {"\xED\xA0\x80", FFFD + FFFD + FFFD},             // surrogate: three
      {"\xC0\xAF", FFFD + FFFD},                        // overlong
      {"\xE0\x80\xAF", FFFD + FFFD + FFFD},             // overlong three-byte form
      {"\xF4\x90\x80\x80", FFFD + FFFD + FFFD + FFFD},  // above U+10FFFF
      {"\xF5", FFFD},
      {"\x80\x80", FFFD + FFFD},  // stray continuations
      {"\xE2\x82", FFFD},
      {"a\xFF"
       "b",
       "a" + FFFD + "b"},
      {"\xE1\x80\x80\xE1", "\xE1\x80\x80" + FFFD},
  };
  for (const auto& c : cases)
    EXPECT_EQ(to_plain(c.bytes), c.plain) << testing::PrintToString(c.bytes);
}

TEST(Utf8, EncodesEveryLength) {
  for (const char32_t c : {U'A', U'\u00E9', U'\uFFFD', U'\U0001F600'}) {
    std::string encoded;
    append_utf8(encoded, c);
    const Utf8Unit unit = decode_utf8_unit(encoded, 0);
    EXPECT_TRUE(unit.valid);
    EXPECT_EQ(unit.code_point, c);
    EXPECT_EQ(unit.length, encoded.size());
  }
}

struct QuoteCase {
  std::string path;
  std::string quoted;
};

TEST(Quote, EscapesWhatCannotBeShownAsItIs) {
  const QuoteCase cases[] = {
      {"/home/u/./scripts/.update-script-AbC123", R"("/home/u/./scripts/.update-script-AbC123")"},
      {"a\"b", R"("a\"b")"},
      {"a\\b", R"("a\\b")"},
      {"it's", R"("it's")"},
      {std::string("\t\r\n\0", 4), R"("\t\r\n\0")"},
      {"\x01\x1F\x7F", R"("\u{1}\u{1f}\u{7f}")"},
      {"\xC2\x85\xC2\x9F", R"("\u{85}\u{9f}")"},              // C1 controls
      {"a b", R"("a b")"},                                    // the space stays
      {"\xC2\xA0\xE3\x80\x80", R"("\u{a0}\u{3000}")"},        // other white space
      {"\xE2\x80\x8B\xE2\x80\x8D", R"("\u{200b}\u{200d}")"},  // format characters
      {"\xEF\xBB\xBF", R"("\u{feff}")"},
      {"\xE1\x85\x9F", R"("\u{115f}")"},                             // default ignorable, not Cf
      {"\xEE\x80\x80\xF3\xB0\x80\x80", R"("\u{e000}\u{f0000}")"},    // private use
      {"\xCD\xB8", R"("\u{378}")"},                                  // unassigned
      {"e\xCC\x81", R"("e\u{301}")"},                                // combining acute
      {"\xC3\xA9", "\"\xC3\xA9\""},                                  // precomposed é stays
      {"\xEF\xBE\x9E\xEF\xBE\x9F", "\"\xEF\xBE\x9E\xEF\xBE\x9F\""},  // U+FF9E, U+FF9F stay
      {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},                  // emoji stays
      {"\xFF", R"("\xFF")"},
      {"a\xF0\x9F\x98z", R"("a\xF0\x9F\x98z")"},
      {"\xED\xA0\x80", R"("\xED\xA0\x80")"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(quote_path(c.path), c.quoted) << testing::PrintToString(c.path);
}

TEST(OsErrorText, NumberedAndFixedErrors) {
  EXPECT_EQ(OsError::from_code(ENOENT).text(), "No such file or directory (os error 2)");
  EXPECT_EQ(OsError::from_code(ENOMEM).text(), "Cannot allocate memory (os error 12)");
  // A call that failed without setting errno still says something.
  errno = 0;
  EXPECT_EQ(OsError::last().text(), "Success (os error 0)");
  EXPECT_EQ(OsError::with_message("failed to write whole buffer", ErrorKind::WriteZero).text(),
            "failed to write whole buffer");
  EXPECT_EQ((PathError{"/a b/\xFF", OsError::from_code(EACCES)}.text()),
            "Permission denied (os error 13) at path \"/a b/\\xFF\"");
}

}  // namespace
}  // namespace sorvane

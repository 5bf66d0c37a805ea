#include "secret.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

// The password's page: UTF-8 as typed, taken back character by character,
// too long told apart, and locked in memory.
TEST(SecretBytes, HoldsWhatIsTypedAsUtf8) {
  SecretBytes secret;
  EXPECT_TRUE(secret.locked());
  for (const char32_t c : std::u32string(U"pä€😀")) secret.append(c);
  EXPECT_EQ(secret.view(), "p\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80");
  secret.remove_last();
  EXPECT_EQ(secret.view(), "p\xC3\xA4\xE2\x82\xAC");
  secret.remove_last();
  secret.remove_last();
  EXPECT_EQ(secret.view(), "p");
  SecretBytes moved = std::move(secret);
  EXPECT_EQ(moved.view(), "p");
  EXPECT_TRUE(secret.empty());  // NOLINT(bugprone-use-after-move): moved from is empty
  for (size_t i = 0; i < SecretBytes::CAPACITY; ++i) moved.append(U'x');
  EXPECT_TRUE(moved.overflowed());
  EXPECT_EQ(moved.size(), SecretBytes::CAPACITY);
  moved.clear();
  EXPECT_TRUE(moved.empty());
  EXPECT_EQ(moved.view(), "");
}

TEST(Password, RefusesWhatSudoWouldMisread) {
  EXPECT_EQ(password_refusal("correct horse"), std::nullopt);
  EXPECT_EQ(password_refusal(std::string(MAX_PASSWORD_BYTES, 'p')), std::nullopt);
  EXPECT_EQ(password_refusal(std::string(MAX_PASSWORD_BYTES + 1, 'p')), PasswordRefusal::TooLong);
  EXPECT_EQ(password_refusal("a\nb"), PasswordRefusal::LineBreak);
  EXPECT_EQ(password_refusal("a\rb"), PasswordRefusal::LineBreak);
  EXPECT_EQ(password_refusal(std::string("a\0b", 3)), PasswordRefusal::NulByte);
  std::string secret = "secret";
  wipe(secret.data(), secret.size());
  EXPECT_EQ(secret, std::string(6, '\0'));
}

}  // namespace
}  // namespace sorvane::gui

// The password's one home in the window: a page of its own, locked in
// memory (never written to swap), left out of core dumps, and wiped when
// it is let go, on every path. The password is appended to it as it is
// typed, so no other copy of it is ever made; it is checked before it is
// written, and whoever owns it last (the write to sudo) lets it go.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace sorvane::gui {

// sudo reads one line, and takes at most this many bytes of it.
inline constexpr size_t MAX_PASSWORD_BYTES = 255;

enum class PasswordRefusal : unsigned char {
  LineBreak,  // a carriage return or line feed would end sudo's line early
  NulByte,
  TooLong,
};

std::optional<PasswordRefusal> password_refusal(std::string_view password);

// Overwrites the bytes in a way the compiler cannot leave out.
void wipe(char* data, size_t size);

class SecretBytes {
 public:
  // Room for more than sudo accepts (and the line feed after it): a longer
  // password is still told apart from one that fits.
  static constexpr size_t CAPACITY = 1024;

  SecretBytes();
  // Over storage the caller owns and keeps past this one's end (a test
  // looks at what is left in it); wiped like the page.
  explicit SecretBytes(std::span<char> storage);
  ~SecretBytes();
  SecretBytes(SecretBytes&& other) noexcept;
  SecretBytes& operator=(SecretBytes&& other) noexcept;
  SecretBytes(const SecretBytes&) = delete;
  SecretBytes& operator=(const SecretBytes&) = delete;

  // Appends `c` as UTF-8. Past CAPACITY nothing is kept, and overflowed()
  // says so.
  void append(char32_t c);
  void append_byte(char byte);
  // Removes the last character (all its UTF-8 bytes).
  void remove_last();
  // Wipes what it holds; it is empty again.
  void clear();

  [[nodiscard]] std::string_view view() const { return {data_, size_}; }
  [[nodiscard]] size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0 && !overflowed_; }
  [[nodiscard]] bool overflowed() const { return overflowed_; }
  // Whether the page is locked in memory (mlock may be refused by a limit).
  [[nodiscard]] bool locked() const { return locked_; }

 private:
  void release();

  char* data_ = nullptr;
  size_t capacity_ = 0;  // what append may fill
  size_t size_ = 0;
  bool overflowed_ = false;
  bool locked_ = false;
  bool mapped_ = false;  // the page is ours to unmap
};

}  // namespace sorvane::gui

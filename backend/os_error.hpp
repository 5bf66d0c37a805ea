// Operating-system errors as values: an errno, or a fixed message for the few
// failures that have no number. Rendered the same way everywhere a user sees
// one: "<C-locale strerror text> (os error N)".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvane {

// Steers retries and directory walking; never shown to a user.
enum class ErrorKind { AlreadyExists, AddrInUse, NotFound, Interrupted, WriteZero, Other };

// Text that lives as long as the program: a constant, never a temporary.
// The constructor runs at compile time, so a std::string cannot be passed.
class StaticText {
 public:
  // Implicit, so a literal or a named constant reads as it is at the call.
  // cppcheck-suppress noExplicitConstructor
  consteval StaticText(std::string_view text) : text_(text) {}
  template <std::size_t N>
  // cppcheck-suppress noExplicitConstructor
  consteval StaticText(const char (&text)[N]) : text_(text, N - 1) {}
  [[nodiscard]] constexpr std::string_view view() const { return text_; }

 private:
  std::string_view text_;
};

class OsError {
 public:
  static OsError from_code(int code);
  // The error of the call that just failed.
  static OsError last();
  static OsError with_message(const StaticText& message, ErrorKind kind);

  // 0 for an error that carries a fixed message instead of a number.
  [[nodiscard]] int code() const { return code_; }
  [[nodiscard]] ErrorKind kind() const { return kind_; }
  [[nodiscard]] std::string text() const;

  friend bool operator==(const OsError&, const OsError&) = default;

 private:
  OsError(int code, std::string_view message, ErrorKind kind)
      : code_(code), message_(message), kind_(kind) {}

  int code_;
  std::string_view message_;  // empty for a numbered error; else a StaticText's
  ErrorKind kind_;
};

// An error about one path; renders as "<err> at path <quoted path>".
struct PathError {
  std::string path;
  OsError err;

  [[nodiscard]] ErrorKind kind() const { return err.kind(); }
  [[nodiscard]] std::string text() const;
};

// The C library's message for an error number, as the C locale gives it.
std::string error_message(int code);

}  // namespace sorvane

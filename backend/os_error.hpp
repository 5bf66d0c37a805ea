// Operating-system errors as values: an errno, or a fixed message for the few
// failures that have no number. Rendered the same way everywhere a user sees
// one: "<C-locale strerror text> (os error N)".
#pragma once

#include <string>
#include <string_view>

namespace sorvane {

// Steers retries and directory walking; never shown to a user.
enum class ErrorKind { AlreadyExists, AddrInUse, NotFound, Interrupted, WriteZero, Other };

class OsError {
 public:
  static OsError from_code(int code);
  // The error of the call that just failed.
  static OsError last();
  static OsError with_message(std::string_view message, ErrorKind kind);

  // 0 for an error that carries a fixed message instead of a number.
  [[nodiscard]] int code() const { return code_; }
  [[nodiscard]] ErrorKind kind() const { return kind_; }
  [[nodiscard]] std::string text() const;

  friend bool operator==(const OsError&, const OsError&) = default;

 private:
  OsError(int code, std::string_view message, ErrorKind kind)
      : code_(code), message_(message), kind_(kind) {}

  int code_;
  std::string_view message_;  // static storage only
  ErrorKind kind_;
};

// The C library's message for an error number, as the C locale gives it.
std::string error_message(int code);

}  // namespace sorvane

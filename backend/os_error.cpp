#include "os_error.hpp"

#include <array>
#include <cerrno>
#include <cstring>

#include "quote.hpp"

namespace sorvane {
namespace {

ErrorKind kind_of(int code) {
  switch (code) {
    case EEXIST: return ErrorKind::AlreadyExists;
    case EADDRINUSE: return ErrorKind::AddrInUse;
    case ENOENT: return ErrorKind::NotFound;
    case EINTR: return ErrorKind::Interrupted;
    default: return ErrorKind::Other;
  }
}

}  // namespace

OsError OsError::from_code(int code) {
  return OsError(code, {}, kind_of(code));
}

OsError OsError::last() {
  return from_code(errno);
}

OsError OsError::with_message(const StaticText& message, ErrorKind kind) {
  return OsError(0, message.view(), kind);
}

std::string error_message(int code) {
  // The process never sets a locale, so these are the C locale's texts. C++
  // compilers define _GNU_SOURCE, which selects the GNU strerror_r: it
  // returns the message, which may or may not live in buf.
  std::array<char, 256> buf{};
  return ::strerror_r(code, buf.data(), buf.size());
}

std::string OsError::text() const {
  // A call that failed without setting errno still shows its number (0),
  // never an empty text.
  if (!message_.empty()) return std::string(message_);
  return error_message(code_) + " (os error " + std::to_string(code_) + ")";
}

std::string PathError::text() const {
  return err.text() + " at path " + quote_path(path);
}

}  // namespace sorvane

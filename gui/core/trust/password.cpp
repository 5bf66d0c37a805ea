#include "password.hpp"

#include <string.h>  // explicit_bzero

namespace sorvane::gui {

std::optional<PasswordRefusal> password_refusal(std::string_view password) {
  if (password.find_first_of("\r\n") != std::string_view::npos) return PasswordRefusal::LineBreak;
  if (password.find('\0') != std::string_view::npos) return PasswordRefusal::NulByte;
  if (password.size() > MAX_PASSWORD_BYTES) return PasswordRefusal::TooLong;
  return std::nullopt;
}

void wipe(char* data, size_t size) {
  ::explicit_bzero(data, size);
}

}  // namespace sorvane::gui

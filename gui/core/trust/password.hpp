// The sudo password as the update window handles it: checked before it is
// written, and wiped from the window's own buffers after.
#pragma once

#include <cstddef>
#include <optional>
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

}  // namespace sorvane::gui

// The plain form of a path: always valid UTF-8, the input itself when that
// was valid, and the same replacements as the reference decoder.
#include <cstdlib>
#include <string_view>

#include "reference_utf8.hpp"
#include "utf8.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string plain = sorvane::to_plain(input);
  if (!sorvane::reference::is_valid(plain)) std::abort();
  if (plain != sorvane::reference::replace_invalid(input)) std::abort();
  if (sorvane::reference::is_valid(input) && plain != input) std::abort();
  return 0;
}

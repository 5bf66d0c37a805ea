// Detector output as Sorvane reads it: decode, split into lines, trim.
// Checks the decoder against the reference and the shape of every line.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "detection.hpp"
#include "reference_utf8.hpp"
#include "unicode_tables.hpp"
#include "utf8.hpp"

namespace {

bool starts_or_ends_with_white_space(std::string_view s) {
  if (s.empty()) return false;
  const auto first = sorvane::decode_utf8_unit(s, 0);
  size_t last_start = s.size() - 1;
  while (last_start > 0 && (static_cast<unsigned char>(s[last_start]) & 0xC0U) == 0x80U)
    --last_start;
  const auto last = sorvane::decode_utf8_unit(s, last_start);
  return sorvane::unicode::contains(sorvane::unicode::WHITE_SPACE, first.code_point) ||
         sorvane::unicode::contains(sorvane::unicode::WHITE_SPACE, last.code_point);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string text = sorvane::to_plain(input);
  if (text != sorvane::reference::replace_invalid(input)) std::abort();

  const auto lines = sorvane::split_lines(text);
  const auto feeds = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  const bool tail = !text.empty() && text.back() != '\n';
  if (lines.size() != feeds + (tail ? 1 : 0)) std::abort();

  for (const std::string_view line : lines) {
    if (line.find('\n') != std::string_view::npos) std::abort();
    const std::string_view trimmed = sorvane::trim_white_space(line);
    // A piece of the line itself, valid UTF-8, with no white space left at its ends.
    if (trimmed.data() < line.data() || trimmed.data() + trimmed.size() > line.data() + line.size())
      std::abort();
    if (!sorvane::reference::is_valid(trimmed)) std::abort();
    if (starts_or_ends_with_white_space(trimmed)) std::abort();
  }
  return 0;
}

#include "utf8.hpp"

#include <cstdint>

namespace sorvane {
namespace {

bool is_continuation(unsigned char b) {
  return (b & 0xC0U) == 0x80U;
}

}  // namespace

Utf8Unit decode_utf8_unit(std::string_view bytes, size_t pos) {
  const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[pos + i]); };
  const size_t available = bytes.size() - pos;
  const unsigned char lead = at(0);
  if (lead < 0x80U) return {lead, 1, true};

  // Well-formed sequences (Unicode Table 3-7): the lead byte fixes the
  // length and the range allowed for the second byte.
  size_t length = 0;
  unsigned char second_min = 0x80U;
  unsigned char second_max = 0xBFU;
  char32_t value = 0;
  if (lead >= 0xC2U && lead <= 0xDFU) {
    length = 2;
    value = lead & 0x1FU;
  } else if (lead >= 0xE0U && lead <= 0xEFU) {
    length = 3;
    value = lead & 0x0FU;
    if (lead == 0xE0U) second_min = 0xA0U;  // no overlong forms
    if (lead == 0xEDU) second_max = 0x9FU;  // no surrogates
  } else if (lead >= 0xF0U && lead <= 0xF4U) {
    length = 4;
    value = lead & 0x07U;
    if (lead == 0xF0U) second_min = 0x90U;  // no overlong forms
    if (lead == 0xF4U) second_max = 0x8FU;  // nothing above U+10FFFF
  } else {
    return {REPLACEMENT_CHARACTER, 1, false};
  }

  // A maximal subpart ends at the first byte that cannot continue it.
  for (size_t i = 1; i < length; ++i) {
    if (i >= available) return {REPLACEMENT_CHARACTER, i, false};
    const unsigned char b = at(i);
    const bool fits = (i == 1) ? (b >= second_min && b <= second_max) : is_continuation(b);
    if (!fits) return {REPLACEMENT_CHARACTER, i, false};
    value = (value << 6U) | (b & 0x3FU);
  }
  return {value, length, true};
}

void append_utf8(std::string& out, char32_t c) {
  const auto byte = [&](std::uint32_t v) { out += static_cast<char>(v); };
  if (c < 0x80U) {
    byte(c);
  } else if (c < 0x800U) {
    byte(0xC0U | (c >> 6U));
    byte(0x80U | (c & 0x3FU));
  } else if (c < 0x10000U) {
    byte(0xE0U | (c >> 12U));
    byte(0x80U | ((c >> 6U) & 0x3FU));
    byte(0x80U | (c & 0x3FU));
  } else {
    byte(0xF0U | (c >> 18U));
    byte(0x80U | ((c >> 12U) & 0x3FU));
    byte(0x80U | ((c >> 6U) & 0x3FU));
    byte(0x80U | (c & 0x3FU));
  }
}

std::string to_plain(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t pos = 0; pos < bytes.size();) {
    const Utf8Unit unit = decode_utf8_unit(bytes, pos);
    if (unit.valid) {
      out.append(bytes.substr(pos, unit.length));
    } else {
      append_utf8(out, REPLACEMENT_CHARACTER);
    }
    pos += unit.length;
  }
  return out;
}

}  // namespace sorvane

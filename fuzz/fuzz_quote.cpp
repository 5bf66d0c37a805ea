// The quoted form of a path: valid UTF-8, no raw control character, and it
// decodes back to exactly the original bytes.
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "quote.hpp"
#include "reference_utf8.hpp"
#include "utf8.hpp"

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Undoes the escapes; nothing when the text is not a well-formed quoted form.
std::optional<std::string> unquote(std::string_view q) {
  if (q.size() < 2 || q.front() != '"' || q.back() != '"') return std::nullopt;
  q = q.substr(1, q.size() - 2);
  std::string out;
  for (size_t i = 0; i < q.size(); ++i) {
    if (q[i] == '"') return std::nullopt;  // a quote inside must be escaped
    if (q[i] != '\\') {
      out += q[i];
      continue;
    }
    if (++i >= q.size()) return std::nullopt;
    switch (q[i]) {
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case '0': out += '\0'; break;
      case 'x': {
        if (i + 2 >= q.size()) return std::nullopt;
        const int hi = hex_value(q[i + 1]);
        const int lo = hex_value(q[i + 2]);
        // Upper-case only, as the form promises.
        if (hi < 0 || lo < 0 || std::islower(static_cast<unsigned char>(q[i + 1])) ||
            std::islower(static_cast<unsigned char>(q[i + 2]))) {
          return std::nullopt;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      case 'u': {
        if (i + 1 >= q.size() || q[i + 1] != '{') return std::nullopt;
        const size_t close = q.find('}', i + 2);
        if (close == std::string_view::npos || close == i + 2) return std::nullopt;
        std::uint32_t cp = 0;
        for (size_t j = i + 2; j < close; ++j) {
          const int v = hex_value(q[j]);
          if (v < 0 || (q[j] >= 'A' && q[j] <= 'F') || cp > 0x10FFFF) return std::nullopt;
          cp = cp * 16 + static_cast<std::uint32_t>(v);
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        sorvane::append_utf8(out, cp);
        i = close;
        break;
      }
      default: return std::nullopt;
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string q = sorvane::quote_path(input);
  if (!sorvane::reference::is_valid(q)) std::abort();
  for (const char c : q) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) std::abort();
  }
  const auto back = unquote(q);
  if (!back || *back != input) std::abort();
  return 0;
}

// Unicode character properties as sorted tables of inclusive ranges,
// generated from the Unicode Character Database by
// tools/gen_unicode_tables.py.
#pragma once

#include <algorithm>
#include <span>

namespace sorvane::unicode {

struct Range {
  char32_t first;
  char32_t last;
};

extern const std::span<const Range> WHITE_SPACE;        // White_Space
extern const std::span<const Range> FORMAT;             // general category Cf
extern const std::span<const Range> UNASSIGNED;         // general category Cn
extern const std::span<const Range> PRIVATE_USE;        // general category Co
extern const std::span<const Range> DEFAULT_IGNORABLE;  // Default_Ignorable_Code_Point
extern const std::span<const Range> GRAPHEME_EXTEND;    // Grapheme_Extend

inline bool contains(std::span<const Range> table, char32_t c) {
  const auto it = std::upper_bound(table.begin(), table.end(), c,
                                   [](char32_t value, const Range& r) { return value < r.first; });
  return it != table.begin() && c <= std::prev(it)->last;
}

}  // namespace sorvane::unicode

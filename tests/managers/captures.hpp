// Output captured from the real managers (tests/data/pending/README says
// how each was made); the parsers' tests add small rows for what the
// captures do not show.
#pragma once

#include <string>

#include "test_support.hpp"

namespace sorvane::test {

inline std::string capture(const std::string& name) {
  return read_file(source_dir() + "/tests/data/pending/" + name);
}

}  // namespace sorvane::test

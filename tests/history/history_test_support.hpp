// What the history's tests share: the captures' roots, read in UTC as
// they were written, and a setup that reads them.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

#include "history.hpp"
#include "test_support.hpp"

namespace sorvane::test {

inline void in_utc() {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
}

inline std::string history_data(const std::string& name) {
  return source_dir() + "/tests/data/history/" + name;
}

// Reads `root` (a captures' root, or a test's own), finding gzip and the
// managers in `path`.
inline gui::HistorySetup history_setup(const std::string& root,
                                       std::vector<std::string> path = {"/usr/bin", "/bin"}) {
  gui::HistorySetup setup;
  setup.check.places.root = root;
  setup.check.places.path_dirs = std::move(path);
  setup.check.places.owners = {0, ::geteuid()};
  setup.runs = root + "/no-runs";
  setup.user = ::geteuid();
  return setup;
}

}  // namespace sorvane::test

// The managers as the window knows them, against the script and the report.
#include "managers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "detection.hpp"
#include "payload.hpp"
#include "script_output.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using namespace std::chrono_literals;

// The window follows the script by the lines it prints: a line renamed in
// the script alone would make every good update look failed.
TEST(Managers, EachLineTheWindowWaitsForIsOneTheScriptPrints) {
  const std::string_view script = UPDATE_SCRIPT;
  std::vector<std::string> lines;
  for (const Manager& row : MANAGERS) lines.emplace_back(row.step_line);
  lines.emplace_back(COMPLETE_LINE);
  lines.emplace_back(HEADER_LINES[0]);
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    EXPECT_NE(script.find("echo \"" + line + "\"\n"), std::string_view::npos);
  }
  // Each in its own branch, in the order the window expects.
  size_t at = 0;
  for (const Manager& row : MANAGERS) {
    const size_t found = script.find(row.step_line, at);
    EXPECT_NE(found, std::string_view::npos) << row.name;
    at = found;
    const size_t test = script.rfind("command -v ", found);
    ASSERT_NE(test, std::string_view::npos);
    EXPECT_EQ(script.substr(test + 11, row.name.size()), row.name);
  }
}

TEST(Managers, TheReportAndTheScriptNameTheSameFive) {
  for (const Manager& row : MANAGERS) {
    EXPECT_EQ(display_name(row.kind), row.name);
    EXPECT_EQ(step_of(row.kind), row.step);
    EXPECT_EQ(step_named(row.name), row.step);
    // The privileged ones run first, under one sudo, then the user's.
    const bool before_flatpak = row.step < Step::Flatpak;
    EXPECT_EQ(row.under_sudo, before_flatpak) << row.name;
  }
  EXPECT_TRUE(std::find(SCRIPT_PROGRAMS.begin(), SCRIPT_PROGRAMS.end(), "flatpak") !=
              SCRIPT_PROGRAMS.end());
}

}  // namespace
}  // namespace sorvane::gui

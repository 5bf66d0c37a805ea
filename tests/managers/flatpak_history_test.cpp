#include "flatpak_history.hpp"

#include <gtest/gtest.h>

#include "history/history_test_support.hpp"

namespace sorvane::gui {
namespace {

TEST(FlatpakHistory, GroupsAnInstallationsChangesAMinuteApart) {
  test::in_utc();
  const std::int64_t now = 1796860800;  // 2026-12-10 00:00 UTC
  const auto entries =
      parse_flatpak_history(test::read_file(test::history_data("flatpak-history.txt")), now);
  ASSERT_EQ(entries.size(), 3U);
  EXPECT_EQ(entries[0].time, 1796115601);  // 2026-12-01 09:00:01
  EXPECT_EQ(entries[0].packages,
            (std::vector<PackageChange>{{"org.gnome.Calculator", "", "stable", Change::Installed},
                                        {"org.gnome.Platform", "", "47", Change::Installed}}));
  EXPECT_EQ(entries[0].command, "flatpak (user)");
  EXPECT_EQ(entries[1].packages.size(), 2U);
  EXPECT_EQ(entries[1].packages[0].action, Change::Upgraded);
  // The user's installation, seconds after the system's: its own entry.
  EXPECT_EQ(entries[2].packages,
            (std::vector<PackageChange>{{"org.gnome.Calculator", "", "stable", Change::Removed}}));
}

TEST(FlatpakHistory, ADateWithoutItsYearIsTheLatestNotAfterNow) {
  test::in_utc();
  const std::int64_t new_year = 1798761600;  // 2027-01-01 00:00 UTC
  const auto entries = parse_flatpak_history(
      "Dec 31 23:00:00\tdeploy update\ta\tstable\tsystem\n"
      "Jan  1 00:00:00\tdeploy update\tb\tstable\tsystem\n",
      new_year);
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].time, new_year - 3600);
  EXPECT_EQ(entries[1].time, new_year);
}

TEST(FlatpakHistory, ARowNamingNoApplicationListsNothing) {
  test::in_utc();
  const auto entries = parse_flatpak_history(
      "Dec  8 20:10:00\tdeploy update\t\tstable\tsystem\n"
      "Dec  8 20:10:20\tdeploy update\torg.gnome.Calculator\tstable\tsystem\n",
      1796860800);
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(entries[0].packages,
            (std::vector<PackageChange>{{"org.gnome.Calculator", "", "stable", Change::Upgraded}}));
}

}  // namespace
}  // namespace sorvane::gui

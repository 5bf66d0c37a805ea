#include "pacman_history.hpp"

#include <gtest/gtest.h>

#include "history/history_test_support.hpp"

namespace sorvane::gui {
namespace {

constexpr std::int64_t AT_2026_11_30_08_14_20 = 1796026460;  // UTC, logged at +0100

TEST(PacmanHistory, ReadsEachTransactionWithItsCommandAndEnd) {
  test::in_utc();
  History history;
  pacman_history(test::history_setup(test::history_data("pacman")), history);
  EXPECT_TRUE(history.unreadable.empty());
  ASSERT_EQ(history.entries.size(), 4U);
  const HistoryEntry& upgrade = history.entries[0];
  EXPECT_EQ(upgrade.time, AT_2026_11_30_08_14_20);
  EXPECT_EQ(upgrade.end, AT_2026_11_30_08_14_20 + 10);
  EXPECT_EQ(upgrade.command, "pacman -Syu");
  EXPECT_EQ(upgrade.ended, Ended::Succeeded);
  EXPECT_EQ(upgrade.packages, (std::vector<PackageChange>{
                                  {"openssl", "3.4.0-1", "3.4.1-1", Change::Upgraded},
                                  {"linux", "6.12.1.arch1-1", "6.12.2.arch1-1", Change::Upgraded},
                                  {"linux-firmware-whence", "", "20261120-1", Change::Installed}}));
  EXPECT_EQ(history.entries[1].packages,
            (std::vector<PackageChange>{{"gimp", "2.10.38-3", "", Change::Removed}}));
  EXPECT_EQ(history.entries[1].command, "pacman -R gimp");
  EXPECT_EQ(history.entries[2].ended, Ended::Failed);
  EXPECT_EQ(history.entries[2].packages,
            (std::vector<PackageChange>{{"firefox", "134.0-1", "133.0.3-1", Change::Other}}));
  // The log ends inside the last one.
  EXPECT_EQ(history.entries[3].ended, Ended::Unfinished);
}

// Lines pacman never writes name no package, and the transaction stays.
TEST(PacmanHistory, AnOddLineNamesNoPackage) {
  for (const std::string_view odd :
       {"upgraded  (1.0-1 -> 1.1-1)", "installed  (1.0-1)", "removed (1.0-1)", "upgraded foo 1.0-1",
        "installed foo (1.0"}) {
    SCOPED_TRACE(odd);
    PacmanLogReader reader;
    reader.line("[2026-11-30T08:14:20+0100] [ALPM] transaction started");
    reader.line("[2026-11-30T08:14:21+0100] [ALPM] " + std::string(odd));
    reader.line("[2026-11-30T08:14:22+0100] [ALPM] upgraded bar (2.0-1 -> 2.1-1)");
    reader.end();
    ASSERT_EQ(reader.entries.size(), 1U);
    EXPECT_EQ(reader.entries[0].packages,
              (std::vector<PackageChange>{{"bar", "2.0-1", "2.1-1", Change::Upgraded}}));
  }
}

TEST(PacmanHistory, AMissingLogIsNoSourceAtAll) {
  const test::TempDir root;
  History history;
  pacman_history(test::history_setup(root.path()), history);
  EXPECT_TRUE(history.entries.empty());
  EXPECT_TRUE(history.unreadable.empty());
}

}  // namespace
}  // namespace sorvane::gui

#include "snap_history.hpp"

#include <gtest/gtest.h>

#include "history/history_test_support.hpp"

namespace sorvane::gui {
namespace {

TEST(SnapHistory, KeepsChangesOfSnapsWithTheirStatus) {
  const auto entries = parse_snap_changes(test::read_file(test::history_data("snap-changes.txt")));
  ASSERT_EQ(entries.size(), 4U);           // "Connect" changes no snap
  EXPECT_EQ(entries[0].time, 1796523160);  // 2026-12-06T03:12:40+01:00
  EXPECT_EQ(entries[0].end, 1796523235);
  EXPECT_EQ(entries[0].packages,
            (std::vector<PackageChange>{{"core22", "", "", Change::Upgraded},
                                        {"firefox", "", "", Change::Upgraded}}));
  EXPECT_EQ(entries[1].packages[0].action, Change::Installed);
  EXPECT_EQ(entries[2].ended, Ended::Failed);
  EXPECT_EQ(entries[2].packages[0].action, Change::Removed);
  EXPECT_EQ(entries[3].ended, Ended::Unfinished);
  EXPECT_EQ(entries[3].end, entries[3].time);  // not ready yet: "-"
}

TEST(SnapHistory, EmptyQuotesNameNoSnap) {
  const auto entries = parse_snap_changes(
      "41   Done    2026-12-06T03:12:40+01:00  2026-12-06T03:13:55+01:00  "
      "Auto-refresh snaps \"\", \"firefox\"\n");
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(entries[0].packages,
            (std::vector<PackageChange>{{"firefox", "", "", Change::Upgraded}}));
}

TEST(SnapHistory, ASnapThatCannotAnswerIsSaidAsSuch) {
  // A directory only root may change, as the update's PATH is.
  REQUIRE_ROOT();
  const test::TempDir bin("/run");
  const std::string snap = test::make_trusted_manager(bin, "snap");
  test::write_file(snap,
                   "#!/bin/sh\necho 'error: cannot communicate with server: connection refused' "
                   ">&2\nexit 1\n",
                   0755);
  History history;
  snap_history(test::history_setup("/nonexistent", {bin.path()}), history);
  EXPECT_TRUE(history.entries.empty());
  ASSERT_EQ(history.unreadable.size(), 1U);
  EXPECT_EQ(history.unreadable[0].source, "snap changes --abs-time");
  EXPECT_NE(history.unreadable[0].reason.find("cannot communicate"), std::string::npos)
      << history.unreadable[0].reason;
}

}  // namespace
}  // namespace sorvane::gui

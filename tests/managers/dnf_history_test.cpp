#include "dnf_history.hpp"

#include <gtest/gtest.h>

#include "history/history_test_support.hpp"

namespace sorvane::gui {
namespace {

TEST(DnfHistory, ListsEachTransactionNewestFirstWithItsCount) {
  test::in_utc();
  const auto rows =
      parse_dnf_history_list(test::read_file(test::history_data("dnf-history-list.txt")));
  ASSERT_EQ(rows.size(), 4U);
  EXPECT_EQ(rows[0].id, "4");
  EXPECT_EQ(rows[0].entry.command, "upgrade -y");
  EXPECT_EQ(rows[0].entry.time, 1796724900);  // 2026-12-08 10:15 UTC
  EXPECT_EQ(rows[0].entry.unlisted, 2U);
  EXPECT_EQ(rows[2].entry.ended, Ended::Failed);     // "#": its return code was not 0
  EXPECT_EQ(rows[3].entry.ended, Ended::Succeeded);  // "EE": it printed errors, and ended well
  EXPECT_EQ(rows[3].entry.unlisted, 412U);
}

TEST(DnfHistory, PairsEachNewVersionWithTheOneItReplaced) {
  EXPECT_EQ(parse_dnf_history_info(test::read_file(test::history_data("dnf-history-info-4.txt"))),
            (std::vector<PackageChange>{
                {"openssl-libs", "1:3.2.2-8.fc41", "1:3.2.2-9.fc41", Change::Upgraded},
                {"tzdata", "2025c-1.fc41", "2026a-1.fc41", Change::Upgraded},
                {"kernel-core", "", "6.12.4-200.fc41", Change::Installed},
                {"kernel-core", "6.11.9-200.fc41", "", Change::Removed}}));
}

TEST(DnfHistory, AVersionWithoutItsPackageListsNothing) {
  EXPECT_EQ(parse_dnf_history_info("Packages Altered:\n"
                                   "    Upgrade  -2026a-1.fc41.noarch   @updates\n"
                                   "    Upgrade  tzdata-2026a-1.fc41.noarch   @updates\n"),
            (std::vector<PackageChange>{{"tzdata", "", "2026a-1.fc41", Change::Upgraded}}));
}

// The real command path: a dnf that prints the recorded answers, found
// on the PATH as the update finds it.
TEST(DnfHistory, AsksTheListThenTheNewestTransactionsInfo) {
  test::in_utc();
  // A directory only root may change, as the update's PATH is.
  REQUIRE_ROOT();
  const test::TempDir bin("/run");
  const std::string dnf = test::make_trusted_manager(bin, "dnf");
  test::write_file(dnf,
                   "#!/bin/sh\n"
                   "case \"$1 $2 $3\" in\n"
                   "'history list ') /bin/cat '" +
                       test::history_data("dnf-history-list.txt") +
                       "';;\n"
                       "'history info 4') /bin/cat '" +
                       test::history_data("dnf-history-info-4.txt") +
                       "';;\n"
                       "*) echo \"No transaction $3\" >&2; exit 1;;\n"
                       "esac\n",
                   0755);
  auto setup = test::history_setup("/nonexistent", {bin.path()});
  setup.detailed = 2;
  History history;
  dnf_history(setup, history);
  ASSERT_EQ(history.entries.size(), 4U)
      << (history.unreadable.empty() ? "" : history.unreadable[0].reason);
  EXPECT_EQ(history.entries[0].packages.size(), 4U);
  EXPECT_EQ(history.entries[0].unlisted, 0U);
  EXPECT_EQ(history.entries[1].unlisted, 1U);
  // Its info could not be had: said, with the command's words.
  ASSERT_EQ(history.unreadable.size(), 1U);
  EXPECT_EQ(history.unreadable[0].source, "dnf history info 3");
  EXPECT_NE(history.unreadable[0].reason.find("No transaction 3"), std::string::npos);
}

}  // namespace
}  // namespace sorvane::gui

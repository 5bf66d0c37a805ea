// apt's and dpkg's logs from real apt-get runs (tests/data/history/README),
// rotated and compressed, read into exact entries.
#include "apt_history.hpp"

#include <gtest/gtest.h>

#include "history/history_test_support.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using test::history_data;
using test::history_setup;

class AptHistory : public ::testing::Test {
 protected:
  void SetUp() override { test::in_utc(); }
};

constexpr std::int64_t AT_03_24_07 = 1796873047;  // 2026-12-10 03:24:07 UTC

TEST_F(AptHistory, ReadsEachRotationOldestFirstTheCompressedOneThroughGzip) {
  History history;
  apt_history(history_setup(history_data("apt")), history);
  EXPECT_TRUE(history.unreadable.empty());
  const std::vector<HistoryEntry> expected = {
      {AT_03_24_07,
       AT_03_24_07 + 1,
       Step::Apt,
       "apt-get install -y /tmp/sorvane-hello_1.0_all.deb",
       Ended::Succeeded,
       {{"sorvane-hello", "", "1.0", Change::Installed}},
       0,
       {}},
      {AT_03_24_07 + 10,
       AT_03_24_07 + 11,
       Step::Apt,
       "apt-get install -y /tmp/sorvane-hello_1.1_all.deb /tmp/sorvane-extra_2.0_all.deb",
       Ended::Succeeded,
       {{"sorvane-extra", "", "2.0", Change::Installed},
        {"sorvane-hello", "1.0", "1.1", Change::Upgraded}},
       0,
       {}},
      {AT_03_24_07 + 18,
       AT_03_24_07 + 18,
       Step::Apt,
       "apt-get remove -y sorvane-extra",
       Ended::Succeeded,
       {{"sorvane-extra", "2.0", "", Change::Removed}},
       0,
       {}},
  };
  EXPECT_EQ(history.entries, expected);
}

TEST_F(AptHistory, WithoutAptHistoryDpkgsLogIsRead) {
  History history;
  apt_history(history_setup(history_data("dpkg")), history);
  EXPECT_TRUE(history.unreadable.empty());
  ASSERT_EQ(history.entries.size(), 3U);
  EXPECT_EQ(history.entries[0].packages,
            (std::vector<PackageChange>{{"sorvane-hello", "", "1.0", Change::Installed}}));
  EXPECT_EQ(history.entries[1].packages,
            (std::vector<PackageChange>{{"sorvane-extra", "", "2.0", Change::Installed},
                                        {"sorvane-hello", "1.0", "1.1", Change::Upgraded}}));
  // The remove, its configure run and the purge a few seconds later: one,
  // and the purge of a package already removed is not a second row.
  EXPECT_EQ(history.entries[2].packages,
            (std::vector<PackageChange>{{"sorvane-extra", "2.0", "", Change::Removed}}));
  for (const HistoryEntry& entry : history.entries) EXPECT_EQ(entry.ended, Ended::Succeeded);
  EXPECT_EQ(history.entries[2].end - history.entries[2].time, 3);
}

struct DpkgCase {
  const char* name;
  const char* log;
  size_t entries;
  Ended ended;
};

class DpkgLog : public ::testing::TestWithParam<DpkgCase> {};

TEST_P(DpkgLog, GroupsRunsAndEnds) {
  test::in_utc();
  DpkgLogReader reader;
  text::for_each_line(GetParam().log, [&](std::string_view line) {
    reader.line(line);
    return true;
  });
  reader.end();
  ASSERT_EQ(reader.entries.size(), GetParam().entries);
  EXPECT_EQ(reader.entries.back().ended, GetParam().ended);
  for (const HistoryEntry& entry : reader.entries) {
    for (const PackageChange& change : entry.packages) EXPECT_NE(change.name, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DpkgLog,
    ::testing::Values(DpkgCase{"a_package_left_half_configured_failed",
                               "2026-01-01 10:00:00 startup packages configure\n"
                               "2026-01-01 10:00:00 configure foo:amd64 1 <none>\n"
                               "2026-01-01 10:00:00 status half-configured foo:amd64 1\n",
                               1, Ended::Failed},
                      DpkgCase{"half_configured_then_installed_succeeded",
                               "2026-01-01 10:00:00 startup packages configure\n"
                               "2026-01-01 10:00:00 status half-configured foo:amd64 1\n"
                               "2026-01-01 10:00:01 status installed foo:amd64 1\n",
                               1, Ended::Succeeded},
                      DpkgCase{"runs_a_minute_apart_are_two",
                               "2026-01-01 10:00:00 startup archives unpack\n"
                               "2026-01-01 10:00:00 upgrade foo:amd64 1 2\n"
                               "2026-01-01 10:01:00 startup archives unpack\n"
                               "2026-01-01 10:01:00 upgrade bar:amd64 1 2\n",
                               2, Ended::Succeeded},
                      DpkgCase{"runs_seconds_apart_are_one",
                               "2026-01-01 10:00:00 startup archives unpack\n"
                               "2026-01-01 10:00:00 upgrade foo:amd64 1 2\n"
                               "2026-01-01 10:00:03 startup packages configure\n",
                               1, Ended::Succeeded},
                      DpkgCase{"a_line_without_a_name_names_no_package",
                               "2026-01-01 10:00:00 startup packages remove\n"
                               "2026-01-01 10:00:00 remove :all 2.0 <none>\n"
                               "2026-01-01 10:00:00 status half-configured :all 1.0\n",
                               1, Ended::Succeeded}),
    [](const auto& row) { return std::string(row.param.name); });

struct PackagesCase {
  const char* name;
  const char* field;
  const char* list;
  std::vector<PackageChange> expected;
};

class AptPackages : public ::testing::TestWithParam<PackagesCase> {};

TEST_P(AptPackages, ReadsEachField) {
  EXPECT_EQ(parse_apt_packages(GetParam().field, GetParam().list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AptPackages,
    ::testing::Values(
        PackagesCase{
            "install_automatic",
            "Install",
            "libfoo1:amd64 (1.2-3, automatic), foo:amd64 (1.2-3)",
            {{"libfoo1", "", "1.2-3", Change::Installed}, {"foo", "", "1.2-3", Change::Installed}}},
        PackagesCase{"upgrade_epoch",
                     "Upgrade",
                     "libssl3:amd64 (3.0.11-1~deb12u1, 1:3.0.13-1~deb12u1)",
                     {{"libssl3", "3.0.11-1~deb12u1", "1:3.0.13-1~deb12u1", Change::Upgraded}}},
        PackagesCase{
            "purge", "Purge", "nano:amd64 (7.2-1)", {{"nano", "7.2-1", "", Change::Removed}}},
        PackagesCase{"downgrade", "Downgrade", "x:all (2, 1)", {{"x", "2", "1", Change::Other}}},
        PackagesCase{"requested_by_is_no_field", "Requested-By", "sam (1000)", {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(AptHistoryBlocks, AnErrorFailsItAndAMissingEndLeavesItUnfinished) {
  test::in_utc();
  AptHistoryReader reader;
  for (const char* line : {"Start-Date: 2026-01-01  10:00:00", "Upgrade: a:amd64 (1, 2)",
                           "Error: Sub-process /usr/bin/dpkg returned an error code (1)",
                           "End-Date: 2026-01-01  10:00:09", "", "Start-Date: 2026-01-02  10:00:00",
                           "Install: b:amd64 (1)"}) {
    reader.line(line);
  }
  reader.end();
  ASSERT_EQ(reader.entries.size(), 2U);
  EXPECT_EQ(reader.entries[0].ended, Ended::Failed);
  EXPECT_EQ(reader.entries[0].end - reader.entries[0].time, 9);
  EXPECT_EQ(reader.entries[1].ended, Ended::Unfinished);
}

}  // namespace
}  // namespace sorvane::gui

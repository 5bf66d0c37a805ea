// The history gathered: times read as the managers write them, Sorvane
// Update's kept runs matched to the transactions they made, the filters,
// and a source this user cannot read said as such.
#include "history.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include "history/history_test_support.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"

namespace sorvane::gui {
namespace {

constexpr std::int64_t AT_03_24_07 = 1796873047;  // 2026-12-10 03:24:07 UTC

struct TimeCase {
  const char* text;
  bool iso;
  std::optional<std::int64_t> expected;
};

class HistoryTimes : public ::testing::TestWithParam<TimeCase> {};

TEST_P(HistoryTimes, ReadAsWritten) {
  test::in_utc();
  const TimeCase& c = GetParam();
  EXPECT_EQ(c.iso ? iso_seconds(c.text) : local_seconds(c.text), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryTimes,
    ::testing::Values(TimeCase{"2026-12-10  03:24:07", false, AT_03_24_07},  // apt's two blanks
                      TimeCase{"2026-12-10 03:24:07 startup", false, AT_03_24_07},
                      TimeCase{"2026-12-10T04:24:07+0100", true, AT_03_24_07},
                      TimeCase{"2026-12-10T04:54:07+01:30", true, AT_03_24_07},
                      TimeCase{"2026-12-10T01:24:07-0200", true, AT_03_24_07},
                      TimeCase{"2026-12-10T03:24:07Z", true, AT_03_24_07},
                      TimeCase{"2026-12-10T03:24:07.123456Z", true, AT_03_24_07},
                      TimeCase{"2026-12-10T03:24:07", true, AT_03_24_07},  // local
                      TimeCase{"2026-13-10 03:24:07", false, std::nullopt},
                      TimeCase{"2026-12-10 3:24:07", false, std::nullopt},
                      TimeCase{"2026-12-10", false, std::nullopt}));

HistoryEntry entry(std::int64_t time, Step step, std::vector<PackageChange> packages = {}) {
  return {time, time, step, {}, Ended::Succeeded, std::move(packages), 0, {}};
}

TEST(HistoryMatch, ARunMarksItsManagersEntriesInItsTimeAndNoOthers) {
  History history;
  history.entries = {entry(100, Step::Apt), entry(110, Step::Apt), entry(111, Step::Flatpak),
                     entry(200, Step::Apt)};
  KeptRunFacts run{108, 120, {Step::Apt}, {"/runs/a/update.log", Outcome::Success, 1, true}};
  match_sorvane_runs(history, {run});
  ASSERT_EQ(history.entries.size(), 4U);
  EXPECT_EQ(history.entries[0].time, 200);  // newest first
  EXPECT_FALSE(history.entries[0].sorvane);
  EXPECT_FALSE(history.entries[1].sorvane);  // flatpak: the run did not run it
  ASSERT_TRUE(history.entries[2].sorvane);
  EXPECT_EQ(*history.entries[2].sorvane, run.run);
  EXPECT_FALSE(history.entries[3].sorvane);  // before the run began
}

TEST(HistoryMatch, ARunNoManagerRecordedIsAnEntryOfItsOwn) {
  History history;
  KeptRunFacts failed{300, 310, {Step::Pacman, Step::Apt}, {"/l", Outcome::Failed, 0, false}};
  KeptRunFacts refused{400, 401, {}, {"/m", Outcome::PasswordRefused, 0, false}};
  match_sorvane_runs(history, {failed, refused});
  ASSERT_EQ(history.entries.size(), 1U);             // the refused password changed nothing
  EXPECT_EQ(history.entries[0].manager, Step::Apt);  // where it stopped
  EXPECT_EQ(history.entries[0].ended, Ended::Failed);
  EXPECT_EQ(history.entries[0].time, 300);
}

TEST(HistoryFilter, SinceAndPackageKeepOnlyWhatWasAsked) {
  History history;
  history.entries = {
      entry(300, Step::Apt,
            {{"libssl3", "1", "2", Change::Upgraded}, {"curl", "1", "2", Change::Upgraded}}),
      entry(200, Step::Apt, {{"curl", "0", "1", Change::Upgraded}}),
      entry(100, Step::Apt, {{"libssl3", "0", "1", Change::Upgraded}})};
  const History by_package = filtered(history, std::nullopt, "libssl3");
  ASSERT_EQ(by_package.entries.size(), 2U);
  EXPECT_EQ(by_package.entries[0].packages.size(), 1U);
  EXPECT_EQ(by_package.entries[0].packages[0].name, "libssl3");
  EXPECT_EQ(by_package.entries[1].time, 100);
  const History since = filtered(history, 200, "");
  ASSERT_EQ(since.entries.size(), 2U);
  EXPECT_EQ(since.entries[1].time, 200);  // at the time itself: kept
  EXPECT_TRUE(filtered(history, 301, "").entries.empty());
  EXPECT_TRUE(filtered(history, std::nullopt, "libssl").entries.empty());  // names, not parts
}

// A real kept run, as the window leaves one, and the real apt captures:
// the upgrade it made says "by Sorvane Update".
TEST(HistoryRead, ASorvaneRunIsMatchedToItsAptTransaction) {
  test::in_utc();
  const test::TempDir runs;
  std::string log_path;
  {
    auto made = RunDir::make(runs.path());
    ASSERT_TRUE(made);
    RunDir dir = std::move(made.value());
    auto created = dir.create_log();
    ASSERT_TRUE(created);
    const UniqueFd log = std::move(created.value());
    const std::string_view text = "Updating apt packages...\nUpdate complete.\n";
    ASSERT_EQ(::write(log.get(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ASSERT_FALSE(record_status(dir.fd(), {0, AT_03_24_07 + 9, AT_03_24_07 + 12}));
    log_path = dir.path() + "/update.log";
    dir.keep();
  }
  auto setup = test::history_setup(test::history_data("apt"));
  setup.runs = runs.path();
  const History history = read_history({Step::Apt}, setup);
  ASSERT_EQ(history.entries.size(), 3U);
  EXPECT_FALSE(history.entries[0].sorvane);  // the remove, from a terminal
  ASSERT_TRUE(history.entries[1].sorvane);
  EXPECT_EQ(history.entries[1].sorvane->log_path, log_path);
  EXPECT_EQ(history.entries[1].sorvane->outcome, Outcome::Success);
  EXPECT_FALSE(history.entries[2].sorvane);
}

// history.log that this user may not read: said, and dpkg's log read in
// its place.
TEST(HistoryRead, AnUnreadableSourceIsSaidNotDropped) {
  test::in_utc();
  const test::TempDir root;
  test::make_dir(root / "var");
  test::make_dir(root / "var/log");
  test::make_dir(root / "var/log/apt");
  test::write_file(root / "var/log/apt/history.log",
                   test::read_file(test::history_data("apt/var/log/apt/history.log")), 0);
  test::write_file(root / "var/log/dpkg.log",
                   test::read_file(test::history_data("dpkg/var/log/dpkg.log")), 0644);
  const auto read = [&] {
    const History history = read_history({Step::Apt}, test::history_setup(root.path()));
    return history.unreadable.size() == 1 &&
           history.unreadable[0].source == root / "var/log/apt/history.log" &&
           history.unreadable[0].reason == "Permission denied" && history.entries.size() == 1 &&
           history.entries[0].command == "dpkg";
  };
  if (::geteuid() == 0) {
    // Root reads anything: the user nobody, who may not.
    EXPECT_TRUE(test::in_child([&] { return test::drop_to_nobody() && read(); }));
  } else {
    EXPECT_TRUE(read());
  }
}

}  // namespace
}  // namespace sorvane::gui

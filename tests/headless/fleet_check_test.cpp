#include "fleet_check.hpp"

#include <gtest/gtest.h>

#include "fleet_test_support.hpp"
#include "system_support.hpp"

namespace sorvane::gui {
namespace {

struct SupportEndCase {
  const char* os_release;
  std::optional<std::int64_t> end;
};
// GoogleTest names a failing row by this, not by its bytes.
void PrintTo(const SupportEndCase& row, std::ostream* out) {
  *out << row.os_release;
}

class SupportEnd : public ::testing::TestWithParam<SupportEndCase> {};

// The metric's end of support is the one the window and --check --json
// say: os-release's SUPPORT_END, else distro-info-data's for the codename.
TEST_P(SupportEnd, TheOneTheWindowSays) {
  constexpr const char* DEBIAN_CSV =
      "version,codename,series,created,release,eol,eol-lts,eol-elts\n"
      "12,Bookworm,bookworm,2021-08-14,2023-06-10,2026-07-11,2028-06-30,2033-06-30\n";
  const auto support = support_of(GetParam().os_release, DEBIAN_CSV, "");
  EXPECT_EQ(support ? date_of(support->regular_until) : std::nullopt, GetParam().end)
      << GetParam().os_release;
}

constexpr std::int64_t END_OF_JUNE_2027 = 1'814'313'600;
constexpr std::int64_t BOOKWORM_REGULAR_END = 1'783'728'000;  // 2026-07-11

INSTANTIATE_TEST_SUITE_P(
    Cases, SupportEnd,
    ::testing::Values(SupportEndCase{"NAME=Fedora\nSUPPORT_END=2027-06-30\n", END_OF_JUNE_2027},
                      SupportEndCase{"SUPPORT_END=\"2027-06-30\"", END_OF_JUNE_2027},
                      SupportEndCase{"SUPPORT_END='2027-06-30'\nID=x\n", END_OF_JUNE_2027},
                      SupportEndCase{"ID=debian\nVERSION_ID=12\n", std::nullopt},
                      SupportEndCase{"ID=debian\nVERSION_ID=12\nVERSION_CODENAME=bookworm\n",
                                     BOOKWORM_REGULAR_END},
                      SupportEndCase{"OLD_SUPPORT_END=2027-06-30\n", std::nullopt},
                      SupportEndCase{"SUPPORT_END=2027-13-01\n", std::nullopt},
                      SupportEndCase{"SUPPORT_END=2027-6-30\n", std::nullopt},
                      SupportEndCase{"SUPPORT_END=2027-06-3x\n", std::nullopt},
                      SupportEndCase{"SUPPORT_END=\n", std::nullopt}));

TEST(FleetCounts, AddUpEveryManagerAndTakeTheOldestLists) {
  using fleet_test::checked;
  using fleet_test::update;
  FleetCheck check;
  ManagerCheck apt = checked(Step::Apt, {update("a", true), update("b")});
  apt.kept_back = {{"k", HeldReason::NewDependencies, {}, {}}};
  apt.data_age_seconds = 50;
  ManagerCheck dnf = checked(Step::Dnf, {update("c", true)});
  dnf.data_age_seconds = 70;
  check.checks = {apt, dnf, checked(Step::Snap)};
  const FleetCounts counts = fleet_counts(check);
  EXPECT_EQ(counts.updates, 3U);
  EXPECT_EQ(counts.security, 2U);
  EXPECT_EQ(counts.held_back, 1U);
  EXPECT_EQ(counts.oldest_data, 70);
  EXPECT_EQ(fleet_counts(FleetCheck{}).oldest_data, std::nullopt);
}

}  // namespace
}  // namespace sorvane::gui

// How long this release is supported: os-release's SUPPORT_END, else
// distro-info-data's tables, each read as a table of cases with a fixed
// "today".
#include "system_support.hpp"

#include <gtest/gtest.h>

namespace sorvane::gui {
namespace {

// distro-info-data's own rows (Debian's has eol-lts and eol-elts; Ubuntu's
// eol-server, eol-esm and more).
constexpr const char* DEBIAN_CSV =
    "version,codename,series,created,release,eol,eol-lts,eol-elts\n"
    "11,Bullseye,bullseye,2019-07-06,2021-08-14,2024-08-14,2026-08-31,2031-06-30\n"
    "12,Bookworm,bookworm,2021-08-14,2023-06-10,2026-07-11,2028-06-30,2033-06-30\n"
    "13,Trixie,trixie,2023-06-10\n"
    "14,Forky,forky,2025-08-09,2027-08-01,2030-08-01,not-a-date\r\n";
constexpr const char* UBUNTU_CSV =
    "version,codename,series,created,release,eol,eol-server,eol-esm,eol-legacy\n"
    "22.04 LTS,Jammy "
    "Jellyfish,jammy,2021-10-21,2022-04-21,2027-06-01,2027-06-01,2032-04-09,2034-04-21\n"
    "24.10,Oracular Oriole,oracular,2024-04-25,2024-10-10,2025-07-10\n";

struct SupportCase {
  const char* name;
  const char* os_release;
  std::optional<SupportFacts> facts;
  const char* today;  // YYYY-MM-DD
  SupportState state;
  SupportPhase phase;
};

class Support : public testing::TestWithParam<SupportCase> {};

TEST_P(Support, FromOsReleaseOrDistroInfo) {
  const SupportCase& c = GetParam();
  const auto facts = support_of(c.os_release, DEBIAN_CSV, UBUNTU_CSV);
  ASSERT_EQ(facts, c.facts);
  if (facts) {
    EXPECT_EQ(support_state(*facts, *date_of(c.today)), c.state);
    EXPECT_EQ(support_phase(*facts, *date_of(c.today)), c.phase);
  }
}

constexpr const char* DEBIAN_NOTES = "https://www.debian.org/releases/stable/releasenotes";

INSTANTIATE_TEST_SUITE_P(
    Cases, Support,
    testing::Values(
        SupportCase{"debian_far_away", "ID=debian\nVERSION_ID=\"12\"\nVERSION_CODENAME=bookworm\n",
                    SupportFacts{"Debian 12", "2026-07-11", "2028-06-30", DEBIAN_NOTES},
                    "2026-01-01", SupportState::Supported, SupportPhase::Regular},
        // 90 days before the end is the first day it is said.
        SupportCase{"debian_ninety_days", "ID=debian\nVERSION_CODENAME=bookworm\n",
                    SupportFacts{"Debian 12", "2026-07-11", "2028-06-30", DEBIAN_NOTES},
                    "2026-04-13", SupportState::EndsSoon, SupportPhase::RegularEndsSoon},
        SupportCase{"debian_ninety_one_days", "ID=debian\nVERSION_CODENAME=bookworm\n",
                    SupportFacts{"Debian 12", "2026-07-11", "2028-06-30", DEBIAN_NOTES},
                    "2026-04-12", SupportState::Supported, SupportPhase::Regular},
        // The named day is still supported; the next is not.
        SupportCase{"debian_last_day", "ID=debian\nVERSION_CODENAME=bookworm\n",
                    SupportFacts{"Debian 12", "2026-07-11", "2028-06-30", DEBIAN_NOTES},
                    "2026-07-11", SupportState::EndsSoon, SupportPhase::RegularEndsSoon},
        SupportCase{"debian_ended", "ID=debian\nVERSION_CODENAME=bullseye\n",
                    SupportFacts{"Debian 11", "2024-08-14", "2026-08-31", DEBIAN_NOTES},
                    "2026-12-10", SupportState::Ended, SupportPhase::Ended},
        // Regular support over, long-term support in force to its last day.
        SupportCase{"debian_long_term", "ID=debian\nVERSION_CODENAME=bookworm\n",
                    SupportFacts{"Debian 12", "2026-07-11", "2028-06-30", DEBIAN_NOTES},
                    "2026-12-10", SupportState::Ended, SupportPhase::LongTerm},
        SupportCase{"debian_long_term_last_day", "ID=debian\nVERSION_CODENAME=bullseye\n",
                    SupportFacts{"Debian 11", "2024-08-14", "2026-08-31", DEBIAN_NOTES},
                    "2026-08-31", SupportState::Ended, SupportPhase::LongTerm},
        SupportCase{"debian_long_term_ended", "ID=debian\nVERSION_CODENAME=bullseye\n",
                    SupportFacts{"Debian 11", "2024-08-14", "2026-08-31", DEBIAN_NOTES},
                    "2026-09-01", SupportState::Ended, SupportPhase::Ended},
        // testing has no end yet; a malformed LTS date is left out.
        SupportCase{"debian_testing", "ID=debian\nVERSION_CODENAME=trixie\n", std::nullopt,
                    "2026-12-10", SupportState::Supported, SupportPhase::Regular},
        SupportCase{"debian_malformed_lts", "ID=debian\nVERSION_CODENAME=forky\n",
                    SupportFacts{"Debian 14", "2030-08-01", "", DEBIAN_NOTES}, "2026-12-10",
                    SupportState::Supported, SupportPhase::Regular},
        SupportCase{"ubuntu_ended", "ID=ubuntu\nVERSION_CODENAME=oracular\n",
                    SupportFacts{"Ubuntu 24.10", "2025-07-10", "",
                                 "https://ubuntu.com/tutorials/upgrading-ubuntu-desktop"},
                    "2026-12-10", SupportState::Ended, SupportPhase::Ended},
        SupportCase{"ubuntu_lts", "ID=ubuntu\nVERSION_CODENAME=jammy\n",
                    SupportFacts{"Ubuntu 22.04 LTS", "2027-06-01", "",
                                 "https://ubuntu.com/tutorials/upgrading-ubuntu-desktop"},
                    "2027-03-10", SupportState::EndsSoon, SupportPhase::RegularEndsSoon},
        // SUPPORT_END first, quoted as any value may be; HOME_URL for the notes.
        SupportCase{"fedora_support_end",
                    "NAME=\"Fedora Linux\"\nVERSION_ID=40\nID=fedora\nSUPPORT_END=2025-05-13\n",
                    SupportFacts{"Fedora Linux 40", "2025-05-13", "",
                                 "https://docs.fedoraproject.org/en-US/quick-docs/"
                                 "upgrading-fedora-offline/"},
                    "2026-12-10", SupportState::Ended, SupportPhase::Ended},
        SupportCase{
            "other_support_end",
            "NAME='Other'\nID=other\nSUPPORT_END='2027-01-31'\nHOME_URL=https://o.example/\n",
            SupportFacts{"Other", "2027-01-31", "", "https://o.example/"}, "2026-12-10",
            SupportState::EndsSoon, SupportPhase::RegularEndsSoon},
        SupportCase{"malformed_support_end", "ID=other\nSUPPORT_END=2027-13-01\n", std::nullopt,
                    "2026-12-10", SupportState::Supported, SupportPhase::Regular},
        SupportCase{"arch_rolling", "ID=arch\nBUILD_ID=rolling\n", std::nullopt, "2026-12-10",
                    SupportState::Supported, SupportPhase::Regular},
        SupportCase{"no_codename", "ID=debian\n", std::nullopt, "2026-12-10",
                    SupportState::Supported, SupportPhase::Regular}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(OsRelease, ValuesAndDates) {
  EXPECT_EQ(os_release_value("A=1\nAB=2\n", "AB"), "2");
  EXPECT_EQ(os_release_value("AB=2\n", "A"), std::nullopt);
  EXPECT_EQ(os_release_value("A=\"x y\"\r\n", "A"), "x y");
  EXPECT_EQ(date_of("1970-01-02"), 86400);
  EXPECT_EQ(date_of("2026-7-11"), std::nullopt);
  EXPECT_EQ(date_of("2026-07-32"), std::nullopt);
  EXPECT_EQ(date_of("2026-07-1x"), std::nullopt);
}

}  // namespace
}  // namespace sorvane::gui

// What is said of this computer's support, power and network: pure
// functions of the facts, with "today" fixed.
#include "system_words.hpp"

#include <gtest/gtest.h>

#include <QJsonObject>
#include <ostream>

namespace sorvane::gui {
namespace {

const SupportFacts BOOKWORM{"Debian 12", "2026-07-11", "2028-06-30",
                            "https://www.debian.org/releases/stable/releasenotes"};

struct SupportWordsCase {
  SupportFacts facts;
  const char* today;
  const char* hidden;  // the phase whose note the user put away
  const char* said;    // as --check prints it; empty: nothing
  bool hideable;       // till the next phase
};

// A failing row is named by its release, its day and what was put away.
void PrintTo(const SupportWordsCase& c, std::ostream* os) {
  *os << c.facts.name << " on " << c.today << (*c.hidden != '\0' ? " hiding " : "") << c.hidden;
}

class SupportWords : public testing::TestWithParam<SupportWordsCase> {};

TEST_P(SupportWords, OneLineWeighedByThePhase) {
  const auto& c = GetParam();
  const std::int64_t now = *date_of(c.today);
  const auto note = SystemWords::support(c.facts, now, c.hidden);
  ASSERT_EQ(note.has_value(), *c.said != '\0') << c.today;
  if (!note) return;
  EXPECT_EQ(SystemWords::support_line(*note).toStdString(), c.said);
  EXPECT_EQ(note->weight == SupportNote::Weight::Warning,
            std::string(c.said).starts_with("Warning"));
  EXPECT_EQ(!note->hide.isEmpty(), c.hideable);
  // Put away, a note stays away in its phase; a warning never goes.
  EXPECT_EQ(SystemWords::support(c.facts, now, note->phase).has_value(), !c.hideable);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SupportWords,
    testing::Values(
        // Long-term support in force: a note, until it ends.
        SupportWordsCase{BOOKWORM, "2026-12-10", "",
                         "Debian 12 is in long-term support until 2028-06-30. How to upgrade: "
                         "https://www.debian.org/releases/stable/releasenotes",
                         true},
        SupportWordsCase{BOOKWORM, "2026-12-10", "long-term/Debian 12/2028-06-30", "", true},
        // What was put away near the end of regular support was that phase.
        SupportWordsCase{BOOKWORM, "2026-12-10", "ends-soon/Debian 12/2026-07-11",
                         "Debian 12 is in long-term support until 2028-06-30. How to upgrade: "
                         "https://www.debian.org/releases/stable/releasenotes",
                         true},
        SupportWordsCase{
            BOOKWORM, "2026-06-01", "",
            "Debian 12 gets regular security updates until 2026-07-11; long-term support until "
            "2028-06-30. How to upgrade: https://www.debian.org/releases/stable/releasenotes",
            true},
        SupportWordsCase{BOOKWORM, "2026-01-01", "", "", false},
        // Past every support: a warning, whatever was put away before.
        SupportWordsCase{
            BOOKWORM, "2028-07-01", "long-term/Debian 12/2028-06-30",
            "Warning: Debian 12 no longer gets security updates: its long-term support ended on "
            "2028-06-30. How to upgrade: https://www.debian.org/releases/stable/releasenotes",
            false},
        // Another release's long-term support is news of its own.
        SupportWordsCase{{"Debian 13", "2028-08-09", "2030-06-30", BOOKWORM.notes_url},
                         "2029-01-01",
                         "long-term/Debian 12/2028-06-30",
                         "Debian 13 is in long-term support until 2030-06-30. How to upgrade: "
                         "https://www.debian.org/releases/stable/releasenotes",
                         true},
        SupportWordsCase{{"Fedora Linux 40", "2025-05-13", "", ""},
                         "2025-06-01",
                         "",
                         "Warning: Fedora Linux 40 no longer gets regular security updates: its "
                         "support ended on 2025-05-13.",
                         false},
        // os-release's HOME_URL is linked only when it is a web address.
        SupportWordsCase{{"Other", "2027-01-31", "", "javascript:alert(1)"},
                         "2027-01-01",
                         "",
                         "Other gets regular security updates until 2027-01-31.",
                         true}));

struct PowerCase {
  PowerAndNetwork facts;
  std::optional<std::uint64_t> download;
  QStringList said;
};

class PowerWords : public testing::TestWithParam<PowerCase> {};

TEST_P(PowerWords, BeforeThePassword) {
  EXPECT_EQ(SystemWords::power(GetParam().facts, GetParam().download), GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PowerWords,
    testing::Values(
        // No UPower, no NetworkManager: nothing.
        PowerCase{{}, 211'000'000, {}},
        PowerCase{{false, 100.0, false, false, false}, std::nullopt, {}},
        PowerCase{{true, 80.0, false, false, false},
                  std::nullopt,
                  {"This computer is running on battery (80 %)."}},
        PowerCase{{true, 4.4, true, true, true},
                  211'000'000,
                  {"This computer is running on battery (4 %). The battery is low: plug the "
                   "computer in to update it, so that it cannot stop halfway.",
                   "Power saver is on: the update may take longer.",
                   "This connection is metered: the update will download 211 MB over it."}},
        // Low but plugged in (charging): nothing to refuse.
        PowerCase{{false, 4.0, true, false, false}, std::nullopt, {}},
        PowerCase{{std::nullopt, std::nullopt, false, false, true},
                  0,
                  {"This connection is metered: the update downloads its packages over it."}}));

TEST(PowerWords, PlugInOnlyOnALowBattery) {
  EXPECT_TRUE((PowerAndNetwork{true, 4.0, true, false, false}.plug_in()));
  EXPECT_FALSE((PowerAndNetwork{false, 4.0, true, false, false}.plug_in()));
  EXPECT_FALSE((PowerAndNetwork{true, 40.0, false, false, false}.plug_in()));
  EXPECT_FALSE(PowerAndNetwork{}.plug_in());
}

TEST(SystemJson, NullWhenUnknown) {
  EXPECT_TRUE(SystemWords::power_json({}).isNull());
  EXPECT_EQ(SystemWords::power_json({true, 4.0, true, false, true}).toObject(),
            (QJsonObject{{"on_battery", true}, {"low", true}, {"power_saver", false}}));
  EXPECT_TRUE(SystemWords::support_json(std::nullopt, 0).isNull());
  EXPECT_EQ(SystemWords::support_json(BOOKWORM, *date_of("2026-07-12")).toObject(),
            (QJsonObject{{"name", "Debian 12"},
                         {"regular_until", "2026-07-11"},
                         {"lts_until", "2028-06-30"},
                         {"ended", true}}));
  EXPECT_EQ(SystemWords::support_json(SupportFacts{"X", "2030-01-01", "", ""}, 0)
                .toObject()
                .value("lts_until"),
            QJsonValue(QJsonValue::Null));
}

}  // namespace
}  // namespace sorvane::gui

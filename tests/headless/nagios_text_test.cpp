#include "nagios_text.hpp"

#include <gtest/gtest.h>

#include "fleet_test_support.hpp"

namespace sorvane::gui {
namespace {

using namespace fleet_test;

FleetCheck of(std::vector<ManagerCheck> checks) {
  FleetCheck check;
  check.checks = std::move(checks);
  return check;
}

FleetCheck aged(std::int64_t seconds) {
  ManagerCheck apt = checked(Step::Apt);
  apt.data_age_seconds = seconds;
  return of({apt});
}

FleetCheck restart_due() {
  FleetCheck check = of({checked(Step::Apt)});
  check.restart_due = true;
  return check;
}

// jq held by the user, and its security fix with it; vim kept back.
FleetCheck held_security() {
  ManagerCheck apt = checked(Step::Apt);
  apt.kept_back = {{"jq", HeldReason::HeldByUser, {}, {}, true},
                   {"vim", HeldReason::NewDependencies, {}, {}}};
  return of({apt});
}

FleetCheck failed() {
  FleetCheck check;
  check.failed = "Looking | took\ntoo long";
  return check;
}

NagiosLimits limits(std::vector<std::string_view> options) {
  auto parsed = nagios_limits(options);
  EXPECT_TRUE(parsed) << parsed.error();
  return parsed ? parsed.value() : NagiosLimits{};
}

struct NagiosCase {
  const char* name;
  FleetCheck check;
  std::vector<std::string_view> options;
  std::string text;
  int status;
};
// GoogleTest names a failing row by this, not by its bytes.
void PrintTo(const NagiosCase& row, std::ostream* out) {
  *out << row.name;
}

const std::vector<NagiosCase>& cases() {
  static const std::vector<NagiosCase> table = {
      {"UpToDate",
       of({checked(Step::Apt)}),
       {},
       "SORVANE OK - 0 updates | updates=0;0;;0 security=0;;0;0 held_back=0;;;0 "
       "held_security=0;;;0 "
       "restart=0;;;0;1\napt: 0 updates\n",
       NAGIOS_OK},
      {"PendingWarns",
       of({checked(Step::Apt, {update("bash")}), checked(Step::Snap)}),
       {},
       "SORVANE WARNING - 1 update | updates=1;0;;0 security=0;;0;0 held_back=0;;;0 "
       "held_security=0;;;0 "
       "restart=0;;;0;1\napt: 1 update\nsnap: 0 updates\n",
       NAGIOS_WARNING},
      {"SecurityIsCritical",
       of({checked(Step::Apt, {update("a", true), update("b")})}),
       {},
       "SORVANE CRITICAL - 2 updates (1 security) | updates=2;0;;0 security=1;;0;0 "
       "held_back=0;;;0 held_security=0;;;0 restart=0;;;0;1\napt: 2 updates (1 security)\n",
       NAGIOS_CRITICAL},
      {"WarningThreshold",
       of({checked(Step::Apt, {update("a"), update("b")})}),
       {"-w", "5"},
       "SORVANE OK - 2 updates | updates=2;5;;0 security=0;;0;0 held_back=0;;;0 "
       "held_security=0;;;0 "
       "restart=0;;;0;1\napt: 2 updates\n",
       NAGIOS_OK},
      {"CriticalThreshold",
       of({checked(Step::Apt, {update("a", true), update("b")})}),
       {"--critical=3"},
       "SORVANE WARNING - 2 updates (1 security) | updates=2;0;;0 security=1;;3;0 "
       "held_back=0;;;0 held_security=0;;;0 restart=0;;;0;1\napt: 2 updates (1 security)\n",
       NAGIOS_WARNING},
      {"StopsAtALock",
       of({with_problem(Step::Apt, Problem::LockHeld), checked(Step::Flatpak, {update("a")})}),
       {},
       "SORVANE CRITICAL - 1 update; the update would stop at apt | updates=1;0;;0 "
       "security=0;;0;0 held_back=0;;;0 held_security=0;;;0 restart=0;;;0;1\n"
       "apt: lock_held, the update would stop here\nflatpak: 1 update\n",
       NAGIOS_CRITICAL},
      // Its counts are not known: neither OK nor a warning.
      {"CouldNotCheckIsUnknown",
       of({checked(Step::Apt), with_problem(Step::Dnf, Problem::CouldNotCheck)}),
       {},
       "SORVANE UNKNOWN - 0 updates; could not check dnf | updates=0;0;;0 security=0;;0;0 "
       "held_back=0;;;0 held_security=0;;;0 restart=0;;;0;1\napt: 0 updates\ndnf: "
       "could_not_check\n",
       NAGIOS_UNKNOWN},
      // A mount point's '|' would begin the performance data.
      {"ShortOfSpace",
       of({short_of_space("/mnt/a|b")}),
       {"-w", "10"},
       "SORVANE CRITICAL - 1 update; short of space on /mnt/a_b | updates=1;10;;0 "
       "security=0;;0;0 held_back=0;;;0 held_security=0;;;0 restart=0;;;0;1\napt: 1 update\n",
       NAGIOS_CRITICAL},
      {"OldListsWarn",
       aged(100'000),
       {"--warning-age", "86400", "--critical-age", "604800"},
       "SORVANE WARNING - 0 updates; package lists 100000 s old | updates=0;0;;0 "
       "security=0;;0;0 held_back=0;;;0 held_security=0;;;0 data_age=100000s;86400;604800;0 "
       "restart=0;;;0;1\n"
       "apt: 0 updates, data 100000 s old\n",
       NAGIOS_WARNING},
      {"VeryOldListsAreCritical",
       aged(700'000),
       {"--critical-age", "604800"},
       "SORVANE CRITICAL - 0 updates; package lists 700000 s old | updates=0;0;;0 "
       "security=0;;0;0 held_back=0;;;0 held_security=0;;;0 data_age=700000s;;604800;0 "
       "restart=0;;;0;1\n"
       "apt: 0 updates, data 700000 s old\n",
       NAGIOS_CRITICAL},
      {"FreshListsAreFine",
       aged(60),
       {"--warning-age", "86400"},
       "SORVANE OK - 0 updates | updates=0;0;;0 security=0;;0;0 held_back=0;;;0 "
       "held_security=0;;;0 "
       "data_age=60s;86400;;0 restart=0;;;0;1\napt: 0 updates, data 60 s old\n",
       NAGIOS_OK},
      {"RestartDueIsSaid",
       restart_due(),
       {},
       "SORVANE OK - 0 updates; restart due | updates=0;0;;0 security=0;;0;0 held_back=0;;;0 "
       "held_security=0;;;0 "
       "restart=1;;;0;1\napt: 0 updates\n",
       NAGIOS_OK},
      // Nothing the update would do, but a security fix waits: a warning.
      {"ASecurityUpdateHeldBackWarns",
       held_security(),
       {},
       "SORVANE WARNING - 0 updates; 1 security update held back | updates=0;0;;0 "
       "security=0;;0;0 held_back=2;;;0 held_security=1;;;0 restart=0;;;0;1\n"
       "apt: 0 updates, 2 held back (1 security)\n",
       NAGIOS_WARNING},
      {"NothingToCheck",
       of({}),
       {},
       "SORVANE OK - no supported package manager found\n",
       NAGIOS_OK},
      {"LookFailed", failed(), {}, "SORVANE UNKNOWN - Looking _ took_too long\n", NAGIOS_UNKNOWN},
  };
  return table;
}

class NagiosText : public ::testing::TestWithParam<NagiosCase> {};

TEST_P(NagiosText, StatusLineDataAndExitStatus) {
  const NagiosReport report = nagios_text(GetParam().check, limits(GetParam().options));
  EXPECT_EQ(report.text, GetParam().text);
  EXPECT_EQ(report.status, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Cases, NagiosText, ::testing::ValuesIn(cases()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

struct RangeCase {
  const char* text;
  std::vector<std::pair<double, bool>> alerts;  // value, whether it alerts
};
void PrintTo(const RangeCase& row, std::ostream* out) {
  *out << row.text;
}

class NagiosRanges : public ::testing::TestWithParam<RangeCase> {};

TEST_P(NagiosRanges, AlertAsTheGuidelinesSay) {
  const auto range = NagiosRange::parse(GetParam().text);
  ASSERT_TRUE(range);
  for (const auto& [value, alerts] : GetParam().alerts) {
    EXPECT_EQ(range->alerts(value), alerts) << GetParam().text << " at " << value;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, NagiosRanges,
    ::testing::Values(RangeCase{"10", {{-1, true}, {0, false}, {10, false}, {11, true}}},
                      RangeCase{"10:", {{9, true}, {10, false}, {1e9, false}}},
                      RangeCase{"~:10", {{-5, false}, {10, false}, {11, true}}},
                      RangeCase{"10:20", {{5, true}, {15, false}, {25, true}}},
                      RangeCase{"@10:20", {{5, false}, {15, true}, {20, true}}},
                      RangeCase{"0", {{0, false}, {1, true}}}));

TEST(NagiosRange, RefusesWhatIsNoRange) {
  for (const char* text : {"", "@", ":", "abc", "20:10", "1:x", "~"}) {
    EXPECT_FALSE(NagiosRange::parse(text)) << text;
  }
}

TEST(NagiosLimits, RefuseWrongOptions) {
  for (const auto& options : std::vector<std::vector<std::string_view>>{
           {"--warning"}, {"--bogus", "1"}, {"-w", "x"}, {"--critical-age=y"}, {"--output", "1"}}) {
    EXPECT_FALSE(nagios_limits(options)) << options.front();
  }
  EXPECT_EQ(nagios_limits({"--bogus"}).error(), "sorvane-gui: unknown option: --bogus");
  EXPECT_EQ(nagios_limits({"-c"}).error(), "sorvane-gui: -c needs a range");
}

}  // namespace
}  // namespace sorvane::gui

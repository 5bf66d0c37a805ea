#include "prometheus_text.hpp"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "fleet_test_support.hpp"

namespace sorvane::gui {
namespace {

using namespace fleet_test;

struct PrometheusCase {
  const char* name;
  FleetCheck check;
  // Every sample line, in order; the HELP and TYPE lines are checked apart.
  std::string samples;
};
// GoogleTest names a failing row by this, not by its bytes.
void PrintTo(const PrometheusCase& row, std::ostream* out) {
  *out << row.name;
}

FleetCheck of(std::vector<ManagerCheck> checks) {
  FleetCheck check;
  check.checks = std::move(checks);
  return check;
}

FleetCheck everything() {
  ManagerCheck apt = checked(
      Step::Apt, {update("libssl3", true), update("bash"), update("linux-image-amd64", true)});
  apt.kept_back = {{"held", HeldReason::HeldByUser, {}, {}, true}};
  apt.download_bytes = 186'000'000;
  apt.data_age_seconds = 10'800;
  FleetCheck check = of({apt, checked(Step::Flatpak, {update("org.gnome.Maps")})});
  check.restart_due = true;
  check.last_update = LastUpdate{1'700'000'000, Outcome::SuccessWithWarnings};
  check.support_end = 1'814'313'600;
  return check;
}

FleetCheck offline() {
  FleetCheck check = of({checked(Step::Apt, {update("bash")})});
  check.online = false;
  return check;
}

FleetCheck two_short_file_systems() {
  ManagerCheck apt = short_of_space("/var");
  apt.space.push_back(SpaceNeed{"/boot", 200'000'000, 2, "/boot", 1'000'000});
  return of({apt});
}

FleetCheck failed() {
  FleetCheck check;
  check.failed = "Sorvane answered in a way this window does not understand.";
  return check;
}

const std::vector<PrometheusCase>& cases() {
  static const std::vector<PrometheusCase> table = {
      {"UpToDate", of({checked(Step::Apt)}),
       "sorvane_check_success{manager=\"apt\"} 1\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"true\"} 0\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"false\"} 0\n"
       "sorvane_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_security_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_reboot_required 0\n"},
      {"Everything", everything(),
       "sorvane_check_success{manager=\"apt\"} 1\n"
       "sorvane_check_success{manager=\"flatpak\"} 1\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"true\"} 2\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"false\"} 1\n"
       "sorvane_updates_pending{manager=\"flatpak\",security=\"true\"} 0\n"
       "sorvane_updates_pending{manager=\"flatpak\",security=\"false\"} 1\n"
       "sorvane_updates_held_back{manager=\"apt\"} 1\n"
       "sorvane_updates_held_back{manager=\"flatpak\"} 0\n"
       "sorvane_security_updates_held_back{manager=\"apt\"} 1\n"
       "sorvane_security_updates_held_back{manager=\"flatpak\"} 0\n"
       "sorvane_download_bytes{manager=\"apt\"} 186000000\n"
       "sorvane_data_age_seconds{manager=\"apt\"} 10800\n"
       "sorvane_reboot_required 1\n"
       "sorvane_last_update_timestamp_seconds{outcome=\"success_with_warnings\"} 1700000000\n"
       "sorvane_support_end_timestamp_seconds 1814313600\n"},
      // The update stops at apt's lock; flatpak, after it, is still counted.
      {"StopsAtALock",
       of({with_problem(Step::Apt, Problem::LockHeld), checked(Step::Flatpak, {update("a")})}),
       "sorvane_check_success{manager=\"apt\"} 0\n"
       "sorvane_check_success{manager=\"flatpak\"} 1\n"
       "sorvane_updates_pending{manager=\"flatpak\",security=\"true\"} 0\n"
       "sorvane_updates_pending{manager=\"flatpak\",security=\"false\"} 1\n"
       "sorvane_updates_held_back{manager=\"flatpak\"} 0\n"
       "sorvane_security_updates_held_back{manager=\"flatpak\"} 0\n"
       "sorvane_problem{manager=\"apt\",reason=\"lock_held\"} 1\n"
       "sorvane_reboot_required 0\n"},
      // A query that failed does not stop the update.
      {"CouldNotCheck", of({with_problem(Step::Dnf, Problem::CouldNotCheck)}),
       "sorvane_check_success{manager=\"dnf\"} 0\n"
       "sorvane_problem{manager=\"dnf\",reason=\"could_not_check\"} 0\n"
       "sorvane_reboot_required 0\n"},
      {"Offline", offline(),
       "sorvane_check_success{manager=\"apt\"} 1\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"true\"} 0\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"false\"} 1\n"
       "sorvane_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_security_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_problem{manager=\"apt\",reason=\"offline\"} 1\n"
       "sorvane_reboot_required 0\n"},
      {"ShortOfSpace", of({short_of_space("/var")}),
       "sorvane_check_success{manager=\"apt\"} 1\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"true\"} 0\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"false\"} 1\n"
       "sorvane_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_security_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_problem{manager=\"apt\",reason=\"short_of_space\"} 1\n"
       "sorvane_reboot_required 0\n"},
      // Short on two file systems is still one series.
      {"ShortOfSpaceOnTwoFileSystems", two_short_file_systems(),
       "sorvane_check_success{manager=\"apt\"} 1\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"true\"} 0\n"
       "sorvane_updates_pending{manager=\"apt\",security=\"false\"} 1\n"
       "sorvane_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_security_updates_held_back{manager=\"apt\"} 0\n"
       "sorvane_problem{manager=\"apt\",reason=\"short_of_space\"} 1\n"
       "sorvane_reboot_required 0\n"},
      // The look failed: no manager was asked, and that is a sample too.
      {"LookFailed", failed(),
       "sorvane_check_success 0\n"
       "sorvane_reboot_required 0\n"},
  };
  return table;
}

class PrometheusText : public ::testing::TestWithParam<PrometheusCase> {};

TEST_P(PrometheusText, SaysTheCheckInSamples) {
  std::istringstream lines(prometheus_text(GetParam().check));
  std::string samples;
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with('#')) samples += line + '\n';
  }
  EXPECT_EQ(samples, GetParam().samples);
}

// Each family once, HELP then TYPE gauge, before all of its samples and
// none of another's: what the exposition format asks and promtool checks.
TEST_P(PrometheusText, DescribesEachFamilyOnceBeforeItsSamples) {
  std::istringstream lines(prometheus_text(GetParam().check));
  std::map<std::string, int> described;
  std::map<std::string, int> series;
  std::string current;
  std::string helped;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("# HELP ")) {
      helped = line.substr(7, line.find(' ', 7) - 7);
      EXPECT_GT(line.size(), 8 + helped.size()) << "no help text: " << line;
    } else if (line.starts_with("# TYPE ")) {
      current = line.substr(7, line.find(' ', 7) - 7);
      EXPECT_EQ(current, helped);
      EXPECT_EQ(line, "# TYPE " + current + " gauge");
      EXPECT_EQ(++described[current], 1) << current;
    } else {
      const std::string family = line.substr(0, line.find_first_of("{ "));
      EXPECT_EQ(family, current) << line;
      // A series (its name and labels) once: a scraper drops or refuses a repeat.
      EXPECT_EQ(++series[line.substr(0, line.rfind(' '))], 1) << "twice: " << line;
    }
  }
  EXPECT_EQ(described.size(), 10U);
}

INSTANTIATE_TEST_SUITE_P(Cases, PrometheusText, ::testing::ValuesIn(cases()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace sorvane::gui

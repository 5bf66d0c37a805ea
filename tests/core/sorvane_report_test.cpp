#include "sorvane_report.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>

#include "managers.hpp"
#include "payload.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::exited;
using test::TempDir;

TEST(SorvaneReport, OnlyTheContractsReportIsBelieved) {
  const std::string banner = "Sorvane\n=======\n\nDetecting package managers...\n\n";
  const std::string success = "\nUpdate script prepared successfully.\n";
  using Kind = SorvaneReport::Kind;
  struct Case {
    std::string out, err;
    int status;
    Kind kind;
    std::vector<Step> steps;
    std::string message;
  };
  const Case cases[] = {
      {banner + "Detected package managers:\n  pacman\n  flatpak\n  apt\n  dnf\n  snap\n" + success,
       "",
       exited(0),
       Kind::Found,
       {Step::Pacman, Step::Apt, Step::Dnf, Step::Snap, Step::Flatpak},
       ""},
      {banner + "Detected package managers:\n  apt\n  apt\n" + success,
       "",
       exited(0),
       Kind::Found,
       {Step::Apt},
       ""},
      {banner + "No supported package managers detected.\n",
       "",
       exited(0),
       Kind::NoneFound,
       {},
       ""},
      {"",
       "ERROR: a trusted system Bash executable was not found\n",
       exited(1),
       Kind::Failed,
       {},
       "a trusted system Bash executable was not found"},
      {banner + "Detected package managers:\n  apt\n",
       "ERROR: could not write x: y\n",
       exited(1),
       Kind::Failed,
       {},
       "could not write x: y"},
      // Anything else: a warning on stderr, another name, a missing line,
      // two error lines, a signal.
      {banner + "No supported package managers detected.\n",
       "warning\n",
       exited(0),
       Kind::Unexpected,
       {},
       ""},
      {banner + "Detected package managers:\n  yum\n" + success,
       "",
       exited(0),
       Kind::Unexpected,
       {},
       ""},
      {banner + "Detected package managers:\n  apt\n", "", exited(0), Kind::Unexpected, {}, ""},
      {banner + "Detected package managers:\n" + success, "", exited(0), Kind::Unexpected, {}, ""},
      {"", "ERROR: a\nERROR: b\n", exited(1), Kind::Unexpected, {}, ""},
      {"", "", W_EXITCODE(0, SIGSEGV), Kind::Unexpected, {}, ""},
  };
  for (const auto& c : cases) {
    const SorvaneReport report = read_sorvane_report(c.out, c.err, c.status);
    EXPECT_EQ(report.kind, c.kind) << c.out << c.err;
    EXPECT_EQ(report.steps, c.steps) << c.out;
    EXPECT_EQ(report.message, c.message) << c.err;
  }
}

TEST(SorvaneReport, TheRealSorvaneWritesWhereItIsTold) {
  const TempDir managers;
  const std::string apt = test::make_trusted_manager(managers, "apt");
  const test::Layout layout("echo " + apt + "\n");
  const TempDir run_dir;
  const SorvaneReport report = run_sorvane(layout.binary, run_dir / "update.sh", {});
  EXPECT_EQ(report.kind, SorvaneReport::Kind::Found) << report.message;
  EXPECT_EQ(report.steps, std::vector<Step>{Step::Apt});
  EXPECT_EQ(test::read_file(run_dir / "update.sh"), UPDATE_SCRIPT);
}

TEST(SudoProbe, OnlyASudoThatRunsBashUnaskedMeansNoPassword) {
  const TempDir dir;
  const auto fake_sudo = [&](int status) {
    test::write_file(
        dir / "sudo",
        "#!/bin/sh\necho \"$@\" > " + (dir / "args") + "\nexit " + std::to_string(status) + "\n",
        0755);
    return dir / "sudo";
  };
  EXPECT_EQ(probe_sudo(fake_sudo(0), "/usr/bin/bash", {}), SudoNeeds::NoPassword);
  EXPECT_EQ(test::read_file(dir / "args"), "-k -n -- /usr/bin/bash -c :\n");
  EXPECT_EQ(probe_sudo(fake_sudo(1), "/usr/bin/bash", {}), SudoNeeds::Password);
  EXPECT_EQ(probe_sudo(dir / "missing", "/usr/bin/bash", {}), SudoNeeds::Password);
}

}  // namespace
}  // namespace sorvane::gui

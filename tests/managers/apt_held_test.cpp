// Why apt keeps a package back: the user's hold, a phased rollout, or new
// dependencies; read from dpkg's database and apt's own answers.
#include "apt_held.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "pending_check.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using Names = std::vector<std::string>;

struct HoldCase {
  const char* status;
  Names held;
};

class DpkgHolds : public testing::TestWithParam<HoldCase> {};

TEST_P(DpkgHolds, OnlyTheHoldSelection) {
  EXPECT_EQ(parse_dpkg_holds(GetParam().status), GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(
    Status, DpkgHolds,
    testing::Values(
        HoldCase{"Package: a\nStatus: hold ok installed\n\nPackage: b\nStatus: install ok "
                 "installed\n",
                 {"a"}},
        // The selection is the first word: "hold" later in the line is not it.
        HoldCase{"Package: a\nStatus: install hold installed\n", {}},
        // A record whose Package follows its Status, and CRLF ends.
        HoldCase{"Status: hold ok installed\r\nPackage: z\r\n\r\nPackage: y\r\n", {"z"}},
        // A hold on a package that is not installed any more is still a hold.
        HoldCase{"Package: gone\nStatus: hold ok not-installed\n", {"gone"}},
        // A field that only starts with "Status" is another field.
        HoldCase{"Package: a\nStatus-Note: hold ok installed\n", {}},
        HoldCase{"Package: a\nStatus: hold ok\n", {}}, HoldCase{"", {}}));

TEST(AptPolicy, CandidatesOfEachPackage) {
  const std::string policy =
      "sorvane-probe-c:\n  Installed: 1.0\n  Candidate: 2.0\n  Version table:\n"
      "     2.0 500 (phased 30%)\n        500 file:/r ./ Packages\n *** 1.0 100\n"
      "        100 /var/lib/dpkg/status\n"
      "libfoo:i386:\n  Installed: 1\n  Candidate: 1:2-3\n"
      "gone:\n  Installed: (none)\n  Candidate: (none)\n";
  EXPECT_EQ(parse_apt_policy_candidates(policy),
            (std::vector<std::pair<std::string, std::string>>{{"sorvane-probe-c", "2.0"},
                                                              {"libfoo", "1:2-3"}}));
}

// Whether each candidate comes from a security archive: only the
// candidate's own origins count, not another version's.
TEST(AptPolicy, SecurityCandidates) {
  struct Case {
    const char* name;
    std::string policy;
    Names security;
  };
  const std::string held =
      "jq:\n  Installed: 1.6-2.1\n  Candidate: 1.6-2.1+deb12u1\n  Version table:\n"
      "     1.6-2.1+deb12u1 500\n"
      "        500 http://security.debian.org/debian-security bookworm-security/main amd64 "
      "Packages\n"
      " *** 1.6-2.1 500\n        500 http://deb.debian.org/debian bookworm/main amd64 Packages\n"
      "        100 /var/lib/dpkg/status\n";
  const std::vector<Case> cases = {
      {"from the security archive", held, {"jq"}},
      {"with an arch, twice listed",
       "libjq1:amd64:\n  Candidate: 2\n  Version table:\n     2 500\n"
       "        500 http://s/ jammy-security/main amd64 Packages\n"
       "        500 http://m/ jammy-updates/main amd64 Packages\n",
       {"libjq1"}},
      {"only the installed version is",
       "vim:\n  Installed: 1\n  Candidate: 2\n  Version table:\n     2 500\n"
       "        500 http://m/ bookworm-updates/main amd64 Packages\n *** 1 100\n"
       "        100 http://s/ bookworm-security/main amd64 Packages\n",
       {}},
      {"a phased candidate",
       "a:\n  Candidate: 2\n  Version table:\n     2 500 (phased 30%)\n"
       "        500 http://s/ noble-security/main amd64 Packages\n",
       {"a"}},
      {"no candidate",
       "gone:\n  Candidate: (none)\n  Version table:\n     2 500\n"
       "        500 http://s/ bookworm-security/main amd64 Packages\n",
       {}},
      {"a suite that only ends so",
       "b:\n  Candidate: 2\n  Version table:\n     2 500\n"
       "        500 http://s/ -security/main amd64 Packages\n",
       {}},
      {"the next package's versions are its own", held + "k:\n  Candidate: 9\n", {"jq"}},
      {"a version that is a number",
       "fonts:\n  Candidate: 20230311\n  Version table:\n     20230311 500\n"
       "        500 http://s/ bookworm-security/main amd64 Packages\n",
       {"fonts"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parse_apt_policy_security(c.policy), c.security);
  }
}

TEST(AptShow, PhasedPercentageOfEachRecord) {
  const std::string show =
      "Package: a\nVersion: 2.0\nPhased-Update-Percentage: 30\n\n"
      "Package: b\nVersion: 2.0\n\n"
      "Package: c\nPhased-Update-Percentage: 101\n\n"  // out of range: ignored
      "Package: d\nPhased-Update-Percentage: ten\n\n"  // not a number
      "Phased-Update-Percentage: 0\nPackage: e\n";
  EXPECT_EQ(parse_apt_phased_percentages(show),
            (std::vector<std::pair<std::string, int>>{{"a", 30}, {"e", 0}}));
}

TEST(AptPhasing, DeferredListOnly) {
  EXPECT_EQ(parse_apt_phasing_deferred(
                "The following packages have been kept back:\n  x\n"
                "The following upgrades have been deferred due to phasing:\n  a b\n  c\n"
                "The following packages will be upgraded:\n  d\n"),
            (Names{"a", "b", "c"}));
}

// Each reason, with apt's answers given: what is asked, and what each
// answer makes of a kept-back package.
TEST(AptHeldReasons, EachReasonFromTheAnswers) {
  std::vector<std::vector<std::string>> asked;
  const std::map<std::string, std::string> answers = {
      {"policy",
       "h:\n  Candidate: 5\n  Version table:\n     5 500\n"
       "        500 http://s/ bookworm-security/main amd64 Packages\n"
       "p:\n  Candidate: 2\nd:\n  Candidate: 3\nfull:\n  Candidate: 4\n"},
      {"show",
       "Package: p\nPhased-Update-Percentage: 30\n\nPackage: full\nPhased-Update-Percentage: "
       "100\n"},
  };
  const AptAsk ask = [&](std::string_view tool, std::vector<std::string> args) {
    EXPECT_EQ(tool, "apt-cache");
    asked.push_back(args);
    return std::optional<std::string>(answers.at(args.at(0)));
  };
  const HeldBacks held =
      apt_held_reasons({"h", "p", "d", "full", "q"}, "Package: h\nStatus: hold ok installed\n",
                       "The following upgrades have been deferred due to phasing:\n  q\n", ask);
  EXPECT_EQ(held, (HeldBacks{{"h", HeldReason::HeldByUser, {}, {}, true},
                             {"p", HeldReason::PhasedRollout, 30, {}},
                             {"d", HeldReason::NewDependencies, {}, {}},
                             {"full", HeldReason::NewDependencies, {}, {}},
                             {"q", HeldReason::PhasedRollout, {}, {}}}));
  // Every one's origin is asked, in one run; only the candidates of those
  // not held are shown by version, for their rollout.
  EXPECT_EQ(asked, (std::vector<std::vector<std::string>>{{"policy", "h", "p", "d", "full", "q"},
                                                          {"show", "p=2", "d=3", "full=4"}}));
  asked.clear();
  EXPECT_EQ(apt_held_reasons({"h"}, "Package: h\nStatus: hold ok installed\n", "", ask),
            (HeldBacks{{"h", HeldReason::HeldByUser, {}, {}, true}}));
  EXPECT_EQ(asked, (std::vector<std::vector<std::string>>{{"policy", "h"}}))
      << "a held package's rollout is never asked";
  // Kept back for a hold's sake: the held package needs exactly its version,
  // and only its origin is asked.
  asked.clear();
  EXPECT_EQ(apt_held_reasons({"libjq1:amd64"},
                             "Package: jq\nStatus: hold ok installed\n"
                             "Depends: libjq1 (= 1.6-2.1), libc6 (>= 2.34)\n",
                             "", ask),
            (HeldBacks{{"libjq1:amd64", HeldReason::NeededByHeld, {}, "jq"}}));
  EXPECT_EQ(asked, (std::vector<std::vector<std::string>>{{"policy", "libjq1:amd64"}}));
}

// Only a whole clause of one package at one version of a held package pins.
TEST(DpkgHoldPins, ExactVersionsOfHeldPackagesOnly) {
  const std::string status =
      "Package: jq\nStatus: hold ok installed\n"
      "Depends: libjq1 (= 1.6-2.1), libonig5 (>= 6.1), libc6 | libc7 (= 1), libx:amd64 (= 2)\n"
      "Pre-Depends: libpre (= 3)\n\n"
      "Package: free\nStatus: install ok installed\nDepends: libfree (= 1)\n\n"
      "Package: other\nStatus: hold ok installed\nDepends: libjq1 (=1.6-2.1)\n";
  EXPECT_EQ(parse_dpkg_hold_pins(status),
            (std::vector<std::pair<std::string, std::string>>{
                {"libjq1", "jq"}, {"libx", "jq"}, {"libpre", "jq"}, {"libjq1", "other"}}));
}

// The real apt, as the user, on a repository of its own: one package held
// with dpkg's own --set-selections, one whose new version would remove an
// installed package (`apt upgrade` adds packages, never removes one), one phased at 30 % (this
// computer never in its share).
TEST(AptHeldReasons, RealAptKeepsEachBackForItsReason) {
  REQUIRE_ROOT();  // the tools must pass the trust test: under /run, root's
  if (!std::filesystem::exists("/usr/bin/apt-get") || !std::filesystem::exists("/usr/bin/dpkg")) {
    GTEST_SKIP() << "no apt here";
  }
  const TempDir dir("/run");
  const std::string root = dir / "root";
  for (const char* sub : {"bin", "root/var/lib/dpkg/updates", "root/var/lib/dpkg/info",
                          "lists/partial", "cache/archives/partial", "repo", "etc/apt.conf.d",
                          "etc/preferences.d", "etc/sources.list.d"}) {
    std::filesystem::create_directories(dir / sub);
  }
  std::string status;
  for (const char* name :
       {"probe-held", "probe-deps", "probe-phased", "probe-plain", "probe-keep", "probe-lib"}) {
    status += std::string("Package: ") + name +
              "\nStatus: install ok installed\nVersion: 1.0\nArchitecture: all\nMaintainer: t "
              "<t@example.org>\nDescription: t\n\n";
  }
  // Held, and needing probe-lib as it is: probe-lib 2.0 waits for it.
  status +=
      "Package: probe-pinner\nStatus: install ok installed\nVersion: 1.0\nArchitecture: all\n"
      "Maintainer: t <t@example.org>\nDepends: probe-lib (= 1.0)\nDescription: t\n\n";
  const std::string status_path = root + "/var/lib/dpkg/status";
  test::write_file(status_path, status);
  test::write_file(root + "/var/lib/dpkg/available", "");
  ASSERT_EQ(std::system(("printf 'probe-held hold\\nprobe-pinner hold\\n' | dpkg --admindir=" +
                         root + "/var/lib/dpkg --force-not-root --set-selections")
                            .c_str()),
            0);
  std::string packages;
  const auto record = [&](const std::string& name, const std::string& extra) {
    packages += "Package: " + name + "\nVersion: 2.0\nArchitecture: all\nMaintainer: t " +
                "<t@example.org>\nFilename: " + name + ".deb\nSize: 100\n" + extra +
                "Description: t\n\n";
  };
  record("probe-held", "");
  record("probe-deps", "Depends: probe-new\nConflicts: probe-keep\n");
  record("probe-new", "");
  record("probe-phased", "Phased-Update-Percentage: 30\n");
  record("probe-plain", "");
  record("probe-lib", "");
  test::write_file(dir / "repo/Packages", packages);
  test::write_file(dir / "etc/sources.list", "deb [trusted=yes] file:" + (dir / "repo") + " ./\n");
  const std::string config = dir / "apt.conf";
  test::write_file(config, "Dir::State::status \"" + status_path + "\";\nDir::State::Lists \"" +
                               (dir / "lists") + "\";\nDir::Cache \"" + (dir / "cache") +
                               "\";\nDir::Etc \"" + (dir / "etc") +
                               "\";\nAPT::Architecture \"amd64\";\n"
                               "APT::Get::Never-Include-Phased-Updates \"true\";\n");
  ASSERT_EQ(std::system(("APT_CONFIG=" + config + " apt-get -qq update >/dev/null 2>&1").c_str()),
            0);
  for (const char* tool : {"apt-get", "apt-cache"}) {
    test::write_file(dir / (std::string("bin/") + tool),
                     std::string("#!/bin/sh\nexec /usr/bin/") + tool + " \"$@\"\n", 0755);
  }
  CheckSetup setup;
  setup.places = {{dir / "bin"}, root, "/proc", {0}};
  setup.environment = {"APT_CONFIG=" + config};
  const ManagerCheck check = check_manager(Step::Apt, setup);
  ASSERT_FALSE(check.problem) << check.problem->detail;
  ASSERT_EQ(check.updates.size(), 1U);
  EXPECT_EQ(check.updates[0].name, "probe-plain");
  HeldBacks held = check.kept_back;
  std::sort(held.begin(), held.end(),
            [](const HeldBack& a, const HeldBack& b) { return a.name < b.name; });
  EXPECT_EQ(held, (HeldBacks{{"probe-deps", HeldReason::NewDependencies, {}, {}},
                             {"probe-held", HeldReason::HeldByUser, {}, {}},
                             {"probe-lib", HeldReason::NeededByHeld, {}, "probe-pinner"},
                             {"probe-phased", HeldReason::PhasedRollout, 30, {}}}));
}

}  // namespace
}  // namespace sorvane::gui

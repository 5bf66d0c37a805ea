// What dnf says is pending.
#include "dnf.hpp"

#include <gtest/gtest.h>

#include "captures.hpp"

namespace sorvane::gui {
namespace {

using test::capture;
using Updates = std::vector<PendingUpdate>;
using Names = std::vector<std::string>;

const Updates DNF_LOCAL = {
    {"python3-sorvane-probe-with-a-really-long-package-name-for-wrapping", "", "1.0-2", false},
    {"sorvane-probe-epoch", "", "1:2.3-4", false},
    {"sorvane-probe-plain", "", "1.0-1", false},
    {"sorvane-probe-security", "", "1.0-2", false},
};

TEST(DnfCheckUpdate, ReadsTheLocalRepository) {
  EXPECT_EQ(parse_dnf_check_update(capture("dnf-check-update-local-repo.txt")), DNF_LOCAL);
  // On an 80-column terminal the long name takes a line of its own.
  EXPECT_EQ(parse_dnf_check_update(capture("dnf-check-update-local-repo-tty80.txt")), DNF_LOCAL);
  EXPECT_EQ(parse_dnf_security(capture("dnf-updateinfo-list-updates-security.txt")),
            Names{"sorvane-probe-security"});
  EXPECT_EQ(parse_dnf_repolist(capture("dnf-repolist-enabled.txt")),
            (Names{"probe-base", "probe-updates"}));
}

TEST(DnfCheckUpdate, ReadsRowsAndWrappedRows) {
  const std::pair<std::string, Updates> cases[] = {
      {"", {}},
      {"\n", {}},
      {"a.x86_64 1-1 updates", {{"a", "", "1-1", false}}},
      {"\na.x86_64   2:1.0-1.fc39   updates\n", {{"a", "", "2:1.0-1.fc39", false}}},
      {"a.b.noarch 1-1 updates", {{"a.b", "", "1-1", false}}},
      {"long.noarch\n    1-1 updates", {{"long", "", "1-1", false}}},
      {"long.noarch 1-1\n    updates", {{"long", "", "1-1", false}}},
      {"long.noarch\n    1-1\n    updates", {{"long", "", "1-1", false}}},
      {"long.noarch\nb.noarch 2-2 updates", {{"b", "", "2-2", false}}},  // a lone name is dropped
      {"long.noarch\n\n    1-1 updates", {}},
      {"    1-1 updates", {}},
      {"    a.noarch\n    1-1 updates", {}},  // indented from the start, as an obsoleted package
      {"a.x86_64 1-1 updates extra", {}},
      {"a.x86_64 1 updates", {}},  // no release
      {"a 1-1 updates", {}},       // no arch
      {".x86_64 1-1 updates", {}},
      {"a. 1-1 updates", {}},
      {"Last metadata expiration check: 0:01:02 ago on Wed 09 Dec 2026.\na.x86_64 1-1 updates",
       {{"a", "", "1-1", false}}},
      {"a.x86_64 1-1 updates\nObsoleting Packages\nb.x86_64 1-1 updates\n    c.x86_64 1-1 @System",
       {{"a", "", "1-1", false}}},
      {"a.x86_64 1-1 updates\r\nb.x86_64 2-2 updates\r\n",
       {{"a", "", "1-1", false}, {"b", "", "2-2", false}}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_dnf_check_update(out), want) << out;
}

TEST(DnfSecurity, ReadsThePackageOfEachAdvisory) {
  const std::pair<std::string, Names> cases[] = {
      {"", {}},
      {"FEDORA-2023-1 Important/Sec. curl-8.0.1-5.fc38.x86_64", {"curl"}},
      {"FEDORA-2023-1 Important/Sec. curl-8.0.1-5.fc38.x86_64\nFEDORA-2023-1 Important/Sec. "
       "curl-8.0.1-5.fc38.i686",
       {"curl"}},
      {"RHSA-2024:1 Moderate/Sec. kernel-core-0:5.14.0-1.el9.x86_64", {"kernel-core"}},
      {"A Sec. python3-dnf-plugins-core-4.4.2-1.fc39.noarch\nB Sec. glibc-2.38-14.fc39.aarch64",
       {"python3-dnf-plugins-core", "glibc"}},
      // The columns of newer dnf: name, type, severity, package, issued.
      {"Name Type Severity Package Issued\nFEDORA-2024-2 security Low zlib-1.3-1.fc40.x86_64 "
       "2024-01-01 00:00:00",
       {"zlib"}},
      {"A Sec. curl-8.0.1.x86_64", {}},    // no release
      {"A Sec. curl-8.0.1-5.fc38", {}},    // no arch
      {"A Sec. curl-8-5.fc38.weird", {}},  // not an arch
      {"A Sec. -1-1.noarch", {}},
      {"A Sec. a--1.noarch", {}},
      {"A Sec. a-1-.noarch", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_dnf_security(out), want) << out;
}

TEST(DnfRepolist, ReadsTheFirstColumn) {
  const std::pair<std::string, Names> cases[] = {
      {"", {}},
      {"repo id   repo name\nfedora   Fedora 39 - x86_64\nupdates  Fedora 39 - x86_64 - Updates\n",
       {"fedora", "updates"}},
      {"fedora\n\n   continued name\n", {"fedora"}},
      {"fedora\tFedora\r\n", {"fedora"}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_dnf_repolist(out), want) << out;
}

// What is installed: its version and its summary (the rest of the line).
TEST(RpmInstalled, ReadsNameEvrSummary) {
  using Row = std::tuple<std::string, std::string, std::string>;
  const std::pair<std::string, std::vector<Row>> cases[] = {
      {"", {}},
      {"bash 5.2.26-3.fc40 The GNU Bourne Again shell\n"
       "openssl-libs 1:3.1.4-2.fc40 A general purpose cryptography library with TLS "
       "implementation\n",
       {{"bash", "5.2.26-3.fc40", "The GNU Bourne Again shell"},
        {"openssl-libs", "1:3.1.4-2.fc40",
         "A general purpose cryptography library with TLS implementation"}}},
      {"zsh 5.9-1.fc40\n", {{"zsh", "5.9-1.fc40", ""}}},                 // no summary
      {"zsh 5.9-1.fc40 (none)\r\n", {{"zsh", "5.9-1.fc40", "(none)"}}},  // rpm's own word
      {"zsh\n zsh 5.9\n", {}},                                           // no version; no name
  };
  for (const auto& [out, want] : cases) {
    SCOPED_TRACE(out);
    std::vector<Row> got;
    for (const auto& [name, installed] : parse_rpm_installed(out)) {
      got.emplace_back(std::string(name), std::string(installed.evr),
                       std::string(installed.summary));
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
  }
}

}  // namespace
}  // namespace sorvane::gui

// dnf's advisories, as its two generations list them.
#include "dnf_advisories.hpp"

#include <gtest/gtest.h>

#include "captures.hpp"

namespace sorvane::gui {
namespace {

using Advisories = std::vector<DnfAdvisory>;

TEST(DnfAdvisories, ReadsTheIdAndThePackageOfEachRow) {
  EXPECT_EQ(parse_dnf_advisories(test::capture("dnf-updateinfo-list-updates-security.txt")),
            (Advisories{{"SORVANE-2026-0001", "sorvane-probe-security"}}));
  const std::pair<std::string, Advisories> cases[] = {
      {"", {}},
      // dnf 4: id, type or severity/Sec., NEVRA.
      {"FEDORA-2023-1a2b Important/Sec. curl-8.0.1-5.fc38.x86_64", {{"FEDORA-2023-1a2b", "curl"}}},
      {"FEDORA-2023-1 Important/Sec. curl-8.0.1-5.fc38.x86_64\n"
       "FEDORA-2023-1 Important/Sec. curl-8.0.1-5.fc38.i686",
       {{"FEDORA-2023-1", "curl"}}},
      {"FEDORA-2023-2 bugfix     glibc-2.37-5.fc38.x86_64\n"
       "FEDORA-2023-3 enhancement glibc-2.37-5.fc38.x86_64\n",
       {{"FEDORA-2023-2", "glibc"}, {"FEDORA-2023-3", "glibc"}}},
      {"RHSA-2024:1234 Moderate/Sec. kernel-core-0:5.14.0-1.el9.x86_64",
       {{"RHSA-2024:1234", "kernel-core"}}},
      {"  ALSA-2024:1 bugfix a-1-1.noarch\r\n", {{"ALSA-2024:1", "a"}}},
      // dnf 5: a header, then id, type, severity, NEVRA, issued.
      {"Name          Type     Severity Package                Issued\n"
       "FEDORA-2024-2 security Low      zlib-1.3-1.fc40.x86_64 2024-01-01 00:00:00\n",
       {{"FEDORA-2024-2", "zlib"}}},
      // Not a row: a header, a sentence, an id that is none, no NEVRA.
      {"Last metadata expiration check: 0:01:02 ago on Wed 09 Dec 2026.", {}},
      {"A Sec. curl-8.0.1-5.fc38.x86_64", {}},
      {"fedora-2023-1 bugfix curl-8.0.1-5.fc38.x86_64", {}},
      {"FEDORA-<b>x</b> bugfix curl-8.0.1-5.fc38.x86_64", {}},
      {"FEDORA-2023-1 bugfix curl-8.0.1.x86_64", {}},
      {"FEDORA-2023-1 bugfix", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_dnf_advisories(out), want) << out;
}

}  // namespace
}  // namespace sorvane::gui

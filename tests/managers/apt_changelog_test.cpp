// What an apt update brings: versions in Debian's order, the changelog
// entries newer than the installed version, the advisories they name, and
// the descriptions.
#include "apt_changelog.hpp"

#include <gtest/gtest.h>

namespace sorvane::gui {
namespace {

TEST(AptChangelog, VersionsInDebiansOrder) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"1.0", "1.0", 0},
      {"1.0", "1.1", -1},
      {"1.10", "1.9", 1},
      {"1.0~rc1", "1.0", -1},
      {"1.0", "1.0+deb12u1", -1},
      {"1.0-1", "1.0-1+deb12u1", -1},
      {"3.0.11-1", "3.0.11-1~deb12u2", 1},
      {"1:0.9", "2.0", 1},
      {"0:2.0", "2.0", 0},
      {"2.0-1", "2.0-1+b1", -1},
      {"1.0a", "1.0+", -1},  // letters before other characters
      {"1.001", "1.1", 0},
      {"7.88.1-10+deb12u8", "7.88.1-10+deb12u12", -1},
  };
  for (const Case& c : cases) {
    const int got = compare_debian_versions(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
    const int back = compare_debian_versions(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
  }
}

constexpr std::string_view CHANGELOG =
    "curl (7.88.1-10+deb12u12) bookworm-security; urgency=medium\n"
    "\n"
    "  * Fix CVE-2025-0167 and CVE-2024-11053 (DSA-5890-1).\n"
    "\n"
    " -- Security Team <team@security.debian.org>  Mon, 10 Feb 2025 10:00:00 +0000\n"
    "\n"
    "curl (7.88.1-10+deb12u11) bookworm; urgency=medium\n"
    "\n"
    "  * Fix CVE-2024-9681.\n"
    "\n"
    " -- Maintainer <m@debian.org>  Mon, 06 Jan 2025 10:00:00 +0000\n"
    "\n"
    "curl (7.88.1-10+deb12u8) bookworm; urgency=medium\n"
    "\n"
    "  * Fix CVE-2024-2398 (curl (7.88) in a line that is not an entry's).\n"
    "\n"
    " -- Maintainer <m@debian.org>  Mon, 01 Jan 2024 10:00:00 +0000\n";

TEST(AptChangelog, OnlyTheEntriesNewerThanTheInstalledVersion) {
  const std::pair<std::string_view, std::vector<std::string>> cases[] = {
      // Installed: the last entry; the two above it are new.
      {"7.88.1-10+deb12u8", {"CVE-2025-0167", "CVE-2024-11053", "DSA-5890-1", "CVE-2024-9681"}},
      {"7.88.1-10+deb12u11", {"CVE-2025-0167", "CVE-2024-11053", "DSA-5890-1"}},
      // A binNMU of the installed source: not in the changelog, older than u11.
      {"7.88.1-10+deb12u10+b1", {"CVE-2025-0167", "CVE-2024-11053", "DSA-5890-1", "CVE-2024-9681"}},
      {"7.88.1-10+deb12u12", {}},
      // A new package: all of it.
      {"", {"CVE-2025-0167", "CVE-2024-11053", "DSA-5890-1", "CVE-2024-9681", "CVE-2024-2398"}},
  };
  // As fetched, and after apt's own line about fetching it: the same.
  const std::string fetched =
      "Get:1 https://metadata.ftp-master.debian.org curl 7.88.1-10+deb12u12 Changelog [2,113 B]\n" +
      std::string(CHANGELOG);
  for (const std::string_view changelog : {CHANGELOG, std::string_view(fetched)}) {
    for (const auto& [installed, advisories] : cases) {
      const std::string newer = changelog_since(changelog, installed);
      EXPECT_EQ(advisories_in(newer), advisories) << installed;
      EXPECT_TRUE(newer.empty() || newer.starts_with("curl (7.88.1-10+deb12u12)")) << installed;
      if (!installed.empty()) {
        EXPECT_EQ(newer.find("deb12u8)"), std::string::npos) << installed;
      }
    }
  }
}

TEST(AptChangelog, DescribesEachStanza) {
  const std::string out =
      "Package: curl\nVersion: 7.88.1-10+deb12u12\nDescription: command line tool for "
      "transferring data with URL syntax\n more text\n\n"
      "Package: zip\nVersion: 3.0-14\nDescription-en: Archiver for .zip files\n\n"
      "Package: bare\nVersion: 1\n";
  EXPECT_EQ(parse_apt_descriptions(out),
            (std::vector<Described>{{"curl", "7.88.1-10+deb12u12",
                                     "command line tool for transferring data with URL syntax"},
                                    {"zip", "3.0-14", "Archiver for .zip files"},
                                    {"bare", "1", ""}}));
  EXPECT_TRUE(parse_apt_descriptions("").empty());
  EXPECT_TRUE(parse_apt_descriptions("\n\nDescription: orphan\n").empty());
}

}  // namespace
}  // namespace sorvane::gui

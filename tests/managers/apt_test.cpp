// What apt and dpkg say is pending, and what dpkg's database holds.
#include "apt.hpp"

#include <gtest/gtest.h>

#include "captures.hpp"

namespace sorvane::gui {
namespace {

using test::capture;
using Updates = std::vector<PendingUpdate>;
using Names = std::vector<std::string>;

TEST(AptSimulation, ReadsTheLocalRepositories) {
  const std::string out = capture("apt-simulate-local-repos.txt");
  EXPECT_EQ(parse_apt_simulation(out), (Updates{
                                           {"sorvane-probe-epoch", "1.0-1", "1:2.3-4", false},
                                           {"sorvane-probe-new", "", "1.0", false},
                                           {"sorvane-probe-plain", "0.9", "1.0", false},
                                           {"sorvane-probe-sec", "1.0-1", "1.0-1+deb12u1", true},
                                       }));
  EXPECT_EQ(parse_apt_kept_back(out), Names{"sorvane-probe-held"});
  EXPECT_EQ(parse_apt_download_size(capture("apt-print-uris-local-repos.txt")),
            812U + 796U + 808U + 816U);
}

TEST(AptSimulation, ReadsTheDebianHost) {
  const std::string out = capture("apt-simulate-debian12-host.txt");
  const Updates updates = parse_apt_simulation(out);
  ASSERT_EQ(updates.size(), 137U);
  EXPECT_EQ(std::count_if(updates.begin(), updates.end(), [](const auto& u) { return u.security; }),
            88);
  const auto find = [&](std::string_view name) {
    const auto it =
        std::find_if(updates.begin(), updates.end(), [&](const auto& u) { return u.name == name; });
    return it == updates.end() ? PendingUpdate{} : *it;
  };
  EXPECT_EQ(find("base-files"),
            (PendingUpdate{"base-files", "12.4+deb12u11", "12.4+deb12u15", false}));
  // Offered by both the point release and the security archive.
  EXPECT_EQ(find("libgcrypt20-dev"),
            (PendingUpdate{"libgcrypt20-dev", "1.10.1-3", "1.10.1-3+deb12u1", true}));
  EXPECT_EQ(find("liblzma5"), (PendingUpdate{"liblzma5", "5.4.1-1", "5.4.1-1+deb12u2", true}));
  EXPECT_EQ(find("libcap2"),
            (PendingUpdate{"libcap2", "1:2.66-4+deb12u2+b2", "1:2.66-4+deb12u3+b1", false}));
  EXPECT_TRUE(parse_apt_kept_back(out).empty());
  EXPECT_EQ(parse_apt_download_size(capture("apt-print-uris-debian12-host.txt")), 186235904U);
}

TEST(AptSimulation, ReadsInstLinesOnly) {
  const std::pair<std::string, Updates> cases[] = {
      {"", {}},
      {"Inst a [1] (2 Debian:12.15/oldstable [amd64])", {{"a", "1", "2", false}}},
      {"Inst a [1] (2 Debian:12.15/oldstable [amd64]) []", {{"a", "1", "2", false}}},
      {"Inst a [1] (2 Debian:12.15/oldstable [amd64])\r\n", {{"a", "1", "2", false}}},
      {"Inst a (1:2.3-4 Debian:12/stable [all])", {{"a", "", "1:2.3-4", false}}},
      {"Conf a (2 Debian:12/stable [all])\nRemv b [1]\nInst", {}},
      {"Inst a [1] (2 Debian-Security:12/oldstable-security [amd64])", {{"a", "1", "2", true}}},
      {"Inst a [1] (2 Debian:12/stable, Debian-Security:12/stable-security [amd64])",
       {{"a", "1", "2", true}}},
      {"Inst a [1] (2 Ubuntu:22.04/jammy-security [amd64])", {{"a", "1", "2", true}}},
      {"Inst a [1] (2 Debian-Security:12/updates [amd64])", {{"a", "1", "2", true}}},
      {"Inst a [1] (2 Debian-Security:12/stable-security, Debian:12/stable [amd64])",
       {{"a", "1", "2", true}}},
      {"Inst a [1] (2 bookworm-security [amd64])", {{"a", "1", "2", true}}},
      {"Inst a [1] (2 Debian-Security [amd64])",
       {{"a", "1", "2", false}}},  // a label alone is an archive
      {"Inst a [1] (2 Third party:1/security-tools [amd64])", {{"a", "1", "2", false}}},
      {"Inst a [1] (2 Vendor:1/-security [amd64])", {{"a", "1", "2", false}}},
      {"Inst a [1] (2 Not-Debian-Security:1/stable [amd64])", {{"a", "1", "2", false}}},
      {"Inst a [1] (2 localhost [amd64])", {{"a", "1", "2", false}}},
      {"Inst a [1] (2 [amd64])", {{"a", "1", "2", false}}},
      {"Inst a [1 2] (3 x [amd64])", {}},
      {"Inst a [1] 2 x [amd64]", {}},
      {"Inst a [1] (2 x amd64)", {}},
      {"Inst a [] (2 x [amd64])", {}},
      {"Inst a [1] ( x [amd64])", {}},
      {" Inst a [1] (2 x [amd64])", {}},
      {"Inst  [1] (2 x [amd64])", {}},
      {"Inst a [1] (2 x [amd64])\ngarbage\nInst b (3 y [all])",
       {{"a", "1", "2", false}, {"b", "", "3", false}}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_apt_simulation(out), want) << out;
}

TEST(AptKeptBack, ReadsTheIndentedListOnly) {
  const std::pair<std::string, Names> cases[] = {
      {"", {}},
      {"The following packages have been kept back:\n  a b\n  c\nThe following packages will be "
       "upgraded:\n  d\n",
       {"a", "b", "c"}},
      {"The following packages have been kept back:\n\ta  b \n", {"a", "b"}},
      {"The following packages have been kept back:\r\n  a\r\n", {"a"}},
      {"The following packages have been kept back:\n\n  a\n", {}},
      {"The following packages will be upgraded:\n  a\n", {}},
      {"  a\nThe following packages have been kept back:", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_apt_kept_back(out), want) << out;
}

TEST(AptDownloadSize, AddsEveryLineOrNone) {
  const std::pair<std::string, std::optional<std::uint64_t>> cases[] = {
      {"", 0},
      {"\n\n", 0},
      {"'http://h/a.deb' a.deb 10 MD5Sum:x\n'http://h/b.deb' b.deb 5 SHA256:y\n", 15},
      {"'http://h/a b.deb' a.deb 10 MD5Sum:x", 10},  // a quoted uri may hold a space
      {"'file:/a.deb' a.deb 7", 7},                  // no hash
      {"'http://h/a.deb' a.deb 10 MD5Sum:x\nE: something", std::nullopt},
      {"'http://h/a.deb' a.deb ten MD5Sum:x", std::nullopt},
      {"'http://h/a.deb' a.deb -1 MD5Sum:x", std::nullopt},
      {"'http://h/a.deb' a.deb 10 MD5Sum:x extra", std::nullopt},
      {"'http://h/a.deb'", std::nullopt},
      {"http://h/a.deb a.deb 10 MD5Sum:x", std::nullopt},
      {"x' a.deb 10 MD5Sum:x", std::nullopt},
      {"'u' a 18446744073709551615 h\n'u' b 1 h", std::nullopt},  // the sum overflows
      {"'u' a 18446744073709551616 h", std::nullopt},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_apt_download_size(out), want) << out;
}

TEST(DpkgUnfinished, ReadsTheDatabaseThenItsJournal) {
  const std::string status = capture("dpkg-status-failed-postinst.txt");
  std::vector<std::string> journal;
  for (const char* n : {"0000", "0001", "0002", "0003", "0004"})
    journal.push_back(capture(std::string("dpkg-updates-killed-") + n + ".txt"));
  const std::string reinstall = "Package: a\nStatus: install reinstreq installed\n";
  const std::string fixed =
      "Package: sorvane-broken\nArchitecture: all\nStatus: install ok installed\n";
  const std::string other_arch =
      "Package: sorvane-broken\nArchitecture: i386\nStatus: install ok installed\n";
  const std::pair<std::vector<std::string>, Names> cases[] = {
      {{status}, {"sorvane-broken", "sorvane-unpacked"}},
      {{status, journal[0], journal[1], journal[2], journal[3], journal[4]},
       {"sorvane-broken", "sorvane-unpacked", "sorvane-killed"}},
      // The journal's last word counts, whatever an earlier one said.
      {{status, fixed}, {"sorvane-unpacked"}},
      {{status, other_arch}, {"sorvane-broken", "sorvane-unpacked"}},
      {{journal[0]}, {"sorvane-killed"}},
      {{reinstall}, {"a"}},
      {{"Package: a\nStatus: install ok triggers-pending\n\nPackage: b\nStatus: install ok "
        "triggers-awaited\n\nPackage: c\nStatus: deinstall ok config-files\n"},
       {"a", "b"}},
      // A description's own "Status:" line is a continuation, not a field.
      {{"Package: a\nStatus: install ok installed\nDescription: x\n Status: install ok unpacked\n"},
       {}},
      {{"Status: install ok unpacked\n"}, {}},
      {{}, {}},
  };
  for (const auto& [texts, want] : cases) {
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    EXPECT_EQ(parse_dpkg_unfinished(views), want) << (texts.empty() ? "" : texts.back());
  }
}

constexpr std::string_view MD5_A = "cc3493ecd2d09837ffdcc3e25fdfff18";
constexpr std::string_view MD5_B = "11a06baf8245fd8d690b99024d228c1f";

TEST(DpkgConffiles, OnlyTheNamedPackagesLiveEntries) {
  const std::string status =
      "Package: adduser\nStatus: install ok installed\nConffiles:\n /etc/adduser.conf " +
      std::string(MD5_A) + "\n /etc/deluser.conf " + std::string(MD5_B) +
      "\nDescription: add users\n /etc/not-a-conffile " + std::string(MD5_A) +
      "\n\nPackage: libfoo\nArchitecture: i386\nConffiles:\n /etc/foo.conf " + std::string(MD5_A) +
      "\n\nPackage: libfoo\nArchitecture: amd64\nConffiles:\n "
      "/etc/foo64.conf " +
      std::string(MD5_B) + "\n";
  const std::string flagged = "Package: old\nConffiles:\n /etc/gone " + std::string(MD5_A) +
                              " obsolete\n /etc/going " + std::string(MD5_A) +
                              " remove-on-upgrade\n /etc/new newconffile\n /etc/short abc\n "
                              "/etc/UPPER CC3493ECD2D09837FFDCC3E25FDFFF18\n /etc/kept " +
                              std::string(MD5_B) + "\n";
  using Files = std::vector<Conffile>;
  const std::string a(MD5_A);
  const std::string b(MD5_B);
  const std::tuple<std::string, Names, Files> cases[] = {
      {status, {"adduser"}, {{"/etc/adduser.conf", a}, {"/etc/deluser.conf", b}}},
      {status, {"zip"}, {}},
      {status, {}, {}},
      // A name with an architecture takes that one; without, every one.
      {status, {"libfoo:i386"}, {{"/etc/foo.conf", a}}},
      {status, {"libfoo"}, {{"/etc/foo.conf", a}, {"/etc/foo64.conf", b}}},
      // Obsolete, to be removed, or not yet installed: not the user's.
      {flagged, {"old"}, {{"/etc/kept", b}}},
      {"Conffiles:\n /etc/x " + a + "\n", {"x"}, {}},
  };
  for (const auto& [text, names, want] : cases) {
    EXPECT_EQ(parse_dpkg_conffiles(text, names), want) << text;
  }
}

TEST(Md5sum, ReadsNulEndedRecordsAsTheyAre) {
  using namespace std::string_literals;
  const std::string a(MD5_A);
  const std::pair<std::string, std::vector<Conffile>> cases[] = {
      {a + "  /etc/a\0", {{"/etc/a", a}}},
      {a + "  /etc/with space\nand line\0"s + a + " */etc/b",
       {{"/etc/with space\nand line", a}, {"/etc/b", a}}},
      {"\\" + a + "  /etc/escaped\0", {}},
      {a + " /etc/one-space\0", {}},
      {"short  /etc/a\0", {}},
      {"", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_md5sum_z(out), want) << out;
}

TEST(AptInstalledSizes, ReadsEachStanza) {
  const std::pair<std::string, std::vector<InstalledSize>> cases[] = {
      {"Package: bash\nVersion: 5.2.15-2+b8\nInstalled-Size: 7164\nArchitecture: amd64\n"
       "Description: x\n Installed-Size: 1\n\nPackage: zip\nArchitecture: all\nVersion: 3.0-14\n"
       "Installed-Size: 100\n",
       {{"bash", "amd64", "5.2.15-2+b8", 7164}, {"zip", "all", "3.0-14", 100}}},
      {"Package: bash\nVersion: 1\n\n", {}},
      {"Package: bash\nVersion: 1\nInstalled-Size: many\n", {}},
      {"Version: 1\nInstalled-Size: 5\n", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_apt_installed_sizes(out), want) << out;
}

// Whether only apt can finish it: a package whose files are of neither
// version, as dpkg's database and journal last tell of it.
TEST(DpkgUnfinished, ReinstallationOnlyWhenAPackageIsHalfInstalled) {
  const std::string status = capture("dpkg-status-failed-postinst.txt");
  const std::string killed = capture("dpkg-updates-killed-0000.txt");
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{status}, false},  // half-configured and unpacked: dpkg configures them
      {{killed}, true},
      {{"Package: a\nStatus: install reinstreq installed\n"}, true},
      {{"Package: a\nStatus: install ok half-installed\n"}, true},
      // The journal's last word counts here too.
      {{"Package: a\nStatus: install ok half-installed\n",
        "Package: a\nStatus: install ok unpacked\n"},
       false},
      {{"Package: a\nStatus: install ok installed\n"}, false},
  };
  for (const auto& [texts, reinstall] : cases) {
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    EXPECT_EQ(parse_dpkg_left(views).reinstall, reinstall) << texts.back();
  }
}

}  // namespace
}  // namespace sorvane::gui

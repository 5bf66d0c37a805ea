// What each package manager says is pending, read from output captured
// from the real managers (tests/data/pending/README says how each was
// made) and from small rows for what the captures do not show.
#include "pending_parsers.hpp"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using Updates = std::vector<PendingUpdate>;
using Names = std::vector<std::string>;

std::string capture(const std::string& name) {
  return test::read_file(test::source_dir() + "/tests/data/pending/" + name);
}

// Every parser must survive what is not its manager's output.
const std::string HOSTILE[] = {
    std::string{},
    std::string("\0\0\0", 3),
    std::string(100000, '\n'),
    std::string(100000, ' '),
    std::string(50000, '['),
    "Inst",
    "Inst ",
    "Inst a [",
    "Inst a [1] (",
    "Inst a (1",
    "Inst a (])",
    "Inst  [1] (2 x [all])",
    "'",
    "''",
    "' x 1",
    "name.",
    ".arch 1-1 repo",
    "-.noarch",
    "a b -> ",
    "\t\t\t",
    "app/\t\t\t",
    "app/a/b/c\t\t\t99999999999999999999999 EB",
    "1: ->",
    "1: POSIX ADVISORY WRITE 1 ::",
    "1: POSIX ADVISORY WRITE 1 fe:00:",
    "1: POSIX ADVISORY WRITE 99999999999 fe:00:5",
    "Name Version\nx",
    "lo 00000000 0 zz 0 0 0 00000000",
};

TEST(PendingParsers, NeverFailOnHostileInput) {
  for (const std::string& text : HOSTILE) {
    SCOPED_TRACE(text.substr(0, 40));
    (void)parse_apt_simulation(text);
    (void)parse_apt_kept_back(text);
    (void)parse_apt_download_size(text);
    (void)parse_dnf_check_update(text);
    (void)parse_dnf_security(text);
    (void)parse_dnf_repolist(text);
    (void)parse_pacman_updates(text);
    (void)parse_pacman_repo_list(text);
    (void)parse_flatpak_updates(text);
    (void)parse_snap_refresh_list(text);
    (void)lock_holder(text, makedev(0xfe, 0), 5);
    (void)has_default_route(text, text);
    (void)parse_dpkg_unfinished({text, text});
    (void)lock_line_holder(text, {{makedev(0xfe, 0), makedev(0, 0x27)}, 5});
    (void)parse_mountinfo_line(text);
    (void)parse_dpkg_conffiles(text, {"a", "b:i386"});
    (void)parse_md5sum_z(text);
    (void)parse_apt_installed_sizes(text);
  }
}

// --- apt ---

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

// --- dnf ---

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

// --- pacman ---

TEST(PacmanUpdates, ReadsTheLocalRepository) {
  EXPECT_EQ(
      parse_pacman_updates(capture("pacman-Qu-local-repo.txt")),
      (Updates{
          {"sorvane-probe-epoch", "1.0-1", "1:2.3-4", false},
          {"sorvane-probe-long-name-for-a-library-with-many-pieces", "2.4.1-3", "2.4.1-4", false},
          {"sorvane-probe-plain", "0.9-1", "1.0-1", false},
      }));
  EXPECT_EQ(parse_pacman_repo_list(capture("pacman-conf-repo-list-one.txt")), Names{"probe"});
  EXPECT_EQ(parse_pacman_repo_list(capture("pacman-conf-repo-list-three.txt")),
            (Names{"probe", "core-testing", "extra"}));
  EXPECT_TRUE(parse_pacman_repo_list(capture("pacman-conf-repo-list-none.txt")).empty());
}

TEST(PacmanUpdates, ReadsArrowLinesOnly) {
  // checkupdates prints the same "name old -> new" lines as pacman -Qu.
  const std::pair<std::string, Updates> cases[] = {
      {"", {}},
      {"linux 6.6.1.arch1-1 -> 6.6.2.arch1-1\n",
       {{"linux", "6.6.1.arch1-1", "6.6.2.arch1-1", false}}},
      {"a  1-1\t->  2-1\r\n", {{"a", "1-1", "2-1", false}}},
      {"a 1-1 -> 1:2-1", {{"a", "1-1", "1:2-1", false}}},
      {"a 1-1 -> 2-1 [ignored]", {}},
      {"a 1-1 -> 2-1 [ignored]\nb 1 -> 2", {{"b", "1", "2", false}}},
      {"a 1-1 => 2-1", {}},
      {"a 1-1 ->", {}},
      {"a -> 2-1", {}},
      {":: Synchronizing package databases...", {}},
      {"error: failed to synchronize all databases", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_pacman_updates(out), want) << out;
}

TEST(PacmanRepoList, ReadsOneNamePerLine) {
  const std::pair<std::string, Names> cases[] = {
      {"", {}},
      {"core\nextra\n", {"core", "extra"}},
      {"  core \r\n\n", {"core"}},
      {"error: config file x could not be read", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_pacman_repo_list(out), want) << out;
}

// --- dpkg ---

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

// --- flatpak ---

TEST(FlatpakUpdates, ReadsTheLocalRepository) {
  const Updates want = {
      {"org.sorvane.ProbeApp//stable", "", "2.3.4", false},
      {"org.sorvane.Probe.Platform//stable", "", "8a33efd42fd0", false},  // no version: the commit
  };
  for (const char* name : {"flatpak-remote-ls-updates-local-repo.txt",
                           "flatpak-remote-ls-updates-local-repo-c-utf8.txt"}) {
    SCOPED_TRACE(name);
    const FlatpakPending pending = parse_flatpak_updates(capture(name));
    EXPECT_EQ(pending.updates, want);
    EXPECT_EQ(pending.download_bytes, 4000U + 142U);
  }
}

TEST(FlatpakUpdates, ReadsRefVersionCommitSize) {
  struct Case {
    std::string out;
    Updates updates;
    std::optional<std::uint64_t> bytes;
  };
  const Case cases[] = {
      {"", {}, 0},
      {"app/a.B/x86_64/stable\t1.0\tc0ffee\t1.2 MB\n",
       {{"a.B//stable", "", "1.0", false}},
       1200000},
      {"runtime/a.Platform/aarch64/23.08\t\tc0ffee\t3.4?kB\n",
       {{"a.Platform//23.08", "", "c0ffee", false}},
       3400},
      {"app/a/x86_64/stable\t1\tc\t1 byte\napp/b/x86_64/beta\t2\tc\t2 bytes",
       {{"a//stable", "", "1", false}, {"b//beta", "", "2", false}},
       3},
      {"app/a/x86_64/stable\t1\tc\t", {{"a//stable", "", "1", false}}, std::nullopt},
      {"app/a/x86_64/stable\t1\tc\tlarge\napp/b/x86_64/stable\t1\tc\t1 kB",
       {{"a//stable", "", "1", false}, {"b//stable", "", "1", false}},
       std::nullopt},
      {"app/a/x86_64/stable\t\t\t1 kB", {}, 0},           // nothing to update to
      {"app/a/x86_64\t1\tc\t1 kB", {}, 0},                // no branch
      {"app/a/x86_64/stable/x\t1\tc\t1 kB", {}, 0},       // one part too many
      {"app//x86_64/stable\t1\tc\t1 kB", {}, 0},          // no id
      {"extension/a/x86_64/stable\t1\tc\t1 kB", {}, 0},   // not a kind flatpak has
      {"app/a/x86_64/stable\t1\tc", {}, 0},               // a column short
      {"app/a/x86_64/stable\t1\tc\t1 kB\textra", {}, 0},  // a column too many
      {"app/a/x86_64/stable 1 c 1 kB", {}, 0},            // spaces are no columns
      {"Ref\tVersion\tCommit\tDownload size", {}, 0},     // a title row
      {"app/a/x86_64/stable\t1\tc\t1 kB\r\n", {{"a//stable", "", "1", false}}, 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.out);
    const FlatpakPending pending = parse_flatpak_updates(c.out);
    EXPECT_EQ(pending.updates, c.updates);
    EXPECT_EQ(pending.download_bytes, c.bytes);
  }
}

TEST(FlatpakSize, ReadsWhatGFormatSizePrints) {
  const std::pair<std::string, std::optional<std::uint64_t>> cases[] = {
      {"0 bytes", 0},
      {"1 byte", 1},
      {"512 bytes", 512},
      {"999 bytes", 999},
      {"1.0 kB", 1000},
      {"3.4 kB", 3400},
      {"3.4\xC2\xA0kB", 3400},
      {"3.4?kB", 3400},
      {"1.2 MB", 1200000},
      {"10.5 GB", 10500000000},
      {"2.0 TB", 2000000000000},
      {"1.0 PB", 1000000000000000},
      {"18.4 EB", 18400000000000000000U},
      {"18.5 EB", std::nullopt},  // beyond 64 bits
      {"  7 bytes ", 7},
      {"1.5 bytes", std::nullopt},
      {"1 kb", std::nullopt},
      {"1 KiB", std::nullopt},
      {"1kB", std::nullopt},
      {"1  kB", std::nullopt},
      {"kB", std::nullopt},
      {".5 kB", std::nullopt},
      {"1. kB", std::nullopt},
      {"-1 bytes", std::nullopt},
      {"1,2 MB", std::nullopt},
      {"", std::nullopt},
      {"99999999999999999999 bytes", std::nullopt},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(parse_flatpak_size(text), want) << text;
}

// --- snap ---

TEST(SnapRefreshList, ReadsTheTable) {
  // Without snapd the message goes to stderr and stdout stays empty.
  EXPECT_TRUE(parse_snap_refresh_list("").empty());
  EXPECT_TRUE(parse_snap_refresh_list(capture("snap-refresh-list-no-snapd.stderr")).empty());
  const std::pair<std::string, Updates> cases[] = {
      {"All snaps up to date.\n", {}},
      {"Name    Version   Rev    Size   Publisher     Notes\n"
       "core22  20240111  1122   77MB   canonical\xE2\x9C\x93    base\n"
       "firefox 124.0-2   4090   268MB  mozilla**     -\n",
       {{"core22", "", "20240111", false}, {"firefox", "", "124.0-2", false}}},
      {"Name Version Rev Size Publisher Notes\r\nlxd 5.21.1-2d13beb 28460 91MB "
       "canonical\xE2\x9C\x93 -\r\n",
       {{"lxd", "", "5.21.1-2d13beb", false}}},
      {"core22 20240111 1122 77MB canonical base\n", {}},  // no title row: not the table
      {"error: x\ncore22 20240111 1122 77MB canonical base\n", {}},
      {"Name Version Rev Size Publisher Notes\nshort 1 2 3\n", {}},
      {"Name Version Rev Size Publisher Notes\nlong 1 2 3 4 5 6\n", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_snap_refresh_list(out), want) << out;
}

// --- /proc ---

TEST(LockHolder, FindsWhoHoldsTheAptLocks) {
  // Captured while apt-get ran a dpkg hook: it held the frontend and
  // archives locks, not yet dpkg's own.
  const std::string locks = capture("proc-locks-apt-install.txt");
  const dev_t disk = makedev(254, 0);
  EXPECT_EQ(lock_holder(locks, disk, 11001903), 4818);          // /var/lib/dpkg/lock-frontend
  EXPECT_EQ(lock_holder(locks, disk, 11001888), 4818);          // /var/cache/apt/archives/lock
  EXPECT_EQ(lock_holder(locks, disk, 11001902), std::nullopt);  // /var/lib/dpkg/lock
  EXPECT_EQ(lock_holder(locks, makedev(254, 1), 11001903), std::nullopt);
  EXPECT_EQ(lock_holder(locks, makedev(253, 0), 11001903), std::nullopt);
}

TEST(LockHolder, TellsPosixFlockOpenFileAndWaitingLocksApart) {
  const std::string locks = capture("proc-locks-posix-flock-ofd-waiter.txt");
  const dev_t disk = makedev(254, 0);
  EXPECT_EQ(lock_holder(locks, disk, 11020527), 6048);  // POSIX, with pid 6122 waiting
  EXPECT_EQ(lock_holder(locks, disk, 11020528), 6048);  // flock
  EXPECT_EQ(lock_holder(locks, disk, 11020529), 0);     // open file description: no pid
  EXPECT_EQ(lock_holder(locks, disk, 1102052), std::nullopt);
}

TEST(LockHolder, ReadsEachLineOnItsOwn) {
  const dev_t dev = makedev(0x103, 0x2a);
  const std::pair<std::string, std::optional<pid_t>> cases[] = {
      {"", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a:77 0 EOF", 12},
      {"1: FLOCK  ADVISORY  WRITE 12 103:2A:77 0 EOF", 12},
      {"1: LEASE  ACTIVE    READ  12 103:2a:77 0 EOF\r\n", 12},
      {"1: OFDLCK ADVISORY  WRITE -1 103:2a:77 0 EOF", 0},
      {"1: OFDLCK ADVISORY  WRITE -1 103:2a:77 0 EOF\n2: POSIX ADVISORY WRITE 9 103:2a:77 0 EOF",
       9},
      {"1: -> POSIX  ADVISORY  WRITE 12 103:2a:77 0 EOF", std::nullopt},
      {"1: -> POSIX  ADVISORY  WRITE 13 103:2a:77 0 EOF\n1: POSIX  ADVISORY  WRITE 12 103:2a:77 0 "
       "EOF",
       12},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a:78 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2b:77 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 3:2a:77 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a:77x 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 12 103:2a 0 EOF", std::nullopt},
      {"1 POSIX  ADVISORY  WRITE 12 103:2a:77 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE twelve 103:2a:77 0 EOF", 0},
  };
  for (const auto& [locks, want] : cases) EXPECT_EQ(lock_holder(locks, dev, 77), want) << locks;
}

// On overlayfs with layers on two file systems, stat gives a layer's
// device (here 0:2b) and /proc/locks the overlay's own (0:29, as
// /proc/self/mountinfo names it): either counts.
TEST(LockHolder, AnyOfTheFilesDevicesCounts) {
  const LockedFile overlay{{makedev(0, 0x2b), makedev(0, 0x29)}, 5};
  const std::pair<std::string, std::optional<pid_t>> cases[] = {
      {"1: POSIX  ADVISORY  WRITE 11389 00:29:5 0 EOF", 11389},
      {"1: FLOCK  ADVISORY  WRITE 10798 00:2b:5 0 EOF", 10798},
      {"1: POSIX  ADVISORY  WRITE 11389 00:2d:5 0 EOF", std::nullopt},
      {"1: POSIX  ADVISORY  WRITE 11389 00:29:6 0 EOF", std::nullopt},
      {"1: OFDLCK ADVISORY  WRITE -1 00:29:5 0 EOF\r", 0},
      {"1: -> POSIX  ADVISORY  WRITE 11389 00:29:5 0 EOF", std::nullopt},
  };
  for (const auto& [line, want] : cases) EXPECT_EQ(lock_line_holder(line, overlay), want) << line;
  EXPECT_EQ(lock_line_holder("1: POSIX  ADVISORY  WRITE 1 00:29:5 0 EOF", {{}, 5}), std::nullopt);
}

TEST(MountInfo, ReadsIdDeviceAndMountPoint) {
  const std::pair<std::string, std::optional<MountLine>> cases[] = {
      {"69 45 0:41 / /tmp/ovx/m rw,relatime - overlay overlay rw,lowerdir=l,upperdir=u/up",
       MountLine{69, makedev(0, 41), "/tmp/ovx/m"}},
      {"36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue",
       MountLine{36, makedev(98, 0), "/mnt2"}},
      {"30 1 259:3 / /media/my\\040disk\\011x\\134 rw - ext4 /dev/x rw",
       MountLine{30, makedev(259, 3), "/media/my disk\tx\\"}},
      {"30 1 259:3 / /a\\04 rw - ext4 /dev/x rw", MountLine{30, makedev(259, 3), "/a\\04"}},
      {"30 1 259 / /a rw - ext4 /dev/x rw", std::nullopt},
      {"x 1 259:3 / /a rw - ext4 /dev/x rw", std::nullopt},
      {"30 1 259:3 /", std::nullopt},
  };
  for (const auto& [line, want] : cases) EXPECT_EQ(parse_mountinfo_line(line), want) << line;
}

TEST(DefaultRoute, ReadsTheCapturedRoutingTables) {
  struct Case {
    const char* ipv4;
    const char* ipv6;
    bool want;
  };
  const Case cases[] = {
      {"route-ipv4-host.txt", "route-ipv6-host.txt", true},
      {"route-ipv4-netns-lo-only.txt", "route-ipv6-netns-lo-only.txt", false},
      {"route-ipv4-netns-veth-no-default.txt", "route-ipv6-netns-veth-no-default.txt", false},
      {"route-ipv4-netns-veth-default.txt", "route-ipv6-netns-veth-no-default.txt", true},
      {"route-ipv4-netns-veth-no-default.txt", "route-ipv6-netns-veth-default.txt", true},
      {"route-ipv4-netns-unreachable-default.txt", "route-ipv6-netns-unreachable-default.txt",
       false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(has_default_route(capture(c.ipv4), capture(c.ipv6)), c.want)
        << c.ipv4 << " " << c.ipv6;
}

TEST(DefaultRoute, NeedsAnUpDefaultOffLoopback) {
  const std::string header =
      "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
  const std::string six_default =
      "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
      "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n";
  const std::pair<std::string, bool> ipv4_cases[] = {
      {"", false},
      {header, false},
      {header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n", true},
      {header + "eth0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n", true},  // on-link
      {header + "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n", false},
      {header + "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n", false},  // down
      {header + "*\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n", false},  // unreachable
      {header + "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n", false},
      {header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000080\t0\t0\t0\n", false},  // 0/1 half
      {header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\n", false},
      {header + "eth0\t0\t010200C0\t0003\t0\t0\t0\t0\t0\t0\t0\n", false},
  };
  for (const auto& [ipv4, want] : ipv4_cases) EXPECT_EQ(has_default_route(ipv4, ""), want) << ipv4;
  const std::pair<std::string, bool> ipv6_cases[] = {
      {"", false},
      {six_default, true},
      {"00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200       lo\n",
       false},
      {"00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "00000000000000000000000000000000 00000064 00000001 00000000 00200201     eth0\n",
       false},  // a reject route, up
      {"00000000000000000000000000000000 03 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n",
       false},  // ::/3
      {"20000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n",
       false},
      {"00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003\n",
       false},  // no device
      {"00000000 00 00000000000000000000000000000000 00 "
       "fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n",
       false},
  };
  for (const auto& [ipv6, want] : ipv6_cases) EXPECT_EQ(has_default_route("", ipv6), want) << ipv6;
}

}  // namespace
}  // namespace sorvane::gui

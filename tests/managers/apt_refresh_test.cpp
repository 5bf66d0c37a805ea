// apt's lists refreshed as the user: where, and which directories are
// refused (tests/check_fresh_lists.sh runs the real apt against them).
#include "apt_refresh.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <ctime>
#include <filesystem>
#include <functional>

#include "pending_check.hpp"
#include "test_support.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

TEST(AptRefresh, TheCacheIsTheUsersOwn) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"", std::nullopt},
      {"relative/.cache", std::nullopt},
      {"/home/u/.cache", "/home/u/.cache/sorvane/apt"},
  };
  for (const auto& [home, dir] : cases) EXPECT_EQ(apt_cache_dir(home), dir) << home;
}

// A cache laid out before the check makes it: each is refused, and
// nothing is made where a link leads.
struct Layout {
  std::string name;
  std::function<void(const TempDir& base, const std::string& elsewhere)> make;
  std::string refused;  // part of the reason; empty: accepted
  bool needs_root = false;
};

TEST(AptRefresh, RefusesACacheThatIsNotTheUsers) {
  const uid_t me = ::geteuid();
  const std::vector<Layout> cases = {
      {"nothing yet", [](const TempDir&, const std::string&) {}, ""},
      {"made before",
       [](const TempDir& base, const std::string&) {
         test::make_dir(base / "sorvane", 0700);
         test::make_dir(base / "sorvane/apt", 0700);
       },
       ""},
      {"the cache a link",
       [](const TempDir& base, const std::string& elsewhere) {
         test::make_dir(base / "sorvane", 0700);
         std::filesystem::create_directory_symlink(elsewhere, base / "sorvane/apt");
       },
       "link"},
      {"its parent a link",
       [](const TempDir& base, const std::string& elsewhere) {
         std::filesystem::create_directory_symlink(elsewhere, base / "sorvane");
       },
       "link"},
      {"its lists a link",
       [](const TempDir& base, const std::string& elsewhere) {
         test::make_dir(base / "sorvane", 0700);
         test::make_dir(base / "sorvane/apt", 0700);
         std::filesystem::create_directory_symlink(elsewhere, base / "sorvane/apt/lists");
       },
       "link"},
      {"open to others",
       [](const TempDir& base, const std::string&) {
         test::make_dir(base / "sorvane", 0700);
         test::make_dir(base / "sorvane/apt", 0755);
       },
       "open to other users"},
      {"another user's",
       [](const TempDir& base, const std::string&) {
         test::make_dir(base / "sorvane", 0700);
         test::make_dir(base / "sorvane/apt", 0700);
         ASSERT_EQ(::chown((base / "sorvane/apt").c_str(), 65534, 65534), 0);
       },
       "another user", true},
      {"its parent another user's",
       [](const TempDir& base, const std::string&) {
         test::make_dir(base / "sorvane", 0700);
         ASSERT_EQ(::chown((base / "sorvane").c_str(), 65534, 65534), 0);
       },
       "another user", true},
  };
  for (const Layout& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needs_root && me != 0) continue;
    const TempDir base;
    const TempDir elsewhere;
    c.make(base, elsewhere.path());
    const std::string dir = base / "sorvane/apt";
    const auto refused = make_own_cache(dir, me);
    if (c.refused.empty()) {
      ASSERT_FALSE(refused) << *refused;
      EXPECT_EQ(test::lstat_of(dir).st_mode & 0777, 0700U);
      for (const char* sub : {"lists/partial", "cache/archives/partial"}) {
        EXPECT_TRUE(S_ISDIR(test::lstat_of(dir + "/" + sub).st_mode)) << sub;
      }
    } else {
      ASSERT_TRUE(refused);
      EXPECT_NE(refused->find(c.refused), std::string::npos) << *refused;
      EXPECT_TRUE(test::list_dir(elsewhere.path()).empty());
    }
  }
}

TEST(AptRefresh, PointsEveryQuestionAtThePrivateLists) {
  const auto options = private_list_options("/c/sorvane/apt");
  const std::vector<std::string> expected = {
      "-c", "/c/sorvane/apt/apt.conf",          "-o", "Dir::State::Lists=/c/sorvane/apt/lists/",
      "-o", "Dir::Cache=/c/sorvane/apt/cache/", "-o", "Debug::NoLocking=true"};
  EXPECT_EQ(options, expected);
}

TEST(AptRefresh, AFailedFetchIsNotFresh) {
  const std::pair<std::string_view, std::optional<std::string>> cases[] = {
      {"", std::nullopt},
      {"Hit:1 http://127.0.0.1:8642 ./ Release\nReading package lists...\n", std::nullopt},
      {"Get:1 http://h ./ Release [1 kB]\nFetched 1 kB in 0s (10 kB/s)\n", std::nullopt},
      {"Hit:1 http://a ./ Release\nErr:2 http://b stable InRelease\n  Could not connect\n",
       "Err:2 http://b stable InRelease"},
      {"Ign:1 http://a ./ InRelease\n", std::nullopt},
  };
  for (const auto& [out, error] : cases) EXPECT_EQ(failed_fetch(out), error) << out;
}

TEST(AptRefresh, SeedsAnEmptyCacheFromTheSystemsLists) {
  const TempDir system;
  const TempDir own;
  test::write_file(system / "deb.debian.org_debian_dists_bookworm_InRelease", "release");
  test::write_file(system / "lock", "");
  test::make_dir(system / "partial");
  std::filesystem::create_symlink("/etc/shadow", system / "a_link");
  const timespec old_times[2] = {{1000000, 0}, {1000000, 0}};
  ASSERT_EQ(
      ::utimensat(AT_FDCWD, (system / "deb.debian.org_debian_dists_bookworm_InRelease").c_str(),
                  old_times, 0),
      0);
  seed_private_lists(system.path(), own.path());
  EXPECT_EQ(test::list_dir(own.path()),
            std::vector<std::string>{"deb.debian.org_debian_dists_bookworm_InRelease"});
  // apt asks "changed since?" by the file's time: it is kept.
  EXPECT_EQ(test::stat_of(own / "deb.debian.org_debian_dists_bookworm_InRelease").st_mtim.tv_sec,
            1000000);
  // Refreshed before: what it has is newer than the system's.
  test::write_file(system / "other_Packages", "new");
  seed_private_lists(system.path(), own.path());
  EXPECT_FALSE(test::exists(own / "other_Packages"));
}

TEST(AptRefresh, NotOnAConnectionThatForbidsIt) {
  CheckSetup setup;
  setup.network_allowed = false;
  const TempDir home;
  setup.cache_home = home.path();
  const AptRefresh refresh = refresh_private_lists(setup);
  EXPECT_TRUE(refresh.dir.empty());
  EXPECT_FALSE(refresh.why_not.empty());
  EXPECT_TRUE(test::list_dir(home.path()).empty());
}

// The real apt-get, from a repository on disk (a file: source, no
// network): the refresh builds apt's binary caches beside the private
// lists even where the system's configuration keeps none (as container
// images do), so the questions after it parse no list again; and while
// the refresh is kept, another refresh cannot take the cache.
TEST(AptRefresh, BuildsAptsCachesUnderItsLockAndKeepsItWhileRead) {
  const auto apt_get = trusted_tool(system_places(), "apt-get");
  if (!apt_get) GTEST_SKIP() << "no apt-get here";
  const TempDir dir;
  test::make_dir(dir / "repo");
  test::make_dir(dir / "parts");
  test::make_dir(dir / "home", 0700);
  test::make_dir(dir / "proc");  // no routes to read: online
  // A Release that names the list, uncompressed: apt asks for no other.
  const std::string packages =
      "Package: sv-cached\nVersion: 1.0\nArchitecture: all\nFilename: ./a.deb\nSize: 1\n"
      "Description: a package of the test\n\n";
  test::write_file(dir / "repo/Packages", packages);
  test::write_file(
      dir / "repo/Release",
      "Suite: stable\nCodename: stable\nArchitectures: all\nDate: Thu, 01 Jan 2015 "
      "00:00:00 UTC\nSHA256:\n 4e275c43abc6f0814b34e09a0e18a2a16e79eedcd9781425f9f4234813b47a73 "
      "112 Packages\n");
  test::write_file(dir / "sources.list", "deb [trusted=yes] file:" + dir / "repo" + " ./\n");
  test::write_file(dir / "apt.conf", "Dir::Etc::SourceList \"" + dir / "sources.list" +
                                         "\";\nDir::Etc::SourceParts \"" + dir / "parts" +
                                         "\";\nDir::Cache::pkgcache \"\";\n"
                                         "Dir::Cache::srcpkgcache \"\";\n"
                                         "APT::Sandbox::User \"root\";\n");
  CheckSetup setup;
  setup.places.proc = dir / "proc";
  setup.environment = {"PATH=/usr/bin:/bin", "APT_CONFIG=" + dir / "apt.conf"};
  setup.cache_home = dir / "home";
  std::optional<AptRefresh> refresh = refresh_private_lists(setup);
  ASSERT_FALSE(refresh->dir.empty()) << refresh->why_not;
  EXPECT_TRUE(test::exists(refresh->dir + "/cache/pkgcache.bin"));
  EXPECT_TRUE(test::exists(refresh->dir + "/cache/srcpkgcache.bin"));
  const std::string lock = refresh->dir + "/lock";
  const auto can_take = [&lock] {
    const UniqueFd other(::open(lock.c_str(), O_RDWR | O_CLOEXEC));
    return other.valid() && ::flock(other.get(), LOCK_EX | LOCK_NB) == 0;
  };
  EXPECT_FALSE(can_take());
  refresh.reset();
  EXPECT_TRUE(can_take());
}

// apt-get as the check finds it: "update" as given, and a simulation that
// finds an update only in the private lists.
struct RefreshCase {
  std::string name;
  std::string update;  // the body of its "update"
  bool with_home = true;
  bool fetched;
  size_t updates;
  std::string not_fetched;  // part of the reason
  // The private lists as a refresh that worked left them, this many
  // seconds ago; none when negative.
  int refreshed_before = -1;
  bool network = true;
  int system_lists_age = -1;  // seconds; no system lists when negative
};

TEST(AptRefresh, TheCheckAsksTheListsItFetched) {
  REQUIRE_ROOT();  // the tool must pass the trust test: under /run, root's
  const std::vector<RefreshCase> cases = {
      {"fetched", "echo 'Hit:1 http://h ./ Release'", true, true, 1, ""},
      {"a source failed", "echo 'Err:1 http://h ./ Release'; echo 'W: Failed' >&2", true, false, 0,
       "Err:1 http://h"},
      {"apt failed", "echo 'E: Malformed line' >&2; exit 100", true, false, 0, "status 100"},
      {"no cache home", "exit 0", false, false, 0, "no cache directory"},
      // What the lists fetched before knew stays known while a mirror fails.
      {"a source failed after a refresh that worked", "echo 'Err:1 http://h ./ InRelease'", true,
       false, 1, "Err:1 http://h", 3600},
      {"apt failed after a refresh that worked", "exit 100", true, false, 1, "status 100", 3600},
      {"metered after a refresh that worked", "exit 100", true, false, 1, "not on this connection",
       3600, false},
      {"metered, never refreshed", "exit 100", true, false, 0, "not on this connection", -1, false},
      {"the system's lists are newer than the last refresh", "exit 100", true, false, 0,
       "status 100", 7200, true, 60},
  };
  for (const RefreshCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir dir("/run");
    test::make_dir(dir / "bin");
    test::make_dir(dir / "root");
    test::make_dir(dir / "proc");  // no routes to read: online
    test::make_dir(dir / "home", 0700);
    test::write_file(dir / "bin/apt-get", R"(#!/bin/sh
case "$*" in
  *" update") )" + c.update + R"( ;;
  "-s "*Dir::State::Lists=*) echo 'Inst zip [3.0-13] (3.0-14 Debian:12.5/stable [amd64])' ;;
esac
)",
                     0755);
    const auto age_by = [](const std::string& path, int seconds) {
      const std::array<timespec, 2> times = {timespec{::time(nullptr) - seconds, 0},
                                             timespec{::time(nullptr) - seconds, 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times.data(), 0), 0) << path;
    };
    if (c.refreshed_before >= 0) {
      const std::string own = dir / "home/sorvane/apt";
      ASSERT_FALSE(make_own_cache(own, ::geteuid()));
      test::write_file(own + "/refreshed", "");
      age_by(own + "/refreshed", c.refreshed_before);
    }
    if (c.system_lists_age >= 0) {
      for (const char* made : {"root/var", "root/var/lib", "root/var/lib/apt",
                               "root/var/lib/apt/lists", "root/var/lib/apt/lists/partial"}) {
        test::make_dir(dir / made);
      }
      age_by(dir / "root/var/lib/apt/lists", c.system_lists_age);
      age_by(dir / "root/var/lib/apt/lists/partial", c.system_lists_age);
    }
    CheckSetup setup;
    setup.places = {{dir / "bin"}, dir / "root", dir / "proc", {0}};
    setup.cache_home = c.with_home ? dir / "home" : "";
    setup.network_allowed = c.network;
    const ManagerCheck check = check_manager(Step::Apt, setup);
    ASSERT_FALSE(check.problem) << check.problem->detail;
    EXPECT_EQ(check.fetched_for_check, c.fetched);
    EXPECT_EQ(check.updates.size(), c.updates);
    if (c.fetched) {
      ASSERT_TRUE(check.data_age_seconds);
      EXPECT_LT(*check.data_age_seconds, 60);
      EXPECT_TRUE(check.not_fetched.empty());
    } else {
      EXPECT_NE(check.not_fetched.find(c.not_fetched), std::string::npos) << check.not_fetched;
    }
    if (c.updates > 0 && c.refreshed_before >= 0) {
      // The lists' age is the last refresh that worked, not this one.
      ASSERT_TRUE(check.data_age_seconds);
      EXPECT_NEAR(*check.data_age_seconds, c.refreshed_before, 60);
    }
  }
}

}  // namespace
}  // namespace sorvane::gui

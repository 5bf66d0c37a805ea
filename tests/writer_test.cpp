#include "writer.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "payload.hpp"
#include "test_support.hpp"

namespace sorvane {
namespace {

using test::TempDir;

std::string error_text(const Result<Ok, WriteError>& result) {
  return result.ok() ? "success" : to_text(result.error());
}

TEST(Payload, IsTheFixedScript) {
  EXPECT_EQ(UPDATE_SCRIPT.size(), 1395U);
  EXPECT_EQ(std::count(UPDATE_SCRIPT.begin(), UPDATE_SCRIPT.end(), '\n'), 60);
  EXPECT_TRUE(UPDATE_SCRIPT.starts_with("#!/bin/bash\n\nset -e\n"));
  EXPECT_TRUE(UPDATE_SCRIPT.ends_with("\necho \"Update complete.\"\n"));
  // What keeps the password for sudo alone: the root shell reads no rc file
  // (its input is a socket), and neither its managers nor flatpak inherit
  // whatever sudo left unread.
  const std::string_view guards[] = {
      "privileged_commands=\"set -e\nexec </dev/null\n\"\n",
      "\"$sudo_path\" -k -S -p \"\" -- \"$bash_path\" --norc -c \"$privileged_commands\"\nfi\n"
      "\nexec </dev/null\n\nif flatpak_path=",
  };
  for (const std::string_view guard : guards) {
    EXPECT_NE(UPDATE_SCRIPT.find(guard), std::string_view::npos) << guard;
  }
  EXPECT_TRUE(std::all_of(UPDATE_SCRIPT.begin(), UPDATE_SCRIPT.end(),
                          [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7F); }));
}

TEST(WriteScript, ModeIsExactly0600WhateverTheUmask) {
  for (const mode_t mask : {022, 077, 0277}) {
    const TempDir dir;
    const mode_t old = ::umask(mask);
    const auto result = write_script(dir / "out.sh", UPDATE_SCRIPT);
    ::umask(old);
    ASSERT_TRUE(result.ok()) << error_text(result);
    const struct stat st = test::stat_of(dir / "out.sh");
    EXPECT_EQ(st.st_mode & 07777, 0600U) << std::oct << mask;
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(test::read_file(dir / "out.sh"), UPDATE_SCRIPT);
    EXPECT_EQ(test::list_dir(dir.path()), std::vector<std::string>{"out.sh"});
  }
}

TEST(WriteScript, CreatesMissingDirectoriesHoweverTheyAreSpelt) {
  const char* destinations[] = {"a/b/c/out.sh", "new/./out.sh", "x//y///out.sh", "./p/./q/./out.sh",
                                "m/n/../o/out.sh"};
  for (const char* destination : destinations) {
    const TempDir dir;
    const mode_t old = ::umask(027);
    const auto result = write_script(dir / destination, "x");
    ::umask(old);
    ASSERT_TRUE(result.ok()) << destination << ": " << error_text(result);
    EXPECT_EQ(test::read_file(dir / destination), "x") << destination;
    const std::string first =
        std::string(destination).substr(0, std::string(destination).find('/'));
    if (first != ".") {
      EXPECT_EQ(test::stat_of(dir / first).st_mode & 07777, 0750U) << destination;
    }
  }
}

TEST(WriteScript, ReplacesTheDestinationAsOneNewFile) {
  const TempDir dir;
  // A second hard link keeps the old contents; the old mode does not carry over.
  test::write_file(dir / "out.sh", "old", 0755);
  ASSERT_EQ(::link((dir / "out.sh").c_str(), (dir / "other-link").c_str()), 0);
  ASSERT_TRUE(write_script(dir / "out.sh", "new").ok());
  EXPECT_EQ(test::read_file(dir / "out.sh"), "new");
  EXPECT_EQ(test::stat_of(dir / "out.sh").st_mode & 07777, 0600U);
  EXPECT_EQ(test::read_file(dir / "other-link"), "old");

  // A symbolic link is itself replaced; its target is left alone.
  test::write_file(dir / "target", "target", 0644);
  ASSERT_EQ(::symlink("target", (dir / "link.sh").c_str()), 0);
  ASSERT_TRUE(write_script(dir / "link.sh", "new").ok());
  EXPECT_TRUE(S_ISREG(test::lstat_of(dir / "link.sh").st_mode));
  EXPECT_EQ(test::read_file(dir / "target"), "target");
}

TEST(WriteScript, EmptyContentsGiveAnEmptyOwnerOnlyFile) {
  const TempDir dir;
  ASSERT_TRUE(write_script(dir / "empty.sh", "").ok());
  EXPECT_EQ(test::stat_of(dir / "empty.sh").st_size, 0);
  EXPECT_EQ(test::stat_of(dir / "empty.sh").st_mode & 07777, 0600U);
}

struct FailureCase {
  std::string name;
  std::function<std::string(const TempDir&)> prepare;  // returns the destination
  std::string error;
};

TEST(WriteScript, FailuresLeaveNoTemporaryFile) {
  const FailureCase cases[] = {
      {"parent is a file",
       [](const TempDir& d) {
         test::write_file(d / "file", "");
         return d / "file/out.sh";
       },
       "File exists (os error 17)"},
      {"ancestor is a file",
       [](const TempDir& d) {
         test::write_file(d / "file", "");
         return d / "file/sub/out.sh";
       },
       "Not a directory (os error 20)"},
      {"destination is a directory",
       [](const TempDir& d) {
         test::make_dir(d / "dir");
         test::write_file(d / "dir/keep", "kept");
         return d / "dir";
       },
       "Is a directory (os error 21)"},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    const std::string destination = c.prepare(dir);
    const auto before = test::list_dir(dir.path());
    EXPECT_EQ(error_text(write_script(destination, UPDATE_SCRIPT)), c.error) << c.name;
    EXPECT_EQ(test::list_dir(dir.path()), before) << c.name;
  }
  const TempDir dir;
  test::make_dir(dir / "dir");
  test::write_file(dir / "dir/keep", "kept");
  (void)write_script(dir / "dir", UPDATE_SCRIPT);
  EXPECT_EQ(test::list_dir(dir / "dir"), std::vector<std::string>{"keep"});
  EXPECT_EQ(test::read_file(dir / "dir/keep"), "kept");
}

TEST(WriteScript, EmptyPathFailsAtTheRenameAndCleansUp) {
  const TempDir dir;
  test::in_directory(dir.path(), [] {
    EXPECT_EQ(error_text(write_script("", "x")), "No such file or directory (os error 2)");
  });
  EXPECT_TRUE(test::list_dir(dir.path()).empty());
}

TEST(WriteScript, RelativePathNeedsAWorkingDirectory) {
  const TempDir dir;
  test::make_dir(dir / "gone");
  test::in_directory(dir / "gone", [&] {
    ASSERT_EQ(::rmdir((dir / "gone").c_str()), 0);
    EXPECT_EQ(error_text(write_script("out.sh", "x")), "No such file or directory (os error 2)");
    // An absolute destination does not ask for the working directory.
    EXPECT_TRUE(write_script(dir / "abs.sh", "x").ok());
  });
  EXPECT_EQ(test::list_dir(dir.path()), std::vector<std::string>{"abs.sh"});
}

TEST(WriteScript, BareNameIsWrittenInTheWorkingDirectory) {
  const TempDir dir;
  test::in_directory(dir.path(), [] { ASSERT_TRUE(write_script("out.sh", "x").ok()); });
  EXPECT_EQ(test::read_file(dir / "out.sh"), "x");
}

TEST(CreateHelper, GivesUpAfterTheAttemptBound) {
  // With no random characters every candidate is the same taken name, so
  // the bound is reached without creating 65536 files.
  const TempDir dir;
  test::write_file(dir / ".update-script-", "");
  const auto result = create_helper(dir.path(), TEMP_FILE_PREFIX, TEMP_FILE_SUFFIX, 0);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().text(), "too many temporary files exist at path \"" + dir.path() + "\"");
  EXPECT_EQ(result.error().kind(), ErrorKind::AlreadyExists);
}

TEST(CreateHelper, ReadsTheSystemRandomSourceOnlyBeforeTheFourthAttempt) {
  REQUIRE_TOOL("/usr/bin/strace");
  // The test above, in a traced copy of this binary: every creation attempt
  // and every read of the operating system's random source, in order.
  std::array<char, 4096> self{};
  ASSERT_GT(::readlink("/proc/self/exe", self.data(), self.size() - 1), 0);
  const TempDir dir;
  const auto result =
      test::run_process({"/usr/bin/strace", "-o", dir / "log", "-e", "trace=openat,getrandom",
                         self.data(), "--gtest_filter=CreateHelper.GivesUpAfterTheAttemptBound"},
                        {{"PATH=/usr/bin:/bin", "ASAN_OPTIONS=detect_leaks=0"}, "", {}, {}});
  ASSERT_EQ(result.exit_code(), 0) << result.out;
  std::vector<char> events;  // 'c' an attempt to create, 'r' a random read
  std::istringstream log(test::read_file(dir / "log"));
  for (std::string line; std::getline(log, line);) {
    if (line.find("/.update-script-\", O_RDWR|O_CREAT|O_EXCL") != std::string::npos) {
      events.push_back('c');
    } else if (line.starts_with("getrandom(") && line.find(", 8, 0)") != std::string::npos) {
      events.push_back('r');
    }
  }
  ASSERT_EQ(events.size(), 65536U + 1);  // the bound, and the one read
  EXPECT_EQ(std::string(events.begin(), events.begin() + 5), "cccrc");
  EXPECT_EQ(std::count(events.begin(), events.end(), 'r'), 1);
}

TEST(CreateHelper, NeverFollowsALinkPlantedAtACandidateName) {
  // Every one-character name but one is a link to a file an attacker wants
  // overwritten; the only name we may take is the free one.
  const TempDir dir;
  test::write_file(dir / "victim", "precious", 0644);
  for (const char c : TEMP_NAME_ALPHABET.substr(1)) {
    ASSERT_EQ(::symlink((dir / "victim").c_str(),
                        (dir / (".update-script-" + std::string(1, c))).c_str()),
              0);
  }
  auto created = create_helper(dir.path(), TEMP_FILE_PREFIX, TEMP_FILE_SUFFIX, 1);
  ASSERT_TRUE(created.ok()) << created.error().text();
  EXPECT_EQ(created.value().path(), dir / ".update-script-A");
  EXPECT_EQ(test::read_file(dir / "victim"), "precious");

  ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / "free").c_str()), 0);
  ASSERT_EQ(::rename((dir / "free").c_str(), (dir / ".update-script-A").c_str()), 0);
  EXPECT_FALSE(create_helper(dir.path(), TEMP_FILE_PREFIX, TEMP_FILE_SUFFIX, 1).ok());
  EXPECT_EQ(test::read_file(dir / "victim"), "precious");
}

TEST(CreateHelper, OtherErrorsEndTheAttemptsAtOnce) {
  const auto result = create_helper("/nonexistent-sorvane-dir", "p-", "", 6);
  ASSERT_FALSE(result.ok());
  EXPECT_TRUE(result.error().text().starts_with(
      "No such file or directory (os error 2) at path \"/nonexistent-sorvane-dir/p-"));
}

TEST(TempFile, IsRemovedUnlessPersisted) {
  const TempDir dir;
  std::string path;
  {
    auto created = create_named(dir / ".update-script-x");
    ASSERT_TRUE(created.ok());
    path = created.value().path();
    EXPECT_TRUE(test::exists(path));
  }
  EXPECT_FALSE(test::exists(path));

  auto created = create_named(dir / ".update-script-y");
  ASSERT_TRUE(created.ok());
  auto failed = persist(std::move(created.value()), dir / "missing-dir/out.sh");
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().error.code(), ENOENT);
  EXPECT_TRUE(test::exists(dir / ".update-script-y"));  // handed back, still ours
  auto kept = persist(std::move(failed.error().file), dir / "out.sh");
  ASSERT_TRUE(kept.ok());
  EXPECT_TRUE(kept.value().valid());
  EXPECT_EQ(test::list_dir(dir.path()), std::vector<std::string>{"out.sh"});
}

}  // namespace
}  // namespace sorvane

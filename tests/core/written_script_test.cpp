#include "written_script.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "payload.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

struct WrittenCase {
  std::string name;
  std::function<void(const TempDir&)> spoil;
  ScriptRefusal::Why why;
};

TEST(WrittenScript, OnlyThePayloadItselfInAPrivateDirectoryPasses) {
  const std::string payload(UPDATE_SCRIPT);
  const uid_t me = ::geteuid();
  const auto prepare = [&](const TempDir& dir) {
    test::set_mode(dir.path(), 0700);
    test::write_file(dir / "update.sh", payload, 0600);
  };
  {
    const TempDir dir;
    prepare(dir);
    const auto read = read_checked_script(dir.path(), "update.sh", me, payload);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), payload);
  }
  using Why = ScriptRefusal::Why;
  const auto mode = [](mode_t m) {
    return [m](const TempDir& d) { test::set_mode(d / "update.sh", m); };
  };
  const WrittenCase cases[] = {
      {"mode 0644", mode(0644), Why::WrongMode},
      {"mode 0700", mode(0700), Why::WrongMode},
      {"set-user-id", mode(04600), Why::WrongMode},
      {"set-group-id", mode(02600), Why::WrongMode},
      {"sticky", mode(01600), Why::WrongMode},
      {"a changed byte",
       [&](const TempDir& d) {
         std::string changed = payload;
         changed[100] ^= 1;
         test::write_file(d / "update.sh", changed, 0600);
       },
       Why::Changed},
      {"one byte more",
       [&](const TempDir& d) { test::write_file(d / "update.sh", payload + "\n", 0600); },
       Why::Changed},
      {"a link to a good copy",
       [&](const TempDir& d) {
         test::write_file(d / "copy.sh", payload, 0600);
         ::unlink((d / "update.sh").c_str());
         ASSERT_EQ(::symlink("copy.sh", (d / "update.sh").c_str()), 0);
       },
       Why::NotARegularFile},
      {"a FIFO",
       [](const TempDir& d) {
         ::unlink((d / "update.sh").c_str());
         ASSERT_EQ(::mkfifo((d / "update.sh").c_str(), 0600), 0);
       },
       Why::NotARegularFile},
      {"a group-writable directory", [](const TempDir& d) { test::set_mode(d.path(), 0770); },
       Why::DirectoryWritableByOthers},
      {"missing", [](const TempDir& d) { ::unlink((d / "update.sh").c_str()); }, Why::Unreadable},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    prepare(dir);
    c.spoil(dir);
    const auto read = read_checked_script(dir.path(), "update.sh", me, payload);
    ASSERT_FALSE(read.ok()) << c.name;
    EXPECT_EQ(read.error().why, c.why) << c.name;
  }
}

TEST(WrittenScript, AnotherOwnerOfTheFileOrItsDirectoryIsRefused) {
  REQUIRE_ROOT();
  const std::string payload(UPDATE_SCRIPT);
  constexpr uid_t OTHER = 1000;
  const TempDir dir;
  test::set_mode(dir.path(), 0700);
  test::write_file(dir / "update.sh", payload, 0600);
  ASSERT_EQ(::chown((dir / "update.sh").c_str(), OTHER, OTHER), 0);
  EXPECT_EQ(read_checked_script(dir.path(), "update.sh", 0, payload).error().why,
            ScriptRefusal::Why::FileNotTheUsers);
  EXPECT_EQ(read_checked_script(dir.path(), "update.sh", OTHER, payload).error().why,
            ScriptRefusal::Why::DirectoryNotTheUsers);
}

}  // namespace
}  // namespace sorvane::gui

// What pacman says is pending.
#include "pacman.hpp"

#include <gtest/gtest.h>

#include "captures.hpp"

namespace sorvane::gui {
namespace {

using test::capture;
using Updates = std::vector<PendingUpdate>;
using Names = std::vector<std::string>;

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

// Each installed package's one line: the real -Qi, and what it does not show.
TEST(PacmanDescriptions, ReadsNameAndDescription) {
  using Described = std::vector<std::pair<std::string, std::string>>;
  const std::pair<std::string, Described> cases[] = {
      {capture("pacman-qi-local-packages.txt"),  // "None": it has no description
       {{"sorvane-probe-plain",
         "A probe package for Sorvane's tests: plain, with a description of some length"}}},
      {"", {}},
      {"Name : a\r\nDescription : A : colon\r\n", {{"a", "A : colon"}}},
      {"Description : before any name\nName : a\n", {}},
      {"Name : a\n\nDescription : after its block\n", {}},
      {"Name : a\nDescription : one\nDescription : twice\n", {{"a", "one"}}},
      {"error: package 'x' was not found\n", {}},
  };
  for (const auto& [out, want] : cases) {
    SCOPED_TRACE(out);
    EXPECT_EQ(parse_pacman_descriptions(out), want);
  }
}

}  // namespace
}  // namespace sorvane::gui

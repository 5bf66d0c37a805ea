// What flatpak says is pending, and its sizes.
#include "flatpak.hpp"

#include <gtest/gtest.h>

#include "captures.hpp"
#include "flatpak_release_notes.hpp"

namespace sorvane::gui {
namespace {

using test::capture;
using Updates = std::vector<PendingUpdate>;
using Names = std::vector<std::string>;

TEST(FlatpakUpdates, ReadsTheLocalRepository) {
  const Updates want = {
      {"org.sorvane.ProbeApp//stable", "", "2.3.4", false},
      {"org.sorvane.Probe.Platform//stable", "", "c05b80ba1b55", false},  // no version: the commit
  };
  for (const char* name : {"flatpak-remote-ls-updates-local-repo.txt",
                           "flatpak-remote-ls-updates-local-repo-c-utf8.txt"}) {
    SCOPED_TRACE(name);
    const FlatpakPending pending = parse_flatpak_updates(capture(name));
    EXPECT_EQ(pending.updates, want);
    EXPECT_EQ(pending.download_bytes, 3600U + 114U);
    // Only the app has AppStream data: its summary, and release notes.
    ASSERT_EQ(pending.about.size(), 1U);
    const UpdateAbout& app = pending.about.at("org.sorvane.ProbeApp//stable");
    EXPECT_EQ(app.description, "A probe");
    EXPECT_TRUE(app.changelog_available);
  }
}

// What is installed, and from which remote, for where its release notes
// are: the real list, and rows it does not show.
TEST(FlatpakInstalled, ReadsIdBranchVersionArchOrigin) {
  using Installed = std::vector<FlatpakInstalled>;
  const std::pair<std::string, Installed> cases[] = {
      {capture("flatpak-list-local-repo.txt"),
       {{"org.sorvane.Probe.Platform", "stable", "", "x86_64", "probe"},
        {"org.sorvane.ProbeApp", "stable", "1.0", "x86_64", "probe"}}},
      {"", {}},
      {"a\tstable\t1\tx86_64\tflathub\r\n", {{"a", "stable", "1", "x86_64", "flathub"}}},
      {"a\tstable\t1\tx86_64\t..\n", {}},          // a remote that is no directory
      {"a\tstable\t1\tx86_64\tup/../..\n", {}},    // nor a path
      {"a\tstable\t1\t.\tflathub\n", {}},          // an architecture that is none
      {"a\tstable\t1\tx86_64\t\n", {}},            // no remote
      {"a\tstable\t1\tx86_64\n", {}},              // a column short
      {"a\tstable\t1\tx86_64\tflathub\tx\n", {}},  // a column too many
      {"\tstable\t1\tx86_64\tflathub\n", {}},      // no id
      {"a\t\t1\tx86_64\tflathub\n", {}},           // no branch
  };
  for (const auto& [out, want] : cases) {
    SCOPED_TRACE(out);
    EXPECT_EQ(parse_flatpak_installed(out), want);
  }
}

TEST(FlatpakUpdates, ReadsRefDescriptionVersionCommitSize) {
  struct Case {
    std::string out;
    Updates updates;
    std::optional<std::uint64_t> bytes;
  };
  const Case cases[] = {
      {"", {}, 0},
      {"app/a.B/x86_64/stable\t\t1.0\tc0ffee\t1.2 MB\n",
       {{"a.B//stable", "", "1.0", false}},
       1200000},
      {"runtime/a.Platform/aarch64/23.08\t\t\tc0ffee\t3.4?kB\n",
       {{"a.Platform//23.08", "", "c0ffee", false}},
       3400},
      {"app/a/x86_64/stable\t\t1\tc\t1 byte\napp/b/x86_64/beta\t\t2\tc\t2 bytes",
       {{"a//stable", "", "1", false}, {"b//beta", "", "2", false}},
       3},
      {"app/a/x86_64/stable\t\t1\tc\t", {{"a//stable", "", "1", false}}, std::nullopt},
      {"app/a/x86_64/stable\t\t1\tc\tlarge\napp/b/x86_64/stable\t\t1\tc\t1 kB",
       {{"a//stable", "", "1", false}, {"b//stable", "", "1", false}},
       std::nullopt},
      {"app/a/x86_64/stable\t\t\t\t1 kB", {}, 0},                   // nothing to update to
      {"app/a/x86_64\t\t1\tc\t1 kB", {}, 0},                        // no branch
      {"app/a/x86_64/stable/x\t\t1\tc\t1 kB", {}, 0},               // one part too many
      {"app//x86_64/stable\t\t1\tc\t1 kB", {}, 0},                  // no id
      {"extension/a/x86_64/stable\t\t1\tc\t1 kB", {}, 0},           // not a kind flatpak has
      {"app/a/x86_64/stable\t\t1\tc", {}, 0},                       // a column short
      {"app/a/x86_64/stable\t\t1\tc\t1 kB\textra", {}, 0},          // a column too many
      {"app/a/x86_64/stable 1 c 1 kB", {}, 0},                      // spaces are no columns
      {"Ref\tDescription\tVersion\tCommit\tDownload size", {}, 0},  // a title row
      {"app/a/x86_64/stable\t\t1\tc\t1 kB\r\n", {{"a//stable", "", "1", false}}, 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.out);
    const FlatpakPending pending = parse_flatpak_updates(c.out);
    EXPECT_EQ(pending.updates, c.updates);
    EXPECT_EQ(pending.download_bytes, c.bytes);
  }
  // The summary is outside text; a runtime known by its commit has no
  // release notes, whatever its summary.
  const FlatpakPending described =
      parse_flatpak_updates("runtime/a/x86_64/stable\tDraws \x1b[2Jpictures\t\tc\t1 kB\n");
  ASSERT_TRUE(described.about.contains("a//stable"));
  EXPECT_EQ(described.about.at("a//stable").description, "Draws pictures");
  EXPECT_FALSE(described.about.at("a//stable").changelog_available);
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

}  // namespace
}  // namespace sorvane::gui

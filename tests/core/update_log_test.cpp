#include "update_log.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::Monitored;
using test::TempDir;

// A flood with no window reading: the monitor keeps the log within its
// cap on disk, and every reader of it stays bounded.
TEST(UpdateLog, AFloodNobodyReadsStaysWithinTheCap) {
  const TempDir dir;
  Monitored monitored(dir.path());
  constexpr std::uint64_t MIB = std::uint64_t{1} << 20;
  auto started = monitored.start(
      "echo 'Starting system update...'\n"
      "head -c 64M /dev/zero | tr '\\0' x\necho\necho 'the last words'\n");
  ASSERT_TRUE(started.ok()) << started.error().text();
  ASSERT_TRUE(monitored.ended(started.value()).has_value());
  const std::string path = monitored.run.path() + "/update.log";
  const struct stat st = test::stat_of(path);
  EXPECT_GT(static_cast<std::uint64_t>(st.st_size), 64 * MIB);
  EXPECT_LE(static_cast<std::uint64_t>(st.st_blocks) * 512, LogCap::MAX_ON_DISK);
  const UniqueFd log(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  EXPECT_GE(dropped_bytes(log.get()), 64 * MIB - LogCap::MAX_ON_DISK);
  const std::string text = log_as_text(log.get());
  EXPECT_LE(text.size(), MAX_LOG_TEXT + 64);
  EXPECT_TRUE(text.starts_with("Starting system update...\n"));
  EXPECT_TRUE(text.ends_with("the last words\n"));
  // A window reading it passes over what was dropped.
  UpdateLog reader{UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))};
  std::string chunk;
  std::string last;
  std::uint64_t read = 0;
  do {
    ASSERT_FALSE(reader.read_some(chunk, 64 * 1024).has_value());
    read += chunk.size();
    if (!chunk.empty()) last = chunk;
  } while (!chunk.empty());
  EXPECT_LE(read, LogCap::MAX_ON_DISK);
  EXPECT_TRUE(last.ends_with("the last words\n"));
}

TEST(UpdateLogText, TheWholeLogAsTheWindowShowsIt) {
  const TempDir dir;
  const UniqueFd log(::open((dir / "log").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  const std::string head =
      std::string("Starting\n\x1B[1;32mok\x1B[0m done\n10%\r100%\nnul") + '\0' + "byte\n";
  ASSERT_EQ(::write(log.get(), head.data(), head.size()), static_cast<ssize_t>(head.size()));
  // What the window let go of while following reads as a hole.
  constexpr off_t GAP = off_t{4} << 20;
  const std::string tail = "\nlast line";
  ASSERT_EQ(::pwrite(log.get(), tail.data(), tail.size(), GAP), static_cast<ssize_t>(tail.size()));
  EXPECT_EQ(log_as_text(log.get()), "Starting\nok done\n100%\nnulbyte\n\nlast line\n");
}

}  // namespace
}  // namespace sorvane::gui

// Known answers for the temporary-name randomness.
#include "random.hpp"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <set>
#include <thread>

#include "test_support.hpp"
#include "writer.hpp"

namespace sorvane {
namespace {

TEST(Random, SipHash13KnownAnswers) {
  EXPECT_EQ(siphash13(0, 0, {}), 0xd1fba762150c532cULL);
  std::array<std::uint8_t, 15> bytes{};
  std::iota(bytes.begin(), bytes.end(), 0);
  EXPECT_EQ(siphash13(0, 0, bytes), 0xf30eb725bb91c9eaULL);
  EXPECT_EQ(seed_from(1, 2, 3), 0x0753020b47be42e0ULL);
}

TEST(Random, WyrandKnownAnswers) {
  Wyrand generator(0);
  EXPECT_EQ(generator.next(), 0x9a45cd888d59f0d6ULL);
  EXPECT_EQ(generator.next(), 0x01445b6a189663f5ULL);
  Wyrand thread_generator(0x0753020b47be42e0ULL);
  EXPECT_EQ(thread_generator.next(), 0xc170dd2f30859db6ULL);
}

TEST(Random, TmpnameKnownAnswers) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "lAFSES"}, {0x0123456789abcdefULL, "NCNk9C"}, {0xc170dd2f30859db6ULL, "Nbr2wF"}};
  for (const auto& [state, name] : cases) {
    Wyrand generator(state);
    EXPECT_EQ(tmpname(generator, "", "", TEMP_RANDOM_LEN), name);
  }
  Wyrand generator(0);
  EXPECT_EQ(tmpname(generator, TEMP_FILE_PREFIX, ".x", 6), ".update-script-lAFSES.x");
}

TEST(Random, ThreadsGetTheirOwnGenerators) {
  std::uint64_t other = 0;
  std::thread([&] { other = next_thread_random(); }).join();
  EXPECT_NE(other, next_thread_random());
}

TEST(Random, OperatingSystemSourceGivesDistinctValues) {
  std::set<std::uint64_t> seen;
  for (int i = 0; i < 8; ++i) {
    const auto value = os_random_u64();
    ASSERT_TRUE(value.has_value());
    seen.insert(*value);
  }
  EXPECT_EQ(seen.size(), 8U);
}

TEST(Random, FallsBackToDevUrandomWithoutGetrandom) {
  REQUIRE_TOOL("/usr/bin/strace");
  // Runs the test above in a copy of this binary whose getrandom calls fail
  // with ENOSYS, as on an old kernel, and watches which devices it opens.
  std::array<char, 4096> self{};
  ASSERT_GT(::readlink("/proc/self/exe", self.data(), self.size() - 1), 0);
  const test::TempDir dir;
  const auto result = test::run_process(
      {"/usr/bin/strace", "-f", "-o", dir / "log", "-e", "trace=openat,poll,getrandom", "-e",
       "inject=getrandom:error=ENOSYS", self.data(),
       "--gtest_filter=Random.OperatingSystemSourceGivesDistinctValues"},
      {{"PATH=/usr/bin:/bin", "ASAN_OPTIONS=detect_leaks=0"}, "", {}, {}});
  EXPECT_EQ(result.exit_code(), 0) << result.out;
  const std::string log = test::read_file(dir / "log");
  const auto count = [&](const std::string& needle) {
    size_t n = 0;
    for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("openat(AT_FDCWD, \"/dev/random\", O_RDONLY|O_CLOEXEC)"), 1U) << log;
  EXPECT_EQ(count("poll([{fd="), 1U) << log;
  EXPECT_EQ(count("openat(AT_FDCWD, \"/dev/urandom\", O_RDONLY|O_CLOEXEC)"), 1U) << log;
}

}  // namespace
}  // namespace sorvane

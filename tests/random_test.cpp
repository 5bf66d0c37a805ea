// Known answers for the temporary-name randomness.
#include "random.hpp"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <set>
#include <thread>

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

}  // namespace
}  // namespace sorvane

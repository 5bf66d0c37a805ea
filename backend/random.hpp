// Randomness for temporary file names. Names come from wyrand, a fast
// generator that is not cryptographic: exclusive creation, not the name,
// is what keeps the temporary file ours. The operating system's random
// source is read only after three names in a row were taken.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace sorvane {

// SipHash-1-3 with the given key.
std::uint64_t siphash13(std::uint64_t k0, std::uint64_t k1, std::span<const std::uint8_t> data);

// The published wyrand step.
class Wyrand {
 public:
  explicit Wyrand(std::uint64_t state) : state_(state) {}
  std::uint64_t next();
  [[nodiscard]] std::uint64_t state() const { return state_; }
  void reseed(std::uint64_t state) { state_ = state; }

 private:
  std::uint64_t state_;
};

// SipHash-1-3 (zero key) of the little-endian bytes of the monotonic clock's
// seconds (i64) and nanoseconds (u32) and the thread's identity (u64).
std::uint64_t seed_from(std::int64_t seconds, std::uint32_t nanoseconds, std::uint64_t thread_id);
std::uint64_t random_seed();

// The next output of this thread's generator, seeded on first use.
std::uint64_t next_thread_random();

// Eight bytes from the operating system's random source, or nothing when
// the source cannot be read this time (a later call tries again).
std::optional<std::uint64_t> os_random_u64();

}  // namespace sorvane

#include "random.hpp"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <bit>
#include <cerrno>
#include <ctime>
#include <mutex>

#include "unique_fd.hpp"

namespace sorvane {
namespace {

constexpr std::uint64_t WYRAND_INCREMENT = 0x2d358dccaa6c78a5ULL;
constexpr std::uint64_t WYRAND_MIX = 0x8bb84b93962eacc9ULL;

// SipHash initialisation constants ("somepseudorandomlygeneratedbytes").
constexpr std::uint64_t SIP_V0 = 0x736f6d6570736575ULL;
constexpr std::uint64_t SIP_V1 = 0x646f72616e646f6dULL;
constexpr std::uint64_t SIP_V2 = 0x6c7967656e657261ULL;
constexpr std::uint64_t SIP_V3 = 0x7465646279746573ULL;
constexpr std::uint64_t SIP_FINAL = 0xff;

struct SipState {
  std::uint64_t v0, v1, v2, v3;

  void round() {
    v0 += v1;
    v1 = std::rotl(v1, 13);
    v1 ^= v0;
    v0 = std::rotl(v0, 32);
    v2 += v3;
    v3 = std::rotl(v3, 16);
    v3 ^= v2;
    v0 += v3;
    v3 = std::rotl(v3, 21);
    v3 ^= v0;
    v2 += v1;
    v1 = std::rotl(v1, 17);
    v1 ^= v2;
    v2 = std::rotl(v2, 32);
  }

  void compress(std::uint64_t m) {
    v3 ^= m;
    round();  // one compression round: SipHash-1-3
    v0 ^= m;
  }
};

std::uint64_t load_le(std::span<const std::uint8_t> bytes) {
  std::uint64_t value = 0;
  for (size_t i = 0; i < bytes.size(); ++i) value |= std::uint64_t{bytes[i]} << (8 * i);
  return value;
}

template <class T>
void store_le(std::uint8_t* out, T value) {
  for (size_t i = 0; i < sizeof(T); ++i)
    out[i] = static_cast<std::uint8_t>(std::uint64_t(value) >> (8 * i));
}

// A number unique to the thread within the process; the first thread to
// ask gets 1.
std::uint64_t thread_identity() {
  static std::atomic<std::uint64_t> next_id{1};
  thread_local const std::uint64_t id = next_id.fetch_add(1, std::memory_order_relaxed);
  return id;
}

// --- the operating system's random source ---

using GetrandomFn = ssize_t (*)(void*, size_t, unsigned int);

// Looked up by name so that a C library without it still links and runs.
GetrandomFn usable_getrandom() {
  static const GetrandomFn fn = []() -> GetrandomFn {
    auto* found = reinterpret_cast<GetrandomFn>(::dlsym(RTLD_DEFAULT, "getrandom"));
    if (found == nullptr) return nullptr;
    // A kernel without the call, or a sandbox that forbids it, answers the
    // empty probe with ENOSYS or EPERM.
    if (found(nullptr, 0, 0) < 0 && (errno == ENOSYS || errno == EPERM)) return nullptr;
    return found;
  }();
  return fn;
}

// Calls read(buf, len) until buf is full: an interrupted call is repeated,
// a short one continues with the rest, and 0 bytes or an error give up.
template <class Read>
bool fill_exactly(std::span<std::uint8_t> buf, Read read) {
  size_t done = 0;
  while (done < buf.size()) {
    const ssize_t n = retry_on_eintr([&] { return read(buf.data() + done, buf.size() - done); });
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The fallback: wait until /dev/random is readable (the pool is seeded),
// then keep /dev/urandom open for the rest of the process. Opening is
// serialised; afterwards the descriptor is only read.
int urandom_fd() {
  static std::mutex mutex;
  static int fd = -1;
  const std::lock_guard lock(mutex);
  if (fd >= 0) return fd;
  {
    UniqueFd random(retry_on_eintr([] { return ::open("/dev/random", O_RDONLY | O_CLOEXEC); }));
    if (!random.valid()) return -1;
    pollfd pfd{random.get(), POLLIN, 0};
    if (retry_on_eintr([&] { return ::poll(&pfd, 1, -1); }) < 0) return -1;
  }
  fd = retry_on_eintr([] { return ::open("/dev/urandom", O_RDONLY | O_CLOEXEC); });
  return fd;
}

}  // namespace

std::uint64_t siphash13(std::uint64_t k0, std::uint64_t k1, std::span<const std::uint8_t> data) {
  SipState s{SIP_V0 ^ k0, SIP_V1 ^ k1, SIP_V2 ^ k0, SIP_V3 ^ k1};
  const size_t full = data.size() / 8 * 8;
  for (size_t i = 0; i < full; i += 8) s.compress(load_le(data.subspan(i, 8)));
  // The last block holds the remaining bytes and the length's low byte on top.
  s.compress(load_le(data.subspan(full)) | (std::uint64_t{data.size() & 0xFFU} << 56U));
  s.v2 ^= SIP_FINAL;
  for (int i = 0; i < 3; ++i) s.round();
  return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

std::uint64_t Wyrand::next() {
  state_ += WYRAND_INCREMENT;
  const unsigned __int128 product = static_cast<unsigned __int128>(state_) * (state_ ^ WYRAND_MIX);
  return static_cast<std::uint64_t>(product >> 64U) ^ static_cast<std::uint64_t>(product);
}

std::uint64_t seed_from(std::int64_t seconds, std::uint32_t nanoseconds, std::uint64_t thread_id) {
  std::array<std::uint8_t, 20> bytes{};
  store_le(bytes.data(), seconds);
  store_le(bytes.data() + 8, nanoseconds);
  store_le(bytes.data() + 12, thread_id);
  return siphash13(0, 0, bytes);
}

std::uint64_t random_seed() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return seed_from(now.tv_sec, static_cast<std::uint32_t>(now.tv_nsec), thread_identity());
}

std::uint64_t next_thread_random() {
  thread_local Wyrand generator(random_seed());
  return generator.next();
}

std::optional<std::uint64_t> os_random_u64() {
  std::array<std::uint8_t, 8> buf{};
  bool filled = false;
  if (const GetrandomFn fn = usable_getrandom()) {
    filled = fill_exactly(buf, [&](void* p, size_t len) { return fn(p, len, 0); });
  } else if (const int fd = urandom_fd(); fd >= 0) {
    filled = fill_exactly(buf, [&](void* p, size_t len) { return ::read(fd, p, len); });
  }
  if (!filled) return std::nullopt;
  return load_le(buf);
}

}  // namespace sorvane

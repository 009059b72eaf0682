#include "pieces/Random.h"

#include <chrono>
#include <mutex>

namespace duduri {

namespace {

std::uint64_t splitMix64(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

constexpr std::uint64_t rotl(std::uint64_t x, int k) {
  return (x << k) | (x >> (64 - k));
}

class Xoshiro256 {
 public:
  explicit Xoshiro256(std::uint64_t seed) { Seed(seed); }

  void Seed(std::uint64_t seed) {
    // splitmix64 never yields four zero words in a row, so the state is valid.
    for (std::uint64_t& word : s_) word = splitMix64(seed);
  }

  std::uint64_t Next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
  }

 private:
  std::uint64_t s_[4];
};

std::mutex& generatorMutex() {
  static std::mutex m;
  return m;
}

Xoshiro256& generator() {
  static Xoshiro256 g(0x44756475726921ull);
  return g;
}

}  // namespace

std::int32_t Random(std::int32_t n) {
  if (n <= 0) return 0;
  std::lock_guard lock(generatorMutex());
  Xoshiro256& g = generator();
  // Lemire's multiply-and-reject: the high word of a 32x32-bit product is
  // uniform once the few low words that would bias it are rejected.
  const std::uint32_t range = std::uint32_t(n);
  std::uint64_t m = std::uint64_t(std::uint32_t(g.Next() >> 32)) * range;
  std::uint32_t low = std::uint32_t(m);
  if (low < range) {
    const std::uint32_t threshold = std::uint32_t(-range) % range;
    while (low < threshold) {
      m = std::uint64_t(std::uint32_t(g.Next() >> 32)) * range;
      low = std::uint32_t(m);
    }
  }
  return std::int32_t(m >> 32);
}

void Randomize() {
  const auto now = std::chrono::system_clock::now().time_since_epoch().count();
  const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
  RandSeed(std::uint64_t(now) ^ rotl(std::uint64_t(tick), 32));
}

void RandSeed(std::uint64_t seed) {
  std::lock_guard lock(generatorMutex());
  generator().Seed(seed);
}

}  // namespace duduri

// The process-wide random source: reproducible per seed, in range, unbiased.

#include <gtest/gtest.h>

#include <vector>

#include "pieces/Random.h"

namespace duduri {
namespace {

TEST(Random, SameSeedSameSequenceAndEveryValueInRange) {
  RandSeed(42);
  std::vector<std::int32_t> first;
  for (int i = 0; i < 100; ++i) first.push_back(Random(1000));
  RandSeed(42);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(Random(1000), first[std::size_t(i)]);
  RandSeed(43);
  int same = 0;
  for (int i = 0; i < 100; ++i) same += Random(1000) == first[std::size_t(i)];
  EXPECT_LT(same, 5);

  for (std::int32_t n : {1, 2, 7, 576, 0x7FFFFFFF}) {
    for (int i = 0; i < 200; ++i) {
      const std::int32_t v = Random(n);
      ASSERT_GE(v, 0);
      ASSERT_LT(v, n);
    }
  }
  // No value can be drawn from an empty range, and none is consumed.
  RandSeed(42);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  EXPECT_EQ(Random(1000), first[0]);
}

TEST(Random, SpreadsEvenlyOverARangeThatDoesNotDivideTheWordSize) {
  // 3 * 2^30 leaves a bias of one in three for a plain modulo of 32 bits.
  RandSeed(7);
  const std::int32_t n = 3 << 29;
  int low = 0;
  const int draws = 30000;
  for (int i = 0; i < draws; ++i) low += Random(n) < (1 << 29);
  EXPECT_NEAR(double(low) / draws, 1.0 / 3.0, 0.015);
}

}  // namespace
}  // namespace duduri

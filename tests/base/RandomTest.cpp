#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/Random.h"

namespace vec {
namespace {

TEST(Random, FollowsTheLinearCongruentialSequence) {
  SetRandSeed(0);
  // seed 0 -> 1 -> 134775814 -> ...
  EXPECT_EQ(Random(100), 0);  // (100 * 1) >> 32
  EXPECT_EQ(RandSeed(), 1u);
  int32_t r = Random(1000);
  EXPECT_EQ(RandSeed(), 134775814u);
  EXPECT_EQ(r, static_cast<int32_t>((1000ull * 134775814u) >> 32));
}

TEST(Random, ZeroRangeGivesZeroAndStillAdvances) {
  SetRandSeed(42);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(RandSeed(), 42u * 134775813u + 1u);
}

TEST(Random, ResultsStayInRange) {
  SetRandSeed(12345);
  for (int n : {1, 2, 3, 7, 100, 65536, 2147483647}) {
    for (int i = 0; i < 1000; ++i) {
      int32_t r = Random(n);
      ASSERT_GE(r, 0);
      ASSERT_LT(r, n);
    }
  }
}

TEST(Random, SavedSeedIsRestoredAndLockKeepsRandomizeOff) {
  SetRandSeed(777);
  {
    SavedRandSeed saved;
    SetRandSeed(1);
    Random(10);
  }
  EXPECT_EQ(RandSeed(), 777u);
  LockRandomize(true);
  Randomize();
  EXPECT_EQ(RandSeed(), 777u);
  LockRandomize(false);
}

TEST(Random, ConcurrentDrawsLoseNoStep) {
  // Each draw advances the seed exactly once, whatever the threads do.
  SetRandSeed(9);
  constexpr int kThreads = 4, kDraws = 10000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < kDraws; ++i) Random(10);
    });
  for (auto& t : threads) t.join();
  uint32_t expected = 9;
  for (int i = 0; i < kThreads * kDraws; ++i) expected = expected * 134775813u + 1u;
  EXPECT_EQ(RandSeed(), expected);
}

}  // namespace
}  // namespace vec

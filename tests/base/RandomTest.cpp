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
  EXPECT_EQ(RandSeed(), 1365616851u);  // 42 * 134775813 + 1 mod 2^32
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
  RandomGenerator serial{9};
  for (int i = 0; i < kThreads * kDraws; ++i) serial.Next();
  EXPECT_EQ(RandSeed(), serial.Seed());
}

// Worked by hand from seed 5: each seed, and 100 * seed >> 32.
TEST(RandomGenerator, StepsThroughTheSequenceWorkedByHand) {
  RandomGenerator gen{5};
  const uint32_t seeds[] = {673879066u,  771902595u,  2442594960u,
                            2380625105u, 1144982550u, 3894842479u};
  const int32_t draws[] = {15, 17, 56, 55, 26, 90};
  for (size_t i = 0; i < std::size(seeds); ++i) {
    RandomGenerator copy = gen;
    EXPECT_EQ(copy.Below(100), draws[i]) << i;
    EXPECT_EQ(gen.Next(), seeds[i]) << i;
  }
}

// Catches a jump composed in the wrong order or with a dropped bit of n: the sequence
// has period 2^32, so a jump of 2^32 + 6 lands where six steps do.
TEST(RandomGenerator, JumpsLandWhereSingleStepsDo) {
  struct Case {
    uint64_t steps;
    uint32_t from, to;
  };
  const Case cases[] = {
      {0, 5, 5},
      {1, 5, 673879066u},
      {3, 5, 2442594960u},
      {6, 5, 3894842479u},
      {(uint64_t{1} << 32) + 6, 5, 3894842479u},
      {2, 0, 134775814u},
      {3, 0, 3698175007u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RandomGenerator::StepsOf(c.steps).Apply(c.from), c.to) << c.steps;
    RandomGenerator gen{c.from};
    gen.Skip(c.steps);
    EXPECT_EQ(gen.Seed(), c.to) << c.steps;
  }
}

TEST(RandomGenerator, LeavesTheSharedSequenceAlone) {
  SetRandSeed(31337);
  RandomGenerator gen{1};
  for (int i = 0; i < 10; ++i) gen.Below(100);
  EXPECT_EQ(RandSeed(), 31337u);
}

}  // namespace
}  // namespace vec

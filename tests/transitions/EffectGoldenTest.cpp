#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "base/Random.h"
#include "tests/support/PixelChecksum.h"
#include "tests/transitions/EffectGoldenTable.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/Effect.h"

namespace vec {
namespace {

// Every effect of the table on two picture sizes (one wider than tall, one taller than
// wide, both odd so halves and centres are uneven) at three percents, folded into one
// checksum each. The values were taken from a build whose effects independent pixel
// references confirmed; any change to any effect's pixels shows here at once. Set
// VEC_PRINT_GOLDEN=1 to print the table of the current build.
uint64_t GoldenChecksum(int32_t n, int32_t W, int32_t H, int32_t percent) {
  SetRandSeed(12345);
  const BottomUpBitmap oldBmp = testing::Pattern(W, H, 1);
  const BottomUpBitmap newBmp = testing::Pattern(W, H, 2);
  return PixelChecksum(testing::RunEffect(n, oldBmp, newBmp, percent));
}

TEST(EffectGolden, EveryEffectAtTwoSizesAndThreePercents) {
  struct Case {
    int32_t n, W, H, percent;
    uint64_t sum;
  };
  std::vector<Case> cases;
  for (int32_t n = 1; n <= kEffectCount; ++n)
    for (const auto& [W, H] : {std::pair{41, 23}, std::pair{19, 33}})
      for (int32_t percent : {13, 50, 87})
        cases.push_back({n, W, H, percent, GoldenChecksum(n, W, H, percent)});
  if (std::getenv("VEC_PRINT_GOLDEN") != nullptr)
    for (const Case& c : cases)
      std::printf("    0x%016llxull,  // %d %dx%d %d%%\n", static_cast<unsigned long long>(c.sum),
                  c.n, c.W, c.H, c.percent);
  ASSERT_EQ(std::size(kEffectGolden), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(c.sum, kEffectGolden[i])
        << "effect " << c.n << " \"" << EffectByNumber(c.n).name << "\" at " << c.W << "x" << c.H
        << ", " << c.percent << " %";
  }
}

}  // namespace
}  // namespace vec

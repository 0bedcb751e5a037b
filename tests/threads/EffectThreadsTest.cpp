#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "base/Random.h"
#include "graphics/Blit.h"
#include "tests/support/PixelChecksum.h"
#include "tests/threads/FrameThreadsTest.h"
#include "tests/transitions/EffectGoldenTable.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/Effect.h"

namespace vec {
namespace {

using testing::ScopedFrameThreads;

BottomUpBitmap Drawn(int32_t n, int32_t W, int32_t H, int32_t percent) {
  SetRandSeed(12345);
  return testing::RunEffect(n, testing::Pattern(W, H, 1), testing::Pattern(W, H, 2), percent);
}

// Every effect with every frame counted as large, split three ways, against the checksums
// the single-threaded effects were recorded with (same sizes, pictures and seed). Catches a
// run of rows that reads rows another run writes (the pushes, the in-place stretches), a
// seeded effect whose runs do not continue the sequence where the run before stops, and a
// run drawn twice or not at all.
TEST(EffectThreads, EveryEffectSplitThreeWaysMatchesTheSingleThreadChecksums) {
  const ScopedFrameThreads threads(3, 1);
  size_t i = 0;
  for (int32_t n = 1; n <= kEffectCount; ++n)
    for (const auto& [W, H] : {std::pair{41, 23}, std::pair{19, 33}})
      for (int32_t percent : {13, 50, 87}) {
        ASSERT_LT(i, std::size(kEffectGolden));
        EXPECT_EQ(PixelChecksum(Drawn(n, W, H, percent)), kEffectGolden[i++])
            << "effect " << n << " \"" << EffectByNumber(n).name << "\" at " << W << "x" << H
            << ", " << percent << " %";
      }
}

// A size where the runs are long and uneven (4 threads over 61 and 97 rows), against the
// same effect on one thread.
TEST(EffectThreads, UnevenRunsMatchOneThread) {
  for (const auto& [W, H] : {std::pair{97, 61}, std::pair{61, 97}})
    for (int32_t percent : {7, 50, 93})
      for (int32_t n = 1; n <= kEffectCount; ++n) {
        BottomUpBitmap single, split;
        {
          const ScopedFrameThreads threads(1, 1);
          single = Drawn(n, W, H, percent);
        }
        {
          const ScopedFrameThreads threads(4, 1);
          split = Drawn(n, W, H, percent);
        }
        EXPECT_TRUE(split == single)
            << "effect " << n << " at " << W << "x" << H << ", " << percent << " %";
      }
}

// The block copies split on their own, through a clip region with holes, for a stretch that
// mirrors and for a sideways self-copy: against the pixel-by-pixel references.
TEST(EffectThreads, SplitCopiesMatchTheReferences) {
  const ScopedFrameThreads threads(3, 1);
  const BottomUpBitmap src = testing::Pattern(53, 37, 4);
  Region clip = Region::FromRect(2, 1, 50, 35);
  clip.Combine(Region::FromRect(10, 8, 30, 20), RegionOp::Diff);
  struct Case {
    const char* what;
    void (*fast)(BottomUpBitmap&, const BottomUpBitmap&);
    void (*slow)(BottomUpBitmap&, const BottomUpBitmap&);
  } cases[] = {
      {"copy",
       [](BottomUpBitmap& d, const BottomUpBitmap& s) { BitBlt(d, 3, -2, 45, 40, s, 1, 0); },
       [](BottomUpBitmap& d, const BottomUpBitmap& s) {
         reference::BitBlt(d, 3, -2, 45, 40, s, 1, 0);
       }},
      {"mirrored stretch",
       [](BottomUpBitmap& d, const BottomUpBitmap& s) {
         StretchBlt(d, 50, 2, -41, 30, s, 3, 1, 20, 33);
       },
       [](BottomUpBitmap& d, const BottomUpBitmap& s) {
         reference::StretchBlt(d, 50, 2, -41, 30, s, 3, 1, 20, 33);
       }},
      {"self copy sideways",
       [](BottomUpBitmap& d, const BottomUpBitmap&) { BitBlt(d, 5, 0, 40, 37, d, 0, 0); },
       [](BottomUpBitmap& d, const BottomUpBitmap&) {
         reference::BitBlt(d, 5, 0, 40, 37, d, 0, 0);
       }},
      {"self copy back",
       [](BottomUpBitmap& d, const BottomUpBitmap&) { BitBlt(d, 0, 0, 40, 37, d, 7, 0); },
       [](BottomUpBitmap& d, const BottomUpBitmap&) {
         reference::BitBlt(d, 0, 0, 40, 37, d, 7, 0);
       }},
  };
  for (const Case& c : cases) {
    BottomUpBitmap fast = testing::Pattern(53, 37, 5), slow = fast;
    fast.SelectClipRgn(&clip);
    slow.SelectClipRgn(&clip);
    c.fast(fast, src);
    c.slow(slow, src);
    fast.SelectClipRgn(nullptr);
    slow.SelectClipRgn(nullptr);
    EXPECT_TRUE(fast == slow) << c.what;
  }
}

}  // namespace
}  // namespace vec

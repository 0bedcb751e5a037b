#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/Random.h"
#include "graphics/Blit.h"
#include "tests/threads/FrameThreadsTest.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/BlendEffects.h"
#include "transitions/EffectStep.h"

namespace vec {
namespace {

using testing::Pattern;

// The frame as the contract defines it: Work given the whole of Old, the effect over it.
BottomUpBitmap CopyThenDraw(const Effect& effect, const BottomUpBitmap& oldBmp,
                            const BottomUpBitmap& newBmp, int32_t percent) {
  BottomUpBitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const Extents e = ProgressExtents(W, H, percent);
  effect.Draw(EffectFrame{work, newBmp, W, H, e.w, e.h, percent});
  return work;
}

// The effects that write Old themselves must give that frame from a Work holding anything
// (here the last frame of another picture): a column beside the drawn span or a gap between
// a region's rectangles left stale, a row with nothing of New on it skipped, or an early
// way out that draws nothing shows. Sizes: the wide ones run the vector loops over whole
// groups, the thin ones their ends; 33001 x 2 makes the pivots' products wrap. As a large
// frame the rows are streamed and split over threads.
TEST(EffectStep, EffectsThatWriteOldThemselvesGiveTheFrameOfACopyOfOld) {
  const SavedRandSeed keepSeed;
  std::vector<Effect> writers;
  for (const Effect& e : EffectTable())
    if (WritesOldItself(e.routine)) writers.push_back(e);
  // The pivots, the band, shape and wipe families.
  ASSERT_EQ(writers.size(), 4u + 58u + 37u + 65u);
  struct Size {
    int32_t W, H;
    bool pivotsOnly;
  };
  const Size sizes[] = {{1, 1, false},     {9, 70, false},   {130, 7, false}, {61, 45, false},
                        {203, 117, false}, {300, 170, true}, {33001, 2, true}};
  for (const bool large : {false, true}) {
    testing::ScopedFrameThreads threads(large ? 2 : 1, large ? 1 : int64_t{3840} * 2160);
    for (const auto& [W, H, pivotsOnly] : sizes) {
      const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
      for (const Effect& effect : writers) {
        if (pivotsOnly && effect.routine != Pivot) continue;
        for (int32_t percent : {0, 1, 13, 37, 50, 63, 81, 87, 99, 100}) {
          // The uneven shreds draw from the random sequence: both frames start from one seed.
          SetRandSeed(12345);
          BottomUpBitmap work = Pattern(W, H, 3);
          DrawEffectStep(&effect, work, oldBmp, newBmp, percent);
          SetRandSeed(12345);
          ASSERT_EQ(work, CopyThenDraw(effect, oldBmp, newBmp, percent))
              << effect.name << " " << W << "x" << H << " at " << percent << " large " << large;
        }
      }
    }
  }
}

// An Old of another size than Work (a screen that changed size) cannot be written row by
// row: it is drawn into Work first, as for every other effect, and the effect drawn over.
TEST(EffectStep, AnOldOfAnotherSizeIsDrawnFirst) {
  const BottomUpBitmap oldBmp = Pattern(10, 8, 1), newBmp = Pattern(16, 12, 2);
  for (int32_t n : {1, 121, 124}) {
    BottomUpBitmap work = Pattern(16, 12, 3), expected = work;
    Draw(expected, 0, 0, oldBmp);
    const Extents e = ProgressExtents(16, 12, 87);
    EffectByNumber(n).Draw(EffectFrame{expected, newBmp, 16, 12, e.w, e.h, 87});
    DrawEffectStep(&EffectByNumber(n), work, oldBmp, newBmp, 87);
    EXPECT_EQ(work, expected) << n;
  }
}

}  // namespace
}  // namespace vec

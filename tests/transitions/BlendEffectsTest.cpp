#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <utility>
#include <vector>

#include "base/MathUtil.h"
#include "base/Random.h"
#include "graphics/Blit.h"
#include "tests/support/VectorLevels.h"
#include "tests/threads/FrameThreadsTest.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/BlendEffects.h"
namespace vec {
namespace {

using testing::Filled;
using testing::FromNew;
using testing::FromOld;
using testing::Matches;
using testing::Pattern;
using testing::RunEffect;

constexpr int32_t kPixelEffects[] = {1, 2, 3, 121, 122, 123, 124, 168, 169};

using testing::LevelsToTest;
using LevelLimit = testing::ScopedVectorLevel;

uint8_t Blend(uint8_t d, uint8_t s, int32_t alpha) {
  return static_cast<uint8_t>((d + ((alpha * (s - d)) >> 8)) & 0xFF);
}

// --- Fade ---------------------------------------------------------------------------------

TEST(Fade, FastBlendEqualsTheReferenceForEveryWeight) {
  const BottomUpBitmap a = Pattern(37, 3, 1), b = Pattern(37, 3, 2);  // 111 pixels: a ragged tail
  for (int32_t alpha = 0; alpha <= 256; ++alpha) {
    BottomUpBitmap fast = a, slow = a;
    BlendPixels(fast.Bits(), b.Bits(), fast.PixelCount(), alpha);
    reference::BlendPixels(slow.Bits(), b.Bits(), slow.PixelCount(), alpha);
    ASSERT_EQ(fast, slow) << "alpha " << alpha;
  }
}

TEST(Fade, EveryVectorLevelEqualsTheReferenceOnRaggedSpans) {
  const BottomUpBitmap a = Pattern(71, 3, 5), b = Pattern(71, 3, 6);
  for (VectorLevel level : LevelsToTest()) {
    LevelLimit limit(level);
    for (int32_t alpha : {-5, 0, 1, 2, 77, 127, 128, 129, 200, 254, 255, 256, 300})
      for (size_t offset : {0u, 1u, 3u, 7u})
        for (size_t count = 0; count + offset <= a.PixelCount(); count += 5) {
          BottomUpBitmap fast = a, slow = a;
          BlendPixels(fast.Bits() + offset, b.Bits() + offset, count, alpha);
          reference::BlendPixels(slow.Bits() + offset, b.Bits() + offset, count, alpha);
          ASSERT_EQ(fast, slow) << "level " << VectorLevelName(level) << " alpha " << alpha
                                << " offset " << offset << " count " << count;
        }
  }
}

TEST(Fade, BlendsEachColourByteWithAnArithmeticShift) {
  const struct {
    uint8_t d, s;
    int32_t alpha;
    uint8_t want;
  } cases[] = {
      {0, 255, 128, 127}, {255, 0, 128, 127},   {10, 20, 256, 20},
      {20, 10, 256, 10},  {200, 100, 0, 200},   {0, 1, 255, 0},
      {1, 0, 255, 0},     {100, 101, 128, 100}, {101, 100, 128, 100},
  };
  for (const auto& c : cases) {
    Pixel d = MakePixel(c.d, c.d, c.d, 0x12);
    const Pixel s = MakePixel(c.s, c.s, c.s, 0x34);
    BlendPixels(&d, &s, 1, c.alpha);
    EXPECT_EQ(d, MakePixel(c.want, c.want, c.want, 0x12))
        << int(c.d) << " -> " << int(c.s) << " at " << c.alpha;
  }
}

TEST(Fade, EndsAtNewWithOldsFourthByte) {
  const BottomUpBitmap oldBmp = Pattern(33, 17, 1), newBmp = Pattern(33, 17, 2);
  EXPECT_EQ(RunEffect(1, oldBmp, newBmp, 0), oldBmp);
  const BottomUpBitmap end = RunEffect(1, oldBmp, newBmp, 100);
  for (int32_t y = 0; y < 17; ++y)
    for (int32_t x = 0; x < 33; ++x) {
      const Pixel n = newBmp.GetPixel(x, y), o = oldBmp.GetPixel(x, y);
      ASSERT_EQ(end.GetPixel(x, y), (n & 0x00FFFFFFu) | (o & 0xFF000000u));
    }
}

TEST(Fade, MidwayMatchesThePerByteFormula) {
  const BottomUpBitmap oldBmp = Pattern(9, 7, 1), newBmp = Pattern(9, 7, 2);
  const BottomUpBitmap mid = RunEffect(1, oldBmp, newBmp, 37);
  const int32_t alpha = MulDiv(256, 37, 100);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 9; ++x) {
      const Pixel o = oldBmp.GetPixel(x, y), n = newBmp.GetPixel(x, y);
      ASSERT_EQ(mid.GetPixel(x, y),
                MakePixel(Blend(PixelR(o), PixelR(n), alpha), Blend(PixelG(o), PixelG(n), alpha),
                          Blend(PixelB(o), PixelB(n), alpha), PixelA(o)));
    }
}

// --- Dissolve and random bars -------------------------------------------------------------

TEST(Dissolve, EqualsTheSharedGeneratorsSequence) {
  for (const auto& [W, H] : {std::pair{64, 48}, std::pair{17, 5}, std::pair{1, 1}}) {
    const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
    for (int32_t percent : {0, 1, 13, 50, 87, 99, 100}) {
      BottomUpBitmap slow = oldBmp;
      reference::Dissolve(slow, newBmp, W, H, percent);
      EXPECT_EQ(RunEffect(3, oldBmp, newBmp, percent), slow) << W << "x" << H << " " << percent;
    }
  }
}

TEST(Dissolve, EveryVectorLevelEqualsTheSharedGeneratorsSequence) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},  {3, 1},  {7, 5},   {31, 1},
                                               {33, 1}, {5, 13}, {61, 45}, {129, 31}};
  for (VectorLevel level : LevelsToTest()) {
    LevelLimit limit(level);
    for (const auto& [W, H] : sizes) {
      const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
      for (int32_t percent = -1; percent <= 101; percent += 3) {
        BottomUpBitmap slow = oldBmp;
        reference::Dissolve(slow, newBmp, W, H, percent);
        SetRandSeed(99);
        ASSERT_EQ(RunEffect(3, oldBmp, newBmp, percent), slow)
            << "level " << VectorLevelName(level) << " " << W << "x" << H << " " << percent;
        ASSERT_EQ(RandSeed(), 99u);
      }
    }
  }
}

TEST(Dissolve, RepeatsItselfAndLeavesTheGeneratorWhereItWas) {
  const BottomUpBitmap oldBmp = Pattern(50, 40, 1), newBmp = Pattern(50, 40, 2);
  SetRandSeed(777);
  const BottomUpBitmap first = RunEffect(3, oldBmp, newBmp, 40);
  EXPECT_EQ(RandSeed(), 777u);
  SetRandSeed(31337);
  const BottomUpBitmap second = RunEffect(3, oldBmp, newBmp, 40);
  EXPECT_EQ(RandSeed(), 31337u);
  EXPECT_EQ(first, second);
  // A pixel taken at 40 % is taken again at every higher percent.
  const BottomUpBitmap later = RunEffect(3, oldBmp, newBmp, 60);
  int taken = 0;
  for (size_t i = 0; i < first.PixelCount(); ++i) {
    if (first.Bits()[i] == newBmp.Bits()[i]) {
      ++taken;
      ASSERT_EQ(later.Bits()[i], newBmp.Bits()[i]) << i;
    }
  }
  EXPECT_NEAR(taken, 800, 120);
  EXPECT_EQ(RunEffect(3, oldBmp, newBmp, 100), newBmp);
  EXPECT_EQ(RunEffect(3, oldBmp, newBmp, 0), oldBmp);
}

TEST(RandomBars, VerticalAtHalfCopiesAboutHalfTheColumnsTheSameEachFrame) {
  const int32_t W = 1024, H = 768;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  SetRandSeed(5);
  const BottomUpBitmap frame = RunEffect(169, oldBmp, newBmp, 50);
  EXPECT_EQ(RandSeed(), 5u);
  std::vector<bool> taken(W);
  int count = 0;
  for (int32_t x = 0; x < W; ++x) {
    taken[x] = frame.GetPixel(x, 0) == newBmp.GetPixel(x, 0);
    count += taken[x];
    for (int32_t y = 0; y < H; ++y)
      ASSERT_EQ(frame.GetPixel(x, y), (taken[x] ? newBmp : oldBmp).GetPixel(x, y)) << x << "," << y;
  }
  EXPECT_GT(count, 450);
  EXPECT_LT(count, 574);
  // The columns are the draws from seed W + H, column 0 first.
  SetRandSeed(W + H);
  for (int32_t x = 0; x < W; ++x) ASSERT_EQ(taken[x], Random(100) < 50) << x;
  SetRandSeed(12);
  EXPECT_EQ(RunEffect(169, oldBmp, newBmp, 50), frame);
}

TEST(RandomBars, VerticalSpansWideBitmaps) {
  // Wider than the span of choices kept at once: the draws still run column by column.
  const int32_t W = 9000, H = 2;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  const BottomUpBitmap frame = RunEffect(169, oldBmp, newBmp, 30);
  SetRandSeed(W + H);
  std::vector<bool> taken(W);
  for (int32_t x = 0; x < W; ++x) taken[x] = Random(100) < 30;
  EXPECT_TRUE(Matches(frame, oldBmp, newBmp, [&](int32_t x, int32_t y) {
    return taken[x] ? FromNew(x, y) : FromOld(x, y);
  }));
}

TEST(RandomBars, HorizontalDrawsRowsFromTheBottom) {
  const int32_t W = 30, H = 200;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  SetRandSeed(99);
  const BottomUpBitmap frame = RunEffect(168, oldBmp, newBmp, 35);
  EXPECT_EQ(RandSeed(), 99u);
  SetRandSeed(W + H);
  std::vector<bool> taken(H);
  for (int32_t y = H - 1; y >= 0; --y) taken[y] = Random(100) < 35;
  EXPECT_TRUE(Matches(frame, oldBmp, newBmp, [&](int32_t x, int32_t y) {
    return taken[y] ? FromNew(x, y) : FromOld(x, y);
  }));
}

// --- Pivots -------------------------------------------------------------------------------

TEST(Pivot, FastRotationEqualsTheReference) {
  const int32_t W = 61, H = 45;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  const std::pair<int32_t, int32_t> pivots[] = {{-1, -1}, {-1, H}, {W, -1}, {W, H}, {20, 7}};
  for (const auto& [px, py] : pivots) {
    for (int32_t percent : {0, 1, 13, 50, 87, 99, 100}) {
      for (double sign : {1.0, -1.0}) {
        const double theta = sign * (100 - percent) * std::numbers::pi / 200;
        BottomUpBitmap fast = oldBmp, slow = oldBmp;
        RotateImage(fast, newBmp, px, py, theta);
        reference::RotateImage(slow, newBmp, px, py, theta);
        ASSERT_EQ(fast, slow) << px << "," << py << " at " << percent;
      }
    }
  }
}

// Also as a large frame (rows streamed to memory from a 32-byte boundary, split over
// threads): odd widths put that boundary at a different column in every row.
TEST(Pivot, EveryVectorLevelEqualsTheReferenceOnOddSizes) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},  {2, 3},   {17, 9},
                                               {9, 70}, {130, 7}, {61, 45}};
  for (const VectorLevel level : LevelsToTest())
    for (const bool large : {false, true}) {
      LevelLimit limit(level);
      testing::ScopedFrameThreads threads(large ? 2 : 1, large ? 1 : int64_t{3840} * 2160);
      for (const auto& [W, H] : sizes) {
        const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
        const std::pair<int32_t, int32_t> pivots[] = {{-1, -1}, {-1, H},        {W, -1},
                                                      {W, H},   {W / 2, H / 3}, {-7, 2 * H}};
        for (const auto& [px, py] : pivots)
          for (int32_t percent = 0; percent <= 100; percent += 7)
            for (double sign : {1.0, -1.0, 2.5}) {
              const double theta = sign * (100 - percent) * std::numbers::pi / 200;
              BottomUpBitmap fast = oldBmp, slow = oldBmp;
              RotateImage(fast, newBmp, px, py, theta);
              reference::RotateImage(slow, newBmp, px, py, theta);
              ASSERT_EQ(fast, slow)
                  << "level " << VectorLevelName(level) << " large " << large << " " << W << "x"
                  << H << " about " << px << "," << py << " at " << percent << " sign " << sign;
            }
      }
    }
}

// Turns of up to about 16.6 degrees (81.5 %) read three rows of New for every eight
// columns and pick each lane's row and column; larger ones go the general way. Percents on
// both sides of that limit, both directions of turn and pivots at every corner and inside,
// on a frame wide enough for many whole groups of 64 columns: a lane given the wrong row,
// a limit set too high (lanes three rows apart) or groups run up to New's edge show here.
TEST(Pivot, SmallTurnsEqualTheReference) {
  if (BestVectorLevel() != VectorLevel::Avx2) GTEST_SKIP() << "no 256-bit vectors";
  const int32_t W = 300, H = 170;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  const std::pair<int32_t, int32_t> pivots[] = {{-1, -1}, {-1, H},        {W, -1},
                                                {W, H},   {W / 2, H / 3}, {-7, 2 * H}};
  for (const bool large : {false, true}) {
    testing::ScopedFrameThreads threads(large ? 2 : 1, large ? 1 : int64_t{3840} * 2160);
    for (const auto& [px, py] : pivots)
      for (int32_t percent : {79, 80, 81, 82, 83, 87, 93, 99, 100})
        for (double sign : {1.0, -1.0}) {
          const double theta = sign * (100 - percent) * std::numbers::pi / 200;
          BottomUpBitmap fast = oldBmp, slow = oldBmp;
          RotateImage(fast, newBmp, px, py, theta);
          reference::RotateImage(slow, newBmp, px, py, theta);
          ASSERT_EQ(fast, slow) << "about " << px << "," << py << " at " << percent << " sign "
                                << sign << " large " << large;
        }
  }
}

// A picture so long that the 32-bit products wrap: the per-pixel walk follows the wrap.
TEST(Pivot, ProductsThatWrapEqualTheReference) {
  const int32_t W = 33001, H = 2;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  for (int32_t percent : {0, 50, 87, 99}) {
    const double theta = (100 - percent) * std::numbers::pi / 200;
    BottomUpBitmap fast = oldBmp, slow = oldBmp;
    RotateImage(fast, newBmp, -1, -1, theta);
    reference::RotateImage(slow, newBmp, -1, -1, theta);
    ASSERT_EQ(fast, slow) << percent;
  }
}

// Each pivot row turns about its own corner and in its own direction: a swapped corner or
// a lost sign in the row's arguments shows here.
TEST(Pivot, RowsTurnAboutTheirCornerInTheirDirection) {
  const int32_t W = 33, H = 21;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  struct Case {
    int32_t n, px, py;
    double sign;
  };
  for (const Case c : {Case{121, -1, -1, 1.0}, Case{122, -1, H, -1.0}, Case{123, W, -1, -1.0},
                       Case{124, W, H, 1.0}}) {
    for (int32_t percent : {0, 13, 50, 87, 100}) {
      BottomUpBitmap expected = oldBmp;
      reference::RotateImage(expected, newBmp, c.px, c.py,
                             c.sign * (100 - percent) * std::numbers::pi / 200);
      EXPECT_EQ(RunEffect(c.n, oldBmp, newBmp, percent), expected)
          << "effect " << c.n << " at " << percent;
    }
  }
}

TEST(Pivot, AtFullProgressNewIsOnePixelLeftAndDown) {
  const int32_t W = 24, H = 18;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  for (int32_t n : {121, 122, 123, 124}) {
    EXPECT_TRUE(Matches(RunEffect(n, oldBmp, newBmp, 100), oldBmp, newBmp,
                        [&](int32_t x, int32_t y) {
                          return y == 0 || x == W - 1 ? FromOld(x, y) : FromNew(x + 1, y - 1);
                        }))
        << "effect " << n;
  }
}

TEST(Pivot, SwingsInFromAQuarterTurn) {
  const BottomUpBitmap oldBmp = Pattern(40, 30, 1), newBmp = Pattern(40, 30, 2);
  for (int32_t n : {121, 122, 123, 124}) {
    // At 0 % New stands a quarter turn away, beside the screen.
    EXPECT_EQ(RunEffect(n, oldBmp, newBmp, 0), oldBmp) << n;
    const BottomUpBitmap mid = RunEffect(n, oldBmp, newBmp, 50);
    int fromNew = 0;
    for (size_t i = 0; i < mid.PixelCount(); ++i) fromNew += mid.Bits()[i] != oldBmp.Bits()[i];
    EXPECT_GT(fromNew, 100) << n;
    EXPECT_LT(fromNew, 1100) << n;
  }
}

// --- Pixelate -----------------------------------------------------------------------------

TEST(Pixelate, ZoomsOldInThenNewOutWithACrossFadeBetween) {
  const Pixel a = MakePixel(200, 40, 0, 0x11), b = MakePixel(0, 240, 100, 0x22);
  const BottomUpBitmap oldBmp = Filled(64, 48, a), newBmp = Filled(64, 48, b);
  auto blended = [&](int32_t percent) {
    const int32_t alpha = MulDiv(256, 5 * percent - 200, 100);
    return MakePixel(Blend(PixelR(a), PixelR(b), alpha), Blend(PixelG(a), PixelG(b), alpha),
                     Blend(PixelB(a), PixelB(b), alpha), PixelA(a));
  };
  EXPECT_EQ(RunEffect(2, oldBmp, newBmp, 30), oldBmp);
  EXPECT_EQ(RunEffect(2, oldBmp, newBmp, 40), oldBmp);
  EXPECT_EQ(RunEffect(2, oldBmp, newBmp, 60), newBmp);
  // 45 %: New blended in at 25 % (alpha 64); the enlarged centre fills the screen.
  EXPECT_EQ(blended(45), MakePixel(Blend(200, 0, 64), Blend(40, 240, 64), 25, 0x11));
  for (int32_t percent : {41, 45, 50, 55, 59})
    EXPECT_EQ(RunEffect(2, oldBmp, newBmp, percent), Filled(64, 48, blended(percent))) << percent;
}

TEST(Pixelate, IsTheIdentityAtBothEnds) {
  const BottomUpBitmap oldBmp = Pattern(40, 30, 1), newBmp = Pattern(40, 30, 2);
  EXPECT_EQ(RunEffect(2, oldBmp, newBmp, 0), oldBmp);
  EXPECT_EQ(RunEffect(2, oldBmp, newBmp, 100), newBmp);
}

TEST(Pixelate, EnlargesTheCentre) {
  // 20 %: w = 8, h = 6, factor = 180 - 33 = 147, xs = 12, ys = 9: Work's block (12, 9, 16, 12)
  // is stretched to 88 x 66 at (-24, -18), so the screen shows part of it in large blocks.
  const BottomUpBitmap oldBmp = Pattern(40, 30, 1), newBmp = Pattern(40, 30, 2);
  const BottomUpBitmap work = RunEffect(2, oldBmp, newBmp, 20);
  std::set<Pixel> centre;
  for (int32_t y = 9; y < 21; ++y)
    for (int32_t x = 12; x < 28; ++x) centre.insert(oldBmp.GetPixel(x, y));
  std::set<Pixel> shown(work.Bits(), work.Bits() + work.PixelCount());
  for (Pixel p : shown) ASSERT_TRUE(centre.count(p));
  EXPECT_LE(shown.size(), 40u * 30u / 25u);
  EXPECT_GE(shown.size(), 30u);
}

// --- Every pixel effect -------------------------------------------------------------------

TEST(PixelEffects, AtFullProgressShowNewExceptFadeAndThePivots) {
  for (const auto& [W, H] : {std::pair{40, 30}, std::pair{31, 41}, std::pair{1, 1}}) {
    const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
    for (int32_t n : {2, 3, 168, 169}) EXPECT_EQ(RunEffect(n, oldBmp, newBmp, 100), newBmp) << n;
  }
}

TEST(PixelEffects, TinyAndEmptyPicturesAreSafeAtEveryPercent) {
  for (const auto& [W, H] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{2, 1}, std::pair{1, 2},
                             std::pair{3, 2}, std::pair{5, 0}}) {
    const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
    for (int32_t n : kPixelEffects)
      for (int32_t percent = 0; percent <= 100; ++percent) {
        const BottomUpBitmap work = RunEffect(n, oldBmp, newBmp, percent);
        ASSERT_EQ(work.Width(), W);
        if (W == 0 || H == 0) {
          ASSERT_EQ(work, oldBmp);
        }
      }
  }
}

// A frame whose blocks are not W x H is a mistake of the caller: debug builds stop on it,
// release builds leave Work alone rather than index past a block. Catches the check dropped
// (a read past New, or past Work when W is too large) and one that only looks at Work.
TEST(PixelEffectsDeathTest, MismatchedSizesAreStoppedOrDrawNothing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const BottomUpBitmap oldBmp = Pattern(20, 10, 1), newBmp = Pattern(10, 20, 2);
  for (int32_t n : kPixelEffects) {
    BottomUpBitmap work = oldBmp;
    EXPECT_DEBUG_DEATH(EffectByNumber(n).Draw(EffectFrame{work, newBmp, 20, 10, 10, 5, 50}),
                       "W x H")
        << n;
    EXPECT_EQ(work, oldBmp) << n;
    // W beyond the bitmaps.
    EXPECT_DEBUG_DEATH(EffectByNumber(n).Draw(EffectFrame{work, oldBmp, 40, 10, 20, 5, 50}),
                       "W x H")
        << n;
    EXPECT_EQ(work, oldBmp) << n;
  }
}

}  // namespace
}  // namespace vec

// The blend and pixel effects held, at odd and tiny sizes and at every percent, to plain
// transcriptions of their steps: per-byte blends, the shared generator drawn pixel by pixel
// from seed W + H, the pivot's 16.16 arithmetic with 32-bit products, and the zoom drawn with
// the pixel-by-pixel reference stretch.

namespace vec {
namespace {

using testing::Pattern;
using testing::RunEffect;

uint8_t BlendOne(uint8_t d, uint8_t s, int32_t alpha) {
  const int32_t product = alpha * (static_cast<int32_t>(s) - static_cast<int32_t>(d));
  return static_cast<uint8_t>((d + (product >> 8)) & 0xFF);
}

Pixel BlendOne(Pixel d, Pixel s, int32_t alpha) {
  return MakePixel(BlendOne(PixelR(d), PixelR(s), alpha), BlendOne(PixelG(d), PixelG(s), alpha),
                   BlendOne(PixelB(d), PixelB(s), alpha), PixelA(d));
}

BottomUpBitmap ExpectedFade(const BottomUpBitmap& oldBmp, const BottomUpBitmap& newBmp,
                            int32_t percent) {
  BottomUpBitmap work = oldBmp;
  const int32_t alpha = MulDiv(256, percent, 100);
  for (int32_t y = 0; y < work.Height(); ++y)
    for (int32_t x = 0; x < work.Width(); ++x)
      work.SetPixel(x, y, BlendOne(work.GetPixel(x, y), newBmp.GetPixel(x, y), alpha));
  return work;
}

// Pixel by pixel in block order (bottom row first), one draw of the shared generator each.
BottomUpBitmap ExpectedDissolve(const BottomUpBitmap& oldBmp, const BottomUpBitmap& newBmp,
                                int32_t percent) {
  BottomUpBitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const uint32_t saved = RandSeed();
  SetRandSeed(static_cast<uint32_t>(W + H));
  for (int32_t y = H - 1; y >= 0; --y)
    for (int32_t x = 0; x < W; ++x)
      if (Random(100) < percent) work.SetPixel(x, y, newBmp.GetPixel(x, y));
  SetRandSeed(saved);
  return work;
}

BottomUpBitmap ExpectedBars(bool vertical, const BottomUpBitmap& oldBmp,
                            const BottomUpBitmap& newBmp, int32_t percent) {
  BottomUpBitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const uint32_t saved = RandSeed();
  SetRandSeed(static_cast<uint32_t>(W + H));
  if (vertical) {
    for (int32_t x = 0; x < W; ++x)
      if (Random(100) < percent)
        for (int32_t y = 0; y < H; ++y) work.SetPixel(x, y, newBmp.GetPixel(x, y));
  } else {
    for (int32_t y = H - 1; y >= 0; --y)
      if (Random(100) < percent)
        for (int32_t x = 0; x < W; ++x) work.SetPixel(x, y, newBmp.GetPixel(x, y));
  }
  SetRandSeed(saved);
  return work;
}

int32_t Low32(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

BottomUpBitmap ExpectedPivot(int32_t n, const BottomUpBitmap& oldBmp, const BottomUpBitmap& newBmp,
                             int32_t percent) {
  BottomUpBitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  int32_t px = -1, py = -1;
  double theta = (100 - percent) * std::numbers::pi / 200;
  if (n == 122) {
    py = H;
    theta = (percent - 100) * std::numbers::pi / 200;
  } else if (n == 123) {
    px = W;
    theta = (percent - 100) * std::numbers::pi / 200;
  } else if (n == 124) {
    px = W;
    py = H;
  }
  const auto c = static_cast<int32_t>(std::trunc(65536 * std::sin(-theta)));
  const auto d = static_cast<int32_t>(std::trunc(65536 * std::cos(-theta)));
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const int32_t u = x + 1 - px, v = H - py - y;
      const int32_t du = Low32(int64_t{d} * u), cv = Low32(int64_t{c} * v);
      const int32_t cu = Low32(int64_t{c} * u), dv = Low32(int64_t{d} * v);
      const int32_t sx = px + (Low32(int64_t{du} - cv) >> 16);
      const int32_t f = py + (Low32(int64_t{cu} + dv) >> 16);
      if (sx >= 0 && sx < W && f >= 0 && f < H) work.SetPixel(x, y, newBmp.GetPixel(sx, H - 1 - f));
    }
  return work;
}

BottomUpBitmap ExpectedPixelate(const BottomUpBitmap& oldBmp, const BottomUpBitmap& newBmp,
                                int32_t percent) {
  BottomUpBitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const Extents e = ProgressExtents(W, H, percent);
  bool fromNew = false;
  int32_t ex = e.w, ey = e.h, factor = 180 - MulDiv(percent, 82, 50);
  if (percent > 50) {
    fromNew = true;
    ex = W - e.w;
    ey = H - e.h;
    factor = MulDiv(percent - 100, 82, 50) + 180;
  }
  const int32_t xs = MulDiv(ex, factor, 100), ys = MulDiv(ey, factor, 100);
  const int32_t sw = std::max(W - 2 * xs, 2), sh = std::max(H - 2 * ys, 2);
  if (percent > 40 && percent < 60) {
    const int32_t alpha = MulDiv(256, 5 * percent - 200, 100);
    for (int32_t y = ys + sh - 1; y >= ys; --y)
      for (int32_t x = xs; x < xs + sw; ++x)
        if (x >= 0 && x < W && y >= 0 && y < H)
          work.SetPixel(x, y, BlendOne(work.GetPixel(x, y), newBmp.GetPixel(x, y), alpha));
    fromNew = false;
  }
  reference::StretchBlt(work, -2 * xs, -2 * ys, W + 4 * xs, H + 4 * ys, fromNew ? newBmp : work, xs,
                        ys, sw, sh);
  return work;
}

BottomUpBitmap Expected(int32_t n, const BottomUpBitmap& oldBmp, const BottomUpBitmap& newBmp,
                        int32_t percent) {
  switch (n) {
    case 1:
      return ExpectedFade(oldBmp, newBmp, percent);
    case 2:
      return ExpectedPixelate(oldBmp, newBmp, percent);
    case 3:
      return ExpectedDissolve(oldBmp, newBmp, percent);
    case 168:
      return ExpectedBars(false, oldBmp, newBmp, percent);
    case 169:
      return ExpectedBars(true, oldBmp, newBmp, percent);
    default:
      return ExpectedPivot(n, oldBmp, newBmp, percent);
  }
}

TEST(BlendCrossCheck, EveryPixelEffectAtEveryPercentOnSmallAndOddSizes) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {2, 3},   {3, 2},   {1, 6},   {6, 1},
                                               {7, 5}, {17, 11}, {40, 30}, {33, 47}, {101, 13}};
  for (const auto& [W, H] : sizes) {
    const BottomUpBitmap oldBmp = Pattern(W, H, 31), newBmp = Pattern(W, H, 32);
    for (int32_t n : {1, 2, 3, 121, 122, 123, 124, 168, 169})
      for (int32_t percent = 0; percent <= 100; ++percent) {
        SetRandSeed(4242);
        const BottomUpBitmap got = RunEffect(n, oldBmp, newBmp, percent);
        ASSERT_EQ(RandSeed(), 4242u) << "effect " << n;
        ASSERT_EQ(got, Expected(n, oldBmp, newBmp, percent))
            << "effect " << n << " at " << percent << "% on " << W << "x" << H;
      }
  }
}

TEST(BlendCrossCheck, EveryPixelEffectOnAScreenSizedOddPicture) {
  const int32_t W = 1023, H = 767;
  const BottomUpBitmap oldBmp = Pattern(W, H, 41), newBmp = Pattern(W, H, 42);
  for (int32_t n : {1, 2, 3, 121, 122, 123, 124, 168, 169})
    for (int32_t percent : {20, 45, 55, 80})
      ASSERT_EQ(RunEffect(n, oldBmp, newBmp, percent), Expected(n, oldBmp, newBmp, percent))
          << "effect " << n << " at " << percent << "%";
}

// The vertical random bars at every vector level: widths with a ragged tail after whole
// vectors of four and eight, and one past a span of 4096 columns. Catches the mask taken
// the wrong way round (Old where New belongs), a tail left unselected, and a vector path
// that reads the choices of the wrong columns.
TEST(BlendCrossCheck, VerticalBarsAtEveryVectorLevel) {
  for (VectorLevel level : LevelsToTest()) {
    const LevelLimit limit(level);
    for (const auto& [W, H] : {std::pair{13, 5}, std::pair{101, 3}, std::pair{4099, 2}}) {
      const BottomUpBitmap oldBmp = Pattern(W, H, 51), newBmp = Pattern(W, H, 52);
      for (int32_t percent : {9, 50, 91})
        ASSERT_EQ(RunEffect(169, oldBmp, newBmp, percent),
                  ExpectedBars(true, oldBmp, newBmp, percent))
            << W << "x" << H << " at " << percent << "% level " << VectorLevelName(level);
    }
  }
}

TEST(BlendCrossCheck, FadeOfOnePixelByHand) {
  // 37 %: alpha = MulDiv(256, 37, 100) = 94.72 -> 95. Red 10 -> 250: 10 + (95 * 240 >> 8) =
  // 10 + 89 = 99. Green 200 -> 0: 200 + (-19000 >> 8) = 200 - 75 = 125 (the shift rounds
  // down). Blue 7 -> 7 stays. The fourth byte 0x5A is Old's.
  BottomUpBitmap oldBmp(1, 1), newBmp(1, 1);
  oldBmp.SetPixel(0, 0, MakePixel(10, 200, 7, 0x5A));
  newBmp.SetPixel(0, 0, MakePixel(250, 0, 7, 0xC3));
  EXPECT_EQ(RunEffect(1, oldBmp, newBmp, 37).GetPixel(0, 0), MakePixel(99, 125, 7, 0x5A));
}

TEST(BlendCrossCheck, DissolveOfTwoByThreeByHand) {
  // Seed W + H = 5. Each draw: seed = seed * 134775813 + 1 (mod 2^32), value 100 * seed >> 32:
  // 673879066 -> 15, 771902595 -> 17, 2442594960 -> 56, 2380625105 -> 55, 1144982550 -> 26,
  // 3894842479 -> 90. Block order is the bottom row first: (0,2) (1,2) (0,1) (1,1) (0,0)
  // (1,0). At 50 % the draws 15, 17 and 26 take New.
  const BottomUpBitmap oldBmp = Pattern(2, 3, 1), newBmp = Pattern(2, 3, 2);
  const BottomUpBitmap work = RunEffect(3, oldBmp, newBmp, 50);
  EXPECT_EQ(work.GetPixel(0, 2), newBmp.GetPixel(0, 2));
  EXPECT_EQ(work.GetPixel(1, 2), newBmp.GetPixel(1, 2));
  EXPECT_EQ(work.GetPixel(0, 1), oldBmp.GetPixel(0, 1));
  EXPECT_EQ(work.GetPixel(1, 1), oldBmp.GetPixel(1, 1));
  EXPECT_EQ(work.GetPixel(0, 0), newBmp.GetPixel(0, 0));
  EXPECT_EQ(work.GetPixel(1, 0), oldBmp.GetPixel(1, 0));
  // Random bars from the same draws: rows bottom first (rows 2 and 1 taken at 25 %, row 0 with
  // 56 not), columns left to right (column 0 with 15 taken at 16 %, column 1 with 17 not).
  const BottomUpBitmap rows = RunEffect(168, oldBmp, newBmp, 25);
  const BottomUpBitmap cols = RunEffect(169, oldBmp, newBmp, 16);
  for (int32_t x = 0; x < 2; ++x) {
    EXPECT_EQ(rows.GetPixel(x, 2), newBmp.GetPixel(x, 2));
    EXPECT_EQ(rows.GetPixel(x, 1), newBmp.GetPixel(x, 1));
    EXPECT_EQ(rows.GetPixel(x, 0), oldBmp.GetPixel(x, 0));
  }
  for (int32_t y = 0; y < 3; ++y) {
    EXPECT_EQ(cols.GetPixel(0, y), newBmp.GetPixel(0, y));
    EXPECT_EQ(cols.GetPixel(1, y), oldBmp.GetPixel(1, y));
  }
}

TEST(BlendCrossCheck, PivotOfSixByFourByHand) {
  // 121 at 60 %: theta = 40 pi / 200 = pi / 5; c = Trunc(65536 sin(-pi/5)) = -38521,
  // d = Trunc(65536 cos(-pi/5)) = 53019; pivot (-1, -1). Work (0, 0): u = 2, v = 4 + 1 - 0 = 5;
  // sx = -1 + ((53019 * 2 + 38521 * 5) >> 16) = -1 + (298643 >> 16) = 3;
  // f = -1 + ((-38521 * 2 + 53019 * 5) >> 16) = -1 + (188053 >> 16) = 1, so New (3, 4 - 1 - 1).
  const BottomUpBitmap oldBmp = Pattern(6, 4, 1), newBmp = Pattern(6, 4, 2);
  const BottomUpBitmap work = RunEffect(121, oldBmp, newBmp, 60);
  struct At {
    int32_t x, y, sx, sy;
  };
  const At fromNew[] = {{0, 0, 3, 2}, {1, 0, 4, 2}, {2, 0, 5, 3}, {3, 0, 5, 3},
                        {0, 1, 2, 2}, {1, 1, 3, 3}, {0, 2, 2, 3}};
  BottomUpBitmap want = oldBmp;
  for (const At& a : fromNew) want.SetPixel(a.x, a.y, newBmp.GetPixel(a.sx, a.sy));
  EXPECT_EQ(work, want);
  // 122 turns the other way about (-1, H): only the lower left corner shows New.
  const BottomUpBitmap other = RunEffect(122, oldBmp, newBmp, 60);
  want = oldBmp;
  want.SetPixel(0, 2, newBmp.GetPixel(1, 0));
  want.SetPixel(0, 3, newBmp.GetPixel(2, 1));
  want.SetPixel(1, 3, newBmp.GetPixel(3, 0));
  want.SetPixel(2, 3, newBmp.GetPixel(3, 0));
  EXPECT_EQ(other, want);
}

}  // namespace
}  // namespace vec

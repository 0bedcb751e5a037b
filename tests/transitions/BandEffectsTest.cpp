#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "base/Random.h"
#include "tests/transitions/ComplexRegionTestSupport.h"
#include "transitions/BandEffects.h"

namespace vec {
namespace {

using namespace testing_support;

// The shreds that halve their length (modes 3 and 4): an odd width leaves one column
// uncovered, an odd height one row; with both axes shredded only the pixel where the two
// meet stays uncovered.
bool HalvesWidthOnly(int32_t n) {
  return n == 70 || n == 71;
}
bool HalvesHeightOnly(int32_t n) {
  return n == 81 || n == 82;
}
bool HalvesBoth(int32_t n) {
  return n == 111 || n == 112;
}
bool DrawsAtRandom(int32_t n) {
  return (n >= 68 && n <= 71) || (n >= 79 && n <= 82) || (n >= 103 && n <= 112) ||
         (n >= 125 && n <= 128);
}

// The generator's seed after `draws` calls from `seed`.
uint32_t SeedAfter(uint32_t seed, int64_t draws) {
  for (int64_t i = 0; i < draws; ++i) seed = seed * 134775813u + 1u;
  return seed;
}

struct SizeCase {
  int32_t W, H;
};

class BandAtFullProgress : public ::testing::TestWithParam<std::tuple<NumberedEffect, SizeCase>> {};

TEST_P(BandAtFullProgress, CoversTheWholePicture) {
  const auto [effect, size] = GetParam();
  SetRandSeed(777);
  const Bitmap work = RunFrame(effect.proc, NewPicture(size.W, size.H), 100);
  const Coverage c = Measure(work);
  EXPECT_EQ(c.wrong, 0);
  int64_t uncovered = 0;
  const bool oddW = size.W % 2 != 0, oddH = size.H % 2 != 0;
  if (HalvesWidthOnly(effect.number) && oddW) uncovered = size.H;
  if (HalvesHeightOnly(effect.number) && oddH) uncovered = size.W;
  if (HalvesBoth(effect.number) && oddW && oddH) uncovered = 1;
  EXPECT_EQ(c.fromOld, uncovered) << "effect " << effect.number;
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<NumberedEffect, SizeCase>>& info) {
  const NumberedEffect effect = std::get<0>(info.param);
  const SizeCase size = std::get<1>(info.param);
  return "No" + std::to_string(effect.number) + "_" + SizeName(size.W, size.H);
}

INSTANTIATE_TEST_SUITE_P(
    AllMembers, BandAtFullProgress,
    ::testing::Combine(::testing::ValuesIn(kBandEffects),
                       ::testing::Values(SizeCase{320, 240}, SizeCase{240, 320}, SizeCase{321, 241},
                                         SizeCase{500, 18}, SizeCase{17, 90})),
    CaseName);

TEST(BandEffects, OnlyShredsAndSpecklesShowNewAtZero) {
  for (const auto& effect : kBandEffects) {
    SetRandSeed(99);
    const Coverage c = Measure(RunFrame(effect.proc, NewPicture(200, 150), 0));
    EXPECT_EQ(c.wrong, 0);
    if (DrawsAtRandom(effect.number))
      EXPECT_GT(c.fromNew, 0) << "effect " << effect.number;
    else
      EXPECT_EQ(c.fromNew, 0) << "effect " << effect.number;
  }
}

TEST(BandEffects, TinyAndEmptyPicturesAreSafe) {
  for (const auto& effect : kBandEffects) {
    for (const SizeCase size : {SizeCase{0, 0}, SizeCase{1, 1}, SizeCase{1, 9}, SizeCase{9, 1}}) {
      for (int32_t percent : {0, 1, 50, 99, 100}) {
        const Bitmap work = RunFrame(effect.proc, NewPicture(size.W, size.H), percent);
        EXPECT_EQ(Measure(work).wrong, 0);
      }
    }
  }
}

TEST(BandEffects, OnlyRandomMembersDrawFromTheGenerator) {
  for (const auto& effect : kBandEffects) {
    if (effect.number == 129) continue;  // saves and restores the seed itself
    SetRandSeed(4242);
    RunFrame(effect.proc, NewPicture(120, 90), 40);
    if (DrawsAtRandom(effect.number))
      EXPECT_NE(RandSeed(), 4242u) << "effect " << effect.number;
    else
      EXPECT_EQ(RandSeed(), 4242u) << "effect " << effect.number;
  }
}

// --- Bars ------------------------------------------------------------------------------

TEST(BarsRegion, DoubleExtentCompletesEvenBandsAtHalfway) {
  const int32_t W = 300, H = 200, e = 200 / 50 + 1;
  const Bitmap work = RunFrame(BarsInFromRight, NewPicture(W, H), 50);
  for (int32_t x = 0; x < W; ++x) {
    EXPECT_TRUE(ShowsNew(work, x, 0));
    EXPECT_FALSE(ShowsNew(work, x, e));
  }
  // Past halfway the odd bands come in from the right.
  const Bitmap later = RunFrame(BarsInFromRight, NewPicture(W, H), 75);
  EXPECT_TRUE(ShowsNew(later, W - 1, e));
  EXPECT_FALSE(ShowsNew(later, 0, e));
}

TEST(BarsRegion, BothSidesAlternateBands) {
  ComplexRegion rgn;
  BarsRegion(rgn, 10, 0, 100, 100, 0, 3);
  const auto region = rgn.CreateRegion();
  ASSERT_TRUE(region.has_value());
  const int32_t e = 3;
  EXPECT_TRUE(region->Contains(95, 0));  // even band from the right
  EXPECT_FALSE(region->Contains(5, 0));
  EXPECT_TRUE(region->Contains(5, e));  // odd band from the left
  EXPECT_FALSE(region->Contains(95, e));
}

TEST(BarsRegion, ModeZeroOnBothAxesAddsNothing) {
  ComplexRegion rgn;
  BarsRegion(rgn, 0, 0, 100, 80, 0, 0);
  EXPECT_EQ(rgn.Count(), 0);
}

TEST(CrissCross, BottomLeftTopRightIsTheIntersectionOfTwoCrissCrosses) {
  const Bitmap newBmp = NewPicture(160, 120);
  for (int32_t percent : {10, 40, 60, 85}) {
    const Bitmap both = RunFrame(CrissCrossFromBottomLeftTopRight, newBmp, percent);
    const Bitmap a = RunFrame(CrissCrossFromBottomRight, newBmp, percent);
    const Bitmap b = RunFrame(CrissCrossFromTopLeft, newBmp, percent);
    int64_t shown = 0;
    for (int32_t y = 0; y < 120; ++y) {
      for (int32_t x = 0; x < 160; ++x) {
        const bool expected = ShowsNew(a, x, y) && ShowsNew(b, x, y);
        ASSERT_EQ(ShowsNew(both, x, y), expected) << x << "," << y << " at " << percent;
        shown += expected;
      }
    }
    EXPECT_GT(shown, 0);
  }
}

// The intersection of 102 never meets a builder without rectangles: with modes 1 and 2 every
// band adds one, and there is always at least one band, at every size and extent.
TEST(CrissCross, BothBuildersOfTheIntersectionAlwaysCollectRectangles) {
  for (int32_t W = 0; W <= 60; W += 3) {
    for (int32_t H = 0; H <= 60; H += 5) {
      for (int32_t percent = 0; percent <= 100; percent += 5) {
        int32_t w = 0, h = 0;
        ScaledExtents(W, H, percent, w, h);
        for (int32_t mode : {1, 2}) {
          ComplexRegion rgn;
          BarsRegion(rgn, 2 * w, 2 * h, W, H, mode, mode);
          EXPECT_GT(rgn.Count(), 0) << SizeName(W, H) << " at " << percent;
        }
      }
    }
  }
}

// --- Uneven shreds ---------------------------------------------------------------------

// A literal, pixel-level model of ShredRegion: which pixels each strip covers.
std::vector<uint8_t> ShredModel(int32_t ax, int32_t ay, int32_t W, int32_t H, int32_t vmode,
                                int32_t hmode) {
  std::vector<uint8_t> mask(static_cast<size_t>(W) * H, 0);
  auto fill = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
    for (int32_t y = std::max(t, 0); y < std::min(b, H); ++y)
      for (int32_t x = std::max(l, 0); x < std::min(r, W); ++x) mask[size_t(y) * W + x] = 1;
  };
  const int32_t e = std::min(W, H) / 200 + 1;
  if (hmode != 0) {
    const int32_t l = ax < W ? W / 10 : 0;
    for (int32_t o = 0; o < H; o += e) {
      const int32_t r = Random(2 * l) + ax - l;
      if (hmode == 1) fill(W - r, o, W, o + e + H % e);
      if (hmode == 2) fill(0, o, r, o + e + H % e);
    }
  }
  if (vmode != 0) {
    const int32_t l = ay < H ? H / 10 : 0;
    for (int32_t o = 0; o < W; o += e) {
      const int32_t r = Random(2 * l) + ay - l;
      if (vmode == 1) fill(o, H - r, o + e + W % e, H);
      if (vmode == 2) fill(o, 0, o + e + W % e, r);
    }
  }
  return mask;
}

TEST(ShredRegion, DrawsPerStripHorizontalFirst) {
  const int32_t W = 430, H = 250;  // e = 2, H mod e = 0, W mod e = 0
  const Bitmap newBmp = NewPicture(W, H);
  for (int32_t percent : {0, 30, 100}) {
    int32_t w = 0, h = 0;
    ScaledExtents(W, H, percent, w, h);
    SetRandSeed(20240601);
    const std::vector<uint8_t> mask = ShredModel(w, h, W, H, 1, 1);
    const uint32_t seedAfterModel = RandSeed();

    SetRandSeed(20240601);
    Bitmap work = OldPicture(W, H);
    UnevenShredFromBottomAndRight(work, newBmp, W, H, w, h, percent);
    // One draw per strip, also when the spread is 0 at 100 %.
    EXPECT_EQ(RandSeed(), seedAfterModel);
    EXPECT_EQ(RandSeed(), SeedAfter(20240601, 125 + 215));
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x)
        ASSERT_EQ(ShowsNew(work, x, y), mask[size_t(y) * W + x] != 0) << x << "," << y;
  }
}

TEST(ShredRegion, GoldenFrameWithFixedSeed) {
  const int32_t W = 256, H = 192;
  const Bitmap newBmp = NewPicture(W, H);
  SetRandSeed(12345);
  const Bitmap top = RunFrame(UnevenShredFromTopAndLeft, newBmp, 40);
  const Bitmap centre = RunFrame(UnevenShredToCentre, newBmp, 40);
  const Bitmap horizon = RunFrame(UnevenShredFromHorizon, newBmp, 40);
  EXPECT_EQ(PixelChecksum(top), 7712912478340529155ull);
  EXPECT_EQ(PixelChecksum(centre), 7287774191105077379ull);
  EXPECT_EQ(PixelChecksum(horizon), 12079651649113675395ull);
}

TEST(ShredRegion, StripsDifferBetweenFramesOfTheSamePercent) {
  const Bitmap newBmp = NewPicture(200, 150);
  SetRandSeed(5);
  const Bitmap first = RunFrame(UnevenShredFromLeft, newBmp, 50);
  const Bitmap second = RunFrame(UnevenShredFromLeft, newBmp, 50);
  EXPECT_NE(first, second);
}

TEST(ShredRegion, MiddleModesSplitAroundTheCentre) {
  SetRandSeed(1);
  ComplexRegion rgn;
  ShredRegion(rgn, 100, 0, 100, 50, 0, 3);  // full extent: no spread, r = 50
  const auto region = rgn.CreateRegion();
  ASSERT_TRUE(region.has_value());
  EXPECT_EQ(region->Bounds(), (Rect{0, 0, 100, 50}));
}

// --- Speckles --------------------------------------------------------------------------

TEST(SpeckleRegion, DrawsOncePerCandidateSquare) {
  const int32_t W = 400, H = 100;
  // g = 40, s = 2, count = 20, rows every 1 pixel.
  SetRandSeed(31337);
  ComplexRegion rgn;
  SpeckleRegion(rgn, 120, 0, W, H, 0, 1);
  EXPECT_EQ(RandSeed(), SeedAfter(31337, 20 * 100));
  // The front, and squares only ahead of it within the spread.
  const auto region = rgn.CreateRegion();
  ASSERT_TRUE(region.has_value());
  EXPECT_GE(region->Bounds().left, W - 120 - 40);
  EXPECT_TRUE(region->Contains(W - 1, 0));
  EXPECT_TRUE(region->Contains(W - 120, H - 1));
}

TEST(SpeckleRegion, SquaresNearTheFrontAreLikelier) {
  const int32_t W = 2000, H = 400;  // g = 200, s = 10, count = 20, near = 15
  SetRandSeed(8);
  ComplexRegion rgn;
  SpeckleRegion(rgn, 0, 0, W, H, 0, 2);
  int64_t nearSquares = 0, farSquares = 0;
  for (const Rect& r : rgn.Rects()) {
    if (r.IsEmpty()) continue;
    (r.left < 150 ? nearSquares : farSquares) += 1;
  }
  EXPECT_GT(nearSquares, 2 * farSquares);
  EXPECT_GT(farSquares, 0);
}

TEST(SpeckleRegion, FullExtentHasNoSquaresAndDrawsNothing) {
  SetRandSeed(3);
  ComplexRegion rgn;
  SpeckleRegion(rgn, 0, 300, 200, 300, 1, 0);
  EXPECT_EQ(RandSeed(), 3u);  // spread 0: no candidates
  const auto region = rgn.CreateRegion();
  ASSERT_TRUE(region.has_value());
  const Rect bounds = region->Bounds();
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_EQ(bounds.bottom, 300);
  EXPECT_GE(bounds.right, 200);  // the last column of squares reaches past the edge
}

// --- Random squares --------------------------------------------------------------------

TEST(RandomSquaresAppear, SameFrameForSamePercentAndSeedRestored) {
  const Bitmap newBmp = NewPicture(300, 200);
  SetRandSeed(1);
  const Bitmap first = RunFrame(RandomSquaresAppear, newBmp, 45);
  EXPECT_EQ(RandSeed(), 1u);
  SetRandSeed(987654321);
  const Bitmap second = RunFrame(RandomSquaresAppear, newBmp, 45);
  EXPECT_EQ(RandSeed(), 987654321u);
  EXPECT_EQ(first, second);
}

TEST(RandomSquaresAppear, SquaresAccumulate) {
  const Bitmap newBmp = NewPicture(300, 200);
  std::vector<Bitmap> frames;
  for (int32_t percent : {0, 20, 45, 70, 95, 100})
    frames.push_back(RunFrame(RandomSquaresAppear, newBmp, percent));
  for (size_t i = 1; i < frames.size(); ++i) {
    int64_t added = 0;
    for (int32_t y = 0; y < 200; ++y) {
      for (int32_t x = 0; x < 300; ++x) {
        if (ShowsNew(frames[i - 1], x, y)) {
          ASSERT_TRUE(ShowsNew(frames[i], x, y)) << x << "," << y;
        }
        added += ShowsNew(frames[i], x, y) && !ShowsNew(frames[i - 1], x, y);
      }
    }
    EXPECT_GT(added, 0) << "step " << i;
  }
}

TEST(RandomSquaresAppear, CellsAreWholeSquaresOnTheGrid) {
  const int32_t W = 300, H = 200, c = 2 * (200 / 50) + 2;
  const Bitmap work = RunFrame(RandomSquaresAppear, NewPicture(W, H), 50);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      ASSERT_EQ(ShowsNew(work, x, y), ShowsNew(work, x - x % c, y - y % c)) << x << "," << y;
}

// --- Blinds and rectangles -------------------------------------------------------------

TEST(Blinds, OpenSymmetricallyWithinTheirPeriod) {
  const int32_t W = 400, H = 100;                                       // n = 11, period 22
  const Bitmap work = RunFrame(BlindVertically, NewPicture(W, H), 50);  // a = 6
  EXPECT_FALSE(ShowsNew(work, 4, 0));
  EXPECT_TRUE(ShowsNew(work, 5, 0));
  EXPECT_TRUE(ShowsNew(work, 16, 50));
  EXPECT_FALSE(ShowsNew(work, 17, 99));
  EXPECT_TRUE(ShowsNew(work, 22 + 5, 0));
}

TEST(Blinds, UnevenFromRightGrowsLeftwardsFromEachEdge) {
  const int32_t W = 200, H = 100;
  const Bitmap work = RunFrame(UnevenBlindFromRight, NewPicture(W, H), 50);  // w = 100, a = 50
  EXPECT_TRUE(ShowsNew(work, 199, 0));
  EXPECT_TRUE(ShowsNew(work, 150, 0));
  EXPECT_FALSE(ShowsNew(work, 149, 0));
  EXPECT_TRUE(ShowsNew(work, 99, 0));
  EXPECT_FALSE(ShowsNew(work, 49, 0));
}

TEST(Rectangles, SmallOutputsStillOpenTheBlinds) {
  // Fewer than 20 rows: no bars, but the blinds complete the picture at the end.
  const Coverage c = Measure(RunFrame(RectanglesFromLeftToRight, NewPicture(200, 19), 60));
  EXPECT_GT(c.fromNew, 0);
  EXPECT_GT(c.fromOld, 0);
}

}  // namespace
}  // namespace vec

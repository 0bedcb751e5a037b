#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
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
  return RandomGenerator::StepsOf(static_cast<uint64_t>(draws)).Apply(seed);
}

struct SizeCase {
  int32_t W, H;
};

class BandAtFullProgress : public ::testing::TestWithParam<std::tuple<Effect, SizeCase>> {};

TEST_P(BandAtFullProgress, CoversTheWholePicture) {
  const auto [effect, size] = GetParam();
  SetRandSeed(777);
  const BottomUpBitmap work = RunFrame(effect, NewPicture(size.W, size.H), 100);
  const Coverage c = Measure(work);
  EXPECT_EQ(c.wrong, 0);
  int64_t uncovered = 0;
  const bool oddW = size.W % 2 != 0, oddH = size.H % 2 != 0;
  if (HalvesWidthOnly(effect.number) && oddW) uncovered = size.H;
  if (HalvesHeightOnly(effect.number) && oddH) uncovered = size.W;
  if (HalvesBoth(effect.number) && oddW && oddH) uncovered = 1;
  EXPECT_EQ(c.fromOld, uncovered) << "effect " << effect.number;
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Effect, SizeCase>>& info) {
  const Effect effect = std::get<0>(info.param);
  const SizeCase size = std::get<1>(info.param);
  return "No" + std::to_string(effect.number) + "_" + SizeName(size.W, size.H);
}

INSTANTIATE_TEST_SUITE_P(
    AllMembers, BandAtFullProgress,
    ::testing::Combine(::testing::ValuesIn(EffectsDrawnBy(BandRoutines())),
                       ::testing::Values(SizeCase{320, 240}, SizeCase{240, 320}, SizeCase{321, 241},
                                         SizeCase{500, 18}, SizeCase{17, 90})),
    CaseName);

TEST(BandEffects, OnlyShredsAndSpecklesShowNewAtZero) {
  for (const Effect& effect : EffectsDrawnBy(BandRoutines())) {
    SetRandSeed(99);
    const Coverage c = Measure(RunFrame(effect, NewPicture(200, 150), 0));
    EXPECT_EQ(c.wrong, 0);
    if (DrawsAtRandom(effect.number))
      EXPECT_GT(c.fromNew, 0) << "effect " << effect.number;
    else
      EXPECT_EQ(c.fromNew, 0) << "effect " << effect.number;
  }
}

TEST(BandEffects, TinyAndEmptyPicturesAreSafe) {
  for (const Effect& effect : EffectsDrawnBy(BandRoutines())) {
    for (const SizeCase size : {SizeCase{0, 0}, SizeCase{1, 1}, SizeCase{1, 9}, SizeCase{9, 1}}) {
      for (int32_t percent : {0, 1, 50, 99, 100}) {
        const BottomUpBitmap work = RunFrame(effect, NewPicture(size.W, size.H), percent);
        EXPECT_EQ(Measure(work).wrong, 0);
      }
    }
  }
}

TEST(BandEffects, OnlyRandomMembersDrawFromTheGenerator) {
  for (const Effect& effect : EffectsDrawnBy(BandRoutines())) {
    if (effect.number == 129) continue;  // saves and restores the seed itself
    SetRandSeed(4242);
    RunFrame(effect, NewPicture(120, 90), 40);
    if (DrawsAtRandom(effect.number))
      EXPECT_NE(RandSeed(), 4242u) << "effect " << effect.number;
    else
      EXPECT_EQ(RandSeed(), 4242u) << "effect " << effect.number;
  }
}

// --- Bars ------------------------------------------------------------------------------

TEST(BarsRegion, DoubleExtentCompletesEvenBandsAtHalfway) {
  const int32_t W = 300, H = 200, e = 200 / 50 + 1;
  const BottomUpBitmap work = RunFrame(EffectNamed("Bars in from right"), NewPicture(W, H), 50);
  for (int32_t x = 0; x < W; ++x) {
    EXPECT_TRUE(ShowsNew(work, x, 0));
    EXPECT_FALSE(ShowsNew(work, x, e));
  }
  // Past halfway the odd bands come in from the right.
  const BottomUpBitmap later = RunFrame(EffectNamed("Bars in from right"), NewPicture(W, H), 75);
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
  const BottomUpBitmap newBmp = NewPicture(160, 120);
  for (int32_t percent : {10, 40, 60, 85}) {
    const BottomUpBitmap both = RunFrame(CrissCrossFromBottomLeftTopRight, newBmp, percent);
    const BottomUpBitmap a =
        RunFrame(EffectNamed("Criss Cross from bottom right"), newBmp, percent);
    const BottomUpBitmap b = RunFrame(EffectNamed("Criss Cross from top left"), newBmp, percent);
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
  const BottomUpBitmap newBmp = NewPicture(W, H);
  for (int32_t percent : {0, 30, 100}) {
    int32_t w = 0, h = 0;
    ScaledExtents(W, H, percent, w, h);
    SetRandSeed(20240601);
    const std::vector<uint8_t> mask = ShredModel(w, h, W, H, 1, 1);
    const uint32_t seedAfterModel = RandSeed();

    SetRandSeed(20240601);
    BottomUpBitmap work = OldPicture(W, H);
    RevealShred(EffectFrame{work, newBmp, W, H, w, h, percent},
                {1, 1, 1, 1});  // from bottom and right
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
  const BottomUpBitmap newBmp = NewPicture(W, H);
  SetRandSeed(12345);
  const BottomUpBitmap top = RunFrame(EffectNamed("Uneven shred from top and left"), newBmp, 40);
  const BottomUpBitmap centre = RunFrame(EffectNamed("Uneven shred to centre"), newBmp, 40);
  const BottomUpBitmap horizon = RunFrame(EffectNamed("Uneven shred from horizon"), newBmp, 40);
  EXPECT_EQ(PixelChecksum(top), 7712912478340529155ull);
  EXPECT_EQ(PixelChecksum(centre), 7287774191105077379ull);
  EXPECT_EQ(PixelChecksum(horizon), 12079651649113675395ull);
}

TEST(ShredRegion, StripsDifferBetweenFramesOfTheSamePercent) {
  const BottomUpBitmap newBmp = NewPicture(200, 150);
  SetRandSeed(5);
  const BottomUpBitmap first = RunFrame(EffectNamed("Uneven shred from left"), newBmp, 50);
  const BottomUpBitmap second = RunFrame(EffectNamed("Uneven shred from left"), newBmp, 50);
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
  const BottomUpBitmap newBmp = NewPicture(300, 200);
  SetRandSeed(1);
  const BottomUpBitmap first = RunFrame(RandomSquaresAppear, newBmp, 45);
  EXPECT_EQ(RandSeed(), 1u);
  SetRandSeed(987654321);
  const BottomUpBitmap second = RunFrame(RandomSquaresAppear, newBmp, 45);
  EXPECT_EQ(RandSeed(), 987654321u);
  EXPECT_EQ(first, second);
}

TEST(RandomSquaresAppear, SquaresAccumulate) {
  const BottomUpBitmap newBmp = NewPicture(300, 200);
  std::vector<BottomUpBitmap> frames;
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
  const BottomUpBitmap work = RunFrame(RandomSquaresAppear, NewPicture(W, H), 50);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      ASSERT_EQ(ShowsNew(work, x, y), ShowsNew(work, x - x % c, y - y % c)) << x << "," << y;
}

// --- Blinds and rectangles -------------------------------------------------------------

TEST(Blinds, OpenSymmetricallyWithinTheirPeriod) {
  const int32_t W = 400, H = 100;                                               // n = 11, period 22
  const BottomUpBitmap work = RunFrame(BlindVertically, NewPicture(W, H), 50);  // a = 6
  EXPECT_FALSE(ShowsNew(work, 4, 0));
  EXPECT_TRUE(ShowsNew(work, 5, 0));
  EXPECT_TRUE(ShowsNew(work, 16, 50));
  EXPECT_FALSE(ShowsNew(work, 17, 99));
  EXPECT_TRUE(ShowsNew(work, 22 + 5, 0));
}

TEST(Blinds, UnevenFromRightGrowsLeftwardsFromEachEdge) {
  const int32_t W = 200, H = 100;
  const BottomUpBitmap work =
      RunFrame(UnevenBlindFromRight, NewPicture(W, H), 50);  // w = 100, a = 50
  EXPECT_TRUE(ShowsNew(work, 199, 0));
  EXPECT_TRUE(ShowsNew(work, 150, 0));
  EXPECT_FALSE(ShowsNew(work, 149, 0));
  EXPECT_TRUE(ShowsNew(work, 99, 0));
  EXPECT_FALSE(ShowsNew(work, 49, 0));
}

TEST(Rectangles, SmallOutputsStillOpenTheBlinds) {
  // Fewer than 20 rows: no bars, but the blinds complete the picture at the end.
  const Coverage c =
      Measure(RunFrame(EffectNamed("Rectangles from left to right"), NewPicture(200, 19), 60));
  EXPECT_GT(c.fromNew, 0);
  EXPECT_GT(c.fromOld, 0);
}

}  // namespace
}  // namespace vec

// Every band region member against a literal pixel model written from the rules of the
// family: each rectangle is painted into a mask (clipped to the picture), the mask picks
// New over Old. The model keeps its own copy of the generator, so the number and order of
// draws must agree too: the process-wide seed after the effect equals the model's.

namespace vec {
namespace {

using namespace testing_support;

// The model's draws: the generator on a private seed (base/Random.h, held to hand-worked
// values in RandomTest).
using ModelGenerator = RandomGenerator;

// a * b / c rounded half up, for the non-negative operands of this family.
int32_t ModelMulDiv(int32_t a, int32_t b, int32_t c) {
  const int64_t p = int64_t{a} * b;
  return static_cast<int32_t>((2 * p + c) / (2 * int64_t{c}));
}

struct Mask {
  int32_t W, H;
  std::vector<uint8_t> bits;
  bool added = false;
  Mask(int32_t w, int32_t h) : W(w), H(h), bits(static_cast<size_t>(w) * h, 0) {}
  void Add(int64_t l, int64_t t, int64_t r, int64_t b) {
    added = true;
    for (int64_t y = std::max<int64_t>(t, 0); y < std::min<int64_t>(b, H); ++y)
      for (int64_t x = std::max<int64_t>(l, 0); x < std::min<int64_t>(r, W); ++x)
        bits[static_cast<size_t>(y * W + x)] = 1;
  }
  bool At(int32_t x, int32_t y) const { return bits[static_cast<size_t>(y) * W + x] != 0; }
};

void ModelBars(Mask& m, int32_t ax, int32_t ay, int32_t vmode, int32_t hmode) {
  const int32_t W = m.W, H = m.H;
  const int32_t e = std::min(W, H) / 50 + 1;
  for (int32_t f = (W < ax ? e : 0); f < H + e; f += 2 * e) {
    if (W < ax) {
      if (hmode == 1 || hmode == 4) m.Add(2 * W - ax, f, W, f + e);
      if (hmode == 2 || hmode == 5) m.Add(0, f, ax - W, f + e);
      m.Add(0, f - e, W, f);
    } else {
      if (hmode == 1 || hmode == 5) m.Add(W - ax, f, W, f + e);
      if (hmode == 2 || hmode == 4) m.Add(0, f, ax, f + e);
      if (hmode == 3) {
        m.Add(0, f + e, ax, f + 2 * e);
        m.Add(W - ax, f, W, f + e);
      }
    }
  }
  for (int32_t g = (H < ay ? e : 0); g < W + e; g += 2 * e) {
    if (H < ay) {
      if (vmode == 1 || vmode == 4) m.Add(g, 2 * H - ay, g + e, H);
      if (vmode == 2 || vmode == 5) m.Add(g, 0, g + e, ay - H);
      m.Add(g - e, 0, g, H);
    } else {
      if (vmode == 1 || vmode == 5) m.Add(g, H - ay, g + e, H);
      if (vmode == 2 || vmode == 4) m.Add(g, 0, g + e, ay);
      if (vmode == 3) {
        m.Add(g, H - ay, g + e, H);
        m.Add(g + e, 0, g + 2 * e, ay);
      }
    }
  }
}

void ModelShred(Mask& m, ModelGenerator& gen, int32_t ax, int32_t ay, int32_t vmode,
                int32_t hmode) {
  const int32_t W = m.W, H = m.H;
  const int32_t e = std::min(W, H) / 200 + 1;
  const int32_t mid = W / 2;
  if (hmode != 0) {
    const int32_t l = ax < W ? W / 10 : 0;
    for (int32_t o = 0; o < H; o += e) {
      int32_t r = gen.Below(2 * l) + ax - l;
      const int32_t t = o + e + H % e;
      if (hmode == 1) {
        m.Add(W - r, o, W, t);
      } else if (hmode == 2) {
        m.Add(0, o, r, t);
      } else {
        r = r / 2;
        if (hmode == 3) {
          m.Add(mid - r, o, mid, t);
          m.Add(mid, o, mid + r, t);
        } else {
          m.Add(W - r, o, W, t);
          m.Add(0, o, r, t);
        }
      }
    }
  }
  if (vmode != 0) {
    const int32_t l = ay < H ? H / 10 : 0;
    for (int32_t o = 0; o < W; o += e) {
      int32_t r = gen.Below(2 * l) + ay - l;
      const int32_t t = o + e + W % e;
      if (vmode == 1) {
        m.Add(o, H - r, t, H);
      } else if (vmode == 2) {
        m.Add(o, 0, t, r);
      } else {
        r = r / 2;
        if (vmode == 3) {
          m.Add(o, H / 2 - r, t, H / 2);
          m.Add(o, H / 2, t, H / 2 + r);
        } else {
          m.Add(o, H - r, t, H);
          m.Add(o, 0, t, r);
        }
      }
    }
  }
}

void ModelSpeckle(Mask& m, ModelGenerator& gen, int32_t ax, int32_t ay, int32_t vmode,
                  int32_t hmode) {
  const int32_t W = m.W, H = m.H;
  auto taken = [&gen](int32_t i, int32_t near) {
    const int32_t v = gen.Below(i);
    return i <= near ? v <= 1 : v == 0;
  };
  if (hmode != 0) {
    const int32_t g = ax < W ? W / 10 : 0;
    const int32_t s = std::max(g / 20, 2);
    const int32_t count = g / s, near = (3 * g) / (4 * s);
    for (int32_t row = 0; row < H; row += s / 2) {
      if (hmode == 1) {
        m.Add(W - ax, row, W, row + s);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(W - ax - s * i, row, W - ax - s * i + s, row + s);
      } else {
        m.Add(0, row, ax, row + s);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(ax + s * i - s, row, ax + s * i, row + s);
      }
    }
  }
  if (vmode != 0) {
    const int32_t g = ay < H ? H / 10 : 0;
    const int32_t s = std::max(g / 20, 2);
    const int32_t count = g / s, near = (3 * g) / (4 * s);
    for (int32_t col = 0; col < W; col += s / 2) {
      if (vmode == 1) {
        m.Add(col, H - ay, col + s, H);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(col, H - ay - s * i, col + s, H - ay - s * i + s);
      } else {
        m.Add(col, 0, col + s, ay);
        for (int32_t i = count; i >= 1; --i)
          if (taken(i, near)) m.Add(col, ay + s * i - s, col + s, ay + s * i);
      }
    }
  }
}

// The mask of member `n` and whether any rectangle was collected (no region otherwise).
Mask ModelMember(int32_t n, int32_t W, int32_t H, int32_t w, int32_t h, int32_t P,
                 ModelGenerator& gen) {
  Mask m(W, H);
  struct Modes {
    int32_t ax, ay, vmode, hmode;
  };
  const std::map<int32_t, Modes> bars = {
      {63, {2 * w, 0, 0, 1}},     {64, {2 * w, 0, 0, 2}},     {65, {2 * w, 0, 0, 4}},
      {66, {2 * w, 0, 0, 5}},     {67, {w, 0, 0, 3}},         {74, {0, 2 * h, 1, 0}},
      {75, {0, 2 * h, 2, 0}},     {76, {0, 2 * h, 4, 0}},     {77, {0, 2 * h, 5, 0}},
      {78, {0, h, 3, 0}},         {89, {2 * w, 2 * h, 1, 1}}, {90, {2 * w, 2 * h, 2, 1}},
      {91, {2 * w, 2 * h, 1, 2}}, {92, {2 * w, 2 * h, 2, 2}}, {93, {2 * w, 2 * h, 4, 4}},
      {94, {2 * w, 2 * h, 5, 4}}, {95, {2 * w, 2 * h, 4, 5}}, {96, {2 * w, 2 * h, 5, 5}},
      {97, {w, h, 3, 1}},         {98, {w, h, 3, 2}},         {99, {w, h, 1, 3}},
      {100, {w, h, 2, 3}},        {101, {w, h, 3, 3}},
  };
  const std::map<int32_t, Modes> shreds = {
      {68, {w, 0, 0, 1}},  {69, {w, 0, 0, 2}},  {70, {w, 0, 0, 3}},  {71, {w, 0, 0, 4}},
      {79, {0, h, 1, 0}},  {80, {0, h, 2, 0}},  {81, {0, h, 3, 0}},  {82, {0, h, 4, 0}},
      {103, {w, h, 1, 1}}, {104, {w, h, 2, 1}}, {105, {w, h, 1, 2}}, {106, {w, h, 2, 2}},
      {107, {w, h, 3, 1}}, {108, {w, h, 3, 2}}, {109, {w, h, 1, 3}}, {110, {w, h, 2, 3}},
      {111, {w, h, 3, 3}}, {112, {w, h, 4, 4}},
  };
  const std::map<int32_t, Modes> speckles = {
      {125, {w, h, 0, 1}}, {126, {w, h, 0, 2}}, {127, {w, h, 1, 0}}, {128, {w, h, 2, 0}}};

  if (auto it = bars.find(n); it != bars.end()) {
    ModelBars(m, it->second.ax, it->second.ay, it->second.vmode, it->second.hmode);
  } else if (n == 102) {
    Mask a(W, H), b(W, H);
    ModelBars(a, 2 * w, 2 * h, 1, 1);
    ModelBars(b, 2 * w, 2 * h, 2, 2);
    m.added = a.added && b.added;
    for (size_t i = 0; i < m.bits.size(); ++i) m.bits[i] = a.bits[i] & b.bits[i];
  } else if (auto it2 = shreds.find(n); it2 != shreds.end()) {
    ModelShred(m, gen, it2->second.ax, it2->second.ay, it2->second.vmode, it2->second.hmode);
  } else if (auto it3 = speckles.find(n); it3 != speckles.end()) {
    ModelSpeckle(m, gen, it3->second.ax, it3->second.ay, it3->second.vmode, it3->second.hmode);
  } else if (n == 129) {
    const int32_t u = std::min(W, H) / 50;
    ModelGenerator own{static_cast<uint32_t>((u + 1) * (W + H))};
    const int32_t c = 2 * u + 2;
    for (int32_t x = 0; x < W; x += c)
      for (int32_t y = 0; y < H; y += c)
        if (own.Below(100) < P) m.Add(x, y, x + c, y + c);
  } else if (n == 138) {
    const int32_t k = W / 40 + 1, a = ModelMulDiv(k, P, 100);
    for (int32_t x = 0; x < W; x += 2 * (W / 40) + 2) m.Add(x + k - a, 0, x + k + a, H);
  } else if (n == 139) {
    const int32_t k = H / 40 + 1, a = ModelMulDiv(k, P, 100);
    for (int32_t y = 0; y < H; y += 2 * (H / 40) + 2) m.Add(0, y + k - a, W, y + k + a);
  } else if (n == 140 && w != 0) {
    const int32_t a = ModelMulDiv(w, P, 100);
    for (int32_t x = 0; x < W; x += w) m.Add(x, 0, x + a, H);
  } else if (n == 141 && w != 0) {
    const int32_t a = ModelMulDiv(w, P, 100);
    for (int32_t x = W; x > 0; x -= w) m.Add(x - a, 0, x, H);
  } else if (n == 142 && h != 0) {
    const int32_t a = ModelMulDiv(h, P, 100);
    for (int32_t y = 0; y < H; y += h) m.Add(0, y, W, y + a);
  } else if (n == 143 && h != 0) {
    const int32_t a = ModelMulDiv(h, P, 100);
    for (int32_t y = H; y > 0; y -= h) m.Add(0, y - a, W, y);
  } else if (n == 144) {
    const int32_t k = std::min(W, H) / 10 + 1, a = ModelMulDiv(k, P, 100);
    for (int32_t x = 0; x < W; x += 2 * k)
      for (int32_t y = 0; y < H; y += 2 * k) m.Add(x + k - a, y + k - a, x + k + a, y + k + a);
  } else if ((n == 145 || n == 146) && w != 0 && H / 20 != 0) {
    const int32_t k = H / 20, a = ModelMulDiv(k, P, 100);
    for (int32_t y = -k; y < H; y += 3 * k) m.Add(0, y - a, W, y + a);
    const int32_t b = ModelMulDiv(w, P, 100);
    if (n == 145) {
      for (int32_t x = 0; x < W; x += w) m.Add(x, 0, x + b, H);
    } else {
      for (int32_t x = W; x > 0; x -= w) m.Add(x - b, 0, x, H);
    }
  } else if ((n == 147 || n == 148) && h != 0 && W / 20 != 0) {
    const int32_t k = W / 20, a = ModelMulDiv(k, P, 100);
    for (int32_t x = -k; x < W; x += 3 * k) m.Add(x - a, 0, x + a, H);
    const int32_t b = ModelMulDiv(h, P, 100);
    if (n == 147) {
      for (int32_t y = 0; y < H; y += h) m.Add(0, y, W, y + b);
    } else {
      for (int32_t y = H; y > 0; y -= h) m.Add(0, y - b, W, y);
    }
  }
  return m;
}

struct ModelSize {
  int32_t W, H;
};

// Sizes from 20 rows and columns up (below that the rectangle grids deliberately keep
// opening their blinds), odd and even, wide and tall.
constexpr ModelSize kModelSizes[] = {{320, 240}, {241, 321}, {640, 480}, {53, 37},
                                     {199, 20},  {20, 77},   {1001, 99}, {160, 161}};
constexpr int32_t kModelPercents[] = {0, 1, 7, 25, 33, 49, 50, 51, 66, 75, 99, 100};

TEST(BandEffectModel, EveryMemberMatchesTheLiteralModel) {
  for (const ModelSize size : kModelSizes) {
    const int32_t W = size.W, H = size.H;
    const BottomUpBitmap newBmp = NewPicture(W, H);
    const BottomUpBitmap oldBmp = OldPicture(W, H);
    for (const int32_t P : kModelPercents) {
      int32_t w = 0, h = 0;
      ScaledExtents(W, H, P, w, h);
      for (const Effect& effect : EffectsDrawnBy(BandRoutines())) {
        const uint32_t seed =
            0x9E3779B9u ^ static_cast<uint32_t>(effect.number * 7919 + P * 31 + W);
        ModelGenerator gen{seed};
        const Mask m = ModelMember(effect.number, W, H, w, h, P, gen);

        SetRandSeed(seed);
        BottomUpBitmap work = oldBmp;
        effect.Draw(EffectFrame{work, newBmp, W, H, w, h, P});
        EXPECT_EQ(RandSeed(), gen.Seed())
            << "draws of effect " << effect.number << " at " << SizeName(W, H) << " " << P << "%";
        int64_t mismatches = 0;
        int32_t firstX = -1, firstY = -1;
        for (int32_t y = 0; y < H; ++y) {
          for (int32_t x = 0; x < W; ++x) {
            const Pixel expected = m.At(x, y) ? newBmp.GetPixel(x, y) : oldBmp.GetPixel(x, y);
            if (work.GetPixel(x, y) != expected) {
              if (mismatches++ == 0) firstX = x, firstY = y;
            }
          }
        }
        EXPECT_EQ(mismatches, 0) << "effect " << effect.number << " at " << SizeName(W, H) << " "
                                 << P << "%, first at " << firstX << "," << firstY;
      }
    }
  }
}

}  // namespace
}  // namespace vec

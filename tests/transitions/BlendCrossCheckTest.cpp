// The blend and pixel effects held, at odd and tiny sizes and at every percent, to plain
// transcriptions of their steps: per-byte blends, the shared generator drawn pixel by pixel
// from seed W + H, the pivot's 16.16 arithmetic with 32-bit products, and the zoom drawn with
// the pixel-by-pixel reference stretch.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "base/MathUtil.h"
#include "base/Random.h"
#include "graphics/Blit.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/BlendEffects.h"

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

Bitmap ExpectedFade(const Bitmap& oldBmp, const Bitmap& newBmp, int32_t percent) {
  Bitmap work = oldBmp;
  const int32_t alpha = MulDiv(256, percent, 100);
  for (int32_t y = 0; y < work.Height(); ++y)
    for (int32_t x = 0; x < work.Width(); ++x)
      work.SetPixel(x, y, BlendOne(work.GetPixel(x, y), newBmp.GetPixel(x, y), alpha));
  return work;
}

// Pixel by pixel in block order (bottom row first), one draw of the shared generator each.
Bitmap ExpectedDissolve(const Bitmap& oldBmp, const Bitmap& newBmp, int32_t percent) {
  Bitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const uint32_t saved = RandSeed();
  SetRandSeed(static_cast<uint32_t>(W + H));
  for (int32_t y = H - 1; y >= 0; --y)
    for (int32_t x = 0; x < W; ++x)
      if (Random(100) < percent) work.SetPixel(x, y, newBmp.GetPixel(x, y));
  SetRandSeed(saved);
  return work;
}

Bitmap ExpectedBars(bool vertical, const Bitmap& oldBmp, const Bitmap& newBmp, int32_t percent) {
  Bitmap work = oldBmp;
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

Bitmap ExpectedPivot(int32_t n, const Bitmap& oldBmp, const Bitmap& newBmp, int32_t percent) {
  Bitmap work = oldBmp;
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

Bitmap ExpectedPixelate(const Bitmap& oldBmp, const Bitmap& newBmp, int32_t percent) {
  Bitmap work = oldBmp;
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

Bitmap Expected(int32_t n, const Bitmap& oldBmp, const Bitmap& newBmp, int32_t percent) {
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
    const Bitmap oldBmp = Pattern(W, H, 31), newBmp = Pattern(W, H, 32);
    for (int32_t n : {1, 2, 3, 121, 122, 123, 124, 168, 169})
      for (int32_t percent = 0; percent <= 100; ++percent) {
        SetRandSeed(4242);
        const Bitmap got = RunEffect(n, oldBmp, newBmp, percent);
        ASSERT_EQ(RandSeed(), 4242u) << "effect " << n;
        ASSERT_EQ(got, Expected(n, oldBmp, newBmp, percent))
            << "effect " << n << " at " << percent << "% on " << W << "x" << H;
      }
  }
}

TEST(BlendCrossCheck, EveryPixelEffectOnAScreenSizedOddPicture) {
  const int32_t W = 1023, H = 767;
  const Bitmap oldBmp = Pattern(W, H, 41), newBmp = Pattern(W, H, 42);
  for (int32_t n : {1, 2, 3, 121, 122, 123, 124, 168, 169})
    for (int32_t percent : {20, 45, 55, 80})
      ASSERT_EQ(RunEffect(n, oldBmp, newBmp, percent), Expected(n, oldBmp, newBmp, percent))
          << "effect " << n << " at " << percent << "%";
}

TEST(BlendCrossCheck, FadeOfOnePixelByHand) {
  // 37 %: alpha = MulDiv(256, 37, 100) = 94.72 -> 95. Red 10 -> 250: 10 + (95 * 240 >> 8) =
  // 10 + 89 = 99. Green 200 -> 0: 200 + (-19000 >> 8) = 200 - 75 = 125 (the shift rounds
  // down). Blue 7 -> 7 stays. The fourth byte 0x5A is Old's.
  Bitmap oldBmp(1, 1), newBmp(1, 1);
  oldBmp.SetPixel(0, 0, MakePixel(10, 200, 7, 0x5A));
  newBmp.SetPixel(0, 0, MakePixel(250, 0, 7, 0xC3));
  EXPECT_EQ(RunEffect(1, oldBmp, newBmp, 37).GetPixel(0, 0), MakePixel(99, 125, 7, 0x5A));
}

TEST(BlendCrossCheck, DissolveOfTwoByThreeByHand) {
  // Seed W + H = 5. Each draw: seed = seed * 134775813 + 1 (mod 2^32), value 100 * seed >> 32:
  // 673879066 -> 15, 771902595 -> 17, 2442594960 -> 56, 2380625105 -> 55, 1144982550 -> 26,
  // 3894842479 -> 90. Block order is the bottom row first: (0,2) (1,2) (0,1) (1,1) (0,0)
  // (1,0). At 50 % the draws 15, 17 and 26 take New.
  uint32_t seed = 5;
  std::vector<int32_t> draws;
  for (int i = 0; i < 6; ++i) {
    seed = seed * 134775813u + 1u;
    draws.push_back(static_cast<int32_t>((uint64_t{100} * seed) >> 32));
  }
  ASSERT_EQ(draws, (std::vector<int32_t>{15, 17, 56, 55, 26, 90}));
  const Bitmap oldBmp = Pattern(2, 3, 1), newBmp = Pattern(2, 3, 2);
  const Bitmap work = RunEffect(3, oldBmp, newBmp, 50);
  EXPECT_EQ(work.GetPixel(0, 2), newBmp.GetPixel(0, 2));
  EXPECT_EQ(work.GetPixel(1, 2), newBmp.GetPixel(1, 2));
  EXPECT_EQ(work.GetPixel(0, 1), oldBmp.GetPixel(0, 1));
  EXPECT_EQ(work.GetPixel(1, 1), oldBmp.GetPixel(1, 1));
  EXPECT_EQ(work.GetPixel(0, 0), newBmp.GetPixel(0, 0));
  EXPECT_EQ(work.GetPixel(1, 0), oldBmp.GetPixel(1, 0));
  // Random bars from the same draws: rows bottom first (rows 2 and 1 taken at 25 %, row 0 with
  // 56 not), columns left to right (column 0 with 15 taken at 16 %, column 1 with 17 not).
  const Bitmap rows = RunEffect(168, oldBmp, newBmp, 25);
  const Bitmap cols = RunEffect(169, oldBmp, newBmp, 16);
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
  const Bitmap oldBmp = Pattern(6, 4, 1), newBmp = Pattern(6, 4, 2);
  const Bitmap work = RunEffect(121, oldBmp, newBmp, 60);
  struct At {
    int32_t x, y, sx, sy;
  };
  const At fromNew[] = {{0, 0, 3, 2}, {1, 0, 4, 2}, {2, 0, 5, 3}, {3, 0, 5, 3},
                        {0, 1, 2, 2}, {1, 1, 3, 3}, {0, 2, 2, 3}};
  Bitmap want = oldBmp;
  for (const At& a : fromNew) want.SetPixel(a.x, a.y, newBmp.GetPixel(a.sx, a.sy));
  EXPECT_EQ(work, want);
  // 122 turns the other way about (-1, H): only the lower left corner shows New.
  const Bitmap other = RunEffect(122, oldBmp, newBmp, 60);
  want = oldBmp;
  want.SetPixel(0, 2, newBmp.GetPixel(1, 0));
  want.SetPixel(0, 3, newBmp.GetPixel(2, 1));
  want.SetPixel(1, 3, newBmp.GetPixel(3, 0));
  want.SetPixel(2, 3, newBmp.GetPixel(3, 0));
  EXPECT_EQ(other, want);
}

}  // namespace
}  // namespace vec

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "graphics/Blit.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/Shade.h"
#include "transitions/WipeEffects.h"

namespace vec {
namespace {

using testing::FromNew;
using testing::FromOld;
using testing::Matches;
using testing::Pattern;
using testing::RunEffect;
using testing::Source;

std::vector<int32_t> WipeNumbers() {
  std::vector<int32_t> n;
  for (int32_t i = 4; i <= 60; ++i) n.push_back(i);
  for (int32_t i = 130; i <= 137; ++i) n.push_back(i);
  return n;
}

// Members that halve w (or h): on an odd width (height) they leave or shift one column (row).
const std::set<int32_t> kHalvesWidth = {15, 16, 57, 58, 59, 60};
const std::set<int32_t> kHalvesHeight = {32, 33, 57, 58, 59, 60};

Pixel Shaded(Pixel p, int32_t offset) {
  auto add = [&](uint8_t b) { return static_cast<uint8_t>(std::clamp(b + offset, 0, 255)); };
  return MakePixel(add(PixelR(p)), add(PixelG(p)), add(PixelB(p)), PixelA(p));
}

// --- Progress 100 and 0 -------------------------------------------------------------------

TEST(WipeEffects, AtFullProgressEveryMemberShowsNew) {
  const std::pair<int32_t, int32_t> sizes[] = {{40, 30}, {30, 40}, {41, 31}, {2, 2},
                                               {1, 1},   {7, 2},   {2, 7},   {64, 64}};
  for (const auto& [W, H] : sizes) {
    const Bitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
    for (int32_t n : WipeNumbers()) {
      if ((W % 2 && kHalvesWidth.count(n)) || (H % 2 && kHalvesHeight.count(n))) continue;
      EXPECT_EQ(RunEffect(n, oldBmp, newBmp, 100), newBmp)
          << "effect " << n << " at " << W << "x" << H;
    }
  }
}

struct OddCase {
  int32_t n;
  testing::SourceMap map;
};

TEST(WipeEffects, OnOddSizesTheHalvingMembersLeaveOrShiftTheMiddle) {
  // 41 x 31: hw = hW = 20, hh = hH = 15; the middle column is 20, the middle row 15.
  const int32_t W = 41, H = 31;
  auto shift = [](int32_t v, int32_t half) { return v > half ? v - 1 : v; };
  const OddCase cases[] = {
      {15, [](int32_t x, int32_t y) { return x == 20 ? FromOld(x, y) : FromNew(x, y); }},
      {16,
       [&](int32_t x, int32_t y) { return x == 20 ? FromOld(x, y) : FromNew(shift(x, 20), y); }},
      {32, [](int32_t x, int32_t y) { return y == 15 ? FromOld(x, y) : FromNew(x, y); }},
      {33,
       [&](int32_t x, int32_t y) { return y == 15 ? FromOld(x, y) : FromNew(x, shift(y, 15)); }},
      {57, [](int32_t x, int32_t y) { return x == 20 && y == 15 ? FromOld(x, y) : FromNew(x, y); }},
      {58, [](int32_t x, int32_t y) { return x == 20 || y == 15 ? FromOld(x, y) : FromNew(x, y); }},
      {59,
       [&](int32_t x, int32_t y) {
         return x == 20 || y == 15 ? FromOld(x, y) : FromNew(shift(x, 20), shift(y, 15));
       }},
      // The quarters slide to the middle: the lower right quarter lands one column right of
      // where the upper right one does, the lower left one row below the upper left.
      {60,
       [](int32_t x, int32_t y) -> Source {
         if (y < 15) return x < 40 ? FromNew(x, y) : FromOld(x, y);
         if (y < 30 && x >= 21) return FromNew(x - 1, y);
         if (y >= 16 && x < 20) return FromNew(x, y - 1);
         return FromOld(x, y);
       }},
  };
  const Bitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  for (const auto& c : cases)
    EXPECT_TRUE(Matches(RunEffect(c.n, oldBmp, newBmp, 100), oldBmp, newBmp, c.map))
        << "effect " << c.n;
}

TEST(WipeEffects, RevealInToCentreNeedsBothSidesOddToKeepAPixel) {
  const Bitmap oldBmp = Pattern(41, 30, 1), newBmp = Pattern(41, 30, 2);
  EXPECT_EQ(RunEffect(57, oldBmp, newBmp, 100), newBmp);
}

TEST(WipeEffects, AtZeroProgressOnlyTheBuildUpsDraw) {
  const Bitmap oldBmp = Pattern(40, 30, 1), newBmp = Pattern(40, 30, 2);
  for (int32_t n : WipeNumbers()) {
    const Bitmap work = RunEffect(n, oldBmp, newBmp, 0);
    if (n == 19 || n == 20 || n == 36 || n == 37)
      EXPECT_NE(work, oldBmp) << "effect " << n;
    else
      EXPECT_EQ(work, oldBmp) << "effect " << n;
  }
  // 19 fills the screen with New's first tenth stretched; 20 with its last tenth.
  EXPECT_TRUE(Matches(RunEffect(19, oldBmp, newBmp, 0), oldBmp, newBmp, [](int32_t x, int32_t y) {
    return FromNew(static_cast<int32_t>(StretchSourceIndex(4, 40, x, true)), y);
  }));
  EXPECT_TRUE(Matches(RunEffect(20, oldBmp, newBmp, 0), oldBmp, newBmp, [](int32_t x, int32_t y) {
    return FromNew(36 + static_cast<int32_t>(StretchSourceIndex(4, 40, x, true)), y);
  }));
  EXPECT_TRUE(Matches(RunEffect(36, oldBmp, newBmp, 0), oldBmp, newBmp, [](int32_t x, int32_t y) {
    return FromNew(x, static_cast<int32_t>(StretchSourceIndex(3, 30, y, false)));
  }));
}

TEST(WipeEffects, ZeroSizeDrawsNothing) {
  for (const auto& [W, H] : {std::pair{0, 0}, std::pair{5, 0}, std::pair{0, 5}}) {
    for (int32_t n : WipeNumbers()) {
      for (int32_t percent : {0, 50, 100}) {
        Bitmap oldBmp(W, H), newBmp(W, H);
        EXPECT_EQ(RunEffect(n, oldBmp, newBmp, percent), oldBmp) << n;
      }
    }
  }
}

// --- Placement at 25 % --------------------------------------------------------------------

struct PlacementCase {
  int32_t n;
  testing::SourceMap map;
};

TEST(WipeEffects, CopiesLandWhereTheirFormulasPutThem) {
  // 40 x 30 at 25 %: w = 10, h = 8 (7.5 rounded away from zero).
  auto in = [](int32_t v, int32_t lo, int32_t hi) { return v >= lo && v < hi; };
  auto pick = [](bool fromNew, Source s, int32_t x, int32_t y) {
    return fromNew ? s : FromOld(x, y);
  };
  const PlacementCase cases[] = {
      {6, [&](int32_t x, int32_t y) { return pick(x >= 30, FromNew(x - 30, y), x, y); }},
      {7, [&](int32_t x, int32_t y) { return pick(x < 10, FromNew(x + 30, y), x, y); }},
      {8, [&](int32_t x, int32_t y) { return pick(x < 10, FromNew(x, y), x, y); }},
      {9, [&](int32_t x, int32_t y) { return pick(x >= 30, FromNew(x, y), x, y); }},
      {14, [&](int32_t x, int32_t y) { return pick(in(x, 15, 25), FromNew(x, y), x, y); }},
      {15, [&](int32_t x, int32_t y) { return pick(x < 5 || x >= 35, FromNew(x, y), x, y); }},
      {23, [&](int32_t x, int32_t y) { return pick(y >= 22, FromNew(x, y - 22), x, y); }},
      {24, [&](int32_t x, int32_t y) { return pick(y < 8, FromNew(x, y + 22), x, y); }},
      {25, [&](int32_t x, int32_t y) { return pick(y < 8, FromNew(x, y), x, y); }},
      {26, [&](int32_t x, int32_t y) { return pick(y >= 22, FromNew(x, y), x, y); }},
      {31, [&](int32_t x, int32_t y) { return pick(in(y, 11, 19), FromNew(x, y), x, y); }},
      {32, [&](int32_t x, int32_t y) { return pick(y < 4 || y >= 26, FromNew(x, y), x, y); }},
      {42, [&](int32_t x,
               int32_t y) { return pick(x >= 30 && y >= 22, FromNew(x - 30, y - 22), x, y); }},
      {43,
       [&](int32_t x, int32_t y) { return pick(x >= 30 && y < 8, FromNew(x - 30, y + 22), x, y); }},
      {44,
       [&](int32_t x, int32_t y) { return pick(x < 10 && y < 8, FromNew(x + 30, y + 22), x, y); }},
      {45, [&](int32_t x,
               int32_t y) { return pick(x < 10 && y >= 22, FromNew(x + 30, y - 22), x, y); }},
      {46, [&](int32_t x, int32_t y) { return pick(x < 10 && y < 8, FromNew(x, y), x, y); }},
      {47, [&](int32_t x, int32_t y) { return pick(x < 10 && y >= 22, FromNew(x, y), x, y); }},
      {48, [&](int32_t x, int32_t y) { return pick(x >= 30 && y >= 22, FromNew(x, y), x, y); }},
      {49, [&](int32_t x, int32_t y) { return pick(x >= 30 && y < 8, FromNew(x, y), x, y); }},
      {56, [&](int32_t x,
               int32_t y) { return pick(in(x, 15, 25) && in(y, 11, 19), FromNew(x, y), x, y); }},
      {57, [&](int32_t x,
               int32_t y) { return pick(!(in(x, 5, 35) && in(y, 4, 26)), FromNew(x, y), x, y); }},
      {58,
       [&](int32_t x, int32_t y) {
         return pick((x < 5 || x >= 35) && (y < 4 || y >= 26), FromNew(x, y), x, y);
       }},
      {60,
       [&](int32_t x, int32_t y) -> Source {
         if (x < 5 && y < 15) return FromNew(x + 15, y);
         if (x >= 20 && y < 4) return FromNew(x, y + 11);
         if (x >= 35 && y >= 15) return FromNew(x - 15, y);
         if (x < 20 && y >= 26) return FromNew(x, y - 11);
         return FromOld(x, y);
       }},
      // Pushes: the old picture moves aside by the extent.
      {130, [](int32_t x, int32_t y) { return x < 10 ? FromNew(x + 30, y) : FromOld(x - 10, y); }},
      {131, [](int32_t x, int32_t y) { return x < 30 ? FromOld(x + 10, y) : FromNew(x - 30, y); }},
      {134, [](int32_t x, int32_t y) { return y < 8 ? FromNew(x, y + 22) : FromOld(x, y - 8); }},
      {135, [](int32_t x, int32_t y) { return y < 22 ? FromOld(x, y + 8) : FromNew(x, y - 22); }},
      // Stretches, by the platform's rule of which source pixel a destination pixel shows.
      {5,
       [](int32_t x, int32_t y) {
         return x < 10 ? FromNew(static_cast<int32_t>(StretchSourceIndex(40, 10, x, true)), y)
                       : FromOld(x, y);
       }},
      {11,
       [](int32_t x, int32_t y) {
         return FromNew(30 + static_cast<int32_t>(StretchSourceIndex(10, 70, x + 30, true)), y);
       }},
      {22,
       [](int32_t x, int32_t y) {
         return y < 8 ? FromNew(x, static_cast<int32_t>(StretchSourceIndex(30, 8, y, false)))
                      : FromOld(x, y);
       }},
      {52,
       [](int32_t x, int32_t y) {
         return FromNew(30 + static_cast<int32_t>(StretchSourceIndex(10, 70, x + 30, true)),
                        22 + static_cast<int32_t>(StretchSourceIndex(8, 52, y + 22, false)));
       }},
  };
  const Bitmap oldBmp = Pattern(40, 30, 1), newBmp = Pattern(40, 30, 2);
  for (const auto& c : cases)
    EXPECT_TRUE(Matches(RunEffect(c.n, oldBmp, newBmp, 25), oldBmp, newBmp, c.map))
        << "effect " << c.n;
}

TEST(WipeEffects, SqueezesMoveOldAsThroughATemporaryBitmap) {
  const int32_t W = 40, H = 30, w = 10, h = 8;
  const Bitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  struct Case {
    int32_t n;
    int32_t dx, dy, dw, dh;          // where Old is squeezed to
    int32_t cx, cy, cw, ch, sx, sy;  // the copy of New
  };
  const Case cases[] = {
      {132, w, 0, W - w, H, 0, 0, w, H, W - w, 0},
      {133, 0, 0, W - w, H, W - w, 0, w, H, 0, 0},
      {136, 0, h, W, H - h, 0, 0, W, h, 0, H - h},
      {137, 0, 0, W, H - h, 0, H - h, W, h, 0, 0},
  };
  for (const auto& c : cases) {
    Bitmap want = oldBmp;
    const Bitmap temporary = oldBmp;
    StretchBlt(want, c.dx, c.dy, c.dw, c.dh, temporary, 0, 0, W, H);
    BitBlt(want, c.cx, c.cy, c.cw, c.ch, newBmp, c.sx, c.sy);
    EXPECT_EQ(RunEffect(c.n, oldBmp, newBmp, 25), want) << "effect " << c.n;
  }
}

// --- Unroll -------------------------------------------------------------------------------

TEST(WipeEffects, RollWidthIsATenthLimitedByBothSides) {
  EXPECT_EQ(RollWidth(40, 20), 4);
  EXPECT_EQ(RollWidth(40, 2), 2);   // no wider than what has unrolled
  EXPECT_EQ(RollWidth(40, 34), 3);  // no wider than half of what is left
  EXPECT_EQ(RollWidth(40, 35), 2);
  EXPECT_EQ(RollWidth(40, 40), 0);
  EXPECT_EQ(RollWidth(9, 5), 0);
}

TEST(WipeEffects, UnrollFromLeftShowsTheMirroredShadedStrip) {
  // 40 x 10 at 50 %: w = 20, r = 4; Work columns 20..23 show New columns 27..24.
  const Bitmap oldBmp = Pattern(40, 10, 1), newBmp = Pattern(40, 10, 2);
  const Bitmap work = RunEffect(17, oldBmp, newBmp, 50);
  const int32_t shade[4] = {-48, -24, 0, -24};
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(work.GetPixel(x, y), newBmp.GetPixel(x, y));
    for (int32_t k = 0; k < 4; ++k)
      ASSERT_EQ(work.GetPixel(20 + k, y), Shaded(newBmp.GetPixel(27 - k, y), shade[k])) << k;
    for (int32_t x = 24; x < 40; ++x) ASSERT_EQ(work.GetPixel(x, y), oldBmp.GetPixel(x, y));
  }
}

struct UnrollCase {
  int32_t percent;
  int32_t x;                       // first unrolled column
  std::vector<int32_t> stripFrom;  // source column of strip columns x - r .. x - 1; -1: Old
  std::vector<int32_t> shade;
};

TEST(WipeEffects, UnrollFromRightNeverReadsLeftOfNew) {
  const UnrollCase cases[] = {
      // 50 %: w = 20, r = 4, x = 20; the strip's source starts at x - 2r - 1 = 11.
      {50, 20, {14, 13, 12, 11}, {-48, -24, 0, -24}},
      // 85 %: w = 34, r = (40 - 34) div 2 = 3, x = 6; the source would start at -1.
      {85, 6, {1, 0, -1}, {-48, 0, -48}},
      // 80 %: w = 32, r = 4 = (40 - 32) div 2, x = 8; again at -1.
      {80, 8, {2, 1, 0, -1}, {-48, -24, 0, -24}},
  };
  const Bitmap oldBmp = Pattern(40, 10, 1), newBmp = Pattern(40, 10, 2);
  for (const auto& c : cases) {
    const Bitmap work = RunEffect(18, oldBmp, newBmp, c.percent);
    const auto r = static_cast<int32_t>(c.stripFrom.size());
    for (int32_t y = 0; y < 10; ++y) {
      for (int32_t x = 0; x < c.x - r; ++x) ASSERT_EQ(work.GetPixel(x, y), oldBmp.GetPixel(x, y));
      for (int32_t k = 0; k < r; ++k) {
        const int32_t x = c.x - r + k, from = c.stripFrom[k];
        const Pixel base = from < 0 ? oldBmp.GetPixel(x, y) : newBmp.GetPixel(from, y);
        ASSERT_EQ(work.GetPixel(x, y), Shaded(base, c.shade[k])) << c.percent << " col " << x;
      }
      for (int32_t x = c.x; x < 40; ++x) ASSERT_EQ(work.GetPixel(x, y), newBmp.GetPixel(x, y));
    }
  }
}

TEST(WipeEffects, UnrollFromTopShowsTheMirroredShadedStrip) {
  // 10 x 40 at 50 %: h = 20, r = 4; Work rows 20..23 show New rows 27..24. The row ramp is
  // counted from the band's bottom row.
  const Bitmap oldBmp = Pattern(10, 40, 1), newBmp = Pattern(10, 40, 2);
  const Bitmap work = RunEffect(34, oldBmp, newBmp, 50);
  const int32_t shade[4] = {-72, -48, -24, -48};  // rows 20..23
  for (int32_t x = 0; x < 10; ++x) {
    for (int32_t y = 0; y < 20; ++y) ASSERT_EQ(work.GetPixel(x, y), newBmp.GetPixel(x, y));
    for (int32_t k = 0; k < 4; ++k)
      ASSERT_EQ(work.GetPixel(x, 20 + k), Shaded(newBmp.GetPixel(x, 27 - k), shade[k])) << k;
    for (int32_t y = 24; y < 40; ++y) ASSERT_EQ(work.GetPixel(x, y), oldBmp.GetPixel(x, y));
  }
}

TEST(WipeEffects, UnrollFromBottomNeverReadsAboveNew) {
  const UnrollCase cases[] = {
      // 50 %: h = 20, r = 4, y = 20; source rows 11.. mirrored into rows 19..16.
      {50, 20, {14, 13, 12, 11}, {-72, -48, -24, -48}},
      // 85 %: h = 34, r = 3, y = 6; row 5 would come from row -1 and keeps Old.
      {85, 6, {1, 0, -1}, {-144, -96, -48}},
  };
  const Bitmap oldBmp = Pattern(10, 40, 1), newBmp = Pattern(10, 40, 2);
  for (const auto& c : cases) {
    const Bitmap work = RunEffect(35, oldBmp, newBmp, c.percent);
    const auto r = static_cast<int32_t>(c.stripFrom.size());
    for (int32_t x = 0; x < 10; ++x) {
      for (int32_t y = 0; y < c.x - r; ++y) ASSERT_EQ(work.GetPixel(x, y), oldBmp.GetPixel(x, y));
      for (int32_t k = 0; k < r; ++k) {
        const int32_t y = c.x - r + k, from = c.stripFrom[k];
        const Pixel base = from < 0 ? oldBmp.GetPixel(x, y) : newBmp.GetPixel(x, from);
        ASSERT_EQ(work.GetPixel(x, y), Shaded(base, c.shade[k])) << c.percent << " row " << y;
      }
      for (int32_t y = c.x; y < 40; ++y) ASSERT_EQ(work.GetPixel(x, y), newBmp.GetPixel(x, y));
    }
  }
}

// --- Shading ------------------------------------------------------------------------------

std::vector<int32_t> ColumnOffsets(int32_t depth, int32_t n) {
  std::vector<int32_t> v(n);
  ShadeColumnOffsets(depth, n, v.data());
  return v;
}
std::vector<int32_t> RowOffsets(int32_t depth, int32_t n) {
  std::vector<int32_t> v(n);
  ShadeRowOffsets(depth, n, v.data());
  return v;
}

TEST(Shade, SteepRampsRiseThroughTheMiddle) {
  EXPECT_EQ(ColumnOffsets(48, 2), (std::vector<int32_t>{-48, 0}));
  EXPECT_EQ(ColumnOffsets(48, 3), (std::vector<int32_t>{-48, 0, -48}));
  EXPECT_EQ(ColumnOffsets(48, 4), (std::vector<int32_t>{-48, -24, 0, -24}));
  EXPECT_EQ(ColumnOffsets(48, 7), (std::vector<int32_t>{-48, -32, -16, 0, -16, -32, -48}));
  // Rows turn one line earlier.
  EXPECT_EQ(RowOffsets(48, 4), (std::vector<int32_t>{-48, -24, -48, -72}));
  EXPECT_EQ(RowOffsets(48, 7), (std::vector<int32_t>{-48, -32, -16, -32, -48, -64, -80}));
}

TEST(Shade, GentleRampsMoveOneUnitPerPeriod) {
  for (const auto& offsets : {ColumnOffsets(48, 200), RowOffsets(48, 200)}) {
    // half = 100, period = 2: up by one at every even index below 100, down from 100 on.
    EXPECT_EQ(offsets[0], -48);
    EXPECT_EQ(offsets[1], -48);
    EXPECT_EQ(offsets[2], -47);
    EXPECT_EQ(offsets[99], 1);
    EXPECT_EQ(offsets[100], 0);
    EXPECT_EQ(offsets[199], -49);
  }
  const auto cols = ColumnOffsets(48, 108);  // period 1
  EXPECT_EQ(cols[53], 5);
  EXPECT_EQ(cols[54], 4);
  EXPECT_EQ(cols[107], -49);
}

TEST(Shade, AddsToColourBytesClampedAndKeepsTheFourth) {
  Bitmap bmp = testing::Filled(5, 3, MakePixel(10, 200, 255, 0x7F));
  ShadeColumns(bmp, 48, 1, 4);  // offsets -48, -24, 0, -24 on columns 1..4
  EXPECT_EQ(bmp.GetPixel(0, 1), MakePixel(10, 200, 255, 0x7F));
  EXPECT_EQ(bmp.GetPixel(1, 1), MakePixel(0, 152, 207, 0x7F));
  EXPECT_EQ(bmp.GetPixel(3, 2), MakePixel(10, 200, 255, 0x7F));
  EXPECT_EQ(bmp.GetPixel(4, 0), MakePixel(0, 176, 231, 0x7F));

  Bitmap rows = testing::Filled(2, 6, MakePixel(100, 100, 100, 1));
  ShadeRows(rows, 48, 1, 4);  // bottom row of the band (4) first: -48, -24, -48, -72
  EXPECT_EQ(rows.GetPixel(0, 0), MakePixel(100, 100, 100, 1));
  EXPECT_EQ(rows.GetPixel(0, 4), MakePixel(52, 52, 52, 1));
  EXPECT_EQ(rows.GetPixel(1, 3), MakePixel(76, 76, 76, 1));
  EXPECT_EQ(rows.GetPixel(1, 1), MakePixel(28, 28, 28, 1));
  EXPECT_EQ(rows.GetPixel(1, 5), MakePixel(100, 100, 100, 1));
}

TEST(Shade, NothingForShortBandsOrNoDepthAndBandsAreClipped) {
  const Bitmap original = Pattern(6, 6, 3);
  for (const auto& [depth, x0, count] :
       {std::tuple{48, 1, 1}, std::tuple{48, 1, 0}, std::tuple{0, 1, 4}, std::tuple{48, 1, -3}}) {
    Bitmap bmp = original;
    ShadeColumns(bmp, depth, x0, count);
    ShadeRows(bmp, depth, x0, count);
    EXPECT_EQ(bmp, original);
  }
  Bitmap bmp = original;
  ShadeColumns(bmp, 48, -3, 20);  // reaches past both edges
  ShadeRows(bmp, 48, 4, 20);
  EXPECT_NE(bmp, original);
}

}  // namespace
}  // namespace vec

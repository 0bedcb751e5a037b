#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string_view>
#include <utility>
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
    const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
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
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  for (const auto& c : cases)
    EXPECT_TRUE(Matches(RunEffect(c.n, oldBmp, newBmp, 100), oldBmp, newBmp, c.map))
        << "effect " << c.n;
}

TEST(WipeEffects, RevealInToCentreNeedsBothSidesOddToKeepAPixel) {
  const BottomUpBitmap oldBmp = Pattern(41, 30, 1), newBmp = Pattern(41, 30, 2);
  EXPECT_EQ(RunEffect(57, oldBmp, newBmp, 100), newBmp);
}

TEST(WipeEffects, AtZeroProgressOnlyTheBuildUpsDraw) {
  const BottomUpBitmap oldBmp = Pattern(40, 30, 1), newBmp = Pattern(40, 30, 2);
  for (int32_t n : WipeNumbers()) {
    const BottomUpBitmap work = RunEffect(n, oldBmp, newBmp, 0);
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
        BottomUpBitmap oldBmp(W, H), newBmp(W, H);
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
  const BottomUpBitmap oldBmp = Pattern(40, 30, 1), newBmp = Pattern(40, 30, 2);
  for (const auto& c : cases)
    EXPECT_TRUE(Matches(RunEffect(c.n, oldBmp, newBmp, 25), oldBmp, newBmp, c.map))
        << "effect " << c.n;
}

TEST(WipeEffects, SqueezesMoveOldAsThroughATemporaryBitmap) {
  const int32_t W = 40, H = 30, w = 10, h = 8;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
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
    BottomUpBitmap want = oldBmp;
    const BottomUpBitmap temporary = oldBmp;
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
  const BottomUpBitmap oldBmp = Pattern(40, 10, 1), newBmp = Pattern(40, 10, 2);
  const BottomUpBitmap work = RunEffect(17, oldBmp, newBmp, 50);
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
  const BottomUpBitmap oldBmp = Pattern(40, 10, 1), newBmp = Pattern(40, 10, 2);
  for (const auto& c : cases) {
    const BottomUpBitmap work = RunEffect(18, oldBmp, newBmp, c.percent);
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
  const BottomUpBitmap oldBmp = Pattern(10, 40, 1), newBmp = Pattern(10, 40, 2);
  const BottomUpBitmap work = RunEffect(34, oldBmp, newBmp, 50);
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
  const BottomUpBitmap oldBmp = Pattern(10, 40, 1), newBmp = Pattern(10, 40, 2);
  for (const auto& c : cases) {
    const BottomUpBitmap work = RunEffect(35, oldBmp, newBmp, c.percent);
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
  BottomUpBitmap bmp = testing::Filled(5, 3, MakePixel(10, 200, 255, 0x7F));
  ShadeColumns(bmp, 48, 1, 4);  // offsets -48, -24, 0, -24 on columns 1..4
  EXPECT_EQ(bmp.GetPixel(0, 1), MakePixel(10, 200, 255, 0x7F));
  EXPECT_EQ(bmp.GetPixel(1, 1), MakePixel(0, 152, 207, 0x7F));
  EXPECT_EQ(bmp.GetPixel(3, 2), MakePixel(10, 200, 255, 0x7F));
  EXPECT_EQ(bmp.GetPixel(4, 0), MakePixel(0, 176, 231, 0x7F));

  BottomUpBitmap rows = testing::Filled(2, 6, MakePixel(100, 100, 100, 1));
  ShadeRows(rows, 48, 1, 4);  // bottom row of the band (4) first: -48, -24, -48, -72
  EXPECT_EQ(rows.GetPixel(0, 0), MakePixel(100, 100, 100, 1));
  EXPECT_EQ(rows.GetPixel(0, 4), MakePixel(52, 52, 52, 1));
  EXPECT_EQ(rows.GetPixel(1, 3), MakePixel(76, 76, 76, 1));
  EXPECT_EQ(rows.GetPixel(1, 1), MakePixel(28, 28, 28, 1));
  EXPECT_EQ(rows.GetPixel(1, 5), MakePixel(100, 100, 100, 1));
}

TEST(Shade, NothingForShortBandsOrNoDepthAndBandsAreClipped) {
  const BottomUpBitmap original = Pattern(6, 6, 3);
  for (const auto& [depth, x0, count] :
       {std::tuple{48, 1, 1}, std::tuple{48, 1, 0}, std::tuple{0, 1, 4}, std::tuple{48, 1, -3}}) {
    BottomUpBitmap bmp = original;
    ShadeColumns(bmp, depth, x0, count);
    ShadeRows(bmp, depth, x0, count);
    EXPECT_EQ(bmp, original);
  }
  BottomUpBitmap bmp = original;
  ShadeColumns(bmp, 48, -3, 20);  // reaches past both edges
  ShadeRows(bmp, 48, 4, 20);
  EXPECT_NE(bmp, original);
}

}  // namespace
}  // namespace vec

// The sliding and stretching wipes held, at many sizes (odd and tiny ones included) and at
// every percent, to a second, independent transcription of their copies, drawn with the
// pixel-by-pixel reference blits and a shading ramp written out step by step.

namespace vec {
namespace {

using testing::Pattern;
using testing::RunEffect;

// One copy of a frame: from New (or from Work itself), plain or stretched.
struct Op {
  bool fromWork;
  bool stretch;
  int32_t dx, dy, dcx, dcy, sx, sy, scx, scy;
};

Op C(int32_t dx, int32_t dy, int32_t cx, int32_t cy, int32_t sx, int32_t sy) {
  return {false, false, dx, dy, cx, cy, sx, sy, cx, cy};
}
Op S(int32_t dx, int32_t dy, int32_t dcx, int32_t dcy, int32_t sx, int32_t sy, int32_t scx,
     int32_t scy) {
  return {false, true, dx, dy, dcx, dcy, sx, sy, scx, scy};
}
Op SelfC(int32_t dx, int32_t dy, int32_t cx, int32_t cy, int32_t sx, int32_t sy) {
  return {true, false, dx, dy, cx, cy, sx, sy, cx, cy};
}
Op SelfS(int32_t dx, int32_t dy, int32_t dcx, int32_t dcy, int32_t sx, int32_t sy, int32_t scx,
         int32_t scy) {
  return {true, true, dx, dy, dcx, dcy, sx, sy, scx, scy};
}

using Ops = std::vector<Op>;
using Frame = std::function<Ops(int32_t W, int32_t H, int32_t w, int32_t h)>;

// The members made of copies alone, in the order their copies are made.
const std::map<int32_t, Frame>& PlainMembers() {
  static const std::map<int32_t, Frame> m = {
      {4, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S(W - w, 0, w, H, 0, 0, W, H)}; }},
      {5, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S(0, 0, w, H, 0, 0, W, H)}; }},
      {6, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{C(W - w, 0, W, H, 0, 0)}; }},
      {7, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{C(w - W, 0, W, H, 0, 0)}; }},
      {8, [](int32_t, int32_t H, int32_t w, int32_t) { return Ops{C(0, 0, w, H, 0, 0)}; }},
      {9, [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{C(W - w, 0, w, H, W - w, 0)}; }},
      {10,
       [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S(0, 0, 2 * W - w, H, 0, 0, w, H)}; }},
      {11,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{S(w - W, 0, 2 * W - w, H, W - w, 0, w, H)};
       }},
      {12,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{S(w - W, 0, 3 * W - 2 * w, H, (W - w) / 2, 0, w, H)};
       }},
      {13,
       [](int32_t W, int32_t H, int32_t w, int32_t) { return Ops{S((W - w) / 2, 0, w, H, 0, 0, W, H)}; }},
      {14,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t x = (W - w) / 2;
         return Ops{C(x, 0, w, H, x, 0)};
       }},
      {15,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t hw = w / 2;
         return Ops{C(0, 0, hw, H, 0, 0), C(W - hw, 0, hw, H, W - hw, 0)};
       }},
      {16,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t hw = w / 2, hW = W / 2;
         return Ops{S(0, 0, hw, H, 0, 0, hW, H), S(W - hw, 0, hw, H, hW, 0, hW, H)};
       }},
      {19,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t s = std::min(W - w, W / 10);
         return Ops{C(0, 0, w, H, 0, 0), S(w, 0, W - w, H, w, 0, s, H)};
       }},
      {20,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         const int32_t x = W - w, s = std::max(x - W / 10, 0);
         return Ops{C(x, 0, w, H, x, 0), S(0, 0, x, H, s, 0, x - s, H)};
       }},
      {21, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, H - h, W, h, 0, 0, W, H)}; }},
      {22, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, 0, W, h, 0, 0, W, H)}; }},
      {23, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{C(0, H - h, W, H, 0, 0)}; }},
      {24, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{C(0, h - H, W, H, 0, 0)}; }},
      {25, [](int32_t W, int32_t, int32_t, int32_t h) { return Ops{C(0, 0, W, h, 0, 0)}; }},
      {26, [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{C(0, H - h, W, h, 0, H - h)}; }},
      {27,
       [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, 0, W, 2 * H - h, 0, 0, W, h)}; }},
      {28,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{S(0, h - H, W, 2 * H - h, 0, H - h, W, h)};
       }},
      {29,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{S(0, h - H, W, 3 * H - 2 * h, 0, (H - h) / 2, W, h)};
       }},
      {30,
       [](int32_t W, int32_t H, int32_t, int32_t h) { return Ops{S(0, (H - h) / 2, W, h, 0, 0, W, H)}; }},
      {31,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t y = (H - h) / 2;
         return Ops{C(0, y, W, h, 0, y)};
       }},
      {32,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t hh = h / 2;
         return Ops{C(0, 0, W, hh, 0, 0), C(0, H - hh, W, hh, 0, H - hh)};
       }},
      {33,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t hh = h / 2, hH = H / 2;
         return Ops{S(0, 0, W, hh, 0, 0, W, hH), S(0, H - hh, W, hh, 0, hH, W, hH)};
       }},
      {36,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t s = std::min(H - h, H / 10);
         return Ops{C(0, 0, W, h, 0, 0), S(0, h, W, H - h, 0, h, W, s)};
       }},
      {37,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         const int32_t y = H - h, s = std::max(y - H / 10, 0);
         return Ops{C(0, y, W, h, 0, y), S(0, 0, W, y, 0, s, W, y - s)};
       }},
      {38, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(W - w, H - h, w, h, 0, 0, W, H)}; }},
      {39, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(W - w, 0, w, h, 0, 0, W, H)}; }},
      {40, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(0, 0, w, h, 0, 0, W, H)}; }},
      {41, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{S(0, H - h, w, h, 0, 0, W, H)}; }},
      {42, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(W - w, H - h, W, H, 0, 0)}; }},
      {43, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(W - w, h - H, W, H, 0, 0)}; }},
      {44, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(w - W, h - H, W, H, 0, 0)}; }},
      {45, [](int32_t W, int32_t H, int32_t w, int32_t h) { return Ops{C(w - W, H - h, W, H, 0, 0)}; }},
      {46, [](int32_t, int32_t, int32_t w, int32_t h) { return Ops{C(0, 0, w, h, 0, 0)}; }},
      {47, [](int32_t, int32_t H, int32_t w, int32_t h) { return Ops{C(0, H - h, w, h, 0, H - h)}; }},
      {48,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{C(W - w, H - h, w, h, W - w, H - h)};
       }},
      {49, [](int32_t W, int32_t, int32_t w, int32_t h) { return Ops{C(W - w, 0, w, h, W - w, 0)}; }},
      {50,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(0, 0, 2 * W - w, 2 * H - h, 0, 0, w, h)};
       }},
      {51,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(0, h - H, 2 * W - w, 2 * H - h, 0, H - h, w, h)};
       }},
      {52,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(w - W, h - H, 2 * W - w, 2 * H - h, W - w, H - h, w, h)};
       }},
      {53,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S(w - W, 0, 2 * W - w, 2 * H - h, W - w, 0, w, h)};
       }},
      {54,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{
             S(w - W, h - H, 3 * W - 2 * w, 3 * H - 2 * h, (W - w) / 2, (H - h) / 2, w, h)};
       }},
      {55,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         return Ops{S((W - w) / 2, (H - h) / 2, w, h, 0, 0, W, H)};
       }},
      {56,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t x = (W - w) / 2, y = (H - h) / 2;
         return Ops{C(x, y, w, h, x, y)};
       }},
      {58,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t hw = w / 2, hh = h / 2;
         return Ops{C(0, 0, hw, hh, 0, 0), C(0, H - hh, hw, hh, 0, H - hh),
                    C(W - hw, H - hh, hw, hh, W - hw, H - hh), C(W - hw, 0, hw, hh, W - hw, 0)};
       }},
      {59,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
         return Ops{S(0, 0, hw, hh, 0, 0, hW, hH), S(0, H - hh, hw, hh, 0, hH, hW, hH),
                    S(W - hw, H - hh, hw, hh, hW, hH, hW, hH), S(W - hw, 0, hw, hh, hW, 0, hW, hH)};
       }},
      {60,
       [](int32_t W, int32_t H, int32_t w, int32_t h) {
         const int32_t hw = w / 2, hh = h / 2, hW = W / 2, hH = H / 2;
         return Ops{C(hw - hW, 0, hW, hH, 0, 0), C(hW, hh - hH, hW, hH, hW, 0),
                    C(W - hw, hH, hW, hH, hW, hH), C(0, H - hh, hW, hH, 0, hH)};
       }},
      {130,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfC(w, 0, W - w, H, 0, 0), C(0, 0, w, H, W - w, 0)};
       }},
      {131,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfC(0, 0, W - w, H, w, 0), C(W - w, 0, w, H, 0, 0)};
       }},
      {132,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfS(w, 0, W - w, H, 0, 0, W, H), C(0, 0, w, H, W - w, 0)};
       }},
      {133,
       [](int32_t W, int32_t H, int32_t w, int32_t) {
         return Ops{SelfS(0, 0, W - w, H, 0, 0, W, H), C(W - w, 0, w, H, 0, 0)};
       }},
      {134,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfC(0, h, W, H - h, 0, 0), C(0, 0, W, h, 0, H - h)};
       }},
      {135,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfC(0, 0, W, H - h, 0, h), C(0, H - h, W, h, 0, 0)};
       }},
      {136,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfS(0, h, W, H - h, 0, 0, W, H), C(0, 0, W, h, 0, H - h)};
       }},
      {137,
       [](int32_t W, int32_t H, int32_t, int32_t h) {
         return Ops{SelfS(0, 0, W, H - h, 0, 0, W, H), C(0, H - h, W, h, 0, 0)};
       }},
  };
  return m;
}

void Apply(BottomUpBitmap& work, const BottomUpBitmap& newBmp, const Ops& ops) {
  for (const Op& o : ops) {
    const BottomUpBitmap& src = o.fromWork ? work : newBmp;
    if (o.stretch)
      reference::StretchBlt(work, o.dx, o.dy, o.dcx, o.dcy, src, o.sx, o.sy, o.scx, o.scy);
    else
      reference::BitBlt(work, o.dx, o.dy, o.dcx, o.dcy, src, o.sx, o.sy);
  }
}

// The brightness ramp of the roll, worked out here apart from Shade.cpp: columns climb
// through the middle column, rows (counted from the band's bottom) turn one line earlier.
std::vector<int32_t> Ramp(int32_t a, int32_t n, bool rows) {
  std::vector<int32_t> out(static_cast<size_t>(std::max(n, 0)), 0);
  if (n <= 1 || a == 0) return out;
  const int32_t half = n / 2;
  const bool steep = half < a;
  const int32_t period = steep ? 1 : half / a;
  const int32_t step = steep ? a / half : 1;
  int32_t offset = -a;
  out[0] = offset;
  for (int32_t k = 1; k < n; ++k) {
    if (k % period == 0) {
      const bool rising = rows ? k < half : (steep ? k <= half : k < half);
      offset += rising ? step : -step;
    }
    out[static_cast<size_t>(k)] = offset;
  }
  return out;
}

Pixel AddToColour(Pixel p, int32_t offset) {
  auto add = [&](uint8_t b) { return static_cast<uint8_t>(std::clamp(b + offset, 0, 255)); };
  return MakePixel(add(PixelR(p)), add(PixelG(p)), add(PixelB(p)), PixelA(p));
}

void ShadeBandOfColumns(BottomUpBitmap& bmp, int32_t x0, int32_t n) {
  const std::vector<int32_t> ramp = Ramp(48, n, false);
  for (int32_t k = 0; k < n; ++k) {
    const int32_t x = x0 + k;
    if (x < 0 || x >= bmp.Width()) continue;
    for (int32_t y = 0; y < bmp.Height(); ++y)
      bmp.SetPixel(x, y, AddToColour(bmp.GetPixel(x, y), ramp[static_cast<size_t>(k)]));
  }
}

void ShadeBandOfRows(BottomUpBitmap& bmp, int32_t y0, int32_t n) {
  const std::vector<int32_t> ramp = Ramp(48, n, true);
  for (int32_t line = 0; line < n; ++line) {
    const int32_t y = y0 + n - 1 - line;
    if (y < 0 || y >= bmp.Height()) continue;
    for (int32_t x = 0; x < bmp.Width(); ++x)
      bmp.SetPixel(x, y, AddToColour(bmp.GetPixel(x, y), ramp[static_cast<size_t>(line)]));
  }
}

int32_t Roll(int32_t side, int32_t extent) {
  int32_t r = side / 10;
  if (extent < r)
    r = extent;
  else if (side - extent < 2 * r)
    r = (side - extent) / 2;
  return r;
}

// The expected frame of member n. The mirrored strips of 18 and 35 use the effects' own
// source rectangles, which may reach outside New: the reference stretch leaves a pixel
// alone where its source lies outside New.
BottomUpBitmap Expected(int32_t n, const BottomUpBitmap& oldBmp, const BottomUpBitmap& newBmp,
                        int32_t percent) {
  BottomUpBitmap work = oldBmp;
  const int32_t W = work.Width(), H = work.Height();
  const Extents e = ProgressExtents(W, H, percent);
  const int32_t w = e.w, h = e.h;
  if (auto it = PlainMembers().find(n); it != PlainMembers().end()) {
    Apply(work, newBmp, it->second(W, H, w, h));
  } else if (n == 17) {
    const int32_t r = Roll(W, w);
    Apply(work, newBmp, {S(w + r - 1, 0, -r, H, w + r, 0, r, H), C(0, 0, w, H, 0, 0)});
    ShadeBandOfColumns(work, w, r);
  } else if (n == 18) {
    const int32_t r = Roll(W, w), x = W - w;
    Apply(work, newBmp, {S(x - 1, 0, -r, H, x - 2 * r - 1, 0, r, H), C(x, 0, w, H, x, 0)});
    ShadeBandOfColumns(work, x - r, r);
  } else if (n == 34) {
    const int32_t r = Roll(H, h);
    Apply(work, newBmp, {S(0, h + r - 1, W, -r, 0, h + r, W, r), C(0, 0, W, h, 0, 0)});
    ShadeBandOfRows(work, h, r);
  } else if (n == 35) {
    const int32_t r = Roll(H, h), y = H - h;
    Apply(work, newBmp, {S(0, y - 1, W, -r, 0, y - 2 * r - 1, W, r), C(0, y, W, h, 0, y)});
    ShadeBandOfRows(work, y - r, r);
  } else if (n == 57) {
    const int32_t hw = w / 2, hh = h / 2;
    work.ExcludeClipRect(hw, hh, W - hw, H - hh);
    reference::BitBlt(work, 0, 0, W, H, newBmp, 0, 0);
    work.SelectClipRgn(nullptr);
  } else {
    ADD_FAILURE() << "no expectation for effect " << n;
  }
  return work;
}

std::vector<int32_t> AllWipes() {
  std::vector<int32_t> v;
  for (int32_t i = 4; i <= 60; ++i) v.push_back(i);
  for (int32_t i = 130; i <= 137; ++i) v.push_back(i);
  return v;
}

TEST(WipeCrossCheck, EveryMemberAtEveryPercentOnSmallAndOddSizes) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {2, 3},   {3, 2},   {1, 5},   {5, 1},
                                               {7, 5}, {17, 11}, {40, 30}, {33, 47}, {64, 9}};
  for (const auto& [W, H] : sizes) {
    const BottomUpBitmap oldBmp = Pattern(W, H, 11), newBmp = Pattern(W, H, 12);
    for (int32_t n : AllWipes())
      for (int32_t percent = 0; percent <= 100; ++percent)
        ASSERT_EQ(RunEffect(n, oldBmp, newBmp, percent), Expected(n, oldBmp, newBmp, percent))
            << "effect " << n << " at " << percent << "% on " << W << "x" << H;
  }
}

TEST(WipeCrossCheck, EveryMemberOnWiderPictures) {
  const std::pair<int32_t, int32_t> sizes[] = {{203, 61}, {58, 151}};
  for (const auto& [W, H] : sizes) {
    const BottomUpBitmap oldBmp = Pattern(W, H, 21), newBmp = Pattern(W, H, 22);
    for (int32_t n : AllWipes())
      for (int32_t percent : {1, 9, 23, 37, 50, 51, 68, 83, 94, 99})
        ASSERT_EQ(RunEffect(n, oldBmp, newBmp, percent), Expected(n, oldBmp, newBmp, percent))
            << "effect " << n << " at " << percent << "% on " << W << "x" << H;
  }
}

TEST(WipeCrossCheck, EveryMemberOnAScreenSizedOddPicture) {
  // Rows long enough for the blits' vector paths, and self-copies that overlap.
  const int32_t W = 1023, H = 767;
  const BottomUpBitmap oldBmp = Pattern(W, H, 41), newBmp = Pattern(W, H, 42);
  for (int32_t n : AllWipes())
    ASSERT_EQ(RunEffect(n, oldBmp, newBmp, 37), Expected(n, oldBmp, newBmp, 37)) << "effect " << n;
}

TEST(WipeCrossCheck, RampsWrittenOutByHand) {
  // Columns, steep (half 2 < 48, step 24): up through the middle column, then down.
  EXPECT_EQ(Ramp(48, 5, false), (std::vector<int32_t>{-48, -24, 0, -24, -48}));
  // Rows, the same band: the turn comes at line 2 already.
  EXPECT_EQ(Ramp(48, 5, true), (std::vector<int32_t>{-48, -24, -48, -72, -96}));
  // Gentle (half 96, period 2): one unit at every even index, falling from 96 on.
  const std::vector<int32_t> g = Ramp(48, 192, false);
  EXPECT_EQ(g[1], -48);
  EXPECT_EQ(g[2], -47);
  EXPECT_EQ(g[95], -1);
  EXPECT_EQ(g[96], -2);
  EXPECT_EQ(g[191], -49);
  std::vector<int32_t> cols(192), rows(192);
  ShadeColumnOffsets(48, 192, cols.data());
  ShadeRowOffsets(48, 192, rows.data());
  EXPECT_EQ(cols, g);
  EXPECT_EQ(rows, Ramp(48, 192, true));
  for (int32_t n = 2; n < 300; ++n) {
    std::vector<int32_t> c(static_cast<size_t>(n)), r(static_cast<size_t>(n));
    ShadeColumnOffsets(48, n, c.data());
    ShadeRowOffsets(48, n, r.data());
    ASSERT_EQ(c, Ramp(48, n, false)) << n;
    ASSERT_EQ(r, Ramp(48, n, true)) << n;
  }
}

// --- Block families ----------------------------------------------------------------------

// The placement a block row's name promises on each axis; a row whose arguments say
// otherwise (left and right swapped, x and y swapped) grows its block somewhere else.
Placement NamedX(std::string_view name) {
  if (name.find("left") != std::string_view::npos) return Placement::Near;
  if (name.find("right") != std::string_view::npos) return Placement::Far;
  if (name.find("centre") != std::string_view::npos) return Placement::Middle;
  if (name.find("middle") != std::string_view::npos &&
      name.find("(horiz)") == std::string_view::npos)
    return Placement::Middle;
  return Placement::Whole;
}
Placement NamedY(std::string_view name) {
  if (name.find("top") != std::string_view::npos) return Placement::Near;
  if (name.find("bottom") != std::string_view::npos) return Placement::Far;
  if (name.find("centre") != std::string_view::npos) return Placement::Middle;
  if (name.find("(horiz)") != std::string_view::npos) return Placement::Middle;
  return Placement::Whole;
}

TEST(RevealBlock, EveryRowRevealsTheBlockItsNameSays) {
  const int32_t W = 61, H = 43, percent = 37;
  const BottomUpBitmap oldBmp = Pattern(W, H, 1), newBmp = Pattern(W, H, 2);
  const Extents e = ProgressExtents(W, H, percent);
  // Start and length of the block along one axis, written out for each placement.
  const auto along = [](Placement p, int32_t side, int32_t extent) -> std::pair<int32_t, int32_t> {
    if (p == Placement::Near) return {0, extent};
    if (p == Placement::Far) return {side - extent, extent};
    if (p == Placement::Middle) return {(side - extent) / 2, extent};
    return {0, side};
  };
  const std::vector<Effect> rows = EffectsDrawnBy({RevealBlock});
  ASSERT_EQ(rows.size(), 11u);
  for (const Effect& row : rows) {
    EXPECT_EQ(row.args, Placed(NamedX(row.name), NamedY(row.name))) << row.name;
    const auto [x0, cx] = along(NamedX(row.name), W, e.w);
    const auto [y0, cy] = along(NamedY(row.name), H, e.h);
    EXPECT_TRUE(Matches(RunEffect(row.number, oldBmp, newBmp, percent), oldBmp, newBmp,
                        [&](int32_t x, int32_t y) {
                          const bool inside = x >= x0 && x < x0 + cx && y >= y0 && y < y0 + cy;
                          return inside ? FromNew(x, y) : FromOld(x, y);
                        }))
        << row.name;
  }
}

// The other block families follow the same names: "Expand from right" stretches into the
// block at the right, "Slide in from top" moves in from the top.
TEST(BlockFamilies, ArgumentsFollowTheNames) {
  for (const Effect& row : EffectsDrawnBy({StretchIntoBlock, SlideIn}))
    EXPECT_EQ(row.args, Placed(NamedX(row.name), NamedY(row.name))) << row.name;
  // Shrinking onto the screen is named after where New comes in from: "Expand in from
  // right" keeps the left edge (Near), "Appear and Contract to top left" the top left, and
  // "Appear and Contract to middle" the middle of both axes.
  for (const Effect& row : EffectsDrawnBy({ShrinkOntoScreen})) {
    if (row.name == "Appear and Contract to middle") {
      EXPECT_EQ(row.args, Placed(Placement::Middle, Placement::Middle));
      continue;
    }
    const bool contractTo = row.name.find("Contract to") != std::string_view::npos;
    const auto flip = [contractTo](Placement p) {
      if (contractTo || p == Placement::Whole || p == Placement::Middle) return p;
      return p == Placement::Near ? Placement::Far : Placement::Near;
    };
    EXPECT_EQ(row.args, Placed(flip(NamedX(row.name)), flip(NamedY(row.name)))) << row.name;
  }
}

}  // namespace
}  // namespace vec

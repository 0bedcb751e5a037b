#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Blit.h"
#include "graphics/Region.h"
#include "tests/support/VectorLevels.h"
#include "tests/threads/FrameThreadsTest.h"

namespace vec {
namespace {

// A bitmap whose every pixel names its own position: 0xAA00YYXX style, so a wrong source
// pixel shows where it came from.
BottomUpBitmap Numbered(int w, int h) {
  BottomUpBitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, 0xAA000000u | (uint32_t(y) << 12) | uint32_t(x));
  }
  return b;
}

constexpr Pixel kBlank = 0x11111111;

BottomUpBitmap Filled(int w, int h, Pixel p = kBlank) {
  BottomUpBitmap b(w, h);
  FillRect(b, {0, 0, w, h}, p);
  return b;
}

int SrcX(Pixel p) {
  return int(p & 0xFFF);
}
int SrcY(Pixel p) {
  return int((p >> 12) & 0xFFF);
}

// The source columns that one destination row shows (-1 where nothing was drawn).
std::vector<int> RowSources(const BottomUpBitmap& b, int y) {
  std::vector<int> v;
  for (int x = 0; x < b.Width(); ++x) {
    const Pixel p = b.GetPixel(x, y);
    v.push_back(p == kBlank ? -1 : SrcX(p));
  }
  return v;
}

std::vector<int> ColumnSources(const BottomUpBitmap& b, int x) {
  std::vector<int> v;
  for (int y = 0; y < b.Height(); ++y) {
    const Pixel p = b.GetPixel(x, y);
    v.push_back(p == kBlank ? -1 : SrcY(p));
  }
  return v;
}

TEST(BottomUpBitmap, RowsAreStoredBottomUp) {
  BottomUpBitmap b(3, 2);
  b.SetPixel(1, 0, 7);
  b.SetPixel(2, 1, 9);
  EXPECT_EQ(b.Bits()[3 + 1], 7u);  // row 0 is the last row in memory
  EXPECT_EQ(b.Bits()[2], 9u);
  EXPECT_EQ(b.ScanLine(1), b.Bits());
}

TEST(BottomUpBitmap, SizesAreSanitised) {
  BottomUpBitmap b(-5, 4);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.PixelCount(), 0u);
  EXPECT_THROW(b.SetSize(1 << 20, 1 << 20), std::length_error);
}

// SetSize promises black pixels whatever the storage held before; the storage no longer
// zeroes what it grows, so a SetSize that merely resized would leave the old colour here.
TEST(BottomUpBitmap, SetSizeBlacksOutOldPixelsAtEverySize) {
  const struct {
    int w, h;
  } sizes[] = {{5, 3}, {3, 5}, {7, 4}, {1, 1}};  // same, turned, larger, smaller
  for (const auto& s : sizes) {
    BottomUpBitmap b = Filled(5, 3, 0xFF123456);
    b.SetSize(s.w, s.h);
    for (size_t i = 0; i < b.PixelCount(); ++i)
      ASSERT_EQ(b.Bits()[i], 0u) << s.w << "x" << s.h << " pixel " << i;
    BlendBitmap c(5, 3);
    c.Clear(0xFF123456);
    c.SetSize(s.w, s.h);
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x) ASSERT_EQ(c.GetPixel(x, y), 0u) << s.w << "x" << s.h;
  }
}

struct AxisCase {
  const char* name;
  int s, d;
  std::vector<int> horizontal;  // columns shown (last source wins)
  std::vector<int> vertical;    // rows shown (first source wins)
};

class StretchAxisTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(StretchAxisTest, MapsLikeTheBresenhamWalk) {
  const AxisCase& c = GetParam();
  const BottomUpBitmap src = Numbered(c.s, c.s);
  BottomUpBitmap dst = Filled(c.d, c.d);
  StretchBlt(dst, 0, 0, c.d, c.d, src, 0, 0, c.s, c.s);
  EXPECT_EQ(RowSources(dst, 0), c.horizontal);
  EXPECT_EQ(ColumnSources(dst, 0), c.vertical);
  BottomUpBitmap ref = Filled(c.d, c.d);
  reference::StretchBlt(ref, 0, 0, c.d, c.d, src, 0, 0, c.s, c.s);
  EXPECT_EQ(ref, dst);
}

INSTANTIATE_TEST_SUITE_P(
    Walks, StretchAxisTest,
    ::testing::Values(AxisCase{"Identity", 4, 4, {0, 1, 2, 3}, {0, 1, 2, 3}},
                      AxisCase{"Double", 3, 6, {0, 0, 1, 1, 2, 2}, {0, 0, 1, 1, 2, 2}},
                      AxisCase{"TwoToThree", 2, 3, {0, 0, 1}, {0, 0, 1}},
                      AxisCase{"OneToFour", 1, 4, {0, 0, 0, 0}, {0, 0, 0, 0}},
                      AxisCase{"Halve", 6, 3, {1, 3, 5}, {0, 2, 4}},
                      AxisCase{"ThreeToTwo", 3, 2, {1, 2}, {0, 2}},
                      AxisCase{"FourToTwo", 4, 2, {1, 3}, {0, 2}},
                      AxisCase{"SingleColumnTakesNextToLast", 5, 1, {3}, {0}},
                      AxisCase{"SingleColumnOfTwo", 2, 1, {0}, {0}}),
    [](const ::testing::TestParamInfo<AxisCase>& info) { return std::string(info.param.name); });

TEST(StretchBlt, NegativeWidthDrawsBackwardsFromStart) {
  const BottomUpBitmap src = Numbered(3, 1);
  BottomUpBitmap dst = Filled(8, 1);
  StretchBlt(dst, 5, 0, -3, 1, src, 0, 0, 3, 1);
  EXPECT_EQ(RowSources(dst, 0), (std::vector<int>{-1, -1, -1, 2, 1, 0, -1, -1}));
}

TEST(StretchBlt, MirroredShrinkToOneColumnFollowsTheWalk) {
  const BottomUpBitmap src = Numbered(5, 1);
  BottomUpBitmap dst = Filled(3, 1);
  StretchBlt(dst, 1, 0, -1, 1, src, 0, 0, 5, 1);
  EXPECT_EQ(RowSources(dst, 0), (std::vector<int>{-1, 4, -1}));
}

TEST(StretchBlt, NegativeHeightMirrorsRows) {
  const BottomUpBitmap src = Numbered(1, 4);
  BottomUpBitmap dst = Filled(1, 6);
  StretchBlt(dst, 0, 4, 1, -4, src, 0, 0, 1, 4);
  EXPECT_EQ(ColumnSources(dst, 0), (std::vector<int>{-1, 3, 2, 1, 0, -1}));
}

TEST(StretchBlt, UnrollStripShowsMirroredColumns) {
  // The strip of the unroll wipe: New columns [w + r, w + 2r) mirrored into [w, w + r).
  const int w = 4, r = 3;
  const BottomUpBitmap src = Numbered(16, 2);
  BottomUpBitmap dst = Filled(16, 2);
  StretchBlt(dst, w + r - 1, 0, -r, 2, src, w + r, 0, r, 2);
  EXPECT_EQ(RowSources(dst, 1),
            (std::vector<int>{-1, -1, -1, -1, 9, 8, 7, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
}

TEST(StretchBlt, SourceOutsideBitmapIsNotDrawn) {
  const BottomUpBitmap src = Numbered(4, 4);
  BottomUpBitmap dst = Filled(8, 1);
  StretchBlt(dst, 0, 0, 8, 1, src, -2, 0, 8, 1);
  EXPECT_EQ(RowSources(dst, 0), (std::vector<int>{-1, -1, 0, 1, 2, 3, -1, -1}));
  BottomUpBitmap below = Filled(4, 4);
  StretchBlt(below, 0, 0, 4, 4, src, 0, 2, 4, 4);
  EXPECT_EQ(ColumnSources(below, 0), (std::vector<int>{2, 3, -1, -1}));
}

TEST(StretchBlt, ClippingDoesNotChangeTheMapping) {
  const BottomUpBitmap src = Numbered(7, 5);
  BottomUpBitmap whole = Filled(40, 30);
  StretchBlt(whole, 0, 0, 23, 17, src, 0, 0, 7, 5);
  // The same stretch placed partly off the left/top edge shows the same pixels shifted.
  BottomUpBitmap shifted = Filled(40, 30);
  StretchBlt(shifted, -6, -4, 23, 17, src, 0, 0, 7, 5);
  for (int y = 0; y + 4 < 17; ++y) {
    for (int x = 0; x + 6 < 23; ++x)
      ASSERT_EQ(shifted.GetPixel(x, y), whole.GetPixel(x + 6, y + 4));
  }
  // And through a clip region.
  BottomUpBitmap clipped = Filled(40, 30);
  const Region clip = Region::Ellipse(2, 2, 20, 15);
  clipped.SelectClipRgn(&clip);
  StretchBlt(clipped, 0, 0, 23, 17, src, 0, 0, 7, 5);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(clipped.GetPixel(x, y), clip.Contains(x, y) ? whole.GetPixel(x, y) : kBlank);
    }
  }
}

TEST(StretchBlt, ZeroSizesDrawNothing) {
  const BottomUpBitmap src = Numbered(4, 4);
  const BottomUpBitmap blank = Filled(4, 4);
  for (auto [dw, dh, sw, sh] :
       std::vector<std::array<int, 4>>{{0, 4, 4, 4}, {4, 0, 4, 4}, {4, 4, 0, 4}, {4, 4, 4, 0}}) {
    BottomUpBitmap dst = blank;
    StretchBlt(dst, 0, 0, dw, dh, src, 0, 0, sw, sh);
    EXPECT_EQ(dst, blank);
  }
}

TEST(StretchBlt, HugeDestinationIsClippedNotWalked) {
  const BottomUpBitmap src = Numbered(4, 4);
  BottomUpBitmap dst = Filled(8, 8);
  StretchBlt(dst, -1000000000, 0, 2000000000, 8, src, 0, 0, 4, 4);
  EXPECT_EQ(SrcX(dst.GetPixel(0, 0)), 2);
}

TEST(BitBlt, ClipsToTargetAndSource) {
  const BottomUpBitmap src = Numbered(4, 4);
  BottomUpBitmap dst = Filled(6, 6);
  BitBlt(dst, -1, 3, 10, 10, src, 0, 1);
  // Target column 0 shows source column 1; rows 3..5 show source rows 1..3.
  EXPECT_EQ(RowSources(dst, 3), (std::vector<int>{1, 2, 3, -1, -1, -1}));
  EXPECT_EQ(ColumnSources(dst, 0), (std::vector<int>{-1, -1, -1, 1, 2, 3}));
}

TEST(BitBlt, OverlapInOneBitmapActsAsCopyThroughTemporary) {
  for (auto [ddx, ddy] :
       std::vector<std::pair<int, int>>{{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 3}, {-3, -2}}) {
    BottomUpBitmap b = Numbered(10, 10);
    const BottomUpBitmap before = b;
    BitBlt(b, 2 + ddx, 2 + ddy, 6, 6, b, 2, 2);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        const int sx = x - ddx, sy = y - ddy;
        const bool inBlock = x >= 2 + ddx && x < 8 + ddx && y >= 2 + ddy && y < 8 + ddy;
        ASSERT_EQ(b.GetPixel(x, y), inBlock ? before.GetPixel(sx, sy) : before.GetPixel(x, y))
            << ddx << "," << ddy << " at " << x << "," << y;
      }
    }
  }
}

TEST(BitBlt, HonoursClipRegionAndExcludedRectangles) {
  const BottomUpBitmap src = Numbered(10, 10);
  BottomUpBitmap dst = Filled(10, 10);
  const Region clip = Region::RoundRect(0, 0, 10, 10, 6, 6);
  dst.SelectClipRgn(&clip);
  dst.ExcludeClipRect(3, 3, 5, 6);
  BitBlt(dst, 0, 0, 10, 10, src, 0, 0);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool in = clip.Contains(x, y) && !(x >= 3 && x < 5 && y >= 3 && y < 6);
      ASSERT_EQ(dst.GetPixel(x, y), in ? src.GetPixel(x, y) : kBlank) << x << "," << y;
    }
  }
  dst.SelectClipRgn(nullptr);
  BitBlt(dst, 0, 0, 10, 10, src, 0, 0);
  EXPECT_EQ(dst, src);
}

TEST(BitBlt, ExcludeWithoutClipRegionStartsFromWholeBitmap) {
  BottomUpBitmap dst = Filled(6, 4);
  dst.ExcludeClipRect(1, 1, 3, 3);
  FillRect(dst, {0, 0, 6, 4}, 5);
  EXPECT_EQ(dst.GetPixel(0, 0), 5u);
  EXPECT_EQ(dst.GetPixel(1, 1), kBlank);
  EXPECT_EQ(dst.GetPixel(2, 2), kBlank);
  EXPECT_EQ(dst.GetPixel(3, 3), 5u);
}

TEST(Canvas, ConveniencesMapToBlits) {
  const BottomUpBitmap src = Numbered(4, 3);
  BottomUpBitmap a = Filled(10, 10), b = Filled(10, 10);
  Draw(a, 2, 3, src);
  BitBlt(b, 2, 3, 4, 3, src, 0, 0);
  EXPECT_EQ(a, b);
  StretchDraw(a, {1, 1, 9, 7}, src);
  StretchBlt(b, 1, 1, 8, 6, src, 0, 0, 4, 3);
  EXPECT_EQ(a, b);
  CopyRect(a, {5, 0, 2, 4}, src, {1, 0, 3, 3});
  StretchBlt(b, 5, 0, -3, 4, src, 1, 0, 2, 3);
  EXPECT_EQ(a, b);
}

// Random blits, stretches and fills, fast paths against the reference, clipped and not,
// within one bitmap and between two. Each iteration's seed is printed on failure so that
// it can be replayed alone.
TEST(FastPathEqualsReference, RandomBlitsAndStretches) {
  std::mt19937 master(20240611);
  uint64_t checksum = 0;
  for (int iter = 0; iter < 1500; ++iter) {
    const uint32_t seed = master();
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    BottomUpBitmap src = Numbered(pick(1, 24), pick(1, 24));
    BottomUpBitmap dst = Filled(pick(1, 24), pick(1, 24));
    if (pick(0, 2) == 0) {
      std::vector<Rect> rects;
      for (int i = pick(0, 6); i > 0; --i)
        rects.push_back({pick(-4, 20), pick(-4, 20), pick(-4, 28), pick(-4, 28)});
      Region clip = Region::FromRects(rects);
      if (pick(0, 1))
        clip.Combine(Region::Ellipse(pick(-5, 10), pick(-5, 10), pick(0, 30), pick(0, 30)),
                     RegionOp::Or);
      dst.SelectClipRgn(&clip);
    }
    const bool self = pick(0, 3) == 0;
    BottomUpBitmap fast = self ? Numbered(dst.Width(), dst.Height()) : dst;
    if (self && dst.ClipRegion()) fast.SelectClipRgn(&*dst.ClipRegion());
    BottomUpBitmap ref = fast;
    const BottomUpBitmap& fastSrc = self ? fast : src;
    const BottomUpBitmap& refSrc = self ? ref : src;
    const int dx = pick(-8, 24), dy = pick(-8, 24), sx = pick(-8, 24), sy = pick(-8, 24);
    if (pick(0, 2) == 0) {
      const int cx = pick(-2, 30), cy = pick(-2, 30);
      BitBlt(fast, dx, dy, cx, cy, fastSrc, sx, sy);
      reference::BitBlt(ref, dx, dy, cx, cy, refSrc, sx, sy);
    } else {
      const int dw = pick(-30, 30), dh = pick(-30, 30), sw = pick(-30, 30), sh = pick(-30, 30);
      StretchBlt(fast, dx, dy, dw, dh, fastSrc, sx, sy, sw, sh);
      reference::StretchBlt(ref, dx, dy, dw, dh, refSrc, sx, sy, sw, sh);
    }
    ASSERT_EQ(fast, ref) << "iteration " << iter << " seed " << seed;
    for (size_t i = 0; i < fast.PixelCount(); ++i)
      checksum = checksum * 1099511628211ull + fast.Bits()[i];
  }
  // Folding every result keeps the whole run comparable across refactorings.
  EXPECT_NE(checksum, 0u);
}

TEST(StretchSourceIndex, ClosedFormMatchesStepwiseWalk) {
  for (int s = 1; s <= 70; ++s) {
    for (int d = 1; d <= 70; ++d) {
      const BottomUpBitmap src = Numbered(s, s);
      BottomUpBitmap a = Filled(d, d), b = Filled(d, d);
      StretchBlt(a, 0, 0, d, d, src, 0, 0, s, s);
      reference::StretchBlt(b, 0, 0, d, d, src, 0, 0, s, s);
      ASSERT_EQ(a, b) << s << " -> " << d;
    }
  }
}

TEST(StretchBlt, RowFastPathsMatchReferenceForEveryWidth) {
  // 1:1, mirrored 1:1 and scaled rows take different fast paths with vector bodies and
  // scalar tails; every width up to a few vectors must agree with the reference.
  for (int w = 1; w <= 21; ++w) {
    const BottomUpBitmap src = Numbered(w, 3);
    for (auto [dw, sw] : std::vector<std::pair<int, int>>{
             {w, w}, {-w, w}, {w, -w}, {2 * w + 1, w}, {-(w + 3), w}}) {
      BottomUpBitmap a = Filled(3 * w + 8, 4), b = a;
      const int dx = dw > 0 ? 1 : 3 * w + 6;
      const int sx = sw > 0 ? 0 : w - 1;
      StretchBlt(a, dx, 0, dw, 4, src, sx, 0, sw, 3);
      reference::StretchBlt(b, dx, 0, dw, 4, src, sx, 0, sw, 3);
      ASSERT_EQ(a, b) << "w " << w << " dw " << dw << " sw " << sw;
    }
  }
}

// Mirrored stretches of a whole frame, with the next rows' sources fetched ahead while a
// row is written, from and to rows that start at any pixel. Catches a row fetched or read
// from the wrong end, a lost tail, a repeated row taken from the wrong destination row, and
// a row within one bitmap that is overwritten before it is read.
TEST(StretchBlt, WholeFrameMirroredRowsMatchReference) {
  constexpr int w = 1029, h = 1023;
  const BottomUpBitmap src = Numbered(w, h);
  struct Case {
    const char* name;
    int dstW, dx, dw, dh, sx, sw, sh;
    bool inPlace;
  };
  const Case cases[] = {
      {"mirrored target, unaligned start", w + 2, w + 1, -w, h, 0, w, h, false},
      {"mirrored source", w + 3, 3, w, h, w - 1, -w, h, false},
      {"rows repeated", w, w - 1, -w, h, 0, w, 700, false},
      {"within one bitmap", w, w - 1, -w, h, 0, w, h, true},
  };
  for (const Case& c : cases) {
    BottomUpBitmap fast = c.inPlace ? src : Filled(c.dstW, h), ref = fast;
    const BottomUpBitmap& from = c.inPlace ? fast : src;
    const BottomUpBitmap& refFrom = c.inPlace ? ref : src;
    StretchBlt(fast, c.dx, 0, c.dw, c.dh, from, c.sx, 0, c.sw, c.sh);
    reference::StretchBlt(ref, c.dx, 0, c.dw, c.dh, refFrom, c.sx, 0, c.sw, c.sh);
    ASSERT_EQ(fast, ref) << c.name;
  }
}

// Stretches into another bitmap large enough for the stores that bypass the cache: rows a
// whole number of 32-byte blocks wide, blocks starting at pixels off that boundary (the
// first pixels of each row stored one by one), shrinks of every strength like the two halves
// of a sideways expand; beside them the large enlargements with repeated rows and mirrored
// rows that stay in the cache. Catches a wrong or lost head, groups planned from the wrong
// column, a lost tail and a repeated row taken from the wrong row.
TEST(FastPathEqualsReference, LargeStretchesIntoAnotherBitmap) {
  constexpr int W = 1800, H = 600;  // 7,200 bytes a row
  const BottomUpBitmap src = Numbered(2400, 703);
  struct Case {
    const char* name;
    int dx, dy, dw, dh, sx, sy, sw, sh;
  };
  const Case cases[] = {
      {"left half shrunk", 0, 0, 880, H, 0, 0, 1000, H},
      {"right half shrunk, odd start", 919, 1, 880, H - 1, 1000, 0, 1000, 599},
      {"strong shrink", 3, 0, 1000, H, 0, 0, 2300, 703},
      {"enlarged, rows repeated", 5, 0, 1790, H, 17, 9, 611, 419},
      {"mirrored", 1797, 0, -1790, H, 0, 0, 1790, H},
  };
  for (const VectorLevel level : testing::LevelsToTest()) {
    const testing::ScopedVectorLevel limit(level);
    for (const Case& c : cases) {
      BottomUpBitmap fast = Filled(W, H), ref = fast;
      StretchBlt(fast, c.dx, c.dy, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh);
      reference::StretchBlt(ref, c.dx, c.dy, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh);
      ASSERT_EQ(fast, ref) << c.name << " level " << VectorLevelName(level);
    }
  }
}

// Rows long enough for the vector groups, at every vector level: enlarging,
// shrinking, 1:1 and mirrored stretches and blits, between bitmaps and within one, against
// the reference. Results fold into one checksum.
TEST(FastPathEqualsReference, WideRowsAtEveryVectorLevel) {
  for (const VectorLevel level : testing::LevelsToTest()) {
    const testing::ScopedVectorLevel limit(level);
    std::mt19937 master(777);
    uint64_t checksum = 0;
    for (int iter = 0; iter < 600; ++iter) {
      const uint32_t seed = master();
      std::mt19937 rng(seed);
      auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
      const BottomUpBitmap src = Numbered(pick(1, 90), pick(1, 40));
      BottomUpBitmap fast = Numbered(pick(1, 90), pick(1, 40));
      if (pick(0, 3) == 0) {
        const Region clip =
            Region::Ellipse(pick(-10, 40), pick(-10, 20), pick(20, 100), pick(10, 50));
        fast.SelectClipRgn(&clip);
      }
      BottomUpBitmap ref = fast;
      const bool self = pick(0, 1) == 1;
      const BottomUpBitmap& fastSrc = self ? fast : src;
      const BottomUpBitmap& refSrc = self ? ref : src;
      const int dx = pick(-20, 90), dy = pick(-10, 40), sx = pick(-20, 90), sy = pick(-10, 40);
      if (pick(0, 3) == 0) {
        const int cx = pick(1, 100), cy = pick(1, 45);
        BitBlt(fast, dx, dy, cx, cy, fastSrc, sx, sy);
        reference::BitBlt(ref, dx, dy, cx, cy, refSrc, sx, sy);
      } else {
        const int dw = pick(-100, 100), dh = pick(-45, 45), sw = pick(-100, 100),
                  sh = pick(-45, 45);
        StretchBlt(fast, dx, dy, dw, dh, fastSrc, sx, sy, sw, sh);
        reference::StretchBlt(ref, dx, dy, dw, dh, refSrc, sx, sy, sw, sh);
      }
      ASSERT_EQ(fast, ref) << "level " << VectorLevelName(level) << " iteration " << iter
                           << " seed " << seed;
      for (size_t i = 0; i < fast.PixelCount(); ++i)
        checksum = checksum * 1099511628211ull + fast.Bits()[i];
    }
    EXPECT_NE(checksum, 0u);
  }
}

// Horizontal shrinks of every strength on long rows (groups whose sources fit in eight,
// sixteen or more source pixels, windows at the row's end), mirrored or not, between bitmaps
// and within one, at every vector level. Results fold into one checksum.
TEST(FastPathEqualsReference, ShrinkingRowsAtEveryVectorLevel) {
  for (const VectorLevel level : testing::LevelsToTest()) {
    const testing::ScopedVectorLevel limit(level);
    std::mt19937 master(9090);
    uint64_t checksum = 0;
    for (int iter = 0; iter < 200; ++iter) {
      const uint32_t seed = master();
      std::mt19937 rng(seed);
      auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
      const int sw = pick(16, 400), dw = pick(8, sw);
      const BottomUpBitmap src = Numbered(sw + pick(0, 20), 3);
      BottomUpBitmap fast = Numbered(sw + pick(0, 20), 3);
      BottomUpBitmap ref = fast;
      const bool self = pick(0, 1) == 1;
      const bool mirrored = pick(0, 3) == 0;
      const int sx = pick(0, 10), dx = mirrored ? pick(dw - 1, dw + 10) : pick(0, 10);
      const BottomUpBitmap& fastSrc = self ? fast : src;
      const BottomUpBitmap& refSrc = self ? ref : src;
      StretchBlt(fast, dx, 0, mirrored ? -dw : dw, 3, fastSrc, sx, 0, sw, 3);
      reference::StretchBlt(ref, dx, 0, mirrored ? -dw : dw, 3, refSrc, sx, 0, sw, 3);
      ASSERT_EQ(fast, ref) << "level " << VectorLevelName(level) << " iteration " << iter
                           << " seed " << seed;
      for (size_t i = 0; i < fast.PixelCount(); ++i)
        checksum = checksum * 1099511628211ull + fast.Bits()[i];
    }
    EXPECT_NE(checksum, 0u);
  }
}

// Horizontal squeezes of a bitmap into part of itself, towards either side, on rows long
// enough for every kind of group: rows that read themselves ahead of or behind where they
// write. Results fold into one checksum.
TEST(StretchBlt, SqueezesWithinOneBitmapAtEveryVectorLevel) {
  constexpr int W = 301, H = 3;
  for (const VectorLevel level : testing::LevelsToTest()) {
    const testing::ScopedVectorLevel limit(level);
    uint64_t checksum = 0;
    for (int w = 0; w < W; w += 7) {
      for (int side = 0; side < 2; ++side) {
        BottomUpBitmap fast = Numbered(W, H), ref = fast;
        const int dx = side == 0 ? w : 0;
        StretchBlt(fast, dx, 0, W - w, H, fast, 0, 0, W, H);
        reference::StretchBlt(ref, dx, 0, W - w, H, ref, 0, 0, W, H);
        ASSERT_EQ(fast, ref) << "level " << VectorLevelName(level) << " w " << w << " side "
                             << side;
        for (size_t i = 0; i < fast.PixelCount(); ++i)
          checksum = checksum * 1099511628211ull + fast.Bits()[i];
      }
    }
    EXPECT_NE(checksum, 0u);
  }
}

// Stretches of a bitmap onto itself that read rows on both sides of the row they write (a
// zoom into a point inside the picture) are drawn in two walks, the upper rows downwards,
// then the lower rows upwards. Catches a split in the wrong row, the two walks in the wrong
// order, or a stretch taken for one of them that should have gone through a copy (a zoom
// out, a mirrored zoom). Wide and tall, off-centre and odd sizes, and a clipped one.
TEST(StretchBlt, ZoomsWithinOneBitmapMatchReference) {
  struct Case {
    int W, H, dx, dy, dw, dh, sx, sy, sw, sh;
  };
  const Case cases[] = {
      {64, 40, -30, -18, 124, 76, 15, 9, 34, 22},  // a zoom into the middle, as pixelating does
      {41, 67, -9, -40, 59, 140, 3, 12, 35, 31},   // tall, the point near the top
      {57, 23, -2, -3, 70, 35, 1, 1, 55, 20},      // a slight zoom: the split near the edge
      {30, 30, -90, -90, 210, 210, 13, 13, 4, 4},  // a zoom of a 4 x 4 block to more than all
      {50, 36, 6, 4, 38, 28, 0, 0, 50, 36},        // a zoom out into the middle: needs a copy
      {50, 36, -20, 50, 90, -64, 10, 8, 30, 20},   // a mirrored zoom: needs a copy
  };
  for (bool clipped : {false, true}) {
    for (const Case& c : cases) {
      BottomUpBitmap fast = Numbered(c.W, c.H);
      Region clip = Region::Ellipse(2, 3, c.W - 5, c.H - 1);
      if (clipped) fast.SelectClipRgn(&clip);
      BottomUpBitmap ref = fast;
      StretchBlt(fast, c.dx, c.dy, c.dw, c.dh, fast, c.sx, c.sy, c.sw, c.sh);
      reference::StretchBlt(ref, c.dx, c.dy, c.dw, c.dh, ref, c.sx, c.sy, c.sw, c.sh);
      EXPECT_EQ(fast, ref) << c.W << "x" << c.H << " from " << c.sx << "," << c.sy << " clipped "
                           << clipped;
    }
  }
}

// The push transitions move the picture within one bitmap: shifted blits and squeezing
// stretches in all four directions, at every offset, must equal a copy through a temporary.
TEST(BitBlt, SelfMovesOfThePushTransitionsMatchReference) {
  constexpr int W = 45, H = 23;
  for (int w = 0; w <= W; w += 4) {
    const int h = w * H / W;
    for (int kind = 0; kind < 8; ++kind) {
      BottomUpBitmap fast = Numbered(W, H), ref = fast;
      auto run = [&](auto blt, auto stretch, BottomUpBitmap& b) {
        switch (kind) {
          case 0:
            blt(b, w, 0, W - w, H, b, 0, 0);
            break;
          case 1:
            blt(b, 0, 0, W - w, H, b, w, 0);
            break;
          case 2:
            blt(b, 0, h, W, H - h, b, 0, 0);
            break;
          case 3:
            blt(b, 0, 0, W, H - h, b, 0, h);
            break;
          case 4:
            stretch(b, w, 0, W - w, H, b, 0, 0, W, H);
            break;
          case 5:
            stretch(b, 0, 0, W - w, H, b, 0, 0, W, H);
            break;
          case 6:
            stretch(b, 0, h, W, H - h, b, 0, 0, W, H);
            break;
          default:
            stretch(b, 0, 0, W, H - h, b, 0, 0, W, H);
            break;
        }
      };
      run(BitBlt, StretchBlt, fast);
      run(reference::BitBlt, reference::StretchBlt, ref);
      ASSERT_EQ(fast, ref) << "kind " << kind << " w " << w;
    }
  }
}

TEST(BitBlt, SelfMoveThroughBandedClipMatchesReference) {
  // Several rectangles in one band: the rows must still be read before they are written.
  for (auto [ox, oy] : std::vector<std::pair<int, int>>{
           {3, 0}, {-3, 0}, {0, 2}, {0, -2}, {4, 3}, {-4, -3}, {5, -1}, {-5, 1}}) {
    BottomUpBitmap fast = Numbered(30, 20);
    const Region clip = Region::FromRects(
        std::vector<Rect>{{0, 0, 8, 20}, {10, 2, 18, 15}, {20, 0, 30, 12}, {5, 14, 25, 19}});
    fast.SelectClipRgn(&clip);
    BottomUpBitmap ref = fast;
    BitBlt(fast, 0, 0, 30, 20, fast, ox, oy);
    reference::BitBlt(ref, 0, 0, 30, 20, ref, ox, oy);
    ASSERT_EQ(fast, ref) << ox << "," << oy;
  }
}

// Regions of many rectangles per band (columns of blinds, grids of small shapes), partly
// outside the target, copied between two bitmaps at random offsets: the band-by-band copy
// must equal the reference. Results fold into one checksum.
TEST(BitBlt, ThroughRegionsOfManyBandsMatchesReference) {
  std::mt19937 master(4242);
  uint64_t checksum = 0;
  for (int iter = 0; iter < 300; ++iter) {
    const uint32_t seed = master();
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const BottomUpBitmap src = Numbered(pick(1, 70), pick(1, 50));
    BottomUpBitmap fast = Filled(pick(1, 70), pick(1, 50));
    std::vector<Rect> rects;
    const int step = pick(2, 12), size = pick(1, 8);
    if (pick(0, 1)) {
      for (int x = pick(-6, 0); x < 80; x += step) rects.push_back({x, -3, x + size, 60});
    } else {
      for (int y = pick(-6, 0); y < 60; y += step) {
        for (int x = pick(-6, 0); x < 80; x += step)
          rects.push_back({x, y, x + size + pick(0, 3), y + size + pick(0, 3)});
      }
    }
    const Region clip = Region::FromRects(rects);
    fast.SelectClipRgn(&clip);
    BottomUpBitmap ref = fast;
    const int dx = pick(-10, 30), dy = pick(-10, 30), sx = pick(-10, 30), sy = pick(-10, 30);
    const int cx = pick(1, 90), cy = pick(1, 70);
    BitBlt(fast, dx, dy, cx, cy, src, sx, sy);
    reference::BitBlt(ref, dx, dy, cx, cy, src, sx, sy);
    ASSERT_EQ(fast, ref) << "iteration " << iter << " seed " << seed;
    for (size_t i = 0; i < fast.PixelCount(); ++i)
      checksum = checksum * 1099511628211ull + fast.Bits()[i];
  }
  EXPECT_NE(checksum, 0u);
}

TEST(FillRect, ClipsToBitmapAndRegion) {
  BottomUpBitmap b = Filled(5, 5);
  const Region clip = Region::FromRect(1, 1, 10, 3);
  b.SelectClipRgn(&clip);
  FillRect(b, {-3, -3, 3, 30}, 0xFF);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(b.GetPixel(x, y), (x >= 1 && x < 3 && y >= 1 && y < 3) ? 0xFFu : kBlank);
  }
}

// ComposeThroughRegion against its definition: the outside bitmap copied whole, then the
// inside one copied through the region as the target's clip region. The regions have
// bands with gaps, rows no band covers, rectangles past every edge and one band of whole
// rows; a gap taken from the wrong bitmap, a band matched to the wrong rows or a span not
// clipped to the bitmap shows. The target starts with pixels of neither bitmap. As a large
// frame the rows are split over threads.
TEST(ComposeThroughRegion, EqualsOutsideWholeThenInsideThroughTheRegion) {
  const int W = 57, H = 31;
  BottomUpBitmap inside = Numbered(W, H), outside(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) outside.SetPixel(x, y, 0x55000000u | uint32_t(x * 7 + y * 131));
  const std::vector<std::optional<Region>> regions = {
      std::nullopt,
      Region(),
      Region::FromRects(std::vector<Rect>{
          {3, 2, 9, 7}, {20, 2, 30, 7}, {-5, 10, 4, 12}, {50, 9, 70, 20}, {0, 25, 57, 28}}),
      Region::Ellipse(-10, 4, 40, 45),
      Region::FromRect(-3, -3, 80, 80),
  };
  for (const int64_t large : {int64_t{3840} * 2160, int64_t{1}}) {
    testing::ScopedFrameThreads threads(large == 1 ? 3 : 1, large);
    for (size_t i = 0; i < regions.size(); ++i) {
      const Region* region = regions[i] ? &*regions[i] : nullptr;
      BottomUpBitmap expected = outside;
      if (region != nullptr) {
        expected.SelectClipRgn(region);
        BitBlt(expected, 0, 0, W, H, inside, 0, 0);
        expected.SelectClipRgn(nullptr);
      }
      BottomUpBitmap dst = Filled(W, H);
      ComposeThroughRegion(dst, inside, outside, region);
      EXPECT_EQ(dst, expected) << "region " << i << " large " << (large == 1);
    }
  }
  // Bitmaps of other sizes: nothing is drawn.
  BottomUpBitmap dst = Filled(W, H);
  ComposeThroughRegion(dst, inside, Numbered(W, H + 1), nullptr);
  EXPECT_EQ(dst, Filled(W, H));
}

}  // namespace
}  // namespace vec

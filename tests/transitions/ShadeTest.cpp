#include <gtest/gtest.h>

#include <vector>

#include "tests/support/VectorLevels.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/BlendEffects.h"
#include "transitions/Shade.h"

namespace vec {
namespace {

// A picture whose bytes sit near both ends (0..15 and 240..255) as well as in the middle,
// with the fourth byte set, so saturation on either side and a touched fourth byte show.
BottomUpBitmap Extremes(int32_t W, int32_t H) {
  BottomUpBitmap bmp = testing::Pattern(W, H, 9);
  for (size_t i = 0; i < bmp.PixelCount(); ++i) {
    const Pixel p = bmp.Bits()[i];
    switch (i % 3) {
      case 0:
        bmp.Bits()[i] = p & 0xFF0F0F0Fu;
        break;
      case 1:
        bmp.Bits()[i] = p | 0x00F0F0F0u;
        break;
      default:
        break;
    }
  }
  return bmp;
}

// The vector shading at every level against the per-pixel reference, for bands inside,
// across either edge and wider than the picture, gentle and steep ramps, and a depth past a
// byte's range. Catches the saturating add and subtract swapped, the fourth byte shaded,
// columns whose offsets are taken from the wrong index when the band starts left of the
// picture, and a tail of fewer than four pixels left out.
TEST(Shade, EveryVectorLevelEqualsTheReference) {
  struct Case {
    int32_t start, count, depth;
  } cases[] = {
      {5, 19, 48}, {-7, 20, 48}, {30, 40, 48}, {2, 3, 48}, {0, 37, 48}, {-3, 50, 300}, {4, 200, 5},
  };
  for (VectorLevel level : testing::LevelsToTest()) {
    const testing::ScopedVectorLevel limit(level);
    for (const Case& c : cases) {
      const BottomUpBitmap picture = Extremes(37, 29);
      BottomUpBitmap fast = picture, slow = picture;
      ShadeColumns(fast, c.depth, c.start, c.count);
      reference::ShadeColumns(slow, c.depth, c.start, c.count);
      EXPECT_TRUE(fast == slow) << "columns " << c.start << "+" << c.count << " level "
                                << VectorLevelName(level);
      fast = picture;
      slow = picture;
      ShadeRows(fast, c.depth, c.start, c.count);
      reference::ShadeRows(slow, c.depth, c.start, c.count);
      EXPECT_TRUE(fast == slow) << "rows " << c.start << "+" << c.count << " level "
                                << VectorLevelName(level);
    }
  }
}

// A hand-worked band: three columns of depth 2 give offsets -2, 0, -2 (steep ramp, step
// 2 / 1); a byte of 1 stops at 0, the middle column is unchanged, the fourth byte is left
// alone. Catches a reference and fast path that agree on a wrong rule.
TEST(Shade, ThreeColumnsByHand) {
  BottomUpBitmap bmp(3, 1);
  for (int32_t x = 0; x < 3; ++x) bmp.SetPixel(x, 0, MakePixel(1, 128, 255, 7));
  ShadeColumns(bmp, 2, 0, 3);
  EXPECT_EQ(bmp.GetPixel(0, 0), MakePixel(0, 126, 253, 7));
  EXPECT_EQ(bmp.GetPixel(1, 0), MakePixel(1, 128, 255, 7));
  EXPECT_EQ(bmp.GetPixel(2, 0), MakePixel(0, 126, 253, 7));
}

}  // namespace
}  // namespace vec

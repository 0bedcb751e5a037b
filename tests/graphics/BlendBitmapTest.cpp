#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Blit.h"
#include "graphics/PictureUtilities.h"

namespace vec {
namespace {

BlendBitmap Solid(int w, int h, Pixel p) {
  BlendBitmap b(w, h);
  b.Clear(p);
  return b;
}

BlendBitmap Noise(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  BlendBitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rng());
  }
  return b;
}

struct BlendCase {
  const char* name;
  Pixel src, dst;
  uint8_t master;
  Pixel expected;
};

class BlendTest : public testing::TestWithParam<BlendCase> {};

TEST_P(BlendTest, DrawBlendsBySourceAlphaTimesMasterAlpha) {
  const BlendCase& c = GetParam();
  BlendBitmap src = Solid(1, 1, c.src);
  src.drawMode = DrawMode::Blend;
  src.masterAlpha = c.master;
  BlendBitmap dst = Solid(1, 1, c.dst);
  dst.Draw(0, 0, src);
  EXPECT_EQ(dst.GetPixel(0, 0), c.expected) << std::hex << dst.GetPixel(0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Blend, BlendTest,
    testing::Values(BlendCase{"OpaqueSourceReplaces", 0xFF102030, 0xFF405060, 255, 0xFF102030},
                    BlendCase{"TransparentSourceKeeps", 0x00102030, 0x80405060, 255, 0x80405060},
                    BlendCase{"MasterZeroKeeps", 0xFF102030, 0xFF405060, 0, 0xFF405060},
                    // a = 255 * 128 / 255 = 128: (0xFF*128 + 0*127) / 255 = 128.
                    BlendCase{"HalfMasterWhiteOverBlack", 0xFFFFFFFF, 0xFF000000, 128, 0xFF808080},
                    // a = 128 * 255 / 255 = 128, destination alpha 0: alpha = 128.
                    BlendCase{"HalfAlphaOverTransparent", 0x80FF0000, 0x00000000, 255, 0x80800000},
                    // a = 200 * 100 / 255 = 78: red (255*78 + 10*177) / 255 = 84, blue (0 +
                    // 200*177) / 255 = 138.
                    BlendCase{"AlphaTimesMaster", 0xC8FF0000, 0xFF0A00C8, 100, 0xFF54008A},
                    BlendCase{"SameColourStays", 0x7F336699, 0xFF336699, 200, 0xFF336699}),
    [](const testing::TestParamInfo<BlendCase>& info) { return std::string(info.param.name); });

TEST(BlendBitmapDraw, OpaqueCopiesAndClipsToClipRect) {
  const BlendBitmap src = Noise(4, 4, 1);
  BlendBitmap dst = Solid(6, 6, 0xFF000000);
  dst.SetClipRect({0, 0, 4, 6});
  dst.Draw(2, 1, src);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool in = x >= 2 && x < 4 && y >= 1 && y < 5;
      EXPECT_EQ(dst.GetPixel(x, y), in ? src.GetPixel(x - 2, y - 1) : 0xFF000000u);
    }
  }
}

TEST(BlendBitmapDraw, CustomCombineSeesSourceDestinationAndMaster) {
  BlendBitmap src = Solid(2, 1, 0x00FFFF00);
  src.SetPixel(1, 0, 0xFF123456);
  src.drawMode = DrawMode::Custom;
  src.masterAlpha = 77;
  src.onPixelCombine = [](Pixel s, Pixel d, uint32_t m) {
    return s == 0x00FFFF00 ? d : (s & 0x00FFFFFF) | (m << 24);
  };
  BlendBitmap dst = Solid(2, 1, 0xFF000001);
  dst.Draw(0, 0, src);
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFF000001u);
  EXPECT_EQ(dst.GetPixel(1, 0), 0x4D123456u);
}

TEST(BlendBitmapDraw, StretchedNearestRepeatsPixels) {
  BlendBitmap src(2, 2);
  src.SetPixel(0, 0, 1);
  src.SetPixel(1, 0, 2);
  src.SetPixel(0, 1, 3);
  src.SetPixel(1, 1, 4);
  BlendBitmap dst(4, 4);
  dst.Draw({0, 0, 4, 4}, {0, 0, 2, 2}, src);
  const Pixel expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.GetPixel(x, y), expected[y][x]);
  }
}

TEST(BlendBitmapDraw, StretchedPartlyOutsideDrawsVisiblePartConsistently) {
  const BlendBitmap src = Noise(5, 7, 3);
  for (StretchFilter f : {StretchFilter::Nearest, StretchFilter::Draft, StretchFilter::Linear,
                          StretchFilter::Lanczos}) {
    BlendBitmap s = src;
    s.stretchFilter = f;
    BlendBitmap whole(40, 40), part(40, 40);
    whole.Draw({0, 0, 17, 23}, {0, 0, 5, 7}, s);
    part.Draw({-5, -6, 12, 17}, {0, 0, 5, 7}, s);
    for (int y = 0; y < 17; ++y) {
      for (int x = 0; x < 12; ++x) ASSERT_EQ(part.GetPixel(x, y), whole.GetPixel(x + 5, y + 6));
    }
  }
}

TEST(BlendBitmapDraw, SmoothFiltersKeepFlatColour) {
  for (StretchFilter f : {StretchFilter::Draft, StretchFilter::Linear, StretchFilter::Lanczos}) {
    BlendBitmap src = Solid(9, 5, 0xFF336699);
    src.stretchFilter = f;
    for (auto [w, h] : {std::pair{23, 11}, std::pair{4, 2}}) {
      BlendBitmap dst(w, h);
      dst.Draw({0, 0, w, h}, {0, 0, 9, 5}, src);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) ASSERT_EQ(dst.GetPixel(x, y), 0xFF336699u);
      }
    }
  }
}

TEST(BlendBitmapPixels, SetPixelTBlendsInsideClipOnly) {
  BlendBitmap b = Solid(3, 3, 0xFF000000);
  b.SetClipRect({1, 1, 3, 3});
  b.SetPixelT(0, 0, 0xFFFFFFFF);
  b.SetPixelT(1, 1, 0x80FFFFFF);
  b.SetPixelT(5, 5, 0xFFFFFFFF);
  b.SetPixelT(-1, 1, 0xFFFFFFFF);
  EXPECT_EQ(b.GetPixel(0, 0), 0xFF000000u);
  EXPECT_EQ(b.GetPixel(1, 1), 0xFF808080u);
}

TEST(BlendBitmapPixels, ClearHonoursClipRectFillRectDoesNot) {
  BlendBitmap b = Solid(4, 4, 1);
  b.SetClipRect({1, 1, 3, 3});
  b.Clear(2);
  EXPECT_EQ(b.GetPixel(0, 0), 1u);
  EXPECT_EQ(b.GetPixel(1, 1), 2u);
  EXPECT_EQ(b.GetPixel(3, 3), 1u);
  b.FillRect(-2, -2, 2, 2, 3);
  EXPECT_EQ(b.GetPixel(0, 0), 3u);
  EXPECT_EQ(b.GetPixel(2, 2), 2u);
  b.ResetClipRect();
  b.Clear(4);
  EXPECT_EQ(b.GetPixel(0, 0), 4u);
}

TEST(BlendBitmapLine, IntegerHorizontalLineStopsBeforeEndPoint) {
  BlendBitmap b = Solid(8, 3, 0xFF000000);
  b.LineFS(1, 1, 5, 1, 0xFFFFFFFF);
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(b.GetPixel(x, 1), (x >= 1 && x < 5) ? 0xFFFFFFFFu : 0xFF000000u) << x;
    EXPECT_EQ(b.GetPixel(x, 0), 0xFF000000u);
    EXPECT_EQ(b.GetPixel(x, 2), 0xFF000000u);
  }
  b.LineFS(1, 1, 5, 1, 0xFFFFFFFF, true);
  EXPECT_EQ(b.GetPixel(5, 1), 0xFFFFFFFFu);
}

TEST(BlendBitmapLine, HalfPixelOffsetSharesCoverage) {
  BlendBitmap b = Solid(6, 3, 0xFF000000);
  b.LineFS(0, 0.5f, 4, 0.5f, 0xFFFFFFFF);
  // The two rows share the colour's alpha: 127 and 128 of 255.
  EXPECT_EQ(b.GetPixel(2, 0), 0xFF7F7F7Fu);
  EXPECT_EQ(b.GetPixel(2, 1), 0xFF808080u);
}

TEST(BlendBitmapLine, VerticalAndDiagonalLinesAndAlpha) {
  BlendBitmap b = Solid(6, 6, 0xFF000000);
  b.LineFS(2, 0, 2, 4, 0x80FFFFFF);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(b.GetPixel(2, y), 0xFF808080u);
  EXPECT_EQ(b.GetPixel(2, 4), 0xFF000000u);
  BlendBitmap d = Solid(6, 6, 0xFF000000);
  d.LineFS(0, 0, 4, 4, 0xFFFF0000);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(d.GetPixel(i, i), 0xFFFF0000u);
}

TEST(BlendBitmapLine, LinesOffTheBitmapOrInvalidAreIgnored) {
  BlendBitmap b = Solid(4, 4, 0);
  b.LineFS(-100, -100, -50, -90, 0xFFFFFFFF);
  b.LineFS(0, 0, 1e30f, 2, 0xFFFFFFFF);
  b.LineFS(0, 0, std::numeric_limits<float>::quiet_NaN(), 2, 0xFFFFFFFF);
  b.LineFS(1, 1, 1, 1, 0xFFFFFFFF);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.GetPixel(x, y), 0u);
  }
}

// Seeded random lines, fast walk against the reference: both combine modes, clipped and
// not, partly and wholly off the bitmap, every alpha, short and long, with and without the
// end point; results fold into one checksum.
TEST(BlendBitmapLine, FastWalkEqualsReferenceOnRandomLines) {
  std::mt19937 master(4242);
  uint64_t checksum = 0;
  for (int iter = 0; iter < 400; ++iter) {
    const uint32_t seed = master();
    std::mt19937 rng(seed);
    auto coord = [&](float lo, float hi) {
      return std::uniform_real_distribution<float>(lo, hi)(rng);
    };
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    BlendBitmap fast(pick(1, 70), pick(1, 50));
    for (int y = 0; y < fast.Height(); ++y)
      for (int x = 0; x < fast.Width(); ++x) fast.SetPixel(x, y, static_cast<Pixel>(rng()));
    if (pick(0, 2) == 0) fast.SetClipRect({pick(-5, 30), pick(-5, 20), pick(10, 80), pick(10, 60)});
    if (pick(0, 1)) fast.combineMode = CombineMode::Merge;
    BlendBitmap ref = fast;
    for (int line = 0; line < 20; ++line) {
      float x1 = coord(-20, 90), y1 = coord(-20, 70), x2 = coord(-20, 90), y2 = coord(-20, 70);
      if (pick(0, 4) == 0) {  // whole and half pixel positions, where rounding ties fall
        x1 = std::round(x1 * 2) / 2;
        y1 = std::round(y1 * 2) / 2;
        x2 = std::round(x2 * 2) / 2;
        y2 = std::round(y2 * 2) / 2;
      }
      if (pick(0, 9) == 0) x2 = x1 + coord(-1, 1);
      const Pixel color = static_cast<Pixel>(rng());
      const bool end = pick(0, 1) == 1;
      fast.LineFS(x1, y1, x2, y2, color, end);
      reference::LineFS(ref, x1, y1, x2, y2, color, end);
    }
    for (int y = 0; y < fast.Height(); ++y) {
      for (int x = 0; x < fast.Width(); ++x) {
        ASSERT_EQ(fast.GetPixel(x, y), ref.GetPixel(x, y))
            << "iteration " << iter << " seed " << seed << " at " << x << "," << y;
        checksum = checksum * 1099511628211ull + fast.GetPixel(x, y);
      }
    }
  }
  EXPECT_NE(checksum, 0u);
}

TEST(BlendBitmapLine, FarAndHugeCoordinatesMatchReference) {
  BlendBitmap fast(16, 16), ref(16, 16);
  const std::vector<std::array<float, 4>> lines = {{-1e12f, 3, 1e12f, 4},
                                                   {3, 3, 3, 3e13f},
                                                   {2.5f, 2.5f, 12.5f, 7.5f},
                                                   {-0.5f, 8, 15.5f, 8},
                                                   {5, -3, 5.5f, 40},
                                                   {40, 5, 17.5f, 5},
                                                   {1e20f, 1e20f, 1e20f + 5, 1e20f}};
  for (const auto& l : lines) {
    fast.LineFS(l[0], l[1], l[2], l[3], 0xC0FF8040, true);
    reference::LineFS(ref, l[0], l[1], l[2], l[3], 0xC0FF8040, true);
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(fast.GetPixel(x, y), ref.GetPixel(x, y)) << x << "," << y;
}

TEST(BlendBitmapTransfer, FlipDrawToAndCopyFrom) {
  BlendBitmap b = Noise(5, 3, 7);
  const BlendBitmap before = b;
  b.FlipHorz();
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(b.GetPixel(x, y), before.GetPixel(4 - x, y));
  }
  BottomUpBitmap dev(6, 6);
  const Region clip = Region::FromRect(0, 0, 6, 3);
  dev.SelectClipRgn(&clip);
  before.DrawTo(dev, 2, 1);
  EXPECT_EQ(dev.GetPixel(2, 1), before.GetPixel(0, 0));
  EXPECT_EQ(dev.GetPixel(5, 2), before.GetPixel(3, 1));
  EXPECT_EQ(dev.GetPixel(2, 3), 0u);  // clipped away
  dev.SelectClipRgn(nullptr);
  before.DrawTo(dev, 0, 0);
  BlendBitmap back;
  back.CopyFrom(dev);
  ASSERT_EQ(back.Width(), 6);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(back.GetPixel(x, y), before.GetPixel(x, y));
  }
}

struct ShadeCase {
  Pixel c1, c2;
  int percent;
  Pixel expected;
};

TEST(PictureUtilities, ShadeColorPerChannelFormula) {
  const ShadeCase cases[] = {
      {0xFFFFFFFF, 0x00123456, 70, 0xFF123456},   // a white shade leaves colour 2
      {0x00000000, 0x00808080, 50, 0x00010101},   // 255 - (12750 + 12700) / 100 = 1
      {0x00000000, 0x00808080, 100, 0x00000000},  // clamped at 0
      {0x00FF8000, 0x00FFFFFF, 100, 0x00FF8000},
      {0x00000000, 0x00FFFFFF, -50, 0x00FFFFFF},  // negative percent lightens, clamped
  };
  for (const ShadeCase& c : cases) EXPECT_EQ(ShadeColor(c.c1, c.c2, c.percent), c.expected);
}

TEST(PictureUtilities, GrayOutAveragesChannelsKeepsAlpha) {
  BlendBitmap b = Solid(1, 1, 0x7F0A141F);  // (10 + 20 + 31) / 3 = 20
  GrayOut(b);
  EXPECT_EQ(b.GetPixel(0, 0), 0x7F141414u);
}

TEST(PictureUtilities, StretchLanczosIdentityFlatAndBounds) {
  const BlendBitmap src = Noise(13, 9, 11);
  BlendBitmap same(13, 9);
  StretchLanczos(src, same);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 13; ++x) ASSERT_EQ(same.GetPixel(x, y), src.GetPixel(x, y));
  }
  const BlendBitmap flat = Solid(31, 17, 0xFFC08040);
  for (auto [w, h] : {std::pair{64, 40}, std::pair{10, 5}, std::pair{1, 1}, std::pair{31, 1}}) {
    BlendBitmap dst(w, h);
    StretchLanczos(flat, dst);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) ASSERT_EQ(dst.GetPixel(x, y), 0xFFC08040u) << w << "x" << h;
    }
  }
  BlendBitmap one = Solid(1, 1, 0xFF102030), big(7, 3);
  StretchLanczos(one, big);
  EXPECT_EQ(big.GetPixel(6, 2), 0xFF102030u);
}

TEST(PictureUtilities, StretchLanczosHalvingAveragesAlternatingColumns) {
  // Columns alternating 0 and 200 halved: every output pixel lies near the mean.
  BlendBitmap src(64, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 64; ++x) src.SetPixel(x, y, x % 2 ? 0xFFC8C8C8 : 0xFF000000);
  }
  BlendBitmap dst(32, 4);
  StretchLanczos(src, dst);
  for (int x = 3; x < 29; ++x) EXPECT_NEAR(PixelR(dst.GetPixel(x, 1)), 100, 2) << x;
}

TEST(PictureUtilities, StretchSmoothToInterpolatesBetweenPixels) {
  BlendBitmap src(2, 1);
  src.SetPixel(0, 0, 0xFF000000);
  src.SetPixel(1, 0, 0xFFFFFFFF);
  BlendBitmap dst(4, 1);
  StretchSmoothTo(src, dst);
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFF000000u);
  EXPECT_EQ(dst.GetPixel(3, 0), 0xFFFFFFFFu);
  EXPECT_GT(PixelR(dst.GetPixel(1, 0)), 0);
  EXPECT_LT(PixelR(dst.GetPixel(1, 0)), PixelR(dst.GetPixel(2, 0)));
  const BlendBitmap flat = Solid(17, 9, 0xFF306090);
  BlendBitmap out(40, 3);
  StretchSmoothTo(flat, out);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(out.GetPixel(x, 1), 0xFF306090u);
}

}  // namespace
}  // namespace vec

// Fitting a project to the output: sizes, wave scaling and the mask's values.

#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/Blit.h"
#include "picture/Mask.h"
#include "picture/Picture.h"

namespace vec {
namespace {

Picture MakeProject(int32_t w, int32_t h) {
  Picture p;
  p.picture.SetSize(w, h);
  p.mask.SetSize(w, h);
  p.designWidth = w;
  p.designHeight = h;
  return p;
}

TEST(ResizeProject, Sizes) {
  struct Case {
    int32_t w, h;
    bool keep;
    int32_t W, H, expectedW, expectedH;
  };
  const Case cases[] = {
      {2000, 1000, true, 1024, 768, 1024, 512},  {1000, 2000, true, 1024, 768, 384, 768},
      {2000, 1000, true, 1025, 768, 1025, 512},  // 512.5 rounds to even
      {2000, 1000, true, 1027, 768, 1027, 514},  // 513.5 rounds to even
      {1600, 1200, true, 1024, 768, 1024, 768},  {2000, 1000, false, 1024, 768, 1024, 768},
      {100000 / 100, 1, true, 640, 480, 640, 1},  // never below one pixel
  };
  for (const auto& c : cases) {
    Picture p = MakeProject(c.w, c.h);
    ResizeProject(c.keep, p, c.W, c.H);
    EXPECT_EQ(p.picture.Width(), c.expectedW) << c.w << "x" << c.h << " -> " << c.W << "x" << c.H;
    EXPECT_EQ(p.picture.Height(), c.expectedH) << c.w << "x" << c.h << " -> " << c.W << "x" << c.H;
    EXPECT_EQ(p.mask.Width(), c.expectedW);
    EXPECT_EQ(p.mask.Height(), c.expectedH);
    EXPECT_EQ(p.designWidth, c.w);
    EXPECT_EQ(p.designHeight, c.h);
  }
}

TEST(ResizeProject, ScalesAmplitudeAndScatterWithRoundingToEven) {
  struct Case {
    int32_t w, h, W, H, amplitude, scatter, expectedAmplitude, expectedScatter;
  };
  const Case cases[] = {
      {1000, 500, 1500, 750, 10, 4, 15, 6},
      {1000, 500, 500, 250, 5, 3, 2, 2},  // 2.5 -> 2, 1.5 -> 2
      {1000, 500, 500, 250, 7, 5, 4, 2},  // 3.5 -> 4, 2.5 -> 2
      {1152, 600, 960, 500, 3, 0, 2, 0},  // 2.5 exactly (5/6 x 3) -> 2
      {1920, 1080, 1280, 720, 9, 9, 6, 6},
      // 448 / 640 x 45 = 31.499999999999996 and 336 / 480 x 45 likewise: 31, not the
      // even 32 that the exact 31.5 would give.
      {640, 480, 448, 336, 45, 45, 31, 31},
  };
  for (const auto& c : cases) {
    Picture p = MakeProject(c.w, c.h);
    for (auto& wave : p.waveSets) {
      wave.Amplitude = c.amplitude;
      wave.Scatter = c.scatter;
      wave.PhaseStep = 7;
      wave.Cycles = 3;
      wave.Period = 360;
    }
    ResizeProject(false, p, c.W, c.H);
    for (const auto& wave : p.waveSets) {
      EXPECT_EQ(wave.Amplitude, c.expectedAmplitude) << c.w << "->" << c.W << " A" << c.amplitude;
      EXPECT_EQ(wave.Scatter, c.expectedScatter) << c.h << "->" << c.H << " S" << c.scatter;
      EXPECT_EQ(wave.PhaseStep, 7);
      EXPECT_EQ(wave.Cycles, 3);
      EXPECT_EQ(wave.Period, 360);
    }
  }
}

TEST(ResizeProject, MaskKeepsOnlyMaskValues) {
  Picture p = MakeProject(7, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x)
      p.mask.SetPixel(x, y, kAreaColors[static_cast<size_t>((x + y) % 5)]);
  ResizeProject(false, p, 23, 11);
  const auto counts = CountMaskValues(p.mask);
  int64_t total = 0;
  for (auto c : counts) total += c;
  EXPECT_EQ(total, 23 * 11);
  for (auto c : counts) EXPECT_GT(c, 0);
}

TEST(ResizeProject, PictureIsResampledToTheNewSize) {
  Picture p = MakeProject(4, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) p.picture.SetPixel(x, y, MakePixel(200, 100, 50));
  ResizeProject(false, p, 9, 6);
  ASSERT_EQ(p.picture.Width(), 9);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 9; ++x) {
      const Pixel q = p.picture.GetPixel(x, y);
      EXPECT_EQ(PixelR(q), 200);
      EXPECT_EQ(PixelG(q), 100);
      EXPECT_EQ(PixelB(q), 50);
    }
}

TEST(ResizeProject, EmptyProjectOrSizeIsLeftAlone) {
  Picture empty;
  ResizeProject(true, empty, 640, 480);
  EXPECT_TRUE(empty.picture.Empty());
  Picture p = MakeProject(10, 10);
  p.waveSets[0].Amplitude = 5;
  ResizeProject(true, p, 0, 480);
  EXPECT_EQ(p.picture.Width(), 10);
  EXPECT_EQ(p.waveSets[0].Amplitude, 5);
}

// Fitting sizes its bitmaps without clearing them, so the resampling and the stretch must
// write every pixel. `fitted` starts larger than needed (its storage is reused as it is),
// full of a colour neither can produce (its fourth byte is not 255 and it is no mask value),
// and with a clip region that would keep a stretch off most of it.
TEST(FitPictureAndMask, WriteEveryPixelOfReusedStorage) {
  constexpr Pixel kSentinel = 0x5A17C3E9;
  struct Case {
    int32_t w, h, W, H;
  };
  const Case cases[] = {
      {40, 30, 27, 17}, {13, 9, 40, 31}, {30, 40, 31, 12}, {1, 1, 7, 3}, {9, 5, 1, 1}, {8, 8, 8, 8},
  };
  const Region corner = Region::FromRect(0, 0, 2, 2);
  for (const auto& c : cases) {
    Bitmap picture(c.w, c.h), mask(c.w, c.h);
    for (int32_t y = 0; y < c.h; ++y)
      for (int32_t x = 0; x < c.w; ++x) {
        picture.SetPixel(x, y, MakePixel(uint8_t(x * 255 / c.w), uint8_t(y * 255 / c.h), 0x80, 0));
        mask.SetPixel(x, y, kAreaColors[static_cast<size_t>((x / 3 + y) % 5)]);
      }
    const auto sentinelFilled = [&] {
      Bitmap b(64, 64);
      FillRect(b, Rect{0, 0, 64, 64}, kSentinel);
      b.SelectClipRgn(&corner);
      return b;
    };
    Bitmap fittedPicture = sentinelFilled(), fittedMask = sentinelFilled(),
           fittedNoMask = sentinelFilled();
    FitPicture(picture, c.W, c.H, fittedPicture);
    FitMask(mask, c.W, c.H, fittedMask);
    FitMask(Bitmap(), c.W, c.H, fittedNoMask);
    for (const Bitmap* b : {&fittedPicture, &fittedMask, &fittedNoMask}) {
      ASSERT_EQ(b->Width(), c.W);
      ASSERT_EQ(b->Height(), c.H);
      EXPECT_FALSE(b->ClipRegion().has_value());
    }
    const auto where = testing::Message() << c.w << "x" << c.h << " -> " << c.W << "x" << c.H;
    const size_t n = static_cast<size_t>(c.W) * static_cast<size_t>(c.H);
    for (size_t i = 0; i < n; ++i) {
      ASSERT_EQ(PixelA(fittedPicture.Bits()[i]), 255) << where << " picture pixel " << i;
      ASSERT_NE(std::find(kAreaColors.begin(), kAreaColors.end(), fittedMask.Bits()[i]),
                kAreaColors.end())
          << where << " mask pixel " << i;
      ASSERT_EQ(fittedNoMask.Bits()[i], 0u) << where << " empty mask pixel " << i;
    }
  }
}

}  // namespace
}  // namespace vec

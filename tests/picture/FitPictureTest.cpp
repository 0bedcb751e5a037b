// Fitting a picture to the output: sizes, wave scaling and the mask's values.

#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/Blit.h"
#include "picture/Mask.h"
#include "picture/Picture.h"
#include "tests/support/VectorLevels.h"

namespace vec {
namespace {

Picture MakePicture(int32_t w, int32_t h) {
  Picture p;
  p.image.SetSize(w, h);
  p.mask = AreaMask(w, h);
  p.designWidth = w;
  p.designHeight = h;
  return p;
}

TEST(FitPicture, Sizes) {
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
    Picture p = MakePicture(c.w, c.h);
    FitPicture(c.keep, p, c.W, c.H);
    EXPECT_EQ(p.image.Width(), c.expectedW) << c.w << "x" << c.h << " -> " << c.W << "x" << c.H;
    EXPECT_EQ(p.image.Height(), c.expectedH) << c.w << "x" << c.h << " -> " << c.W << "x" << c.H;
    EXPECT_EQ(p.mask.Width(), c.expectedW);
    EXPECT_EQ(p.mask.Height(), c.expectedH);
    EXPECT_EQ(p.designWidth, c.w);
    EXPECT_EQ(p.designHeight, c.h);
  }
}

TEST(FitPicture, ScalesAmplitudeAndScatterWithRoundingToEven) {
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
    Picture p = MakePicture(c.w, c.h);
    for (auto& wave : p.waveSets) {
      wave.Amplitude = c.amplitude;
      wave.Scatter = c.scatter;
      wave.PhaseStep = 7;
      wave.Cycles = 3;
      wave.Period = 360;
    }
    FitPicture(false, p, c.W, c.H);
    for (const auto& wave : p.waveSets) {
      EXPECT_EQ(wave.Amplitude, c.expectedAmplitude) << c.w << "->" << c.W << " A" << c.amplitude;
      EXPECT_EQ(wave.Scatter, c.expectedScatter) << c.h << "->" << c.H << " S" << c.scatter;
      EXPECT_EQ(wave.PhaseStep, 7);
      EXPECT_EQ(wave.Cycles, 3);
      EXPECT_EQ(wave.Period, 360);
    }
  }
}

TEST(FitPicture, MaskKeepsOnlyMaskValues) {
  Picture p = MakePicture(7, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x) p.mask.Set(x, y, static_cast<uint8_t>((x + y) % 5));
  FitPicture(false, p, 23, 11);
  const auto counts = CountMaskValues(p.mask);
  int64_t total = 0;
  for (auto c : counts) total += c;
  EXPECT_EQ(total, 23 * 11);
  for (auto c : counts) EXPECT_GT(c, 0);
}

TEST(FitPicture, PictureIsResampledToTheNewSize) {
  Picture p = MakePicture(4, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) p.image.SetPixel(x, y, MakePixel(200, 100, 50));
  FitPicture(false, p, 9, 6);
  ASSERT_EQ(p.image.Width(), 9);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 9; ++x) {
      const Pixel q = p.image.GetPixel(x, y);
      EXPECT_EQ(PixelR(q), 200);
      EXPECT_EQ(PixelG(q), 100);
      EXPECT_EQ(PixelB(q), 50);
    }
}

TEST(FitPicture, EmptyProjectOrSizeIsLeftAlone) {
  Picture empty;
  FitPicture(true, empty, 640, 480);
  EXPECT_TRUE(empty.image.Empty());
  Picture p = MakePicture(10, 10);
  p.waveSets[0].Amplitude = 5;
  FitPicture(true, p, 0, 480);
  EXPECT_EQ(p.image.Width(), 10);
  EXPECT_EQ(p.waveSets[0].Amplitude, 5);
}

// Fitting sizes its bitmaps without clearing them, so the resampling and the stretch must
// write every pixel. `fitted` starts larger than needed (its storage is reused as it is),
// full of a value neither can produce (a colour whose fourth byte is not 255, an index
// beyond the last area), and the picture's with a clip region that would keep a stretch
// off most of it. The mask must also show, pixel for pixel, what StretchBlt draws from the
// mask in its area colours: the widths make the row stretch take its 16-column groups with
// one load (enlarging), two (shrinking by less than two) and pixel by pixel (shrinking by
// more, or a group that would read past the row's end), then a tail, at every vector level;
// each source pixel's index differs from its neighbours', so a byte picked one off shows.
TEST(FitPictureAndMask, WriteEveryPixelOfReusedStorageAndTheMaskAsStretchBltDraws) {
  constexpr Pixel kSentinel = 0x5A17C3E9;
  constexpr uint8_t kNoIndex = 0xEE;
  struct Case {
    int32_t w, h, W, H;
  };
  const Case cases[] = {
      {40, 30, 27, 17}, {13, 9, 40, 31},  {30, 40, 31, 12},   {1, 1, 7, 3},     {9, 5, 1, 1},
      {8, 8, 8, 8},     {100, 7, 161, 5}, {161, 3, 100, 4},   {700, 2, 130, 3}, {33, 2, 32, 2},
      {47, 3, 65, 2},   {5, 2, 1, 2},     {1920, 4, 1280, 3},
  };
  const Region corner = Region::FromRect(0, 0, 2, 2);
  for (const VectorLevel level : vec::testing::LevelsToTest())
    for (const auto& c : cases) {
      const vec::testing::ScopedVectorLevel limit(level);
      BottomUpBitmap picture(c.w, c.h);
      AreaMask mask(c.w, c.h);
      for (int32_t y = 0; y < c.h; ++y)
        for (int32_t x = 0; x < c.w; ++x) {
          picture.SetPixel(x, y,
                           MakePixel(uint8_t(x * 255 / c.w), uint8_t(y * 255 / c.h), 0x80, 0));
          mask.Set(x, y, static_cast<uint8_t>((x + 2 * y + (x / 5) * 3) % 5));
        }
      BottomUpBitmap fittedPicture(64, 64);
      FillRect(fittedPicture, Rect{0, 0, 64, 64}, kSentinel);
      fittedPicture.SelectClipRgn(&corner);
      AreaMask fittedMask(2000, 8), fittedNoMask(2000, 8);
      for (AreaMask* m : {&fittedMask, &fittedNoMask})
        std::fill_n(m->Row(0), m->PixelCount(), kNoIndex);
      FitImage(picture, c.W, c.H, fittedPicture);
      FitMask(mask, c.W, c.H, fittedMask);
      FitMask(AreaMask(), c.W, c.H, fittedNoMask);
      ASSERT_EQ(fittedPicture.Width(), c.W);
      ASSERT_EQ(fittedPicture.Height(), c.H);
      EXPECT_FALSE(fittedPicture.ClipRegion().has_value());
      for (const AreaMask* m : {&fittedMask, &fittedNoMask}) {
        ASSERT_EQ(m->Width(), c.W);
        ASSERT_EQ(m->Height(), c.H);
      }
      BottomUpBitmap drawn(c.W, c.H);
      StretchBlt(drawn, 0, 0, c.W, c.H, AreaColorsOf(mask), 0, 0, c.w, c.h);
      const auto where = ::testing::Message() << c.w << "x" << c.h << " -> " << c.W << "x" << c.H
                                              << " level " << VectorLevelName(level);
      for (int32_t y = 0; y < c.H; ++y)
        for (int32_t x = 0; x < c.W; ++x) {
          ASSERT_EQ(PixelA(fittedPicture.GetPixel(x, y)), 255)
              << where << " picture " << x << "," << y;
          ASSERT_EQ(fittedMask.At(x, y), AreaIndexOf(drawn.GetPixel(x, y)))
              << where << " mask " << x << "," << y;
          ASSERT_EQ(fittedNoMask.At(x, y), 0) << where << " empty mask " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace vec

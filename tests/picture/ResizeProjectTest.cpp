// Fitting a project to the output: sizes, wave scaling and the mask's values.

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vec

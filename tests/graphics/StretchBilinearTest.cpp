// The opaque bilinear stretch that fits pictures to the screen: its fast path against the
// general one.

#include <gtest/gtest.h>

#include <random>

#include "graphics/PictureUtilities.h"

namespace vec {
namespace {

// Gradients that run differently in each channel, over fourth bytes that are noise: a path
// that lets the fourth byte into the colours (premultiplying), leaves it unset or swaps the
// axes gives other pixels than the reference.
Bitmap Gradient(int32_t w, int32_t h) {
  Bitmap b(w, h);
  std::mt19937 rng(7);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(
          x, y,
          MakePixel(static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h),
                    static_cast<uint8_t>((x * 37 + y * 11) & 255), static_cast<uint8_t>(rng())));
  return b;
}

TEST(StretchBilinearOpaque, MatchesTheGeneralPathAndIsOpaque) {
  struct Case {
    int32_t w, h, W, H;
  };
  const Case cases[] = {
      {7, 5, 13, 3},      // wider, flatter
      {1, 1, 4, 3},       // one pixel spread
      {16, 9, 5, 11},     // narrower, taller
      {3, 8, 3, 8},       // same size
      {97, 61, 211, 37},  // long rows for the vector paths
  };
  for (const Case& c : cases) {
    const Bitmap src = Gradient(c.w, c.h);
    Bitmap fast(c.W, c.H), plain(c.W, c.H);
    StretchBilinearOpaque(src, fast);
    reference::StretchBilinearOpaque(src, plain);
    const std::string name = std::to_string(c.w) + "x" + std::to_string(c.h) + " -> " +
                             std::to_string(c.W) + "x" + std::to_string(c.H);
    ASSERT_EQ(std::vector<Pixel>(fast.Bits(), fast.Bits() + fast.PixelCount()),
              std::vector<Pixel>(plain.Bits(), plain.Bits() + plain.PixelCount()))
        << name;
    for (size_t i = 0; i < fast.PixelCount(); ++i)
      ASSERT_EQ(PixelA(fast.Bits()[i]), 255) << name << " pixel " << i;
  }
}

}  // namespace
}  // namespace vec

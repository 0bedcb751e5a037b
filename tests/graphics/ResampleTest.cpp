// The separable filters at every vector level against the plain level.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/Resample.h"
#include "tests/support/VectorLevels.h"

namespace vec {
namespace {

// Hard edges between black and white among smooth bytes, so that Lanczos overshoots and the
// sums must be clamped at both ends of a byte; every byte of a pixel differs.
std::vector<Pixel> Picture(int32_t w, int32_t h) {
  std::vector<Pixel> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const bool edge = (x + y) % 3 == 0;
      const auto v = static_cast<uint8_t>(edge ? ((x / 3) % 2) * 255 : (x * 37 + y * 91) & 0xFF);
      pixels[static_cast<size_t>(y * w + x)] =
          MakePixel(v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(x * 11), 0x80 | y);
    }
  return pixels;
}

// Widths that leave a tail after whole vectors of four, a one-pixel source (whose taps are
// clamped), shrinks and enlargements, and a window that is part of the output. Catches a
// weight pair taken the wrong way round, a tail of the vertical pass left out, a clamped tap
// read past the row, and a window offset lost in one pass.
TEST(Resample, EveryVectorLevelGivesThePlainPixels) {
  struct Case {
    int32_t sw, sh, dw, dh;
    Rect window;
  };
  const Case cases[] = {
      {1, 1, 5, 3, {0, 0, 5, 3}},     {3, 2, 1, 1, {0, 0, 1, 1}},
      {7, 5, 27, 17, {0, 0, 27, 17}}, {40, 3, 13, 9, {0, 0, 13, 9}},
      {13, 9, 80, 7, {5, 2, 71, 7}},  {64, 64, 31, 33, {3, 1, 30, 32}},
  };
  for (const ResampleKernel kernel : {ResampleKernel::Linear, ResampleKernel::Lanczos3})
    for (const Case& c : cases) {
      const std::vector<Pixel> source = Picture(c.sw, c.sh);
      const PixelView src{source.data(), c.sw, c.sh, c.sw};
      const int32_t ww = c.window.Width(), wh = c.window.Height();
      auto draw = [&](VectorLevel level) {
        const testing::ScopedVectorLevel limit(level);
        std::vector<Pixel> out(static_cast<size_t>(ww) * static_cast<size_t>(wh), 0xDEADBEEF);
        Resample(src, Rect{0, 0, c.sw, c.sh}, c.dw, c.dh, c.window, kernel,
                 PixelTarget{out.data(), ww, wh, ww});
        return out;
      };
      const std::vector<Pixel> plain = draw(VectorLevel::Scalar);
      for (const VectorLevel level : testing::LevelsToTest())
        EXPECT_EQ(draw(level), plain)
            << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " kernel "
            << static_cast<int>(kernel) << " level " << VectorLevelName(level);
    }
}

}  // namespace
}  // namespace vec

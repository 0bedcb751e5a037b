#pragma once
// Resampling of 32-bit pixel blocks (all four bytes treated alike), shared by the
// blending bitmap's stretched draw and the picture utilities.

#include <cstdint>

#include "graphics/Geometry.h"

namespace vec {

// A read-only view of pixels with a row stride (in pixels).
struct PixelView {
  const Pixel* pixels = nullptr;
  int32_t width = 0, height = 0, stride = 0;
  const Pixel* Row(int32_t y) const { return pixels + static_cast<int64_t>(y) * stride; }
};

// A writable view.
struct PixelTarget {
  Pixel* pixels = nullptr;
  int32_t width = 0, height = 0, stride = 0;
  Pixel* Row(int32_t y) const { return pixels + static_cast<int64_t>(y) * stride; }
};

enum class ResampleKernel { Nearest, Box, Linear, Lanczos3 };

// Resamples the block `srcRect` of `src` to an image of dw x dh pixels and writes the part
// `window` of that image (0 <= window within dw x dh) to `out`, which is window-sized.
// Samples outside srcRect repeat its edge pixels. Linear and Lanczos3 are separable
// filters with integer weights (14 fractional bits), widened by the scale when shrinking.
void Resample(const PixelView& src, const Rect& srcRect, int32_t dw, int32_t dh, const Rect& window,
              ResampleKernel kernel, const PixelTarget& out);

}  // namespace vec

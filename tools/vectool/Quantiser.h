#pragma once
// Turns a 32-bit picture into at most 256 colours for GIF output: libimagequant chooses the
// palette for the picture at hand and remaps it with error-diffusion dithering. A picture of
// no more colours than the palette holds keeps every colour exactly. The default speed is
// the quantiser's fastest: a gallery is thousands of frames, and the fastest speed still
// stays within a unit or two of a smooth gradient.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Result.h"
#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"

namespace vectool {

struct PaletteColour {
  uint8_t r = 0, g = 0, b = 0;
};

struct IndexedPicture {
  int32_t width = 0, height = 0;
  // Row by row from the top, one palette index per pixel.
  std::vector<uint8_t> indices;
  // 1 to 256 colours.
  std::vector<PaletteColour> palette;

  PaletteColour At(int32_t x, int32_t y) const {
    return palette[indices[static_cast<size_t>(y) * static_cast<size_t>(width) +
                           static_cast<size_t>(x)]];
  }
};

// A rectangle of a picture: left, top, width, height.
struct PictureArea {
  int32_t x = 0, y = 0, w = 0, h = 0;
};

class Quantiser {
 public:
  // Speed 1 (slowest, best) .. 10 (fastest); dithering 0 (none) .. 1 (full).
  explicit Quantiser(int speed = 10, float dithering = 1.0F)
      : speed_(speed), dithering_(dithering) {}

  // The area of `picture` (the whole picture when `area` is empty) with its own palette.
  // Alpha is ignored: every pixel counts as opaque.
  vec::ErrorOr<IndexedPicture> Quantise(const vec::BlendBitmap& picture, PictureArea area) const;
  vec::ErrorOr<IndexedPicture> Quantise(const vec::BottomUpBitmap& picture, PictureArea area) const;

 private:
  template <class Picture>
  vec::ErrorOr<IndexedPicture> QuantiseOf(const Picture& picture, PictureArea area) const;
  vec::Status QuantiseRgba(std::vector<uint8_t>& rgba, IndexedPicture& out) const;

  int speed_;
  float dithering_;
};

}  // namespace vectool

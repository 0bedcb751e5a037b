#pragma once
// The device bitmap: 32 bits per pixel, rows stored bottom-up without gaps, so the
// whole image is one block that begins at the row of y = height - 1. The pixel
// effects walk that block directly; the copies go through graphics/Blit.h and honour the
// selected clip region.

#include <cstdint>
#include <optional>

#include "graphics/Geometry.h"
#include "graphics/PixelStorage.h"
#include "graphics/Region.h"

namespace vec {

class BottomUpBitmap {
 public:
  BottomUpBitmap() = default;
  BottomUpBitmap(int32_t width, int32_t height) { SetSize(width, height); }

  // New pixels are black (0); existing content is not preserved.
  void SetSize(int32_t width, int32_t height);
  // The same size change with the pixels left unset: only for a caller that writes every
  // pixel before any is read (a bitmap filled whole by a resampling or a copy).
  void SetSizeForOverwrite(int32_t width, int32_t height);
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Row y (0 = top) of `width` pixels.
  Pixel* ScanLine(int32_t y) {
    return pixels_.data() + static_cast<size_t>(height_ - 1 - y) * width_;
  }
  const Pixel* ScanLine(int32_t y) const {
    return pixels_.data() + static_cast<size_t>(height_ - 1 - y) * width_;
  }
  // The whole image as one block, starting with the bottom row.
  Pixel* Bits() { return pixels_.data(); }
  const Pixel* Bits() const { return pixels_.data(); }
  size_t PixelCount() const { return pixels_.size(); }

  Pixel GetPixel(int32_t x, int32_t y) const { return ScanLine(y)[x]; }
  void SetPixel(int32_t x, int32_t y, Pixel p) { ScanLine(y)[x] = p; }

  // Brush colour used by FillRect (a pixel value).
  Pixel brush = 0;

  // Clip region of the canvas: nullopt means no clipping beyond the bitmap.
  void SelectClipRgn(const Region* region);
  void ExcludeClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  const std::optional<Region>& ClipRegion() const { return clip_; }

  friend bool operator==(const BottomUpBitmap& a, const BottomUpBitmap& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
  }

 private:
  int32_t width_ = 0, height_ = 0;
  PixelStorage pixels_;
  std::optional<Region> clip_;
};

}  // namespace vec

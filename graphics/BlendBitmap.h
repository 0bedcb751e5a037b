#pragma once
// The blending bitmap: 32-bit pixels (bytes blue, green, red, alpha), rows top-down
// (row y begins at pixel y * width), with master alpha, draw modes and stretch filters.

#include <cstdint>
#include <functional>

#include "graphics/BottomUpBitmap.h"
#include "graphics/Geometry.h"
#include "graphics/PixelStorage.h"

namespace vec {

enum class DrawMode { Opaque, Blend, Custom };
enum class CombineMode { Blend, Merge };
enum class StretchFilter { Nearest, Draft, Linear, Lanczos };

// Custom combine: (source pixel, destination pixel, master alpha) -> new destination pixel.
using PixelCombine = std::function<Pixel(Pixel src, Pixel dst, uint32_t masterAlpha)>;

class BlendBitmap {
 public:
  BlendBitmap() = default;
  BlendBitmap(int32_t width, int32_t height) { SetSize(width, height); }

  void SetSize(int32_t width, int32_t height);  // new pixels are 0
  // The same size change with the pixels left unset: only for a caller that writes every
  // pixel before any is read.
  void SetSizeForOverwrite(int32_t width, int32_t height);
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  Pixel* Bits() { return pixels_.data(); }
  const Pixel* Bits() const { return pixels_.data(); }
  Pixel* ScanLine(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const Pixel* ScanLine(int32_t y) const {
    return pixels_.data() + static_cast<size_t>(y) * width_;
  }
  Pixel GetPixel(int32_t x, int32_t y) const {
    return pixels_[static_cast<size_t>(y) * width_ + x];
  }
  void SetPixel(int32_t x, int32_t y, Pixel p) { pixels_[static_cast<size_t>(y) * width_ + x] = p; }

  // Drawing this bitmap onto another (Draw) follows drawMode: Opaque copies (blending by
  // masterAlpha alone when it is below 255); Blend blends every pixel with weight
  // a = alpha * masterAlpha / 255 as c = (src * a + dst * (255 - a)) / 255 per colour
  // byte, alpha = a + dstAlpha * (255 - a) / 255 (truncating; see BlendBitmap.cpp);
  // Custom hands every pixel to onPixelCombine.
  uint8_t masterAlpha = 255;
  DrawMode drawMode = DrawMode::Opaque;
  CombineMode combineMode = CombineMode::Blend;
  StretchFilter stretchFilter = StretchFilter::Nearest;
  PixelCombine onPixelCombine;  // used when drawMode == Custom

  // Clip rectangle for SetPixelT, Clear and drawing onto this bitmap.
  Rect clipRect() const { return clip_; }
  void SetClipRect(const Rect& r);
  void ResetClipRect();

  void Clear(Pixel color);  // all pixels, or the clip rectangle when one is set
  void SetPixelT(int32_t x, int32_t y, Pixel color);  // blended; ignored outside the clip rectangle
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Pixel color);  // plain
  // Anti-aliased blended line in a colour that carries its alpha, coordinates in pixels
  // (fractional allowed); the end point is drawn only when asked for.
  void LineFS(float x1, float y1, float x2, float y2, Pixel color, bool drawEndPoint = false);

  // Composite `src` at (x, y) by src's draw mode and master alpha.
  void Draw(int32_t x, int32_t y, const BlendBitmap& src);
  // Stretched with src's stretch filter, then composited as above.
  void Draw(const Rect& dstRect, const Rect& srcRect, const BlendBitmap& src);

  void FlipHorz();  // mirror left to right in place
  // Copy the pixels 1:1 into a device bitmap at (x, y) (clipped to it).
  void DrawTo(BottomUpBitmap& dst, int32_t x, int32_t y) const;
  void CopyFrom(const BottomUpBitmap& src);  // same size as src, pixels copied as they are

 private:
  int32_t width_ = 0, height_ = 0;
  PixelStorage pixels_;
  Rect clip_{};
  bool clipping_ = false;
};

// Reference implementations (plain, obviously right); tests hold the fast paths to them.
namespace reference {
void LineFS(BlendBitmap& bmp, float x1, float y1, float x2, float y2, Pixel color,
            bool drawEndPoint = false);
}  // namespace reference

}  // namespace vec

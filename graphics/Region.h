#pragma once
// Pixel regions as the effects and clipping use them: y-x banded lists of
// non-overlapping rectangles. Shapes follow the platform's rasterisation rules
// exactly (see Region.cpp), because pictures are compared pixel by pixel.

#include <span>
#include <vector>

#include "graphics/Geometry.h"

namespace vec {

enum class RegionOp { And, Or, Xor, Diff, Copy };
enum class FillMode { Alternate, Winding };

class Region {
 public:
  Region() = default;  // empty
  static Region FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // Union of the rectangles; empty ones are ignored, order and overlap do not matter.
  static Region FromRects(std::span<const Rect> rects);
  static Region RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ew,
                          int32_t eh);
  static Region Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  static Region Polygon(std::span<const Point> points, FillMode mode = FillMode::Winding);

  // this = this op other.
  void Combine(const Region& other, RegionOp op);
  void Offset(int32_t dx, int32_t dy);

  bool IsEmpty() const { return rects_.empty(); }
  Rect Bounds() const;
  bool Contains(int32_t x, int32_t y) const;
  // The number of pixels of the region inside `bounds`.
  int64_t PixelsWithin(const Rect& bounds) const;
  // Banded rectangles: sorted by top, then left; rectangles of one band share top and bottom.
  const std::vector<Rect>& Rects() const { return rects_; }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  std::vector<Rect> rects_;
};

namespace reference {
// FromRects one rectangle at a time through Combine; tests hold FromRects to it.
Region FromRects(std::span<const Rect> rects);
}  // namespace reference

}  // namespace vec

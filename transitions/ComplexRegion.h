#pragma once
// Collects many axis-parallel rectangles and turns them into one clip region, and the
// common ending of the region effects: New copied onto Work through that region.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "graphics/BottomUpBitmap.h"
#include "graphics/Region.h"
#include "transitions/Effect.h"

namespace vec {

class ComplexRegion {
 public:
  // Bounds of a builder that holds no rectangle.
  static constexpr int32_t kEmptyLow = 2147483647;
  static constexpr int32_t kEmptyHigh = -2147483647;

  ComplexRegion() = default;

  // Rectangles may overlap and may lie partly or wholly outside the bitmap; one whose
  // left is not below its right (or top not below bottom) is kept but covers nothing.
  void AddRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    rects_.push_back(Rect{left, top, right, bottom});
    if (left < bounds_.left) bounds_.left = left;
    if (top < bounds_.top) bounds_.top = top;
    if (right > bounds_.right) bounds_.right = right;
    if (bottom > bounds_.bottom) bounds_.bottom = bottom;
  }

  // The union of every rectangle added, or nothing when no rectangle was ever added
  // (an added but empty rectangle still yields a region, an empty one).
  std::optional<Region> CreateRegion() const;

  void Clear();
  // Room for n rectangles without reallocating (the builders know their counts).
  void Reserve(size_t n) { rects_.reserve(n); }

  int32_t Count() const { return static_cast<int32_t>(rects_.size()); }
  // Smallest left and top, largest right and bottom seen; see kEmptyLow/kEmptyHigh.
  const Rect& Bounds() const { return bounds_; }
  std::span<const Rect> Rects() const { return rects_; }

 private:
  std::vector<Rect> rects_;
  Rect bounds_{kEmptyLow, kEmptyLow, kEmptyHigh, kEmptyHigh};
};

// Copies all of New onto Work (0, 0, W, H) with `region` selected as Work's clip region,
// then selects no clip region again, also when the copy throws. A null region draws
// nothing: Work keeps the old picture. When the frame names Old, Work gets New's pixels
// inside the region and Old's everywhere else, in one pass (all of Old for a null region).
void RevealThroughRegion(const EffectFrame& frame, const Region* region);
inline void RevealThroughRegion(const EffectFrame& frame, const std::optional<Region>& region) {
  RevealThroughRegion(frame, region ? &*region : nullptr);
}

// Variant that draws New onto Work's canvas (Draw at 0, 0) instead of the block copy; the
// pixels are the same.
void RevealThroughRegionByDraw(const EffectFrame& frame, const Region* region);

}  // namespace vec

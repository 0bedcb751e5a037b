#include "transitions/ComplexRegion.h"

#include "graphics/Gdi.h"

namespace vec {

namespace {

// Deselects Work's clip region on every way out of the reveal.
class ClipSelection {
 public:
  ClipSelection(TBitmap& bitmap, const TRegion& region) : bitmap_(bitmap) {
    bitmap_.SelectClipRgn(&region);
  }
  ~ClipSelection() { bitmap_.SelectClipRgn(nullptr); }
  ClipSelection(const ClipSelection&) = delete;
  ClipSelection& operator=(const ClipSelection&) = delete;

 private:
  TBitmap& bitmap_;
};

}  // namespace

std::optional<TRegion> TComplexRegion::CreateRegion() const {
  if (rects_.empty()) return std::nullopt;
  return TRegion::FromRects(rects_);
}

void TComplexRegion::Clear() {
  rects_.clear();
  rects_.shrink_to_fit();
  bounds_ = TRect{kEmptyLow, kEmptyLow, kEmptyHigh, kEmptyHigh};
}

void RevealThroughRegion(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                         const TRegion* region) {
  if (region == nullptr) return;
  ClipSelection clip(work, *region);
  BitBlt(work, 0, 0, W, H, newBmp, 0, 0);
}

void RevealThroughRegionByDraw(TBitmap& work, const TBitmap& newBmp, const TRegion* region) {
  if (region == nullptr) return;
  ClipSelection clip(work, *region);
  Draw(work, 0, 0, newBmp);
}

}  // namespace vec

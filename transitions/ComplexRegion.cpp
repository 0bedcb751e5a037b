#include "transitions/ComplexRegion.h"

#include "graphics/Blit.h"

namespace vec {

namespace {

// Deselects Work's clip region on every way out of the reveal.
class ClipSelection {
 public:
  ClipSelection(Bitmap& bitmap, const Region& region) : bitmap_(bitmap) {
    bitmap_.SelectClipRgn(&region);
  }
  ~ClipSelection() { bitmap_.SelectClipRgn(nullptr); }
  ClipSelection(const ClipSelection&) = delete;
  ClipSelection& operator=(const ClipSelection&) = delete;

 private:
  Bitmap& bitmap_;
};

}  // namespace

std::optional<Region> ComplexRegion::CreateRegion() const {
  if (rects_.empty()) return std::nullopt;
  return Region::FromRects(rects_);
}

void ComplexRegion::Clear() {
  rects_.clear();
  rects_.shrink_to_fit();
  bounds_ = Rect{kEmptyLow, kEmptyLow, kEmptyHigh, kEmptyHigh};
}

void RevealThroughRegion(Bitmap& work, const Bitmap& newBmp, int32_t W, int32_t H,
                         const Region* region) {
  if (region == nullptr) return;
  ClipSelection clip(work, *region);
  BitBlt(work, 0, 0, W, H, newBmp, 0, 0);
}

void RevealThroughRegionByDraw(Bitmap& work, const Bitmap& newBmp, const Region* region) {
  if (region == nullptr) return;
  ClipSelection clip(work, *region);
  Draw(work, 0, 0, newBmp);
}

}  // namespace vec

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

void RevealThroughRegion(const EffectFrame& frame, const Region* region) {
  if (frame.old != nullptr)
    return ComposeThroughRegion(frame.work, frame.newBmp, *frame.old, region);
  if (region == nullptr) return;
  ClipSelection clip(frame.work, *region);
  BitBlt(frame.work, 0, 0, frame.W, frame.H, frame.newBmp, 0, 0);
}

void RevealThroughRegionByDraw(const EffectFrame& frame, const Region* region) {
  if (frame.old != nullptr)
    return ComposeThroughRegion(frame.work, frame.newBmp, *frame.old, region);
  if (region == nullptr) return;
  ClipSelection clip(frame.work, *region);
  Draw(frame.work, 0, 0, frame.newBmp);
}

}  // namespace vec

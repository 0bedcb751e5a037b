#include "graphics/BottomUpBitmap.h"

#include <stdexcept>

namespace vec {

// The size is taken only once the pixels are there, so a failed allocation leaves the
// bitmap as it was.
void BottomUpBitmap::SetSize(int32_t width, int32_t height) {
  pixels_.assign(CheckedPixelCount(width, height), Pixel{0});
  width_ = width;
  height_ = height;
}

void BottomUpBitmap::SetSizeForOverwrite(int32_t width, int32_t height) {
  pixels_.resize_for_overwrite(CheckedPixelCount(width, height));
  width_ = width;
  height_ = height;
}

void BottomUpBitmap::SelectClipRgn(const Region* region) {
  if (region) {
    clip_ = *region;
  } else {
    clip_.reset();
  }
}

void BottomUpBitmap::ExcludeClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!clip_) clip_ = Region::FromRect(0, 0, width_, height_);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  clip_->Combine(Region::FromRect(left, top, right, bottom), RegionOp::Diff);
}

}  // namespace vec

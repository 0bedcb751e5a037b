#include "graphics/Bitmap.h"

#include <stdexcept>

namespace vec {

namespace {
// Largest bitmap accepted (16384 x 16384 pixels, 1 GiB); sizes come from files and
// settings, so an absurd one must fail cleanly instead of exhausting memory.
constexpr int64_t kMaxPixels = int64_t{1} << 28;
}  // namespace

void Bitmap::SetSize(int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const int64_t count = static_cast<int64_t>(width) * height;
  if (count > kMaxPixels) throw std::length_error("bitmap too large");
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(count), Pixel{0});
}

void Bitmap::SelectClipRgn(const Region* region) {
  if (region) {
    clip_ = *region;
  } else {
    clip_.reset();
  }
}

void Bitmap::ExcludeClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!clip_) clip_ = Region::FromRect(0, 0, width_, height_);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  clip_->Combine(Region::FromRect(left, top, right, bottom), RegionOp::Diff);
}

}  // namespace vec

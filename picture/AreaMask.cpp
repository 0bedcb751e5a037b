#include "picture/AreaMask.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vec {

AreaMask::AreaMask(int32_t width, int32_t height) {
  SetSizeForOverwrite(width, height);
  if (!Empty()) std::memset(indices_.get(), 0, PixelCount());
}

AreaMask& AreaMask::operator=(const AreaMask& other) {
  if (this != &other) {
    SetSizeForOverwrite(other.width_, other.height_);
    if (!Empty()) std::memcpy(indices_.get(), other.indices_.get(), PixelCount());
  }
  return *this;
}

AreaMask& AreaMask::operator=(AreaMask&& other) noexcept {
  if (this != &other) {
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    indices_ = std::move(other.indices_);
  }
  return *this;
}

uint8_t AreaMask::At(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

void AreaMask::Set(int32_t x, int32_t y, uint8_t area) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = area <= kLastArea ? area : 0;
}

void AreaMask::SetSizeForOverwrite(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) width = height = 0;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (count > capacity_) {
    indices_ = std::make_unique_for_overwrite<uint8_t[]>(count);
    capacity_ = count;
  }
  width_ = width;
  height_ = height;
}

bool operator==(const AreaMask& a, const AreaMask& b) {
  return a.width_ == b.width_ && a.height_ == b.height_ &&
         (a.Empty() || std::memcmp(a.indices_.get(), b.indices_.get(), a.PixelCount()) == 0);
}

}  // namespace vec

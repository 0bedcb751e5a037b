#pragma once
// The pixel block of the bitmaps: a vector of pixels that can also grow without setting
// the new pixels, so that a bitmap about to be written whole is not first filled with
// zeros (a full extra pass over memory on every picture). Copies are one memcpy.

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include "graphics/Geometry.h"

namespace vec {

// Largest bitmap accepted (16384 x 16384 pixels, 1 GiB); sizes come from files and
// settings, so an absurd one must fail cleanly instead of exhausting memory.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 28;

// The pixel count of a bitmap of width x height, negative sides taken as 0 (and so
// changed); throws std::length_error beyond kMaxBitmapPixels.
inline size_t CheckedPixelCount(int32_t& width, int32_t& height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const int64_t count = static_cast<int64_t>(width) * height;
  if (count > kMaxBitmapPixels) throw std::length_error("bitmap too large");
  return static_cast<size_t>(count);
}

// Frees a block taken with the aligned operator new[]; the alignment goes with the block.
struct AlignedRelease {
  std::align_val_t alignment;
  void operator()(Pixel* p) const { ::operator delete[](p, alignment); }
};

class PixelStorage {
 public:
  PixelStorage() = default;
  PixelStorage(const PixelStorage& other) { *this = other; }
  PixelStorage(PixelStorage&& other) noexcept { *this = std::move(other); }
  PixelStorage& operator=(const PixelStorage& other) {
    if (this != &other) {
      resize_for_overwrite(other.size_);
      if (size_ > 0) std::memcpy(pixels_.get(), other.pixels_.get(), size_ * sizeof(Pixel));
    }
    return *this;
  }
  PixelStorage& operator=(PixelStorage&& other) noexcept {
    pixels_ = std::move(other.pixels_);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    return *this;
  }

  // `count` pixels of `value`.
  void assign(size_t count, Pixel value) {
    resize_for_overwrite(count);
    std::fill(begin(), end(), value);
  }
  // `count` pixels whose values are unspecified: only for a caller that writes them all
  // before reading any. The old pixels are not kept; the block is reused when it is large
  // enough. When a larger block cannot be had, nothing changes.
  void resize_for_overwrite(size_t count) {
    if (count > capacity_) {
      // Blocks of 4 MiB and more (frames from about 1024 x 1024) start on a 2 MiB boundary,
      // take whole 2 MiB pages and ask the kernel to back them with huge pages: the frames are
      // read and written whole many times a second, and the effects that read a frame along
      // slanted or vertical lines touch a new 4 KiB page every row. With small pages much of
      // that time goes to address translation (a 1080p show frame costs about 15 % more).
      // The rounding costs at most 2 MiB a block; where huge pages are off, nothing changes.
      const size_t bytes = count * sizeof(Pixel);
      const bool large = bytes >= 2 * kLargeBlock;
      const std::align_val_t alignment = large ? kLargeAlignment : kAlignment;
      const size_t allocated =
          large ? (bytes + kLargeBlock - 1) / kLargeBlock * kLargeBlock : bytes;
      pixels_ = Block(static_cast<Pixel*>(::operator new[](allocated, alignment)),
                      AlignedRelease{alignment});
      if (large) madvise(pixels_.get(), allocated, MADV_HUGEPAGE);
      capacity_ = allocated / sizeof(Pixel);
    }
    size_ = count;
  }

  Pixel* data() { return pixels_.get(); }
  const Pixel* data() const { return pixels_.get(); }
  size_t size() const { return size_; }
  Pixel* begin() { return pixels_.get(); }
  Pixel* end() { return pixels_.get() + size_; }
  const Pixel* begin() const { return pixels_.get(); }
  const Pixel* end() const { return pixels_.get() + size_; }
  Pixel& operator[](size_t i) { return pixels_[i]; }
  const Pixel& operator[](size_t i) const { return pixels_[i]; }

  friend bool operator==(const PixelStorage& a, const PixelStorage& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  // Blocks start on a cache line, so that the rows of the usual frame widths (multiples of
  // 16 pixels) do too, which the wide and streaming copies need or prefer.
  static constexpr std::align_val_t kAlignment{64};
  static constexpr size_t kLargeBlock = size_t{2} << 20;  // one huge page
  static constexpr std::align_val_t kLargeAlignment{kLargeBlock};
  using Block = std::unique_ptr<Pixel[], AlignedRelease>;
  Block pixels_{nullptr, AlignedRelease{kAlignment}};
  size_t size_ = 0, capacity_ = 0;
};

}  // namespace vec

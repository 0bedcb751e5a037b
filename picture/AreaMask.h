#pragma once
// The area mask of a picture: one byte per picture pixel, the index of the water area the
// pixel belongs to (1 to 4) or 0 for none. A file stores it as run codes (see Mask.h); the
// program holds it at the picture's size, a quarter of the memory of a 32-bit bitmap.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace vec {

class AreaMask {
 public:
  static constexpr uint8_t kLastArea = 4;

  AreaMask() = default;
  // width x height pixels of no area; a size of zero or less gives an empty mask.
  AreaMask(int32_t width, int32_t height);
  AreaMask(const AreaMask& other) { *this = other; }
  // A mask moved from is left empty.
  AreaMask(AreaMask&& other) noexcept { *this = std::move(other); }
  AreaMask& operator=(const AreaMask& other);
  AreaMask& operator=(AreaMask&& other) noexcept;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  size_t PixelCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }

  // Row y (0 <= y < Height()), Width() indices, each 0 to kLastArea.
  uint8_t* Row(int32_t y) { return indices_.get() + static_cast<size_t>(y) * width_; }
  const uint8_t* Row(int32_t y) const { return indices_.get() + static_cast<size_t>(y) * width_; }
  const uint8_t* Indices() const { return indices_.get(); }

  // The area index at (x, y); 0 outside the mask.
  uint8_t At(int32_t x, int32_t y) const;
  // Sets (x, y) to `area`, which above kLastArea is taken as no area; nothing outside.
  void Set(int32_t x, int32_t y, uint8_t area);

  // width x height pixels whose values are unspecified, for a caller that writes them all.
  // The block is reused when it is large enough.
  void SetSizeForOverwrite(int32_t width, int32_t height);

  friend bool operator==(const AreaMask& a, const AreaMask& b);

 private:
  int32_t width_ = 0, height_ = 0;
  size_t capacity_ = 0;
  std::unique_ptr<uint8_t[]> indices_;
};

}  // namespace vec

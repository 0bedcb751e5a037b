#pragma once
// Pictures made in code for the animation tests: every picture pixel names its own row and
// column, so a frame pixel tells where it was taken from.

#include <cstdint>
#include <functional>
#include <string>

#include "graphics/BlendBitmap.h"
#include "picture/Picture.h"
#include "tests/support/PixelChecksum.h"

namespace vec::testing {

// Pixel (row, column) of the coordinate picture; alpha 255.
constexpr Pixel CoordPixel(int32_t row, int32_t col) {
  return 0xFF000000u | (static_cast<uint32_t>(row) << 12) | static_cast<uint32_t>(col);
}
constexpr int32_t RowOf(Pixel p) {
  return static_cast<int32_t>((p >> 12) & 0xFFF);
}
constexpr int32_t ColOf(Pixel p) {
  return static_cast<int32_t>(p & 0xFFF);
}

// A picture of w x h coordinate pixels whose mask gives area(row, col) (0 = none, 1..4).
inline void MakePicture(Picture& p, int32_t w, int32_t h,
                        const std::function<int(int32_t, int32_t)>& area) {
  p.image.SetSize(w, h);
  p.mask = AreaMask(w, h);
  for (int32_t r = 0; r < h; ++r)
    for (int32_t c = 0; c < w; ++c) {
      p.image.SetPixel(c, r, CoordPixel(r, c));
      p.mask.Set(c, r, static_cast<uint8_t>(area(r, c)));
    }
  p.designWidth = w;
  p.designHeight = h;
  p.loaded = true;
}

// A folder under the test's temporary directory, removed with the object.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name);
  ~TempFolder();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vec::testing

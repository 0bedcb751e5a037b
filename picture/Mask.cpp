#include "picture/Mask.h"

#include <algorithm>
#include <limits>

#include "graphics/ImageFile.h"
#include "picture/Picture.h"

namespace vec {

Status DecodeMask(const std::vector<int32_t>& values, Bitmap& mask) {
  if (values.size() < 2) {
    mask.SetSize(0, 0);
    return {};
  }
  const int32_t width = values[0], height = values[1];
  if (width < 0 || height < 0 || width > kMaxImageDimension || height > kMaxImageDimension)
    return Error::Make(ErrorCode::BadMask, "Invalid area mask size " + std::to_string(width) +
                                               " x " + std::to_string(height));
  mask.SetSize(width, height);
  if (width == 0 || height == 0) return {};
  int32_t row = 0, col = 0;
  for (size_t i = 2; i < values.size() && row < height; ++i) {
    const int32_t code = values[i];
    int64_t run = code / 10;
    const int32_t index = code % 10;
    const Pixel color = (index >= 1 && index <= 4) ? kAreaColors[static_cast<size_t>(index)] : 0;
    while (run > 0 && row < height) {
      const int32_t n = static_cast<int32_t>(std::min<int64_t>(run, width - col));
      Pixel* line = mask.ScanLine(row);
      std::fill(line + col, line + col + n, color);
      run -= n;
      col += n;
      if (col == width) {
        col = 0;
        ++row;
      }
    }
  }
  return {};
}

int AreaIndexOf(uint32_t pixel) {
  const uint32_t rgb = pixel & 0x00FFFFFF;
  for (int i = 1; i <= 4; ++i)
    if (rgb == kAreaColors[static_cast<size_t>(i)]) return i;
  return 0;
}

std::vector<int32_t> EncodeMask(const Bitmap& mask) {
  std::vector<int32_t> out{mask.Width(), mask.Height()};
  if (mask.Empty()) return out;
  constexpr int64_t kMaxRun = std::numeric_limits<int32_t>::max() / 10;
  int index = -1;
  int64_t run = 0;
  auto flush = [&] {
    while (run > 0) {
      const int64_t n = std::min(run, kMaxRun);
      out.push_back(static_cast<int32_t>(n * 10 + index));
      run -= n;
    }
  };
  for (int32_t y = 0; y < mask.Height(); ++y) {
    const Pixel* line = mask.ScanLine(y);
    for (int32_t x = 0; x < mask.Width(); ++x) {
      const int i = AreaIndexOf(line[x]);
      if (i != index) {
        flush();
        index = i;
      }
      ++run;
    }
  }
  flush();
  return out;
}

std::array<int64_t, 5> CountMaskValues(const Bitmap& mask) {
  std::array<int64_t, 5> counts{};
  const Pixel* p = mask.Bits();
  for (size_t i = 0; i < mask.PixelCount(); ++i) {
    for (size_t k = 0; k < kAreaColors.size(); ++k) {
      if (p[i] == kAreaColors[k]) {
        ++counts[k];
        break;
      }
    }
  }
  return counts;
}

}  // namespace vec

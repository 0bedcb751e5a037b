#include "studio/model/MaskImages.h"

#include <algorithm>

#include "picture/Picture.h"

namespace vec::studio {

uint8_t NearestAreaOf(Pixel pixel) {
  if (PixelA(pixel) < 128) return 0;
  uint8_t best = 0;
  int32_t bestDistance = INT32_MAX;
  for (uint8_t i = 0; i < kAreaColors.size(); ++i) {
    const Pixel c = kAreaColors[i];
    const int32_t dr = PixelR(pixel) - PixelR(c), dg = PixelG(pixel) - PixelG(c),
                  db = PixelB(pixel) - PixelB(c);
    const int32_t d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}

AreaMask MaskFromPicture(const BlendBitmap& picture, int32_t width, int32_t height) {
  AreaMask own(picture.Width(), picture.Height());
  for (int32_t y = 0; y < own.Height(); ++y) {
    const Pixel* in = picture.ScanLine(y);
    uint8_t* out = own.Row(y);
    for (int32_t x = 0; x < own.Width(); ++x) out[x] = NearestAreaOf(in[x]);
  }
  if (own.Width() == width && own.Height() == height) return own;
  AreaMask fitted;
  FitMask(own, width, height, fitted);
  return fitted;
}

BlendBitmap MaskPicture(const AreaMask& mask) {
  BlendBitmap out(mask.Width(), mask.Height());
  for (int32_t y = 0; y < mask.Height(); ++y) {
    const uint8_t* in = mask.Row(y);
    Pixel* row = out.ScanLine(y);
    for (int32_t x = 0; x < mask.Width(); ++x)
      row[x] = kAreaColors[in[x] < kAreaColors.size() ? in[x] : 0] | 0xFF000000u;
  }
  return out;
}

void PaintMaskLayer(const AreaMask& mask, const Rect& rect, uint32_t* rows, int32_t stride) {
  std::array<uint32_t, 256> colorOf{};
  for (size_t i = 1; i < kAreaColors.size(); ++i) colorOf[i] = kAreaColors[i] | 0xFF000000u;
  const int32_t right = std::min(rect.right, mask.Width());
  const int32_t bottom = std::min(rect.bottom, mask.Height());
  for (int32_t y = std::max(rect.top, 0); y < bottom; ++y) {
    const uint8_t* in = mask.Row(y);
    uint32_t* out = rows + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (int32_t x = std::max(rect.left, 0); x < right; ++x) out[x] = colorOf[in[x]];
  }
}

}  // namespace vec::studio

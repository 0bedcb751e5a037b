#include "graphics/AspectFit.h"

#include <algorithm>

#include "base/MathUtil.h"

namespace vec {

FitSize FitByAspect(int32_t w, int32_t h, int32_t W, int32_t H) {
  if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return {W, H};
  // The ratio is a double and the other side is rounded from it, so a side whose exact
  // value is a half lands where the double's error puts it (1024 / (2048 / 99.0) is
  // 49.49999999999999 and gives 49).
  const double ratio = static_cast<double>(w) / h;
  // The picture is relatively wider than the output when h * W div H < w.
  if (int64_t{h} * W / H < w) return {W, std::max(1, RoundHalfEven(W / ratio))};
  return {std::max(1, RoundHalfEven(H * ratio)), H};
}

Rect LetterboxArea(int32_t W, int32_t H) {
  if (W <= 0 || H <= 0) return {};
  const FitSize area = FitByAspect(4, 3, W, H);
  const int32_t left = (W - area.width) / 2, top = (H - area.height) / 2;
  return {left, top, left + area.width, top + area.height};
}

}  // namespace vec

#include "graphics/AspectFit.h"

#include <algorithm>

#include "base/MathUtil.h"

namespace vec {

FitSize FitByAspect(int32_t w, int32_t h, int32_t W, int32_t H) {
  if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return {W, H};
  // The picture is relatively wider than the output when h / w < H / W.
  if (int64_t{h} * W / H < w)
    return {W, static_cast<int32_t>(std::max<int64_t>(1, DivRoundHalfEven(int64_t{W} * h, w)))};
  return {static_cast<int32_t>(std::max<int64_t>(1, DivRoundHalfEven(int64_t{H} * w, h))), H};
}

}  // namespace vec

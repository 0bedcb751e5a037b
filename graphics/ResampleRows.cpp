#include "graphics/ResampleRows.h"

namespace vec {
namespace {

void HorizontalRow(const Pixel* row, int32_t rowEnd, const ResampleTaps& taps, Pixel* out) {
  for (size_t x = 0; x < taps.first.size(); ++x)
    out[x] = HorizontalTap(row, rowEnd, taps.first[x], taps.count[x],
                           taps.weights.data() + taps.offset[x]);
}

void VerticalRow(const Pixel* const* rows, int32_t count, const int16_t* w, int32_t width,
                 Pixel* out) {
  for (int32_t x = 0; x < width; ++x) out[x] = VerticalTap(rows, count, w, x);
}

}  // namespace

const ResampleRowKernels& resample_row_kernels::Plain() {
  static const ResampleRowKernels set{HorizontalRow, VerticalRow};
  return set;
}

const ResampleRowKernels& ResampleRowKernelsFor(VectorLevel level) {
#if defined(VEC_X86_KERNELS)
  if (level >= VectorLevel::Sse2) return resample_row_kernels::Sse2();
#else
  (void)level;
#endif
  return resample_row_kernels::Plain();
}

}  // namespace vec

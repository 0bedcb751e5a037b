#include "graphics/BmpRows.h"

namespace vec {
namespace {

void Bgr24(const uint8_t* src, Pixel* dst, int32_t width) {
  for (int32_t x = 0; x < width; ++x, src += 3) dst[x] = MakePixel(src[2], src[1], src[0]);
}

}  // namespace

const BmpRowKernels& bmp_row_kernels::Plain() {
  static const BmpRowKernels set{Bgr24};
  return set;
}

const BmpRowKernels& BmpRowKernelsFor(VectorLevel level) {
#if defined(VEC_X86_KERNELS)
  if (level >= VectorLevel::Ssse3) return bmp_row_kernels::Ssse3();
#else
  (void)level;
#endif
  return bmp_row_kernels::Plain();
}

}  // namespace vec

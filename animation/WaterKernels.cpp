#include "animation/WaterKernels.h"

namespace vec {
namespace {

bool BlockInArea(const std::array<const int8_t*, kWaterBlockRows>& rows, size_t count, int32_t col,
                 int8_t k) {
  for (size_t i = 0; i < count; ++i)
    for (int32_t j = 0; j < kWaterBlock; ++j)
      if (rows[i][col + j] != k) return false;
  return true;
}

int32_t BlocksInArea(const std::array<const int8_t*, kWaterBlockRows>& rows, size_t count,
                     int32_t col, int8_t k, int32_t blocks) {
  int32_t b = 0;
  while (b < blocks && BlockInArea(rows, count, col + b * kWaterBlock, k)) ++b;
  return b;
}

}  // namespace

const WaterKernels& water_kernels::Plain() {
  static const WaterKernels set{BlocksInArea, nullptr};
  return set;
}

const WaterKernels& WaterKernelsFor(VectorLevel level) {
  switch (level) {
#if defined(VEC_X86_KERNELS)
    case VectorLevel::Avx2:
      return water_kernels::Avx2();
    case VectorLevel::Ssse3:
    case VectorLevel::Sse2:
      return water_kernels::Sse2();
#else
    case VectorLevel::Avx2:
    case VectorLevel::Ssse3:
    case VectorLevel::Sse2:
#endif
    case VectorLevel::Scalar:
      break;
  }
  return water_kernels::Plain();
}

}  // namespace vec

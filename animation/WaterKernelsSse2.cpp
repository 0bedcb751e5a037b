// The water's block test with 128-bit vectors.

#include "animation/WaterKernels.h"

#if defined(VEC_X86_KERNELS)
#include <emmintrin.h>

namespace vec {
namespace {

// All sixteen bytes of a block in every row compared with k at once.
VEC_TARGET("sse2")
int32_t BlocksInArea(const std::array<const int8_t*, kWaterBlockRows>& rows, size_t count,
                     int32_t col, int8_t k, int32_t blocks) {
  static_assert(kWaterBlock == 16, "one 128-bit load per row and block");
  const __m128i key = _mm_set1_epi8(k);
  int32_t b = 0;
  for (; b < blocks; ++b, col += kWaterBlock) {
    __m128i all = _mm_set1_epi8(-1);
    for (size_t i = 0; i < count; ++i)
      all = _mm_and_si128(
          all,
          _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + col)), key));
    if (_mm_movemask_epi8(all) != 0xFFFF) break;
  }
  return b;
}

}  // namespace

const WaterKernels& water_kernels::Sse2() {
  static const WaterKernels set{BlocksInArea, nullptr};
  return set;
}

}  // namespace vec
#endif

// The water's block test with 128-bit vectors.

#include "animation/WaterKernels.h"

#if defined(VEC_X86_KERNELS)
#include <emmintrin.h>

namespace vec {
namespace {

// All sixteen bytes of every row compared with k at once.
VEC_TARGET("sse2")
bool BlockInArea(const std::array<const int8_t*, kWaterBlockRows>& rows, size_t count, int32_t col,
                 int8_t k) {
  static_assert(kWaterBlock == 16, "one 128-bit load per row");
  const __m128i key = _mm_set1_epi8(k);
  __m128i all = _mm_set1_epi8(-1);
  for (size_t i = 0; i < count; ++i)
    all = _mm_and_si128(
        all, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + col)), key));
  return _mm_movemask_epi8(all) == 0xFFFF;
}

}  // namespace

const WaterKernels& water_kernels::Sse2() {
  static const WaterKernels set{BlockInArea, nullptr};
  return set;
}

}  // namespace vec
#endif

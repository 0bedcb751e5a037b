// The water's copy by scatter offset with 256-bit vectors; the block test is the SSE2 one.

#include "animation/WaterKernels.h"

#if defined(VEC_X86_KERNELS)
#include <immintrin.h>

namespace vec {
namespace {

// Offset by offset, the columns of that offset are blended into its target row from its
// source row, eight at a time; every column belongs to exactly one offset, so the order of
// the offsets does not matter, and rows that several offsets share (clamped at the top or
// bottom) see each other's writes. One offset at a time along the whole stretch: two rows
// stream at once, not six.
VEC_TARGET("avx2")
void CopyBlockByOffset(const WaterRowPair* pairs, int32_t span, const uint8_t* scatter, int32_t c,
                       int32_t hshift, int32_t columns) {
  for (int32_t s = 0; s < span; ++s) {
    const WaterRowPair& p = pairs[s];
    const __m256i key = _mm256_set1_epi32(s);
    for (int32_t half = 0; half + 8 <= columns; half += 8) {
      const int32_t at = c + half;
      const __m256i mine = _mm256_cmpeq_epi32(
          _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(scatter + at))),
          key);
      auto* out = reinterpret_cast<__m256i*>(p.out + at);
      const __m256i fresh =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p.in + at + hshift));
      _mm256_storeu_si256(out, _mm256_blendv_epi8(_mm256_loadu_si256(out), fresh, mine));
    }
  }
}

}  // namespace

const WaterKernels& water_kernels::Avx2() {
  static const WaterKernels set{Sse2().blocksInArea, CopyBlockByOffset};
  return set;
}

}  // namespace vec
#endif

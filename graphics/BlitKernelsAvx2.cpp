// The copies' permuting gather with 256-bit vectors; the other row loops are the SSE2 ones.

#include "graphics/BlitKernels.h"

#if defined(VEC_X86_KERNELS)
#include <immintrin.h>

namespace vec {
namespace {

// Stores one group of eight pixels; kStream bypasses the cache, for which `out` must be
// 32-byte aligned.
template <bool kStream>
VEC_TARGET("avx2")
inline void StoreGroup(Pixel* out, __m256i v) {
  if constexpr (kStream)
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out), v);
  else
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), v);
}

// See PermuteRowFn (BlitKernels.h). With kStream the groups go past the cache (see
// StretchStores in Blit.cpp).
template <bool kStream>
VEC_TARGET("avx2")
void PermuteRowAvx2(Pixel* out, const Pixel* in, const int32_t* map, int32_t n,
                    const GatherPlan& plan, const Pixel* ahead, int32_t aheadCount, bool backward) {
  const int32_t groups = n / 8;
  const int32_t lines = ahead ? (aheadCount + 15) / 16 : 0;
  const __m256i seven = _mm256_set1_epi32(7);
  int32_t due = 0, line = 0;
  if (backward) {
    for (int32_t k = n - 1; k >= groups * 8; --k) out[k] = in[map[k]];
  }
  if (plan.narrowOnly && !backward) {
    // Enlarging, 1:1 and mirrored rows: a loop without the other kinds of group.
    for (int32_t g = 0; g < groups; ++g) {
      for (due += lines; due >= groups && line < lines; due -= groups, ++line) {
        _mm_prefetch(reinterpret_cast<const char*>(ahead + 16 * line), _MM_HINT_T0);
      }
      const __m256i v = _mm256_loadu_si256(
          reinterpret_cast<const __m256i*>(in + plan.base[static_cast<size_t>(g)]));
      const __m256i lanes = _mm256_loadu_si256(
          reinterpret_cast<const __m256i*>(plan.offsets.data() + static_cast<size_t>(8 * g)));
      StoreGroup<kStream>(out + 8 * g, _mm256_permutevar8x32_epi32(v, lanes));
    }
    for (int32_t k = groups * 8; k < n; ++k) out[k] = in[map[k]];
    if constexpr (kStream) _mm_sfence();
    return;
  }
  for (int32_t i = 0; i < groups; ++i) {
    const int32_t g = backward ? groups - 1 - i : i;
    for (due += lines; due >= groups && line < lines; due -= groups, ++line) {
      _mm_prefetch(reinterpret_cast<const char*>(ahead + 16 * line), _MM_HINT_T0);
    }
    const int32_t base = plan.base[static_cast<size_t>(g)];
    Pixel* o = out + 8 * g;
    if (base < 0) {
      const int32_t* m = map + 8 * g;
      const __m128i l = _mm_setr_epi32(static_cast<int>(in[m[0]]), static_cast<int>(in[m[1]]),
                                       static_cast<int>(in[m[2]]), static_cast<int>(in[m[3]]));
      const __m128i h = _mm_setr_epi32(static_cast<int>(in[m[4]]), static_cast<int>(in[m[5]]),
                                       static_cast<int>(in[m[6]]), static_cast<int>(in[m[7]]));
      StoreGroup<kStream>(o, _mm256_inserti128_si256(_mm256_castsi128_si256(l), h, 1));
      continue;
    }
    const __m256i lanes = _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(plan.offsets.data() + static_cast<size_t>(8 * g)));
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + base));
    __m256i r = _mm256_permutevar8x32_epi32(v, lanes);
    if (plan.wide[static_cast<size_t>(g)]) {
      // The permute reads only the low three bits of each lane: lanes 8 .. 15 pick from the
      // second load and the blend takes them from there.
      const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + base + 8));
      r = _mm256_blendv_epi8(r, _mm256_permutevar8x32_epi32(w, lanes),
                             _mm256_cmpgt_epi32(lanes, seven));
    }
    StoreGroup<kStream>(o, r);
  }
  if (!backward) {
    for (int32_t k = groups * 8; k < n; ++k) out[k] = in[map[k]];
  }
  if constexpr (kStream) _mm_sfence();
}

}  // namespace

const BlitKernels& blit_kernels::Avx2() {
  static const BlitKernels set{Sse2().copyRow, Sse2().gatherRow, Sse2().reverseRow,
                               PermuteRowAvx2<false>, PermuteRowAvx2<true>};
  return set;
}

}  // namespace vec
#endif

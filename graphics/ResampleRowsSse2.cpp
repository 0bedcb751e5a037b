// The resampling passes with 128-bit vectors: two taps at a time through _mm_madd_epi16.

#include "graphics/ResampleRows.h"

#if defined(VEC_X86_KERNELS)
#include <emmintrin.h>

#include <cstring>

namespace vec {
namespace {

constexpr int32_t kRound = 1 << (kResampleWeightBits - 1);

// Weights w[0] and w[1] in every 32-bit lane, w[0] in the low half: the operand of
// _mm_madd_epi16 for two taps. They lie side by side in memory, so that is one 32-bit load
// (x86 is little-endian).
VEC_TARGET("sse2") inline __m128i WeightPair(const int16_t* w) {
  int32_t pair;
  std::memcpy(&pair, w, sizeof pair);
  return _mm_set1_epi32(pair);
}

VEC_TARGET("sse2")
inline Pixel HorizontalTapSse2(const Pixel* row, int32_t rowEnd, int32_t first, int32_t count,
                               const int16_t* w) {
  if (first + count > rowEnd) return HorizontalTap(row, rowEnd, first, count, w);
  __m128i acc = _mm_setzero_si128();
  const __m128i zero = _mm_setzero_si128();
  for (int32_t k = 0; k < count; k += 2) {
    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + first + k));
    const __m128i wide = _mm_unpacklo_epi8(two, zero);
    const __m128i inter = _mm_unpacklo_epi16(wide, _mm_srli_si128(wide, 8));
    acc = _mm_add_epi32(acc, _mm_madd_epi16(inter, WeightPair(w + k)));
  }
  acc = _mm_srai_epi32(_mm_add_epi32(acc, _mm_set1_epi32(kRound)), kResampleWeightBits);
  const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(acc, acc), zero);
  return static_cast<Pixel>(_mm_cvtsi128_si32(packed));
}

VEC_TARGET("sse2")
void HorizontalRow(const Pixel* row, int32_t rowEnd, const ResampleTaps& taps, Pixel* out) {
  for (size_t x = 0; x < taps.first.size(); ++x)
    out[x] = HorizontalTapSse2(row, rowEnd, taps.first[x], taps.count[x],
                               taps.weights.data() + taps.offset[x]);
}

VEC_TARGET("sse2")
void VerticalRow(const Pixel* const* rows, int32_t count, const int16_t* w, int32_t width,
                 Pixel* out) {
  int32_t x = 0;
  const __m128i zero = _mm_setzero_si128();
  const __m128i round = _mm_set1_epi32(kRound);
  for (; x + 4 <= width; x += 4) {
    __m128i acc0 = _mm_setzero_si128(), acc1 = acc0, acc2 = acc0, acc3 = acc0;
    for (int32_t k = 0; k < count; k += 2) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + x));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k + 1] + x));
      const __m128i ww = WeightPair(w + k);
      const __m128i alo = _mm_unpacklo_epi8(a, zero), ahi = _mm_unpackhi_epi8(a, zero);
      const __m128i blo = _mm_unpacklo_epi8(b, zero), bhi = _mm_unpackhi_epi8(b, zero);
      acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(alo, blo), ww));
      acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(alo, blo), ww));
      acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi16(ahi, bhi), ww));
      acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi16(ahi, bhi), ww));
    }
    acc0 = _mm_srai_epi32(_mm_add_epi32(acc0, round), kResampleWeightBits);
    acc1 = _mm_srai_epi32(_mm_add_epi32(acc1, round), kResampleWeightBits);
    acc2 = _mm_srai_epi32(_mm_add_epi32(acc2, round), kResampleWeightBits);
    acc3 = _mm_srai_epi32(_mm_add_epi32(acc3, round), kResampleWeightBits);
    const __m128i lo = _mm_packs_epi32(acc0, acc1), hi = _mm_packs_epi32(acc2, acc3);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(lo, hi));
  }
  for (; x < width; ++x) out[x] = VerticalTap(rows, count, w, x);
}

}  // namespace

const ResampleRowKernels& resample_row_kernels::Sse2() {
  static const ResampleRowKernels set{HorizontalRow, VerticalRow};
  return set;
}

}  // namespace vec
#endif

// The pixel effects' kernels with 128-bit vectors; the ends of rows go pixel by pixel as in
// the plain kernels.

#include "transitions/PixelKernels.h"

#if defined(VEC_X86_KERNELS)
#include <emmintrin.h>

namespace vec {
namespace {

// d + ((alpha * (s - d)) >> 8) with an arithmetic shift equals
// ((256 - alpha) * d + alpha * s) >> 8: 256 * d is a whole multiple of 256, so it moves
// out of the floor unchanged. The sum is at most 256 * 255 and fits an unsigned 16-bit
// lane, so each lane takes two multiplications, an add and a shift. The fourth byte's
// weights are 256 and 0, which keep it.
VEC_TARGET("sse2") void Blend(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  const auto a = static_cast<int16_t>(alpha), keep = static_cast<int16_t>(256 - alpha);
  const __m128i ws = _mm_set_epi16(0, a, a, a, 0, a, a, a);
  const __m128i wd = _mm_set_epi16(256, keep, keep, keep, 256, keep, keep, keep);
  const __m128i zero = _mm_setzero_si128();
  auto half = [&](__m128i d16, __m128i s16) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, wd), _mm_mullo_epi16(s16, ws)), 8);
  };
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i lo = half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  for (; i < count; ++i) dst[i] = BlendPixel(dst[i], src[i], alpha);
}

VEC_TARGET("sse2") void Select(Pixel* d, const Pixel* s, const uint32_t* mask, size_t count) {
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    auto* out = reinterpret_cast<__m128i*>(d + i);
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    const __m128i fresh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    _mm_storeu_si128(
        out, _mm_or_si128(_mm_and_si128(fresh, m), _mm_andnot_si128(m, _mm_loadu_si128(out))));
  }
  for (; i < count; ++i) d[i] = (s[i] & mask[i]) | (d[i] & ~mask[i]);
}

// Saturating byte adds and subtractions leave the fourth byte alone: its amounts are 0.
VEC_TARGET("sse2")
void ShadeSpan(Pixel* row, const Pixel* raise, const Pixel* lower, size_t count) {
  size_t k = 0;
  for (; k + 4 <= count; k += 4) {
    auto* at = reinterpret_cast<__m128i*>(row + k);
    const __m128i up = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raise + k));
    const __m128i down = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + k));
    _mm_storeu_si128(at, _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(at), up), down));
  }
  pixel_kernels::Plain().shadeSpan(row + k, raise + k, lower + k, count - k);
}

VEC_TARGET("sse2") void ShadeRow(Pixel* row, Pixel raise, Pixel lower, size_t count) {
  const __m128i up = _mm_set1_epi32(static_cast<int32_t>(raise));
  const __m128i down = _mm_set1_epi32(static_cast<int32_t>(lower));
  size_t k = 0;
  for (; k + 4 <= count; k += 4) {
    auto* at = reinterpret_cast<__m128i*>(row + k);
    _mm_storeu_si128(at, _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(at), up), down));
  }
  pixel_kernels::Plain().shadeRow(row + k, raise, lower, count - k);
}

}  // namespace

// No 128-bit dissolve, turn or large copy: the plain ones serve.
const PixelKernels& pixel_kernels::Sse2() {
  static const PixelKernels set{Blend,    Select,          Plain().dissolve, ShadeSpan,
                                ShadeRow, Plain().turnRow, Plain().copyLarge};
  return set;
}

}  // namespace vec
#endif

// The BMP reader's full-colour rows with byte shuffles.

#include "graphics/BmpRows.h"

#if defined(VEC_X86_KERNELS)
#include <immintrin.h>

namespace vec {
namespace {

// Four pixels per step: sixteen bytes loaded, the twelve of four pixels moved into place by
// one byte shuffle, alpha set. A load reads four bytes past its pixels, so the vector steps
// stop two pixels short of the row's end (the last row may lack its padding).
VEC_TARGET("ssse3") void Bgr24(const uint8_t* src, Pixel* dst, int32_t width) {
  const __m128i order = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  int32_t x = 0;
  for (; x + 6 <= width; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                     _mm_or_si128(_mm_shuffle_epi8(v, order), alpha));
  }
  for (; x < width; ++x) dst[x] = MakePixel(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
}

}  // namespace

const BmpRowKernels& bmp_row_kernels::Ssse3() {
  static const BmpRowKernels set{Bgr24};
  return set;
}

}  // namespace vec
#endif

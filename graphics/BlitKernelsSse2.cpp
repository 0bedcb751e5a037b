// The copies' row loops with 128-bit vectors.

#include "graphics/BlitKernels.h"

#if defined(VEC_X86_KERNELS)
#include <emmintrin.h>

namespace vec {
namespace {

// Sixteen pixels a step. The library's memcpy is slow on rows of a few kilobytes whose
// target is not in cache (it measures at twice a plain vector loop); the loop also makes
// an overlapping copy to a lower address safe.
VEC_TARGET("sse2") void CopyRow(Pixel* out, const Pixel* in, int32_t n) {
  int32_t k = 0;
  for (; k + 16 <= n; k += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + 4));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + 8));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 4), b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 8), c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 12), d);
  }
  for (; k + 4 <= n; k += 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k)));
  }
  for (; k < n; ++k) out[k] = in[k];
}

// Four pixels are gathered and stored together, which keeps the stores wide on the long
// rows of a full-frame stretch.
VEC_TARGET("sse2")
void GatherRow(Pixel* out, const Pixel* in, const int32_t* map, int32_t n, bool backward) {
  const int32_t groups = n / 4;
  if (backward) {
    for (int32_t k = n - 1; k >= groups * 4; --k) out[k] = in[map[k]];
  }
  for (int32_t i = 0; i < groups; ++i) {
    const int32_t k = 4 * (backward ? groups - 1 - i : i);
    const __m128i v =
        _mm_setr_epi32(static_cast<int>(in[map[k]]), static_cast<int>(in[map[k + 1]]),
                       static_cast<int>(in[map[k + 2]]), static_cast<int>(in[map[k + 3]]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), v);
  }
  if (!backward) {
    for (int32_t k = groups * 4; k < n; ++k) out[k] = in[map[k]];
  }
}

VEC_TARGET("sse2") void ReverseRow(Pixel* out, const Pixel* in, int32_t n) {
  int32_t k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + n - 4 - k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_shuffle_epi32(v, 0x1B));
  }
  for (; k < n; ++k) out[k] = in[n - 1 - k];
}

}  // namespace

// No 128-bit permute: the gather serves.
const BlitKernels& blit_kernels::Sse2() {
  static const BlitKernels set{CopyRow, GatherRow, ReverseRow, nullptr, nullptr};
  return set;
}

}  // namespace vec
#endif

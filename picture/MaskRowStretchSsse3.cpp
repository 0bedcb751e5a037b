// The mask's row stretch with byte shuffles.

#include "picture/MaskRowStretch.h"

#if defined(VEC_X86_KERNELS)
#include <immintrin.h>

namespace vec {
namespace {

VEC_TARGET("ssse3") void DrawRow(const MaskRowStretch& plan, uint8_t* out, const uint8_t* in) {
  constexpr size_t kGroup = MaskRowStretch::kGroup;
  for (size_t g = 0; g < plan.start.size(); ++g) {
    uint8_t* o = out + g * kGroup;
    const uint8_t* from = in + plan.start[g];
    const auto* pick = reinterpret_cast<const __m128i*>(&plan.picks[g * 2 * kGroup]);
    __m128i v;
    if (plan.kind[g] == 1) {
      v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)),
                           _mm_loadu_si128(pick));
    } else if (plan.kind[g] == 2) {
      v = _mm_or_si128(
          _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)),
                           _mm_loadu_si128(pick)),
          _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16)),
                           _mm_loadu_si128(pick + 1)));
    } else {
      for (size_t i = 0; i < kGroup; ++i) o[i] = in[plan.columnOf[g * kGroup + i]];
      continue;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
  }
  for (size_t x = plan.start.size() * kGroup; x < plan.columnOf.size(); ++x)
    out[x] = in[plan.columnOf[x]];
}

}  // namespace

const MaskStretchKernels& mask_stretch_kernels::Ssse3() {
  static const MaskStretchKernels set{DrawRow};
  return set;
}

}  // namespace vec
#endif

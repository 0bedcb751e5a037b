#include "graphics/BlitKernels.h"

#include <algorithm>

namespace vec {

void PlanGather(GatherPlan& plan, const int32_t* map, int32_t n, int32_t srcWidth) {
  const int32_t groups = n / 8;
  plan.base.assign(static_cast<size_t>(groups), -1);
  plan.wide.assign(static_cast<size_t>(groups), 0);
  plan.offsets.assign(static_cast<size_t>(groups) * 8, 0);
  plan.narrowOnly = true;
  for (int32_t g = 0; g < groups; ++g) {
    const int32_t* m = map + 8 * g;
    const int32_t lo = *std::min_element(m, m + 8), hi = *std::max_element(m, m + 8);
    if (lo < 0) continue;
    for (const int32_t window : {8, 16}) {
      // The window starts at the group's first source, moved left where it would run past
      // the end of the source row.
      const int32_t start = std::min(lo, srcWidth - window);
      if (start < 0 || hi >= start + window) continue;
      plan.base[static_cast<size_t>(g)] = start;
      plan.wide[static_cast<size_t>(g)] = window == 16;
      for (int32_t i = 0; i < 8; ++i) plan.offsets[static_cast<size_t>(8 * g + i)] = m[i] - start;
      break;
    }
    plan.narrowOnly = plan.narrowOnly && plan.base[static_cast<size_t>(g)] >= 0 &&
                      !plan.wide[static_cast<size_t>(g)];
  }
}

namespace {

void CopyRow(Pixel* out, const Pixel* in, int32_t n) {
  for (int32_t k = 0; k < n; ++k) out[k] = in[k];
}

void GatherRow(Pixel* out, const Pixel* in, const int32_t* map, int32_t n, bool backward) {
  if (backward) {
    for (int32_t k = n - 1; k >= 0; --k) out[k] = in[map[k]];
  } else {
    for (int32_t k = 0; k < n; ++k) out[k] = in[map[k]];
  }
}

void ReverseRow(Pixel* out, const Pixel* in, int32_t n) {
  for (int32_t k = 0; k < n; ++k) out[k] = in[n - 1 - k];
}

}  // namespace

const BlitKernels& blit_kernels::Plain() {
  static const BlitKernels set{CopyRow, GatherRow, ReverseRow, nullptr, nullptr};
  return set;
}

const BlitKernels& BlitKernelsFor(VectorLevel level) {
  switch (level) {
#if defined(VEC_X86_KERNELS)
    case VectorLevel::Avx2:
      return blit_kernels::Avx2();
    case VectorLevel::Ssse3:
    case VectorLevel::Sse2:
      return blit_kernels::Sse2();
#else
    case VectorLevel::Avx2:
    case VectorLevel::Ssse3:
    case VectorLevel::Sse2:
#endif
    case VectorLevel::Scalar:
      break;
  }
  return blit_kernels::Plain();
}

}  // namespace vec

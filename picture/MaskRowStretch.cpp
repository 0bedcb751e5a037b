#include "picture/MaskRowStretch.h"

#include <utility>

namespace vec {

MaskRowStretch::MaskRowStretch(int32_t sourceWidth, std::vector<int32_t> columns)
    : columnOf(std::move(columns)) {
  const size_t groups = columnOf.size() / kGroup;
  start.resize(groups);
  kind.resize(groups);
  picks.resize(groups * 2 * kGroup);
  for (size_t g = 0; g < groups; ++g) {
    const int32_t first = columnOf[g * kGroup];
    const int32_t spread = columnOf[g * kGroup + kGroup - 1] - first + 1;
    start[g] = first;
    const int32_t loads = spread <= 16 ? 1 : spread <= 32 ? 2 : 0;
    kind[g] = loads != 0 && first + 16 * loads <= sourceWidth ? static_cast<uint8_t>(loads) : 0;
    uint8_t* pick = &picks[g * 2 * kGroup];
    for (size_t i = 0; i < kGroup; ++i) {
      const int32_t k = columnOf[g * kGroup + i] - first;
      pick[i] = k < 16 ? static_cast<uint8_t>(k) : 0x80;
      pick[kGroup + i] = k >= 16 && k < 32 ? static_cast<uint8_t>(k - 16) : 0x80;
    }
  }
}

namespace {

void DrawRow(const MaskRowStretch& plan, uint8_t* out, const uint8_t* in) {
  for (size_t x = 0; x < plan.columnOf.size(); ++x) out[x] = in[plan.columnOf[x]];
}

}  // namespace

const MaskStretchKernels& mask_stretch_kernels::Plain() {
  static const MaskStretchKernels set{DrawRow};
  return set;
}

const MaskStretchKernels& MaskStretchKernelsFor(VectorLevel level) {
#if defined(VEC_X86_KERNELS)
  if (level >= VectorLevel::Ssse3) return mask_stretch_kernels::Ssse3();
#else
  (void)level;
#endif
  return mask_stretch_kernels::Plain();
}

}  // namespace vec

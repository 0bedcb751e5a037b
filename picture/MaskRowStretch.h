#pragma once
// The stretch of one row of an area mask (one byte a pixel) to another width, as FitMask
// draws every row: a plan made once per pair of widths, drawn by a kernel of the vector
// level. The plain kernel is in MaskRowStretch.cpp, the one with byte shuffles in
// MaskRowStretchSsse3.cpp; both give the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/VectorLevel.h"

namespace vec {

// Output column x shows source column columnOf[x]; the map never decreases. The output is
// planned in groups of kGroup columns: each group's sources lie within 16 or 32 bytes from
// the group's first source, so one or two byte shuffles pick them. Groups whose sources
// spread wider (shrinking by more than two) or would read past the row's end are taken
// pixel by pixel, as are the columns after the last whole group.
struct MaskRowStretch {
  static constexpr size_t kGroup = 16;

  MaskRowStretch(int32_t sourceWidth, std::vector<int32_t> columnOf);

  std::vector<int32_t> columnOf;
  std::vector<int32_t> start;  // per group: its first source column
  std::vector<uint8_t> kind;   // per group: loads needed (1 or 2), 0 pixel by pixel
  std::vector<uint8_t> picks;  // per group: the shuffles of its first and second load
};

struct MaskStretchKernels {
  // out[x] = in[plan.columnOf[x]] for every output column.
  void (*drawRow)(const MaskRowStretch& plan, uint8_t* out, const uint8_t* in);
};

const MaskStretchKernels& MaskStretchKernelsFor(VectorLevel level);

inline const MaskStretchKernels& CurrentMaskStretchKernels() {
  return MaskStretchKernelsFor(CurrentVectorLevel());
}

// The sets of each level, for MaskStretchKernelsFor.
namespace mask_stretch_kernels {
const MaskStretchKernels& Plain();
#if defined(VEC_X86_KERNELS)
const MaskStretchKernels& Ssse3();
#endif
}  // namespace mask_stretch_kernels

}  // namespace vec

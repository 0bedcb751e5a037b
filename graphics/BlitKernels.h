#pragma once
// The row loops of the block copies (Blit.cpp), one table of them per vector level: the
// plain kernels in BlitKernels.cpp, the SSE2 and AVX2 ones in BlitKernelsSse2.cpp and
// BlitKernelsAvx2.cpp. A level without a kernel of its own uses the next narrower one.
// Every kernel writes exactly the plain kernel's pixels; the tests run each level the
// processor has against the references.

#include <cstdint>
#include <vector>

#include "base/VectorLevel.h"
#include "graphics/Geometry.h"

namespace vec {

// A row gather cut into groups of eight destination pixels, for the permuting kernel.
// Where a group's sources lie within eight consecutive source pixels (every enlarging or
// 1:1 stretch, mirrored or not), the group is one load and one permute; within sixteen
// (shrinks to more than half the width), two loads, two permutes and a blend. base is the
// first of the loaded source pixels, wide says whether there are sixteen, and
// offsets[8 * g + i] is the loaded pixel each destination pixel takes. Other groups
// (stronger shrinks) have base -1 and load their pixels one by one. narrowOnly says that
// every group is one load and one permute.
struct GatherPlan {
  std::vector<int32_t> base;
  std::vector<uint8_t> wide;
  std::vector<int32_t> offsets;
  bool narrowOnly = true;
};

// Plans the n pixels of map (source columns, all >= 0) of a source row srcWidth wide.
void PlanGather(GatherPlan& plan, const int32_t* map, int32_t n, int32_t srcWidth);

// out[k] = in[map[k]] for k < n by the plan's groups. `ahead`, when given, is the next
// row's source of `aheadCount` pixels: it is fetched into cache while this row is written,
// so that reading and writing overlap. `backward` walks from the right end (for a row
// that reads itself behind its destination).
using PermuteRowFn = void (*)(Pixel* out, const Pixel* in, const int32_t* map, int32_t n,
                              const GatherPlan& plan, const Pixel* ahead, int32_t aheadCount,
                              bool backward);

struct BlitKernels {
  // out[k] = in[k] for k < n, walking upwards (an overlapping copy to a lower address is
  // safe).
  void (*copyRow)(Pixel* out, const Pixel* in, int32_t n);
  // out[k] = in[map[k]] for k < n; `backward` walks from the right end.
  void (*gatherRow)(Pixel* out, const Pixel* in, const int32_t* map, int32_t n, bool backward);
  // out[k] = in[n - 1 - k] for k < n: a mirrored 1:1 row.
  void (*reverseRow)(Pixel* out, const Pixel* in, int32_t n);
  // The permuting gather, or nullptr below the level that has one. permuteRowStreamed
  // stores past the cache: `out` is then 32-byte aligned and the row does not read itself.
  PermuteRowFn permuteRow;
  PermuteRowFn permuteRowStreamed;
};

const BlitKernels& BlitKernelsFor(VectorLevel level);

inline const BlitKernels& CurrentBlitKernels() {
  return BlitKernelsFor(CurrentVectorLevel());
}

// The sets of each level, for BlitKernelsFor; a set takes what it lacks from the one below.
namespace blit_kernels {
const BlitKernels& Plain();
#if defined(VEC_X86_KERNELS)
const BlitKernels& Sse2();
const BlitKernels& Avx2();
#endif
}  // namespace blit_kernels

}  // namespace vec

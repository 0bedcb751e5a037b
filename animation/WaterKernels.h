#pragma once
// The block loops of the water's fast tick (WaterEngine.cpp), one table of them per vector
// level: the plain kernels in WaterKernels.cpp, the SSE2 and AVX2 ones in
// WaterKernelsSse2.cpp and WaterKernelsAvx2.cpp. A level without a kernel of its own uses
// the next narrower one. Every level draws the same frames; the tests run each level the
// processor has against the pixel-by-pixel tick.

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/VectorLevel.h"
#include "graphics/Geometry.h"

namespace vec {

// Blocks of this many columns are tested in one go for lying wholly inside their area.
inline constexpr int32_t kWaterBlock = 16;
// At most this many rows are tested per block; more and every pixel is tested alone.
inline constexpr size_t kWaterBlockRows = 8;

// The target and source rows of one scatter offset: their area index rows and pixels.
struct WaterRowPair {
  const int8_t* atTarget;
  const int8_t* atSource;
  Pixel* out;
  const Pixel* in;
};

struct WaterKernels {
  // How many of the `blocks` blocks of kWaterBlock columns from col on, one after the
  // other, hold area k in every row of rows[0 .. count): the run of blocks that need no
  // test of their own. Stops at the first block that does not.
  int32_t (*blocksInArea)(const std::array<const int8_t*, kWaterBlockRows>& rows, size_t count,
                          int32_t col, int8_t k, int32_t blocks);
  // `columns` columns from c (a multiple of eight) whose target and source rows all lie in
  // the area: each column copies from the rows of its own scatter offset (scatter[c] indexes
  // pairs, span of them), shifted by hshift. nullptr below the level that has it.
  void (*copyBlockByOffset)(const WaterRowPair* pairs, int32_t span, const uint8_t* scatter,
                            int32_t c, int32_t hshift, int32_t columns);
};

const WaterKernels& WaterKernelsFor(VectorLevel level);

inline const WaterKernels& CurrentWaterKernels() {
  return WaterKernelsFor(CurrentVectorLevel());
}

// The sets of each level, for WaterKernelsFor; a set takes what it lacks from the one below.
namespace water_kernels {
const WaterKernels& Plain();
#if defined(VEC_X86_KERNELS)
const WaterKernels& Sse2();
const WaterKernels& Avx2();
#endif
}  // namespace water_kernels

}  // namespace vec

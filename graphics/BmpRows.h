#pragma once
// The row loops of the BMP reader (Bmp.cpp) that have vector versions, one table of them
// per vector level: the plain kernels in BmpRows.cpp, the SSSE3 ones in BmpRowsSsse3.cpp.
// A level without a kernel of its own uses the next narrower one. Every level gives the
// plain kernels' pixels.

#include <cstdint>

#include "base/VectorLevel.h"
#include "graphics/Geometry.h"

namespace vec {

struct BmpRowKernels {
  // `width` pixels of 24 bits (blue, green, red) to pixels with alpha 255. The row may be
  // the file's last, without the padding to four bytes.
  void (*bgr24)(const uint8_t* src, Pixel* dst, int32_t width);
};

const BmpRowKernels& BmpRowKernelsFor(VectorLevel level);

inline const BmpRowKernels& CurrentBmpRowKernels() {
  return BmpRowKernelsFor(CurrentVectorLevel());
}

// The sets of each level, for BmpRowKernelsFor.
namespace bmp_row_kernels {
const BmpRowKernels& Plain();
#if defined(VEC_X86_KERNELS)
const BmpRowKernels& Ssse3();
#endif
}  // namespace bmp_row_kernels

}  // namespace vec

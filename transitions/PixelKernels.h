#pragma once
// The inner loops of the pixel effects (BlendEffects.cpp, Shade.cpp), one table of them
// per vector level: the plain kernels in PixelKernels.cpp, the SSE2 and AVX2 ones in
// PixelKernelsSse2.cpp and PixelKernelsAvx2.cpp. A level without a kernel of its own uses
// the next narrower one. Every kernel gives exactly the plain kernel's pixels; the tests
// run each level the processor has against the references.

#include <cstddef>
#include <cstdint>

#include "base/VectorLevel.h"
#include "graphics/Geometry.h"

namespace vec {

// One row of Work in a turn of New (the pivots): column x of the row reads New's pixel
// (px + (a >> 16), py + (b >> 16)), counted from New's bottom row, where
// a = a0 + x * d and b = b0 + x * c in 32-bit arithmetic.
struct TurnRow {
  Pixel* out;        // the row of Work
  const Pixel* src;  // New's pixel block, bottom row first
  int32_t W, H, px, py;
  int64_t a0, b0;
  int32_t d, c;
  bool stream;  // a large frame: store the row past the cache
};

struct PixelKernels {
  // Each colour byte of dst moves toward src's: d += (alpha * (s - d)) >> 8 with an
  // arithmetic shift, alpha 0..256. The fourth byte is kept.
  void (*blend)(Pixel* dst, const Pixel* src, size_t count, int32_t alpha);
  // dst[i] = src[i] where mask[i] is all ones; kept where it is 0.
  void (*select)(Pixel* dst, const Pixel* src, const uint32_t* mask, size_t count);
  // dst[i] = src[i] where the i-th seed of the generator's sequence (base/Random.h) that
  // starts at `first` is below `threshold`.
  void (*dissolve)(Pixel* dst, const Pixel* src, size_t count, uint32_t first, uint32_t threshold);
  // Adds raise[k] to row[k] and subtracts lower[k], each byte saturating.
  void (*shadeSpan)(Pixel* row, const Pixel* raise, const Pixel* lower, size_t count);
  // The same with one raise and one lower for the whole row.
  void (*shadeRow)(Pixel* row, Pixel raise, Pixel lower, size_t count);
  // Columns [first, last) of a turned row, whose sources all lie inside New.
  void (*turnRow)(const TurnRow& row, int32_t first, int32_t last);
  // Copies count pixels of a large frame, past the cache where the level can.
  void (*copyLarge)(Pixel* out, const Pixel* in, int32_t count);
};

const PixelKernels& PixelKernelsFor(VectorLevel level);

inline const PixelKernels& CurrentPixelKernels() {
  return PixelKernelsFor(CurrentVectorLevel());
}

// Per pixel, for the plain kernels and the vector kernels' ends of rows.

inline Pixel BlendPixel(Pixel d, Pixel s, int32_t alpha) {
  const auto byte = [alpha](uint8_t dd, uint8_t ss) {
    const int32_t from = dd;
    return static_cast<uint8_t>((from + ((alpha * (static_cast<int32_t>(ss) - from)) >> 8)) & 0xFF);
  };
  return MakePixel(byte(PixelR(d), PixelR(s)), byte(PixelG(d), PixelG(s)),
                   byte(PixelB(d), PixelB(s)), PixelA(d));
}

// fresh where seed < threshold, else old; a mask, not a branch (at mid percents the
// choice is a coin toss).
inline Pixel PickBelow(Pixel old, Pixel fresh, uint32_t seed, uint32_t threshold) {
  const uint32_t take = 0u - static_cast<uint32_t>(seed < threshold);
  return (fresh & take) | (old & ~take);
}

// Columns [x, last) of a turned row, one at a time.
inline void TurnColumns(const TurnRow& r, int32_t x, int32_t last) {
  auto a = static_cast<int32_t>(r.a0 + int64_t{x} * r.d);
  auto b = static_cast<int32_t>(r.b0 + int64_t{x} * r.c);
  for (; x < last; ++x, a += r.d, b += r.c) {
    // b counts rows from the bottom, which is New's block order.
    const auto row = static_cast<size_t>(r.py + (b >> 16));
    r.out[x] = r.src[row * static_cast<size_t>(r.W) + static_cast<size_t>(r.px + (a >> 16))];
  }
}

// The sets of each level, for PixelKernelsFor; a set takes what it lacks from the one below.
namespace pixel_kernels {
const PixelKernels& Plain();
#if defined(VEC_X86_KERNELS)
const PixelKernels& Sse2();
const PixelKernels& Avx2();
#endif
}  // namespace pixel_kernels

}  // namespace vec

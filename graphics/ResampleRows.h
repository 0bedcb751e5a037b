#pragma once
// The two passes of the separable resampling filters (Resample.cpp), one table of row loops
// per vector level: the plain kernels in ResampleRows.cpp, the SSE2 ones in
// ResampleRowsSse2.cpp. A level without a kernel of its own uses the next narrower one.
// Every level gives the plain kernels' pixels.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/VectorLevel.h"
#include "graphics/Geometry.h"

namespace vec {

// Weights are integers with this many fractional bits.
inline constexpr int kResampleWeightBits = 14;

// For each output index: a window of source indices [first, first + count) and its
// integer weights (from weights[offset]), which sum to 1 << kResampleWeightBits. Counts
// are even (padded with a zero weight) so that the vector code can take taps in pairs.
struct ResampleTaps {
  std::vector<int32_t> first, count, offset;
  std::vector<int16_t> weights;
};

struct ResampleRowKernels {
  // The horizontal pass of one source row: out[x] for every output index of `taps`. Taps
  // that would read at or past rowEnd (only possible for a one-pixel source) are clamped.
  void (*horizontalRow)(const Pixel* row, int32_t rowEnd, const ResampleTaps& taps, Pixel* out);
  // One output row of the vertical pass: rows[k] weighted by w[k], k < count (count even),
  // for `width` pixels.
  void (*verticalRow)(const Pixel* const* rows, int32_t count, const int16_t* w, int32_t width,
                      Pixel* out);
};

const ResampleRowKernels& ResampleRowKernelsFor(VectorLevel level);

inline const ResampleRowKernels& CurrentResampleRowKernels() {
  return ResampleRowKernelsFor(CurrentVectorLevel());
}

// Per pixel, for the plain kernels and the vector kernels' edge cases.

// Rounds the weighted sums of the four bytes and clamps each to a byte.
inline Pixel FinishResampleSums(const int32_t sum[4]) {
  Pixel p = 0;
  for (int ch = 0; ch < 4; ++ch) {
    const int32_t v = (sum[ch] + (1 << (kResampleWeightBits - 1))) >> kResampleWeightBits;
    p |= static_cast<Pixel>(static_cast<uint8_t>(std::clamp(v, 0, 255))) << (8 * ch);
  }
  return p;
}

// One output pixel of the horizontal pass.
inline Pixel HorizontalTap(const Pixel* row, int32_t rowEnd, int32_t first, int32_t count,
                           const int16_t* w) {
  int32_t sum[4] = {0, 0, 0, 0};
  for (int32_t k = 0; k < count; ++k) {
    const Pixel p = row[std::min(first + k, rowEnd - 1)];
    for (int ch = 0; ch < 4; ++ch) sum[ch] += w[k] * static_cast<int32_t>((p >> (8 * ch)) & 0xFF);
  }
  return FinishResampleSums(sum);
}

// Output pixel x of the vertical pass.
inline Pixel VerticalTap(const Pixel* const* rows, int32_t count, const int16_t* w, int32_t x) {
  int32_t sum[4] = {0, 0, 0, 0};
  for (int32_t k = 0; k < count; ++k) {
    const Pixel p = rows[k][x];
    for (int ch = 0; ch < 4; ++ch) sum[ch] += w[k] * static_cast<int32_t>((p >> (8 * ch)) & 0xFF);
  }
  return FinishResampleSums(sum);
}

// The sets of each level, for ResampleRowKernelsFor.
namespace resample_row_kernels {
const ResampleRowKernels& Plain();
#if defined(VEC_X86_KERNELS)
const ResampleRowKernels& Sse2();
#endif
}  // namespace resample_row_kernels

}  // namespace vec

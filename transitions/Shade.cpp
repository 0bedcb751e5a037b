#include "transitions/Shade.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/FrameThreads.h"
#include "transitions/PixelKernels.h"

namespace vec {
namespace {

uint8_t AddClamped(uint8_t byte, int32_t offset) {
  return static_cast<uint8_t>(std::clamp(static_cast<int32_t>(byte) + offset, 0, 255));
}

Pixel ShadePixel(Pixel p, int32_t offset) {
  return MakePixel(AddClamped(PixelR(p), offset), AddClamped(PixelG(p), offset),
                   AddClamped(PixelB(p), offset), PixelA(p));
}

bool NothingToShade(int32_t depth, int32_t count) {
  return count <= 1 || depth <= 0;
}

}  // namespace

void ShadeColumnOffsets(int32_t depth, int32_t count, int32_t* out) {
  if (NothingToShade(depth, count)) return;
  const int32_t half = count / 2;
  out[0] = -depth;
  if (half < depth) {
    // Steep ramp: every column moves by a whole step, up through the middle column.
    const int32_t step = depth / half;
    for (int32_t k = 1; k < count; ++k) out[k] = out[k - 1] + (k <= half ? step : -step);
  } else {
    // Gentle ramp: one unit every `period` columns.
    const int32_t period = half / depth;
    for (int32_t k = 1; k < count; ++k) {
      out[k] = out[k - 1];
      if (k % period == 0) out[k] += k < half ? 1 : -1;
    }
  }
}

void ShadeRowOffsets(int32_t depth, int32_t count, int32_t* out) {
  if (NothingToShade(depth, count)) return;
  const int32_t half = count / 2;
  const int32_t period = half < depth ? 1 : half / depth;
  const int32_t step = half < depth ? depth / half : 1;
  // Line i gets the offset after the lines before it were counted: the change at line
  // count i applies from line i on, rising while i < half.
  int32_t offset = -depth;
  out[0] = offset;
  for (int32_t i = 1; i < count; ++i) {
    if (i % period == 0) offset += i < half ? step : -step;
    out[i] = offset;
  }
}

namespace {

// An offset as two pixels of byte amounts for red, green and blue: `raise` is added and
// `lower` subtracted, both saturating at the byte's ends, and one of them is 0. Offsets
// beyond +-255 saturate every byte the same way.
struct ShadeStep {
  Pixel raise, lower;
};
ShadeStep StepFor(int32_t offset) {
  const Pixel amount = static_cast<Pixel>(std::min(std::abs(offset), 255)) * 0x010101u;
  return offset >= 0 ? ShadeStep{amount, 0} : ShadeStep{0, amount};
}

}  // namespace

void ShadeColumns(BottomUpBitmap& bmp, int32_t depth, int32_t x0, int32_t count) {
  if (NothingToShade(depth, count)) return;
  std::vector<int32_t> offsets(static_cast<size_t>(count));
  ShadeColumnOffsets(depth, count, offsets.data());
  const int32_t first = std::max(x0, 0);
  const int32_t last = static_cast<int32_t>(
      std::min<int64_t>(static_cast<int64_t>(x0) + count, bmp.Width()));  // exclusive
  if (first >= last) return;
  const auto n = static_cast<size_t>(last - first);
  std::vector<Pixel> raise(n), lower(n);
  for (size_t k = 0; k < n; ++k) {
    const ShadeStep step = StepFor(offsets[static_cast<size_t>(first - x0) + k]);
    raise[k] = step.raise;
    lower[k] = step.lower;
  }
  const PixelKernels& kernels = CurrentPixelKernels();
  SplitRows(bmp.Height(), static_cast<int64_t>(bmp.PixelCount()), [&](int32_t begin, int32_t end) {
    for (int32_t y = begin; y < end; ++y)
      kernels.shadeSpan(bmp.ScanLine(y) + first, raise.data(), lower.data(), n);
  });
}

void ShadeRows(BottomUpBitmap& bmp, int32_t depth, int32_t y0, int32_t count) {
  if (NothingToShade(depth, count)) return;
  std::vector<int32_t> offsets(static_cast<size_t>(count));
  ShadeRowOffsets(depth, count, offsets.data());
  const int64_t bottom = static_cast<int64_t>(y0) + count - 1;
  const auto width = static_cast<size_t>(bmp.Width());
  const PixelKernels& kernels = CurrentPixelKernels();
  SplitRows(count, static_cast<int64_t>(bmp.PixelCount()), [&](int32_t begin, int32_t end) {
    for (int32_t line = begin; line < end; ++line) {
      const int64_t y = bottom - line;
      if (y < 0 || y >= bmp.Height()) continue;
      const ShadeStep step = StepFor(offsets[static_cast<size_t>(line)]);
      kernels.shadeRow(bmp.ScanLine(static_cast<int32_t>(y)), step.raise, step.lower, width);
    }
  });
}

namespace reference {

void ShadeColumns(BottomUpBitmap& bmp, int32_t depth, int32_t x0, int32_t count) {
  if (NothingToShade(depth, count)) return;
  std::vector<int32_t> offsets(static_cast<size_t>(count));
  ShadeColumnOffsets(depth, count, offsets.data());
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int64_t x = std::max(x0, 0); x < static_cast<int64_t>(x0) + count && x < bmp.Width(); ++x)
      bmp.SetPixel(static_cast<int32_t>(x), y,
                   ShadePixel(bmp.GetPixel(static_cast<int32_t>(x), y),
                              offsets[static_cast<size_t>(x - x0)]));
}

void ShadeRows(BottomUpBitmap& bmp, int32_t depth, int32_t y0, int32_t count) {
  if (NothingToShade(depth, count)) return;
  std::vector<int32_t> offsets(static_cast<size_t>(count));
  ShadeRowOffsets(depth, count, offsets.data());
  for (int32_t line = 0; line < count; ++line) {
    const int64_t y = static_cast<int64_t>(y0) + count - 1 - line;
    if (y < 0 || y >= bmp.Height()) continue;
    for (int32_t x = 0; x < bmp.Width(); ++x)
      bmp.SetPixel(
          x, static_cast<int32_t>(y),
          ShadePixel(bmp.GetPixel(x, static_cast<int32_t>(y)), offsets[static_cast<size_t>(line)]));
  }
}

}  // namespace reference

}  // namespace vec

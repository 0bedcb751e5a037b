#pragma once
// The one checksum of the tests' golden results: FNV-1a over a bitmap's pixels in memory
// order (a failing case can then be dumped and compared as an image).

#include <cstddef>
#include <cstdint>

namespace vec {

template <class BitmapType>
uint64_t PixelChecksum(const BitmapType& b) {
  uint64_t h = 1469598103934665603ull;
  const size_t n = static_cast<size_t>(b.Width()) * static_cast<size_t>(b.Height());
  const auto* p = b.Bits();
  for (size_t i = 0; i < n; ++i) {
    h ^= p[i];
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace vec

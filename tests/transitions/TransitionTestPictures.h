#pragma once
// Pictures for the transition tests: every pixel distinct, so a pixel in the wrong place or
// from the wrong picture shows up, and helpers to say where each pixel of Work came from.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "graphics/BottomUpBitmap.h"
#include "transitions/Effect.h"
#include "transitions/EffectStep.h"

namespace vec::testing {

// A picture whose pixels all differ from each other and from those of other salts, with
// a fourth byte that differs too.
inline BottomUpBitmap Pattern(int32_t W, int32_t H, uint32_t salt) {
  BottomUpBitmap bmp(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      uint32_t v = (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u) ^
                   (salt * 0x9E3779B9u);
      v ^= v >> 15;
      v *= 2246822519u;
      v ^= v >> 13;
      bmp.SetPixel(x, y, v);
    }
  return bmp;
}

inline BottomUpBitmap Filled(int32_t W, int32_t H, Pixel p) {
  BottomUpBitmap bmp(W, H);
  for (size_t i = 0; i < bmp.PixelCount(); ++i) bmp.Bits()[i] = p;
  return bmp;
}

// Runs effect n the way a transition frame does: Work starts from the whole of Old.
inline BottomUpBitmap RunEffect(int32_t n, const BottomUpBitmap& oldBmp,
                                const BottomUpBitmap& newBmp, int32_t percent) {
  BottomUpBitmap work(oldBmp.Width(), oldBmp.Height());
  DrawEffectStep(&EffectByNumber(n), work, oldBmp, newBmp, percent);
  return work;
}

struct Source {
  bool fromNew;
  int32_t x, y;
};
// Where the pixel at (x, y) should come from: a pixel of New or of Old.
using SourceMap = std::function<Source(int32_t x, int32_t y)>;

inline Source FromNew(int32_t x, int32_t y) {
  return {true, x, y};
}
inline Source FromOld(int32_t x, int32_t y) {
  return {false, x, y};
}

// Compares Work with the map and reports the first few mismatching pixels.
inline ::testing::AssertionResult Matches(const BottomUpBitmap& work, const BottomUpBitmap& oldBmp,
                                          const BottomUpBitmap& newBmp, const SourceMap& map) {
  int failures = 0;
  std::string report;
  for (int32_t y = 0; y < work.Height(); ++y)
    for (int32_t x = 0; x < work.Width(); ++x) {
      const Source s = map(x, y);
      const BottomUpBitmap& from = s.fromNew ? newBmp : oldBmp;
      if (s.x < 0 || s.y < 0 || s.x >= from.Width() || s.y >= from.Height()) {
        report += " map points outside at (" + std::to_string(x) + "," + std::to_string(y) + ")";
        ++failures;
      } else if (work.GetPixel(x, y) != from.GetPixel(s.x, s.y)) {
        if (failures < 5)
          report += " (" + std::to_string(x) + "," + std::to_string(y) + ") expected " +
                    (s.fromNew ? "New" : "Old") + "(" + std::to_string(s.x) + "," +
                    std::to_string(s.y) + ")";
        ++failures;
      }
    }
  if (failures == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << failures << " pixels differ:" << report;
}

}  // namespace vec::testing

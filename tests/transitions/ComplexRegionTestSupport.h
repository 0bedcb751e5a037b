#pragma once
// Pictures and measurements shared by the region effect tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "base/MathUtil.h"
#include "graphics/BottomUpBitmap.h"
#include "tests/support/PixelChecksum.h"
#include "transitions/Effect.h"

namespace vec::testing_support {

// The old picture: opaque black. The new picture: a pattern that differs from the old
// everywhere and from pixel to pixel, so a copy from the wrong place shows.
inline BottomUpBitmap OldPicture(int32_t W, int32_t H) {
  BottomUpBitmap b(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) b.SetPixel(x, y, MakePixel(0, 0, 0));
  return b;
}
inline Pixel NewPixel(int32_t x, int32_t y) {
  return MakePixel(uint8_t(x), uint8_t(y), 0x80 | uint8_t((x >> 8) + ((y >> 8) << 3)));
}
inline BottomUpBitmap NewPicture(int32_t W, int32_t H) {
  BottomUpBitmap b(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) b.SetPixel(x, y, NewPixel(x, y));
  return b;
}

// w and h of a progress, as the driver passes them.
inline void ScaledExtents(int32_t W, int32_t H, int32_t percent, int32_t& w, int32_t& h) {
  if (W >= H) {
    w = MulDiv(W, percent, 100);
    h = MulDiv(w, H, W);
  } else {
    h = MulDiv(H, percent, 100);
    w = MulDiv(h, W, H);
  }
}

// One frame of an effect from the old picture.
inline BottomUpBitmap RunFrame(const Effect& effect, const BottomUpBitmap& newBmp,
                               int32_t percent) {
  const int32_t W = newBmp.Width(), H = newBmp.Height();
  BottomUpBitmap work = OldPicture(W, H);
  int32_t w = 0, h = 0;
  ScaledExtents(W, H, percent, w, h);
  effect.Draw(EffectFrame{work, newBmp, W, H, w, h, percent});
  return work;
}
// The same for a routine that draws one effect alone (no family arguments).
inline BottomUpBitmap RunFrame(EffectRoutine routine, const BottomUpBitmap& newBmp,
                               int32_t percent) {
  return RunFrame(Effect{0, "", routine, {}}, newBmp, percent);
}

// The table entry of the effect with this name; a name not in the table fails the test that
// asks and gives entry 1.
inline const Effect& EffectNamed(std::string_view name) {
  for (const Effect& e : EffectTable())
    if (e.name == name) return e;
  ADD_FAILURE() << "no effect named \"" << name << "\"";
  return EffectByNumber(1);
}

// Pixels of `work` that show New at their own place; any other value must be Old.
struct Coverage {
  int64_t fromNew = 0, fromOld = 0, wrong = 0;
};
inline Coverage Measure(const BottomUpBitmap& work) {
  Coverage c;
  const Pixel old = MakePixel(0, 0, 0);
  for (int32_t y = 0; y < work.Height(); ++y) {
    for (int32_t x = 0; x < work.Width(); ++x) {
      const Pixel p = work.GetPixel(x, y);
      if (p == NewPixel(x, y))
        ++c.fromNew;
      else if (p == old)
        ++c.fromOld;
      else
        ++c.wrong;
    }
  }
  return c;
}
inline bool ShowsNew(const BottomUpBitmap& work, int32_t x, int32_t y) {
  return work.GetPixel(x, y) == NewPixel(x, y);
}

inline std::string SizeName(int32_t W, int32_t H) {
  return std::to_string(W) + "x" + std::to_string(H);
}

}  // namespace vec::testing_support

namespace vec {
// Test names and failure messages show an effect by its number and name.
inline void PrintTo(const Effect& e, std::ostream* os) {
  *os << e.number << " \"" << e.name << "\"";
}
}  // namespace vec

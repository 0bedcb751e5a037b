#pragma once
// The contract of a transition effect and the table of all 169.
//
// An effect draws one frame: on entry `work` holds a fresh copy of the old picture and
// `newBmp` the new picture as it will finally be shown; both are W x H. `w` and `h` are
// the progress scaled to each axis (ProgressExtents), `percent` is 0..100. An effect draws
// only into `work`, keeps no state between calls, and at 100 % leaves `work` equal to
// `newBmp` (the pivots excepted).

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "graphics/Bitmap.h"

namespace vec {

using EffectProc = void (*)(Bitmap& work, const Bitmap& newBmp, int32_t W, int32_t H, int32_t w,
                            int32_t h, int32_t percent);
// The same signature as a function type, for declaring effect routines.
using EffectFn = void(Bitmap& work, const Bitmap& newBmp, int32_t W, int32_t H, int32_t w,
                      int32_t h, int32_t percent);

struct Effect {
  int32_t number;  // 1..169, the entry's place in the table
  std::string_view name;
  EffectProc proc;  // never nullptr in the table
};

constexpr int kEffectCount = 169;

// All entries in table order; entry i holds effect number i + 1.
std::span<const Effect> EffectTable();

// Entry n (1..169) of the table; numbers outside that range give entry 1.
const Effect& EffectByNumber(int32_t n);

struct Extents {
  int32_t w, h;
};
// w and h for a progress: the longer side scales by MulDiv(side, percent, 100), the other
// follows it with the aspect kept.
Extents ProgressExtents(int32_t W, int32_t H, int32_t percent);

}  // namespace vec

#pragma once
// The contract of a transition effect and the table of all 169.
//
// An effect draws one frame: on entry `work` holds a fresh copy of the old picture (or, for
// the routines that write Old themselves, the frame names Old; see EffectFrame) and
// `newBmp` the new picture as it will finally be shown; both are W x H. `w` and `h` are
// the progress scaled to each axis (ProgressExtents), `percent` is 0..100. An effect draws
// only into `work`, keeps no state between calls, and at 100 % leaves `work` equal to
// `newBmp` (the pivots excepted).
//
// Every routine takes the frame and the arguments of its table row. A routine may draw a
// whole family of effects, its row's arguments picking the member: the table row
// `{63, "Bars in from right", RevealBars, {2, 0, 0, 1}}` draws the bars routine with the
// bands' {xScale, yScale, vmode, hmode}.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "base/ShowDefaults.h"
#include "graphics/BottomUpBitmap.h"

namespace vec {

// One frame to draw: `work` holds a fresh copy of the old picture, `newBmp` the new one;
// W x H is the picture size, w and h the progress extents, percent 0..100.
//
// `old` is set only for the routines that write Old themselves (WritesOldItself in
// EffectStep.h), and only when Old, New and Work have one size: then `work` does not hold
// Old yet, and the routine writes every pixel of it, Old's wherever it draws nothing.
struct EffectFrame {
  BottomUpBitmap& work;
  const BottomUpBitmap& newBmp;
  int32_t W, H, w, h, percent;
  const BottomUpBitmap* old = nullptr;
};

// The arguments that pick one member of a family of effects drawn by one routine. Each
// family routine documents what its values mean; routines that draw a single effect ignore
// them and their table rows leave them 0.
struct EffectArgs {
  constexpr EffectArgs() = default;
  constexpr EffectArgs(int32_t first, int32_t second = 0, int32_t third = 0, int32_t fourth = 0)
      : values{first, second, third, fourth} {}
  friend constexpr bool operator==(const EffectArgs&, const EffectArgs&) = default;

  std::array<int32_t, 4> values{};
};

using EffectRoutine = void (*)(const EffectFrame& frame, const EffectArgs& args);
// The same signature as a function type, for declaring effect routines.
using EffectFn = void(const EffectFrame& frame, const EffectArgs& args);

struct Effect {
  int32_t number;  // 1..169, the entry's place in the table
  std::string_view name;
  EffectRoutine routine;  // never nullptr in the table
  EffectArgs args{};      // all 0 for a routine that draws one effect alone

  void Draw(const EffectFrame& frame) const { routine(frame, args); }
};

// All entries in table order; entry i holds effect number i + 1.
std::span<const Effect> EffectTable();

// Entry n (1..169) of the table; numbers outside that range give entry 1.
const Effect& EffectByNumber(int32_t n);

// The entries drawn by any of `routines`, in number order: a family of effects is named by
// its routines, never by a second list of numbers.
std::vector<Effect> EffectsDrawnBy(std::span<const EffectRoutine> routines);
inline std::vector<Effect> EffectsDrawnBy(std::initializer_list<EffectRoutine> routines) {
  return EffectsDrawnBy(std::span<const EffectRoutine>(routines.begin(), routines.size()));
}

struct Extents {
  int32_t w, h;
};
// w and h for a progress: the longer side scales by MulDiv(side, percent, 100), the other
// follows it with the aspect kept.
Extents ProgressExtents(int32_t W, int32_t H, int32_t percent);

}  // namespace vec

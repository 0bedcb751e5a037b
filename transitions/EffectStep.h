#pragma once
// One frame of a transition as every caller draws it: Work starts from the whole of Old
// and the effect draws over it.

#include <cstdint>

#include "graphics/BottomUpBitmap.h"
#include "transitions/Effect.h"

namespace vec {

// Whether `routine` writes Old's pixels itself when the frame names Old: the pivots, the
// effects that reveal New through a region (the band and shape families) and the wipes
// that fill whole blocks with New. Each then writes every pixel of the frame once, instead
// of Old first and most of it again.
bool WritesOldItself(EffectRoutine routine);

// Draws `effect` (nullptr: none, Work shows Old) at `percent` into `work`, which is first
// given the whole of `old` with no clip region selected. A routine that writes Old itself
// is given Old in the frame instead of the copy, when Old, New and Work have one size;
// otherwise it takes the copy first like the others. Either way the frame is the same.
void DrawEffectStep(const Effect* effect, BottomUpBitmap& work, const BottomUpBitmap& old,
                    const BottomUpBitmap& newBmp, int32_t percent);

}  // namespace vec

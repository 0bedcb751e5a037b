#pragma once
// One frame of a transition as every caller draws it: Work starts from the whole of Old
// and the effect draws over it.

#include <cstdint>

#include "graphics/Bitmap.h"
#include "transitions/Effect.h"

namespace vec {

// Draws `effect` (nullptr: none, Work shows Old) at `percent` into `work`, which is first
// given the whole of `old` with no clip region selected. An effect with an overOld routine
// writes Old's pixels itself where it draws nothing, so the frame costs no full copy of Old
// that New then mostly covers; when Old, New and Work differ in size it takes the copy
// first like the others. Either way the frame is the same.
void DrawEffectStep(const Effect* effect, Bitmap& work, const Bitmap& old, const Bitmap& newBmp,
                    int32_t percent);

}  // namespace vec

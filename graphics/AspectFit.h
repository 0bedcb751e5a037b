#pragma once
// Fitting a picture into an output size with its aspect kept: the one rule that the
// picture files, the still pictures and the tools all use.

#include <cstdint>

#include "graphics/Geometry.h"

namespace vec {

struct FitSize {
  int32_t width = 0, height = 0;
  friend bool operator==(const FitSize&, const FitSize&) = default;
};

// A w x h picture fitted into W x H with its aspect kept: the side that limits keeps the
// output's length, the other is computed through the ratio w / h as a double and rounded
// to nearest with halves to even, and never less than 1. A picture or an output without area gives
// W x H unchanged.
FitSize FitByAspect(int32_t w, int32_t h, int32_t W, int32_t H);

// Where a 4:3 picture mode appears on a W x H screen, as a display shows such a mode on a
// screen of another shape: the largest 4:3 area (its sides from FitByAspect), centred, with
// black bars left and right on a wider screen and above and below on a narrower one. An odd
// pixel left over goes to the right or bottom bar, as a centred picture's does. A screen
// without area gives an empty rectangle.
Rect LetterboxArea(int32_t W, int32_t H);

}  // namespace vec

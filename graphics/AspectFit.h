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

}  // namespace vec

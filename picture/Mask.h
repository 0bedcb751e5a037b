#pragma once
// The area mask: run codes (c div 10 pixels of colour index c mod 10) into an AreaMask, and
// back; and the mask drawn in the four area colours (the form the mask pictures take).

#include <array>
#include <cstdint>
#include <vector>

#include "base/Result.h"
#include "graphics/BottomUpBitmap.h"
#include "picture/AreaMask.h"

namespace vec {

// values[0] = width, values[1] = height, values[2..] = run codes. Runs go left to right and
// continue on the next row; a run past the last pixel is clipped there. Indices 5 to 9
// (and negative codes' indices) are no area. Fewer than two values give an empty mask,
// exactly two a mask of that size with no area. A negative width or height, or one
// above 16384, fails.
Status DecodeMask(const std::vector<int32_t>& values, AreaMask& mask);

// The same runs decoded straight into a mask of width x height: each pixel takes the value
// that a stretch of the declared mask onto that size (StretchBlt's pixel rule) would put
// there, and only width x height pixels are ever held, whatever size the values declare.
// Fewer than two values, or a declared width or height of 0, give a mask with no area.
Status DecodeMaskFitted(const std::vector<int32_t>& values, int32_t width, int32_t height,
                        AreaMask& mask);

// The inverse: width, height and run codes of a mask.
std::vector<int32_t> EncodeMask(const AreaMask& mask);

// Number of pixels of each area index 0..4.
std::array<int64_t, 5> CountMaskValues(const AreaMask& mask);

// A mask picture read pixel by pixel (AreaIndexOf), and a mask drawn in the area colours.
AreaMask AreaMaskFromColors(const BottomUpBitmap& colors);
BottomUpBitmap AreaColorsOf(const AreaMask& mask);

// The mask value index (0..4) of a pixel, its fourth byte ignored; 0 for any other colour.
int AreaIndexOf(uint32_t pixel);

}  // namespace vec

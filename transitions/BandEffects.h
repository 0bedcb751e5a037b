#pragma once
// Effects that reveal the new picture through a region of many axis-parallel rectangles:
// bars, uneven shreds, criss-cross patterns, speckles, random squares, blinds and
// rectangle grids. Each builds its rectangles in a ComplexRegion and ends with
// RevealThroughRegion; a builder that collected nothing leaves Work as it is.

#include <array>
#include <cstdint>

#include "transitions/ComplexRegion.h"

namespace vec {

// Region builders. ax and ay are the extents along each axis; the modes pick the direction:
// 1 from the right (bottom), 2 from the left (top), 3 both sides at once, 4 left then right
// (top then bottom), 5 right then left (bottom then top), 0 none.
void BarsRegion(ComplexRegion& rgn, int32_t ax, int32_t ay, int32_t W, int32_t H, int32_t vmode,
                int32_t hmode);
// Draws Random(2l) from the process-wide generator once per strip, horizontal strips first.
void ShredRegion(ComplexRegion& rgn, int32_t ax, int32_t ay, int32_t W, int32_t H, int32_t vmode,
                 int32_t hmode);
// Draws Random(i) once per candidate square, row by row, from the far end inwards.
void SpeckleRegion(ComplexRegion& rgn, int32_t ax, int32_t ay, int32_t W, int32_t H, int32_t vmode,
                   int32_t hmode);

// Bars and criss-cross patterns.
EffectFn BarsInFromRight, BarsInFromLeft, BarsLeftThenRight, BarsRightThenLeft, BarsFromBothSides,
    BarsFromBottom, BarsFromTop, BarsTopThenBottom, BarsBottomThenTop, BarsFromTopAndBottom;
EffectFn CrissCrossFromBottomRight, CrissCrossFromTopRight, CrissCrossFromBottomLeft,
    CrissCrossFromTopLeft, CrissCrossBounceFromTopLeft, CrissCrossBounceFromBottomLeft,
    CrissCrossBounceFromTopRight, CrissCrossBounceFromBottomRight, CrissCrossFromRightTopAndBottom,
    CrissCrossFromLeftTopAndBottom, CrissCrossFromLeftRightAndBottom, CrissCrossFromLeftRightAndTop,
    CrissCrossFromTopLeftAndBottom, CrissCrossFromBottomLeftTopRight;

// Uneven shreds.
EffectFn UnevenShredFromRight, UnevenShredFromLeft, UnevenShredOutFromMiddleHoriz,
    UnevenShredInToMiddleHoriz, UnevenShredFromBottom, UnevenShredFromTop, UnevenShredFromHorizon,
    UnevenShredInToHorizon, UnevenShredFromBottomAndRight, UnevenShredFromTopAndRight,
    UnevenShredFromBottomAndLeft, UnevenShredFromTopAndLeft, UnevenShredFromHorizAndRight,
    UnevenShredFromHorizAndLeft, UnevenShredFromBottomAndVertMiddle,
    UnevenShredFromTopAndVertMiddle, UnevenShredFromCentre, UnevenShredToCentre;

// Speckles and random squares.
EffectFn SpeckleAppearFromRight, SpeckleAppearFromLeft, SpeckleAppearFromBottom,
    SpeckleAppearFromTop, RandomSquaresAppear;

// Blinds and rectangle grids.
EffectFn BlindVertically, BlindHorizontally, UnevenBlindFromLeft, UnevenBlindFromRight,
    UnevenBlindFromTop, UnevenBlindFromBottom, RectangularShred, RectanglesFromLeftToRight,
    RectanglesFromRightToLeft, RectanglesFromUpToBottom, RectanglesFromBottomToUp;

// Every member of this family, in number order.
extern const std::array<NumberedEffect, 58> kBandEffects;

}  // namespace vec

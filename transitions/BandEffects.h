#pragma once
// Effects that reveal the new picture through a region of many axis-parallel rectangles:
// bars, uneven shreds, criss-cross patterns, speckles, random squares, blinds and
// rectangle grids. Each builds its rectangles in a ComplexRegion and ends with
// RevealThroughRegion; a builder that collected nothing leaves Work as it is.

#include <cstdint>
#include <span>

#include "transitions/ComplexRegion.h"
#include "transitions/Effect.h"

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

// Region families. Their arguments are {xScale, yScale, vmode, hmode}: the builder above
// gets ax = xScale * w and ay = yScale * h with the two modes as they are.
void RevealBars(const EffectFrame& frame, const EffectArgs& args);
void RevealShred(const EffectFrame& frame, const EffectArgs& args);
void RevealSpeckle(const EffectFrame& frame, const EffectArgs& args);

// Bars from the bottom right and bars from the top left, revealed where both have reached.
EffectFn CrissCrossFromBottomLeftTopRight;

// Random squares, blinds and the rectangular shred.
EffectFn RandomSquaresAppear, BlindVertically, BlindHorizontally, UnevenBlindFromLeft,
    UnevenBlindFromRight, UnevenBlindFromTop, UnevenBlindFromBottom, RectangularShred;

// Rectangle grids. Arguments {fromFar}: horizontal bars of period 3k opening around their
// centre lines, then uneven blinds of width w opening along x, from the left (fromFar 0) or
// from the right (1). RectanglesDown is the same with the axes exchanged: vertical bars,
// then blinds of height h from the top (0) or the bottom (1).
void RectanglesAcross(const EffectFrame& frame, const EffectArgs& args);
void RectanglesDown(const EffectFrame& frame, const EffectArgs& args);

// Every routine of this family; the table rows they draw are the family's members.
std::span<const EffectRoutine> BandRoutines();

}  // namespace vec

#pragma once
// Effects that reveal the new picture through one region of curved or slanted shape:
// rounded rectangles and ellipses, triangles, diamonds, stars, zigzag bands, rotating
// rectangles and grids of small shapes. Polygons use the winding fill mode; every member
// ends with RevealThroughRegion.

#include <cstdint>
#include <span>

#include "graphics/Geometry.h"
#include "transitions/ComplexRegion.h"
#include "transitions/Effect.h"

namespace vec {

// Rotates every point about (px, py) by theta radians; coordinates round to the nearest
// integer, halves to even.
void RotatePoints(std::span<Point> points, int32_t px, int32_t py, double theta);

// Curved and elliptic reveals.
EffectFn CurvedRevealFromLeft, CurvedRevealFromRight, CurvedRevealFromTop, CurvedRevealFromBottom,
    CurvedRevealFromTopLeft, CurvedRevealFromTopRight, CurvedRevealFromBottomLeft,
    CurvedRevealFromBottomRight, EllipticRevealOutFromCentre, EllipticRevealInToCentre;

// Triangles, sweeps and starbursts.
EffectFn RevealDiagonalFromTopLeft, RevealDiagonalFromTopRight, RevealDiagonalFromBottomLeft,
    RevealDiagonalFromBottomRight, DiagonalSweepAnticlockwise, DiagonalSweepClockwise,
    StarburstClockwiseFromCenter, StarburstAnticlockwiseFromCenter;

// Rotating shapes.
EffectFn RotationalRectangleInCenter, RotationalStarInCenter, SpiralRectangle;

// V shapes, bow ties, crosses.
EffectFn RevealVFromLeft, RevealVFromRight, RevealVFromTop, RevealVFromBottom, BowTieHorizontal,
    BowTieVertical, DiagonalCrossIn, DiagonalCrossOut;

// Zigzags and diamonds.
EffectFn ZigzagHorizontal, ZigzagVertical, RevealDiamondOutFromCentre, RevealDiamondInToCentre,
    DiagonalBoxOut;

// Grids of small shapes.
EffectFn TriangularShred, CircularShred, DiamondShred;

// Every routine of this family; the table rows they draw are the family's members.
std::span<const EffectRoutine> ShapeRoutines();

}  // namespace vec

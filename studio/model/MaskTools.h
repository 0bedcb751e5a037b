#pragma once
// The painting tools of the area mask. Every tool paints one area index (0 erases) through
// a MaskEdit, so that what it changed can be undone, and returns the rectangle it painted
// (clipped to the mask; empty when nothing was painted).
//
// Pixel (x, y) has its centre at the point (x, y): a stroke from (10, 10) to (50, 10)
// runs through the centres of the pixels of row 10.

#include <cstdint>
#include <vector>

#include "graphics/Geometry.h"
#include "studio/model/MaskEdit.h"

namespace vec::studio {

inline constexpr int32_t kMinBrushSize = 1, kMaxBrushSize = 500;

// A round brush of diameter `size` dragged from `from` to `to`: every pixel whose centre
// lies within size / 2 of the segment. Size 1 paints a thin line, size 5 a band five
// pixels wide with rounded ends.
Rect PaintSegment(MaskEdit& edit, Point from, Point to, int32_t size, uint8_t area);

// The 4-connected run of pixels of the seed's area that holds the seed, painted `area`: the
// fill stops where another area (or no area) begins.
Rect FloodFill(MaskEdit& edit, Point seed, uint8_t area);

// The rectangle with corners `a` and `b`, both included.
Rect FillRectangle(MaskEdit& edit, Point a, Point b, uint8_t area);

// The polygon through `corners` (closed, even-odd rule, pixels by their centres) with its
// outline: a degenerate polygon still paints its edges.
Rect FillPolygon(MaskEdit& edit, const std::vector<Point>& corners, uint8_t area);

}  // namespace vec::studio

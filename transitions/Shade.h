#pragma once
// Brightness ramps across a band of columns or rows: the cylinder shading of the unroll
// effects. Each adds an offset to the red, green and blue bytes of every pixel in the band
// (clamped to 0..255); the fourth byte is left alone. The offset starts at -depth at the
// band's edge, climbs towards the middle and falls again, so with depth 48 the edges are
// darker by 48 and the middle is nearly unshaded. Bands reaching outside the bitmap are
// clipped; nothing happens for count <= 1 or depth <= 0.

#include <cstdint>

#include "graphics/BottomUpBitmap.h"

namespace vec {

// Columns x0 .. x0 + count - 1; column x0 gets the first offset.
void ShadeColumns(BottomUpBitmap& bmp, int32_t depth, int32_t x0, int32_t count);
// Rows y0 .. y0 + count - 1; the bottom row of the band (y0 + count - 1) gets the first offset.
void ShadeRows(BottomUpBitmap& bmp, int32_t depth, int32_t y0, int32_t count);

// The offsets themselves, index 0 first (exposed for tests).
void ShadeColumnOffsets(int32_t depth, int32_t count, int32_t* out);
void ShadeRowOffsets(int32_t depth, int32_t count, int32_t* out);

// Pixel by pixel, obviously right; the vector paths above are held to these.
namespace reference {
void ShadeColumns(BottomUpBitmap& bmp, int32_t depth, int32_t x0, int32_t count);
void ShadeRows(BottomUpBitmap& bmp, int32_t depth, int32_t y0, int32_t count);
}  // namespace reference

}  // namespace vec

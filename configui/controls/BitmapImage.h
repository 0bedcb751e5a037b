#pragma once
// The controls paint into our own 32-bit bitmaps; Qt sees the same pixels as a QImage.
// A Pixel is 0xAARRGGBB in a uint32, which is Qt's 32-bit ARGB layout. The controls keep
// their bitmaps premultiplied: every pixel is either opaque or fully transparent (0),
// except where text edges are blended in by QPainter.

#include <QImage>

#include "graphics/BlendBitmap.h"

class QPainter;

namespace vec {

// A QImage that reads and writes the bitmap's pixels in place (no copy). It must not
// outlive the bitmap, nor a resize of it.
QImage WrapBitmap(BlendBitmap& bitmap);
QImage WrapBitmap(const BlendBitmap& bitmap);

// Draws the bitmap at (0, 0), blending its transparent parts over what lies below.
void DrawBitmap(QPainter& painter, const BlendBitmap& bitmap);

}  // namespace vec

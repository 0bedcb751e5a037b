#pragma once
// A pen-and-brush painter on a BlendBitmap for the controls whose pixels are fixed: outlined
// and filled rectangles, lines, one-pixel frames, 3-D edges and images. Every write is
// clipped to the bitmap and to an optional clip rectangle.
//
// Pens follow the classic device rules. A pen of width 1 draws a line without its end
// point and outlines a rectangle (l, t, r, b) on the pixels l..r-1, t..b-1. A wider pen
// covers `width` pixels across the line, starting width/2 pixels before it (so a 2-pixel
// outline of (l, t, r, b) covers columns l-1, l and r-2, r-1), and draws a line's end
// point too. Lines are stepped with Bresenham's rule; their width is laid across the minor
// axis (vertically for lines at 45 degrees or flatter). Rectangle outlines have square
// corners.

#include <cstdint>

#include "graphics/BlendBitmap.h"
#include "graphics/Geometry.h"

namespace vec {

class PixelCanvas {
 public:
  explicit PixelCanvas(BlendBitmap& target);

  // Further writes are limited to r (within the bitmap).
  void SetClip(const Rect& r);
  void ResetClip();

  Pixel penColor = MakePixel(0, 0, 0);
  int32_t penWidth = 1;
  Pixel brushColor = MakePixel(255, 255, 255);

  void SetPixel(int32_t x, int32_t y, Pixel color);
  void FillRect(const Rect& r, Pixel color);
  // One-pixel border just inside the half-open rectangle.
  void FrameRect(const Rect& r, Pixel color);
  // The inside filled with the brush, then the outline drawn with the pen.
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  // A 1-pixel 3-D edge of the half-open rectangle: the top row and left column (without
  // their far ends) in topLeft, then the bottom row and right column in bottomRight, which
  // therefore own the bottom-left and top-right corners.
  void Edge(const Rect& r, Pixel topLeft, Pixel bottomRight);

  // The image with its top-left corner at (x, y). With `transparent`, pixels of the colour
  // of the image's bottom-left pixel are left out; pixels with alpha 0 carry no colour and
  // are always left out. What is drawn is opaque.
  void DrawImage(int32_t x, int32_t y, const BlendBitmap& image, bool transparent);

 private:
  void Stamp(int32_t x, int32_t y, bool acrossVertically);

  BlendBitmap& target_;
  Rect clip_;
};

}  // namespace vec

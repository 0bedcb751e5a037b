#include "configui/controls/PixelCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace vec {

namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

}  // namespace

PixelCanvas::PixelCanvas(BlendBitmap& target) : target_(target) {
  ResetClip();
}

void PixelCanvas::SetClip(const Rect& r) {
  clip_ = Intersect(r, Rect{0, 0, target_.Width(), target_.Height()});
}

void PixelCanvas::ResetClip() {
  clip_ = Rect{0, 0, target_.Width(), target_.Height()};
}

void PixelCanvas::SetPixel(int32_t x, int32_t y, Pixel color) {
  if (x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom) return;
  target_.SetPixel(x, y, color);
}

void PixelCanvas::FillRect(const Rect& r, Pixel color) {
  const Rect c = Intersect(r, clip_);
  for (int32_t y = c.top; y < c.bottom; ++y) {
    Pixel* row = target_.ScanLine(y);
    std::fill(row + c.left, row + c.right, color);
  }
}

void PixelCanvas::FrameRect(const Rect& r, Pixel color) {
  if (r.IsEmpty()) return;
  FillRect({r.left, r.top, r.right, r.top + 1}, color);
  FillRect({r.left, r.bottom - 1, r.right, r.bottom}, color);
  FillRect({r.left, r.top, r.left + 1, r.bottom}, color);
  FillRect({r.right - 1, r.top, r.right, r.bottom}, color);
}

void PixelCanvas::Stamp(int32_t x, int32_t y, bool acrossVertically) {
  const int32_t w = std::max(penWidth, 1);
  const int32_t first = -(w / 2);
  for (int32_t i = first; i < first + w; ++i) {
    if (acrossVertically)
      SetPixel(x, y + i, penColor);
    else
      SetPixel(x + i, y, penColor);
  }
}

void PixelCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (right <= left || bottom <= top) return;
  FillRect({left, top, right, bottom}, brushColor);
  // The pen runs along the outermost pixels l, r-1, t, b-1 and covers its width across each,
  // with square corners: a band between an outer and an inner box.
  const int32_t w = std::max(penWidth, 1);
  const int32_t before = w / 2, after = w - before;  // pixels before the line and from it on
  const Rect outer{left - before, top - before, right - 1 + after, bottom - 1 + after};
  const Rect inner{left + after, top + after, right - 1 - before, bottom - 1 - before};
  if (inner.IsEmpty()) {
    FillRect(outer, penColor);
    return;
  }
  FillRect({outer.left, outer.top, outer.right, inner.top}, penColor);
  FillRect({outer.left, inner.bottom, outer.right, outer.bottom}, penColor);
  FillRect({outer.left, inner.top, inner.left, inner.bottom}, penColor);
  FillRect({inner.right, inner.top, outer.right, inner.bottom}, penColor);
}

void PixelCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  const int32_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  const bool xMajor = dx >= dy;
  const int32_t steps = std::max(dx, dy) + (penWidth > 1 ? 1 : 0);
  int32_t x = x1, y = y1;
  int32_t err = (xMajor ? dx : dy) / 2;
  for (int32_t i = 0; i < steps; ++i) {
    Stamp(x, y, xMajor);
    if (xMajor) {
      x += sx;
      err -= dy;
      if (err < 0) {
        y += sy;
        err += dx;
      }
    } else {
      y += sy;
      err -= dx;
      if (err < 0) {
        x += sx;
        err += dy;
      }
    }
  }
}

void PixelCanvas::Edge(const Rect& r, Pixel topLeft, Pixel bottomRight) {
  if (r.IsEmpty()) return;
  FillRect({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  FillRect({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void PixelCanvas::DrawImage(int32_t x, int32_t y, const BlendBitmap& image, bool transparent) {
  if (image.Empty()) return;
  const Pixel key = image.GetPixel(0, image.Height() - 1) & 0x00FFFFFF;
  const Rect area = Intersect(Rect{x, y, x + image.Width(), y + image.Height()}, clip_);
  for (int32_t ty = area.top; ty < area.bottom; ++ty) {
    const Pixel* src = image.ScanLine(ty - y);
    Pixel* dst = target_.ScanLine(ty);
    for (int32_t tx = area.left; tx < area.right; ++tx) {
      const Pixel p = src[tx - x];
      if (PixelA(p) == 0) continue;
      if (transparent && (p & 0x00FFFFFF) == key) continue;
      dst[tx] = p | 0xFF000000;
    }
  }
}

}  // namespace vec

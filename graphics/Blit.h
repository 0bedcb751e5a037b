#pragma once
// The platform's block copies, pixel-exact. Every operation is clipped to the target
// bitmap and to its selected clip region. A copy whose source and target are the same
// bitmap behaves as a copy through a temporary bitmap. On large frames the copies split
// their rows over threads (base/FrameThreads.h) wherever the rows do not depend on each
// other; the pixels are the same.

#include <algorithm>
#include <vector>

#include "graphics/BottomUpBitmap.h"

namespace vec {

// Copy a cx x cy block from src (sx, sy) to dst (dx, dy). Source pixels outside src are not drawn.
void BitBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy,
            const BottomUpBitmap& src, int32_t sx, int32_t sy);

// COLORONCOLOR stretch: whole pixels dropped or repeated (a Bresenham walk per axis).
// A negative dw or dh mirrors: the block is drawn from dx backwards (dx, dx - 1, ...).
// Zero sizes draw nothing.
void StretchBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                const BottomUpBitmap& src, int32_t sx, int32_t sy, int32_t sw, int32_t sh);

// Writes every pixel of dst: inside's where `region` covers it, outside's elsewhere (all of
// outside's for a null region). The pixels of copying outside whole and then inside through
// the region as dst's clip region, in one pass. All three bitmaps must have dst's size (else
// nothing is drawn); dst's own clip region is not consulted.
void ComposeThroughRegion(BottomUpBitmap& dst, const BottomUpBitmap& inside,
                          const BottomUpBitmap& outside, const Region* region);

// Fill with the brush colour (honours the clip region).
void FillRect(BottomUpBitmap& dst, const Rect& rect, Pixel color);

// Canvas conveniences.
void Draw(BottomUpBitmap& dst, int32_t x, int32_t y, const BottomUpBitmap& src);  // 1:1
void StretchDraw(BottomUpBitmap& dst, const Rect& rect, const BottomUpBitmap& src);
void CopyRect(BottomUpBitmap& dst, const Rect& dstRect, const BottomUpBitmap& src,
              const Rect& srcRect);

// The parts of `area` that drawing into dst may touch: clipped to the bitmap and to its
// clip region, as banded rectangles.
std::vector<Rect> VisibleRects(const BottomUpBitmap& dst, const Rect& area);

// The same parts handed to visit(const Rect&) one by one, in band order, without building a
// list: for the copies that run on every frame.
template <class Visit>
void ForEachVisibleRect(const BottomUpBitmap& dst, const Rect& area, Visit&& visit) {
  const Rect r{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, dst.Width()),
               std::min(area.bottom, dst.Height())};
  if (r.IsEmpty()) return;
  if (!dst.ClipRegion()) {
    visit(r);
    return;
  }
  for (const Rect& c : dst.ClipRegion()->Rects()) {
    if (c.top >= r.bottom) break;
    const Rect x{std::max(c.left, r.left), std::max(c.top, r.top), std::min(c.right, r.right),
                 std::min(c.bottom, r.bottom)};
    if (!x.IsEmpty()) visit(x);
  }
}

// Source index (0 .. s - 1) shown by destination step i (0 .. d - 1) of a COLORONCOLOR
// stretch of s source pixels onto d destination pixels. Where several source pixels meet
// in one destination pixel, lastWins picks the last of them (the horizontal rule), else
// the first (the vertical rule).
int64_t StretchSourceIndex(int64_t s, int64_t d, int64_t i, bool lastWins);

// The source index that each of `d` destination pixels shows when a whole line of `s`
// source pixels (both > 0) is stretched onto them as StretchBlt draws it: along a row
// (`horizontal`: the last of several source pixels wins, and a one-pixel-wide shrink takes
// the next-to-last) or down a column (the first wins).
std::vector<int32_t> WholeStretchMap(int32_t s, int32_t d, bool horizontal);

// Reference implementations (pixel by pixel, obviously right); tests hold the fast paths to them.
namespace reference {
void BitBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy,
            const BottomUpBitmap& src, int32_t sx, int32_t sy);
void StretchBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                const BottomUpBitmap& src, int32_t sx, int32_t sy, int32_t sw, int32_t sh);
}  // namespace reference

}  // namespace vec

#include "graphics/Gdi.h"

#include <algorithm>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vec {

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

TRect Intersect(const TRect& a, const TRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// Half-open rectangle from 64-bit edges, saturated to the 32-bit range.
TRect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return {Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)};
}

// A one-pixel-wide unmirrored horizontal shrink takes the next-to-last source column:
// the platform's own special case, which the general walk does not produce.
bool SingleColumnShrink(int64_t s, int32_t dw) {
  return dw == 1 && s >= 2;
}

// Per destination coordinate in [first, first + count): the source coordinate it shows,
// or -1 when that lies outside [0, srcSize).
void BuildAxisMap(std::vector<int32_t>& map, int32_t first, int32_t count, int32_t d0, int32_t dLen,
                  int32_t s0, int32_t sLen, int32_t srcSize, bool lastWins, bool singleColumnRule) {
  const int64_t d = std::abs(static_cast<int64_t>(dLen));
  const int64_t s = std::abs(static_cast<int64_t>(sLen));
  map.assign(static_cast<size_t>(std::max(count, 0)), -1);
  for (int32_t k = 0; k < count; ++k) {
    const int64_t pos = static_cast<int64_t>(first) + k;
    const int64_t i = dLen > 0 ? pos - d0 : d0 - pos;
    if (i < 0 || i >= d) continue;
    int64_t j = StretchSourceIndex(s, d, i, lastWins);
    if (singleColumnRule && SingleColumnShrink(s, dLen)) j = s - 2;
    const int64_t sc = sLen > 0 ? s0 + j : s0 - j;
    if (sc >= 0 && sc < srcSize) map[static_cast<size_t>(k)] = static_cast<int32_t>(sc);
  }
}

// The span [a, b) of destination coordinates covered by a block of extent `len` drawn
// from `start` (backwards when len is negative).
void AxisSpan(int32_t start, int32_t len, int64_t& a, int64_t& b) {
  if (len > 0) {
    a = start;
    b = static_cast<int64_t>(start) + len;
  } else {
    a = static_cast<int64_t>(start) + len + 1;
    b = static_cast<int64_t>(start) + 1;
  }
}

// out[k] = in[map[k]] for k < n. Four pixels are gathered and stored together, which
// keeps the stores wide on the long rows of a full-frame stretch.
void GatherRow(Pixel* out, const Pixel* in, const int32_t* map, int32_t n) {
  int32_t k = 0;
#if defined(__SSE2__)
  for (; k + 4 <= n; k += 4) {
    const __m128i v =
        _mm_setr_epi32(static_cast<int>(in[map[k]]), static_cast<int>(in[map[k + 1]]),
                       static_cast<int>(in[map[k + 2]]), static_cast<int>(in[map[k + 3]]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), v);
  }
#endif
  for (; k < n; ++k) out[k] = in[map[k]];
}

// out[k] = in[n - 1 - k] for k < n: a mirrored 1:1 row.
void ReverseRow(Pixel* out, const Pixel* in, int32_t n) {
  int32_t k = 0;
#if defined(__SSE2__)
  for (; k + 4 <= n; k += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + n - 4 - k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_shuffle_epi32(v, 0x1B));
  }
#endif
  for (; k < n; ++k) out[k] = in[n - 1 - k];
}

}  // namespace

std::vector<TRect> VisibleRects(const TBitmap& dst, const TRect& area) {
  const TRect r = Intersect(area, TRect{0, 0, dst.Width(), dst.Height()});
  if (r.IsEmpty()) return {};
  if (!dst.ClipRegion()) return {r};
  std::vector<TRect> out;
  for (const TRect& c : dst.ClipRegion()->Rects()) {
    if (c.top >= r.bottom) break;
    const TRect x = Intersect(c, r);
    if (!x.IsEmpty()) out.push_back(x);
  }
  return out;
}

// Closed forms of the Bresenham walks (the reference implementation walks step by step;
// tests hold the two together). Enlarging: step i shows floor((2s*i + s - 1) / 2d).
// Shrinking: source j lands on floor((2d*j + d - 1) / 2s), so the last source of step i is
// floor((2s*(i + 1) - d) / 2d) and the first ceil((2s*i - d + 1) / 2d).
int64_t StretchSourceIndex(int64_t s, int64_t d, int64_t i, bool lastWins) {
  if (s <= 0 || d <= 0) return 0;
  if (d >= s) return (2 * s * i + s - 1) / (2 * d);
  if (lastWins) return std::min(s - 1, (2 * s * (i + 1) - d) / (2 * d));
  const int64_t num = 2 * s * i - d + 1;
  return num <= 0 ? 0 : (num + 2 * d - 1) / (2 * d);
}

void BitBlt(TBitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy, const TBitmap& src,
            int32_t sx, int32_t sy) {
  if (cx <= 0 || cy <= 0 || dst.Empty() || src.Empty()) return;
  // The destination block, cut to where the source exists.
  const int64_t ox = static_cast<int64_t>(sx) - dx, oy = static_cast<int64_t>(sy) - dy;
  const TRect block = MakeRect(std::max<int64_t>(dx, -ox), std::max<int64_t>(dy, -oy),
                               std::min<int64_t>(static_cast<int64_t>(dx) + cx, src.Width() - ox),
                               std::min<int64_t>(static_cast<int64_t>(dy) + cy, src.Height() - oy));
  if (block.IsEmpty()) return;
  const std::vector<TRect> rects = VisibleRects(dst, block);
  if (rects.empty()) return;

  // A copy within one bitmap reads the source as it was before the copy.
  const TBitmap* from = &src;
  TBitmap temp;
  int64_t tox = ox, toy = oy;
  if (&dst == &src) {
    TRect need = rects.front();
    for (const TRect& r : rects) {
      need.left = std::min(need.left, r.left);
      need.top = std::min(need.top, r.top);
      need.right = std::max(need.right, r.right);
      need.bottom = std::max(need.bottom, r.bottom);
    }
    temp.SetSize(need.Width(), need.Height());
    for (int32_t y = need.top; y < need.bottom; ++y) {
      std::memcpy(temp.ScanLine(y - need.top),
                  src.ScanLine(static_cast<int32_t>(y + oy)) + need.left + ox,
                  sizeof(Pixel) * static_cast<size_t>(need.Width()));
    }
    from = &temp;
    tox = -need.left;
    toy = -need.top;
  }
  for (const TRect& r : rects) {
    const size_t bytes = sizeof(Pixel) * static_cast<size_t>(r.Width());
    if (r.Width() == dst.Width() && r.Width() == from->Width()) {
      // Whole rows of equal width: the rows of both bitmaps are one gap-free block each
      // (bottom-up, so the block starts at the last row).
      std::memcpy(dst.ScanLine(r.bottom - 1),
                  from->ScanLine(static_cast<int32_t>(r.bottom - 1 + toy)),
                  bytes * static_cast<size_t>(r.Height()));
      continue;
    }
    for (int32_t y = r.top; y < r.bottom; ++y) {
      std::memcpy(dst.ScanLine(y) + r.left,
                  from->ScanLine(static_cast<int32_t>(y + toy)) + r.left + tox, bytes);
    }
  }
}

void StretchBlt(TBitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const TBitmap& src,
                int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || dst.Empty() || src.Empty()) return;
  int64_t x0, x1, y0, y1;
  AxisSpan(dx, dw, x0, x1);
  AxisSpan(dy, dh, y0, y1);
  const std::vector<TRect> rects = VisibleRects(dst, MakeRect(x0, y0, x1, y1));
  if (rects.empty()) return;
  TRect box = rects.front();
  for (const TRect& r : rects) {
    box.left = std::min(box.left, r.left);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }

  std::vector<int32_t> xmap, ymap;
  BuildAxisMap(xmap, box.left, box.Width(), dx, dw, sx, sw, src.Width(), true, true);
  BuildAxisMap(ymap, box.top, box.Height(), dy, dh, sy, sh, src.Height(), false, false);

  const TBitmap* from = &src;
  TBitmap temp;
  if (&dst == &src) {
    temp = src;
    from = &temp;
  }
  for (const TRect& r : rects) {
    const int32_t* xm = xmap.data() + (r.left - box.left);
    const int32_t n = r.Width();
    // Columns whose source exists, and whether they are a plain 1:1 run.
    int32_t first = 0, last = n;
    while (first < n && xm[first] < 0) ++first;
    while (last > first && xm[last - 1] < 0) --last;
    if (first >= last) continue;
    bool identity = true, reversed = true, dense = true;
    for (int32_t k = first + 1; k < last; ++k) {
      identity = identity && xm[k] == xm[first] + (k - first);
      reversed = reversed && xm[k] == xm[first] - (k - first);
      dense = dense && xm[k] >= 0;
    }
    int32_t prevSrcY = -1;
    Pixel* prevDst = nullptr;
    const bool wholeRows =
        identity && first == 0 && last == n && xm[0] == 0 && n == dst.Width() && n == from->Width();
    for (int32_t y = r.top; y < r.bottom; ++y) {
      if (wholeRows) {
        // Runs of consecutive source rows are single blocks in both bitmaps.
        int32_t run = 0;
        const size_t y0 = static_cast<size_t>(y - box.top);
        while (y + run < r.bottom && ymap[y0 + run] >= 0 && ymap[y0 + run] == ymap[y0] + run) {
          ++run;
        }
        if (run > 1) {
          std::memcpy(dst.ScanLine(y + run - 1), from->ScanLine(ymap[y0] + run - 1),
                      sizeof(Pixel) * static_cast<size_t>(n) * static_cast<size_t>(run));
          prevSrcY = ymap[y0] + run - 1;
          prevDst = dst.ScanLine(y + run - 1);
          y += run - 1;
          continue;
        }
      }
      const int32_t syRow = ymap[static_cast<size_t>(y - box.top)];
      if (syRow < 0) {
        prevSrcY = -1;
        continue;
      }
      Pixel* out = dst.ScanLine(y) + r.left;
      if (syRow == prevSrcY && prevDst && dense) {
        // A repeated source row: the previous destination row already holds it.
        std::memcpy(out + first, prevDst + first,
                    sizeof(Pixel) * static_cast<size_t>(last - first));
      } else {
        const Pixel* in = from->ScanLine(syRow);
        if (identity) {
          std::memcpy(out + first, in + xm[first],
                      sizeof(Pixel) * static_cast<size_t>(last - first));
        } else if (reversed) {
          ReverseRow(out + first, in + xm[last - 1], last - first);
        } else if (dense) {
          GatherRow(out + first, in, xm + first, last - first);
        } else {
          for (int32_t k = first; k < last; ++k) {
            if (xm[k] >= 0) out[k] = in[xm[k]];
          }
        }
      }
      prevSrcY = syRow;
      prevDst = out;
    }
  }
}

void FillRect(TBitmap& dst, const TRect& rect, Pixel color) {
  for (const TRect& r : VisibleRects(dst, rect)) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
      Pixel* row = dst.ScanLine(y);
      std::fill(row + r.left, row + r.right, color);
    }
  }
}

void Draw(TBitmap& dst, int32_t x, int32_t y, const TBitmap& src) {
  BitBlt(dst, x, y, src.Width(), src.Height(), src, 0, 0);
}

void StretchDraw(TBitmap& dst, const TRect& rect, const TBitmap& src) {
  StretchBlt(dst, rect.left, rect.top, rect.Width(), rect.Height(), src, 0, 0, src.Width(),
             src.Height());
}

void CopyRect(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect) {
  StretchBlt(dst, dstRect.left, dstRect.top, dstRect.Width(), dstRect.Height(), src, srcRect.left,
             srcRect.top, srcRect.Width(), srcRect.Height());
}

namespace reference {

namespace {

bool Visible(const TBitmap& dst, int64_t x, int64_t y) {
  if (x < 0 || y < 0 || x >= dst.Width() || y >= dst.Height()) return false;
  return !dst.ClipRegion() ||
         dst.ClipRegion()->Contains(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

// The Bresenham walk of one axis, step by step: the source index for every destination
// step, with the given rule where several source pixels meet in one destination pixel.
std::vector<int64_t> WalkAxis(int64_t s, int64_t d, bool lastWins) {
  std::vector<int64_t> map(static_cast<size_t>(d), -1);
  if (d >= s) {
    int64_t err = 3 * s - 2 * d, src = 0;
    for (int64_t i = 0; i < d; ++i) {
      map[static_cast<size_t>(i)] = src;
      if (err > 0) {
        ++src;
        err += 2 * s - 2 * d;
      } else {
        err += 2 * s;
      }
    }
  } else {
    int64_t err = 3 * d - 2 * s, dst = 0;
    for (int64_t j = 0; j < s; ++j) {
      if (dst < d && (lastWins || map[static_cast<size_t>(dst)] < 0)) {
        map[static_cast<size_t>(dst)] = j;
      }
      if (err > 0) {
        ++dst;
        err += 2 * d - 2 * s;
      } else {
        err += 2 * d;
      }
    }
  }
  return map;
}

}  // namespace

void BitBlt(TBitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy, const TBitmap& src,
            int32_t sx, int32_t sy) {
  if (cx <= 0 || cy <= 0) return;
  const TBitmap source = src;  // read the source as it was before any write
  for (int64_t j = 0; j < cy; ++j) {
    for (int64_t i = 0; i < cx; ++i) {
      const int64_t tx = dx + i, ty = dy + j, fx = sx + i, fy = sy + j;
      if (fx < 0 || fy < 0 || fx >= source.Width() || fy >= source.Height()) continue;
      if (!Visible(dst, tx, ty)) continue;
      dst.SetPixel(static_cast<int32_t>(tx), static_cast<int32_t>(ty),
                   source.GetPixel(static_cast<int32_t>(fx), static_cast<int32_t>(fy)));
    }
  }
}

void StretchBlt(TBitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const TBitmap& src,
                int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  const TBitmap source = src;
  const int64_t adw = std::abs(static_cast<int64_t>(dw)), adh = std::abs(static_cast<int64_t>(dh));
  const int64_t asw = std::abs(static_cast<int64_t>(sw)), ash = std::abs(static_cast<int64_t>(sh));
  std::vector<int64_t> xs = WalkAxis(asw, adw, true);
  const std::vector<int64_t> ys = WalkAxis(ash, adh, false);
  if (dw == 1 && asw >= 2) xs[0] = asw - 2;
  for (int64_t j = 0; j < adh; ++j) {
    const int64_t ty = dh > 0 ? dy + j : dy - j;
    const int64_t fy = sh > 0 ? sy + ys[static_cast<size_t>(j)] : sy - ys[static_cast<size_t>(j)];
    if (fy < 0 || fy >= source.Height()) continue;
    for (int64_t i = 0; i < adw; ++i) {
      const int64_t tx = dw > 0 ? dx + i : dx - i;
      const int64_t fx = sw > 0 ? sx + xs[static_cast<size_t>(i)] : sx - xs[static_cast<size_t>(i)];
      if (fx < 0 || fx >= source.Width()) continue;
      if (!Visible(dst, tx, ty)) continue;
      dst.SetPixel(static_cast<int32_t>(tx), static_cast<int32_t>(ty),
                   source.GetPixel(static_cast<int32_t>(fx), static_cast<int32_t>(fy)));
    }
  }
}

}  // namespace reference

}  // namespace vec

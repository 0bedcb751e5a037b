#include "graphics/Blit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <span>

#include "base/FrameThreads.h"
#include "graphics/BlitKernels.h"

namespace vec {

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// Half-open rectangle from 64-bit edges, saturated to the 32-bit range.
Rect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
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

// BitBlt between two bitmaps of the destination block `area` (already cut to dst and to
// where the source exists), source pixel (x + ox, y + oy) to (x, y), through dst's clip region.
// The copy goes band by band (the rectangles of one band share top and bottom), and within
// a band row by row, every span of the row in turn: each row of both bitmaps is passed over
// once however many rectangles the band holds, instead of once per rectangle. The last band
// comes first and each band runs bottom-up: rows are stored bottom-up, so this is the order
// of rising addresses, the direction the processor fetches ahead. The region's rectangles
// are clipped on the way, so no list of them is built.
void CopyRowsThroughClip(const BlitKernels& k, BottomUpBitmap& dst, const BottomUpBitmap& src,
                         const Rect& area, int64_t ox, int64_t oy) {
  const std::span<const Rect> clip = dst.ClipRegion()
                                         ? std::span<const Rect>(dst.ClipRegion()->Rects())
                                         : std::span<const Rect>(&area, 1);
  std::vector<Rect> spans;
  size_t hi = clip.size();
  while (hi > 0) {
    const int32_t bandTop = clip[hi - 1].top, bandBottom = clip[hi - 1].bottom;
    size_t lo = hi - 1;
    while (lo > 0 && clip[lo - 1].top == bandTop && clip[lo - 1].bottom == bandBottom) --lo;
    const int32_t top = std::max(bandTop, area.top), bottom = std::min(bandBottom, area.bottom);
    if (top < bottom) {
      spans.clear();
      for (size_t j = lo; j < hi; ++j) {
        const int32_t left = std::max(clip[j].left, area.left);
        const int32_t right = std::min(clip[j].right, area.right);
        if (left < right) spans.push_back({left, top, right, bottom});
      }
      if (spans.size() == 1 && spans[0].Width() == dst.Width() && spans[0].Width() == src.Width()) {
        // Whole rows of equal width: the rows of both bitmaps are one gap-free block each
        // (bottom-up, so the block starts at the last row).
        std::memcpy(
            dst.ScanLine(bottom - 1), src.ScanLine(static_cast<int32_t>(bottom - 1 + oy)),
            sizeof(Pixel) * static_cast<size_t>(dst.Width()) * static_cast<size_t>(bottom - top));
      } else if (!spans.empty()) {
        for (int32_t y = bottom - 1; y >= top; --y) {
          Pixel* out = dst.ScanLine(y);
          const Pixel* in = src.ScanLine(static_cast<int32_t>(y + oy));
          for (const Rect& r : spans) k.copyRow(out + r.left, in + (r.left + ox), r.Width());
        }
      }
    }
    hi = lo;
  }
}

// The pixels of a frame, the size SplitRows compares with the large-frame threshold.
int64_t FramePixels(const BottomUpBitmap& bmp) {
  return static_cast<int64_t>(bmp.Width()) * bmp.Height();
}

// CopyRowsThroughClip over the rows of `block` inside dst, split over threads for a large
// frame: the parts write disjoint rows of dst and read only src.
void CopyThroughClip(BottomUpBitmap& dst, const BottomUpBitmap& src, const Rect& block, int64_t ox,
                     int64_t oy) {
  const Rect area = Intersect(block, Rect{0, 0, dst.Width(), dst.Height()});
  if (area.IsEmpty()) return;
  const BlitKernels& k = CurrentBlitKernels();
  SplitRows(area.Height(), FramePixels(dst), [&](int32_t begin, int32_t end) {
    CopyRowsThroughClip(k, dst, src, Rect{area.left, area.top + begin, area.right, area.top + end},
                        ox, oy);
  });
}

// copyRow for rows that may overlap: a target above the source in memory goes through
// `buffer`, so that both walks still run upwards.
void MoveRow(const BlitKernels& k, Pixel* out, const Pixel* in, int32_t n,
             std::vector<Pixel>& buffer) {
  if (out > in && out < in + n) {
    buffer.resize(std::max(buffer.size(), static_cast<size_t>(n)));
    k.copyRow(buffer.data(), in, n);
    in = buffer.data();
  }
  k.copyRow(out, in, n);
}

// A self-copy can skip the temporary bitmap when some order of the destination rows never
// reads a row that an earlier step wrote: walking bottom-up (the bitmap's memory order, the
// faster walk) every source row must lie at or above its destination row, walking top-down
// at or below. A row read by its own destination row is handled inside the row.
enum class RowWalk { BottomUp, TopDown, None };

RowWalk SafeRowWalk(const std::vector<int32_t>& ymap, int32_t top, int32_t bottom) {
  bool up = true, down = true;
  for (int32_t y = top; y < bottom; ++y) {
    const int32_t s = ymap[static_cast<size_t>(y - top)];
    if (s < 0) continue;
    up = up && (s <= y || s >= bottom);
    down = down && (s >= y || s < top);
  }
  return up ? RowWalk::BottomUp : down ? RowWalk::TopDown : RowWalk::None;
}

// A walk in two parts for a stretch that reads rows from both sides of itself, as a zoom
// into the middle does: the rows [top, m) top-down first, each reading a row below it, then
// the rows [m, bottom) bottom-up, each reading a row at or above it and not above m. Returns
// m, or nullopt when no such split exists (then the stretch needs a copy of its source).
std::optional<int32_t> SplitRowWalk(const std::vector<int32_t>& ymap, int32_t top, int32_t bottom) {
  const auto source = [&](int32_t y) { return ymap[static_cast<size_t>(y - top)]; };
  const auto inside = [&](int32_t s) { return s >= top && s < bottom; };
  int32_t m = top;
  while (m < bottom && !(inside(source(m)) && source(m) <= m)) ++m;
  if (m == top || m == bottom) return std::nullopt;  // one walk would do, or none
  for (int32_t y = m; y < bottom; ++y) {
    const int32_t s = source(y);
    if (inside(s) && (s > y || s < m)) return std::nullopt;
  }
  return m;
}

// The smallest rectangle around a band-sorted list of rectangles (the first one is topmost).
Rect BoundingBox(const std::vector<Rect>& rects) {
  Rect box = rects.front();
  for (const Rect& r : rects) {
    box.left = std::min(box.left, r.left);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  return box;
}

// Where a stretch reads from and in which order it writes the destination rows.
struct StretchSource {
  const BottomUpBitmap* bitmap = nullptr;
  RowWalk walk = RowWalk::BottomUp;
  bool inPlace = false;  // the source is the destination itself
  // For a walk in two parts: the first row of the bottom-up part (the rows above it go
  // top-down first).
  std::optional<int32_t> split;
};

// A stretch within one bitmap reads the source as it was before the stretch. One visible
// rectangle is walked in an order that never reads an overwritten row; a row that reads
// itself goes through a row buffer. Anything else goes through a temporary copy in `temp`.
StretchSource ChooseStretchSource(const BottomUpBitmap& dst, const BottomUpBitmap& src,
                                  size_t rectCount, const std::vector<int32_t>& ymap,
                                  const Rect& box, BottomUpBitmap& temp) {
  StretchSource source{&src, RowWalk::BottomUp, false, std::nullopt};
  if (&dst != &src) return source;
  source.walk = rectCount == 1 ? SafeRowWalk(ymap, box.top, box.bottom) : RowWalk::None;
  if (source.walk == RowWalk::None && rectCount == 1) {
    source.split = SplitRowWalk(ymap, box.top, box.bottom);
    if (source.split) {
      source.inPlace = true;
      return source;
    }
  }
  if (source.walk == RowWalk::None) {
    temp = src;
    source.bitmap = &temp;
    source.walk = RowWalk::BottomUp;
    return source;
  }
  source.inPlace = true;
  return source;
}

// What the column map of one visible rectangle looks like: which columns have a source,
// whether they form a plain 1:1 or mirrored run, and for an in-place stretch whether a row
// may read itself without a buffer.
struct ColumnShape {
  int32_t first = 0, last = 0;  // the columns [first, last) from the first to the last source
  bool identity = true, reversed = true, dense = true;
  int32_t lo = 0, hi = 0;  // smallest and largest source column
  bool descending = false;
  bool readsAhead = false, readsBehind = false;

  int32_t Span() const { return last - first; }
  bool Empty() const { return first >= last; }
};

ColumnShape ClassifyColumns(const int32_t* xm, int32_t n, int32_t left, bool inPlace) {
  ColumnShape c;
  c.last = n;
  while (c.first < n && xm[c.first] < 0) ++c.first;
  while (c.last > c.first && xm[c.last - 1] < 0) --c.last;
  if (c.Empty()) return c;
  c.lo = c.hi = xm[c.first];
  for (int32_t k = c.first + 1; k < c.last; ++k) {
    c.identity = c.identity && xm[k] == xm[c.first] + (k - c.first);
    c.reversed = c.reversed && xm[k] == xm[c.first] - (k - c.first);
    c.dense = c.dense && xm[k] >= 0;
    if (xm[k] >= 0) {
      c.lo = std::min(c.lo, xm[k]);
      c.hi = std::max(c.hi, xm[k]);
    }
  }
  const int32_t span = c.Span();
  const int32_t* xs = xm + c.first;
  // A row read backwards is first copied forwards into a buffer: the processor fetches
  // ahead only for rising addresses.
  c.descending = xs[0] > xs[span - 1];
  // A row that reads itself needs no buffer when a walk across it never reads a pixel it
  // has written (the groups load their sources before they store): with sources that never
  // fall back, each at or right of its own destination, walking from the left; each at or
  // left of it, walking from the right.
  bool monotone = inPlace && c.dense && !c.reversed && !c.descending;
  for (int32_t k = 1; monotone && k < span; ++k) monotone = xs[k] >= xs[k - 1];
  c.readsAhead = c.readsBehind = monotone;
  for (int32_t k = 0; monotone && k < span; ++k) {
    c.readsAhead = c.readsAhead && xs[k] >= left + c.first + k;
    c.readsBehind = c.readsBehind && xs[k] <= left + c.first + k;
  }
  return c;
}

// How the rows of one rectangle are drawn from their source rows.
enum class RowKernel { Copy, Permute, Reverse, Gather, Sparse };

RowKernel ChooseRowKernel(const ColumnShape& c, bool canPermute) {
  if (c.identity) return RowKernel::Copy;
  if (canPermute && c.dense) return RowKernel::Permute;
  if (c.reversed) return RowKernel::Reverse;
  return c.dense ? RowKernel::Gather : RowKernel::Sparse;
}

// The row kernels of a stretch, and the gather plan it reuses from rectangle to rectangle
// (each run of rows keeps its own row buffer, so runs on other threads share nothing they
// write).
struct StretchScratch {
  const BlitKernels* kernels = nullptr;
  GatherPlan plan;
};

// One rectangle's rows and columns: the destination rectangle, its slice of the column
// map, the row map of the whole box and the box's top.
struct StretchRect {
  Rect area;
  const int32_t* xm = nullptr;
  const std::vector<int32_t>* ymap = nullptr;
  int32_t boxTop = 0;

  int32_t SourceRow(int32_t y) const { return (*ymap)[static_cast<size_t>(y - boxTop)]; }
};

// The source of the row two rows further on in the walk, for the permute to fetch ahead;
// nullptr when there is none worth fetching. Rows that are not whole source rows (a block
// of a wider bitmap) gain the most: the processor's own fetching ahead stops at each gap.
const Pixel* RowAhead(const StretchRect& s, const StretchSource& source, const ColumnShape& c,
                      int32_t y, int32_t i, int32_t syRow) {
  if (i + 2 >= s.area.Height()) return nullptr;
  const int32_t ny = source.walk == RowWalk::BottomUp ? y - 2 : y + 2;
  const int32_t nextSrc = s.SourceRow(ny);
  if (nextSrc < 0 || nextSrc == syRow) return nullptr;
  return source.bitmap->ScanLine(nextSrc) + c.lo;
}

// How the permuted rows of one rectangle are stored. A large stretch into another bitmap
// writes far more than the caches hold, and ordinary stores first read every line they
// fill: a third stream of memory traffic beside reading the source and writing the
// result. Streaming stores write whole lines without reading them. They need 32-byte
// aligned groups, so the first `head` pixels of each row are stored one by one up to the
// boundary; it lies at the same place in every row when a row is a whole number of
// 32-byte blocks. A streamed row is not read back (a repeated source row is permuted
// again rather than copied from the row before).
struct StretchStores {
  bool stream = false;
  int32_t head = 0;
};

// Rectangles that write less than this stay in the cache for whatever reads them next.
constexpr int64_t kStreamBytes = int64_t{2} << 20;

StretchStores ChooseStores(const BottomUpBitmap& dst, const Rect& r, const ColumnShape& c,
                           RowKernel kernel, const StretchSource& source) {
  // Only shrinking rows: an enlarged, 1:1 or mirrored row measured slower streamed, as it
  // can no longer copy a repeated row from the cached row before.
  if (kernel != RowKernel::Permute || source.inPlace || c.hi - c.lo + 1 <= c.Span()) return {};
  const int64_t bytes = int64_t{c.Span()} * r.Height() * int64_t{sizeof(Pixel)};
  if (bytes < kStreamBytes || (int64_t{dst.Width()} * int64_t{sizeof(Pixel)}) % 32 != 0) return {};
  const auto address = reinterpret_cast<uintptr_t>(dst.ScanLine(r.top) + r.left + c.first);
  const auto head = static_cast<int32_t>((32 - address % 32) % 32 / sizeof(Pixel));
  if (address % sizeof(Pixel) != 0 || head >= c.Span()) return {};
  return {true, head};
}

// Destination row y (the i-th of the walk) of one rectangle from source row syRow. `out`
// points at the rectangle's left edge.
void DrawStretchRow(Pixel* out, const StretchRect& s, const StretchSource& source,
                    const ColumnShape& c, RowKernel kernel, const StretchStores& stores, int32_t y,
                    int32_t i, int32_t syRow, const StretchScratch& scratch,
                    std::vector<Pixel>& rowBuffer) {
  const BlitKernels& kernels = *scratch.kernels;
  const int32_t span = c.Span();
  const int32_t* xs = s.xm + c.first;
  const Pixel* in = source.bitmap->ScanLine(syRow);
  if (kernel == RowKernel::Copy) {
    MoveRow(kernels, out + c.first, in + xs[0], span, rowBuffer);
    return;
  }
  const bool readsItself = source.inPlace && syRow == y;
  if (readsItself && !c.readsAhead && !c.readsBehind) {
    rowBuffer.resize(std::max(rowBuffer.size(), static_cast<size_t>(source.bitmap->Width())));
    kernels.copyRow(rowBuffer.data() + c.lo, in + c.lo, c.hi - c.lo + 1);
    in = rowBuffer.data();
  }
  const bool backward = c.readsBehind && readsItself;
  switch (kernel) {
    case RowKernel::Permute:
      if (stores.stream) {
        const int32_t h = stores.head;
        for (int32_t j = 0; j < h; ++j) out[c.first + j] = in[xs[j]];
        kernels.permuteRowStreamed(out + c.first + h, in, xs + h, span - h, scratch.plan,
                                   RowAhead(s, source, c, y, i, syRow), c.hi - c.lo + 1, false);
      } else {
        kernels.permuteRow(out + c.first, in, xs, span, scratch.plan,
                           RowAhead(s, source, c, y, i, syRow), c.hi - c.lo + 1, backward);
      }
      return;
    case RowKernel::Reverse:
      kernels.reverseRow(out + c.first, in + xs[span - 1], span);
      return;
    case RowKernel::Gather:
      kernels.gatherRow(out + c.first, in, xs, span, backward);
      return;
    case RowKernel::Sparse:
      for (int32_t k = c.first; k < c.last; ++k) {
        if (s.xm[k] >= 0) out[k] = in[s.xm[k]];
      }
      return;
    case RowKernel::Copy:
      return;
  }
}

void DrawStretchRect(BottomUpBitmap& dst, const StretchRect& s, const StretchSource& source,
                     StretchScratch& scratch) {
  const Rect& r = s.area;
  const ColumnShape c = ClassifyColumns(s.xm, r.Width(), r.left, source.inPlace);
  if (c.Empty()) return;
  const RowKernel kernel = ChooseRowKernel(c, scratch.kernels->permuteRow != nullptr);
  const StretchStores stores = ChooseStores(dst, r, c, kernel, source);
  if (kernel == RowKernel::Permute)
    PlanGather(scratch.plan, s.xm + c.first + stores.head, c.Span() - stores.head,
               source.bitmap->Width());
  // Steps [begin, end) of the walk down (or up) the rectangle's rows.
  const auto drawRows = [&](int32_t begin, int32_t end) {
    std::vector<Pixel> rowBuffer;
    int32_t prevSrcY = -1;
    const Pixel* prevDst = nullptr;
    for (int32_t i = begin; i < end; ++i) {
      const int32_t y = source.walk == RowWalk::BottomUp ? r.bottom - 1 - i : r.top + i;
      const int32_t syRow = s.SourceRow(y);
      if (syRow < 0) {
        prevSrcY = -1;
        continue;
      }
      Pixel* out = dst.ScanLine(y) + r.left;
      if (syRow == prevSrcY && prevDst && c.dense && !stores.stream) {
        // A repeated source row: the previous destination row already holds it.
        scratch.kernels->copyRow(out + c.first, prevDst + c.first, c.Span());
      } else {
        DrawStretchRow(out, s, source, c, kernel, stores, y, i, syRow, scratch, rowBuffer);
      }
      prevSrcY = syRow;
      prevDst = out;
    }
  };
  // Reading another bitmap (or the temporary copy), the rows are independent and may be
  // split over threads; a stretch in place depends on the order of its walk.
  if (source.inPlace)
    drawRows(0, r.Height());
  else
    SplitRows(r.Height(), FramePixels(dst), drawRows);
}

}  // namespace

std::vector<Rect> VisibleRects(const BottomUpBitmap& dst, const Rect& area) {
  std::vector<Rect> out;
  ForEachVisibleRect(dst, area, [&out](const Rect& r) { out.push_back(r); });
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

std::vector<int32_t> WholeStretchMap(int32_t s, int32_t d, bool horizontal) {
  std::vector<int32_t> map;
  BuildAxisMap(map, 0, d, 0, d, 0, s, s, horizontal, horizontal);
  return map;
}

void BitBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy,
            const BottomUpBitmap& src, int32_t sx, int32_t sy) {
  if (cx <= 0 || cy <= 0 || dst.Empty() || src.Empty()) return;
  // The destination block, cut to where the source exists.
  const int64_t ox = static_cast<int64_t>(sx) - dx, oy = static_cast<int64_t>(sy) - dy;
  const Rect block = MakeRect(std::max<int64_t>(dx, -ox), std::max<int64_t>(dy, -oy),
                              std::min<int64_t>(static_cast<int64_t>(dx) + cx, src.Width() - ox),
                              std::min<int64_t>(static_cast<int64_t>(dy) + cy, src.Height() - oy));
  if (block.IsEmpty()) return;
  if (&dst != &src) {
    CopyThroughClip(dst, src, block, ox, oy);
    return;
  }
  const std::vector<Rect> rects = VisibleRects(dst, block);
  if (rects.empty()) return;

  // A copy within one bitmap reads the source as it was before the copy. Rows are written
  // in the order that reaches every source row before it is overwritten: top-down when the
  // source lies below, bottom-up otherwise; within a row, MoveRow takes care of the overlap
  // and the rectangles of a band go against the shift.
  const Rect& only = rects.front();
  if (rects.size() == 1 && only.Width() == dst.Width()) {
    std::memmove(
        dst.ScanLine(only.bottom - 1), dst.ScanLine(static_cast<int32_t>(only.bottom - 1 + oy)),
        sizeof(Pixel) * static_cast<size_t>(only.Width()) * static_cast<size_t>(only.Height()));
    return;
  }
  std::vector<size_t> bandStart;
  for (size_t i = 0; i < rects.size(); ++i) {
    if (i == 0 || rects[i].top != rects[i - 1].top) bandStart.push_back(i);
  }
  bandStart.push_back(rects.size());
  const size_t bands = bandStart.size() - 1;
  const bool topDown = oy > 0;
  const BlitKernels& k = CurrentBlitKernels();
  // The rows in [first, last) of every band.
  const auto moveRows = [&](int32_t first, int32_t last) {
    std::vector<Pixel> buffer;
    for (size_t b = 0; b < bands; ++b) {
      const size_t band = topDown ? b : bands - 1 - b;
      const size_t lo = bandStart[band], hi = bandStart[band + 1];
      const int32_t top = std::max(rects[lo].top, first);
      const int32_t bottom = std::min(rects[lo].bottom, last);
      for (int32_t i = 0; i < bottom - top; ++i) {
        const int32_t y = topDown ? top + i : bottom - 1 - i;
        Pixel* row = dst.ScanLine(y);
        const Pixel* from = dst.ScanLine(static_cast<int32_t>(y + oy));
        for (size_t j = 0; j < hi - lo; ++j) {
          const Rect& r = rects[ox > 0 ? lo + j : hi - 1 - j];
          MoveRow(k, row + r.left, from + r.left + ox, r.Width(), buffer);
        }
      }
    }
  };
  const int32_t top = rects.front().top, bottom = rects.back().bottom;
  if (oy != 0) {
    moveRows(top, bottom);
    return;
  }
  // A sideways shift: every row reads only itself, so the rows may be split over threads.
  SplitRows(bottom - top, FramePixels(dst),
            [&](int32_t begin, int32_t end) { moveRows(top + begin, top + end); });
}

void StretchBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                const BottomUpBitmap& src, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || dst.Empty() || src.Empty()) return;
  int64_t x0, x1, y0, y1;
  AxisSpan(dx, dw, x0, x1);
  AxisSpan(dy, dh, y0, y1);
  const std::vector<Rect> rects = VisibleRects(dst, MakeRect(x0, y0, x1, y1));
  if (rects.empty()) return;
  const Rect box = BoundingBox(rects);

  std::vector<int32_t> xmap, ymap;
  BuildAxisMap(xmap, box.left, box.Width(), dx, dw, sx, sw, src.Width(), true, true);
  BuildAxisMap(ymap, box.top, box.Height(), dy, dh, sy, sh, src.Height(), false, false);

  BottomUpBitmap temp;
  const StretchSource source = ChooseStretchSource(dst, src, rects.size(), ymap, box, temp);
  StretchScratch scratch;
  scratch.kernels = &CurrentBlitKernels();
  if (source.split) {
    // One rectangle, in two parts: the upper one walked down, then the lower one up.
    const Rect& r = rects.front();
    StretchSource down = source, up = source;
    down.walk = RowWalk::TopDown;
    up.walk = RowWalk::BottomUp;
    const int32_t* xm = xmap.data() + (r.left - box.left);
    DrawStretchRect(dst, StretchRect{{r.left, r.top, r.right, *source.split}, xm, &ymap, box.top},
                    down, scratch);
    DrawStretchRect(dst,
                    StretchRect{{r.left, *source.split, r.right, r.bottom}, xm, &ymap, box.top}, up,
                    scratch);
    return;
  }
  for (const Rect& r : rects)
    DrawStretchRect(dst, StretchRect{r, xmap.data() + (r.left - box.left), &ymap, box.top}, source,
                    scratch);
}

void ComposeThroughRegion(BottomUpBitmap& dst, const BottomUpBitmap& inside,
                          const BottomUpBitmap& outside, const Region* region) {
  const int32_t W = dst.Width(), H = dst.Height();
  if (W <= 0 || H <= 0 || inside.Width() != W || inside.Height() != H || outside.Width() != W ||
      outside.Height() != H)
    return;
  // The region's rectangles come in bands of equal top and bottom, bands top to bottom and
  // each band's rectangles left to right, apart from each other.
  const std::span<const Rect> rects =
      region != nullptr ? std::span<const Rect>(region->Rects()) : std::span<const Rect>();
  const BlitKernels& kernels = CurrentBlitKernels();
  SplitRows(H, FramePixels(dst), [&](int32_t begin, int32_t end) {
    // Bottom-up (rising addresses), as the other copies walk.
    for (int32_t y = end - 1; y >= begin; --y) {
      Pixel* out = dst.ScanLine(y);
      const Pixel* in = inside.ScanLine(y);
      const Pixel* old = outside.ScanLine(y);
      // The first rectangle of the band that holds row y, if any.
      size_t k =
          static_cast<size_t>(std::partition_point(rects.begin(), rects.end(),
                                                   [y](const Rect& r) { return r.bottom <= y; }) -
                              rects.begin());
      int32_t x = 0;
      for (; k < rects.size() && rects[k].top <= y && rects[k].bottom > y; ++k) {
        const int32_t left = std::clamp(rects[k].left, x, W);
        const int32_t right = std::clamp(rects[k].right, left, W);
        kernels.copyRow(out + x, old + x, left - x);
        kernels.copyRow(out + left, in + left, right - left);
        x = right;
      }
      kernels.copyRow(out + x, old + x, W - x);
    }
  });
}

void FillRect(BottomUpBitmap& dst, const Rect& rect, Pixel color) {
  ForEachVisibleRect(dst, rect, [&dst, color](const Rect& r) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
      Pixel* row = dst.ScanLine(y);
      std::fill(row + r.left, row + r.right, color);
    }
  });
}

void Draw(BottomUpBitmap& dst, int32_t x, int32_t y, const BottomUpBitmap& src) {
  BitBlt(dst, x, y, src.Width(), src.Height(), src, 0, 0);
}

void StretchDraw(BottomUpBitmap& dst, const Rect& rect, const BottomUpBitmap& src) {
  StretchBlt(dst, rect.left, rect.top, rect.Width(), rect.Height(), src, 0, 0, src.Width(),
             src.Height());
}

void CopyRect(BottomUpBitmap& dst, const Rect& dstRect, const BottomUpBitmap& src,
              const Rect& srcRect) {
  StretchBlt(dst, dstRect.left, dstRect.top, dstRect.Width(), dstRect.Height(), src, srcRect.left,
             srcRect.top, srcRect.Width(), srcRect.Height());
}

namespace reference {

namespace {

bool Visible(const BottomUpBitmap& dst, int64_t x, int64_t y) {
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

void BitBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy,
            const BottomUpBitmap& src, int32_t sx, int32_t sy) {
  if (cx <= 0 || cy <= 0) return;
  const BottomUpBitmap source = src;  // read the source as it was before any write
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

void StretchBlt(BottomUpBitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                const BottomUpBitmap& src, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  const BottomUpBitmap source = src;
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

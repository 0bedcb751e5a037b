#include "graphics/Blit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <span>

#include "base/FrameThreads.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

// out[k] = in[k] for k < n, walking upwards. The library's memcpy is slow on rows of a
// few kilobytes whose target is not in cache (it measures at twice a plain vector loop);
// the loop also makes an overlapping copy to a lower address safe.
void CopyRow(Pixel* out, const Pixel* in, int32_t n) {
  int32_t k = 0;
#if defined(__SSE2__)
  for (; k + 16 <= n; k += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + 4));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + 8));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 4), b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 8), c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 12), d);
  }
  for (; k + 4 <= n; k += 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k)));
  }
#endif
  for (; k < n; ++k) out[k] = in[k];
}

// BitBlt between two bitmaps of the destination block `area` (already cut to dst and to
// where the source exists), source pixel (x + ox, y + oy) to (x, y), through dst's clip region.
// The copy goes band by band (the rectangles of one band share top and bottom), and within
// a band row by row, every span of the row in turn: each row of both bitmaps is passed over
// once however many rectangles the band holds, instead of once per rectangle. The last band
// comes first and each band runs bottom-up: rows are stored bottom-up, so this is the order
// of rising addresses, the direction the processor fetches ahead. The region's rectangles
// are clipped on the way, so no list of them is built.
void CopyRowsThroughClip(Bitmap& dst, const Bitmap& src, const Rect& area, int64_t ox, int64_t oy) {
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
          for (const Rect& r : spans) CopyRow(out + r.left, in + (r.left + ox), r.Width());
        }
      }
    }
    hi = lo;
  }
}

// The pixels of a frame, the size SplitRows compares with the large-frame threshold.
int64_t FramePixels(const Bitmap& bmp) {
  return static_cast<int64_t>(bmp.Width()) * bmp.Height();
}

// CopyRowsThroughClip over the rows of `block` inside dst, split over threads for a large
// frame: the parts write disjoint rows of dst and read only src.
void CopyThroughClip(Bitmap& dst, const Bitmap& src, const Rect& block, int64_t ox, int64_t oy) {
  const Rect area = Intersect(block, Rect{0, 0, dst.Width(), dst.Height()});
  if (area.IsEmpty()) return;
  SplitRows(area.Height(), FramePixels(dst), [&](int32_t begin, int32_t end) {
    CopyRowsThroughClip(dst, src, Rect{area.left, area.top + begin, area.right, area.top + end}, ox,
                        oy);
  });
}

// CopyRow for rows that may overlap: a target above the source in memory goes through
// `buffer`, so that both walks still run upwards.
void MoveRow(Pixel* out, const Pixel* in, int32_t n, std::vector<Pixel>& buffer) {
  if (out > in && out < in + n) {
    buffer.resize(std::max(buffer.size(), static_cast<size_t>(n)));
    CopyRow(buffer.data(), in, n);
    in = buffer.data();
  }
  CopyRow(out, in, n);
}

// out[k] = in[map[k]] for k < n. Four pixels are gathered and stored together, which
// keeps the stores wide on the long rows of a full-frame stretch. `backward` walks from the
// right end (for a row that reads itself behind its destination).
void GatherRow(Pixel* out, const Pixel* in, const int32_t* map, int32_t n, bool backward) {
  int32_t groups = 0;
#if defined(__SSE2__)
  groups = n / 4;
#endif
  if (backward) {
    for (int32_t k = n - 1; k >= groups * 4; --k) out[k] = in[map[k]];
  }
#if defined(__SSE2__)
  for (int32_t i = 0; i < groups; ++i) {
    const int32_t k = 4 * (backward ? groups - 1 - i : i);
    const __m128i v =
        _mm_setr_epi32(static_cast<int>(in[map[k]]), static_cast<int>(in[map[k + 1]]),
                       static_cast<int>(in[map[k + 2]]), static_cast<int>(in[map[k + 3]]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), v);
  }
#endif
  if (!backward) {
    for (int32_t k = groups * 4; k < n; ++k) out[k] = in[map[k]];
  }
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

bool& WideVectorsAllowed() {
  static bool allowed = true;
  return allowed;
}

bool UseAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool supported = __builtin_cpu_supports("avx2");
  return supported && WideVectorsAllowed();
#else
  return false;
#endif
}

// A row gather cut into groups of eight destination pixels, none of them using a gather
// instruction (slow on many processors). Where a group's sources lie within eight
// consecutive source pixels (every enlarging or 1:1 stretch, mirrored or not), the group is
// one load and one permute; within sixteen (shrinks to more than half the width), two loads,
// two permutes and a blend. base is the first of the loaded source pixels, wide says whether
// there are sixteen, and offsets[8 * g + i] is the loaded pixel each destination pixel
// takes. Other groups (stronger shrinks) have base -1 and load their pixels one by one.
// narrowOnly says that every group is one load and one permute.
struct GatherPlan {
  std::vector<int32_t> base;
  std::vector<uint8_t> wide;
  std::vector<int32_t> offsets;
  bool narrowOnly = true;
};

void PlanGather(GatherPlan& plan, const int32_t* map, int32_t n, int32_t srcWidth) {
  const int32_t groups = n / 8;
  plan.base.assign(static_cast<size_t>(groups), -1);
  plan.wide.assign(static_cast<size_t>(groups), 0);
  plan.offsets.assign(static_cast<size_t>(groups) * 8, 0);
  plan.narrowOnly = true;
  for (int32_t g = 0; g < groups; ++g) {
    const int32_t* m = map + 8 * g;
    const int32_t lo = *std::min_element(m, m + 8), hi = *std::max_element(m, m + 8);
    if (lo < 0) continue;
    for (const int32_t window : {8, 16}) {
      // The window starts at the group's first source, moved left where it would run past
      // the end of the source row.
      const int32_t start = std::min(lo, srcWidth - window);
      if (start < 0 || hi >= start + window) continue;
      plan.base[static_cast<size_t>(g)] = start;
      plan.wide[static_cast<size_t>(g)] = window == 16;
      for (int32_t i = 0; i < 8; ++i) plan.offsets[static_cast<size_t>(8 * g + i)] = m[i] - start;
      break;
    }
    plan.narrowOnly = plan.narrowOnly && plan.base[static_cast<size_t>(g)] >= 0 &&
                      !plan.wide[static_cast<size_t>(g)];
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Stores one group of eight pixels; kStream bypasses the cache, for which `out` must be
// 32-byte aligned.
template <bool kStream>
__attribute__((target("avx2"))) inline void StoreGroup(Pixel* out, __m256i v) {
  if constexpr (kStream)
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out), v);
  else
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), v);
}

// `ahead`, when given, is the next row's source of `aheadCount` pixels: it is fetched into
// cache while this row is written, so that reading and writing overlap. `backward` walks
// from the right end (for a row that reads itself behind its destination). With kStream
// the groups go past the cache (see StretchStores); `out` is then 32-byte aligned and the
// row does not read itself.
template <bool kStream>
__attribute__((target("avx2"))) void PermuteRowAvx2(Pixel* out, const Pixel* in, const int32_t* map,
                                                    int32_t n, const GatherPlan& plan,
                                                    const Pixel* ahead, int32_t aheadCount,
                                                    bool backward) {
  const int32_t groups = n / 8;
  const int32_t lines = ahead ? (aheadCount + 15) / 16 : 0;
  const __m256i seven = _mm256_set1_epi32(7);
  int32_t due = 0, line = 0;
  if (backward) {
    for (int32_t k = n - 1; k >= groups * 8; --k) out[k] = in[map[k]];
  }
  if (plan.narrowOnly && !backward) {
    // Enlarging, 1:1 and mirrored rows: a loop without the other kinds of group.
    for (int32_t g = 0; g < groups; ++g) {
      for (due += lines; due >= groups && line < lines; due -= groups, ++line) {
        _mm_prefetch(reinterpret_cast<const char*>(ahead + 16 * line), _MM_HINT_T0);
      }
      const __m256i v = _mm256_loadu_si256(
          reinterpret_cast<const __m256i*>(in + plan.base[static_cast<size_t>(g)]));
      const __m256i lanes = _mm256_loadu_si256(
          reinterpret_cast<const __m256i*>(plan.offsets.data() + static_cast<size_t>(8 * g)));
      StoreGroup<kStream>(out + 8 * g, _mm256_permutevar8x32_epi32(v, lanes));
    }
    for (int32_t k = groups * 8; k < n; ++k) out[k] = in[map[k]];
    if constexpr (kStream) _mm_sfence();
    return;
  }
  for (int32_t i = 0; i < groups; ++i) {
    const int32_t g = backward ? groups - 1 - i : i;
    for (due += lines; due >= groups && line < lines; due -= groups, ++line) {
      _mm_prefetch(reinterpret_cast<const char*>(ahead + 16 * line), _MM_HINT_T0);
    }
    const int32_t base = plan.base[static_cast<size_t>(g)];
    Pixel* o = out + 8 * g;
    if (base < 0) {
      const int32_t* m = map + 8 * g;
      const __m128i l = _mm_setr_epi32(static_cast<int>(in[m[0]]), static_cast<int>(in[m[1]]),
                                       static_cast<int>(in[m[2]]), static_cast<int>(in[m[3]]));
      const __m128i h = _mm_setr_epi32(static_cast<int>(in[m[4]]), static_cast<int>(in[m[5]]),
                                       static_cast<int>(in[m[6]]), static_cast<int>(in[m[7]]));
      StoreGroup<kStream>(o, _mm256_inserti128_si256(_mm256_castsi128_si256(l), h, 1));
      continue;
    }
    const __m256i lanes = _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(plan.offsets.data() + static_cast<size_t>(8 * g)));
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + base));
    __m256i r = _mm256_permutevar8x32_epi32(v, lanes);
    if (plan.wide[static_cast<size_t>(g)]) {
      // The permute reads only the low three bits of each lane: lanes 8 .. 15 pick from the
      // second load and the blend takes them from there.
      const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + base + 8));
      r = _mm256_blendv_epi8(r, _mm256_permutevar8x32_epi32(w, lanes),
                             _mm256_cmpgt_epi32(lanes, seven));
    }
    StoreGroup<kStream>(o, r);
  }
  if (!backward) {
    for (int32_t k = groups * 8; k < n; ++k) out[k] = in[map[k]];
  }
  if constexpr (kStream) _mm_sfence();
}
#endif

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
  const Bitmap* bitmap = nullptr;
  RowWalk walk = RowWalk::BottomUp;
  bool inPlace = false;  // the source is the destination itself
  // For a walk in two parts: the first row of the bottom-up part (the rows above it go
  // top-down first).
  std::optional<int32_t> split;
};

// A stretch within one bitmap reads the source as it was before the stretch. One visible
// rectangle is walked in an order that never reads an overwritten row; a row that reads
// itself goes through a row buffer. Anything else goes through a temporary copy in `temp`.
StretchSource ChooseStretchSource(const Bitmap& dst, const Bitmap& src, size_t rectCount,
                                  const std::vector<int32_t>& ymap, const Rect& box, Bitmap& temp) {
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

RowKernel ChooseRowKernel(const ColumnShape& c, bool avx2) {
  if (c.identity) return RowKernel::Copy;
  if (avx2 && c.dense) return RowKernel::Permute;
  if (c.reversed) return RowKernel::Reverse;
  return c.dense ? RowKernel::Gather : RowKernel::Sparse;
}

// The gather plan a stretch reuses from rectangle to rectangle (each run of rows keeps its
// own row buffer, so runs on other threads share nothing they write).
struct StretchScratch {
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

StretchStores ChooseStores(const Bitmap& dst, const Rect& r, const ColumnShape& c, RowKernel kernel,
                           const StretchSource& source) {
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
                    int32_t i, int32_t syRow, const GatherPlan& plan,
                    std::vector<Pixel>& rowBuffer) {
  const int32_t span = c.Span();
  const int32_t* xs = s.xm + c.first;
  const Pixel* in = source.bitmap->ScanLine(syRow);
  if (kernel == RowKernel::Copy) {
    MoveRow(out + c.first, in + xs[0], span, rowBuffer);
    return;
  }
  const bool readsItself = source.inPlace && syRow == y;
  if (readsItself && !c.readsAhead && !c.readsBehind) {
    rowBuffer.resize(std::max(rowBuffer.size(), static_cast<size_t>(source.bitmap->Width())));
    CopyRow(rowBuffer.data() + c.lo, in + c.lo, c.hi - c.lo + 1);
    in = rowBuffer.data();
  }
  const bool backward = c.readsBehind && readsItself;
  switch (kernel) {
    case RowKernel::Permute:
#if defined(__x86_64__) || defined(__i386__)
      if (stores.stream) {
        const int32_t h = stores.head;
        for (int32_t k = 0; k < h; ++k) out[c.first + k] = in[xs[k]];
        PermuteRowAvx2<true>(out + c.first + h, in, xs + h, span - h, plan,
                             RowAhead(s, source, c, y, i, syRow), c.hi - c.lo + 1, false);
      } else {
        PermuteRowAvx2<false>(out + c.first, in, xs, span, plan,
                              RowAhead(s, source, c, y, i, syRow), c.hi - c.lo + 1, backward);
      }
#endif
      return;
    case RowKernel::Reverse:
      ReverseRow(out + c.first, in + xs[span - 1], span);
      return;
    case RowKernel::Gather:
      GatherRow(out + c.first, in, xs, span, backward);
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

void DrawStretchRect(Bitmap& dst, const StretchRect& s, const StretchSource& source,
                     StretchScratch& scratch) {
  const Rect& r = s.area;
  const ColumnShape c = ClassifyColumns(s.xm, r.Width(), r.left, source.inPlace);
  if (c.Empty()) return;
  const RowKernel kernel = ChooseRowKernel(c, UseAvx2());
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
        CopyRow(out + c.first, prevDst + c.first, c.Span());
      } else {
        DrawStretchRow(out, s, source, c, kernel, stores, y, i, syRow, scratch.plan, rowBuffer);
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

void AllowWideVectors(bool allowed) {
  WideVectorsAllowed() = allowed;
}

std::vector<Rect> VisibleRects(const Bitmap& dst, const Rect& area) {
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

void BitBlt(Bitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy, const Bitmap& src,
            int32_t sx, int32_t sy) {
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
          MoveRow(row + r.left, from + r.left + ox, r.Width(), buffer);
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

void StretchBlt(Bitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const Bitmap& src,
                int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
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

  Bitmap temp;
  const StretchSource source = ChooseStretchSource(dst, src, rects.size(), ymap, box, temp);
  StretchScratch scratch;
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

void ComposeThroughRegion(Bitmap& dst, const Bitmap& inside, const Bitmap& outside,
                          const Region* region) {
  const int32_t W = dst.Width(), H = dst.Height();
  if (W <= 0 || H <= 0 || inside.Width() != W || inside.Height() != H || outside.Width() != W ||
      outside.Height() != H)
    return;
  // The region's rectangles come in bands of equal top and bottom, bands top to bottom and
  // each band's rectangles left to right, apart from each other.
  const std::span<const Rect> rects =
      region != nullptr ? std::span<const Rect>(region->Rects()) : std::span<const Rect>();
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
        CopyRow(out + x, old + x, left - x);
        CopyRow(out + left, in + left, right - left);
        x = right;
      }
      CopyRow(out + x, old + x, W - x);
    }
  });
}

void FillRect(Bitmap& dst, const Rect& rect, Pixel color) {
  ForEachVisibleRect(dst, rect, [&dst, color](const Rect& r) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
      Pixel* row = dst.ScanLine(y);
      std::fill(row + r.left, row + r.right, color);
    }
  });
}

void Draw(Bitmap& dst, int32_t x, int32_t y, const Bitmap& src) {
  BitBlt(dst, x, y, src.Width(), src.Height(), src, 0, 0);
}

void StretchDraw(Bitmap& dst, const Rect& rect, const Bitmap& src) {
  StretchBlt(dst, rect.left, rect.top, rect.Width(), rect.Height(), src, 0, 0, src.Width(),
             src.Height());
}

void CopyRect(Bitmap& dst, const Rect& dstRect, const Bitmap& src, const Rect& srcRect) {
  StretchBlt(dst, dstRect.left, dstRect.top, dstRect.Width(), dstRect.Height(), src, srcRect.left,
             srcRect.top, srcRect.Width(), srcRect.Height());
}

namespace reference {

namespace {

bool Visible(const Bitmap& dst, int64_t x, int64_t y) {
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

void BitBlt(Bitmap& dst, int32_t dx, int32_t dy, int32_t cx, int32_t cy, const Bitmap& src,
            int32_t sx, int32_t sy) {
  if (cx <= 0 || cy <= 0) return;
  const Bitmap source = src;  // read the source as it was before any write
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

void StretchBlt(Bitmap& dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const Bitmap& src,
                int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  const Bitmap source = src;
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

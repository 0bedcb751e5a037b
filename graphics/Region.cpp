#include "graphics/Region.h"

#include <pixman.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vec {

namespace {

// Shapes are rasterised row by row. Coordinates beyond this limit are clamped first so
// that a wild polygon or ellipse cannot make the rasteriser loop or allocate without
// bound; every screen the program draws on lies far inside it.
constexpr int32_t kShapeLimit = 1 << 18;

int32_t ClampShape(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -kShapeLimit, kShapeLimit));
}

int32_t ClampInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Owns one pixman region for the span of an operation.
class PixRegion {
 public:
  PixRegion() { pixman_region32_init(&r_); }
  explicit PixRegion(const std::vector<Rect>& rects) {
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(rects.size());
    for (const Rect& t : rects) {
      if (!t.IsEmpty()) boxes.push_back({t.left, t.top, t.right, t.bottom});
    }
    if (boxes.empty() ||
        !pixman_region32_init_rects(&r_, boxes.data(), static_cast<int>(boxes.size()))) {
      pixman_region32_init(&r_);
    }
  }
  ~PixRegion() { pixman_region32_fini(&r_); }
  PixRegion(const PixRegion&) = delete;
  PixRegion& operator=(const PixRegion&) = delete;

  pixman_region32_t* get() { return &r_; }

  std::vector<Rect> ToRects() {
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&r_, &n);
    std::vector<Rect> out;
    out.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      out.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    }
    return out;
  }

 private:
  pixman_region32_t r_;
};

// Canonical banded form of any rectangle list.
std::vector<Rect> Normalise(const std::vector<Rect>& rects) {
  PixRegion r(rects);
  return r.ToRects();
}

// Collects the spans of consecutive pixel rows and turns runs of identical rows into
// single rectangles.
class SpanCollector {
 public:
  // Spans of one row: sorted, disjoint, half-open [left, right).
  void AddRow(int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans) {
    AddRows(y, y + 1, spans);
  }
  // Rows [y, until) that all have `spans`.
  void AddRows(int32_t y, int32_t until, std::vector<std::pair<int32_t, int32_t>>& spans) {
    // Merge spans that touch so that identical rows compare equal.
    std::vector<std::pair<int32_t, int32_t>> merged;
    for (const auto& s : spans) {
      if (s.first >= s.second) continue;
      if (!merged.empty() && s.first <= merged.back().second) {
        merged.back().second = std::max(merged.back().second, s.second);
      } else {
        merged.push_back(s);
      }
    }
    if (merged == prev_ && y == prevBottom_) {
      prevBottom_ = until;
      return;
    }
    Flush();
    prev_ = std::move(merged);
    prevTop_ = y;
    prevBottom_ = until;
  }

  std::vector<Rect> Finish() {
    Flush();
    return std::move(rects_);
  }

 private:
  void Flush() {
    for (const auto& s : prev_) rects_.push_back({s.first, prevTop_, s.second, prevBottom_});
    prev_.clear();
  }

  std::vector<std::pair<int32_t, int32_t>> prev_;
  int32_t prevTop_ = 0, prevBottom_ = 0;
  std::vector<Rect> rects_;
};

// ceil(num / den) for den > 0, exact.
int64_t CeilDiv(__int128 num, __int128 den) {
  __int128 q = num / den;
  if (num % den != 0 && num > 0) ++q;
  return static_cast<int64_t>(q);
}

}  // namespace

Region Region::FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Region r;
  if (right > left && bottom > top) r.rects_.push_back({left, top, right, bottom});
  return r;
}

namespace {

// The union of rectangles by a sweep down the rows: at every row where a rectangle starts
// or ends, the spans of the rectangles covering it are sorted and merged, and runs of
// identical rows become one band; the result is the same banded form as Normalise. The
// work grows with the rows between events times the rectangles covering them, so it is
// used for lists of short rectangles: there it is bounded by the sum of their heights.
// `rects` ordered by top: counted into one bucket per row where the tops lie close together
// (shapes placed on a screen), else sorted.
void OrderByTop(std::vector<Rect>& rects) {
  if (rects.empty()) return;
  const auto [low, high] = std::minmax_element(
      rects.begin(), rects.end(), [](const Rect& a, const Rect& b) { return a.top < b.top; });
  const int64_t first = low->top, range = static_cast<int64_t>(high->top) - first + 1;
  if (range > 4 * static_cast<int64_t>(rects.size()) + 1024) {
    std::sort(rects.begin(), rects.end(),
              [](const Rect& a, const Rect& b) { return a.top < b.top; });
    return;
  }
  std::vector<uint32_t> start(static_cast<size_t>(range) + 1, 0);
  for (const Rect& r : rects) ++start[static_cast<size_t>(r.top - first) + 1];
  for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
  std::vector<Rect> ordered(rects.size());
  for (const Rect& r : rects) ordered[start[static_cast<size_t>(r.top - first)]++] = r;
  rects = std::move(ordered);
}

std::vector<Rect> SweepUnion(std::vector<Rect> rects) {
  OrderByTop(rects);
  std::vector<Rect> active;
  std::vector<std::pair<int32_t, int32_t>> spans;
  SpanCollector collector;
  size_t next = 0;
  int32_t y = rects.empty() ? 0 : rects.front().top;
  while (next < rects.size() || !active.empty()) {
    if (active.empty()) y = std::max(y, rects[next].top);
    while (next < rects.size() && rects[next].top <= y) active.push_back(rects[next++]);
    // The rows up to the next event share one set of spans.
    int32_t until = next < rects.size() ? rects[next].top : std::numeric_limits<int32_t>::max();
    for (const Rect& r : active) until = std::min(until, r.bottom);
    spans.clear();
    for (const Rect& r : active) spans.emplace_back(r.left, r.right);
    std::sort(spans.begin(), spans.end());
    collector.AddRows(y, until, spans);
    y = until;
    std::erase_if(active, [y](const Rect& r) { return r.bottom <= y; });
  }
  return collector.Finish();
}

// Whether SweepUnion's work stays near the list's length. Its work is the sum, over the
// rows where a rectangle starts or ends, of the rectangles covering that row. Rectangles a
// few rows tall on average (the outlines of shapes, placed many times) keep it small and
// are taken at once. Else it is counted per rectangle as the number of such rows it spans:
// rows of small squares overlapping by half span a few each, strips side by side that
// start and end on rows of their own span hundreds and are left to the general path.
bool SweepIsCheap(std::span<const Rect> rects) {
  int64_t rows = 0;
  for (const Rect& r : rects) rows += static_cast<int64_t>(r.bottom) - r.top;
  if (rows <= 8 * static_cast<int64_t>(rects.size())) return true;
  // The start and end rows, marked in a table over the rows the list covers and counted
  // up to each row (where the rows lie close together, as on a screen), else sorted.
  const auto [low, high] = std::minmax_element(
      rects.begin(), rects.end(), [](const Rect& x, const Rect& y) { return x.top < y.top; });
  const int64_t first = low->top;
  int64_t last = high->top;
  for (const Rect& r : rects) last = std::max<int64_t>(last, r.bottom);
  const int64_t limit = 16 * static_cast<int64_t>(rects.size());
  int64_t work = 0;
  if (last - first <= 4 * static_cast<int64_t>(rects.size()) + 1024) {
    std::vector<uint32_t> before(static_cast<size_t>(last - first) + 2, 0);
    for (const Rect& r : rects) {
      before[static_cast<size_t>(r.top - first) + 1] = 1;
      before[static_cast<size_t>(r.bottom - first) + 1] = 1;
    }
    for (size_t i = 1; i < before.size(); ++i) before[i] += before[i - 1];
    for (const Rect& r : rects) {
      work += before[static_cast<size_t>(r.bottom - first)] -
              before[static_cast<size_t>(r.top - first)];
      if (work > limit) return false;
    }
    return true;
  }
  std::vector<int32_t> events;
  events.reserve(2 * rects.size());
  for (const Rect& r : rects) {
    events.push_back(r.top);
    events.push_back(r.bottom);
  }
  std::sort(events.begin(), events.end());
  events.erase(std::unique(events.begin(), events.end()), events.end());
  const auto at = [&](int32_t y) { return std::lower_bound(events.begin(), events.end(), y); };
  for (const Rect& r : rects) {
    work += at(r.bottom) - at(r.top);
    if (work > limit) return false;
  }
  return true;
}

}  // namespace

Region Region::FromRects(std::span<const Rect> rects) {
  Region r;
  std::vector<Rect> nonEmpty;
  nonEmpty.reserve(rects.size());
  for (const Rect& t : rects)
    if (!t.IsEmpty()) nonEmpty.push_back(t);
  r.rects_ = SweepIsCheap(nonEmpty) ? SweepUnion(std::move(nonEmpty)) : Normalise(nonEmpty);
  return r;
}

namespace reference {
Region FromRects(std::span<const Rect> rects) {
  Region out;
  for (const Rect& r : rects)
    out.Combine(Region::FromRect(r.left, r.top, r.right, r.bottom), RegionOp::Or);
  return out;
}
}  // namespace reference

// A rounded rectangle as the platform rasterises it. The box is put in order and its
// right and bottom edges move in by one pixel. The corners are the quadrants of an
// ellipse cw x ch pixels in size, drawn with the integer midpoint algorithm for an
// ellipse inscribed in a rectangle (Zingl's plotEllipseRect); each row of the region
// runs from the left outline pixel of that row to the right one, inclusive.
Region Region::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ew,
                         int32_t eh) {
  int32_t l = ClampShape(left), t = ClampShape(top), r = ClampShape(right), b = ClampShape(bottom);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  --r;
  --b;
  if (r <= l || b <= t) return Region();

  const int64_t cw = std::min<int64_t>(r - l, std::llabs(static_cast<int64_t>(ew)));
  const int64_t ch = std::min<int64_t>(b - t, std::llabs(static_cast<int64_t>(eh)));
  if (cw < 2 || ch < 2) return FromRect(l, t, r, b);

  // Leftmost outline pixel of each row of the corner ellipse, relative to its left edge.
  std::vector<int64_t> rowLeft(static_cast<size_t>(ch), std::numeric_limits<int64_t>::max());
  auto plot = [&](int64_t x, int64_t y) {
    if (y >= 0 && y < ch && x < rowLeft[static_cast<size_t>(y)])
      rowLeft[static_cast<size_t>(y)] = x;
  };
  {
    int64_t x0 = 0, x1 = cw - 1;
    int64_t a = x1 - x0, bd = ch - 1, b1 = bd & 1;
    int64_t dx = 4 * (1 - a) * bd * bd, dy = 4 * (b1 + 1) * a * a;
    int64_t err = dx + dy + b1 * a * a, e2;
    int64_t y0 = (bd + 1) / 2, y1 = y0 - b1;
    const int64_t aa = 8 * a * a, bb = 8 * bd * bd;
    do {
      plot(x1, y0);
      plot(x0, y0);
      plot(x0, y1);
      plot(x1, y1);
      e2 = 2 * err;
      if (e2 <= dy) {
        ++y0;
        --y1;
        dy += aa;
        err += dy;
      }
      if (e2 >= dx || 2 * err > dy) {
        ++x0;
        --x1;
        dx += bb;
        err += dx;
      }
    } while (x0 <= x1);
    while (y0 - y1 <= bd) {  // flat ellipses stop early: finish the tips
      plot(x0 - 1, y0);
      plot(x1 + 1, y0++);
      plot(x0 - 1, y1);
      plot(x1 + 1, y1--);
    }
  }

  // The upper half of the ellipse (rows 0 .. (ch - 1) / 2) hangs from the top edge, the
  // lower half (rows ch / 2 .. ch - 1) stands on the bottom edge; between them the box
  // is full width.
  const int64_t upperLast = (ch - 1) / 2;
  const int64_t lowerFirst = ch / 2;
  std::vector<Rect> rects;
  auto span = [&](int64_t row, int64_t y) {
    int64_t inset = rowLeft[static_cast<size_t>(row)];
    if (inset == std::numeric_limits<int64_t>::max()) inset = 0;
    const int64_t x0 = l + inset, x1 = r - inset;
    if (x1 > x0) {
      rects.push_back({static_cast<int32_t>(x0), static_cast<int32_t>(y), static_cast<int32_t>(x1),
                       static_cast<int32_t>(y + 1)});
    }
  };
  for (int64_t row = 0; row <= upperLast; ++row) span(row, t + row);
  const int64_t middleTop = t + upperLast + 1, middleBottom = b - ch + lowerFirst;
  if (middleBottom > middleTop) {
    rects.push_back({l, static_cast<int32_t>(middleTop), r, static_cast<int32_t>(middleBottom)});
  }
  for (int64_t row = lowerFirst; row < ch; ++row) {
    const int64_t y = b - ch + row;
    if (y > t + upperLast) span(row, y);
  }
  Region out;
  out.rects_ = Normalise(rects);
  return out;
}

Region Region::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int32_t ew = ClampInt32(static_cast<int64_t>(right) - left);
  const int32_t eh = ClampInt32(static_cast<int64_t>(bottom) - top);
  return RoundRect(left, top, right, bottom, ew, eh);
}

// Polygon rasterisation: on each pixel row y every non-horizontal edge with
// min(y1, y2) <= y < max(y1, y2) is cut at its exact (rational) x, and a span covers the
// pixels ceil(x_in) <= x < ceil(x_out). A pixel is inside when its top-left corner is.
Region Region::Polygon(std::span<const Point> points, FillMode mode) {
  struct Edge {
    int64_t x1, y1, x2, y2;
    int dir;
  };
  std::vector<Edge> edges;
  const size_t n = points.size();
  if (n < 3) return Region();
  int64_t minY = std::numeric_limits<int64_t>::max(), maxY = std::numeric_limits<int64_t>::min();
  for (size_t i = 0; i < n; ++i) {
    const Point& a = points[i];
    const Point& b = points[(i + 1) % n];
    const int64_t ax = ClampShape(a.x), ay = ClampShape(a.y);
    const int64_t bx = ClampShape(b.x), by = ClampShape(b.y);
    if (ay == by) continue;
    if (ay < by) {
      edges.push_back({ax, ay, bx, by, 1});
    } else {
      edges.push_back({bx, by, ax, ay, -1});
    }
    minY = std::min({minY, ay, by});
    maxY = std::max({maxY, ay, by});
  }
  if (edges.empty()) return Region();

  SpanCollector collector;
  std::vector<std::pair<int64_t, int>> cuts;
  std::vector<std::pair<int32_t, int32_t>> spans;
  for (int64_t y = minY; y < maxY; ++y) {
    cuts.clear();
    for (const Edge& e : edges) {
      if (y < e.y1 || y >= e.y2) continue;
      const __int128 num = static_cast<__int128>(y - e.y1) * (e.x2 - e.x1);
      const __int128 den = e.y2 - e.y1;
      cuts.emplace_back(e.x1 + CeilDiv(num, den), e.dir);
    }
    std::sort(cuts.begin(), cuts.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    spans.clear();
    if (mode == FillMode::Alternate) {
      for (size_t i = 0; i + 1 < cuts.size(); i += 2) {
        spans.emplace_back(static_cast<int32_t>(cuts[i].first),
                           static_cast<int32_t>(cuts[i + 1].first));
      }
    } else {
      int winding = 0;
      int64_t start = 0;
      for (const auto& [x, dir] : cuts) {
        const int before = winding;
        winding += dir;
        if (before == 0 && winding != 0) start = x;
        if (before != 0 && winding == 0) {
          spans.emplace_back(static_cast<int32_t>(start), static_cast<int32_t>(x));
        }
      }
    }
    collector.AddRow(static_cast<int32_t>(y), spans);
  }
  Region out;
  out.rects_ = Normalise(collector.Finish());
  return out;
}

void Region::Combine(const Region& other, RegionOp op) {
  if (op == RegionOp::Copy) {
    rects_ = other.rects_;
    return;
  }
  PixRegion a(rects_), b(other.rects_), result;
  switch (op) {
    case RegionOp::And:
      pixman_region32_intersect(result.get(), a.get(), b.get());
      break;
    case RegionOp::Or:
      pixman_region32_union(result.get(), a.get(), b.get());
      break;
    case RegionOp::Diff:
      pixman_region32_subtract(result.get(), a.get(), b.get());
      break;
    case RegionOp::Xor: {
      PixRegion ab, ba;
      pixman_region32_subtract(ab.get(), a.get(), b.get());
      pixman_region32_subtract(ba.get(), b.get(), a.get());
      pixman_region32_union(result.get(), ab.get(), ba.get());
      break;
    }
    case RegionOp::Copy:
      break;
  }
  rects_ = result.ToRects();
}

void Region::Offset(int32_t dx, int32_t dy) {
  for (Rect& r : rects_) {
    r.left = ClampInt32(static_cast<int64_t>(r.left) + dx);
    r.right = ClampInt32(static_cast<int64_t>(r.right) + dx);
    r.top = ClampInt32(static_cast<int64_t>(r.top) + dy);
    r.bottom = ClampInt32(static_cast<int64_t>(r.bottom) + dy);
  }
  // Saturation at the edges of the coordinate range can flatten rectangles.
  if (std::any_of(rects_.begin(), rects_.end(), [](const Rect& r) { return r.IsEmpty(); })) {
    rects_ = Normalise(rects_);
  }
}

Rect Region::Bounds() const {
  if (rects_.empty()) return Rect{};
  Rect b = rects_.front();
  for (const Rect& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

int64_t Region::PixelsWithin(const Rect& bounds) const {
  int64_t pixels = 0;
  for (const Rect& r : rects_) {
    const int64_t w = int64_t{std::min(r.right, bounds.right)} - std::max(r.left, bounds.left);
    const int64_t h = int64_t{std::min(r.bottom, bounds.bottom)} - std::max(r.top, bounds.top);
    if (w > 0 && h > 0) pixels += w * h;
  }
  return pixels;
}

bool Region::Contains(int32_t x, int32_t y) const {
  // Bands are sorted by top; skip those that end above y.
  auto it = std::partition_point(rects_.begin(), rects_.end(),
                                 [y](const Rect& r) { return r.bottom <= y; });
  for (; it != rects_.end() && it->top <= y; ++it) {
    if (y < it->bottom && x >= it->left && x < it->right) return true;
  }
  return false;
}

}  // namespace vec

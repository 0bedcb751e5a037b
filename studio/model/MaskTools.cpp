#include "studio/model/MaskTools.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace vec::studio {
namespace {

// Centres within this much beyond an edge still count as on it, so that a pixel exactly
// size / 2 from the stroke is painted whatever the rounding of the square roots.
constexpr double kEdgeSlack = 1e-9;

struct Span {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  bool Empty() const { return lo > hi; }
  void Unite(double a, double b) {
    lo = std::min(lo, a);
    hi = std::max(hi, b);
  }
};

// The x range on row y of the disc of radius r around c.
void DiscSpan(Point c, double r, int32_t y, Span& span) {
  const double dy = y - c.y;
  const double h = r * r - dy * dy;
  if (h < -kEdgeSlack) return;
  const double half = std::sqrt(std::max(h, 0.0));
  span.Unite(c.x - half, c.x + half);
}

// Narrows [lo, hi] to the u with low <= a * u + b <= high.
void Constrain(double a, double b, double low, double high, double& lo, double& hi) {
  if (a == 0) {
    if (b < low - kEdgeSlack || b > high + kEdgeSlack) lo = 1, hi = 0;
    return;
  }
  double u1 = (low - b) / a, u2 = (high - b) / a;
  if (u1 > u2) std::swap(u1, u2);
  lo = std::max(lo, u1);
  hi = std::min(hi, u2);
}

// The x range on row y of the band between the two discs: points whose projection falls on
// the segment and whose distance from its line is at most r.
void BandSpan(Point a, Point b, double r, int32_t y, Span& span) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  if (len2 == 0) return;
  const double v = y - a.y;
  double lo = -std::numeric_limits<double>::infinity();
  double hi = std::numeric_limits<double>::infinity();
  // 0 <= (u, v) . d <= |d|^2
  Constrain(dx, v * dy, 0, len2, lo, hi);
  // |d x (u, v)| <= r |d|, where d x (u, v) = dx * v - dy * u
  const double reach = r * std::sqrt(len2);
  Constrain(-dy, dx * v, -reach, reach, lo, hi);
  if (lo <= hi) span.Unite(a.x + lo, a.x + hi);
}

// Paints columns [x0, x1] of row y (clipped), keeping them first.
void PaintRow(MaskEdit& edit, int32_t y, int64_t x0, int64_t x1, uint8_t area, Rect& painted) {
  AreaMask& mask = edit.Mask();
  if (y < 0 || y >= mask.Height()) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, mask.Width() - 1);
  if (x0 > x1) return;
  const Rect r{static_cast<int32_t>(x0), y, static_cast<int32_t>(x1) + 1, y + 1};
  edit.Keep(r);
  std::memset(mask.Row(y) + x0, area, static_cast<size_t>(x1 - x0 + 1));
  painted = Unite(painted, r);
}

uint8_t ValidArea(uint8_t area) {
  return area <= AreaMask::kLastArea ? area : 0;
}

}  // namespace

Rect PaintSegment(MaskEdit& edit, Point from, Point to, int32_t size, uint8_t area) {
  area = ValidArea(area);
  const double r = std::clamp(size, kMinBrushSize, kMaxBrushSize) / 2.0;
  const int32_t reach = static_cast<int32_t>(std::ceil(r));
  const int32_t top = std::max(std::min(from.y, to.y) - reach, 0);
  const int32_t bottom = std::min(std::max(from.y, to.y) + reach, edit.Mask().Height() - 1);
  Rect painted;
  for (int32_t y = top; y <= bottom; ++y) {
    Span span;
    DiscSpan(from, r, y, span);
    DiscSpan(to, r, y, span);
    BandSpan(from, to, r, y, span);
    if (span.Empty()) continue;
    PaintRow(edit, y, static_cast<int64_t>(std::ceil(span.lo - kEdgeSlack)),
             static_cast<int64_t>(std::floor(span.hi + kEdgeSlack)), area, painted);
  }
  return painted;
}

Rect FloodFill(MaskEdit& edit, Point seed, uint8_t area) {
  area = ValidArea(area);
  AreaMask& mask = edit.Mask();
  if (seed.x < 0 || seed.y < 0 || seed.x >= mask.Width() || seed.y >= mask.Height()) return {};
  const uint8_t target = mask.At(seed.x, seed.y);
  if (target == area) return {};
  // Scan-line fill: each entry is a row and a column known to hold the target; its whole
  // run is painted and the runs above and below it are queued, one entry per run.
  Rect painted;
  std::vector<Point> pending{seed};
  while (!pending.empty()) {
    const Point p = pending.back();
    pending.pop_back();
    const uint8_t* row = mask.Row(p.y);
    if (row[p.x] != target) continue;
    int32_t left = p.x, right = p.x;
    while (left > 0 && row[left - 1] == target) --left;
    while (right + 1 < mask.Width() && row[right + 1] == target) ++right;
    PaintRow(edit, p.y, left, right, area, painted);
    for (const int32_t y : {p.y - 1, p.y + 1}) {
      if (y < 0 || y >= mask.Height()) continue;
      const uint8_t* next = mask.Row(y);
      for (int32_t x = left; x <= right; ++x) {
        if (next[x] != target) continue;
        pending.push_back({x, y});
        while (x <= right && next[x] == target) ++x;
      }
    }
  }
  return painted;
}

Rect FillRectangle(MaskEdit& edit, Point a, Point b, uint8_t area) {
  area = ValidArea(area);
  Rect painted;
  for (int32_t y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
    PaintRow(edit, y, std::min(a.x, b.x), std::max(a.x, b.x), area, painted);
  return painted;
}

Rect FillPolygon(MaskEdit& edit, const std::vector<Point>& corners, uint8_t area) {
  area = ValidArea(area);
  Rect painted;
  if (corners.empty()) return painted;
  int32_t top = corners[0].y, bottom = corners[0].y;
  for (const Point& c : corners) top = std::min(top, c.y), bottom = std::max(bottom, c.y);
  top = std::max(top, 0);
  bottom = std::min(bottom, edit.Mask().Height() - 1);
  std::vector<double> crossings;
  for (int32_t y = top; y <= bottom; ++y) {
    crossings.clear();
    for (size_t i = 0; i < corners.size(); ++i) {
      const Point& p = corners[i];
      const Point& q = corners[(i + 1) % corners.size()];
      if (p.y == q.y) continue;
      // Half-open in y, so a corner shared by two edges is crossed once.
      if (y < std::min(p.y, q.y) || y >= std::max(p.y, q.y)) continue;
      crossings.push_back(p.x + static_cast<double>(y - p.y) * (q.x - p.x) / (q.y - p.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2)
      PaintRow(edit, y, static_cast<int64_t>(std::ceil(crossings[i] - kEdgeSlack)),
               static_cast<int64_t>(std::floor(crossings[i + 1] + kEdgeSlack)), area, painted);
  }
  for (size_t i = 0; i < corners.size(); ++i)
    painted =
        Unite(painted, PaintSegment(edit, corners[i], corners[(i + 1) % corners.size()], 1, area));
  return painted;
}

}  // namespace vec::studio

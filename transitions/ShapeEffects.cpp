#include "transitions/ShapeEffects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "base/MathUtil.h"

namespace vec {

namespace {

Region Poly(std::initializer_list<Point> points) {
  return Region::Polygon(std::span<const Point>(points.begin(), points.size()), FillMode::Winding);
}

Region RectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return Region::FromRect(left, top, right, bottom);
}

// The first region combined with each of the others in turn.
Region Combined(Region first, std::initializer_list<Region> others, RegionOp op) {
  for (const Region& other : others) first.Combine(other, op);
  return first;
}

// A grid of one shape: the shape is rasterised once and its rectangles are laid down at
// every cell, moved by whole pixels, which gives exactly the pixels of rasterising each
// copy on its own. One union of all the rectangles replaces a long chain of combines.
class ShapeGrid {
 public:
  explicit ShapeGrid(Region shape) : shape_(std::move(shape)) {}
  void Reserve(size_t cells) { rgn_.Reserve(cells * shape_.Rects().size()); }
  void Place(int32_t dx, int32_t dy) {
    ++cells_;
    for (const Rect& r : shape_.Rects())
      rgn_.AddRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
  }
  // No region when no cell was placed.
  std::optional<Region> ToRegion() const {
    if (cells_ == 0) return std::nullopt;
    return rgn_.Count() == 0 ? Region() : rgn_.CreateRegion();
  }

 private:
  Region shape_;
  ComplexRegion rgn_;
  size_t cells_ = 0;
};

void Reveal(const EffectFrame& frame, const Region& region) {
  RevealThroughRegion(frame, &region);
}

// The rectangle of half-size (hw, hh) centred on the screen, turned by one full turn over
// the transition about (px, py).
Region TurnedRectangle(int32_t cx, int32_t cy, int32_t hw, int32_t hh, int32_t px, int32_t py,
                       int32_t percent) {
  std::array<Point, 4> corners{{
      {cx - hw, cy - hh},
      {cx + hw, cy - hh},
      {cx + hw, cy + hh},
      {cx - hw, cy + hh},
  }};
  RotatePoints(corners, px, py, percent * std::numbers::pi / 50);
  return Region::Polygon(corners, FillMode::Winding);
}

// The 24-point outline of a zigzag band across the screen. `across` positions run along
// the band (0, step, ..., 11 step); `nearA/nearB` alternate on one edge, `farA/farB` on
// the other. `transpose` swaps x and y for the vertical band.
Region ZigzagBand(int32_t step, int32_t nearA, int32_t nearB, int32_t farA, int32_t farB,
                  bool transpose) {
  std::array<Point, 24> points;
  auto at = [transpose](int32_t along, int32_t edge) {
    return transpose ? Point{edge, along} : Point{along, edge};
  };
  for (int32_t k = 0; k < 12; ++k) points[k] = at(k * step, k % 2 == 0 ? nearA : nearB);
  for (int32_t k = 11; k >= 0; --k) points[23 - k] = at(k * step, k % 2 == 0 ? farA : farB);
  return Region::Polygon(points, FillMode::Winding);
}

}  // namespace

void RotatePoints(std::span<Point> points, int32_t px, int32_t py, double theta) {
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  for (Point& p : points) {
    const double dx = static_cast<double>(p.x) - px;
    const double dy = static_cast<double>(p.y) - py;
    p = Point{px + RoundHalfEven(c * dx - s * dy), py + RoundHalfEven(s * dx + c * dy)};
  }
}

// --- Curved and elliptic reveals --------------------------------------------------------

void CurvedRevealFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(-2 * W, 0, 2 * w, H + 1, 2 * W, 2 * W));
}
void CurvedRevealFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(W - 2 * w, 0, 3 * W, H + 1, 2 * W, 2 * W));
}
void CurvedRevealFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(0, -2 * H, W + 1, 2 * h, 2 * H, 2 * H));
}
void CurvedRevealFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(0, H - 2 * h, W + 1, 3 * H, 2 * H, 2 * H));
}
void CurvedRevealFromTopLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(-W, -H, (3 * w) / 2, (3 * h) / 2, 2 * W, 2 * H));
}
void CurvedRevealFromTopRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(W - (3 * w) / 2, -H, 2 * W, (3 * h) / 2, 2 * W, 2 * H));
}
void CurvedRevealFromBottomLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(-W, H - (3 * h) / 2, (3 * w) / 2, 2 * H, 2 * W, 2 * H));
}
void CurvedRevealFromBottomRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Region::RoundRect(W - (3 * w) / 2, H - (3 * h) / 2, 2 * W, 2 * H, 2 * W, 2 * H));
}
void EllipticRevealOutFromCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(frame, Region::RoundRect(cx - w, cy - h, cx + w, cy + h, (9 * w) / 5, (9 * h) / 5));
}
void EllipticRevealInToCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  const Region hole = Region::RoundRect(w - cx, h - cy, 3 * cx - w, 3 * cy - h, (9 * (W - w)) / 5,
                                        (9 * (H - h)) / 5);
  Reveal(frame, Combined(RectRegion(0, 0, W, H), {hole}, RegionOp::Xor));
}

// --- Triangles, sweeps and starbursts ---------------------------------------------------

void RevealDiagonalFromTopLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Poly({{0, 0}, {2 * w, 0}, {0, 2 * h}}));
}
void RevealDiagonalFromTopRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Poly({{W, 0}, {W - 2 * w, 0}, {W, 2 * h}}));
}
void RevealDiagonalFromBottomLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Poly({{0, H}, {2 * w, H}, {0, H - 2 * h}}));
}
void RevealDiagonalFromBottomRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  // This one draws New onto Work's canvas instead of the block copy; the pixels agree.
  const Region region = Poly({{W, H}, {W - 2 * w, H}, {W, H - 2 * h}});
  RevealThroughRegionByDraw(frame, &region);
}
void DiagonalSweepAnticlockwise(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Combined(Poly({{0, H}, {0, 0}, {w, H}}), {Poly({{W, H}, {W, 0}, {W - w, 0}})},
                         RegionOp::Or));
}
void DiagonalSweepClockwise(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, Combined(Poly({{W, 0}, {0, 0}, {W, h}}), {Poly({{W, H}, {0, H}, {0, H - h}})},
                         RegionOp::Or));
}
void StarburstClockwiseFromCenter(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(frame, Combined(Poly({{cx, cy}, {0, 0}, {w, 0}}),
                         {Poly({{cx, cy}, {0, H}, {0, H - h}}),
                          Poly({{cx, cy}, {W, H}, {W - w, H}}), Poly({{cx, cy}, {W, 0}, {W, h}})},
                         RegionOp::Or));
}
void StarburstAnticlockwiseFromCenter(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(frame, Combined(Poly({{cx, cy}, {0, 0}, {0, h}}),
                         {Poly({{cx, cy}, {0, H}, {w, H}}), Poly({{cx, cy}, {W, H}, {W, H - h}}),
                          Poly({{cx, cy}, {W, 0}, {W - w, 0}})},
                         RegionOp::Or));
}

// --- Rotating shapes --------------------------------------------------------------------

void RotationalRectangleInCenter(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(frame, TurnedRectangle(cx, cy, w / 2, h / 2, cx, cy, percent));
}
void RotationalStarInCenter(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2, hw = w / 2, hh = h / 2;
  std::array<Point, 8> star{{
      {cx - 2 * w, cy},
      {cx - hw, cy - hh},
      {cx, cy - 2 * h},
      {cx + hw, cy - hh},
      {cx + 2 * w, cy},
      {cx + hw, cy + hh},
      {cx, cy + 2 * h},
      {cx - hw, cy + hh},
  }};
  RotatePoints(star, cx, cy, percent * std::numbers::pi / 50);
  Reveal(frame, Region::Polygon(star, FillMode::Winding));
}
void SpiralRectangle(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  Reveal(frame, TurnedRectangle(W / 2, H / 2, w / 2, h / 2, w, h, percent));
}

// --- V shapes, bow ties, crosses --------------------------------------------------------

void RevealVFromLeft(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cy = H / 2;
  Reveal(frame, Poly({{0, cy - h}, {2 * w, cy}, {0, cy + h}}));
}
void RevealVFromRight(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cy = H / 2;
  Reveal(frame, Poly({{W, cy - h}, {W - 2 * w, cy}, {W, cy + h}}));
}
void RevealVFromTop(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2;
  Reveal(frame, Poly({{cx - w, 0}, {cx, 2 * h}, {cx + w, 0}}));
}
void RevealVFromBottom(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2;
  Reveal(frame, Poly({{cx - w, H}, {cx, H - 2 * h}, {cx + w, H}}));
}
void BowTieHorizontal(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cy = H / 2;
  Reveal(frame, Combined(Poly({{0, cy - h}, {w, cy}, {0, cy + h}}),
                         {Poly({{W, cy - h}, {W - w, cy}, {W, cy + h}})}, RegionOp::Or));
}
void BowTieVertical(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2;
  Reveal(frame, Combined(Poly({{cx - w, 0}, {cx, 2 * h}, {cx + w, 0}}),
                         {Poly({{cx - w, H}, {cx, H - 2 * h}, {cx + w, H}})}, RegionOp::Or));
}
void DiagonalCrossIn(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2, hw = w / 2, hh = h / 2;
  Reveal(frame, Combined(Poly({{0, cy - hh}, {hw, cy}, {0, cy + hh}}),
                         {Poly({{W, cy - hh}, {W - hw, cy}, {W, cy + hh}}),
                          Poly({{cx - hw, 0}, {cx, hh}, {cx + hw, 0}}),
                          Poly({{cx - hw, H}, {cx, H - hh}, {cx + hw, H}})},
                         RegionOp::Or));
}
void DiagonalCrossOut(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  const int32_t ex = (W - w) / 2, ey = (H - h) / 2;
  Reveal(frame, Combined(RectRegion(0, 0, W, H),
                         {Poly({{0, cy - ey}, {ex, cy}, {0, cy + ey}}),
                          Poly({{W, cy - ey}, {W - ex, cy}, {W, cy + ey}}),
                          Poly({{cx - ex, 0}, {cx, ey}, {cx + ex, 0}}),
                          Poly({{cx - ex, H}, {cx, H - ey}, {cx + ex, H}})},
                         RegionOp::Xor));
}

// --- Zigzags and diamonds ---------------------------------------------------------------

void ZigzagHorizontal(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cy = H / 2;
  const int32_t step = W / 10, n = H / 10;
  const int32_t c = MulDiv(n, percent, 100) + h / 2;
  Reveal(frame, ZigzagBand(step, cy + n - c, cy - n - c, cy + n + c, cy - n + c, false));
}
void ZigzagVertical(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2;
  const int32_t step = H / 10, n = W / 10;
  const int32_t c = MulDiv(n, percent, 100) + w / 2;
  Reveal(frame, ZigzagBand(step, cx + n - c, cx - n - c, cx + n + c, cx - n + c, true));
}
void RevealDiamondOutFromCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(frame, Poly({{cx - w, cy}, {cx, cy - h}, {cx + w, cy}, {cx, cy + h}}));
}
void RevealDiamondInToCentre(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2;
  const Region hole = Poly({{w - cx, cy}, {cx, h - cy}, {3 * cx - w, cy}, {cx, 3 * cy - h}});
  Reveal(frame, Combined(RectRegion(0, 0, W, H), {hole}, RegionOp::Xor));
}
void DiagonalBoxOut(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t cx = W / 2, cy = H / 2, qw = w / 2, qh = h / 2;
  Reveal(frame, Combined(Poly({{-qw, cy}, {cx, -qh}, {2 * cx + qw, cy}, {cx, 2 * cy + qh}}),
                         {Poly({{qw, cy}, {cx, qh}, {2 * cx - qw, cy}, {cx, 2 * cy - qh}})},
                         RegionOp::Xor));
}

// --- Grids of small shapes --------------------------------------------------------------

void TriangularShred(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t n = W / 10 + 1, m = H / 10 + 1;
  const int32_t bx = MulDiv(n, percent, 50), by = MulDiv(m, percent, 50);
  const int32_t rowStep = 2 * (H / 10) + 2;
  // The triangle with its point downwards, centred on (0, 0).
  ShapeGrid grid(Poly({{-bx, -by}, {0, by}, {bx, -by}}));
  grid.Reserve(static_cast<size_t>(W / (2 * n) + 2) * static_cast<size_t>(H / rowStep + 2));
  for (int32_t x = n; x - n < W; x += 2 * n) {
    for (int32_t t = 0; t < H + m; t += rowStep) grid.Place(x, t + m);
  }
  RevealThroughRegion(frame, grid.ToRegion());
}
void CircularShred(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t n = std::min(W, H) / 10 + 1;
  const int32_t r = MulDiv(3 * n, percent, 200);
  ShapeGrid grid(Region::Ellipse(n - r, n - r, n + r, n + r));  // the cell at (0, 0)
  grid.Reserve(static_cast<size_t>(W / (2 * n) + 1) * static_cast<size_t>(H / (2 * n) + 1));
  for (int32_t x = 0; x < W; x += 2 * n) {
    for (int32_t y = 0; y < H; y += 2 * n) grid.Place(x, y);
  }
  RevealThroughRegion(frame, grid.ToRegion());
}
void DiamondShred(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  const int32_t n = std::min(W, H) / 10 + 1;
  const int32_t b = MulDiv(n, percent, 50);
  ShapeGrid grid(Poly({{-b, 0}, {0, -b}, {b, 0}, {0, b}}));  // centred on (0, 0)
  grid.Reserve(static_cast<size_t>(W / (2 * n) + 1) * static_cast<size_t>(H / (2 * n) + 1));
  for (int32_t x = n; x - n < W; x += 2 * n) {
    for (int32_t y = n; y - n < H; y += 2 * n) grid.Place(x, y);
  }
  RevealThroughRegion(frame, grid.ToRegion());
}

std::span<const EffectRoutine> ShapeRoutines() {
  static constexpr EffectRoutine kRoutines[] = {
      CurvedRevealFromLeft,
      CurvedRevealFromRight,
      CurvedRevealFromTop,
      CurvedRevealFromBottom,
      CurvedRevealFromTopLeft,
      CurvedRevealFromTopRight,
      CurvedRevealFromBottomLeft,
      CurvedRevealFromBottomRight,
      EllipticRevealOutFromCentre,
      EllipticRevealInToCentre,
      RevealDiagonalFromTopLeft,
      RevealDiagonalFromTopRight,
      RevealDiagonalFromBottomLeft,
      RevealDiagonalFromBottomRight,
      DiagonalSweepAnticlockwise,
      DiagonalSweepClockwise,
      StarburstClockwiseFromCenter,
      StarburstAnticlockwiseFromCenter,
      RotationalRectangleInCenter,
      RotationalStarInCenter,
      SpiralRectangle,
      RevealVFromLeft,
      RevealVFromRight,
      RevealVFromTop,
      RevealVFromBottom,
      BowTieHorizontal,
      BowTieVertical,
      DiagonalCrossIn,
      DiagonalCrossOut,
      ZigzagHorizontal,
      ZigzagVertical,
      RevealDiamondOutFromCentre,
      RevealDiamondInToCentre,
      DiagonalBoxOut,
      TriangularShred,
      CircularShred,
      DiamondShred,
  };
  return kRoutines;
}

}  // namespace vec

#include "transitions/ShapeEffects.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "base/MathUtil.h"

namespace vec {

namespace {

TRegion Poly(std::initializer_list<TPoint> points) {
  return TRegion::Polygon(std::span<const TPoint>(points.begin(), points.size()),
                          FillMode::Winding);
}

TRegion Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return TRegion::FromRect(left, top, right, bottom);
}

// The first region combined with each of the others in turn.
TRegion Combined(TRegion first, std::initializer_list<TRegion> others, RegionOp op) {
  for (const TRegion& other : others) first.Combine(other, op);
  return first;
}

// A grid of one shape: the shape is rasterised once and its rectangles are laid down at
// every cell, moved by whole pixels, which gives exactly the pixels of rasterising each
// copy on its own. One union of all the rectangles replaces a long chain of combines.
class ShapeGrid {
 public:
  explicit ShapeGrid(TRegion shape) : shape_(std::move(shape)) {}
  void Reserve(size_t cells) { rgn_.Reserve(cells * shape_.Rects().size()); }
  void Place(int32_t dx, int32_t dy) {
    ++cells_;
    for (const TRect& r : shape_.Rects())
      rgn_.AddRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
  }
  // No region when no cell was placed.
  std::optional<TRegion> Region() const {
    if (cells_ == 0) return std::nullopt;
    return rgn_.Count() == 0 ? TRegion() : rgn_.CreateRegion();
  }

 private:
  TRegion shape_;
  TComplexRegion rgn_;
  size_t cells_ = 0;
};

void Reveal(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, const TRegion& region) {
  RevealThroughRegion(work, newBmp, W, H, &region);
}

// The rectangle of half-size (hw, hh) centred on the screen, turned by one full turn over
// the transition about (px, py).
TRegion TurnedRectangle(int32_t cx, int32_t cy, int32_t hw, int32_t hh, int32_t px, int32_t py,
                        int32_t percent) {
  std::array<TPoint, 4> corners{{
      {cx - hw, cy - hh},
      {cx + hw, cy - hh},
      {cx + hw, cy + hh},
      {cx - hw, cy + hh},
  }};
  RotatePoints(corners, px, py, percent * std::numbers::pi / 50);
  return TRegion::Polygon(corners, FillMode::Winding);
}

// The 24-point outline of a zigzag band across the screen. `across` positions run along
// the band (0, step, ..., 11 step); `nearA/nearB` alternate on one edge, `farA/farB` on
// the other. `transpose` swaps x and y for the vertical band.
TRegion ZigzagBand(int32_t step, int32_t nearA, int32_t nearB, int32_t farA, int32_t farB,
                   bool transpose) {
  std::array<TPoint, 24> points;
  auto at = [transpose](int32_t along, int32_t edge) {
    return transpose ? TPoint{edge, along} : TPoint{along, edge};
  };
  for (int32_t k = 0; k < 12; ++k) points[k] = at(k * step, k % 2 == 0 ? nearA : nearB);
  for (int32_t k = 11; k >= 0; --k) points[23 - k] = at(k * step, k % 2 == 0 ? farA : farB);
  return TRegion::Polygon(points, FillMode::Winding);
}

}  // namespace

void RotatePoints(std::span<TPoint> points, int32_t px, int32_t py, double theta) {
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  for (TPoint& p : points) {
    const double dx = static_cast<double>(p.x) - px;
    const double dy = static_cast<double>(p.y) - py;
    p = TPoint{px + RoundHalfEven(c * dx - s * dy), py + RoundHalfEven(s * dx + c * dy)};
  }
}

// --- Curved and elliptic reveals --------------------------------------------------------

void CurvedRevealFromLeft(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                          int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, TRegion::RoundRect(-2 * W, 0, 2 * w, H + 1, 2 * W, 2 * W));
}
void CurvedRevealFromRight(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                           int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, TRegion::RoundRect(W - 2 * w, 0, 3 * W, H + 1, 2 * W, 2 * W));
}
void CurvedRevealFromTop(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                         int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, TRegion::RoundRect(0, -2 * H, W + 1, 2 * h, 2 * H, 2 * H));
}
void CurvedRevealFromBottom(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                            int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, TRegion::RoundRect(0, H - 2 * h, W + 1, 3 * H, 2 * H, 2 * H));
}
void CurvedRevealFromTopLeft(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                             int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, TRegion::RoundRect(-W, -H, (3 * w) / 2, (3 * h) / 2, 2 * W, 2 * H));
}
void CurvedRevealFromTopRight(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                              int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H,
         TRegion::RoundRect(W - (3 * w) / 2, -H, 2 * W, (3 * h) / 2, 2 * W, 2 * H));
}
void CurvedRevealFromBottomLeft(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                int32_t w, int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H,
         TRegion::RoundRect(-W, H - (3 * h) / 2, (3 * w) / 2, 2 * H, 2 * W, 2 * H));
}
void CurvedRevealFromBottomRight(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                 int32_t w, int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H,
         TRegion::RoundRect(W - (3 * w) / 2, H - (3 * h) / 2, 2 * W, 2 * H, 2 * W, 2 * H));
}
void EllipticRevealOutFromCentre(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                 int32_t w, int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(work, newBmp, W, H,
         TRegion::RoundRect(cx - w, cy - h, cx + w, cy + h, (9 * w) / 5, (9 * h) / 5));
}
void EllipticRevealInToCentre(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                              int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  const TRegion hole = TRegion::RoundRect(w - cx, h - cy, 3 * cx - w, 3 * cy - h, (9 * (W - w)) / 5,
                                          (9 * (H - h)) / 5);
  Reveal(work, newBmp, W, H, Combined(Rect(0, 0, W, H), {hole}, RegionOp::Xor));
}

// --- Triangles, sweeps and starbursts ---------------------------------------------------

void RevealDiagonalFromTopLeft(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                               int32_t w, int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, Poly({{0, 0}, {2 * w, 0}, {0, 2 * h}}));
}
void RevealDiagonalFromTopRight(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                int32_t w, int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, Poly({{W, 0}, {W - 2 * w, 0}, {W, 2 * h}}));
}
void RevealDiagonalFromBottomLeft(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                  int32_t w, int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, Poly({{0, H}, {2 * w, H}, {0, H - 2 * h}}));
}
void RevealDiagonalFromBottomRight(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                   int32_t w, int32_t h, int32_t percent) {
  // This one draws New onto Work's canvas instead of the block copy; the pixels agree.
  const TRegion region = Poly({{W, H}, {W - 2 * w, H}, {W, H - 2 * h}});
  RevealThroughRegionByDraw(work, newBmp, &region);
}
void DiagonalSweepAnticlockwise(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                int32_t w, int32_t h, int32_t percent) {
  Reveal(
      work, newBmp, W, H,
      Combined(Poly({{0, H}, {0, 0}, {w, H}}), {Poly({{W, H}, {W, 0}, {W - w, 0}})}, RegionOp::Or));
}
void DiagonalSweepClockwise(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                            int32_t h, int32_t percent) {
  Reveal(
      work, newBmp, W, H,
      Combined(Poly({{W, 0}, {0, 0}, {W, h}}), {Poly({{W, H}, {0, H}, {0, H - h}})}, RegionOp::Or));
}
void StarburstClockwiseFromCenter(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                  int32_t w, int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(work, newBmp, W, H,
         Combined(Poly({{cx, cy}, {0, 0}, {w, 0}}),
                  {Poly({{cx, cy}, {0, H}, {0, H - h}}), Poly({{cx, cy}, {W, H}, {W - w, H}}),
                   Poly({{cx, cy}, {W, 0}, {W, h}})},
                  RegionOp::Or));
}
void StarburstAnticlockwiseFromCenter(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                      int32_t w, int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(work, newBmp, W, H,
         Combined(Poly({{cx, cy}, {0, 0}, {0, h}}),
                  {Poly({{cx, cy}, {0, H}, {w, H}}), Poly({{cx, cy}, {W, H}, {W, H - h}}),
                   Poly({{cx, cy}, {W, 0}, {W - w, 0}})},
                  RegionOp::Or));
}

// --- Rotating shapes --------------------------------------------------------------------

void RotationalRectangleInCenter(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                 int32_t w, int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(work, newBmp, W, H, TurnedRectangle(cx, cy, w / 2, h / 2, cx, cy, percent));
}
void RotationalStarInCenter(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                            int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2, hw = w / 2, hh = h / 2;
  std::array<TPoint, 8> star{{
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
  Reveal(work, newBmp, W, H, TRegion::Polygon(star, FillMode::Winding));
}
void SpiralRectangle(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                     int32_t h, int32_t percent) {
  Reveal(work, newBmp, W, H, TurnedRectangle(W / 2, H / 2, w / 2, h / 2, w, h, percent));
}

// --- V shapes, bow ties, crosses --------------------------------------------------------

void RevealVFromLeft(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                     int32_t h, int32_t percent) {
  const int32_t cy = H / 2;
  Reveal(work, newBmp, W, H, Poly({{0, cy - h}, {2 * w, cy}, {0, cy + h}}));
}
void RevealVFromRight(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                      int32_t h, int32_t percent) {
  const int32_t cy = H / 2;
  Reveal(work, newBmp, W, H, Poly({{W, cy - h}, {W - 2 * w, cy}, {W, cy + h}}));
}
void RevealVFromTop(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                    int32_t h, int32_t percent) {
  const int32_t cx = W / 2;
  Reveal(work, newBmp, W, H, Poly({{cx - w, 0}, {cx, 2 * h}, {cx + w, 0}}));
}
void RevealVFromBottom(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                       int32_t h, int32_t percent) {
  const int32_t cx = W / 2;
  Reveal(work, newBmp, W, H, Poly({{cx - w, H}, {cx, H - 2 * h}, {cx + w, H}}));
}
void BowTieHorizontal(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                      int32_t h, int32_t percent) {
  const int32_t cy = H / 2;
  Reveal(work, newBmp, W, H,
         Combined(Poly({{0, cy - h}, {w, cy}, {0, cy + h}}),
                  {Poly({{W, cy - h}, {W - w, cy}, {W, cy + h}})}, RegionOp::Or));
}
void BowTieVertical(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                    int32_t h, int32_t percent) {
  const int32_t cx = W / 2;
  Reveal(work, newBmp, W, H,
         Combined(Poly({{cx - w, 0}, {cx, 2 * h}, {cx + w, 0}}),
                  {Poly({{cx - w, H}, {cx, H - 2 * h}, {cx + w, H}})}, RegionOp::Or));
}
void DiagonalCrossIn(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                     int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2, hw = w / 2, hh = h / 2;
  Reveal(work, newBmp, W, H,
         Combined(Poly({{0, cy - hh}, {hw, cy}, {0, cy + hh}}),
                  {Poly({{W, cy - hh}, {W - hw, cy}, {W, cy + hh}}),
                   Poly({{cx - hw, 0}, {cx, hh}, {cx + hw, 0}}),
                   Poly({{cx - hw, H}, {cx, H - hh}, {cx + hw, H}})},
                  RegionOp::Or));
}
void DiagonalCrossOut(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                      int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  const int32_t ex = (W - w) / 2, ey = (H - h) / 2;
  Reveal(work, newBmp, W, H,
         Combined(Rect(0, 0, W, H),
                  {Poly({{0, cy - ey}, {ex, cy}, {0, cy + ey}}),
                   Poly({{W, cy - ey}, {W - ex, cy}, {W, cy + ey}}),
                   Poly({{cx - ex, 0}, {cx, ey}, {cx + ex, 0}}),
                   Poly({{cx - ex, H}, {cx, H - ey}, {cx + ex, H}})},
                  RegionOp::Xor));
}

// --- Zigzags and diamonds ---------------------------------------------------------------

void ZigzagHorizontal(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                      int32_t h, int32_t percent) {
  const int32_t cy = H / 2;
  const int32_t step = W / 10, n = H / 10;
  const int32_t c = MulDiv(n, percent, 100) + h / 2;
  Reveal(work, newBmp, W, H,
         ZigzagBand(step, cy + n - c, cy - n - c, cy + n + c, cy - n + c, false));
}
void ZigzagVertical(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                    int32_t h, int32_t percent) {
  const int32_t cx = W / 2;
  const int32_t step = H / 10, n = W / 10;
  const int32_t c = MulDiv(n, percent, 100) + w / 2;
  Reveal(work, newBmp, W, H,
         ZigzagBand(step, cx + n - c, cx - n - c, cx + n + c, cx - n + c, true));
}
void RevealDiamondOutFromCentre(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H,
                                int32_t w, int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  Reveal(work, newBmp, W, H, Poly({{cx - w, cy}, {cx, cy - h}, {cx + w, cy}, {cx, cy + h}}));
}
void RevealDiamondInToCentre(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                             int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2;
  const TRegion hole = Poly({{w - cx, cy}, {cx, h - cy}, {3 * cx - w, cy}, {cx, 3 * cy - h}});
  Reveal(work, newBmp, W, H, Combined(Rect(0, 0, W, H), {hole}, RegionOp::Xor));
}
void DiagonalBoxOut(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                    int32_t h, int32_t percent) {
  const int32_t cx = W / 2, cy = H / 2, qw = w / 2, qh = h / 2;
  Reveal(
      work, newBmp, W, H,
      Combined(Poly({{-qw, cy}, {cx, -qh}, {2 * cx + qw, cy}, {cx, 2 * cy + qh}}),
               {Poly({{qw, cy}, {cx, qh}, {2 * cx - qw, cy}, {cx, 2 * cy - qh}})}, RegionOp::Xor));
}

// --- Grids of small shapes --------------------------------------------------------------

void TriangularShred(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w,
                     int32_t h, int32_t percent) {
  const int32_t n = W / 10 + 1, m = H / 10 + 1;
  const int32_t bx = MulDiv(n, percent, 50), by = MulDiv(m, percent, 50);
  const int32_t rowStep = 2 * (H / 10) + 2;
  // The triangle with its point downwards, centred on (0, 0).
  ShapeGrid grid(Poly({{-bx, -by}, {0, by}, {bx, -by}}));
  grid.Reserve(static_cast<size_t>(W / (2 * n) + 2) * static_cast<size_t>(H / rowStep + 2));
  for (int32_t x = n; x - n < W; x += 2 * n) {
    for (int32_t t = 0; t < H + m; t += rowStep) grid.Place(x, t + m);
  }
  RevealThroughRegion(work, newBmp, W, H, grid.Region());
}
void CircularShred(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w, int32_t h,
                   int32_t percent) {
  const int32_t n = std::min(W, H) / 10 + 1;
  const int32_t r = MulDiv(3 * n, percent, 200);
  ShapeGrid grid(TRegion::Ellipse(n - r, n - r, n + r, n + r));  // the cell at (0, 0)
  grid.Reserve(static_cast<size_t>(W / (2 * n) + 1) * static_cast<size_t>(H / (2 * n) + 1));
  for (int32_t x = 0; x < W; x += 2 * n) {
    for (int32_t y = 0; y < H; y += 2 * n) grid.Place(x, y);
  }
  RevealThroughRegion(work, newBmp, W, H, grid.Region());
}
void DiamondShred(TBitmap& work, const TBitmap& newBmp, int32_t W, int32_t H, int32_t w, int32_t h,
                  int32_t percent) {
  const int32_t n = std::min(W, H) / 10 + 1;
  const int32_t b = MulDiv(n, percent, 50);
  ShapeGrid grid(Poly({{-b, 0}, {0, -b}, {b, 0}, {0, b}}));  // centred on (0, 0)
  grid.Reserve(static_cast<size_t>(W / (2 * n) + 1) * static_cast<size_t>(H / (2 * n) + 1));
  for (int32_t x = n; x - n < W; x += 2 * n) {
    for (int32_t y = n; y - n < H; y += 2 * n) grid.Place(x, y);
  }
  RevealThroughRegion(work, newBmp, W, H, grid.Region());
}

const std::array<TNumberedEffect, 37> kShapeEffects = {{
    {61, CurvedRevealFromLeft},
    {62, CurvedRevealFromRight},
    {72, CurvedRevealFromTop},
    {73, CurvedRevealFromBottom},
    {83, CurvedRevealFromTopLeft},
    {84, CurvedRevealFromTopRight},
    {85, CurvedRevealFromBottomLeft},
    {86, CurvedRevealFromBottomRight},
    {87, EllipticRevealOutFromCentre},
    {88, EllipticRevealInToCentre},
    {113, RevealDiagonalFromTopLeft},
    {114, RevealDiagonalFromTopRight},
    {115, RevealDiagonalFromBottomLeft},
    {116, RevealDiagonalFromBottomRight},
    {117, DiagonalSweepAnticlockwise},
    {118, DiagonalSweepClockwise},
    {119, StarburstClockwiseFromCenter},
    {120, TriangularShred},
    {149, RotationalRectangleInCenter},
    {150, RotationalStarInCenter},
    {151, SpiralRectangle},
    {152, CircularShred},
    {153, RevealVFromLeft},
    {154, RevealVFromRight},
    {155, RevealVFromTop},
    {156, RevealVFromBottom},
    {157, BowTieHorizontal},
    {158, BowTieVertical},
    {159, DiagonalCrossIn},
    {160, DiagonalCrossOut},
    {161, StarburstAnticlockwiseFromCenter},
    {162, ZigzagHorizontal},
    {163, ZigzagVertical},
    {164, DiamondShred},
    {165, RevealDiamondOutFromCentre},
    {166, RevealDiamondInToCentre},
    {167, DiagonalBoxOut},
}};

}  // namespace vec

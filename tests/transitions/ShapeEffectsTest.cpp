#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <vector>

#include "graphics/Region.h"
#include "tests/transitions/ComplexRegionTestSupport.h"
#include "transitions/ComplexRegion.h"
#include "transitions/ShapeEffects.h"
namespace vec {
namespace {

using namespace testing_support;

struct SizeCase {
  int32_t W, H;
};

class ShapeAtFullProgress : public ::testing::TestWithParam<std::tuple<Effect, SizeCase>> {};

TEST_P(ShapeAtFullProgress, CoversTheWholePicture) {
  const auto [effect, size] = GetParam();
  const Coverage c = Measure(RunFrame(effect, NewPicture(size.W, size.H), 100));
  EXPECT_EQ(c.wrong, 0);
  EXPECT_EQ(c.fromOld, 0) << "effect " << effect.number;
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Effect, SizeCase>>& info) {
  const Effect effect = std::get<0>(info.param);
  const SizeCase size = std::get<1>(info.param);
  return "No" + std::to_string(effect.number) + "_" + SizeName(size.W, size.H);
}

INSTANTIATE_TEST_SUITE_P(AllMembers, ShapeAtFullProgress,
                         ::testing::Combine(::testing::ValuesIn(EffectsDrawnBy(ShapeRoutines())),
                                            ::testing::Values(SizeCase{320, 240},
                                                              SizeCase{240, 320},
                                                              SizeCase{1024, 768})),
                         CaseName);

// On odd sizes the halved extents (w div 2, W div 2) fall one pixel short: the rotating
// rectangles leave their last column and row, a few shapes single pixels at the centre or
// at a seam. Never more than one row and one column's worth.
TEST(ShapeEffects, OddSizesFallShortByAtMostOneRowAndColumn) {
  for (const Effect& effect : EffectsDrawnBy(ShapeRoutines())) {
    for (const SizeCase size : {SizeCase{321, 241}, SizeCase{241, 321}, SizeCase{641, 479}}) {
      const Coverage c = Measure(RunFrame(effect, NewPicture(size.W, size.H), 100));
      EXPECT_EQ(c.wrong, 0);
      EXPECT_LE(c.fromOld, size.W + size.H - 1)
          << "effect " << effect.number << " at " << SizeName(size.W, size.H);
    }
  }
}

TEST(ShapeEffects, CurvedRevealsShowNothingAtZero) {
  for (EffectRoutine routine :
       {CurvedRevealFromLeft, CurvedRevealFromRight, CurvedRevealFromTop, CurvedRevealFromBottom,
        CurvedRevealFromTopLeft, CurvedRevealFromTopRight, CurvedRevealFromBottomLeft,
        CurvedRevealFromBottomRight}) {
    for (const SizeCase size : {SizeCase{320, 240}, SizeCase{201, 333}}) {
      const Coverage c = Measure(RunFrame(routine, NewPicture(size.W, size.H), 0));
      EXPECT_EQ(c.fromNew, 0);
      EXPECT_EQ(c.wrong, 0);
    }
  }
}

TEST(ShapeEffects, GrowingShapesShowNothingAtZero) {
  for (const Effect& effect : EffectsDrawnBy(ShapeRoutines())) {
    if (effect.number == 88 || effect.number == 160 || effect.number == 166 ||
        effect.number == 162 || effect.number == 163 || effect.number == 167)
      continue;  // these start from a shape of their own size
    const Coverage c = Measure(RunFrame(effect, NewPicture(320, 240), 0));
    EXPECT_EQ(c.fromNew, 0) << "effect " << effect.number;
  }
}

TEST(ShapeEffects, TinyAndEmptyPicturesAreSafe) {
  for (const Effect& effect : EffectsDrawnBy(ShapeRoutines())) {
    for (const SizeCase size : {SizeCase{0, 0}, SizeCase{1, 1}, SizeCase{1, 9}, SizeCase{9, 1}}) {
      for (int32_t percent : {0, 1, 50, 99, 100}) {
        const BottomUpBitmap work = RunFrame(effect, NewPicture(size.W, size.H), percent);
        EXPECT_EQ(Measure(work).wrong, 0);
      }
    }
  }
}

TEST(EllipticRevealInToCentre, NothingAtZeroEverythingAtFull) {
  for (const SizeCase size : {SizeCase{320, 240}, SizeCase{240, 320}, SizeCase{640, 480}}) {
    const BottomUpBitmap newBmp = NewPicture(size.W, size.H);
    EXPECT_EQ(Measure(RunFrame(EllipticRevealInToCentre, newBmp, 0)).fromNew, 0);
    EXPECT_EQ(Measure(RunFrame(EllipticRevealInToCentre, newBmp, 100)).fromOld, 0);
    // Halfway the corners have gone over, the centre has not.
    const BottomUpBitmap half = RunFrame(EllipticRevealInToCentre, newBmp, 50);
    EXPECT_TRUE(ShowsNew(half, 0, 0));
    EXPECT_TRUE(ShowsNew(half, size.W - 1, size.H - 1));
    EXPECT_FALSE(ShowsNew(half, size.W / 2, size.H / 2));
  }
}

TEST(DiagonalCrossOut, TrianglesFillTheScreenAtZeroAndVanishAtFull) {
  const int32_t W = 320, H = 240;
  const BottomUpBitmap newBmp = NewPicture(W, H);
  // At 0 % only the seams where two triangles meet can show New.
  const Coverage start = Measure(RunFrame(DiagonalCrossOut, newBmp, 0));
  EXPECT_LE(start.fromNew, 2 * (W + H));
  EXPECT_EQ(Measure(RunFrame(DiagonalCrossOut, newBmp, 100)).fromOld, 0);
  // Halfway: the centre is open; near each edge's midpoint a triangle still covers it.
  const BottomUpBitmap half = RunFrame(DiagonalCrossOut, newBmp, 50);
  EXPECT_TRUE(ShowsNew(half, W / 2, H / 2));
  EXPECT_FALSE(ShowsNew(half, 1, H / 2));
  EXPECT_FALSE(ShowsNew(half, W - 2, H / 2));
  EXPECT_FALSE(ShowsNew(half, W / 2, 1));
  EXPECT_FALSE(ShowsNew(half, W / 2, H - 2));
  EXPECT_TRUE(ShowsNew(half, 1, 1));  // the corners lie between the triangles
}

TEST(RevealDiagonalFromBottomRight, DrawingMatchesTheCopyingMirror) {
  // 116 draws instead of copying; mirrored left to right it must match 115 exactly.
  const int32_t W = 200, H = 150;
  const BottomUpBitmap newBmp = NewPicture(W, H);
  for (int32_t percent : {10, 50, 90}) {
    const BottomUpBitmap drawn = RunFrame(RevealDiagonalFromBottomRight, newBmp, percent);
    int32_t w = 0, h = 0;
    ScaledExtents(W, H, percent, w, h);
    const std::array<Point, 3> tri{{{W, H}, {W - 2 * w, H}, {W, H - 2 * h}}};
    const Region region = Region::Polygon(tri, FillMode::Winding);
    BottomUpBitmap copied = OldPicture(W, H);
    RevealThroughRegion(EffectFrame{copied, newBmp, W, H, 0, 0, 0}, &region);
    EXPECT_EQ(drawn, copied);
    EXPECT_GT(Measure(drawn).fromNew, 0);
    EXPECT_TRUE(ShowsNew(drawn, W - 1, H - 1));
    EXPECT_FALSE(ShowsNew(drawn, 0, 0));
  }
}

TEST(RotatePoints, RotatesAboutThePivotToTheNearestPoint) {
  struct Case {
    Point in;
    double theta;
    Point pivot, out;
  };
  const double pi = std::numbers::pi;
  // cos(pi/3) comes out a little above one half in floating point, so the "halves" below
  // round up; integer points never land on an exact half.
  const Case cases[] = {
      {{1, 0}, pi / 3, {0, 0}, {1, 1}},        // (0.5000000000000001, 0.866)
      {{3, 0}, pi / 3, {0, 0}, {2, 3}},        // (1.5000000000000004, 2.598)
      {{5, 0}, pi / 3, {0, 0}, {3, 4}},        // (2.5000000000000004, 4.330)
      {{-1, 0}, pi / 3, {0, 0}, {-1, -1}},     // negative values round away from zero
      {{11, 10}, pi / 3, {10, 10}, {11, 11}},  // the pivot is subtracted first
      {{4, 0}, pi / 6, {0, 0}, {3, 2}},        // (3.464, 1.9999999999999998)
      {{7, 3}, pi / 2, {2, 2}, {1, 7}},        // y grows downwards: a quarter turn clockwise
      {{7, 3}, 2 * pi, {2, 2}, {7, 3}},        // a full turn comes back exactly
  };
  for (const Case& c : cases) {
    std::array<Point, 1> p{c.in};
    RotatePoints(p, c.pivot.x, c.pivot.y, c.theta);
    EXPECT_EQ(p[0], c.out) << c.in.x << "," << c.in.y << " by " << c.theta;
  }
}

TEST(RotatingShapes, TurnOnceOverTheTransition) {
  const int32_t W = 320, H = 240;
  const BottomUpBitmap newBmp = NewPicture(W, H);
  // At 25 % the rectangle is half-sized and a quarter turned: it stands on its short side,
  // so it is taller than wide around the centre.
  const BottomUpBitmap quarter = RunFrame(RotationalRectangleInCenter, newBmp, 25);  // w 80, h 60
  EXPECT_TRUE(ShowsNew(quarter, W / 2, H / 2 - 35));
  EXPECT_FALSE(ShowsNew(quarter, W / 2 - 35, H / 2));
  // At 50 % half a turn: axis-parallel again.
  const BottomUpBitmap half = RunFrame(RotationalRectangleInCenter, newBmp, 50);  // w 160, h 120
  EXPECT_TRUE(ShowsNew(half, W / 2 - 75, H / 2));
  EXPECT_FALSE(ShowsNew(half, W / 2, H / 2 - 65));
}

TEST(ZigzagHorizontal, BandWidensFromTheMiddle) {
  const int32_t W = 320, H = 240;
  const BottomUpBitmap half = RunFrame(ZigzagHorizontal, NewPicture(W, H), 50);
  EXPECT_TRUE(ShowsNew(half, 0, H / 2));
  EXPECT_TRUE(ShowsNew(half, W - 1, H / 2));
  EXPECT_FALSE(ShowsNew(half, 0, 0));
  EXPECT_FALSE(ShowsNew(half, W / 2, H - 1));
}

TEST(ZigzagVertical, BandWidensFromTheMiddle) {
  const int32_t W = 320, H = 240;
  const BottomUpBitmap half = RunFrame(ZigzagVertical, NewPicture(W, H), 50);
  EXPECT_TRUE(ShowsNew(half, W / 2, 0));
  EXPECT_TRUE(ShowsNew(half, W / 2, H - 1));
  EXPECT_FALSE(ShowsNew(half, 0, 0));
  EXPECT_FALSE(ShowsNew(half, W - 1, H / 2));
}

TEST(TriangularShred, TrianglesPointDownwards) {
  // W 200: n = 21, columns at x = 21, 63, ...; H 100: m = 11, rows at yc = 11, 33, ...
  const BottomUpBitmap work = RunFrame(TriangularShred, NewPicture(200, 100), 20);  // bx 8, by 4
  EXPECT_TRUE(ShowsNew(work, 21, 7));  // wide top of the first triangle
  EXPECT_TRUE(ShowsNew(work, 28, 7));
  EXPECT_TRUE(ShowsNew(work, 21, 14));  // narrow point below the centre
  EXPECT_FALSE(ShowsNew(work, 27, 14));
  EXPECT_FALSE(ShowsNew(work, 42, 11));  // between the columns
}

TEST(CircularShred, CirclesGrowOnTheirGrid) {
  // min 100: n = 11, centres at 11, 33, ...; r = MulDiv(33, 40, 200) = 7 at 40 %
  const BottomUpBitmap work = RunFrame(CircularShred, NewPicture(150, 100), 40);
  EXPECT_TRUE(ShowsNew(work, 11, 11));
  EXPECT_TRUE(ShowsNew(work, 33, 55));
  EXPECT_FALSE(ShowsNew(work, 22, 22));
  EXPECT_FALSE(ShowsNew(work, 11, 22));
}

TEST(DiamondShred, DiamondsGrowOnTheirGrid) {
  // min 100: n = 11, b = MulDiv(11, 40, 50) = 9 at 40 %
  const BottomUpBitmap work = RunFrame(DiamondShred, NewPicture(150, 100), 40);
  EXPECT_TRUE(ShowsNew(work, 11, 11));
  EXPECT_TRUE(ShowsNew(work, 11, 5));
  EXPECT_FALSE(ShowsNew(work, 5, 5));  // outside the diamond, inside its square
  EXPECT_FALSE(ShowsNew(work, 22, 22));
}

// The grids as the shapes are described: each made where it stands and combined into the
// first one by OR.
Region TrianglesByCombining(int32_t W, int32_t H, int32_t percent) {
  const int32_t n = W / 10 + 1, m = H / 10 + 1;
  const int32_t bx = MulDiv(n, percent, 50), by = MulDiv(m, percent, 50);
  Region all;
  for (int32_t x = n; x - n < W; x += 2 * n) {
    for (int32_t t = 0; t < H + m; t += 2 * (H / 10) + 2) {
      const int32_t yc = t + m;
      const std::array<Point, 3> tri{{{x - bx, yc - by}, {x, yc + by}, {x + bx, yc - by}}};
      all.Combine(Region::Polygon(tri, FillMode::Winding), RegionOp::Or);
    }
  }
  return all;
}
Region CirclesByCombining(int32_t W, int32_t H, int32_t percent) {
  const int32_t n = std::min(W, H) / 10 + 1;
  const int32_t r = MulDiv(3 * n, percent, 200);
  Region all;
  for (int32_t x = 0; x < W; x += 2 * n)
    for (int32_t y = 0; y < H; y += 2 * n)
      all.Combine(Region::Ellipse(x + n - r, y + n - r, x + n + r, y + n + r), RegionOp::Or);
  return all;
}
Region DiamondsByCombining(int32_t W, int32_t H, int32_t percent) {
  const int32_t n = std::min(W, H) / 10 + 1;
  const int32_t b = MulDiv(n, percent, 50);
  Region all;
  for (int32_t x = n; x - n < W; x += 2 * n) {
    for (int32_t y = n; y - n < H; y += 2 * n) {
      const std::array<Point, 4> d{{{x - b, y}, {x, y - b}, {x + b, y}, {x, y + b}}};
      all.Combine(Region::Polygon(d, FillMode::Winding), RegionOp::Or);
    }
  }
  return all;
}

TEST(ShapeGrids, MatchShapesCombinedOneByOne) {
  struct Case {
    EffectRoutine routine;
    Region (*reference)(int32_t, int32_t, int32_t);
  };
  for (const Case c :
       {Case{TriangularShred, TrianglesByCombining}, Case{CircularShred, CirclesByCombining},
        Case{DiamondShred, DiamondsByCombining}}) {
    for (const SizeCase size : {SizeCase{320, 240}, SizeCase{203, 117}, SizeCase{90, 300}}) {
      const BottomUpBitmap newBmp = NewPicture(size.W, size.H);
      for (int32_t percent : {7, 13, 50, 87, 100}) {
        const Region region = c.reference(size.W, size.H, percent);
        BottomUpBitmap expected = OldPicture(size.W, size.H);
        RevealThroughRegion(EffectFrame{expected, newBmp, size.W, size.H, 0, 0, 0}, &region);
        EXPECT_EQ(RunFrame(c.routine, newBmp, percent), expected)
            << SizeName(size.W, size.H) << " at " << percent;
      }
    }
  }
}

TEST(ShapeEffects, FramesDependOnlyOnTheirInputs) {
  const BottomUpBitmap newBmp = NewPicture(160, 120);
  for (const Effect& effect : EffectsDrawnBy(ShapeRoutines())) {
    const BottomUpBitmap a = RunFrame(effect, newBmp, 37);
    const BottomUpBitmap b = RunFrame(effect, newBmp, 37);
    EXPECT_EQ(a, b) << "effect " << effect.number;
    EXPECT_EQ(Measure(a).wrong, 0);
  }
}

}  // namespace
}  // namespace vec

// Every shape region member against a literal model: the shapes of each member made where
// they stand, with the platform shape primitives, and combined one by one in the order the
// family lists them (the result replacing the first region). Grids are combined cell by
// cell, so this also holds the one-shape-placed-everywhere grids to the slow way.

namespace vec {
namespace {

using namespace testing_support;

int32_t ModelMulDiv(int32_t a, int32_t b, int32_t c) {
  const int64_t p = int64_t{a} * b;
  return static_cast<int32_t>((2 * p + c) / (2 * int64_t{c}));
}

Region P(std::initializer_list<Point> pts) {
  const std::vector<Point> v(pts);
  return Region::Polygon(v, FillMode::Winding);
}
Region RR(int32_t l, int32_t t, int32_t r, int32_t b, int32_t ew, int32_t eh) {
  return Region::RoundRect(l, t, r, b, ew, eh);
}
Region Screen(int32_t W, int32_t H) {
  return Region::FromRect(0, 0, W, H);
}
Region Fold(Region first, std::initializer_list<Region> rest, RegionOp op) {
  for (const Region& r : rest) first.Combine(r, op);
  return first;
}

// Rotation about (px, py), to the nearest point with halves to even.
std::vector<Point> Rotated(std::vector<Point> pts, int32_t px, int32_t py, int32_t percent) {
  const double theta = percent * M_PI / 50;
  for (Point& p : pts) {
    const double x = p.x - px, y = p.y - py;
    p.x = px + static_cast<int32_t>(std::nearbyint(std::cos(theta) * x - std::sin(theta) * y));
    p.y = py + static_cast<int32_t>(std::nearbyint(std::sin(theta) * x + std::cos(theta) * y));
  }
  return pts;
}

std::optional<Region> ModelShape(int32_t n, int32_t W, int32_t H, int32_t w, int32_t h,
                                 int32_t Pc) {
  const int32_t cx = W / 2, cy = H / 2, hw = w / 2, hh = h / 2;
  switch (n) {
    case 61:
      return RR(-2 * W, 0, 2 * w, H + 1, 2 * W, 2 * W);
    case 62:
      return RR(W - 2 * w, 0, 3 * W, H + 1, 2 * W, 2 * W);
    case 72:
      return RR(0, -2 * H, W + 1, 2 * h, 2 * H, 2 * H);
    case 73:
      return RR(0, H - 2 * h, W + 1, 3 * H, 2 * H, 2 * H);
    case 83:
      return RR(-W, -H, (3 * w) / 2, (3 * h) / 2, 2 * W, 2 * H);
    case 84:
      return RR(W - (3 * w) / 2, -H, 2 * W, (3 * h) / 2, 2 * W, 2 * H);
    case 85:
      return RR(-W, H - (3 * h) / 2, (3 * w) / 2, 2 * H, 2 * W, 2 * H);
    case 86:
      return RR(W - (3 * w) / 2, H - (3 * h) / 2, 2 * W, 2 * H, 2 * W, 2 * H);
    case 87:
      return RR(cx - w, cy - h, cx + w, cy + h, (9 * w) / 5, (9 * h) / 5);
    case 88:
      return Fold(
          Screen(W, H),
          {RR(w - cx, h - cy, 3 * cx - w, 3 * cy - h, (9 * (W - w)) / 5, (9 * (H - h)) / 5)},
          RegionOp::Xor);
    case 113:
      return P({{0, 0}, {2 * w, 0}, {0, 2 * h}});
    case 114:
      return P({{W, 0}, {W - 2 * w, 0}, {W, 2 * h}});
    case 115:
      return P({{0, H}, {2 * w, H}, {0, H - 2 * h}});
    case 116:
      return P({{W, H}, {W - 2 * w, H}, {W, H - 2 * h}});
    case 117:
      return Fold(P({{0, H}, {0, 0}, {w, H}}), {P({{W, H}, {W, 0}, {W - w, 0}})}, RegionOp::Or);
    case 118:
      return Fold(P({{W, 0}, {0, 0}, {W, h}}), {P({{W, H}, {0, H}, {0, H - h}})}, RegionOp::Or);
    case 119:
      return Fold(P({{cx, cy}, {0, 0}, {w, 0}}),
                  {P({{cx, cy}, {0, H}, {0, H - h}}), P({{cx, cy}, {W, H}, {W - w, H}}),
                   P({{cx, cy}, {W, 0}, {W, h}})},
                  RegionOp::Or);
    case 120: {
      const int32_t k = W / 10 + 1, bx = ModelMulDiv(k, Pc, 50);
      const int32_t m = H / 10 + 1, by = ModelMulDiv(m, Pc, 50);
      std::optional<Region> all;
      for (int32_t x = k; x - k < W; x += 2 * k) {
        for (int32_t t = 0; t < H + m; t += 2 * (H / 10) + 2) {
          const int32_t yc = t + m;
          Region tri = P({{x - bx, yc - by}, {x, yc + by}, {x + bx, yc - by}});
          if (all)
            all->Combine(tri, RegionOp::Or);
          else
            all = std::move(tri);
        }
      }
      return all;
    }
    case 149:
    case 151: {
      const int32_t px = n == 149 ? cx : w, py = n == 149 ? cy : h;
      return Region::Polygon(
          Rotated({{cx - hw, cy - hh}, {cx + hw, cy - hh}, {cx + hw, cy + hh}, {cx - hw, cy + hh}},
                  px, py, Pc),
          FillMode::Winding);
    }
    case 150:
      return Region::Polygon(Rotated({{cx - 2 * w, cy},
                                      {cx - hw, cy - hh},
                                      {cx, cy - 2 * h},
                                      {cx + hw, cy - hh},
                                      {cx + 2 * w, cy},
                                      {cx + hw, cy + hh},
                                      {cx, cy + 2 * h},
                                      {cx - hw, cy + hh}},
                                     cx, cy, Pc),
                             FillMode::Winding);
    case 152: {
      const int32_t k = std::min(W, H) / 10 + 1, r = ModelMulDiv(3 * k, Pc, 200);
      std::optional<Region> all;
      for (int32_t x = 0; x < W; x += 2 * k) {
        for (int32_t y = 0; y < H; y += 2 * k) {
          Region e = Region::Ellipse(x + k - r, y + k - r, x + k + r, y + k + r);
          if (all)
            all->Combine(e, RegionOp::Or);
          else
            all = std::move(e);
        }
      }
      return all;
    }
    case 153:
      return P({{0, cy - h}, {2 * w, cy}, {0, cy + h}});
    case 154:
      return P({{W, cy - h}, {W - 2 * w, cy}, {W, cy + h}});
    case 155:
      return P({{cx - w, 0}, {cx, 2 * h}, {cx + w, 0}});
    case 156:
      return P({{cx - w, H}, {cx, H - 2 * h}, {cx + w, H}});
    case 157:
      return Fold(P({{0, cy - h}, {w, cy}, {0, cy + h}}),
                  {P({{W, cy - h}, {W - w, cy}, {W, cy + h}})}, RegionOp::Or);
    case 158:
      return Fold(P({{cx - w, 0}, {cx, 2 * h}, {cx + w, 0}}),
                  {P({{cx - w, H}, {cx, H - 2 * h}, {cx + w, H}})}, RegionOp::Or);
    case 159:
      return Fold(
          P({{0, cy - hh}, {hw, cy}, {0, cy + hh}}),
          {P({{W, cy - hh}, {W - hw, cy}, {W, cy + hh}}), P({{cx - hw, 0}, {cx, hh}, {cx + hw, 0}}),
           P({{cx - hw, H}, {cx, H - hh}, {cx + hw, H}})},
          RegionOp::Or);
    case 160: {
      const int32_t ex = (W - w) / 2, ey = (H - h) / 2;
      return Fold(
          Screen(W, H),
          {P({{0, cy - ey}, {ex, cy}, {0, cy + ey}}), P({{W, cy - ey}, {W - ex, cy}, {W, cy + ey}}),
           P({{cx - ex, 0}, {cx, ey}, {cx + ex, 0}}),
           P({{cx - ex, H}, {cx, H - ey}, {cx + ex, H}})},
          RegionOp::Xor);
    }
    case 161:
      return Fold(P({{cx, cy}, {0, 0}, {0, h}}),
                  {P({{cx, cy}, {0, H}, {w, H}}), P({{cx, cy}, {W, H}, {W, H - h}}),
                   P({{cx, cy}, {W, 0}, {W - w, 0}})},
                  RegionOp::Or);
    case 162:
    case 163: {
      const bool vertical = n == 163;
      const int32_t step = vertical ? H / 10 : W / 10;
      const int32_t k = vertical ? W / 10 : H / 10;
      const int32_t centre = vertical ? cx : cy;
      const int32_t c = ModelMulDiv(k, Pc, 100) + (vertical ? hw : hh);
      const int32_t v0 = centre + k - c, v1 = centre - k - c, v2 = centre + k + c,
                    v3 = centre - k + c;
      std::vector<Point> pts;
      for (int32_t i = 0; i <= 11; ++i) {
        const int32_t v = i % 2 == 0 ? v0 : v1;
        pts.push_back(vertical ? Point{v, i * step} : Point{i * step, v});
      }
      for (int32_t i = 11; i >= 0; --i) {
        const int32_t v = i % 2 == 0 ? v2 : v3;
        pts.push_back(vertical ? Point{v, i * step} : Point{i * step, v});
      }
      return Region::Polygon(pts, FillMode::Winding);
    }
    case 164: {
      const int32_t k = std::min(W, H) / 10 + 1, b = ModelMulDiv(k, Pc, 50);
      std::optional<Region> all;
      for (int32_t x = k; x - k < W; x += 2 * k) {
        for (int32_t y = k; y - k < H; y += 2 * k) {
          Region d = P({{x - b, y}, {x, y - b}, {x + b, y}, {x, y + b}});
          if (all)
            all->Combine(d, RegionOp::Or);
          else
            all = std::move(d);
        }
      }
      return all;
    }
    case 165:
      return P({{cx - w, cy}, {cx, cy - h}, {cx + w, cy}, {cx, cy + h}});
    case 166:
      return Fold(Screen(W, H),
                  {P({{w - cx, cy}, {cx, h - cy}, {3 * cx - w, cy}, {cx, 3 * cy - h}})},
                  RegionOp::Xor);
    case 167:
      return Fold(P({{-(w / 2), cy}, {cx, -(h / 2)}, {2 * cx + w / 2, cy}, {cx, 2 * cy + h / 2}}),
                  {P({{w / 2, cy}, {cx, h / 2}, {2 * cx - w / 2, cy}, {cx, 2 * cy - h / 2}})},
                  RegionOp::Xor);
    default:
      ADD_FAILURE() << "no model for effect " << n;
      return std::nullopt;
  }
}

struct ModelSize {
  int32_t W, H;
};

constexpr ModelSize kModelSizes[] = {{320, 240}, {241, 321}, {640, 480}, {53, 37},
                                     {199, 20},  {21, 77},   {1001, 99}, {160, 161}};
constexpr int32_t kModelPercents[] = {0, 1, 7, 13, 25, 33, 49, 50, 51, 66, 75, 87, 99, 100};

TEST(ShapeEffectModel, EveryMemberMatchesShapesMadeWhereTheyStand) {
  ASSERT_EQ(std::fegetround(), FE_TONEAREST);
  for (const ModelSize size : kModelSizes) {
    const int32_t W = size.W, H = size.H;
    const BottomUpBitmap newBmp = NewPicture(W, H);
    const BottomUpBitmap oldBmp = OldPicture(W, H);
    for (const int32_t Pc : kModelPercents) {
      int32_t w = 0, h = 0;
      ScaledExtents(W, H, Pc, w, h);
      for (const Effect& effect : EffectsDrawnBy(ShapeRoutines())) {
        const std::optional<Region> region = ModelShape(effect.number, W, H, w, h, Pc);
        BottomUpBitmap expected = oldBmp;
        RevealThroughRegion(EffectFrame{expected, newBmp, W, H, 0, 0, 0}, region);
        BottomUpBitmap work = oldBmp;
        effect.Draw(EffectFrame{work, newBmp, W, H, w, h, Pc});
        EXPECT_TRUE(work == expected)
            << "effect " << effect.number << " at " << SizeName(W, H) << " " << Pc << "%";
      }
    }
  }
}

}  // namespace
}  // namespace vec

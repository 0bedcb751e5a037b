#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Region.h"

namespace vec {
namespace {

// The region inside [0, w) x [0, h) as rows of '#' and '.'.
std::vector<std::string> Mask(const Region& r, int w, int h) {
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += r.Contains(x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

int64_t Area(const Region& r) {
  int64_t a = 0;
  for (const Rect& t : r.Rects()) a += int64_t{t.Width()} * t.Height();
  return a;
}

// Banded form: sorted by top then left, rectangles of one band share top and bottom,
// bands do not overlap, rectangles in a band neither overlap nor touch.
void ExpectBanded(const Region& r) {
  const auto& v = r.Rects();
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_FALSE(v[i].IsEmpty());
    if (i == 0) continue;
    const Rect& a = v[i - 1];
    const Rect& b = v[i];
    if (a.top == b.top) {
      EXPECT_EQ(a.bottom, b.bottom);
      EXPECT_LT(a.right, b.left);
    } else {
      EXPECT_GE(b.top, a.bottom);
    }
  }
}

struct ShapeCase {
  const char* name;
  Region region;
  int w, h;
  std::vector<std::string> expected;
};

class ShapeTest : public testing::TestWithParam<ShapeCase> {};

TEST_P(ShapeTest, PixelsMatchHandRasterisedShape) {
  const ShapeCase& c = GetParam();
  EXPECT_EQ(Mask(c.region, c.w, c.h), c.expected);
  ExpectBanded(c.region);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ShapeTest,
    testing::Values(
        ShapeCase{"Ellipse5x5",
                  Region::Ellipse(0, 0, 5, 5),
                  6,
                  6,
                  {".##...", "####..", "####..", ".##...", "......", "......"}},
        ShapeCase{"EllipseReversedBox",
                  Region::Ellipse(5, 5, 0, 0),
                  6,
                  6,
                  {".##...", "####..", "####..", ".##...", "......", "......"}},
        ShapeCase{"Ellipse6x4OddHeight",
                  Region::Ellipse(0, 0, 6, 4),
                  7,
                  4,
                  {".###...", "#####..", ".###...", "......."}},
        ShapeCase{"Ellipse2x2IsOnePixel", Region::Ellipse(0, 0, 2, 2), 3, 3, {"#..", "...", "..."}},
        ShapeCase{"EllipseOneWideIsEmpty",
                  Region::Ellipse(0, 0, 1, 5),
                  3,
                  5,
                  {"...", "...", "...", "...", "..."}},
        ShapeCase{"RoundRect10Corners4",
                  Region::RoundRect(0, 0, 10, 10, 4, 4),
                  10,
                  10,
                  {".#######..", "#########.", "#########.", "#########.", "#########.",
                   "#########.", "#########.", "#########.", ".#######..", ".........."}},
        ShapeCase{"RoundRectNegativeCorners",
                  Region::RoundRect(0, 0, 10, 10, -4, -4),
                  10,
                  10,
                  {".#######..", "#########.", "#########.", "#########.", "#########.",
                   "#########.", "#########.", "#########.", ".#######..", ".........."}},
        ShapeCase{"RoundRectThinCornerIsRectangle",
                  Region::RoundRect(1, 1, 5, 4, 1, 8),
                  6,
                  5,
                  {"......", ".###..", ".###..", "......", "......"}},
        ShapeCase{"RoundRectOddCornerHeight",
                  Region::RoundRect(0, 0, 8, 8, 5, 5),
                  8,
                  8,
                  {".#####..", "#######.", "#######.", "#######.", "#######.", "#######.",
                   ".#####..", "........"}},
        ShapeCase{"TriangleLeftTopInsideRightBottomOutside",
                  Region::Polygon(std::vector<Point>{{0, 0}, {4, 0}, {0, 4}}),
                  5,
                  5,
                  {"####.", "###..", "##...", "#....", "....."}},
        ShapeCase{"PolygonFractionalCut",
                  Region::Polygon(std::vector<Point>{{0, 0}, {3, 0}, {0, 2}}),
                  4,
                  3,
                  {"###.", "##..", "...."}},
        ShapeCase{"PolygonRightEdgeCeil",
                  Region::Polygon(std::vector<Point>{{1, 0}, {2, 0}, {5, 3}, {1, 3}}),
                  6,
                  3,
                  {".#....", ".##...", ".###.."}},
        ShapeCase{"DiamondCounterClockwise",
                  Region::Polygon(std::vector<Point>{{2, 0}, {0, 2}, {2, 4}, {4, 2}}),
                  5,
                  5,
                  {".....", ".##..", "####.", ".##..", "....."}}),
    [](const testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

// Pixels inside bounds of different width and height: a count clipped on the wrong axis or
// not clipped at all shows. The ellipse is counted pixel by pixel with Contains.
TEST(RegionPixelsWithin, CountsOnlyThePixelsInsideTheBounds) {
  const Region two = Region::FromRects(std::vector<Rect>{{-2, 1, 3, 4}, {5, 1, 12, 4}});
  EXPECT_EQ(two.PixelsWithin({0, 0, 10, 3}), 3 * 2 + 5 * 2);
  EXPECT_EQ(two.PixelsWithin({0, 0, 3, 10}), 3 * 3);
  EXPECT_EQ(two.PixelsWithin({20, 20, 30, 30}), 0);
  const Region ellipse = Region::Ellipse(-4, 3, 23, 17);
  const Rect bounds{0, 0, 15, 11};
  int64_t counted = 0;
  for (int32_t y = bounds.top; y < bounds.bottom; ++y)
    for (int32_t x = bounds.left; x < bounds.right; ++x) counted += ellipse.Contains(x, y);
  EXPECT_GT(counted, 0);
  EXPECT_EQ(ellipse.PixelsWithin(bounds), counted);
}

TEST(RegionShapes, RectanglePolygonEqualsRectRegion) {
  const std::vector<Point> pts{{2, 3}, {7, 3}, {7, 8}, {2, 8}};
  EXPECT_EQ(Region::Polygon(pts), Region::FromRect(2, 3, 7, 8));
  EXPECT_EQ(Region::Polygon(pts, FillMode::Alternate), Region::FromRect(2, 3, 7, 8));
}

TEST(RegionShapes, WindingFillsTwiceTracedPathAlternateDoesNot) {
  const std::vector<Point> twice{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}, {0, 4}};
  EXPECT_EQ(Region::Polygon(twice, FillMode::Winding), Region::FromRect(0, 0, 4, 4));
  EXPECT_TRUE(Region::Polygon(twice, FillMode::Alternate).IsEmpty());
}

TEST(RegionShapes, StarCentreDependsOnFillMode) {
  // Pentagram drawn point to point: the centre pentagon has winding number 2.
  const std::vector<Point> star{{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  EXPECT_TRUE(Region::Polygon(star, FillMode::Winding).Contains(50, 50));
  EXPECT_FALSE(Region::Polygon(star, FillMode::Alternate).Contains(50, 50));
  EXPECT_TRUE(Region::Polygon(star, FillMode::Alternate).Contains(50, 10));
}

TEST(RegionShapes, SteepEdgeCutExactlyAtIntegers) {
  // Edge from (0, 0) to (7, 49): at y = 7k the cut is exactly x = k, which must not round up.
  const Region r = Region::Polygon(std::vector<Point>{{0, 0}, {7, 49}, {20, 49}, {20, 0}});
  for (int k = 0; k < 7; ++k) {
    EXPECT_TRUE(r.Contains(k, 7 * k)) << k;
    if (k > 0) {
      EXPECT_FALSE(r.Contains(k - 1, 7 * k)) << k;
    }
  }
}

TEST(RegionShapes, DegenerateInputsGiveEmptyRegions) {
  EXPECT_TRUE(Region::Polygon(std::vector<Point>{{0, 0}, {5, 5}}).IsEmpty());
  EXPECT_TRUE(Region::Polygon(std::vector<Point>{{0, 0}, {5, 0}, {9, 0}}).IsEmpty());
  EXPECT_TRUE(Region::RoundRect(3, 3, 3, 9, 4, 4).IsEmpty());
  EXPECT_TRUE(Region::RoundRect(0, 0, 1, 1, 4, 4).IsEmpty());
  EXPECT_TRUE(Region::FromRect(5, 0, 2, 4).IsEmpty());
}

TEST(RegionShapes, HugeCoordinatesStayBounded) {
  const Region e = Region::Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_TRUE(e.Contains(0, 0));
  const Region p = Region::Polygon(
      std::vector<Point>{{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {0, INT32_MAX}});
  EXPECT_TRUE(p.Contains(0, 0));
}

TEST(RegionShapes, EllipsesAreSymmetric) {
  for (int w = 2; w < 24; ++w) {
    for (int h = 2; h < 24; h += 3) {
      const Region e = Region::Ellipse(0, 0, w, h);
      for (int y = 0; y < h - 1; ++y) {
        for (int x = 0; x < w - 1; ++x) {
          ASSERT_EQ(e.Contains(x, y), e.Contains(w - 2 - x, y)) << w << "x" << h;
          ASSERT_EQ(e.Contains(x, y), e.Contains(x, h - 2 - y)) << w << "x" << h;
        }
      }
      // The widest row and column reach the box edges.
      EXPECT_TRUE(e.Contains(0, (h - 2) / 2)) << w << "x" << h;
      EXPECT_TRUE(e.Contains((w - 2) / 2, 0)) << w << "x" << h;
      EXPECT_EQ(e.Bounds(), (Rect{0, 0, w - 1, h - 1})) << w << "x" << h;
    }
  }
}

TEST(RegionShapes, RoundRectCornersAreEllipseQuadrants) {
  // Each corner of a rounded rectangle is the matching quadrant of the ellipse whose
  // box is the corner size; the straight parts between them are full.
  for (auto [ew, eh] : std::vector<std::pair<int, int>>{{8, 4}, {5, 7}, {2, 2}, {3, 9}, {12, 12}}) {
    const int l = 3, t = 2, r = 30, b = 25;  // box after the edge adjustment: 3..28, 2..23
    const Region rr = Region::RoundRect(l, t, r, b, ew, eh);
    const Region e = Region::Ellipse(0, 0, ew + 1, eh + 1);
    const int bw = r - 1 - l, bh = b - 1 - t;
    for (int y = 0; y < (eh + 1) / 2; ++y) {
      for (int x = 0; x < (ew + 1) / 2; ++x) {
        const bool in = e.Contains(x, y);
        ASSERT_EQ(rr.Contains(l + x, t + y), in) << ew << "x" << eh << " at " << x << "," << y;
        ASSERT_EQ(rr.Contains(l + bw - 1 - x, t + y), in);
        ASSERT_EQ(rr.Contains(l + x, t + bh - 1 - y), in);
        ASSERT_EQ(rr.Contains(l + bw - 1 - x, t + bh - 1 - y), in);
      }
    }
    EXPECT_TRUE(rr.Contains(l + bw / 2, t));
    EXPECT_TRUE(rr.Contains(l, t + bh / 2));
    EXPECT_FALSE(rr.Contains(l + bw, t + bh / 2));
    EXPECT_FALSE(rr.Contains(l + bw / 2, t + bh));
  }
}

TEST(RegionRects, UnsortedOverlappingAndEmptyRectangles) {
  const std::vector<Rect> rects{
      {5, 5, 8, 8}, {0, 0, 4, 4}, {2, 2, 6, 6}, {3, 3, 3, 9}, {9, 0, 1, 1}};
  const Region r = Region::FromRects(rects);
  ExpectBanded(r);
  EXPECT_EQ(Area(r), 16 + 16 + 9 - 4 - 1);
  EXPECT_TRUE(r.Contains(7, 7));
  EXPECT_FALSE(r.Contains(7, 2));
  EXPECT_EQ(r.Bounds(), (Rect{0, 0, 8, 8}));
  EXPECT_TRUE(Region::FromRects(std::vector<Rect>{{1, 1, 1, 5}}).IsEmpty());
}

TEST(RegionRects, OrderDoesNotMatter) {
  std::vector<Rect> rects;
  for (int i = 0; i < 50; ++i)
    rects.push_back(
        {(i * 37) % 90, (i * 53) % 70, (i * 37) % 90 + 7 + i % 5, (i * 53) % 70 + 3 + i % 7});
  std::vector<Rect> reversed(rects.rbegin(), rects.rend());
  EXPECT_EQ(Region::FromRects(rects), Region::FromRects(reversed));
}

// Lists whose rectangles each span a few start and end rows take the row sweep, strips
// that start and end on rows of their own the general path; both against the union built
// one rectangle at a time. The cases hold runs of identical rows that must join into one
// band, rows left empty between rectangles (the bands on either side must stay apart),
// spans that only touch (they merge), empty and far-apart rectangles, rows of squares
// overlapping by half (taller than the outlines, still the sweep), and side-by-side strips
// of different lengths (the general path). Catches an event row missed by the sweep,
// identical rows across a gap joined into one band, and touching spans left apart.
TEST(RegionRects, SweepMatchesTheUnionOneRectangleAtATime) {
  struct Case {
    const char* what;
    std::vector<Rect> rects;
  };
  std::vector<Case> cases = {
      {"touching spans, stacked rows", {{0, 0, 4, 1}, {4, 0, 9, 1}, {0, 1, 9, 2}, {2, 2, 5, 3}}},
      {"identical rows across a gap", {{1, 0, 6, 2}, {1, 3, 6, 5}}},
      {"empty and far apart", {{3, 3, 3, 9}, {0, -1000000, 2, -999999}, {5, 70000, 9, 70001}}},
      {"one tall among short", {{0, 0, 2, 40}, {5, 3, 9, 4}, {1, 7, 3, 8}}},
  };
  // Diamonds in a grid that overlap, as the shred effects place them: one-row rectangles.
  Case diamonds{"overlapping diamonds", {}};
  for (int cx = 5; cx < 60; cx += 11)
    for (int cy = 4; cy < 40; cy += 9)
      for (int dy = -7; dy < 7; ++dy) {
        const int half = 7 - (dy < 0 ? -dy - 1 : dy);
        diamonds.rects.push_back({cx - half, cy + dy, cx + half + 1, cy + dy + 1});
      }
  cases.push_back(diamonds);
  Case irregular{"irregular short rectangles", {}};
  for (int i = 0; i < 200; ++i)
    irregular.rects.push_back(
        {(i * 37) % 90, (i * 53) % 70, (i * 37) % 90 + 1 + i % 9, (i * 53) % 70 + 1 + i % 3});
  cases.push_back(irregular);
  // Rows of 9 x 9 squares every 4 rows, a run from the left edge and loose squares after it.
  Case squares{"rows of squares overlapping by half", {}};
  for (int row = 0; row < 60; row += 4) {
    squares.rects.push_back({0, row, 20 + row % 7, row + 9});
    for (int i = 1; i < 8; ++i)
      if ((row * 7 + i * 3) % 5 < 2)
        squares.rects.push_back({20 + 9 * i, row, 29 + 9 * i, row + 9});
  }
  cases.push_back(squares);
  // Strips 3 wide, each reaching a different row up and down from a middle row.
  Case strips{"strips of different lengths", {}};
  for (int i = 0; i < 60; ++i) {
    const int reach = 20 + (i * 37) % 23;
    strips.rects.push_back({3 * i, 50 - reach, 3 * i + 3, 50});
    strips.rects.push_back({3 * i, 50, 3 * i + 3, 50 + reach - i % 4});
  }
  cases.push_back(strips);
  for (const Case& c : cases) {
    const Region fast = Region::FromRects(c.rects);
    EXPECT_EQ(fast, reference::FromRects(c.rects)) << c.what;
    ExpectBanded(fast);
  }
}

struct CombineCase {
  const char* name;
  RegionOp op;
  bool (*rule)(bool, bool);
};

class CombineTest : public testing::TestWithParam<CombineCase> {};

TEST_P(CombineTest, MatchesPixelwiseRule) {
  const Region a = Region::Ellipse(0, 0, 12, 9);
  const Region b = Region::FromRects(std::vector<Rect>{{4, 2, 14, 6}, {1, 7, 3, 12}});
  Region r = a;
  r.Combine(b, GetParam().op);
  ExpectBanded(r);
  for (int y = -1; y < 14; ++y) {
    for (int x = -1; x < 16; ++x) {
      EXPECT_EQ(r.Contains(x, y), GetParam().rule(a.Contains(x, y), b.Contains(x, y)))
          << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ops, CombineTest,
    testing::Values(CombineCase{"And", RegionOp::And, [](bool a, bool b) { return a && b; }},
                    CombineCase{"Or", RegionOp::Or, [](bool a, bool b) { return a || b; }},
                    CombineCase{"Xor", RegionOp::Xor, [](bool a, bool b) { return a != b; }},
                    CombineCase{"Diff", RegionOp::Diff, [](bool a, bool b) { return a && !b; }},
                    CombineCase{"Copy", RegionOp::Copy, [](bool, bool b) { return b; }}),
    [](const testing::TestParamInfo<CombineCase>& info) { return std::string(info.param.name); });

TEST(RegionCombine, ResultsAreCanonical) {
  // The same set built two ways compares equal.
  Region a = Region::FromRect(0, 0, 4, 4);
  a.Combine(Region::FromRect(4, 0, 8, 4), RegionOp::Or);
  EXPECT_EQ(a, Region::FromRect(0, 0, 8, 4));
  Region b = Region::FromRect(0, 0, 8, 8);
  b.Combine(Region::FromRect(0, 4, 8, 8), RegionOp::Diff);
  EXPECT_EQ(b, Region::FromRect(0, 0, 8, 4));
}

TEST(RegionCombine, OffsetMovesEveryRectangle) {
  Region r = Region::Ellipse(0, 0, 7, 5);
  const Region before = r;
  r.Offset(10, -3);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(before.Contains(x, y), r.Contains(x + 10, y - 3));
  }
}

}  // namespace
}  // namespace vec

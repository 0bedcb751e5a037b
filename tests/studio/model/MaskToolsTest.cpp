#include <gtest/gtest.h>

#include "studio/model/MaskTools.h"
#include "tests/studio/StudioTestSupport.h"

namespace vec::studio {
namespace {

using test::Block;
using test::PixelsOf;

TEST(MaskToolsTest, BrushStrokeOfSizeFiveSetsTheHandWorkedPixels) {
  AreaMask mask(64, 40);
  MaskEdit edit(mask);
  const Rect painted = PaintSegment(edit, {10, 10}, {50, 10}, 5, 2);
  EXPECT_EQ(PixelsOf(mask, 2), test::HandWorkedStroke());
  EXPECT_EQ(PixelsOf(mask, 2).size(), 221u);
  EXPECT_EQ(painted, (Rect{8, 8, 53, 13}));
}

// The brush's footprint at one point, by size: the pixel centres within size / 2.
struct Footprint {
  int32_t size;
  size_t pixels;
  std::set<std::pair<int32_t, int32_t>> ring;  // some pixels that must be in, around (20, 20)
  std::set<std::pair<int32_t, int32_t>> outside;
};

TEST(MaskToolsTest, BrushFootprintsByHand) {
  const Footprint cases[] = {
      {1, 1, {{20, 20}}, {{21, 20}, {20, 21}}},
      // r = 1: the plus sign; the diagonal is sqrt 2 away.
      {2, 5, {{21, 20}, {20, 19}}, {{21, 21}}},
      // r = 1.5: the 3 x 3 square (diagonal 1.41).
      {3, 9, {{21, 21}, {19, 19}}, {{22, 20}}},
      // r = 2: the square and one more pixel on each axis.
      {4, 13, {{22, 20}, {20, 18}}, {{22, 21}}},
      // r = 2.5: 5 + 2 x 5 + 2 x 3.
      {5, 21, {{22, 21}, {21, 22}}, {{22, 22}, {23, 20}}},
  };
  for (const Footprint& c : cases) {
    AreaMask mask(40, 40);
    MaskEdit edit(mask);
    PaintSegment(edit, {20, 20}, {20, 20}, c.size, 3);
    const auto got = PixelsOf(mask, 3);
    EXPECT_EQ(got.size(), c.pixels) << "size " << c.size;
    for (const auto& p : c.ring) EXPECT_TRUE(got.count(p)) << "size " << c.size;
    for (const auto& p : c.outside) EXPECT_FALSE(got.count(p)) << "size " << c.size;
  }
}

TEST(MaskToolsTest, ThinStrokesFollowTheirAxis) {
  AreaMask mask(30, 40);
  MaskEdit edit(mask);
  PaintSegment(edit, {10, 5}, {10, 30}, 1, 1);
  EXPECT_EQ(PixelsOf(mask, 1), Block(10, 5, 10, 30));
  PaintSegment(edit, {2, 2}, {6, 6}, 1, 4);
  EXPECT_EQ(PixelsOf(mask, 4),
            (std::set<std::pair<int32_t, int32_t>>{{2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}}));
}

TEST(MaskToolsTest, StrokePastTheEdgeIsClippedAndTheEraserClears) {
  AreaMask mask(20, 10);
  MaskEdit edit(mask);
  const Rect painted = PaintSegment(edit, {-5, 0}, {25, 0}, 3, 1);
  EXPECT_EQ(PixelsOf(mask, 1), Block(0, 0, 19, 1));
  EXPECT_EQ(painted, (Rect{0, 0, 20, 2}));
  PaintSegment(edit, {5, 0}, {5, 0}, 1, 0);
  EXPECT_EQ(mask.At(5, 0), 0);
  EXPECT_EQ(mask.At(5, 1), 1);
}

TEST(MaskToolsTest, FloodFillStopsAtTheAreaBorder) {
  // A ring of area 1 (columns 5..15, rows 3..12) with no area inside and outside, and a
  // pixel of area 0 touching the ring's inside only diagonally through a gap at a corner.
  AreaMask mask(30, 20);
  {
    MaskEdit edit(mask);
    FillRectangle(edit, {5, 3}, {15, 12}, 1);
    FillRectangle(edit, {6, 4}, {14, 11}, 0);
  }
  MaskEdit edit(mask);
  const Rect painted = FloodFill(edit, {8, 6}, 3);
  EXPECT_EQ(PixelsOf(mask, 3), Block(6, 4, 14, 11));
  EXPECT_EQ(painted, (Rect{6, 4, 15, 12}));
  EXPECT_EQ(mask.At(5, 3), 1);
  EXPECT_EQ(mask.At(16, 3), 0);
  EXPECT_EQ(mask.At(0, 0), 0);

  // Filling the outside with area 2 leaves the ring and its inside alone.
  FloodFill(edit, {0, 19}, 2);
  EXPECT_EQ(PixelsOf(mask, 2).size(), 30u * 20u - 11u * 10u);
  EXPECT_EQ(PixelsOf(mask, 1).size(), 11u * 10u - 9u * 8u);
}

TEST(MaskToolsTest, FloodFillDoesNotLeakThroughADiagonal) {
  AreaMask mask(4, 4);
  MaskEdit edit(mask);
  // Area 1 on the anti-diagonal splits the no-area pixels into two corners.
  for (int i = 0; i < 4; ++i) mask.Set(3 - i, i, 1);
  FloodFill(edit, {0, 0}, 2);
  EXPECT_EQ(PixelsOf(mask, 2), (std::set<std::pair<int32_t, int32_t>>{
                                   {0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}}));
}

TEST(MaskToolsTest, FloodFillWithTheSameAreaOrOutsideDoesNothing) {
  AreaMask mask(8, 8);
  MaskEdit edit(mask);
  EXPECT_TRUE(FloodFill(edit, {2, 2}, 0).IsEmpty());
  EXPECT_TRUE(FloodFill(edit, {-1, 2}, 1).IsEmpty());
  EXPECT_TRUE(FloodFill(edit, {2, 8}, 1).IsEmpty());
  EXPECT_TRUE(PixelsOf(mask, 1).empty());
}

TEST(MaskToolsTest, RectangleTakesBothCornersInAnyOrder) {
  AreaMask mask(20, 20);
  MaskEdit edit(mask);
  FillRectangle(edit, {12, 9}, {4, 2}, 4);
  EXPECT_EQ(PixelsOf(mask, 4), Block(4, 2, 12, 9));
}

TEST(MaskToolsTest, PolygonFillsByPixelCentresWithItsOutline) {
  AreaMask mask(20, 20);
  MaskEdit edit(mask);
  // The right triangle x >= 0, y >= 0, x + y <= 10: sum of 11 - y for y = 0..10.
  FillPolygon(edit, {{0, 0}, {10, 0}, {0, 10}}, 2);
  std::set<std::pair<int32_t, int32_t>> expected;
  for (int32_t y = 0; y <= 10; ++y)
    for (int32_t x = 0; x + y <= 10; ++x) expected.insert({x, y});
  EXPECT_EQ(PixelsOf(mask, 2), expected);
  EXPECT_EQ(expected.size(), 66u);

  // A polygon folded flat still paints its edge.
  AreaMask flat(20, 20);
  MaskEdit flatEdit(flat);
  FillPolygon(flatEdit, {{3, 5}, {9, 5}}, 1);
  EXPECT_EQ(PixelsOf(flat, 1), Block(3, 5, 9, 5));
}

TEST(MaskEditTest, FinishKeepsOnlyTilesThatChanged) {
  AreaMask mask(200, 100);
  MaskEdit edit(mask);
  edit.Keep({64, 64, 70, 70});  // kept, never painted
  mask.Set(150, 10, 1);         // painted, never kept: not the edit's
  edit.Keep({0, 0, 1, 1});
  mask.Set(0, 0, 2);
  const MaskPatch patch = edit.Finish();
  ASSERT_EQ(patch.tiles.size(), 1u);
  EXPECT_EQ(patch.tiles[0].rect, (Rect{0, 0, 64, 64}));
  EXPECT_EQ(patch.bounds, (Rect{0, 0, 64, 64}));
  AreaMask copy = mask;
  ApplyPatch(patch, false, copy);
  EXPECT_EQ(copy.At(0, 0), 0);
  EXPECT_EQ(copy.At(150, 10), 1);
  ApplyPatch(patch, true, copy);
  EXPECT_EQ(copy, mask);
}

TEST(MaskEditTest, EdgeTilesAreCutToTheMask) {
  AreaMask mask(70, 65);
  MaskEdit edit(mask);
  edit.Keep({60, 60, 200, 200});
  mask.Set(69, 64, 3);
  const MaskPatch patch = edit.Finish();
  ASSERT_EQ(patch.tiles.size(), 1u);
  EXPECT_EQ(patch.tiles[0].rect, (Rect{64, 64, 70, 65}));
  EXPECT_EQ(patch.tiles[0].after.size(), 6u);
}

}  // namespace
}  // namespace vec::studio

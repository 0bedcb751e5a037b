#include <gtest/gtest.h>

#include "tests/transitions/ComplexRegionTestSupport.h"
#include "transitions/ComplexRegion.h"

namespace vec {
namespace {

using namespace testing_support;

TEST(ComplexRegion, NothingAddedGivesNoRegionAndEmptyBounds) {
  ComplexRegion rgn;
  EXPECT_FALSE(rgn.CreateRegion().has_value());
  EXPECT_EQ(rgn.Count(), 0);
  EXPECT_EQ(rgn.Bounds(), (Rect{2147483647, 2147483647, -2147483647, -2147483647}));
}

TEST(ComplexRegion, EmptyRectanglesStillGiveAnEmptyRegion) {
  ComplexRegion rgn;
  rgn.AddRect(10, 0, 10, 5);  // left not below right
  rgn.AddRect(0, 7, 5, 3);    // top below bottom
  const auto region = rgn.CreateRegion();
  ASSERT_TRUE(region.has_value());
  EXPECT_TRUE(region->IsEmpty());
  EXPECT_EQ(rgn.Bounds(), (Rect{0, 0, 10, 5}));
}

TEST(ComplexRegion, UnionOfOverlappingAndOutsideRectangles) {
  ComplexRegion rgn;
  rgn.AddRect(0, 0, 4, 4);
  rgn.AddRect(2, 2, 6, 6);
  rgn.AddRect(-10, -10, -5, -5);
  const auto region = rgn.CreateRegion();
  ASSERT_TRUE(region.has_value());
  EXPECT_TRUE(region->Contains(0, 0));
  EXPECT_TRUE(region->Contains(5, 5));
  EXPECT_TRUE(region->Contains(3, 1));
  EXPECT_FALSE(region->Contains(5, 0));
  EXPECT_TRUE(region->Contains(-6, -6));
  EXPECT_EQ(rgn.Bounds(), (Rect{-10, -10, 6, 6}));
}

TEST(ComplexRegion, GrowsPastManyRectanglesAndClears) {
  ComplexRegion rgn;
  for (int32_t i = 0; i < 1234; ++i) rgn.AddRect(i, 0, i + 1, 1 + i % 3);
  EXPECT_EQ(rgn.Count(), 1234);
  const auto region = rgn.CreateRegion();
  ASSERT_TRUE(region.has_value());
  EXPECT_EQ(region->Bounds(), (Rect{0, 0, 1234, 3}));
  EXPECT_TRUE(region->Contains(1233, 0));
  EXPECT_FALSE(region->Contains(1233, 1));  // 1233 % 3 == 0: one row only

  rgn.Clear();
  EXPECT_EQ(rgn.Count(), 0);
  EXPECT_FALSE(rgn.CreateRegion().has_value());
  EXPECT_EQ(rgn.Bounds().left, ComplexRegion::kEmptyLow);
}

TEST(RevealThroughRegion, CopiesNewOnlyInsideAndUnclips) {
  const BottomUpBitmap newBmp = NewPicture(40, 30);
  BottomUpBitmap work = OldPicture(40, 30);
  ComplexRegion rgn;
  rgn.AddRect(5, 6, 15, 16);
  rgn.AddRect(30, -5, 60, 3);  // partly outside
  RevealThroughRegion(EffectFrame{work, newBmp, 40, 30, 0, 0, 0}, rgn.CreateRegion());
  EXPECT_FALSE(work.ClipRegion().has_value());
  const Coverage c = Measure(work);
  EXPECT_EQ(c.wrong, 0);
  EXPECT_EQ(c.fromNew, 10 * 10 + 10 * 3);
  EXPECT_TRUE(ShowsNew(work, 5, 6));
  EXPECT_TRUE(ShowsNew(work, 14, 15));
  EXPECT_FALSE(ShowsNew(work, 15, 15));
  EXPECT_TRUE(ShowsNew(work, 39, 0));
}

TEST(RevealThroughRegion, NoRegionKeepsOld) {
  const BottomUpBitmap newBmp = NewPicture(20, 10);
  BottomUpBitmap work = OldPicture(20, 10);
  RevealThroughRegion(EffectFrame{work, newBmp, 20, 10, 0, 0, 0}, ComplexRegion().CreateRegion());
  EXPECT_EQ(work, OldPicture(20, 10));
  EXPECT_FALSE(work.ClipRegion().has_value());
}

TEST(RevealThroughRegion, DrawingAndCopyingGiveTheSamePixels) {
  const BottomUpBitmap newBmp = NewPicture(33, 21);
  const Region region = Region::Ellipse(-3, 2, 25, 30);
  BottomUpBitmap copied = OldPicture(33, 21), drawn = OldPicture(33, 21);
  RevealThroughRegion(EffectFrame{copied, newBmp, 33, 21, 0, 0, 0}, &region);
  RevealThroughRegionByDraw(EffectFrame{drawn, newBmp, 33, 21, 0, 0, 0}, &region);
  EXPECT_EQ(copied, drawn);
  EXPECT_FALSE(drawn.ClipRegion().has_value());
  EXPECT_GT(Measure(drawn).fromNew, 0);
}

}  // namespace
}  // namespace vec

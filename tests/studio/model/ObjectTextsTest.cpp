#include <gtest/gtest.h>

#include "studio/model/ObjectTexts.h"

namespace vec::studio {
namespace {

const char* const kThree =
    "; birds over the bay\r\n"
    "[Obj0]\r\nObjType=GIF\r\nFilename=gull.gif\r\nMotion=1\r\nCustomKey=kept\r\n"
    "[Obj1]\r\nObjType=IMG\r\nFilename=boat.bmp\r\nMotion = 3\r\n"
    "[Obj2]\r\nObjType=IMG\r\nFilename=leaf.bmp\r\nMotion=9\r\n";

TEST(ObjectTextsTest, AKeyIsChangedInItsLineAndEveryOtherLineStays) {
  const std::string text = WithObjectKey(kThree, 1, "Motion", 5, false);
  std::string expected = kThree;
  expected.replace(expected.find("Motion = 3"), 10, "Motion=5");
  EXPECT_EQ(text, expected);
  EXPECT_EQ(ObjectsOf(text)[1].Motion, 5);
  // A flag is stored as 1 or 0, and read back as the show reads it.
  const std::string flagged = WithObjectKey(text, 2, "RestrictArea", 7, true);
  EXPECT_NE(
      flagged.find("[Obj2]\r\nObjType=IMG\r\nFilename=leaf.bmp\r\nMotion=9\r\nRestrictArea=1"),
      std::string::npos);
  EXPECT_TRUE(ObjectsOf(flagged)[2].RestrictArea);
  EXPECT_FALSE(ObjectsOf(WithObjectKey(flagged, 2, "RestrictArea", 0, true))[2].RestrictArea);
}

TEST(ObjectTextsTest, ANewObjectTakesTheFirstFreeSectionAndStartsWhereItWasPut) {
  int32_t section = -1;
  const std::string text = WithNewObject(kThree, ObjectType::Image, "buoy.bmp", {40, 25}, section);
  EXPECT_EQ(section, 3);
  const auto objects = ObjectsOf(text);
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(objects[3].Filename, "buoy.bmp");
  EXPECT_EQ(objects[3].type, ObjectType::Image);
  EXPECT_EQ(objects[3].PosLeftType, 0);
  EXPECT_EQ(objects[3].PosLeft, 40);
  EXPECT_EQ(objects[3].PosTop, 25);
  EXPECT_EQ(objects[3].Motion, 1);
  // In an empty text, the first object is Obj0.
  EXPECT_EQ(ObjectsOf(WithNewObject("", ObjectType::Gif, "a.gif", {1, 2}, section)).size(), 1u);
  EXPECT_EQ(section, 0);
}

TEST(ObjectTextsTest, RemovingAnObjectMovesTheLaterOnesDownSoAllAreStillRead) {
  const std::string text = WithoutObject(kThree, 0);
  const auto objects = ObjectsOf(text);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].Filename, "boat.bmp");
  EXPECT_EQ(objects[0].sectionNumber, 0);
  EXPECT_EQ(objects[0].Motion, 3);
  EXPECT_EQ(objects[1].Filename, "leaf.bmp");
  EXPECT_EQ(objects[1].sectionNumber, 1);
  EXPECT_EQ(ObjectsOf(WithoutObject(text, 1)).size(), 1u);
  EXPECT_EQ(text.find("[Obj2]"), std::string::npos);
}

TEST(ObjectTextsTest, PlacingSetsTheStoredPositionRuleOnBothAxes) {
  const std::string moved =
      WithObjectKey(WithObjectKey(kThree, 2, "PosLeftType", 4, false), 2, "PosTopType", 2, false);
  const auto o = ObjectsOf(WithObjectPlaced(moved, 2, {17, 9}))[2];
  EXPECT_EQ(o.PosLeftType, 0);
  EXPECT_EQ(o.PosTopType, 0);
  EXPECT_EQ(o.PosLeft, 17);
  EXPECT_EQ(o.PosTop, 9);
}

}  // namespace
}  // namespace vec::studio

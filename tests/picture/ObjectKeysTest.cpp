// Object sections into entry data, with the defaults of absent keys.

#include <gtest/gtest.h>

#include "picture/Picture.h"

namespace vec {
namespace {

TEST(AnimObjects, AbsentKeysTakeTheirDefaults) {
  ObjectKeysList objects;
  objects.Load("[Obj0]\r\nObjType=IMG\r\n[Obj1]\r\nObjType=GIF\r\n");
  ASSERT_EQ(objects.Count(), 2);
  const ObjectKeys& img = objects[0];
  EXPECT_EQ(img.type, ObjectType::Image);
  EXPECT_EQ(img.sectionNumber, 0);
  ObjectKeys expected;
  expected.ObjType = "IMG";
  EXPECT_EQ(img, expected);  // every field at its documented default
  const ObjectKeys& gif = objects[1];
  EXPECT_EQ(gif.type, ObjectType::Gif);
  EXPECT_EQ(gif.TransparentType, 0);  // GIF default differs from IMG
  EXPECT_EQ(gif.AnimSpeed, 10);
}

TEST(AnimObjects, ReadsEveryKey) {
  ObjectKeysList objects;
  objects.Load(
      "[Obj0]\r\nObjType=GIF\r\nFilename=c:\\img\\bird.gif\r\nWidth=40\r\nHeight=30\r\n"
      "Scaled=0\r\nWidthSize=50\r\nHeightSize=75\r\nMoveAreaRectleft=1\r\nMoveAreaRecttop=2\r\n"
      "MoveAreaRectright=300\r\nMoveAreaRectbottom=200\r\nMotionAreaType=1\r\nRestrictArea=0\r\n"
      "Speed=3\r\nMotionSpeed=7\r\nMotion=5\r\nInitialDir=6\r\nPosLeftType=2\r\nPosTopType=3\r\n"
      "PosLeft=11\r\nPosTop=12\r\nObjFacing=0\r\nDirFlip=1\r\nOpacity=5\r\nDisplaySec=4\r\n"
      "DisplayDurationType=1\r\nDisplayDurationSec=9\r\nDIsplayDurationCycle=2\r\n"
      "Redisplay=0\r\nResetPos=0\r\nTransparent=0\r\nTransparentType=2\r\n"
      "TransparentColor=16711680\r\nAnimSpeed=11\r\nRefreshFrame=1\r\nInitialPos=3\r\n");
  ASSERT_EQ(objects.Count(), 1);
  const ObjectKeys& o = objects[0];
  EXPECT_EQ(o.Filename, "c:\\img\\bird.gif");
  EXPECT_EQ(o.Width, 40);
  EXPECT_EQ(o.Height, 30);
  EXPECT_TRUE(o.Scaled);  // always scaled
  EXPECT_EQ(o.WidthSize, 50);
  EXPECT_EQ(o.HeightSize, 75);
  EXPECT_EQ(o.MoveAreaRect(), (Rect{1, 2, 300, 200}));
  EXPECT_EQ(o.MotionAreaType, 1);
  EXPECT_FALSE(o.RestrictArea);
  EXPECT_EQ(o.Speed, 3);
  EXPECT_EQ(o.MotionSpeed, 7);
  EXPECT_EQ(o.Motion, 5);
  EXPECT_EQ(o.InitialDir, 6);
  EXPECT_EQ(o.PosLeftType, 2);
  EXPECT_EQ(o.PosTopType, 3);
  EXPECT_EQ(o.PosLeft, 11);
  EXPECT_EQ(o.PosTop, 12);
  EXPECT_EQ(o.ObjFacing, 0);
  EXPECT_TRUE(o.DirFlip);
  EXPECT_EQ(o.Opacity, 5);
  EXPECT_EQ(o.DisplaySec, 4);
  EXPECT_EQ(o.DisplayDurationType, 1);
  EXPECT_EQ(o.DisplayDurationSec, 9);
  EXPECT_EQ(o.DisplayDurationCycle, 2);
  EXPECT_FALSE(o.Redisplay);
  EXPECT_FALSE(o.ResetPos);
  EXPECT_FALSE(o.Transparent);
  EXPECT_EQ(o.TransparentType, 2);
  EXPECT_EQ(o.TransparentColor, 16711680);
  EXPECT_EQ(o.AnimSpeed, 11);
  EXPECT_TRUE(o.RefreshFrame);
}

TEST(AnimObjects, SectionsAreNumberedUpToTheSectionCount) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<int32_t> sections;
  };
  const Case cases[] = {
      {"unknown type skipped, later sections still read",
       "[Obj0]\r\nObjType=IMG\r\n[Obj1]\r\nObjType=PNG\r\n[Obj2]\r\nObjType=GIF\r\n",
       {0, 2}},
      {"type is case-sensitive", "[Obj0]\r\nObjType=gif\r\n[Obj1]\r\nObjType=IMG\r\n", {1}},
      {"numbers beyond the section count are not looked at",
       "[Obj0]\r\nObjType=IMG\r\n[Obj5]\r\nObjType=IMG\r\n",
       {0}},
      {"other sections count too", "[Info]\r\nx=1\r\n[Obj1]\r\nObjType=IMG\r\n", {1}},
      {"empty text", "", {}},
      {"no type", "[Obj0]\r\nFilename=a.bmp\r\n", {}},
  };
  for (const auto& c : cases) {
    ObjectKeysList objects;
    objects.Load(c.text);
    std::vector<int32_t> got;
    for (const auto& e : objects.entries) got.push_back(e.sectionNumber);
    EXPECT_EQ(got, c.sections) << c.name;
    EXPECT_EQ(objects.text, c.text);
  }
}

TEST(AnimObjects, LoadReplacesPreviousEntries) {
  ObjectKeysList objects;
  objects.Load("[Obj0]\r\nObjType=IMG\r\n");
  objects.Load("[Obj0]\r\nObjType=GIF\r\n");
  ASSERT_EQ(objects.Count(), 1);
  EXPECT_EQ(objects[0].type, ObjectType::Gif);
}

// The list's own text handed back (a picture whose text was set first, then parsed): the
// entries come from that text, not from the cleared list.
TEST(AnimObjects, ReloadsItsOwnText) {
  ObjectKeysList objects;
  objects.text = "[Obj0]\r\nObjType=IMG\r\nFilename=bird.bmp\r\n[Obj1]\r\nObjType=GIF\r\n";
  objects.Load(objects.text);
  ASSERT_EQ(objects.Count(), 2);
  EXPECT_EQ(objects[0].Filename, "bird.bmp");
  EXPECT_EQ(objects[1].type, ObjectType::Gif);
  EXPECT_EQ(objects.text.substr(0, 6), "[Obj0]");
}

TEST(ExtraInfo, BuildTextEndsAtANul) {
  ExtraInfo info;
  using namespace std::string_literals;
  info.Load("[BuildScr],Filename=a.scr\0,Music=1"s);
  EXPECT_EQ(info.BuildScr.Filename, "a.scr");
  EXPECT_FALSE(info.BuildScr.Music);
}

}  // namespace
}  // namespace vec

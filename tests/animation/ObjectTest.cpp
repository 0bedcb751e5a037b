#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include "animation/AnimatedObjectSet.h"
#include "animation/ImageObjects.h"
#include "animation/WaterEngine.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "graphics/Bmp.h"
#include "package/FileSearch.h"
#include "tests/animation/AnimTestSupport.h"

namespace vec::anim {
namespace {

using vec::testing::TempFolder;

// A GIF of equal-sized frames over a four-colour palette (red, green, blue, white).
void WriteGif(const std::string& path, int w, int h,
              const std::vector<std::vector<uint8_t>>& frames, int delayCs, int transparentIndex) {
  int err = 0;
  GifFileType* g = EGifOpenFileName(path.c_str(), false, &err);
  ASSERT_NE(g, nullptr);
  GifColorType colors[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colors);
  EGifSetGifVersion(g, true);
  EGifPutScreenDesc(g, w, h, 2, 0, map);
  for (const auto& f : frames) {
    GraphicsControlBlock gcb{};
    gcb.DelayTime = delayCs;
    gcb.TransparentColor = transparentIndex;
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    GifByteType ext[4];
    const size_t len = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext);
    EGifPutImageDesc(g, 0, 0, w, h, false, nullptr);
    std::vector<GifPixelType> row(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) row[static_cast<size_t>(x)] = f[static_cast<size_t>(y * w + x)];
      EGifPutLine(g, row.data(), w);
    }
  }
  GifFreeMapObject(map);
  EGifCloseFile(g, &err);
}

// A w x h still picture whose bottom-left pixel is `key` and the rest `fill`.
void WriteBmp(const std::string& path, int w, int h, Pixel fill, Pixel key) {
  BlendBitmap b(w, h);
  b.Clear(fill);
  b.SetPixel(0, h - 1, key);
  ASSERT_TRUE(SaveBmp32(b, path).ok());
}

const Pixel kRed = MakePixel(255, 0, 0), kGreen = MakePixel(0, 255, 0);

// An object stepped by the test on a fake clock, over a 200 x 100 design picture shown at
// 400 x 200.
struct ObjectRig {
  TempFolder folder{"objects"};
  FakeClock clock{1000000};
  AnimatedObjectSet objects;

  explicit ObjectRig(const std::string& keys) {
    WriteBmp(folder.Path() + "/bird.bmp", 10, 6, kRed, kGreen);
    objects.Load(keys);
    for (int32_t i = 0; i < objects.Count(); ++i) Prepare(objects[i]);
  }
  void Prepare(AnimatedObject& o) {
    o.SetMoveArea({0, 0, 400, 200});
    o.SetDesignSize(200, 100);
    o.SetClock(&clock);
    o.SetThreaded(false);
    o.SetPackageFolder(folder.Path());
  }
  AnimatedObject& First() { return objects[0]; }
  void Run(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += kStepIntervalMs) {
      clock.Advance(kStepIntervalMs);
      objects.StepAll();
    }
  }
};

std::string ImgSection(const std::string& extra) {
  return "[Obj0]\r\nObjType=IMG\r\nFilename=C:\\Art\\Bird.BMP\r\n" + extra;
}

TEST(AnimObjects, OnlyGifAndImgSectionsMakeObjectsEachReadingItsOwnSection) {
  AnimatedObjectSet list;
  list.Load(
      "[Obj0]\r\nObjType=IMG\r\nFilename=a.bmp\r\n"
      "[Obj1]\r\nObjType=TXT\r\nFilename=b.bmp\r\n"
      "[Obj2]\r\nObjType=GIF\r\nFilename=c.gif\r\nOpacity=5\r\nMotion=7\r\n");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0].SectionNumber(), 0);
  EXPECT_EQ(list[1].SectionNumber(), 2);
  EXPECT_NE(dynamic_cast<ImageObject*>(&list[0]), nullptr);
  EXPECT_NE(dynamic_cast<GifObject*>(&list[1]), nullptr);
  const ObjectKeys& img = list[0].Keys();
  const ObjectKeys& gif = list[1].Keys();
  EXPECT_EQ(gif.Filename, "c.gif");
  EXPECT_EQ(gif.Opacity, 5);
  EXPECT_EQ(gif.Motion, 7);
  EXPECT_EQ(img.TransparentType, 1);
  EXPECT_EQ(gif.TransparentType, 0);
  EXPECT_EQ(img.WidthSize, 100);
  EXPECT_EQ(img.PosLeft, 100);
  EXPECT_EQ(img.MotionSpeed, 10);
  EXPECT_EQ(img.ObjFacing, 1);
  EXPECT_EQ(img.DisplayDurationSec, 60);
  EXPECT_EQ(img.DisplayDurationCycle, 10);
  EXPECT_TRUE(img.RestrictArea && img.Redisplay && img.ResetPos && img.Transparent);
  EXPECT_FALSE(img.DirFlip);
  EXPECT_EQ(gif.AnimSpeed, 10);
  EXPECT_FALSE(gif.RefreshFrame);
}

struct TimingCase {
  const char* name;
  bool redisplay, resetPos;
  std::map<uint32_t, bool> shownAt;  // ms after start -> shown
};

class DisplayTiming : public ::testing::TestWithParam<TimingCase> {};

TEST_P(DisplayTiming, FollowsDelayDurationAndRedisplay) {
  const TimingCase& tc = GetParam();
  ObjectRig rig(
      ImgSection("DisplaySec=5\r\nDisplayDurationType=1\r\nDisplayDurationSec=10\r\n"
                 "Redisplay=" +
                 std::string(tc.redisplay ? "1" : "0") +
                 "\r\nResetPos=" + (tc.resetPos ? "1" : "0") + "\r\nMotion=2\r\n"));
  rig.First().Start();
  EXPECT_FALSE(rig.First().View().shown);
  uint32_t now = 0;
  for (const auto& [at, shown] : tc.shownAt) {
    rig.Run(at - now);
    now = at;
    EXPECT_EQ(rig.First().View().shown, shown) << "at " << at << " ms";
  }
}

INSTANTIATE_TEST_SUITE_P(
    AnimObjects, DisplayTiming,
    ::testing::Values(
        TimingCase{"RedisplayWithReset",
                   true,
                   true,
                   {{4995, false},
                    {5000, true},
                    {14995, true},
                    {15000, false},
                    {19995, false},
                    {20000, true},
                    {29995, true},
                    {30000, false},
                    {35000, true}}},
        TimingCase{"RedisplayKeepingPosition",
                   true,
                   false,
                   {{4995, false}, {5000, true}, {15000, false}, {20000, true}, {30000, false}}},
        TimingCase{"NoRedisplay",
                   false,
                   true,
                   {{5000, true}, {14995, true}, {15000, false}, {20000, false}, {60000, false}}}),
    [](const ::testing::TestParamInfo<TimingCase>& info) { return info.param.name; });

TEST(AnimObjects, OpacityGivesMasterAlphaRoundedHalfToEven) {
  const std::pair<int32_t, int32_t> cases[] = {{10, 255}, {5, 128},  {1, 26}, {3, 76},
                                               {0, 0},    {20, 255}, {-4, 0}};
  for (auto [opacity, alpha] : cases) EXPECT_EQ(OpacityToMasterAlpha(opacity), alpha) << opacity;
  ObjectRig rig(ImgSection("Opacity=5\r\n"));
  rig.First().Start();
  const ObjectView v = rig.First().View();
  ASSERT_TRUE(v.image);
  EXPECT_EQ(v.image->frames[0].masterAlpha, 128);
  EXPECT_EQ(v.image->frames[0].drawMode, DrawMode::Custom);
}

TEST(AnimObjects, CombineKeepsKeyPixelsAndMixesTheRestByMasterAlpha) {
  const Pixel dst = MakePixel(0, 100, 200, 7);
  EXPECT_EQ(CombineObjectPixel(kGreen, dst, 128, true, kGreen), dst);
  EXPECT_EQ(CombineObjectPixel(kGreen, dst, 255, false, kGreen),
            (kGreen & 0x00FFFFFF) | 0xFF000000);
  const Pixel mixed = CombineObjectPixel(MakePixel(255, 0, 0), dst, 128, true, kGreen);
  EXPECT_EQ(PixelR(mixed), 128);  // 255 x 128 / 255
  EXPECT_EQ(PixelG(mixed), 100 * 127 / 255);
  EXPECT_EQ(PixelB(mixed), 200 * 127 / 255);
  EXPECT_EQ(PixelA(mixed), 128);
}

TEST(AnimObjects, StillImageKeyIsItsBottomLeftPixelOrTheChosenColour) {
  ObjectRig rig(ImgSection("") +
                "[Obj1]\r\nObjType=IMG\r\nFilename=bird.bmp\r\n"
                "TransparentType=2\r\nTransparentColor=255\r\n");
  for (int i = 0; i < 2; ++i) rig.objects[i].Start();
  EXPECT_EQ(static_cast<ImageObject&>(rig.objects[0]).KeyColor(), kGreen);
  EXPECT_EQ(static_cast<ImageObject&>(rig.objects[1]).KeyColor(), kRed);  // 0x0000FF is red
}

TEST(AnimObjects, GifPlaybackSpeedFollowsAnimSpeed) {
  const std::pair<int32_t, int32_t> percents[] = {{10, 100}, {11, 150}, {1, 10}, {12, 200}, {0, 0}};
  for (auto [speed, percent] : percents) EXPECT_EQ(GifPlaybackPercent(speed), percent);

  TempFolder folder("gif");
  WriteGif(folder.Path() + "/wings.gif", 4, 4,
           {std::vector<uint8_t>(16, 0), std::vector<uint8_t>(16, 1), std::vector<uint8_t>(16, 2)},
           10, -1);
  struct Case {
    int32_t animSpeed;
    uint32_t ms;
    size_t frame;
  };
  for (const Case& c : {Case{10, 150, 1}, Case{11, 150, 2}, Case{1, 150, 0}, Case{1, 1500, 1},
                        Case{10, 350, 0}, Case{0, 150, 0}}) {
    AnimatedObjectSet list;
    list.Load("[Obj0]\r\nObjType=GIF\r\nFilename=WINGS.gif\r\nAnimSpeed=" +
              std::to_string(c.animSpeed) + "\r\n");
    auto& gif = static_cast<GifObject&>(list[0]);
    gif.SetThreaded(false);
    gif.SetPackageFolder(folder.Path());
    gif.SetDesignSize(4, 4);
    gif.SetMoveArea({0, 0, 4, 4});
    gif.Start();
    EXPECT_TRUE(gif.Painting());
    EXPECT_EQ(gif.FrameAt(c.ms), c.frame) << c.animSpeed << " " << c.ms;
  }
}

// A GIF of a 16 x 16 screen with `count` frames of side x side, every pixel index 1.
void WriteLargeFramesGif(const std::string& path, int side, int count) {
  int err = 0;
  GifFileType* g = EGifOpenFileName(path.c_str(), false, &err);
  ASSERT_NE(g, nullptr);
  GifColorType colors[2] = {{255, 0, 0}, {0, 255, 0}};
  ColorMapObject* map = GifMakeMapObject(2, colors);
  EGifSetGifVersion(g, true);
  EGifPutScreenDesc(g, 16, 16, 1, 0, map);
  std::vector<GifPixelType> row(static_cast<size_t>(side), 1);
  for (int f = 0; f < count; ++f) {
    EGifPutImageDesc(g, 0, 0, side, side, false, nullptr);
    for (int y = 0; y < side; ++y) EGifPutLine(g, row.data(), side);
  }
  GifFreeMapObject(map);
  EGifCloseFile(g, &err);
}

TEST(AnimObjects, GifWhoseFramesHoldMoreThanTheObjectLimitIsRefused) {
  // An object keeps 2^25 pixels of frames (composed and mirrored), so its decoder holds at
  // most 2^24 pixels of frame indices. Frames of 1024 x 1024 (2^20) over a 16 x 16 screen:
  // 16 fit; 17 are refused, although composed at the screen's size they would be small.
  TempFolder folder("gifbig");
  struct Case {
    const char* file;
    int count;
    bool shown;
  };
  for (const Case& c : {Case{"fits.gif", 16, true}, Case{"over.gif", 17, false}}) {
    WriteLargeFramesGif(folder.Path() + "/" + c.file, 1024, c.count);
    AnimatedObjectSet list;
    list.Load(std::string("[Obj0]\r\nObjType=GIF\r\nFilename=") + c.file + "\r\n");
    auto& gif = static_cast<GifObject&>(list[0]);
    gif.SetThreaded(false);
    gif.SetPackageFolder(folder.Path());
    gif.SetDesignSize(16, 16);
    gif.SetMoveArea({0, 0, 16, 16});
    ::testing::internal::CaptureStderr();
    gif.Start();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(gif.Painting(), c.shown) << c.file;
    EXPECT_EQ(said.find("too many frames") != std::string::npos, !c.shown) << said;
  }
}

TEST(AnimObjects, GifTransparencyFollowsTransparentAndTransparentType) {
  TempFolder folder("giftr");
  // Left half index 0 (red), right half index 2 (blue); the GIF marks index 0 transparent.
  std::vector<uint8_t> f(16);
  for (int i = 0; i < 16; ++i) f[static_cast<size_t>(i)] = (i % 4) < 2 ? 0 : 2;
  WriteGif(folder.Path() + "/t.gif", 4, 4, {f}, 10, 0);
  struct Case {
    std::string keys;
    bool leftKeyed, rightKeyed;
  };
  for (const Case& c : {Case{"", true, false}, Case{"Transparent=0\r\n", false, false},
                        Case{"TransparentType=2\r\nTransparentColor=16711680\r\n", false, true},
                        Case{"TransparentType=2\r\nTransparentColor=65280\r\n", false, false},
                        Case{"TransparentType=1\r\n", true, false}}) {
    AnimatedObjectSet list;
    list.Load("[Obj0]\r\nObjType=GIF\r\nFilename=t.gif\r\n" + c.keys);
    list[0].SetThreaded(false);
    list[0].SetPackageFolder(folder.Path());
    list[0].Start();
    const ObjectView v = list[0].View();
    ASSERT_TRUE(v.image) << c.keys;
    const BlendBitmap& frame = v.image->frames[0];
    EXPECT_EQ(frame.GetPixel(0, 0) == kGifKeyColor, c.leftKeyed) << c.keys;
    EXPECT_EQ(frame.GetPixel(3, 0) == kGifKeyColor, c.rightKeyed) << c.keys;
  }
}

TEST(AnimObjects, HorizontalBounceWithUpwardStartMovesOnlySideways) {
  ObjectRig rig(ImgSection("Motion=3\r\nInitialDir=3\r\nMotionSpeed=50\r\n"));
  rig.First().Start();
  const double y0 = rig.First().Y(), x0 = rig.First().X();
  EXPECT_EQ(rig.First().DirY(), -1);
  rig.Run(2000);
  EXPECT_EQ(rig.First().Y(), y0);
  EXPECT_NE(rig.First().X(), x0);
}

TEST(AnimObjects, BounceStaysNearItsBounds) {
  ObjectRig rig(ImgSection("Motion=2\r\nMotionSpeed=100\r\nPosLeftType=4\r\nPosTopType=4\r\n"));
  rig.First().Start();
  const Rect b = rig.First().Bounds();
  EXPECT_EQ(b, (Rect{5, 3, 195, 97}));  // image 10 x 6 inside 200 x 100
  for (int i = 0; i < 2000; ++i) {
    rig.Run(5);
    ASSERT_GE(rig.First().X(), b.left - 11);
    ASSERT_LE(rig.First().X(), b.right + 11);
  }
}

// Where a reset puts a 10 x 6 image over the 200 x 100 design picture, for each fixed start
// rule, with the area restricted (the whole image inside: bounds 5, 3, 195, 97) and not
// (the centre may go half an image beyond: -5, -3, 205, 103). Hand-worked; different
// stored values and axes catch a swapped axis, a wrong bound and the middle's rounding.
TEST(AnimObjects, StartRulesPlaceTheObjectOnItsBounds) {
  struct Case {
    int32_t leftType, topType;
    bool restrict;
    double x, y;
    Rect bounds;
  };
  const Rect inside{5, 3, 195, 97}, beyond{-5, -3, 205, 103};
  for (const Case& c : {Case{0, 0, true, 37, 12, inside}, Case{1, 2, true, 5, 97, inside},
                        Case{2, 1, true, 195, 3, inside}, Case{3, 3, true, 100, 50, inside},
                        Case{1, 1, false, -5, -3, beyond}, Case{2, 3, false, 205, 50, beyond}}) {
    ObjectRig rig(ImgSection(
        "PosLeft=37\r\nPosTop=12\r\nPosLeftType=" + std::to_string(c.leftType) + "\r\nPosTopType=" +
        std::to_string(c.topType) + "\r\nRestrictArea=" + (c.restrict ? "1" : "0") + "\r\n"));
    rig.First().Start();
    EXPECT_EQ(rig.First().Bounds(), c.bounds) << c.leftType << "/" << c.topType;
    EXPECT_EQ(rig.First().X(), c.x) << c.leftType << "/" << c.topType;
    EXPECT_EQ(rig.First().Y(), c.y) << c.leftType << "/" << c.topType;
  }
}

// InitialDir fixes the axes it names and leaves the others to their random sign.
TEST(AnimObjects, InitialDirectionFixesItsAxes) {
  struct Case {
    int32_t dir, x, y;  // 0: left to chance
  };
  for (const Case& c : {Case{1, -1, 0}, Case{2, 1, 0}, Case{3, 0, -1}, Case{4, 0, 1},
                        Case{5, -1, -1}, Case{6, 1, -1}, Case{7, -1, 1}, Case{8, 1, 1}}) {
    for (int round = 0; round < 4; ++round) {
      ObjectRig rig(ImgSection("Motion=2\r\nInitialDir=" + std::to_string(c.dir) + "\r\n"));
      rig.First().Start();
      if (c.x != 0) {
        EXPECT_EQ(rig.First().DirX(), c.x) << c.dir;
      }
      if (c.y != 0) {
        EXPECT_EQ(rig.First().DirY(), c.y) << c.dir;
      }
      EXPECT_EQ(std::abs(rig.First().DirX()), 1);
      EXPECT_EQ(std::abs(rig.First().DirY()), 1);
    }
  }
}

TEST(AnimObjects, RandomStartInAnEmptyRangeStillTakesItsDraw) {
  // The 10 x 6 image fills its 10 x 6 motion rectangle: bounds (5, 3, 5, 3), so both random
  // start positions are random(0) = 0. The reset draws random(300), random(1000) twice,
  // random(0) twice and four signs: nine draws of seed = seed x 134775813 + 1.
  ObjectRig rig(
      ImgSection("MotionAreaType=1\r\nMoveAreaRectright=10\r\nMoveAreaRectbottom=6\r\n"
                 "PosLeftType=4\r\nPosTopType=4\r\n"));
  LockRandomize(true);
  SetRandSeed(12345);
  rig.First().Start();
  const uint32_t seedAfter = RandSeed();
  LockRandomize(false);
  EXPECT_EQ(rig.First().Bounds(), (Rect{5, 3, 5, 3}));
  EXPECT_EQ(rig.First().X(), 5.0);
  EXPECT_EQ(rig.First().Y(), 3.0);
  EXPECT_EQ(seedAfter, 138982102u);
}

struct FlipCase {
  int32_t facing;
  bool dirFlip;
  bool flippedMovingLeft;
};

class FlipRule : public ::testing::TestWithParam<FlipCase> {};

TEST_P(FlipRule, MirrorsWhenMovingAgainstTheFacing) {
  const FlipCase& fc = GetParam();
  ObjectRig rig(ImgSection(
      "Motion=2\r\nInitialDir=1\r\nMotionSpeed=100\r\nObjFacing=" + std::to_string(fc.facing) +
      "\r\nDirFlip=" + (fc.dirFlip ? "1" : "0") + "\r\n"));
  rig.First().Start();
  bool sawLeftMove = false;
  for (int i = 0; i < 20; ++i) {
    const int32_t before = rig.First().DrawLeft();
    rig.Run(5);
    if (rig.First().DrawLeft() < before) {
      sawLeftMove = true;
      EXPECT_EQ(rig.First().View().flipped, fc.flippedMovingLeft);
    }
  }
  EXPECT_TRUE(sawLeftMove);
}

INSTANTIATE_TEST_SUITE_P(AnimObjects, FlipRule,
                         ::testing::Values(FlipCase{1, true, true}, FlipCase{0, true, false},
                                           FlipCase{1, false, false}, FlipCase{2, true, false}));

TEST(AnimObjects, FilesAreFoundByNameIgnoringCaseInThePackageThenTheSharedFolder) {
  TempFolder pkg("pkg"), shared("shared");
  std::filesystem::create_directories(shared.Path() + "/Dawlish/Common/images");
  WriteBmp(pkg.Path() + "/bird.bmp", 2, 2, kRed, kRed);
  WriteBmp(shared.Path() + "/Dawlish/Common/images/Fish.bmp", 2, 2, kRed, kRed);
  setenv("XDG_DATA_HOME", shared.Path().c_str(), 1);
  EXPECT_EQ(FindObjectFile("C:\\Pictures\\BIRD.BMP", pkg.Path()), pkg.Path() + "/bird.bmp");
  EXPECT_EQ(FindObjectFile("x/y\\fish.bmp", pkg.Path()),
            shared.Path() + "/Dawlish/Common/images/Fish.bmp");
  EXPECT_EQ(FindObjectFile("fish.bmp", ""), shared.Path() + "/Dawlish/Common/images/Fish.bmp");
  EXPECT_EQ(FindObjectFile("..", pkg.Path()), "");
  EXPECT_EQ(FindObjectFile("C:\\Pictures\\", pkg.Path()), "");
  EXPECT_EQ(FindObjectFile("owl.bmp", pkg.Path()), "");
  // A stored name that exists as it stands is used as it is, before any folder.
  TempFolder art("art");
  WriteBmp(art.Path() + "/gull.bmp", 2, 2, kRed, kRed);
  WriteBmp(pkg.Path() + "/gull.bmp", 2, 2, kRed, kRed);
  EXPECT_EQ(FindObjectFile(art.Path() + "/gull.bmp", pkg.Path()), art.Path() + "/gull.bmp");
  EXPECT_EQ(FindObjectFile(art.Path() + "/gull.bmp", ""), art.Path() + "/gull.bmp");
  unsetenv("XDG_DATA_HOME");
}

// The show fixes up the stored file names in the picture's entries before the engine
// starts; an engine that read the objects text again would see the author's path instead.
TEST(AnimObjects, EngineTakesTheEntriesAsTheShowFixedThem) {
  FakeClock clock;
  Picture picture;
  vec::testing::MakePicture(picture, 40, 20, [](int32_t, int32_t) { return 0; });
  picture.objects.Load("[Obj0]\r\nObjType=IMG\r\nFilename=C:\\Art\\bird.bmp\r\n");
  picture.objects.entries[0].Filename = "/run/folder/Bird.bmp";
  WaterEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPicture(picture);
  ASSERT_EQ(engine.Objects().Count(), 1);
  EXPECT_EQ(engine.Objects()[0].Keys().Filename, "/run/folder/Bird.bmp");
}

TEST(AnimObjects, ObjectWhoseFileIsMissingDrawsNothing) {
  FakeClock clock;
  Picture picture;
  vec::testing::MakePicture(picture, 40, 20, [](int32_t, int32_t) { return 0; });
  picture.objects.Load("[Obj0]\r\nObjType=IMG\r\nFilename=nowhere-to-be-found.bmp\r\n");
  WaterEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPicture(picture);
  engine.Start();
  ASSERT_EQ(engine.Objects().Count(), 1);
  EXPECT_FALSE(engine.Objects()[0].View().image);
  clock.Advance(40);
  engine.Objects().StepAll();
  engine.Tick();
  EXPECT_EQ(vec::PixelChecksum(engine.Output()), vec::PixelChecksum(engine.Frame()));
}

TEST(AnimObjects, EngineDrawsAnObjectScaledToTheOutput) {
  TempFolder folder("drawn");
  WriteBmp(folder.Path() + "/bird.bmp", 10, 6, kRed, kGreen);
  FakeClock clock;
  Picture picture;
  vec::testing::MakePicture(picture, 400, 200, [](int32_t, int32_t) { return 0; });
  picture.designWidth = 200;
  picture.designHeight = 100;
  picture.objects.Load(ImgSection("PosLeft=50\r\nPosTop=40\r\n"));
  WaterEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPackageFolder(folder.Path());
  engine.SetPicture(picture);
  engine.Start();
  clock.Advance(33);
  engine.Tick();
  // Centre (50, 40) at scale 2: left 90, top 74, 20 x 12 pixels; the key pixel is not drawn.
  const BlendBitmap& out = engine.Output();
  EXPECT_EQ(out.GetPixel(95, 76) & 0x00FFFFFF, kRed & 0x00FFFFFF);
  EXPECT_EQ(out.GetPixel(109, 85) & 0x00FFFFFF, kRed & 0x00FFFFFF);
  EXPECT_EQ(out.GetPixel(89, 76), vec::testing::CoordPixel(76, 89));
  EXPECT_EQ(out.GetPixel(110, 76), vec::testing::CoordPixel(76, 110));
  EXPECT_EQ(out.GetPixel(90, 85), vec::testing::CoordPixel(85, 90));  // bottom-left is the key
}

TEST(AnimObjects, KeyedImageDrawnSmallerKeepsItsKeyExact) {
  // A 20 x 20 picture: green key around a red square at columns and rows 5 to 14. Drawn at
  // half its size, every pixel is the square's red or the picture underneath: no pixel
  // mixes the key into the square's edge.
  TempFolder folder("keyed");
  BlendBitmap art(20, 20);
  art.Clear(kGreen);
  for (int32_t y = 5; y < 15; ++y)
    for (int32_t x = 5; x < 15; ++x) art.SetPixel(x, y, kRed);
  ASSERT_TRUE(SaveBmp32(art, folder.Path() + "/bird.bmp").ok());
  FakeClock clock;
  Picture picture;
  vec::testing::MakePicture(picture, 400, 200, [](int32_t, int32_t) { return 0; });
  picture.designWidth = 200;
  picture.designHeight = 100;
  // Scale 2 from design to output, 25 % of that: 10 x 10 pixels at (80, 60).
  picture.objects.Load(ImgSection("PosLeft=50\r\nPosTop=40\r\nWidthSize=25\r\nHeightSize=25\r\n"));
  WaterEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPackageFolder(folder.Path());
  engine.SetPicture(picture);
  engine.Start();
  clock.Advance(33);
  engine.Tick();
  const BlendBitmap& out = engine.Output();
  int red = 0, other = 0;
  for (int32_t y = 0; y < out.Height(); ++y)
    for (int32_t x = 0; x < out.Width(); ++x) {
      const Pixel p = out.GetPixel(x, y);
      if ((p & 0x00FFFFFF) == (kRed & 0x00FFFFFF))
        ++red;
      else if (p != vec::testing::CoordPixel(y, x))
        ++other;
    }
  EXPECT_EQ(red, 25);  // the square, halved
  EXPECT_EQ(other, 0);
}

// Workers step on their own threads while the engine draws; ResetPos with a zero duration
// makes every step reload and reset on the worker. Meant to run under ThreadSanitizer.
TEST(AnimObjects, WorkersAndDrawingShareNothingUnsafely) {
  TempFolder folder("threads");
  WriteBmp(folder.Path() + "/bird.bmp", 10, 6, kRed, kGreen);
  std::vector<std::vector<uint8_t>> frames;
  for (uint8_t i = 0; i < 3; ++i) frames.emplace_back(64, i);
  WriteGif(folder.Path() + "/wings.gif", 8, 8, frames, 1, 3);
  Picture picture;
  vec::testing::MakePicture(picture, 120, 80, [](int32_t r, int32_t) { return r > 40 ? 1 : 0; });
  picture.waveSets[0].Amplitude = 3;
  picture.waveSets[0].Horizontal = 1;
  std::string text;
  for (int i = 0; i < 6; ++i) {
    const bool gif = i % 2 == 1;
    text += "[Obj" + std::to_string(i) + "]\r\nObjType=" + (gif ? "GIF" : "IMG") +
            "\r\nFilename=" + (gif ? "wings.gif" : "bird.bmp") +
            "\r\nMotion=" + std::to_string(i + 1) + "\r\nDirFlip=1\r\nMotionSpeed=80\r\n" +
            (i < 2 ? "DisplayDurationType=1\r\nDisplayDurationSec=0\r\n" : "");
  }
  picture.objects.Load(text);
  SteadyClock clock;
  WaterEngine engine(&clock);
  engine.SetPackageFolder(folder.Path());
  engine.SetPicture(picture);
  for (int round = 0; round < 3; ++round) {
    engine.Start();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(120);
    while (std::chrono::steady_clock::now() < until) engine.Tick();
  }
  engine.Objects().StopAll();
  for (int32_t i = 0; i < engine.Objects().Count(); ++i)
    EXPECT_FALSE(engine.Objects()[i].Running());
}

}  // namespace
}  // namespace vec::anim

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/Random.h"
#include "graphics/Bmp.h"
#include "slideshow/ShowAdapters.h"
#include "tests/slideshow/ShowFakes.h"

namespace vec {
namespace {

using testing::FakePictureFile;
using testing::ShowRig;
using testing::TaggedBlendBitmap;
using testing::TaggedPixel;

// ---- Picture order ------------------------------------------------------------------

struct OrderCase {
  const char* name;
  int32_t mode;
  int pictures;
  std::vector<int32_t> expected;  // indices from the first choice on
};

class PictureOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(PictureOrder, FollowsTheShowMode) {
  const OrderCase& c = GetParam();
  ShowRig rig;
  for (int i = 0; i < c.pictures; ++i)
    rig.AddStill("/p/" + std::to_string(i) + ".jpg", TaggedBlendBitmap(1, 4, 4));
  rig.settings.ShowImageMode = c.mode;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  std::vector<int32_t> seen{form.Index()};
  int32_t index = form.Index();
  while (seen.size() < c.expected.size()) {
    form.NextPictureIndex(index);
    seen.push_back(index);
  }
  EXPECT_EQ(seen, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, PictureOrder,
                         ::testing::Values(OrderCase{"Sequential", 1, 5, {0, 1, 2, 3, 4, 0, 1}},
                                           OrderCase{"UnknownModeIsSequential", 7, 3, {0, 1, 2, 0}},
                                           OrderCase{"SingleSelected", 3, 1, {0, 0, 0}},
                                           OrderCase{"RandomOfOne", 0, 1, {0, 0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PictureOrderRandom, TwoPicturesAlternateStrictly) {
  ShowRig rig;
  rig.AddStill("/p/a.jpg", TaggedBlendBitmap(1, 4, 4));
  rig.AddStill("/p/b.jpg", TaggedBlendBitmap(2, 4, 4));
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  int32_t index = form.Index();
  for (int i = 0; i < 50; ++i) {
    const int32_t before = index;
    form.NextPictureIndex(index);
    EXPECT_EQ(index, 1 - before);
  }
}

TEST(PictureOrderRandom, NeverRepeatsAndReachesEveryPicture) {
  ShowRig rig;
  for (int i = 0; i < 4; ++i)
    rig.AddStill("/p/" + std::to_string(i) + ".gif", TaggedBlendBitmap(1, 2, 2));
  rig.settings.ShowImageMode = 2;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  std::set<int32_t> reached;
  int32_t index = form.Index();
  for (int i = 0; i < 200; ++i) {
    const int32_t before = index;
    form.NextPictureIndex(index);
    ASSERT_NE(index, before);
    ASSERT_GE(index, 0);
    ASSERT_LT(index, 4);
    reached.insert(index);
  }
  EXPECT_EQ(reached.size(), 4u);
}

TEST(PlayList, TakesOnlyCheckedPicturesInOrder) {
  SlideshowOptions s;
  s.FileNames = {"a", "b", "c", "d"};
  s.Checked = {"TRUE", "FALSE", "TRUE", "true"};
  EXPECT_EQ(BuildPlayList(s), (std::vector<std::string>{"a", "c"}));
  s.Checked = {"TRUE"};  // a short Checked list never reads past its end
  EXPECT_EQ(BuildPlayList(s), (std::vector<std::string>{"a"}));
}

// ---- Settings parsing and sizing rules ---------------------------------------------

TEST(EffectList, TakesTheCommaAndBlankSeparatedItemsAsWritten) {
  // Items are kept as text: one that is not a number fails only the transitions that draw it.
  struct Case {
    std::string text;
    std::vector<std::string> expected;
  } cases[] = {{"", {"1"}},
               {"5", {"5"}},
               {"3, 7 ,9", {"3", "7", "9"}},
               {"1,,5", {"1", "", "5"}},
               {"abc,4", {"abc", "4"}},
               {" , ", {""}},
               {"169 12", {"169", "12"}}};
  for (const auto& c : cases) {
    ShowRig rig;
    rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 4, 4));
    rig.settings.TransitionEffects = c.text;
    Slideshow form(rig.settings, rig.Services());
    form.Start();
    EXPECT_EQ(form.EffectList(), c.expected) << c.text;
  }
}

TEST(StillPicture, ChosenByUpperCaseExtension) {
  struct Case {
    const char* path;
    bool still;
  } cases[] = {{"/t/a.jpg", true},  {"/t/a.JpG", true},         {"/t/a.bmp", true},
               {"/t/a.GIF", true},  {"/t/a.jpeg", false},       {"/t/a.vep", false},
               {"/t.jpg/a", false}, {"C:\\x.y\\pic.Bmp", true}, {"noext", false}};
  for (const auto& c : cases) EXPECT_EQ(IsStillPicture(c.path), c.still) << c.path;
}

// ---- Sizing and position of still pictures ------------------------------------------

struct StillCase {
  const char* name;
  int32_t picW, picH;
  bool stretch, proportional, directX;
  int32_t quality;
  int32_t drawnW, drawnH;  // the still bitmap's size
  int32_t x, y;            // where DrawFrame puts it (GDI)
};

class StillSizing : public ::testing::TestWithParam<StillCase> {};

TEST_P(StillSizing, SizesAndCentres) {
  const StillCase& c = GetParam();
  ShowRig rig;
  rig.AddStill("/t/pic.jpg", TaggedBlendBitmap(7, c.picW, c.picH));
  rig.settings.Stretch = c.stretch;
  rig.settings.Proportional = c.proportional;
  rig.settings.DirectX = c.directX;
  rig.settings.DirectXQuality = c.quality;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  ASSERT_TRUE(form.Still());
  EXPECT_EQ(form.StillBitmap().Width(), c.drawnW);
  EXPECT_EQ(form.StillBitmap().Height(), c.drawnH);
  form.DrawFrame();
  if (c.directX) {
    EXPECT_TRUE(rig.display.Direct());
    EXPECT_EQ(rig.display.Surface().Width(), c.drawnW);
    return;
  }
  const BlendBitmap& screen = rig.display.Screen();
  // The first screen pixel covered by the picture, and the one just before it.
  const int32_t sx = std::max(c.x, 0), sy = std::max(c.y, 0);
  EXPECT_EQ(screen.GetPixel(sx, sy) >> 24, 7u);
  if (c.x > 0) {
    EXPECT_EQ(screen.GetPixel(c.x - 1, sy), 0u);
  }
  if (c.y > 0) {
    EXPECT_EQ(screen.GetPixel(sx, c.y - 1), 0u);
  }
  if (!c.stretch) {
    EXPECT_EQ(screen.GetPixel(sx, sy), TaggedPixel(7, sx - c.x, sy - c.y));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StillSizing,
    ::testing::Values(
        StillCase{"WideProportional", 2000, 1000, true, true, false, 0, 1024, 512, 0, 128},
        StillCase{"TallProportional", 1000, 2000, true, true, false, 0, 384, 768, 320, 0},
        StillCase{"LargeUnstretchedShowsItsCentre", 3000, 2000, false, false, false, 0, 3000, 2000,
                  -988, -616},
        StillCase{"SmallUnstretched", 1000, 500, false, true, false, 0, 1000, 500, 12, 134},
        StillCase{"StretchedFillsTheScreen", 300, 200, true, false, false, 0, 1024, 768, 0, 0},
        StillCase{"DirectQuality1", 300, 900, true, true, true, 1, 800, 600, 0, 0},
        StillCase{"DirectQuality2", 1920, 1080, false, false, true, 2, 640, 480, 0, 0},
        StillCase{"DirectUnknownQualityKeepsOwnSize", 320, 200, true, true, true, 9, 320, 200, 0,
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Picture files ------------------------------------------------------------------

TEST(ShownPicture, UnstretchedIsCentredWithTruncatingDivision) {
  ShowRig rig;
  rig.AddPicture("/t/a.vep", FakePictureFile{1000, 500, 3, {}});
  rig.settings.Stretch = false;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  EXPECT_TRUE(rig.files.resizes.empty());
  form.DrawFrame();
  EXPECT_EQ(rig.display.Screen().GetPixel(12, 134) >> 24, 3u);
  EXPECT_EQ(rig.display.Screen().GetPixel(11, 134), 0u);
  EXPECT_EQ(rig.display.Screen().GetPixel(12, 133), 0u);
}

TEST(ShownPicture, ResizedToTheScreenOrTheDirectSize) {
  struct Case {
    bool stretch, proportional, directX;
    int32_t quality;
    std::vector<int32_t> resize;  // keepAspect, w, h; empty: no resize
    int32_t pictureW, pictureH;
  } cases[] = {
      {true, true, false, 0, {1, 1024, 768}, 1024, 512},
      {true, false, false, 0, {0, 1024, 768}, 1024, 768},
      {false, true, false, 0, {}, 2000, 1000},
      {true, true, true, 1, {1, 800, 600}, 1024, 768},
      {false, false, true, 2, {0, 640, 480}, 1024, 768},
      {true, true, true, 5, {}, 1024, 768},
  };
  for (const auto& c : cases) {
    ShowRig rig;
    rig.AddPicture("/t/a.vep", FakePictureFile{2000, 1000, 3, {}});
    rig.settings.Stretch = c.stretch;
    rig.settings.Proportional = c.proportional;
    rig.settings.DirectX = c.directX;
    rig.settings.DirectXQuality = c.quality;
    Slideshow form(rig.settings, rig.Services());
    form.Start();
    if (c.resize.empty()) {
      EXPECT_TRUE(rig.files.resizes.empty());
    } else {
      ASSERT_EQ(rig.files.resizes.size(), 1u);
      EXPECT_EQ(rig.files.resizes[0].keepAspect, c.resize[0] != 0);
      EXPECT_EQ(rig.files.resizes[0].width, c.resize[1]);
      EXPECT_EQ(rig.files.resizes[0].height, c.resize[2]);
    }
    EXPECT_EQ(form.PictureWidth(), c.pictureW);
    EXPECT_EQ(form.PictureHeight(), c.pictureH);
  }
}

TEST(ShownPicture, MissingObjectFilesAreLookedForInTheRunFolder) {
  ShowRig rig;
  rig.AddPicture(
      "/t/a.vep",
      FakePictureFile{64, 48, 3, {"C:\\Art\\bird.gif", "/here/fish.bmp", "sub/dir\\boat.png"}});
  rig.files.extraFiles.insert("/here/fish.bmp");
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  EXPECT_EQ(
      rig.engine.objectFiles,
      (std::vector<std::string>{"/tmp/run1/bird.gif", "/here/fish.bmp", "/tmp/run1/boat.png"}));
}

TEST(ShownPicture, MissingFileLeavesTheOldPicture) {
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(5, 100, 100));
  rig.settings.FileNames.push_back("/t/gone.vep");
  rig.settings.Checked.push_back("TRUE");
  rig.settings.ShowImageMode = 1;
  rig.settings.Duration = 1;
  rig.settings.Transition = false;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  rig.clock.Advance(1000);
  form.Tick();
  EXPECT_EQ(form.NextFile(), "/t/gone.vep");
  EXPECT_EQ(form.CurrentFile(), "/t/a.jpg");
  EXPECT_TRUE(form.Still());
  EXPECT_EQ(rig.engine.begins, 0);
  EXPECT_EQ(rig.display.Screen().GetPixel(462, 334) >> 24, 5u);
}

TEST(ShownPicture, SoundsAreReloadedForEachProjectAndClearedForStills) {
  ShowRig rig;
  rig.AddPicture("/t/a.vep", FakePictureFile{64, 48, 3, {}});
  rig.AddStill("/t/b.bmp", TaggedBlendBitmap(5, 10, 10));
  rig.settings.ShowImageMode = 1;
  rig.settings.Duration = 1;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  EXPECT_EQ(rig.sounds.calls, (std::vector<std::string>{"clear", "load"}));
  EXPECT_EQ(rig.sounds.updates, 1);
  rig.clock.Advance(1000);
  form.Tick();
  EXPECT_EQ(rig.sounds.calls.back(), "clear");
  EXPECT_EQ(rig.sounds.updates, 2);  // one per tick

  ShowRig quiet;
  quiet.AddPicture("/t/a.vep", FakePictureFile{64, 48, 3, {}});
  quiet.settings.Sound = false;
  Slideshow silent(quiet.settings, quiet.Services());
  silent.Start();
  silent.Tick();
  EXPECT_TRUE(quiet.sounds.calls.empty());
  EXPECT_EQ(quiet.sounds.updates, 0);
}

// ---- The tick ----------------------------------------------------------------------

TEST(Tick, PacesFramesTo33Milliseconds) {
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(5, 10, 10));
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  const uint32_t start = rig.clock.Ticks();
  rig.clock.Advance(10);
  form.DrawFrame();
  EXPECT_EQ(rig.clock.Ticks() - start, 33u);
  rig.clock.Advance(50);  // a slow tick is not made up for
  form.DrawFrame();
  EXPECT_EQ(rig.clock.Ticks() - start, 83u);
  form.DrawFrame();
  EXPECT_EQ(rig.clock.Ticks() - start, 116u);
}

TEST(Tick, ChangesThePictureWhenItsTimeIsUp) {
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  rig.AddStill("/t/b.jpg", TaggedBlendBitmap(2, 10, 10));
  rig.settings.ShowImageMode = 1;
  rig.settings.Duration = 2;
  rig.settings.Transition = false;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  EXPECT_EQ(form.CurrentFile(), "/t/a.jpg");
  rig.clock.Advance(1999);
  form.Tick();
  EXPECT_EQ(form.CurrentFile(), "/t/a.jpg");
  rig.clock.Set(rig.clock.Ticks() + 1);  // now at least 2000 ms after the start
  form.Tick();
  EXPECT_EQ(form.CurrentFile(), "/t/b.jpg");
  EXPECT_EQ(rig.display.blackFills, 1);
  EXPECT_EQ(rig.display.Screen().GetPixel(507, 379) >> 24, 2u);
}

TEST(Tick, OnePictureIsNeverReloadedAndRandomOffKeepsTheFirst) {
  for (bool autoChange : {true, false}) {
    ShowRig rig;
    rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
    if (!autoChange) rig.AddStill("/t/b.jpg", TaggedBlendBitmap(2, 10, 10));
    rig.settings.Duration = 1;
    rig.settings.Random = autoChange;
    rig.settings.ShowImageMode = 1;
    Slideshow form(rig.settings, rig.Services());
    form.Start();
    for (int i = 0; i < 100; ++i) {
      rig.clock.Advance(500);
      form.Tick();
    }
    EXPECT_EQ(rig.files.stillLoads, 1);
    EXPECT_EQ(form.CurrentFile(), "/t/a.jpg");
    EXPECT_EQ(form.LastTransitionSteps(), 0);
  }
}

// A tick that throws is dropped and said once, however often it fails; the next good tick
// draws. Catches an exception let out of the tick, a failure said on every tick (a log
// filled at 30 lines a second) or not at all, and a show stopped by one bad tick.
TEST(Tick, AFailingTickIsReportedOnceAndTheShowGoesOn) {
  ShowRig rig;
  rig.AddPicture("/t/a.vep", FakePictureFile{64, 48, 3, {}});
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  rig.engine.throwOnStep = true;
  const int64_t before = rig.display.PresentCount();
  for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(form.Tick());
  EXPECT_EQ(rig.display.PresentCount(), before);
  EXPECT_EQ(rig.failures, std::vector<std::string>{"a tick failed: step failed"});
  rig.engine.throwOnStep = false;
  form.Tick();
  EXPECT_EQ(rig.display.PresentCount(), before + 1);
  EXPECT_EQ(rig.failures.size(), 1u);
}

// The start's steps fail on their own: music that cannot start leaves the show silent, and
// a first picture whose load throws is passed over at the first tick. Each is said once.
// Catches a failure swallowed without a word (the first picture's was) and one that ends
// the start before the show is set up.
TEST(Tick, FailuresAtTheStartAreReportedAndTheShowRuns) {
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  rig.AddStill("/t/b.jpg", TaggedBlendBitmap(2, 10, 10));
  rig.settings.ShowImageMode = 1;
  rig.files.throwingFiles = {"/t/a.jpg"};
  rig.music.throwOnStart = true;
  Slideshow form(rig.settings, rig.Services());
  EXPECT_NO_THROW(form.Start());
  EXPECT_TRUE(form.IdleInstalled());
  EXPECT_EQ(rig.failures, (std::vector<std::string>{"the music failed: no sound device",
                                                    "the first picture failed: cannot read "
                                                    "/t/a.jpg"}));
  form.Tick();
  EXPECT_EQ(form.CurrentFile(), "/t/b.jpg");
}

TEST(Tick, EmptyPlayListShowsTheMessageAndStaysBlack) {
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  rig.settings.Checked = {"FALSE"};
  Slideshow form(rig.settings, rig.Services());
  int pumps = 0;
  rig.display.onPump = [&] {
    if (++pumps == 3) form.RequestClose();
  };
  form.ShowModal();
  EXPECT_EQ(rig.messages.errors,
            (std::vector<std::string>{"Unable to run screensaver.\r\nPlease configure!"}));
  EXPECT_FALSE(form.IdleInstalled());
  EXPECT_EQ(rig.display.PresentCount(), 0);
  EXPECT_EQ(rig.music.starts, 1);  // music starts all the same
  EXPECT_TRUE(rig.display.cursorVisible);
}

TEST(Tick, ShowModalRunsTicksUntilCloseAndCleansUp) {
  ShowRig rig;
  rig.AddPicture("/t/a.vep", FakePictureFile{64, 48, 3, {}});
  Slideshow form(rig.settings, rig.Services());
  rig.display.onPump = [&] {
    EXPECT_FALSE(rig.display.cursorVisible);
    if (rig.engine.steps == 10) form.RequestClose();
  };
  form.ShowModal();
  EXPECT_EQ(rig.engine.steps, 10);
  EXPECT_EQ(rig.engine.ends, 1);
  EXPECT_TRUE(rig.display.cursorVisible);
  EXPECT_EQ(rig.music.stops, 1);
  EXPECT_EQ(form.ShownPicture(), nullptr);
}

// ---- Pictures that cannot be loaded ----------------------------------------------------

int g_transitionFrames = 0;
void CountFrame(const EffectFrame&, const EffectArgs&) {
  ++g_transitionFrames;
}

TEST(FailedPicture, UndecodableStillMovesOnAtTheNextTick) {
  // b.jpg is in the list but does not decode: no transition of a onto itself, and the very
  // next tick shows c, which then stays its whole duration.
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  rig.settings.FileNames.push_back("/t/b.jpg");
  rig.settings.Checked.push_back("TRUE");
  rig.AddStill("/t/c.jpg", TaggedBlendBitmap(3, 10, 10));
  rig.settings.ShowImageMode = 1;
  rig.settings.Duration = 10;
  rig.settings.TransitionTime = 0;
  Slideshow form(rig.settings, rig.Services(CountFrame));
  form.Start();
  ASSERT_EQ(form.CurrentFile(), "/t/a.jpg");
  g_transitionFrames = 0;
  rig.clock.Advance(10000);
  form.Tick();
  EXPECT_EQ(form.NextFile(), "/t/b.jpg");
  EXPECT_EQ(form.CurrentFile(), "/t/a.jpg");
  EXPECT_EQ(g_transitionFrames, 0);
  EXPECT_EQ(rig.display.Screen().GetPixel(507, 379) >> 24, 1u);  // a stays on screen
  form.Tick();                                                   // 33 ms later
  EXPECT_EQ(form.CurrentFile(), "/t/c.jpg");
  EXPECT_EQ(g_transitionFrames, 1);  // the 0 % frame of a onto c
  EXPECT_EQ(rig.display.Screen().GetPixel(507, 379) >> 24, 3u);
  rig.clock.Advance(9900);
  form.Tick();
  EXPECT_EQ(form.CurrentFile(), "/t/c.jpg");
  EXPECT_EQ(rig.files.stillLoads, 3);
}

TEST(FailedPicture, ShowOfOnlyFailingPicturesStaysBlackAtOneLoadPerTick) {
  ShowRig rig;
  for (const char* name : {"/t/a.jpg", "/t/b.bmp", "/t/c.gif"}) {
    rig.settings.FileNames.push_back(name);
    rig.settings.Checked.push_back("TRUE");
  }
  rig.settings.ShowImageMode = 1;
  Slideshow form(rig.settings, rig.Services(CountFrame));
  constexpr int kTicks = 30;
  int ticks = 0;
  rig.display.onPump = [&] {
    if (++ticks == kTicks) form.RequestClose();
  };
  g_transitionFrames = 0;
  const uint32_t start = rig.clock.Ticks();
  form.ShowModal();
  // One load at the start, then one per tick: every tick tries the next picture.
  EXPECT_EQ(rig.files.stillLoads, 1 + kTicks);
  EXPECT_GE(rig.clock.Ticks() - start, uint32_t{33 * kTicks});  // paced, not spinning
  EXPECT_EQ(g_transitionFrames, 0);
  EXPECT_EQ(rig.display.PresentCount(), 0);
  const BlendBitmap& screen = rig.display.Screen();
  int64_t lit = 0;
  for (int32_t y = 0; y < screen.Height(); ++y)
    for (int32_t x = 0; x < screen.Width(); ++x) lit += screen.GetPixel(x, y) != 0;
  EXPECT_EQ(lit, 0);
}

// A picture file that does not exist changes nothing: the old picture stays, the change
// still runs its transition (of the old picture onto itself) and waits a full duration
// before the next picture. A missing first picture leaves the screen black for the first
// duration. Catches a missing file passed over at once, or taken as the current file.
TEST(FailedPicture, MissingPictureFileKeepsTheOldPictureForAnotherDuration) {
  // The list's end, after whatever the rig already holds: the missing file, then c.vep.
  auto missingThenC = [](ShowRig& r) {
    r.settings.FileNames.push_back("/t/gone.vep");
    r.settings.Checked.push_back("TRUE");
    r.AddPicture("/t/c.vep", FakePictureFile{64, 48, 3, {}});
    r.settings.ShowImageMode = 1;
    r.settings.Duration = 5;
    r.settings.TransitionTime = 0;
  };
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  missingThenC(rig);
  Slideshow form(rig.settings, rig.Services(CountFrame));
  form.Start();
  rig.clock.Advance(5000);
  g_transitionFrames = 0;
  form.Tick();
  EXPECT_EQ(form.NextFile(), "/t/gone.vep");
  EXPECT_EQ(form.CurrentFile(), "/t/a.jpg");
  EXPECT_EQ(g_transitionFrames, 1);  // the 0 % frame of a onto itself
  EXPECT_EQ(rig.display.Screen().GetPixel(507, 379) >> 24, 1u);
  rig.clock.Advance(4900);
  form.Tick();
  EXPECT_EQ(form.CurrentFile(), "/t/a.jpg");
  rig.clock.Advance(100);
  form.Tick();
  EXPECT_EQ(form.CurrentFile(), "/t/c.vep");
  EXPECT_EQ(rig.engine.begins, 1);

  ShowRig first;
  missingThenC(first);
  Slideshow show(first.settings, first.Services(CountFrame));
  show.Start();
  EXPECT_EQ(show.CurrentFile(), "");
  first.clock.Advance(4990);
  show.Tick();
  EXPECT_EQ(show.CurrentFile(), "");
  EXPECT_EQ(first.engine.begins, 0);
  first.clock.Advance(10);
  show.Tick();
  EXPECT_EQ(show.CurrentFile(), "/t/c.vep");
}

TEST(FailedPicture, PictureFileThatDoesNotParseKeepsTheOldPictureAndMovesOn) {
  // b.vep exists but cannot be read: the engine keeps a (not ended, not begun again with an
  // empty picture), a stays on screen without a transition, and the next tick shows c.
  ShowRig rig;
  rig.AddPicture("/t/a.vep", FakePictureFile{64, 48, 1, {}});
  rig.files.extraFiles.insert("/t/b.vep");
  rig.settings.FileNames.push_back("/t/b.vep");
  rig.settings.Checked.push_back("TRUE");
  rig.AddPicture("/t/c.vep", FakePictureFile{40, 30, 3, {}});
  rig.settings.ShowImageMode = 1;
  rig.settings.Duration = 5;
  rig.settings.TransitionTime = 0;
  rig.settings.Stretch = false;
  Slideshow form(rig.settings, rig.Services(CountFrame));
  form.Start();
  ASSERT_EQ(form.CurrentFile(), "/t/a.vep");
  const int steps = rig.engine.steps;
  rig.clock.Advance(5000);
  g_transitionFrames = 0;
  form.Tick();
  EXPECT_EQ(form.NextFile(), "/t/b.vep");
  EXPECT_EQ(form.CurrentFile(), "/t/a.vep");
  EXPECT_EQ(rig.engine.begins, 1);
  EXPECT_EQ(rig.engine.ends, 0);
  EXPECT_EQ(rig.engine.steps, steps + 1);  // a goes on animating
  EXPECT_EQ(g_transitionFrames, 0);
  EXPECT_EQ(form.PictureWidth(), 64);
  EXPECT_EQ(form.PictureHeight(), 48);
  EXPECT_EQ(rig.display.Screen().GetPixel(512, 384) >> 24, 1u);
  form.Tick();
  EXPECT_EQ(form.CurrentFile(), "/t/c.vep");
  EXPECT_EQ(rig.engine.begins, 2);
  EXPECT_EQ(rig.engine.ends, 1);
  EXPECT_EQ(form.PictureWidth(), 40);
  EXPECT_EQ(rig.files.pictureLoads, 3);
}

// The program's own loader: a real BMP and a damaged picture file or still of garbage bytes.
// Each is passed over with one line on stderr, and only one however often the show comes
// back to it (a line per attempt would fill the session's log at one a tick).
TEST(FailedPicture, DamagedFileOnDiskIsPassedOverWithOneLineOnStderr) {
  for (const char* name : {"b.vep", "b.bmp"}) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("slideshow-damaged-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string still = (dir / "a.bmp").string(), damaged = (dir / name).string();
    BlendBitmap two(6, 4);
    two.Clear(MakePixel(200, 10, 10));
    ASSERT_TRUE(SaveBmp32(two, still).ok());
    {
      std::ofstream out(damaged, std::ios::binary);
      out << "not a picture at all";
    }
    ShowRig rig;
    DiskPictureFiles disk;
    rig.settings.FileNames = {still, damaged};
    rig.settings.Checked = {"TRUE", "TRUE"};
    rig.settings.ShowImageMode = 1;
    rig.settings.Duration = 5;
    rig.settings.TransitionTime = 0;
    SlideshowServices services = rig.Services(CountFrame);
    services.files = &disk;
    Slideshow form(rig.settings, std::move(services));
    form.Start();
    ASSERT_EQ(form.CurrentFile(), still);
    rig.clock.Advance(5000);
    ::testing::internal::CaptureStderr();
    form.Tick();
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(form.CurrentFile(), still) << name;
    EXPECT_TRUE(form.Still()) << name;
    EXPECT_EQ(rig.engine.begins, 0) << name;
    EXPECT_NE(said.find(damaged + " cannot be shown"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    // Round the list a few more times: the damaged file is tried again, and not said again.
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 8; ++i) {
      rig.clock.Advance(i % 2 ? 33 : 5000);
      form.Tick();
    }
    said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "") << name;
    EXPECT_EQ(form.CurrentFile(), still) << name;
    std::filesystem::remove_all(dir);
  }
}

// ---- Transitions --------------------------------------------------------------------

std::vector<int32_t> g_percents;
void RecordPercent(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  g_percents.push_back(percent);
  if (percent == 100) std::copy_n(newBmp.Bits(), newBmp.PixelCount(), work.Bits());
}

TEST(Transition, StepCountFollowsTheCostOfTheFirstStep) {
  struct Case {
    uint32_t stepCost;
    int32_t time;
    std::vector<int32_t> percents;
  } cases[] = {
      {99, 2000, {0,  5,  10, 15, 20, 25, 30, 35, 40, 45, 50,
                  55, 60, 65, 70, 75, 80, 85, 90, 95, 100}},
      {2500, 2000, {0}},
      {249, 2000, {0, 12, 25, 38, 50, 62, 75, 88, 100}},  // halves round to even
      {0, 0, {0}},
  };
  for (const auto& c : cases) {
    ShowRig rig(64, 48);
    rig.AddPicture("/t/a.vep", FakePictureFile{64, 48, 3, {}});
    rig.AddPicture("/t/b.vep", FakePictureFile{64, 48, 4, {}});
    rig.settings.ShowImageMode = 1;
    rig.settings.Duration = 1;
    rig.settings.TransitionTime = c.time;
    Slideshow form(rig.settings, rig.Services(&RecordPercent));
    form.Start();
    form.Tick();
    rig.clock.Advance(1000);
    rig.engine.stepCost = c.stepCost;
    g_percents.clear();
    form.Tick();
    rig.engine.stepCost = 0;
    EXPECT_EQ(g_percents, c.percents) << c.stepCost;
    EXPECT_EQ(form.CurrentFile(), "/t/b.vep");
  }
}

void SplitHalf(const EffectFrame& frame, const EffectArgs&) {
  const auto& [work, newBmp, W, H, w, h, percent, old] = frame;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < w && x < W; ++x) work.SetPixel(x, y, newBmp.GetPixel(x, y));
}

// On a 100 x 50 screen: a still that fills it, then after a second one of 40 x 20 drawn
// unstretched at (30, 15).
void ScreenFillingThenSmallStill(ShowRig& rig) {
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 100, 50));
  rig.AddStill("/t/b.jpg", TaggedBlendBitmap(2, 40, 20));
  rig.settings.ShowImageMode = 1;
  rig.settings.Stretch = false;
  rig.settings.Duration = 1;
}

TEST(Transition, OldPictureIsWhatWasOnTheScreen) {
  ShowRig rig(100, 50);
  ScreenFillingThenSmallStill(rig);
  rig.settings.TransitionTime = 0;
  Slideshow form(rig.settings, rig.Services(&SplitHalf));
  form.Start();
  form.Tick();
  rig.clock.Advance(1000);
  // Only the 0 % step is drawn: the effect's share is empty, so the screen still shows
  // the old picture; the next frame shows the new one centred over it.
  form.RunTransition(0);
  EXPECT_EQ(rig.display.Screen().GetPixel(99, 49) >> 24, 1u);
}

TEST(Transition, NewPictureIsCentredOverBlackInScreenMode) {
  ShowRig rig(100, 50);
  ScreenFillingThenSmallStill(rig);
  rig.settings.TransitionTime = 1000;
  rig.engine.stepCost = 0;
  Slideshow form(rig.settings, rig.Services(&RecordPercent));
  form.Start();
  form.Tick();
  rig.clock.Advance(1000);
  form.Tick();
  const BlendBitmap& screen = rig.display.Screen();
  EXPECT_EQ(screen.GetPixel(30, 15), TaggedPixel(2, 0, 0));
  EXPECT_EQ(screen.GetPixel(29, 15), 0u);  // black around the smaller picture
  EXPECT_EQ(screen.GetPixel(69, 34), TaggedPixel(2, 39, 19));
  EXPECT_EQ(form.LastEffect(), 1);
}

TEST(Transition, DirectModeWorksAtTheSurfaceSize) {
  ShowRig rig(1920, 1080);
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 300, 200));
  rig.AddStill("/t/b.jpg", TaggedBlendBitmap(2, 300, 200));
  rig.settings.ShowImageMode = 1;
  rig.settings.DirectX = true;
  rig.settings.DirectXQuality = 2;
  rig.settings.Duration = 1;
  rig.settings.TransitionTime = 100;
  Slideshow form(rig.settings, rig.Services(&RecordPercent));
  form.Start();
  form.Tick();
  EXPECT_EQ(rig.display.Surface().Width(), 640);
  rig.clock.Advance(1000);
  g_percents.clear();
  form.Tick();
  ASSERT_FALSE(g_percents.empty());
  EXPECT_EQ(g_percents.back(), 100);
  EXPECT_EQ(rig.display.Surface().Width(), 640);
  EXPECT_EQ(rig.display.Surface().Height(), 480);
  EXPECT_EQ(rig.display.Surface().GetPixel(0, 0) >> 24, 2u);
}

// Two stills that change at every tick, through a transition of the 0 % frame alone.
void TwoPicturesChangingEveryTick(ShowRig& rig, const std::string& effects) {
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 32, 32));
  rig.AddStill("/t/b.jpg", TaggedBlendBitmap(2, 32, 32));
  rig.settings.ShowImageMode = 1;
  rig.settings.Duration = 0;
  rig.settings.TransitionTime = 0;
  rig.settings.TransitionEffects = effects;
}

TEST(Transition, CloseRequestStopsTheTransitionAtItsNextFrame) {
  // A 2000 ms transition on a clock that does not move would draw 2000 frames after the
  // 0 % one. The close request comes with the fifth message pump: the two before the
  // capture, the one after it, then one after each of frames 1 and 2.
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  rig.AddStill("/t/b.jpg", TaggedBlendBitmap(2, 10, 10));
  rig.settings.ShowImageMode = 1;
  rig.settings.Duration = 1;
  rig.settings.TransitionTime = 2000;
  Slideshow form(rig.settings, rig.Services(CountFrame));
  form.Start();
  rig.clock.Advance(1000);
  int pumps = 0;
  rig.display.onPump = [&] {
    if (++pumps == 5) form.RequestClose();
  };
  g_transitionFrames = 0;
  form.Tick();
  EXPECT_EQ(g_transitionFrames, 3);  // 0 %, then frames 1 and 2
  EXPECT_TRUE(form.CloseRequested());
  EXPECT_EQ(form.CurrentFile(), "/t/b.jpg");
}

TEST(Transition, EffectIsDrawnFromTheAllowedList) {
  ShowRig rig(32, 32);
  TwoPicturesChangingEveryTick(rig, "17, 42");
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  std::set<int32_t> used;
  for (int i = 0; i < 40; ++i) {
    form.Tick();
    used.insert(form.LastEffect());
  }
  EXPECT_EQ(used, (std::set<int32_t>{17, 42}));
}

TEST(Transition, ANonNumericItemFailsTheTransitionAndTheNewPictureShowsAtOnce) {
  for (const char* effects : {"abc", " , "}) {
    ShowRig rig(100, 50);
    ScreenFillingThenSmallStill(rig);
    rig.settings.TransitionEffects = effects;
    Slideshow form(rig.settings, rig.Services(&RecordPercent));
    form.Start();
    form.Tick();
    rig.clock.Advance(1000);
    g_percents.clear();
    form.Tick();
    EXPECT_TRUE(g_percents.empty()) << effects;  // no transition frame
    EXPECT_EQ(form.LastEffect(), 0);
    EXPECT_EQ(form.LastTransitionSteps(), 0);
    EXPECT_EQ(form.CurrentFile(), "/t/b.jpg");
    // Cleared as without transitions, then the new picture drawn in the same tick.
    EXPECT_EQ(rig.display.blackFills, 1);
    const BlendBitmap& screen = rig.display.Screen();
    EXPECT_EQ(screen.GetPixel(30, 15), TaggedPixel(2, 0, 0));
    EXPECT_EQ(screen.GetPixel(0, 0), 0u);
    // The tick went on: the picture stays its full duration and frames stay paced.
    const int32_t loads = rig.files.stillLoads;
    for (int i = 0; i < 10; ++i) form.Tick();  // 10 paced frames, well under a second
    EXPECT_EQ(rig.files.stillLoads, loads);
    EXPECT_EQ(form.CurrentFile(), "/t/b.jpg");
  }
}

TEST(Transition, OnlyTheNonNumericItemFails) {
  ShowRig rig(32, 32);
  TwoPicturesChangingEveryTick(rig, "1,,5");
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  std::map<int32_t, int> used;
  for (int i = 0; i < 60; ++i) {
    form.Tick();
    ++used[form.LastEffect()];
  }
  EXPECT_EQ(used.size(), 3u);  // 0: the empty item failed
  EXPECT_GT(used[0], 0);
  EXPECT_GT(used[1], 0);
  EXPECT_GT(used[5], 0);
  EXPECT_EQ(rig.display.blackFills, used[0]);
}

TEST(Transition, NumbersOutsideTheTableRunEffectOne) {
  ShowRig rig(32, 32);
  TwoPicturesChangingEveryTick(rig, "0, 170, -4");
  std::set<int32_t> asked;
  SlideshowServices services = rig.Services();
  services.effect = [&asked](int32_t n) -> const Effect* {
    asked.insert(n);
    return nullptr;
  };
  Slideshow form(rig.settings, services);
  form.Start();
  for (int i = 0; i < 20; ++i) {
    form.Tick();
    EXPECT_EQ(form.LastEffect(), 1);
  }
  EXPECT_EQ(asked, (std::set<int32_t>{1}));
}

// ---- Ending the saver ---------------------------------------------------------------

TEST(Input, MouseMovesEndTheSaverAfterFiveIgnored) {
  struct Case {
    const char* name;
    int32_t step;
    int moves;
    bool closes;
  } cases[] = {{"ThreePixels", 3, 7, true},
               {"ThreePixelsSixMoves", 3, 6, false},
               {"TwoPixelsDrift", 2, 50, false}};
  for (const auto& c : cases) {
    ShowRig rig;
    rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
    Slideshow form(rig.settings, rig.Services());
    form.Start();
    for (int i = 0; i < c.moves; ++i) form.PointerMoved(100 + i * c.step, 100);
    EXPECT_EQ(form.CloseRequested(), c.closes) << c.name;
  }
}

TEST(Input, EveryCloseQueryReArmsTheMoveFilter) {
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  for (int i = 0; i < 6; ++i) form.PointerMoved(i * 50, 0);
  EXPECT_EQ(form.IgnoreCount(), 0);
  EXPECT_TRUE(form.MayClose());
  EXPECT_EQ(form.IgnoreCount(), 5);
}

TEST(Input, KeysAndButtons) {
  ShowRig rig;
  rig.AddPicture("/t/a.vep", FakePictureFile{64, 48, 3, {}});
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  form.KeyPressed(Slideshow::kF1Key);
  EXPECT_TRUE(form.F1Flag());
  EXPECT_EQ(rig.engine.restores, 0);
  form.KeyPressed(Slideshow::kF1Key);
  EXPECT_FALSE(form.F1Flag());
  EXPECT_EQ(rig.engine.restores, 1);
  form.KeyPressed(37);     // an arrow key
  form.CharacterTyped(0);  // a key without a character
  EXPECT_FALSE(form.CloseRequested());
  form.CharacterTyped(U'q');
  EXPECT_TRUE(form.CloseRequested());

  Slideshow other(rig.settings, rig.Services());
  other.Start();
  other.PointerPressed();
  EXPECT_TRUE(other.CloseRequested());
}

TEST(Input, OnlyKeysThatTypeACharacterEndTheShow) {
  // As the platform's character messages have it: Enter, Escape, Backspace and Tab type a
  // character; Delete does not (the toolkit reports it as character 127).
  const std::pair<char32_t, bool> cases[] = {
      {U'q', true},  {U'7', true},  {U' ', true},      {U'\r', true}, {0x1B, true},
      {U'\b', true}, {U'\t', true}, {U'\u00e9', true}, {0x7F, false}, {0, false},
  };
  for (const auto& [key, ends] : cases) {
    ShowRig rig;
    rig.AddPicture("/t/a.vep", FakePictureFile{64, 48, 3, {}});
    Slideshow form(rig.settings, rig.Services());
    form.Start();
    form.CharacterTyped(key);
    EXPECT_EQ(form.CloseRequested(), ends) << static_cast<uint32_t>(key);
  }
}

TEST(Music, StartsAtShowAndForwardsNotifications) {
  ShowRig rig;
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 10, 10));
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  EXPECT_EQ(rig.music.starts, 1);
  form.MusicFinished();
  EXPECT_EQ(rig.music.notifies, 1);
  form.Close();
  EXPECT_EQ(rig.music.stops, 1);
}

}  // namespace
}  // namespace vec

namespace vec {
namespace {

TEST(Screen, ResizeFitsThePictureOnScreenAgain) {
  ShowRig rig(200, 100);
  rig.AddStill("/t/a.jpg", TaggedBlendBitmap(1, 40, 20));
  rig.settings.Proportional = false;
  Slideshow form(rig.settings, rig.Services());
  form.Start();
  EXPECT_EQ(form.StillBitmap().Width(), 200);
  rig.display.ResizeScreen(300, 220);
  form.ScreenResized();
  EXPECT_EQ(form.StillBitmap().Width(), 300);
  EXPECT_EQ(form.StillBitmap().Height(), 220);
  form.DrawFrame();
  EXPECT_EQ(rig.display.Screen().GetPixel(299, 219) >> 24, 1u);
}

}  // namespace
}  // namespace vec

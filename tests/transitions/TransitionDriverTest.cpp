#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/Clock.h"
#include "base/MathUtil.h"
#include "base/Random.h"
#include "graphics/Blit.h"
#include "graphics/Region.h"
#include "tests/transitions/TransitionTestPictures.h"
#include "transitions/TransitionDriver.h"

namespace vec {
namespace {

using testing::Pattern;

// Records every presented frame; presenting the first frame costs `firstFrameMs` of the
// fake clock and each later frame `laterFrameMs`.
class RecordingDisplay final : public ITransitionDisplay {
 public:
  RecordingDisplay(FakeClock& clock, uint32_t firstFrameMs, uint32_t laterFrameMs = 10)
      : clock_(clock), first_(firstFrameMs), later_(laterFrameMs) {}
  void Present(const BottomUpBitmap& frame) override {
    clock_.Advance(frames.empty() ? first_ : later_);
    frames.push_back(frame);
  }
  std::vector<BottomUpBitmap> frames;

 private:
  FakeClock& clock_;
  uint32_t first_, later_;
};

struct Rig {
  explicit Rig(uint32_t firstFrameMs, uint32_t laterFrameMs = 10)
      : display(clock, firstFrameMs, laterFrameMs), driver(clock, display) {
    driver.Resize(16, 12);
    driver.Old() = Pattern(16, 12, 1);
    driver.New() = Pattern(16, 12, 2);
  }
  // The width of New shown in each frame of "Reveal from left" (effect 8).
  std::vector<int32_t> RevealedWidths() {
    std::vector<int32_t> out;
    for (const BottomUpBitmap& f : display.frames) {
      int32_t x = 0;
      while (x < f.Width() && f.GetPixel(x, 0) == driver.New().GetPixel(x, 0)) ++x;
      out.push_back(x);
    }
    return out;
  }

  FakeClock clock;
  RecordingDisplay display;
  TransitionDriver driver;
};

TEST(TransitionDriver, StepCountFollowsTheFirstFrame) {
  const struct {
    int32_t duration;
    uint32_t firstMs;
    int64_t steps;
  } cases[] = {
      {2000, 99, 20},  {2000, 0, 2000}, {2000, 1999, 1}, {2000, 2000, 0},
      {2000, 5000, 0}, {0, 10, 0},      {-50, 10, 0},    {800, 99, 8},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TransitionDriver::StepCount(c.duration, c.firstMs), c.steps)
        << c.duration << " / " << c.firstMs;
}

TEST(TransitionDriver, PercentsRoundHalvesToEven) {
  std::vector<int32_t> got;
  for (int i = 1; i <= 8; ++i) got.push_back(TransitionDriver::StepPercent(i, 8));
  EXPECT_EQ(got, (std::vector<int32_t>{12, 25, 38, 50, 62, 75, 88, 100}));
  EXPECT_EQ(TransitionDriver::StepPercent(1, 3), 33);
  EXPECT_EQ(TransitionDriver::StepPercent(2, 3), 67);
  EXPECT_EQ(TransitionDriver::StepPercent(1, 200), 0);  // 0.5 -> 0
  EXPECT_EQ(TransitionDriver::StepPercent(3, 200), 2);  // 1.5 -> 2
}

struct PacedRow {
  const char* name;
  uint32_t firstMs, laterMs;  // what presenting the first and each later frame costs
  int32_t maxFps;             // 0: no cap
  int64_t drawn;              // frames after 0 %
  uint32_t elapsedMin, elapsedMax;
};

// A transition of 1500 ms. Without a cap the frames follow the first frame's estimate: later
// frames that cost more than the first (their trip to the screen was not in it) make the
// transition long, 500 frames of 5 ms = 2.5 s. A 60 Hz cap draws no more than 90 frames, holds
// each to its time, and leaves out frames whose time has passed, so the transition ends within
// one frame of 1500 ms and still ends on the whole new picture. Catches the cap not applied,
// frames not waiting for their time (a 1 ms frame would end the transition in 0.1 s), late
// frames not left out (50 ms frames would take 3.5 s), and the last frame left out.
TEST(TransitionDriver, ACapHoldsTheTransitionToItsTime) {
  const PacedRow rows[] = {
      {"DesignWithoutCap", 2, 5, 0, 500, 2502, 2502},
      {"CheapFramesWait", 1, 1, 60, 90, 1500, 1500},
      {"FramesDearerThanTheEstimate", 2, 5, 60, 90, 1500, 1500},
      {"FramesSlowerThanTheScreen", 20, 50, 60, 30, 1500, 1550},
      {"ThirtyHertz", 1, 1, 30, 45, 1500, 1500},
  };
  for (const PacedRow& r : rows) {
    Rig rig(r.firstMs, r.laterMs);
    rig.driver.maxFramesPerSecond = r.maxFps;
    const uint32_t start = rig.clock.Ticks();
    ASSERT_EQ(rig.driver.RunTransition(1500, {"8"}), TransitionDriver::Result::Done) << r.name;
    const uint32_t elapsed = rig.clock.Ticks() - start;
    EXPECT_GE(elapsed, r.elapsedMin) << r.name;
    EXPECT_LE(elapsed, r.elapsedMax) << r.name;
    EXPECT_NEAR(static_cast<double>(rig.driver.LastSteps()), static_cast<double>(r.drawn), 1)
        << r.name;
    EXPECT_EQ(static_cast<int64_t>(rig.display.frames.size()), rig.driver.LastSteps() + 1)
        << r.name;
    const std::vector<int32_t> widths = rig.RevealedWidths();
    EXPECT_TRUE(std::is_sorted(widths.begin(), widths.end())) << r.name;
    EXPECT_EQ(widths.back(), 16) << r.name;
  }
}

// The cap over the first-frame count: the smaller of the two, and none for a transition shorter
// than one frame of the screen.
TEST(TransitionDriver, CappedStepCount) {
  EXPECT_EQ(TransitionDriver::CappedStepCount(1500, 0, 0), 1500);
  EXPECT_EQ(TransitionDriver::CappedStepCount(1500, 0, 60), 90);
  EXPECT_EQ(TransitionDriver::CappedStepCount(1500, 99, 60), 15);
  EXPECT_EQ(TransitionDriver::CappedStepCount(1500, 0, 144), 216);
  EXPECT_EQ(TransitionDriver::CappedStepCount(10, 0, 60), 0);
}

TEST(TransitionDriver, AFirstFrameOf99msOver2000msGivesTwentyStepsOfFivePercent) {
  Rig rig(99);
  // A picture 16 wide: "Reveal from left" shows MulDiv(16, percent, 100) columns.
  ASSERT_EQ(rig.driver.RunTransition(2000, {"8"}), TransitionDriver::Result::Done);
  EXPECT_EQ(rig.driver.LastEffect(), 8);
  EXPECT_EQ(rig.driver.LastSteps(), 20);
  ASSERT_EQ(rig.display.frames.size(), 21u);
  std::vector<int32_t> want;
  for (int i = 0; i <= 20; ++i) want.push_back(MulDiv(16, i * 5, 100));
  EXPECT_EQ(rig.RevealedWidths(), want);
  EXPECT_EQ(rig.display.frames.front(), rig.driver.Old());
  EXPECT_EQ(rig.display.frames.back(), rig.driver.New());
}

TEST(TransitionDriver, AFirstFrameSlowerThanTheDurationIsTheOnlyFrame) {
  Rig rig(2500);
  ASSERT_EQ(rig.driver.RunTransition(2000, {"8"}), TransitionDriver::Result::Done);
  EXPECT_EQ(rig.driver.LastSteps(), 0);
  ASSERT_EQ(rig.display.frames.size(), 1u);
  EXPECT_EQ(rig.display.frames[0], rig.driver.Old());
}

TEST(TransitionDriver, DurationZeroDrawsTheZeroPercentFrameAlone) {
  Rig rig(0);
  ASSERT_EQ(rig.driver.RunTransition(0, {"8"}), TransitionDriver::Result::Done);
  ASSERT_EQ(rig.display.frames.size(), 1u);
  EXPECT_EQ(rig.display.frames[0], rig.driver.Old());
}

TEST(TransitionDriver, ANonIntegerItemEndsTheTransitionBeforeAnyFrame) {
  Rig rig(10);
  EXPECT_EQ(rig.driver.RunTransition(2000, {"x"}), TransitionDriver::Result::BadEffectItem);
  EXPECT_TRUE(rig.display.frames.empty());
}

TEST(TransitionDriver, ANumberOutsideTheTableRunsFade) {
  Rig rig(999);  // two steps: 0, 50, 100
  ASSERT_EQ(rig.driver.RunTransition(2000, {"500"}), TransitionDriver::Result::Done);
  EXPECT_EQ(rig.driver.LastEffect(), 1);
  ASSERT_EQ(rig.display.frames.size(), 3u);
  // Halfway through a fade every pixel lies between Old and New.
  const BottomUpBitmap& mid = rig.display.frames[1];
  const Pixel o = rig.driver.Old().GetPixel(3, 3), n = rig.driver.New().GetPixel(3, 3);
  const uint8_t r = PixelR(mid.GetPixel(3, 3));
  EXPECT_GE(r, std::min(PixelR(o), PixelR(n)));
  EXPECT_LE(r, std::max(PixelR(o), PixelR(n)));
}

TEST(TransitionDriver, EngineStepsBeforeEveryFrameAndItsNewPictureIsShown) {
  Rig rig(99);
  int calls = 0;
  std::vector<size_t> framesBeforeCall;
  auto engine = [&](BottomUpBitmap& newBmp) {
    framesBeforeCall.push_back(rig.display.frames.size());
    ++calls;
    newBmp = Pattern(16, 12, 100 + calls);  // the animation moves on
  };
  ASSERT_EQ(rig.driver.RunTransition(2000, {"8"}, engine), TransitionDriver::Result::Done);
  ASSERT_EQ(rig.display.frames.size(), 21u);
  EXPECT_EQ(calls, 21);
  for (size_t i = 0; i < framesBeforeCall.size(); ++i) EXPECT_EQ(framesBeforeCall[i], i);
  // The last frame shows the newest animation frame whole.
  EXPECT_EQ(rig.display.frames.back(), Pattern(16, 12, 100 + calls));
}

TEST(TransitionDriver, EngineStepTimeCountsIntoTheFirstFrame) {
  Rig rig(49);
  auto engine = [&](BottomUpBitmap&) { rig.clock.Advance(50); };
  ASSERT_EQ(rig.driver.RunTransition(2000, {"8"}, engine), TransitionDriver::Result::Done);
  EXPECT_EQ(rig.driver.LastSteps(), 20);  // 2000 div (50 + 49 + 1)
}

TEST(TransitionDriver, EveryFrameStartsFromOld) {
  Rig rig(499);  // four steps
  // "Dissolve" keeps no state: each frame is Old with a share of New over it.
  ASSERT_EQ(rig.driver.RunTransition(2000, {"3"}), TransitionDriver::Result::Done);
  ASSERT_EQ(rig.display.frames.size(), 5u);
  BottomUpBitmap once = rig.driver.Old();
  EffectByNumber(3).Draw(EffectFrame{once, rig.driver.New(), 16, 12, 8, 6, 50});
  EXPECT_EQ(rig.display.frames[2], once);
}

TEST(TransitionDriver, MessagesAreProcessedAndCancelEndsEarly) {
  Rig rig(99);
  int processed = 0;
  rig.driver.processMessages = [&] { ++processed; };
  rig.driver.cancelled = [&] { return processed >= 3; };
  ASSERT_EQ(rig.driver.RunTransition(2000, {"8"}), TransitionDriver::Result::Done);
  EXPECT_EQ(processed, 3);
  EXPECT_EQ(rig.display.frames.size(), 4u);
}

TEST(TransitionDriver, AFailedTransitionReportsNoEffectAndNoSteps) {
  Rig rig(99);
  ASSERT_EQ(rig.driver.RunTransition(2000, {"8"}), TransitionDriver::Result::Done);
  ASSERT_EQ(rig.driver.LastSteps(), 20);
  EXPECT_EQ(rig.driver.RunTransition(2000, {""}), TransitionDriver::Result::BadEffectItem);
  EXPECT_EQ(rig.driver.LastEffect(), 0);
  EXPECT_EQ(rig.driver.LastSteps(), 0);
  EXPECT_EQ(rig.display.frames.size(), 21u);
}

// Stand-in effects for the effectProc hook.
std::vector<int32_t> g_drawn;
void ShowNewWhole(const EffectFrame& frame, const EffectArgs&) {
  g_drawn.push_back(frame.percent);
  frame.work = frame.newBmp;
}
constexpr Effect kShowNewWhole{7, "Show New whole", ShowNewWhole, {}};
// Shows New whole and leaves the left half selected as the clip region.
void LeaveClipRegion(const EffectFrame& frame, const EffectArgs&) {
  Draw(frame.work, 0, 0, frame.newBmp);
  const Region left = Region::FromRect(0, 0, frame.W / 2, frame.H);
  frame.work.SelectClipRgn(&left);
}
constexpr Effect kLeaveClipRegion{1, "Leave a clip region", LeaveClipRegion, {}};

TEST(TransitionDriver, EffectProcHookReplacesTheTable) {
  Rig rig(999);  // two steps: 0, 50, 100
  std::vector<int32_t> asked;
  rig.driver.effectProc = [&](int32_t n) -> const Effect* {
    asked.push_back(n);
    return n == 7 ? &kShowNewWhole : nullptr;
  };
  g_drawn.clear();
  ASSERT_EQ(rig.driver.RunTransition(2000, {"7"}), TransitionDriver::Result::Done);
  EXPECT_EQ(g_drawn, (std::vector<int32_t>{0, 50, 100}));
  EXPECT_EQ(asked, (std::vector<int32_t>{7, 7, 7}));
  ASSERT_EQ(rig.display.frames.size(), 3u);
  EXPECT_EQ(rig.display.frames[0], rig.driver.New());
}

// The driver draws an entry with its own arguments: a driver that called the routine with
// default arguments would draw every family member as the same effect.
std::vector<EffectArgs> g_argsSeen;
void RecordArgs(const EffectFrame& frame, const EffectArgs& args) {
  g_argsSeen.push_back(args);
  frame.work = frame.newBmp;
}
constexpr Effect kRecordArgs{3, "Record arguments", RecordArgs, {4, 3, 2, 1}};

TEST(TransitionDriver, EntriesAreDrawnWithTheirArguments) {
  Rig rig(999);
  rig.driver.effectProc = [](int32_t) -> const Effect* { return &kRecordArgs; };
  g_argsSeen.clear();
  rig.driver.TransitionStep(3, 40);
  EXPECT_EQ(g_argsSeen, (std::vector<EffectArgs>{EffectArgs{4, 3, 2, 1}}));
}

TEST(TransitionDriver, AMissingRoutineFallsBackToEffectOneThenToOld) {
  Rig rig(999);
  rig.driver.effectProc = [](int32_t n) -> const Effect* {
    return n == 1 ? &kShowNewWhole : nullptr;
  };
  g_drawn.clear();
  rig.driver.TransitionStep(42, 30);
  EXPECT_EQ(g_drawn, (std::vector<int32_t>{30}));
  EXPECT_EQ(rig.display.frames.back(), rig.driver.New());

  rig.driver.effectProc = [](int32_t) -> const Effect* { return nullptr; };
  rig.driver.TransitionStep(42, 30);
  EXPECT_EQ(rig.display.frames.back(), rig.driver.Old());
}

TEST(TransitionDriver, AClipRegionLeftByAnEffectDoesNotClipTheNextCopyOfOld) {
  Rig rig(10);
  rig.driver.effectProc = [](int32_t) -> const Effect* { return &kLeaveClipRegion; };
  rig.driver.TransitionStep(1, 50);
  ASSERT_TRUE(rig.driver.Work().ClipRegion());
  rig.driver.effectProc = [](int32_t) -> const Effect* { return nullptr; };
  rig.driver.TransitionStep(1, 50);
  EXPECT_FALSE(rig.driver.Work().ClipRegion());
  EXPECT_EQ(rig.display.frames.back(), rig.driver.Old());
}

}  // namespace
}  // namespace vec

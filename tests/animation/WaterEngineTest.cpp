#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "animation/WaterEngine.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "tests/animation/AnimTestSupport.h"
#include "tests/support/VectorLevels.h"
namespace vec {
namespace {

using testing::CoordPixel;
using testing::MakePicture;

WaveSet Wave(int32_t amplitude, int32_t cycles, int32_t period, bool horizontal, bool vertical) {
  WaveSet w;
  w.Amplitude = amplitude;
  w.Cycles = cycles;
  w.Period = period;
  w.Horizontal = horizontal;
  w.Vertical = vertical;
  w.Forward = 1;
  return w;
}

// An engine on a fake clock over a picture made by the test.
struct EngineRig {
  FakeClock clock{1000000};
  Picture picture;
  WaterEngine engine{&clock};

  void Start() {
    engine.SetPicture(picture);
    engine.SetWeather(false);
    engine.Start();
    engine.SetWeather(picture.weather.Kind > 0);
  }
  void TickAfter(uint32_t ms) {
    clock.Advance(ms);
    engine.Tick();
  }
  Pixel At(int32_t row, int32_t col) const { return engine.Output().GetPixel(col, row); }
};

TEST(AnimEngine, EmptyMaskDrawsTheStillPictureWhileThePhasesAdvance) {
  EngineRig rig;
  MakePicture(rig.picture, 16, 12, [](int32_t, int32_t) { return 0; });
  for (auto& w : rig.picture.waveSets) w = Wave(6, 2, 360, true, true), w.PhaseStep = 10;
  rig.Start();
  for (int i = 0; i < 3; ++i) rig.TickAfter(50);
  for (int32_t r = 0; r < 12; ++r)
    for (int32_t c = 0; c < 16; ++c) ASSERT_EQ(rig.At(r, c), CoordPixel(r, c));
  for (int k = 0; k < 4; ++k) EXPECT_EQ(rig.engine.Phase(k), 30);
}

// Row r of column `col` in the output tells the displacement used on that row.
struct RowShift {
  int32_t dv, dh;
};
std::vector<RowShift> ObservedShifts(const EngineRig& rig, int32_t col, int32_t margin) {
  std::vector<RowShift> out;
  for (int32_t r = margin; r < rig.engine.Height() - margin; ++r) {
    const Pixel p = rig.At(r, col);
    out.push_back({testing::RowOf(p) - r, testing::ColOf(p) - col});
  }
  return out;
}

TEST(AnimEngine, Period360MakesTheVerticalAndHorizontalShiftsEqual) {
  EngineRig rig;
  MakePicture(rig.picture, 64, 200, [](int32_t, int32_t) { return 1; });
  rig.picture.waveSets[0] = Wave(8, 3, 360, true, true);
  rig.Start();
  rig.TickAfter(40);
  bool moved = false;
  for (const RowShift& s : ObservedShifts(rig, 32, 9)) {
    ASSERT_EQ(s.dv, s.dh);
    moved |= s.dv != 0;
  }
  EXPECT_TRUE(moved);
}

TEST(AnimEngine, Period180MakesTheVerticalShiftAHalfCosineThatJumpsBack) {
  EngineRig rig;
  MakePicture(rig.picture, 64, 200, [](int32_t, int32_t) { return 1; });
  rig.picture.waveSets[0] = Wave(8, 3, 180, true, true);
  rig.Start();
  rig.TickAfter(40);
  int same = 0, opposite = 0;
  for (const RowShift& s : ObservedShifts(rig, 32, 9)) {
    ASSERT_TRUE(s.dv == s.dh || s.dv == -s.dh) << s.dv << " " << s.dh;
    if (s.dh != 0) (s.dv == s.dh ? same : opposite)++;
  }
  EXPECT_GT(same, 10);
  EXPECT_GT(opposite, 10);
}

TEST(AnimEngine, BackwardPhaseUsesTheTruncatingRemainder) {
  // With no cycles the argument is the phase alone. cos is even and the truncating
  // remainder of -a is minus that of a, so running backwards shows the same water;
  // a floored remainder would flip the vertical shift for Period 180.
  auto run = [](int32_t forward) {
    auto rig = std::make_unique<EngineRig>();
    MakePicture(rig->picture, 32, 40, [](int32_t, int32_t) { return 1; });
    WaveSet w = Wave(8, 0, 180, true, true);
    w.PhaseStep = 37;
    w.Forward = forward;
    rig->picture.waveSets[0] = w;
    rig->Start();
    for (int i = 0; i < 3; ++i) rig->TickAfter(50);
    return rig;
  };
  auto fwd = run(1), back = run(0);
  EXPECT_EQ(fwd->engine.Phase(0), 111);
  EXPECT_EQ(back->engine.Phase(0), -111);
  // The frame shows the phase of the tick before the last step: 74 and -74.
  EXPECT_EQ(PixelChecksum(fwd->engine.Output()), PixelChecksum(back->engine.Output()));
  const Pixel p = back->At(20, 16);
  EXPECT_EQ(testing::RowOf(p) - 20, testing::ColOf(p) - 16);  // 74 rem 180 = 74 for both
}

TEST(AnimEngine, PixelsOnlyMoveInsideTheirOwnArea) {
  // Area 1 everywhere but one pixel of area 2 at (5, 10) and a last column of no area.
  EngineRig rig;
  MakePicture(rig.picture, 20, 20, [](int32_t r, int32_t c) {
    if (c == 19) return 0;
    return (r == 5 && c == 10) ? 2 : 1;
  });
  rig.picture.waveSets[0] = Wave(5, 0, 360, true, true);  // shift (5, 5) everywhere
  rig.Start();
  rig.TickAfter(30);
  EXPECT_EQ(rig.At(5, 5), CoordPixel(5, 5)) << "target row at the source column is area 2";
  EXPECT_EQ(rig.At(0, 5), CoordPixel(0, 5)) << "source pixel is area 2";
  EXPECT_EQ(rig.At(1, 5), CoordPixel(6, 10));
  EXPECT_EQ(rig.At(2, 13), CoordPixel(7, 18));
  EXPECT_EQ(rig.At(2, 17), CoordPixel(2, 17)) << "source column clamps into no area";
  EXPECT_EQ(rig.At(5, 10), CoordPixel(5, 10));
}

TEST(AnimEngine, SingleRowAreaWithPerspectiveGetsFullAmplitudeAndAFifthOfTheFrequency) {
  EngineRig rig;
  MakePicture(rig.picture, 40, 100,
              [](int32_t r, int32_t c) { return (r == 50 && c >= 10 && c < 30) ? 1 : 0; });
  WaveSet w = Wave(10, 1, 360, true, false);
  w.Perspective = 1;
  rig.picture.waveSets[0] = w;
  rig.Start();
  rig.TickAfter(20);
  // a = round(50 x 0.2 x 360 / 100) = 36; round(cos 36 x 10) = 8.
  EXPECT_EQ(rig.At(50, 15), CoordPixel(50, 23));
  EXPECT_EQ(rig.At(50, 21), CoordPixel(50, 29));
  EXPECT_EQ(rig.At(50, 22), CoordPixel(50, 22)) << "source column 30 is outside the area";
}

struct PhaseCase {
  const char* name;
  int32_t phaseStep, speed, forward;
  std::vector<uint32_t> ticks;
  int64_t phase;
};

class PhaseSteps : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(PhaseSteps, AreRoundedPerTick) {
  const PhaseCase& pc = GetParam();
  EngineRig rig;
  MakePicture(rig.picture, 8, 8, [](int32_t, int32_t) { return 1; });
  WaveSet w = Wave(1, 1, 360, true, true);
  w.PhaseStep = pc.phaseStep;
  w.Forward = pc.forward;
  rig.picture.waveSets[0] = w;
  rig.picture.speed = pc.speed;
  rig.Start();
  for (uint32_t ms : pc.ticks) rig.TickAfter(ms);
  EXPECT_EQ(rig.engine.Phase(0), pc.phase);
}

INSTANTIATE_TEST_SUITE_P(
    AnimEngine, PhaseSteps,
    ::testing::Values(PhaseCase{"TwoTicksOf25HalvesRoundUpToEven", 3, 100, 1, {25, 25}, 4},
                      PhaseCase{"OneTickOf50", 3, 100, 1, {50}, 3},
                      PhaseCase{"TwoTicksOf25HalvesRoundDownToEven", 1, 100, 1, {25, 25}, 0},
                      PhaseCase{"OneTickOf50Small", 1, 100, 1, {50}, 1},
                      PhaseCase{"SpeedScalesTheStep", 5, 150, 1, {33}, 5},
                      PhaseCase{"BackwardDecreases", 10, 100, 0, {50, 50}, -20},
                      PhaseCase{"WrappedTickCountersStillCount", 50, 100, 1, {32}, 32}),
    [](const ::testing::TestParamInfo<PhaseCase>& info) { return info.param.name; });

TEST(AnimEngine, WrappedOrBackwardTickCountNeverGivesAHugeStep) {
  EngineRig rig;
  rig.clock.Set(0xFFFFFFF0u);
  MakePicture(rig.picture, 8, 8, [](int32_t, int32_t) { return 1; });
  WaveSet w = Wave(1, 1, 360, true, true);
  w.PhaseStep = 50;  // one degree per millisecond
  rig.picture.waveSets[0] = w;
  rig.Start();
  rig.clock.Set(0x10);  // 32 ms later, across the wrap
  rig.engine.Tick();
  EXPECT_EQ(rig.engine.Phase(0), 32);
  rig.clock.Set(0x08);  // the counter went backwards
  rig.engine.Tick();
  EXPECT_EQ(rig.engine.Phase(0), 32);
  rig.TickAfter(3000000);  // a long pause moves the water by all of it
  EXPECT_EQ(rig.engine.Phase(0), 3000032);
}

// The shift of a row whose wave argument is `angle` degrees, with the given amplitude:
// Cycles 0 makes the argument the phase alone, which one tick of 50 ms sets.
int32_t ShiftAtAngle(int32_t angle, int32_t amplitude) {
  EngineRig rig;
  MakePicture(rig.picture, 40, 6, [](int32_t, int32_t) { return 1; });
  WaveSet w = Wave(amplitude, 0, 360, true, false);
  w.PhaseStep = angle < 0 ? -angle : angle;
  w.Forward = angle < 0 ? 0 : 1;
  rig.picture.waveSets[0] = w;
  rig.Start();
  rig.TickAfter(50);  // draws phase 0, then steps to `angle`
  rig.TickAfter(50);  // draws `angle`
  return testing::ColOf(rig.At(3, 20)) - 20;
}

struct AngleCase {
  int32_t angle, amplitude, shift;
};

class ExactCosine : public ::testing::TestWithParam<AngleCase> {};

TEST_P(ExactCosine, HalvesRoundToEven) {
  const AngleCase& ac = GetParam();
  EXPECT_EQ(ShiftAtAngle(ac.angle, ac.amplitude), ac.shift)
      << "round(cos " << ac.angle << " x " << ac.amplitude << ")";
}

INSTANTIATE_TEST_SUITE_P(AnimEngine, ExactCosine,
                         ::testing::Values(AngleCase{60, 1, 0}, AngleCase{60, 3, 2},
                                           AngleCase{60, 5, 2}, AngleCase{-60, 3, 2},
                                           AngleCase{120, 3, -2}, AngleCase{120, 5, -2},
                                           AngleCase{240, 3, -2}, AngleCase{240, 1, 0},
                                           AngleCase{300, 7, 4}, AngleCase{300, 3, 2},
                                           AngleCase{90, 9, 0}, AngleCase{270, 9, 0},
                                           AngleCase{180, 4, -4}, AngleCase{45, 10, 7}));

// One area over the whole picture, moved straight down by 50 rows: every row of a column
// whose offset s lies below 0 after the offset lands on row 0; the last of them, row
// min(s, 19), reads row 50 - s + min(s, 19), clamped. A shift held at the picture height
// would read rows 30 too high.
class LargeScatter : public ::testing::TestWithParam<int32_t> {};

TEST_P(LargeScatter, AddsTheFullVerticalShiftBeforeClamping) {
  // The offsets are drawn at start; a fixed seed keeps the count of large ones from being
  // left to chance.
  struct Seeded {
    Seeded() {
      SetRandSeed(4242);
      LockRandomize(true);
    }
    ~Seeded() { LockRandomize(false); }
  } seeded;
  EngineRig rig;
  MakePicture(rig.picture, 64, 20, [](int32_t, int32_t) { return 1; });
  WaveSet w = Wave(50, 0, 360, false, true);
  w.Scatter = GetParam();
  rig.picture.waveSets[0] = w;
  rig.Start();
  rig.TickAfter(40);
  int32_t beyond = 0;
  for (int32_t c = 0; c < 64; ++c) {
    const int32_t s = rig.engine.ScatterOffset(0, c);
    const int32_t last = std::min(s, 19);
    const int32_t row = std::clamp(last - s + 50, 0, 19);
    ASSERT_EQ(rig.At(0, c), CoordPixel(row, c)) << "column " << c << " offset " << s;
    beyond += s > 30;
  }
  EXPECT_GT(beyond, 10);
}

INSTANTIATE_TEST_SUITE_P(AnimEngine, LargeScatter, ::testing::Values(45, 100));

TEST(AnimEngine, PeriodZeroOfAnAbsentAreaIsNeverUsed) {
  EngineRig rig;
  MakePicture(rig.picture, 16, 16, [](int32_t r, int32_t) { return r < 8 ? 1 : 0; });
  rig.picture.waveSets[0] = Wave(3, 2, 360, true, true);
  for (int k = 1; k < 4; ++k) rig.picture.waveSets[static_cast<size_t>(k)] = Wave(3, 5, 0, 1, 1);
  rig.Start();
  rig.TickAfter(50);
  for (int32_t r = 8; r < 16; ++r) EXPECT_EQ(rig.At(r, 3), CoordPixel(r, 3));
}

TEST(AnimEngine, PeriodZeroOrNegativeOfAPresentAreaActsAsAFullCycle) {
  auto frame = [](int32_t period) {
    EngineRig rig;
    MakePicture(rig.picture, 32, 64, [](int32_t, int32_t) { return 1; });
    WaveSet w = Wave(6, 2, period, true, true);
    w.PhaseStep = 17;
    rig.picture.waveSets[0] = w;
    rig.Start();
    rig.TickAfter(50);
    rig.TickAfter(50);
    return PixelChecksum(rig.engine.Output());
  };
  const uint64_t full = frame(360);
  EXPECT_EQ(frame(0), full);
  EXPECT_EQ(frame(-90), full);
  EXPECT_NE(frame(180), full);
}

TEST(AnimEngine, RowsWithoutAreaPixelsAreNeverTouchedAfterStart) {
  EngineRig rig;
  MakePicture(rig.picture, 20, 30, [](int32_t r, int32_t) { return (r >= 10 && r < 15) ? 1 : 0; });
  WaveSet w = Wave(6, 3, 360, true, true);
  w.Scatter = 5;
  w.PhaseStep = 23;
  rig.picture.waveSets[0] = w;
  rig.Start();
  // Whatever the picture holds now, rows outside the area keep what start drew.
  for (int32_t r = 0; r < 30; ++r)
    for (int32_t c = 0; c < 20; ++c) rig.picture.image.SetPixel(c, r, 0x12345678);
  for (int i = 0; i < 5; ++i) rig.TickAfter(40);
  for (int32_t r = 0; r < 30; ++r) {
    if (r >= 10 && r < 15) continue;
    for (int32_t c = 0; c < 20; ++c) ASSERT_EQ(rig.At(r, c), CoordPixel(r, c)) << r << "," << c;
  }
}

TEST(AnimEngine, MirrorAreaShowsThePictureAboveItsFirstRowUpsideDown) {
  EngineRig rig;
  MakePicture(rig.picture, 10, 30, [](int32_t r, int32_t) { return (r >= 10 && r < 20) ? 1 : 0; });
  WaveSet w = Wave(0, 1, 360, true, true);
  w.Mirror = 1;
  rig.picture.waveSets[0] = w;
  rig.Start();
  EXPECT_EQ(rig.At(12, 4), CoordPixel(12, 4)) << "start leaves the still picture";
  rig.TickAfter(33);
  for (int32_t j = 0; j < 10; ++j) EXPECT_EQ(rig.At(10 + j, 4), CoordPixel(9 - j, 4));
  EXPECT_EQ(rig.At(20, 4), CoordPixel(20, 4));
  rig.engine.ResetFrame();
  EXPECT_EQ(rig.At(12, 4), CoordPixel(12, 4));
}

TEST(AnimEngine, OutputIsTheCompositeOnlyWithWeatherOrObjects) {
  EngineRig rig;
  MakePicture(rig.picture, 8, 8, [](int32_t, int32_t) { return 0; });
  rig.Start();
  EXPECT_EQ(&rig.engine.Output(), &rig.engine.Frame());
  rig.picture.weather = {kWeatherSnow, 20, 10, 90, 10, 9};
  rig.engine.SetWeather(true);
  EXPECT_NE(&rig.engine.Output(), &rig.engine.Frame());
  EXPECT_EQ(rig.engine.Weather()->Count(), 20);
  rig.picture.weather.Kind = kWeatherNone;
  rig.engine.SetWeather(true);
  EXPECT_FALSE(rig.engine.WeatherOn());
  EXPECT_EQ(&rig.engine.Output(), &rig.engine.Frame());
}

TEST(AnimEngine, DamagedValuesDoNotCrash) {
  EngineRig rig;
  MakePicture(rig.picture, 24, 24, [](int32_t r, int32_t c) { return 1 + (r / 12) * 2 + c / 12; });
  for (auto& w : rig.picture.waveSets) {
    w = Wave(INT32_MAX, INT32_MAX, INT32_MIN, true, true);
    w.PhaseStep = INT32_MAX;
    w.Scatter = -7;
    w.Perspective = 1;
  }
  rig.picture.waveSets[1].Scatter = INT32_MAX;
  rig.picture.speed = INT32_MAX;
  rig.picture.mask = AreaMask(10, 5);  // smaller than the picture
  rig.Start();
  for (int i = 0; i < 4; ++i) rig.TickAfter(999);
  EXPECT_EQ(rig.engine.Output().Width(), 24);
}

// A mask byte beyond the last area (which only a fault could put there) counts as no area:
// the frames equal those of a mask with 0 there, and no wave set past the fourth is read.
TEST(AnimEngine, MaskIndexBeyondTheLastAreaIsNoArea) {
  const auto frames = [](uint8_t stray) {
    EngineRig rig;
    MakePicture(rig.picture, 20, 12, [](int32_t r, int32_t) { return r >= 6 ? 1 : 0; });
    rig.picture.waveSets[0] = Wave(4, 3, 0, true, false);
    std::fill_n(rig.picture.mask.Row(2) + 5, 9, stray);
    rig.Start();
    std::vector<uint64_t> out;
    for (int i = 0; i < 3; ++i) {
      rig.TickAfter(40);
      out.push_back(PixelChecksum(rig.engine.Output()));
    }
    return out;
  };
  EXPECT_EQ(frames(5), frames(0));
  EXPECT_EQ(frames(255), frames(0));
}

// A fixed seed folds a few ticks of all features into one value; a change in any formula
// shows here. Dump the frame with SaveBmp32 when it fails.
TEST(AnimEngine, GoldenChecksumOfAFewTicks) {
  SetRandSeed(20240601);
  LockRandomize(true);
  EngineRig rig;
  MakePicture(rig.picture, 64, 48, [](int32_t r, int32_t c) {
    if (r < 12) return 0;
    if (r < 24) return c < 32 ? 1 : 2;
    return c < 32 ? 3 : 4;
  });
  rig.picture.waveSets[0] = Wave(3, 2, 360, true, true);
  rig.picture.waveSets[0].PhaseStep = 9;
  rig.picture.waveSets[1] = Wave(4, 3, 180, true, false);
  rig.picture.waveSets[1].Mirror = 1;
  rig.picture.waveSets[1].PhaseStep = 5;
  rig.picture.waveSets[2] = Wave(5, 1, 360, false, true);
  rig.picture.waveSets[2].Scatter = 4;
  rig.picture.waveSets[2].PhaseStep = 12;
  rig.picture.waveSets[3] = Wave(6, 4, 270, true, true);
  rig.picture.waveSets[3].Perspective = 1;
  rig.picture.waveSets[3].Forward = 0;
  rig.picture.waveSets[3].PhaseStep = 7;
  rig.picture.weather = {kWeatherSnow, 40, 12, 90, 10, 9};
  rig.Start();
  for (int i = 0; i < 5; ++i) rig.TickAfter(33);
  const uint64_t sum = PixelChecksum(rig.engine.Output());
  LockRandomize(false);
  EXPECT_EQ(sum, 0x957ad98c9113dbf4ull) << std::hex << sum;
}

}  // namespace
}  // namespace vec

// The tick's row tables and block copies against the pixel-by-pixel rule, on pictures made
// from a fixed seed: every frame of both must be the same.

namespace vec {
namespace {

// Keeps the global generator locked to a seed while an engine starts.
class SeedLock {
 public:
  explicit SeedLock(uint32_t seed) {
    SetRandSeed(seed);
    LockRandomize(true);
  }
  ~SeedLock() { LockRandomize(false); }
  SeedLock(const SeedLock&) = delete;
  SeedLock& operator=(const SeedLock&) = delete;
};

struct Engine {
  FakeClock clock{5000};
  WaterEngine engine{&clock};
};

std::unique_ptr<Engine> StartEngine(Picture& picture, bool reference, uint32_t seed) {
  auto e = std::make_unique<Engine>();
  e->engine.SetReferenceTick(reference);
  e->engine.SetPicture(picture);
  e->engine.SetWeather(false);
  SeedLock lock(seed);
  e->engine.Start();
  return e;
}

int Pick(std::mt19937& rng, int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// Areas painted as rectangles over a background, with a sprinkle of single pixels so that
// area edges are ragged; sometimes a mask smaller than the picture.
void RandomPicture(Picture& p, std::mt19937& rng) {
  const int32_t w = Pick(rng, 1, 100), h = Pick(rng, 1, 90);
  std::vector<int> area(static_cast<size_t>(w) * static_cast<size_t>(h),
                        Pick(rng, 0, 3) == 0 ? Pick(rng, 1, 4) : 0);
  const int rects = Pick(rng, 0, 6);
  for (int i = 0; i < rects; ++i) {
    const int32_t x0 = Pick(rng, 0, w - 1), y0 = Pick(rng, 0, h - 1);
    const int32_t x1 = Pick(rng, x0, w - 1), y1 = Pick(rng, y0, h - 1);
    const int a = Pick(rng, 0, 4);
    for (int32_t y = y0; y <= y1; ++y)
      for (int32_t x = x0; x <= x1; ++x) area[static_cast<size_t>(y * w + x)] = a;
  }
  const int noise = Pick(rng, 0, 3) == 0 ? Pick(rng, 0, w * h / 3) : Pick(rng, 0, 8);
  for (int i = 0; i < noise; ++i)
    area[static_cast<size_t>(Pick(rng, 0, w * h - 1))] = Pick(rng, 0, 4);
  testing::MakePicture(p, w, h,
                       [&](int32_t r, int32_t c) { return area[static_cast<size_t>(r * w + c)]; });
  if (Pick(rng, 0, 9) == 0) p.mask = AreaMask(Pick(rng, 0, w), Pick(rng, 0, h));

  static constexpr int32_t kPeriods[] = {360, 360, 180, 90, 270, 720, 0, -45, 1, 7};
  for (WaveSet& wp : p.waveSets) {
    wp = WaveSet{};
    wp.Amplitude = Pick(rng, 0, 9) == 0 ? Pick(rng, -300, 300) : Pick(rng, 0, 12);
    wp.Cycles = Pick(rng, -3, 9);
    wp.Period = Pick(rng, 0, 4) == 0 ? Pick(rng, -10, 1000) : kPeriods[Pick(rng, 0, 9)];
    wp.PhaseStep = Pick(rng, 0, 45);
    wp.Forward = Pick(rng, 0, 1);
    wp.Horizontal = static_cast<uint8_t>(Pick(rng, 0, 3) != 0);
    wp.Vertical = static_cast<uint8_t>(Pick(rng, 0, 3) != 0);
    wp.Perspective = static_cast<uint8_t>(Pick(rng, 0, 1));
    wp.Mirror = static_cast<uint8_t>(Pick(rng, 0, 4) == 0);
    switch (Pick(rng, 0, 5)) {
      case 0:
      case 1:
        wp.Scatter = 0;
        break;
      case 2:
        wp.Scatter = Pick(rng, 1, 4);
        break;
      case 3:
        wp.Scatter = Pick(rng, 5, 80);
        break;
      case 4:
        wp.Scatter = h + Pick(rng, 0, 150);
        break;
      default:
        wp.Scatter = Pick(rng, -3, 2);
        break;
    }
  }
  static constexpr int32_t kSpeeds[] = {100, 100, 50, 150, 237};
  p.speed = kSpeeds[Pick(rng, 0, 4)];
}

// Ticks both engines through the same clock steps; every frame must match, and all of
// them fold into one checksum per engine.
struct TwinRun {
  uint64_t fast = 0, reference = 0;
  int64_t moved = 0;  // frame pixels that differ from the picture, over all ticks
};

void RunTwins(Picture& picture, uint32_t seed, const std::vector<uint32_t>& steps, TwinRun& out) {
  auto fast = StartEngine(picture, false, seed);
  auto ref = StartEngine(picture, true, seed);
  for (size_t i = 0; i < steps.size(); ++i) {
    fast->clock.Advance(steps[i]);
    ref->clock.Advance(steps[i]);
    fast->engine.Tick();
    ref->engine.Tick();
    const BlendBitmap& a = fast->engine.Frame();
    const BlendBitmap& b = ref->engine.Frame();
    const uint64_t sa = PixelChecksum(a), sb = PixelChecksum(b);
    out.fast = out.fast * 31 + sa;
    out.reference = out.reference * 31 + sb;
    ASSERT_EQ(sa, sb) << "seed " << seed << " tick " << i;
    for (int32_t y = 0; y < a.Height(); ++y)
      for (int32_t x = 0; x < a.Width(); ++x)
        out.moved += a.GetPixel(x, y) != picture.image.GetPixel(x, y);
  }
}

TEST(AnimEngineFastPath, MatchesThePixelRuleOnRandomProjects) {
  for (const VectorLevel level : testing::LevelsToTest()) {
    const testing::ScopedVectorLevel limit(level);
    TwinRun run;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
      std::mt19937 rng(seed);
      Picture picture;
      RandomPicture(picture, rng);
      std::vector<uint32_t> steps;
      for (int i = 0; i < 6; ++i) steps.push_back(static_cast<uint32_t>(Pick(rng, 0, 120)));
      RunTwins(picture, seed * 2654435761u, steps, run);
      if (HasFatalFailure()) return;
    }
    EXPECT_EQ(run.fast, run.reference) << VectorLevelName(level);
    EXPECT_GT(run.moved, 100000) << "the projects hardly move: the comparison proves little";
  }
}

// Wide quadrants with every feature on, as in the benchmark: long runs of whole blocks.
TEST(AnimEngineFastPath, MatchesThePixelRuleOnWideQuadrantsWithEveryFeature) {
  Picture picture;
  const int32_t w = 300, h = 160;
  testing::MakePicture(picture, w, h, [&](int32_t r, int32_t c) {
    // A wavy shore between the upper and lower areas.
    const int32_t shore = h / 2 + (c % 23) / 4;
    return 1 + (r < shore ? 0 : 2) + (c < w / 2 ? 0 : 1);
  });
  for (int k = 0; k < 4; ++k) {
    WaveSet& wp = picture.waveSets[static_cast<size_t>(k)];
    wp.Amplitude = 6 + k;
    wp.Cycles = 3 + k;
    wp.PhaseStep = 10 + 7 * k;
    wp.Forward = k % 2;
    wp.Horizontal = 1;
    wp.Vertical = 1;
    wp.Perspective = 1;
    wp.Period = k == 1 ? 180 : 360;
    wp.Scatter = k == 2 ? 0 : 3 + k;
    wp.Mirror = static_cast<uint8_t>(k != 3);
  }
  for (const VectorLevel level : testing::LevelsToTest()) {
    const testing::ScopedVectorLevel limit(level);
    TwinRun run;
    RunTwins(picture, 77, {33, 33, 17, 50, 41, 33, 90, 33}, run);
    EXPECT_EQ(run.fast, run.reference) << VectorLevelName(level);
    EXPECT_GT(run.moved, 50000);
  }
}

}  // namespace
}  // namespace vec

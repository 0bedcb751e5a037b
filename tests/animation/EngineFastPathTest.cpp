// The tick's row tables and block copies against the pixel-by-pixel rule, on projects made
// from a fixed seed: every frame of both must be the same.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "animation/WaterEngine.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "tests/animation/AnimTestSupport.h"

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

std::unique_ptr<Engine> StartEngine(Picture& project, bool reference, uint32_t seed) {
  auto e = std::make_unique<Engine>();
  e->engine.SetReferenceTick(reference);
  e->engine.SetProject(project);
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
void RandomProject(Picture& p, std::mt19937& rng) {
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
  testing::MakeProject(p, w, h,
                       [&](int32_t r, int32_t c) { return area[static_cast<size_t>(r * w + c)]; });
  if (Pick(rng, 0, 9) == 0) p.mask.SetSize(Pick(rng, 0, w), Pick(rng, 0, h));

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

void RunTwins(Picture& project, uint32_t seed, const std::vector<uint32_t>& steps, TwinRun& out) {
  auto fast = StartEngine(project, false, seed);
  auto ref = StartEngine(project, true, seed);
  for (size_t i = 0; i < steps.size(); ++i) {
    fast->clock.Advance(steps[i]);
    ref->clock.Advance(steps[i]);
    fast->engine.Tick();
    ref->engine.Tick();
    const Bitmap32& a = fast->engine.Frame();
    const Bitmap32& b = ref->engine.Frame();
    const uint64_t sa = PixelChecksum(a), sb = PixelChecksum(b);
    out.fast = out.fast * 31 + sa;
    out.reference = out.reference * 31 + sb;
    ASSERT_EQ(sa, sb) << "seed " << seed << " tick " << i;
    for (int32_t y = 0; y < a.Height(); ++y)
      for (int32_t x = 0; x < a.Width(); ++x)
        out.moved += a.GetPixel(x, y) != project.picture.GetPixel(x, y);
  }
}

TEST(AnimEngineFastPath, MatchesThePixelRuleOnRandomProjects) {
  TwinRun run;
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    std::mt19937 rng(seed);
    Picture project;
    RandomProject(project, rng);
    std::vector<uint32_t> steps;
    for (int i = 0; i < 6; ++i) steps.push_back(static_cast<uint32_t>(Pick(rng, 0, 120)));
    RunTwins(project, seed * 2654435761u, steps, run);
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(run.fast, run.reference);
  EXPECT_GT(run.moved, 100000) << "the projects hardly move: the comparison proves little";
}

// Wide quadrants with every feature on, as in the benchmark: long runs of whole blocks.
TEST(AnimEngineFastPath, MatchesThePixelRuleOnWideQuadrantsWithEveryFeature) {
  Picture project;
  const int32_t w = 300, h = 160;
  testing::MakeProject(project, w, h, [&](int32_t r, int32_t c) {
    // A wavy shore between the upper and lower areas.
    const int32_t shore = h / 2 + (c % 23) / 4;
    return 1 + (r < shore ? 0 : 2) + (c < w / 2 ? 0 : 1);
  });
  for (int k = 0; k < 4; ++k) {
    WaveSet& wp = project.waveSets[static_cast<size_t>(k)];
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
  TwinRun run;
  RunTwins(project, 77, {33, 33, 17, 50, 41, 33, 90, 33}, run);
  EXPECT_EQ(run.fast, run.reference);
  EXPECT_GT(run.moved, 50000);
}

}  // namespace
}  // namespace vec

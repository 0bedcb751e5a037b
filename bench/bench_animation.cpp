// Water, weather and objects at full-HD output size. Targets: a tick with water over the
// whole picture under 4 ms on one core, weather under 0.5 ms, cost in proportion to the
// water pixels. The water ticks report "xFloor", their CPU time over that of copying two
// full frames with memcpy (the Floor row), measured at start-up in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "animation/WaterEngine.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "graphics/Bmp.h"

namespace {

using namespace vec;

constexpr int32_t kW = 1920, kH = 1080;

// Four areas in quadrants over the top `fraction` of the rows; all wave features on.
void MakeWaterPicture(Picture& p, double fraction) {
  p.image.SetSize(kW, kH);
  p.mask = AreaMask(kW, kH);
  const int32_t waterRows = static_cast<int32_t>(kH * fraction);
  for (int32_t r = 0; r < kH; ++r) {
    Pixel* pic = p.image.ScanLine(r);
    uint8_t* mask = p.mask.Row(r);
    for (int32_t c = 0; c < kW; ++c) {
      pic[c] = MakePixel(static_cast<uint8_t>(r), static_cast<uint8_t>(c), uint8_t(r ^ c));
      int area = 0;
      if (r < waterRows) area = 1 + (r * 2 / std::max(waterRows, 1)) * 2 + (c * 2 / kW);
      mask[c] = static_cast<uint8_t>(area);
    }
  }
  for (int k = 0; k < 4; ++k) {
    WaveSet& w = p.waveSets[static_cast<size_t>(k)];
    w.Amplitude = 6 + k;
    w.Cycles = 3 + k;
    w.PhaseStep = 10;
    w.Forward = k % 2;
    w.Horizontal = 1;
    w.Vertical = 1;
    w.Perspective = 1;
    w.Period = k == 1 ? 180 : 360;
    w.Scatter = 3;
    w.Mirror = 1;
  }
  p.designWidth = kW;
  p.designHeight = kH;
}

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

struct TwoFrames {
  std::vector<Pixel> from = std::vector<Pixel>(size_t{kW} * kH, 1), other = from,
                     to = std::vector<Pixel>(size_t{kW} * kH);
  void Copy() {
    std::memcpy(to.data(), from.data(), to.size() * sizeof(Pixel));
    std::memcpy(to.data(), other.data(), to.size() * sizeof(Pixel));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
};

// CPU seconds of one floor copy, the best of a few rounds, measured once.
double FloorSeconds() {
  static const double seconds = [] {
    TwoFrames f;
    for (int i = 0; i < 3; ++i) f.Copy();
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
      const double t0 = ThreadSeconds();
      for (int i = 0; i < 60; ++i) f.Copy();
      best = std::min(best, (ThreadSeconds() - t0) / 60);
    }
    return best;
  }();
  return seconds;
}

void BM_Floor(benchmark::State& state) {
  TwoFrames f;
  for (auto _ : state) f.Copy();
}
BENCHMARK(BM_Floor)->Name("Floor/1920/1080")->Unit(benchmark::kMillisecond);

void TickWater(benchmark::State& state, double fraction, bool reference = false) {
  FakeClock clock;
  Picture picture;
  MakeWaterPicture(picture, fraction);
  WaterEngine engine(&clock);
  engine.SetReferenceTick(reference);
  engine.SetPicture(picture);
  engine.Start();
  const double floor = FloorSeconds();
  const double t0 = ThreadSeconds();
  for (auto _ : state) {
    clock.Advance(33);
    engine.Tick();
    benchmark::DoNotOptimize(engine.Output().Bits());
  }
  state.counters["xFloor"] =
      (ThreadSeconds() - t0) / static_cast<double>(state.iterations()) / floor;
}

void BM_TickFullWater(benchmark::State& s) {
  TickWater(s, 1.0);
}
void BM_TickHalfWater(benchmark::State& s) {
  TickWater(s, 0.5);
}
void BM_TickNoWater(benchmark::State& s) {
  TickWater(s, 0.0);
}
// The pixel-by-pixel tick the fast one is checked against, for comparison.
void BM_TickFullWaterReference(benchmark::State& s) {
  TickWater(s, 1.0, true);
}
BENCHMARK(BM_TickFullWater)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickFullWaterReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickHalfWater)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickNoWater)->Unit(benchmark::kMillisecond);

template <class Effect>
void WeatherMove(benchmark::State& state) {
  SetRandSeed(1);
  BlendBitmap target(kW, kH);
  Effect effect;
  effect.SetTarget(&target);
  effect.SetCount(1000);
  effect.Place();
  effect.speedIndex = 10;
  effect.opacity = 8;
  effect.elapsed = 33;
  if constexpr (std::is_same_v<Effect, Rain>) effect.length = 40, effect.direction = 100;
  for (auto _ : state) {
    effect.MoveAndDraw();
    benchmark::DoNotOptimize(target.Bits());
  }
}
void BM_Snow1000(benchmark::State& s) {
  WeatherMove<Snow>(s);
}
void BM_Rain1000(benchmark::State& s) {
  WeatherMove<Rain>(s);
}
BENCHMARK(BM_Snow1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rain1000)->Unit(benchmark::kMicrosecond);

// Ten 64 x 48 objects over a still picture: their steps for one frame and their drawing.
void BM_TenObjects(benchmark::State& state) {
  const std::string folder =
      (std::filesystem::temp_directory_path() / "bench_animation_objects").string();
  std::filesystem::create_directories(folder);
  BlendBitmap bird(64, 48);
  bird.Clear(MakePixel(200, 40, 40));
  (void)SaveBmp32(bird, folder + "/bird.bmp");
  FakeClock clock;
  Picture picture;
  MakeWaterPicture(picture, 0.0);
  for (int i = 0; i < 10; ++i)
    picture.objects.text += "[Obj" + std::to_string(i) +
                            "]\r\nObjType=IMG\r\nFilename=bird.bmp\r\nOpacity=8\r\nMotion=" +
                            std::to_string(1 + i % 7) + "\r\nPosLeftType=4\r\nPosTopType=4\r\n";
  // The engine takes the entries the picture reader makes from the text.
  picture.objects.Load(picture.objects.text);
  WaterEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPackageFolder(folder);
  engine.SetPicture(picture);
  engine.Start();
  for (auto _ : state) {
    for (int i = 0; i < 6; ++i) {
      clock.Advance(5);
      engine.Objects().StepAll();
    }
    clock.Advance(3);
    engine.Tick();
    benchmark::DoNotOptimize(engine.Output().Bits());
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TenObjects)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

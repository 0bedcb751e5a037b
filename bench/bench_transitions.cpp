// One transition frame of every wipe and pixel effect (Old copied onto Work, then the
// effect) at 1920 x 1080 and 3840 x 2160, at 13 %, 50 % and 87 %, against the floor of
// copying two full frames with memcpy in the same run.
//
// Ratio to the floor: the "xFloor" counter divides each frame's CPU time by the floor's,
// measured once at start-up; or divide cpu_time by the Floor row of the same size.

#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "transitions/Effect.h"

namespace {

using vec::Bitmap;
using vec::Pixel;

Bitmap Picture(int32_t W, int32_t H, uint32_t salt) {
  Bitmap bmp(W, H);
  uint32_t v = salt * 2654435761u + 1;
  for (size_t i = 0; i < bmp.PixelCount(); ++i) {
    v = v * 1664525u + 1013904223u;
    bmp.Bits()[i] = v;
  }
  return bmp;
}

struct Frames {
  Bitmap oldBmp, newBmp, work;
};

Frames& FramesFor(int32_t W, int32_t H) {
  static std::map<std::pair<int32_t, int32_t>, Frames> cache;
  auto it = cache.find({W, H});
  if (it == cache.end())
    it = cache.emplace(std::pair{W, H}, Frames{Picture(W, H, 1), Picture(W, H, 2), Bitmap(W, H)})
             .first;
  return it->second;
}

void CopyTwoFrames(Frames& f) {
  const size_t bytes = f.oldBmp.PixelCount() * sizeof(Pixel);
  std::memcpy(f.work.Bits(), f.oldBmp.Bits(), bytes);
  std::memcpy(f.work.Bits(), f.newBmp.Bits(), bytes);
  benchmark::DoNotOptimize(f.work.Bits());
  benchmark::ClobberMemory();
}

// CPU time of this thread, as the benchmarks' own CPU column counts it: on a shared machine
// wall-clock time mostly measures the other processes.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// CPU seconds per floor copy of each size, measured once so every effect can report its ratio.
double FloorSeconds(int32_t W, int32_t H) {
  static std::map<std::pair<int32_t, int32_t>, double> measured;
  auto it = measured.find({W, H});
  if (it != measured.end()) return it->second;
  Frames& f = FramesFor(W, H);
  for (int i = 0; i < 3; ++i) CopyTwoFrames(f);
  const int reps = W > 2000 ? 20 : 60;
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    const double t0 = ThreadSeconds();
    for (int i = 0; i < reps; ++i) CopyTwoFrames(f);
    best = std::min(best, (ThreadSeconds() - t0) / reps);
  }
  measured[{W, H}] = best;
  return best;
}

void BM_Floor(benchmark::State& state) {
  Frames& f = FramesFor(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  for (auto _ : state) CopyTwoFrames(f);
}

// The frame as the transition driver draws it.
void BM_Effect(benchmark::State& state, int32_t n) {
  const auto W = static_cast<int32_t>(state.range(0)), H = static_cast<int32_t>(state.range(1));
  const auto percent = static_cast<int32_t>(state.range(2));
  Frames& f = FramesFor(W, H);
  const vec::Extents e = vec::ProgressExtents(W, H, percent);
  const vec::Effect& effect = vec::EffectByNumber(n);
  const vec::EffectFrame frame{f.work, f.newBmp, W, H, e.w, e.h, percent};
  const double floor = FloorSeconds(W, H);
  for (auto _ : state) {
    std::memcpy(f.work.Bits(), f.oldBmp.Bits(), f.oldBmp.PixelCount() * sizeof(Pixel));
    effect.Draw(frame);
    benchmark::DoNotOptimize(f.work.Bits());
    benchmark::ClobberMemory();
  }
  state.counters["xFloor"] =
      benchmark::Counter(floor * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

std::vector<int32_t> BenchedEffects() {
  std::vector<int32_t> n = {1, 2, 3};
  for (int32_t i = 4; i <= 60; ++i) n.push_back(i);
  for (int32_t i = 121; i <= 124; ++i) n.push_back(i);
  for (int32_t i = 130; i <= 137; ++i) n.push_back(i);
  n.push_back(168);
  n.push_back(169);
  return n;
}

const bool registered = [] {
  for (auto [W, H] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    benchmark::RegisterBenchmark("Floor", BM_Floor)->Args({W, H})->Unit(benchmark::kMillisecond);
  }
  for (int32_t n : BenchedEffects()) {
    const std::string name =
        "Effect" + std::to_string(n) + "/" + std::string(vec::EffectByNumber(n).name);
    for (auto [W, H] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
      for (int32_t percent : {13, 50, 87}) {
        auto* b = benchmark::RegisterBenchmark(name.c_str(), BM_Effect, n)
                      ->Args({W, H, percent})
                      ->Unit(benchmark::kMillisecond);
        if (W > 2000) b->Iterations(10);
      }
    }
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();

// One frame of every band and shape region effect at 1920 x 1080, at 13, 50 and 87 %,
// against the floor of any effect: restoring the old picture and copying the new one
// (two whole-frame memcpy). A frame here includes the restore of Work from Old, as the
// transition driver does before it calls the effect.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/MathUtil.h"
#include "base/Random.h"
#include "bench/ProgramAllocator.h"
#include "graphics/BottomUpBitmap.h"
#include "transitions/BandEffects.h"
#include "transitions/Effect.h"
#include "transitions/ShapeEffects.h"

namespace {

using namespace vec;

constexpr int32_t kW = 1920, kH = 1080;

struct Pictures {
  BottomUpBitmap oldBmp{kW, kH}, newBmp{kW, kH}, work{kW, kH};
  Pictures() {
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        oldBmp.SetPixel(x, y, MakePixel(uint8_t(x), uint8_t(y), 0x20));
        newBmp.SetPixel(x, y, MakePixel(uint8_t(y), uint8_t(x), 0xC0));
      }
    }
  }
};

Pictures& Shared() {
  static Pictures pictures;
  return pictures;
}

void RestoreOld(Pictures& p) {
  std::memcpy(p.work.Bits(), p.oldBmp.Bits(), p.work.PixelCount() * sizeof(Pixel));
}

void BM_TwoFrameMemcpyFloor(benchmark::State& state) {
  Pictures& p = Shared();
  for (auto _ : state) {
    RestoreOld(p);
    std::memcpy(p.work.Bits(), p.newBmp.Bits(), p.work.PixelCount() * sizeof(Pixel));
    benchmark::ClobberMemory();
  }
}

void BM_Effect(benchmark::State& state, const Effect& effect, int32_t percent) {
  Pictures& p = Shared();
  const Extents e = ProgressExtents(kW, kH, percent);
  const EffectFrame frame{p.work, p.newBmp, kW, kH, e.w, e.h, percent};
  SetRandSeed(20240601);
  for (auto _ : state) {
    RestoreOld(p);
    effect.Draw(frame);
    benchmark::ClobberMemory();
  }
}

// Every table row drawn by one of the family's routines.
void RegisterFamily(std::span<const EffectRoutine> routines) {
  for (const Effect& effect : EffectsDrawnBy(routines)) {
    for (int32_t percent : {13, 50, 87}) {
      std::string title(effect.name);
      std::replace(title.begin(), title.end(), ' ', '_');
      const std::string name =
          "Effect/" + std::to_string(effect.number) + "/" + title + "/" + std::to_string(percent);
      benchmark::RegisterBenchmark(name.c_str(), BM_Effect, effect, percent)
          ->Unit(benchmark::kMicrosecond);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("TwoFrameMemcpyFloor", BM_TwoFrameMemcpyFloor)
      ->Unit(benchmark::kMicrosecond);
  RegisterFamily(BandRoutines());
  RegisterFamily(ShapeRoutines());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// What the offline commands spend per frame of an animation: choosing and dithering a GIF
// palette for a frame of many colours, and one for a frame of few colours (which keeps its
// own), at the gallery's default size; and a full-colour WebP frame.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>

#include "graphics/BlendBitmap.h"
#include "tools/vectool/Quantiser.h"
#include "tools/vectool/WebpWriter.h"

namespace vectool {
namespace {

constexpr int32_t kW = 320, kH = 240;

// A smooth two-way gradient with a little noise: thousands of colours, like a photo.
vec::BlendBitmap PhotoLike() {
  vec::BlendBitmap b(kW, kH);
  std::mt19937 rng(5);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) {
      const auto n = static_cast<int>(rng() % 9) - 4;
      b.SetPixel(x, y,
                 vec::MakePixel(static_cast<uint8_t>(std::clamp(x * 255 / kW + n, 0, 255)),
                                static_cast<uint8_t>(std::clamp(y * 255 / kH + n, 0, 255)),
                                static_cast<uint8_t>(std::clamp(128 + n, 0, 255))));
    }
  return b;
}

vec::BlendBitmap FewColours() {
  vec::BlendBitmap b(kW, kH);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x)
      b.SetPixel(x, y, x < kW / 3 ? vec::MakePixel(200, 30, 10) : vec::MakePixel(10, 90, 240));
  return b;
}

void BM_QuantiseManyColours(benchmark::State& state) {
  const vec::BlendBitmap frame = PhotoLike();
  const Quantiser quantiser;
  for (auto _ : state) benchmark::DoNotOptimize(quantiser.Quantise(frame, {}));
}
BENCHMARK(BM_QuantiseManyColours)->Unit(benchmark::kMillisecond);

void BM_QuantiseFewColours(benchmark::State& state) {
  const vec::BlendBitmap frame = FewColours();
  const Quantiser quantiser;
  for (auto _ : state) benchmark::DoNotOptimize(quantiser.Quantise(frame, {}));
}
BENCHMARK(BM_QuantiseFewColours)->Unit(benchmark::kMillisecond);

void BM_WebpLosslessFrame(benchmark::State& state) {
  const vec::BlendBitmap a = PhotoLike(), b = FewColours();
  const std::string path = "/tmp/bench_tools_" + std::to_string(getpid()) + ".webp";
  WebpAnimationWriter writer;
  if (const vec::Status opened = writer.Open(path, kW, kH); !opened) {
    state.SkipWithError(opened.error().message.c_str());
    return;
  }
  bool odd = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(writer.AddFrame(odd ? a : b, 50));
    odd = !odd;
  }
  if (const vec::Status closed = writer.Close(); !closed)
    state.SkipWithError(closed.error().message.c_str());
  unlink(path.c_str());
}
BENCHMARK(BM_WebpLosslessFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vectool

BENCHMARK_MAIN();

// Full-frame copies and resampling at display sizes. The memcpy benchmark is the yardstick
// for the copies: BitBlt and StretchBlt of a whole 1920 x 1080 frame should stay close to it.
// BMP decoding has its own yardstick: a plain loop that turns the same 24-bit rows into
// 32-bit pixels; the decoder should be no slower than it.

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Blit.h"
#include "graphics/Bmp.h"
#include "graphics/PictureUtilities.h"

namespace vec {
namespace {

constexpr int kW = 1920, kH = 1080;

BottomUpBitmap NoiseBitmap(int w, int h) {
  BottomUpBitmap b(w, h);
  std::mt19937 rng(1);
  for (size_t i = 0; i < b.PixelCount(); ++i) b.Bits()[i] = rng();
  return b;
}

BlendBitmap NoiseBlendBitmap(int w, int h) {
  BlendBitmap b(w, h);
  std::mt19937 rng(2);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rng());
  }
  return b;
}

void BM_MemcpyFrame(benchmark::State& state) {
  const BottomUpBitmap src = NoiseBitmap(kW, kH);
  BottomUpBitmap dst(kW, kH);
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), src.PixelCount() * sizeof(Pixel));
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMillisecond);

void BM_BitBltFrame(benchmark::State& state) {
  const BottomUpBitmap src = NoiseBitmap(kW, kH);
  BottomUpBitmap dst(kW, kH);
  for (auto _ : state) {
    BitBlt(dst, 0, 0, kW, kH, src, 0, 0);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_BitBltFrame)->Unit(benchmark::kMillisecond);

// A transition's stretch: a whole frame drawn from a block of another size.
void BM_StretchBltFrame(benchmark::State& state) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  const BottomUpBitmap src = NoiseBitmap(kW, kH);
  BottomUpBitmap dst(kW, kH);
  for (auto _ : state) {
    StretchBlt(dst, 0, 0, kW, kH, src, 0, 0, sw, sh);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_StretchBltFrame)->Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_StretchBltMirroredFrame(benchmark::State& state) {
  const BottomUpBitmap src = NoiseBitmap(kW, kH);
  BottomUpBitmap dst(kW, kH);
  for (auto _ : state) {
    StretchBlt(dst, kW - 1, 0, -kW, kH, src, 0, 0, kW, kH);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_StretchBltMirroredFrame)->Unit(benchmark::kMillisecond);

// A band effect's reveal: the new frame copied through a region of about 1000 rectangles.
void BM_BitBltThroughRegion(benchmark::State& state) {
  const BottomUpBitmap src = NoiseBitmap(kW, kH);
  BottomUpBitmap dst(kW, kH);
  std::mt19937 rng(3);
  std::vector<Rect> rects;
  for (int i = 0; i < 1000; ++i) {
    const int x = static_cast<int>(rng() % kW), y = static_cast<int>(rng() % kH);
    rects.push_back(
        {x, y, x + 20 + static_cast<int>(rng() % 100), y + 10 + static_cast<int>(rng() % 60)});
  }
  const Region clip = Region::FromRects(rects);
  state.counters["rects"] = static_cast<double>(clip.Rects().size());
  dst.SelectClipRgn(&clip);
  for (auto _ : state) {
    BitBlt(dst, 0, 0, kW, kH, src, 0, 0);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_BitBltThroughRegion)->Unit(benchmark::kMillisecond);

void BM_StretchLanczos(benchmark::State& state) {
  const BlendBitmap src =
      NoiseBlendBitmap(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  BlendBitmap dst(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
  for (auto _ : state) {
    StretchLanczos(src, dst);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_StretchLanczos)
    ->Args({1920, 1080, 1280, 720})
    ->Args({1024, 768, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

void BM_StretchSmoothTo(benchmark::State& state) {
  const BlendBitmap src =
      NoiseBlendBitmap(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  BlendBitmap dst(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
  for (auto _ : state) {
    StretchSmoothTo(src, dst);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_StretchSmoothTo)
    ->Args({1920, 1080, 1280, 720})
    ->Args({1024, 768, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

// A 1920 x 1080 24-bit bottom-up bitmap file, decoded whole; beside it the yardstick, a
// plain loop that turns the same rows of BGR bytes into 32-bit pixels.
std::vector<uint8_t> Bmp24File(int w, int h) {
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> file(54 + stride * static_cast<size_t>(h));
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B', file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  file[26] = 1, file[28] = 24;
  std::mt19937 rng(4);
  for (size_t i = 54; i < file.size(); ++i) file[i] = static_cast<uint8_t>(rng());
  return file;
}

void BM_DecodeBmp24(benchmark::State& state) {
  const std::vector<uint8_t> file = Bmp24File(kW, kH);
  for (auto _ : state) {
    auto bmp = DecodeBmp(file.data(), file.size());
    if (!bmp) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(bmp.value().Bits());
  }
}
BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);

void BM_PlainBgrRowsToPixels(benchmark::State& state) {
  const std::vector<uint8_t> file = Bmp24File(kW, kH);
  const size_t stride = (size_t{kW} * 3 + 3) / 4 * 4;
  for (auto _ : state) {
    BlendBitmap out(kW, kH);
    for (int y = 0; y < kH; ++y) {
      const uint8_t* in = file.data() + 54 + static_cast<size_t>(kH - 1 - y) * stride;
      Pixel* row = out.ScanLine(y);
      for (int x = 0; x < kW; ++x, in += 3) row[x] = MakePixel(in[2], in[1], in[0]);
    }
    benchmark::DoNotOptimize(out.Bits());
  }
}
BENCHMARK(BM_PlainBgrRowsToPixels)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vec

BENCHMARK_MAIN();

// Picture loading speed: our JPEG decode against the plain library in the same run, and
// FitPicture against pixman's bilinear scaling of the same sizes.

#include <benchmark/benchmark.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <malloc.h>
#include <pixman.h>

#include <string_view>

#include "bench/BenchNoise.h"
#include "bench/ProgramAllocator.h"
#include "graphics/Jpeg.h"
#include "picture/ObjectKeys.h"
#include "picture/Picture.h"

namespace {

vec::BlendBitmap Scene(int32_t w, int32_t h) {
  vec::BlendBitmap bmp(w, h);
  vec::bench::BenchNoise noiseSource(12345);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int noise = static_cast<int>(noiseSource.Next() >> 28);
      bmp.SetPixel(
          x, y,
          vec::MakePixel(uint8_t((x * 255 / w + noise) & 255), uint8_t((y * 255 / h + noise) & 255),
                         uint8_t(((x ^ y) + noise) & 255)));
    }
  return bmp;
}

const std::vector<uint8_t>& Jpeg1080() {
  static const std::vector<uint8_t> jpeg = vec::EncodeJpeg(Scene(1920, 1080), 90).value();
  return jpeg;
}

void BM_JpegDecode_Ours(benchmark::State& state) {
  const auto& jpeg = Jpeg1080();
  vec::BottomUpBitmap bmp;
  for (auto _ : state) {
    auto status = vec::DecodeJpeg(jpeg.data(), jpeg.size(), bmp);
    benchmark::DoNotOptimize(bmp.Bits());
    if (!status) state.SkipWithError("decode failed");
  }
}
BENCHMARK(BM_JpegDecode_Ours)->Unit(benchmark::kMillisecond);

// The library alone: default settings, the same 32-bit output, into one plain buffer.
void BM_JpegDecode_PlainLibjpeg(benchmark::State& state) {
  const auto& jpeg = Jpeg1080();
  std::vector<uint8_t> out(size_t{1920} * 1080 * 4);
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = out.data() + size_t{cinfo.output_scanline} * cinfo.output_width * 4;
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_JpegDecode_PlainLibjpeg)->Unit(benchmark::kMillisecond);

void BM_FitPicture(benchmark::State& state) {
  const int32_t w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  const int32_t W = static_cast<int32_t>(state.range(2)), H = static_cast<int32_t>(state.range(3));
  const vec::BlendBitmap scene = Scene(w, h);
  vec::Picture original;
  original.image.SetSize(w, h);
  scene.DrawTo(original.image, 0, 0);
  original.mask = vec::AreaMask(w, h);
  for (auto _ : state) {
    state.PauseTiming();
    vec::Picture p;
    p.image = original.image;
    p.mask = original.mask;
    state.ResumeTiming();
    vec::FitPicture(false, p, W, H);
    benchmark::DoNotOptimize(p.image.Bits());
  }
}
BENCHMARK(BM_FitPicture)
    ->Args({1920, 1080, 1280, 720})
    ->Args({1024, 768, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

// The same fit into bitmaps kept from the last iteration, as pixman's benchmark below
// writes into a prepared target: the fit's own work without the first touch of fresh
// memory (FitPicture takes new bitmaps, and the kernel's zeroing of their pages is most
// of its time). "picture" fits the picture alone, "mask" adds the mask's stretch.
void BM_FitIntoPrepared(benchmark::State& state) {
  const int32_t w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  const int32_t W = static_cast<int32_t>(state.range(2)), H = static_cast<int32_t>(state.range(3));
  const bool withMask = state.range(4) != 0;
  const vec::BlendBitmap scene = Scene(w, h);
  vec::BottomUpBitmap picture, fittedPicture;
  vec::AreaMask mask(w, h), fittedMask;
  picture.SetSize(w, h);
  scene.DrawTo(picture, 0, 0);
  for (auto _ : state) {
    vec::FitImage(picture, W, H, fittedPicture);
    if (withMask) vec::FitMask(mask, W, H, fittedMask);
    benchmark::DoNotOptimize(fittedPicture.Bits());
    benchmark::DoNotOptimize(fittedMask.Indices());
  }
  state.SetLabel(withMask ? "picture and mask" : "picture");
}
BENCHMARK(BM_FitIntoPrepared)
    ->Args({1920, 1080, 1280, 720, 0})
    ->Args({1920, 1080, 1280, 720, 1})
    ->Args({1024, 768, 1920, 1080, 0})
    ->Args({1024, 768, 1920, 1080, 1})
    ->Unit(benchmark::kMillisecond);

// pixman's bilinear scaling of the picture alone, same sizes.
void BM_PixmanBilinear(benchmark::State& state) {
  const int32_t w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  const int32_t W = static_cast<int32_t>(state.range(2)), H = static_cast<int32_t>(state.range(3));
  vec::BlendBitmap src = Scene(w, h);
  vec::BlendBitmap dst(W, H);
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, src.Bits(), w * 4);
  pixman_image_t* d = pixman_image_create_bits(PIXMAN_x8r8g8b8, W, H, dst.Bits(), W * 4);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(double(w) / W),
                              pixman_double_to_fixed(double(h) / H));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, W, H);
    benchmark::DoNotOptimize(dst.Bits());
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
}
BENCHMARK(BM_PixmanBilinear)
    ->Args({1920, 1080, 1280, 720})
    ->Args({1024, 768, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

// A picture's objects text of n sections of 22 keys each, read into object entries. Each
// section is found through the document's index, so the time grows with n (a scan of the
// whole text per key made 1,000 sections take 2.5 s).
void BM_ObjectKeysLoad(benchmark::State& state) {
  std::string text;
  for (int64_t i = 0; i < state.range(0); ++i) {
    text += "[Obj" + std::to_string(i) + "]\r\nObjType=IMG\r\nFilename=a.bmp\r\n";
    for (int k = 0; k < 20; ++k) text += "Key" + std::to_string(k) + "=1\r\n";
  }
  for (auto _ : state) {
    vec::ObjectKeysList list;
    list.Load(text);
    benchmark::DoNotOptimize(list.entries.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ObjectKeysLoad)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

// The allocator is set up as the program sets it (bench/ProgramAllocator.h): blocks under
// 4 MiB stay in the heap between iterations, larger ones are mapped fresh each time, as a
// slideshow pays once per picture. With --reuse-memory every block stays, so the figures
// show the resampling alone, without the page faults of fresh output bitmaps.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--reuse-memory") {
      mallopt(M_MMAP_THRESHOLD, 256 << 20);
      mallopt(M_TRIM_THRESHOLD, 512 << 20);
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

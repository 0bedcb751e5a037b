// The studio's painting and preview. Targets: a brush stroke segment on a 4K photo (3840 x
// 2160) painted, kept for undo and drawn into the see-through layer within 16 ms, so a
// stroke follows the pointer at 60 moves a second; a preview frame (the engine's tick and
// the canvas drawing it) within 33 ms at 1280 x 720 and 1920 x 1080, for 30 frames a
// second.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <vector>

#include "bench/BenchPictures.h"
#include "studio/MaskCanvas.h"
#include "studio/PreviewPlayer.h"
#include "studio/StudioWindow.h"
#include "studio/model/MaskImages.h"
#include "studio/model/MaskTools.h"
#include "studio/model/PictureDocument.h"
#include "studio/model/WaterPreview.h"

namespace {

using namespace vec;
using namespace vec::studio;

constexpr int32_t k4KWidth = 3840, k4KHeight = 2160;

// One segment of a stroke (its length in pixels, the brush's size as the arguments): the
// mask painted through the stroke's edit, which keeps the tiles it reaches first, and the
// layer over the photo redrawn where it changed. The segments walk across the picture in a
// zigzag, so the edit meets new tiles as a real stroke does; every 64 segments the stroke
// ends and its step is made (counted in the time).
void BM_StrokeSegment4K(benchmark::State& state) {
  const int32_t length = static_cast<int32_t>(state.range(0));
  const int32_t size = static_cast<int32_t>(state.range(1));
  AreaMask mask(k4KWidth, k4KHeight);
  std::vector<uint32_t> layer(static_cast<size_t>(k4KWidth) * k4KHeight);
  EditHistory history;
  std::optional<MaskEdit> edit;
  Point at{size, size};
  int32_t dx = length, dy = length / 3, segments = 0;
  for (auto _ : state) {
    if (!edit) edit.emplace(mask);
    Point to{at.x + dx, at.y + dy};
    if (to.x < 0 || to.x >= k4KWidth) dx = -dx, to.x = at.x + dx;
    if (to.y < 0 || to.y >= k4KHeight) dy = -dy, to.y = at.y + dy;
    const Rect painted = PaintSegment(*edit, at, to, size, static_cast<uint8_t>(1 + segments % 4));
    PaintMaskLayer(mask, painted, layer.data(), k4KWidth);
    at = to;
    if (++segments % 64 == 0) {
      history.Push(edit->Finish());
      edit.reset();
    }
  }
  state.counters["historyMB"] = static_cast<double>(history.MemoryUse()) / (1 << 20);
}
BENCHMARK(BM_StrokeSegment4K)
    ->ArgNames({"length", "brush"})
    ->Args({16, 20})
    ->Args({48, 60})
    ->Args({256, 200})
    ->Args({1024, 500})
    ->Unit(benchmark::kMillisecond);

// A flood fill of half the 4K picture, with its undo tiles and the layer redrawn.
void BM_FloodFillHalf4K(benchmark::State& state) {
  AreaMask mask(k4KWidth, k4KHeight);
  for (int32_t x = 0; x < k4KWidth; ++x) mask.Set(x, k4KHeight / 2, 1);
  std::vector<uint32_t> layer(static_cast<size_t>(k4KWidth) * k4KHeight);
  uint8_t area = 2;
  for (auto _ : state) {
    MaskEdit edit(mask);
    const Rect painted = FloodFill(edit, {5, 5}, area);
    PaintMaskLayer(mask, painted, layer.data(), k4KWidth);
    benchmark::DoNotOptimize(edit.Finish());
    area = area == 2 ? 3 : 2;
  }
}
BENCHMARK(BM_FloodFillHalf4K)->Unit(benchmark::kMillisecond);

// The preview started again on a 4K picture, as after every stroke: the engine prepares the
// area index, the scatter and the mirror image once per start.
void BM_PreviewRestart4K(benchmark::State& state) {
  const std::string file = bench::WaterPictureFile(k4KWidth, k4KHeight, 7, 90);
  auto document = PictureDocument::FromPictureFile(std::vector<uint8_t>(file.begin(), file.end()));
  if (!document) return state.SkipWithError(document.error().message.c_str());
  WaterPreview preview;
  preview.Start(document.value()->Live());
  for (auto _ : state) preview.Restart();
}
BENCHMARK(BM_PreviewRestart4K)->Unit(benchmark::kMillisecond)->UseRealTime();

// The preview's frame as the window shows it: the engine's tick on a picture of water in
// its lower half under rain, and the canvas drawing the frame and the mask layer at a zoom
// that fits the window (Qt's off-screen platform, so the drawing goes to memory).
void BM_PreviewFrame(benchmark::State& state) {
  const int32_t w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  static int argc = 1;
  static char name[] = "bench_studio";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication app(argc, argv);
  const std::string file = bench::WaterPictureFile(w, h, 7, 90);
  auto document = PictureDocument::FromPictureFile(std::vector<uint8_t>(file.begin(), file.end()));
  if (!document) return state.SkipWithError(document.error().message.c_str());
  PreviewPlayer player;
  MaskCanvas canvas;
  canvas.resize(1600, 1000);
  canvas.show();
  canvas.SetDocument(document.value().get());
  QObject::connect(&player, &PreviewPlayer::frameReady, &canvas, &MaskCanvas::SetFrame);
  player.Start(document.value()->Live());
  for (auto _ : state) {
    player.Step();
    canvas.viewport()->repaint();
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PreviewFrame)
    ->ArgNames({"w", "h"})
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

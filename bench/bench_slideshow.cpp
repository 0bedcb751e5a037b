// The show's frame at 1920 x 1080: one engine tick (water, weather) and the present to an
// off-screen display, with the direct output off (frames at the screen's size) and on (frames
// at 1024 x 768, scaled by the display). And how many steps a 2000 ms transition between two
// full-screen pictures gets on this machine. Aims: under 8 ms a frame, at least 60 steps.
// ShowFrame: a whole show frame (water over the full picture, ten objects, rain, present) on
// one core, at full HD and 4K; "coreAt30fps" is the share of one core a show at 30 frames a
// second takes (aims: a 4K frame inside 33 ms, a full-HD show under 0.10).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>

#include "base/Clock.h"
#include "base/FrameThreads.h"
#include "bench/BenchPictures.h"
#include "bench/ProgramAllocator.h"
#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "picture/Picture.h"
#include "slideshow/ShowAdapters.h"
#include "slideshow/ShowDisplay.h"
#include "slideshow/Slideshow.h"

namespace {

using namespace vec;

constexpr int32_t kScreenW = 1920, kScreenH = 1080;

// A sea picture: a gradient sky over water in the lower half, with snow.
void MakePicture(Picture& p, int32_t w, int32_t h) {
  p.image.SetSize(w, h);
  p.mask = AreaMask(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      p.image.SetPixel(
          x, y,
          MakePixel(static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h), 160));
      p.mask.Set(x, y, y >= h / 2 ? 1 : 0);
    }
  p.waveSets[0] = bench::RollingWave(6, 30);
  p.weather = {kWeatherSnow, 400, 10, 90, 0, 8};
  p.designWidth = w;
  p.designHeight = h;
  p.loaded = true;
}

void FrameBench(benchmark::State& state, bool direct) {
  SteadyClock clock;
  ScreenDisplay display(kScreenW, kScreenH);
  if (direct) display.InitDirect();
  Picture picture;
  if (direct)
    MakePicture(picture, 1024, 768);
  else
    MakePicture(picture, kScreenW, kScreenH);
  EngineAdapter engine(clock, "/nonexistent/");
  engine.Begin(picture);
  for (auto _ : state) {
    engine.Step();
    display.Present(engine.Frame(), 0, 0);
    benchmark::DoNotOptimize(display.Screen().Bits());
  }
  engine.End();
}

void BM_FrameScreenSized(benchmark::State& state) {
  FrameBench(state, false);
}
void BM_FrameDirect1024(benchmark::State& state) {
  FrameBench(state, true);
}
BENCHMARK(BM_FrameScreenSized)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameDirect1024)->Unit(benchmark::kMillisecond);

// What the offline renderer writes for each frame of a direct show: the 800 x 600 surface
// scaled into the screen's 4:3 area with black bars around it (the range is the screen).
void BM_ComposeDirect(benchmark::State& state) {
  const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  ScreenDisplay display(w, h);
  display.InitDirect();
  BlendBitmap frame(800, 600);
  frame.Clear(MakePixel(200, 40, 40));
  display.Present(frame, 0, 0);
  BlendBitmap out;
  for (auto _ : state) {
    display.Compose(out);
    benchmark::DoNotOptimize(out.Bits());
  }
}
BENCHMARK(BM_ComposeDirect)->Args({1920, 1080})->Args({1024, 768})->Unit(benchmark::kMicrosecond);

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// Water over the whole picture, rain, and ten 64 x 48 keyed objects that stay in view,
// read from a package folder the way a saver's objects are.
void MakeFullShowPicture(Picture& p, int32_t w, int32_t h, const std::string& folder) {
  MakePicture(p, w, h);
  std::fill_n(p.mask.Row(0), p.mask.PixelCount(), uint8_t{1});
  p.weather = {kWeatherRain, 400, 10, 100, 40, 8};
  BlendBitmap bird(64, 48);
  bird.Clear(MakePixel(0, 255, 0));
  for (int32_t y = 8; y < 40; ++y)
    for (int32_t x = 8; x < 56; ++x) bird.SetPixel(x, y, MakePixel(200, 40, 40));
  (void)SaveBmp32(bird, folder + "bird.bmp");
  // Motions that keep an object on the screen: wander, the two ping-pongs, circle, jitter.
  constexpr int kMotions[] = {1, 5, 6, 7, 9};
  for (int i = 0; i < 10; ++i)
    p.objects.text += "[Obj" + std::to_string(i) +
                      "]\r\nObjType=IMG\r\nFilename=bird.bmp\r\nOpacity=8\r\n"
                      "Transparent=1\r\nTransparentType=1\r\nTransparentColor=65280\r\nMotion=" +
                      std::to_string(kMotions[i % 5]) + "\r\nPosLeftType=4\r\nPosTopType=4\r\n";
  p.objects.Load(p.objects.text);
}

// One frame of a running show on one thread: the objects' steps due in 33 ms (replayed on
// the show's clock, as with threads off), the engine's tick and the present.
void BM_ShowFrame(benchmark::State& state) {
  const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  const std::string folder =
      (std::filesystem::temp_directory_path() / "bench_show_frame").string() + "/";
  std::filesystem::create_directories(folder);
  const int32_t savedCap = FrameThreadCap();
  SetFrameThreadCap(1);
  FakeClock clock;
  ScreenDisplay display(w, h);
  Picture picture;
  MakeFullShowPicture(picture, w, h, folder);
  EngineAdapter engine(clock, folder, false);
  engine.Begin(picture);
  const double t0 = ThreadSeconds();
  for (auto _ : state) {
    clock.Advance(33);
    engine.Step();
    display.Present(engine.Frame(), 0, 0);
    benchmark::DoNotOptimize(display.Screen().Bits());
  }
  const double perFrame = (ThreadSeconds() - t0) / static_cast<double>(state.iterations());
  state.counters["cpuMs"] = perFrame * 1e3;
  state.counters["coreAt30fps"] = perFrame * 30;
  // The sky's blue is 160 everywhere and rain only lightens it: a bluer-than-that pixel is an
  // object's, so this shows the objects were drawn.
  const BlendBitmap& frame = engine.Frame();
  int64_t objectPixels = 0;
  for (int32_t y = 0; y < frame.Height(); ++y)
    for (int32_t x = 0; x < frame.Width(); ++x) objectPixels += PixelB(frame.GetPixel(x, y)) < 100;
  state.counters["objectPixels"] = static_cast<double>(objectPixels);
  engine.End();
  SetFrameThreadCap(savedCap);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ShowFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// Two full-screen still pictures in memory.
class MemoryFiles final : public IPictureFiles {
 public:
  bool FileExists(const std::string& path) override { return stills.count(path) != 0; }
  bool LoadStill(const std::string& path, BlendBitmap& out) override {
    out = stills.at(path);
    return true;
  }
  bool LoadPicture(const std::string&, Picture&) override { return false; }
  void FitPicture(bool, Picture&, int32_t, int32_t) override {}
  std::map<std::string, BlendBitmap> stills;
};

class NullEngine final : public IPictureEngine {
 public:
  void Begin(Picture&) override {}
  void Step() override {}
  const BlendBitmap& Frame() override { return frame_; }
  const BottomUpBitmap& Background() override { return background_; }
  void RestoreBackground() override {}
  void End() override {}

 private:
  BlendBitmap frame_;
  BottomUpBitmap background_;
};

// The steps of one 2000 ms transition, for a few effects of different families.
void BM_TransitionSteps(benchmark::State& state) {
  const auto effect = static_cast<int32_t>(state.range(0));
  SteadyClock clock;
  ScreenDisplay display(kScreenW, kScreenH);
  MemoryFiles files;
  for (const char* name : {"/a.bmp", "/b.bmp"}) {
    BlendBitmap bmp(kScreenW, kScreenH);
    bmp.Clear(name[1] == 'a' ? MakePixel(200, 40, 40) : MakePixel(40, 40, 200));
    files.stills[name] = std::move(bmp);
  }
  SlideshowOptions settings;
  settings.FileNames = {"/a.bmp", "/b.bmp"};
  settings.Checked = {"TRUE", "TRUE"};
  settings.TransitionEffects = std::to_string(effect);
  settings.TransitionTime = 2000;
  settings.ShowImageMode = 1;
  NullEngine engine;
  SlideshowServices services;
  services.display = &display;
  services.clock = &clock;
  services.files = &files;
  services.engine = &engine;
  services.effect = TableEffect;
  Slideshow form(settings, std::move(services));
  form.Start();
  form.DrawFrame();
  int64_t steps = 0, runs = 0;
  for (auto _ : state) {
    form.RunTransition(2000);
    steps += form.LastTransitionSteps();
    ++runs;
  }
  state.counters["steps"] = runs ? static_cast<double>(steps) / runs : 0;
}
BENCHMARK(BM_TransitionSteps)
    ->Arg(1)
    ->Arg(60)
    ->Arg(120)
    ->Arg(169)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();

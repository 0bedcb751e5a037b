// Start-up of a saver, from the saver file to the first frame presented, on the path the
// runtime takes: extraction into a run folder, the settings, the first picture's load and
// fit to a 1920 x 1080 screen, the engine's first tick and the present to an off-screen
// display. Two savers are built here: one like the demo (three animated 1024 x 576 picture
// files, a JPEG and two small bitmaps) and one of 50 MB of full-screen picture files. The
// counters split each run into its steps (milliseconds of processor time, cpu_ms the whole
// start's; total_ms and the reported time are wall-clock time). The aims are 200 ms for the
// demo and 400 ms for the 50 MB saver. Process start and the window system's set-up come on
// top.
//
// BM_ShowMemory runs the show for a while at 1080p or 4K and reports the process's
// resident size (VmRSS) and its peak (VmHWM) in MB; run it alone to read the peak:
//   bench_startup --benchmark_filter=ShowMemory/1920
// The aim at 1080p is 120 MB.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "bench/BenchPictures.h"
#include "bench/ProgramAllocator.h"
#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "graphics/Jpeg.h"
#include "package/Container.h"
#include "package/Package.h"
#include "picture/Mask.h"
#include "picture/PictureWriter.h"
#include "slideshow/ShowAdapters.h"
#include "slideshow/ShowDisplay.h"
#include "slideshow/Slideshow.h"

namespace {

using namespace vec;
using namespace vec::bench;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Processor time of the whole process (every thread, kernel time such as page faults
// included) in milliseconds. The steps are measured in it: on a shared machine the wall
// clock also counts the time other programs had the processor.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::string Text(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

struct SaverFile {
  std::string dir;
  std::string path;
  size_t bytes = 0;

  // `files` are (name, content) pairs; all are listed and checked, played in list order.
  explicit SaverFile(const std::vector<std::pair<std::string, std::string>>& files) {
    std::string tmpl = "/var/tmp/vec-startup-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    dir = tmpl + "/";
    path = dir + "Bench.scr";
    std::string names, list = "[FileListHeader]\r\nHeader=Bench\r\n[FileList]\r\n";
    std::vector<std::string> contents;
    for (const auto& [name, content] : files) {
      names += name + "\r\n";
      list += name + "=1\r\n";
      contents.push_back(content);
    }
    const std::string settings =
        "[Default]\r\nStretch=1\r\nProportional=1\r\nSound=0\r\nRandom=1\r\nDuration=8\r\n"
        "Transition=1\r\nTransitionTime=1500\r\nShowImageMode=1\r\nDirectX=0\r\nMusic=0\r\n";
    using W = ContainerWriter;
    const std::string package =
        W::Build({W::Build({list, settings, "[UI]\r\n"}), names, W::Build(contents), ""});
    std::ofstream(path, std::ios::binary) << "pretend program" << package;
    bytes = package.size();
  }
  ~SaverFile() {
    const std::string cmd = "rm -rf '" + dir + "'";
    [[maybe_unused]] int rc = std::system(cmd.c_str());
  }
  SaverFile(const SaverFile&) = delete;
  SaverFile& operator=(const SaverFile&) = delete;
};

const SaverFile& DemoSaver() {
  static const SaverFile saver({
      {"Lake.vep", WaterPictureFile(1024, 576, 1, 90)},
      {"Sea.vep", WaterPictureFile(1024, 576, 2, 90)},
      {"Falls.vep", WaterPictureFile(1024, 576, 3, 90)},
      {"Meadow.jpg", Text(EncodeJpeg(Scene(1024, 576, 4), 90).value())},
      {"Dawn.bmp", Text(EncodeBmp32(Scene(24, 24, 5)))},
      {"Dusk.bmp", Text(EncodeBmp32(Scene(24, 24, 6)))},
  });
  return saver;
}

// Full-screen picture files of high quality until the package holds 50 MB. Four different
// pictures are written under several names each: extraction copies every byte regardless.
const SaverFile& BigSaver() {
  static const SaverFile saver([] {
    std::vector<std::string> pictures;
    for (uint32_t seed = 11; seed < 15; ++seed)
      pictures.push_back(WaterPictureFile(1920, 1080, seed, 97));
    std::vector<std::pair<std::string, std::string>> files;
    size_t total = 0;
    for (size_t i = 0; total < (50u << 20); ++i) {
      files.emplace_back("Picture" + std::to_string(i) + ".vep", pictures[i % pictures.size()]);
      total += files.back().second.size();
    }
    return files;
  }());
  return saver;
}

// The picture files with the time of each load and fit.
class TimedFiles final : public IPictureFiles {
 public:
  bool FileExists(const std::string& path) override { return disk_.FileExists(path); }
  bool LoadStill(const std::string& path, BlendBitmap& out) override {
    const double t = CpuMs();
    const bool ok = disk_.LoadStill(path, out);
    decode += CpuMs() - t;
    return ok;
  }
  bool LoadPicture(const std::string& path, Picture& picture) override {
    const double t = CpuMs();
    const bool ok = disk_.LoadPicture(path, picture);
    decode += CpuMs() - t;
    return ok;
  }
  void FitPicture(bool keepAspect, Picture& picture, int32_t width, int32_t height) override {
    const double t = CpuMs();
    disk_.FitPicture(keepAspect, picture, width, height);
    fit += CpuMs() - t;
  }
  double decode = 0, fit = 0;

 private:
  DiskPictureFiles disk_;
};

// The engine with the time its start for a picture takes (its buffers and tables).
class TimedEngine final : public IPictureEngine {
 public:
  TimedEngine(IClock& clock, const std::string& folder) : engine_(clock, folder) {}
  void Begin(Picture& picture) override {
    const double t = CpuMs();
    engine_.Begin(picture);
    begin += CpuMs() - t;
  }
  void Step() override { engine_.Step(); }
  const BlendBitmap& Frame() override { return engine_.Frame(); }
  const BottomUpBitmap& Background() override { return engine_.Background(); }
  void RestoreBackground() override { engine_.RestoreBackground(); }
  void End() override { engine_.End(); }
  double begin = 0;

 private:
  EngineAdapter engine_;
};

// Notes when the first frame reaches the screen.
class FirstFrameDisplay final : public ScreenDisplay {
 public:
  using ScreenDisplay::ScreenDisplay;
  std::optional<Clock::time_point> firstPresent;
  double firstPresentCpu = 0;

 protected:
  void Presented() override {
    if (firstPresent) return;
    firstPresent = Clock::now();
    firstPresentCpu = CpuMs();
  }
};

struct StartupTimes {
  // Processor time of the steps, and of the whole start; `total` is wall-clock time.
  double extract = 0, decode = 0, fit = 0, engineBegin = 0, firstTick = 0, cpu = 0, total = 0;
};

// One start: extraction, settings, the show's start (first picture loaded and fitted, the
// engine begun) and its first idle pass, which ticks the engine and presents the frame.
// The show's frame pacing runs on a fake clock, so its sleep is not counted.
StartupTimes StartOnce(const SaverFile& saver, int32_t width, int32_t height) {
  const std::string folder = saver.dir + "run/";
  mkdir(folder.c_str(), 0700);
  StartupTimes times;
  const auto start = Clock::now();
  const double startCpu = CpuMs();
  SaverSettings settings;
  const ExtractReport report = ExtractPackage(settings, saver.path, folder);
  const double extracted = CpuMs();
  if (report.error != PackageError::None) std::abort();
  settings.FileList.CheckAll();
  const SlideshowOptions options = ShowSettingsFrom(settings, folder);

  FakeClock clock;
  FirstFrameDisplay display(width, height);
  TimedFiles files;
  TimedEngine engine(clock, folder);
  SlideshowServices services;
  services.display = &display;
  services.clock = &clock;
  services.files = &files;
  services.engine = &engine;
  services.effect = TableEffect;
  {
    Slideshow form(options, std::move(services));
    form.Start();
    const double shown = CpuMs();
    form.Tick();
    if (!display.firstPresent) std::abort();
    times.extract = extracted - startCpu;
    times.decode = files.decode;
    times.fit = files.fit;
    times.engineBegin = engine.begin;
    times.firstTick = display.firstPresentCpu - shown;
    times.cpu = display.firstPresentCpu - startCpu;
    times.total = Ms(*display.firstPresent - start);
    form.Close();
  }
  RemovePackage(folder);
  return times;
}

void StartupBench(benchmark::State& state, const SaverFile& saver) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  StartupTimes sum;
  int64_t runs = 0;
  for (auto _ : state) {
    const StartupTimes t = StartOnce(saver, width, height);
    state.SetIterationTime(t.total / 1000.0);
    sum.extract += t.extract, sum.decode += t.decode, sum.fit += t.fit;
    sum.engineBegin += t.engineBegin;
    sum.firstTick += t.firstTick, sum.cpu += t.cpu, sum.total += t.total;
    ++runs;
  }
  const double n = runs ? static_cast<double>(runs) : 1.0;
  state.counters["extract_ms"] = sum.extract / n;
  state.counters["decode_ms"] = sum.decode / n;
  state.counters["fit_ms"] = sum.fit / n;
  state.counters["engine_begin_ms"] = sum.engineBegin / n;
  state.counters["first_tick_ms"] = sum.firstTick / n;
  state.counters["cpu_ms"] = sum.cpu / n;
  state.counters["total_ms"] = sum.total / n;
  state.counters["package_MB"] = static_cast<double>(saver.bytes) / (1 << 20);
}

void BM_StartupDemo(benchmark::State& state) {
  StartupBench(state, DemoSaver());
}
BENCHMARK(BM_StartupDemo)->Args({1920, 1080})->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Startup50MB(benchmark::State& state) {
  StartupBench(state, BigSaver());
}
BENCHMARK(BM_Startup50MB)->Args({1920, 1080})->UseManualTime()->Unit(benchmark::kMillisecond);

// The kB of a "Name:   123 kB" line of /proc/self/status.
double StatusMB(const char* name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(name, 0) != 0) continue;
    std::istringstream in(line.substr(std::string(name).size() + 1));
    double kb = 0;
    in >> kb;
    return kb / 1024.0;
  }
  return 0;
}

// The show of the demo saver at a screen size, 300 frames with a picture change and its
// transition on the way; the resident size is read at the end.
void BM_ShowMemory(benchmark::State& state) {
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  const SaverFile& saver = DemoSaver();
  const std::string folder = saver.dir + "run/";
  for (auto _ : state) {
    mkdir(folder.c_str(), 0700);
    SaverSettings settings;
    if (ExtractPackage(settings, saver.path, folder).error != PackageError::None) std::abort();
    settings.FileList.CheckAll();
    SlideshowOptions options = ShowSettingsFrom(settings, folder);
    options.Duration = 5;
    options.TransitionTime = 100;
    FakeClock clock;
    ScreenDisplay display(width, height);
    DiskPictureFiles files;
    EngineAdapter engine(clock, folder);
    SlideshowServices services;
    services.display = &display;
    services.clock = &clock;
    services.files = &files;
    services.engine = &engine;
    services.effect = TableEffect;
    Slideshow form(options, std::move(services));
    form.Start();
    for (int frame = 0; frame < 300; ++frame) form.Tick();
    state.counters["VmRSS_MB"] = StatusMB("VmRSS:");
    state.counters["VmHWM_MB"] = StatusMB("VmHWM:");
    form.Close();
    RemovePackage(folder);
  }
}
BENCHMARK(BM_ShowMemory)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

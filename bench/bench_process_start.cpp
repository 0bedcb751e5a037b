// Start-up of the whole program as a user meets it: a saver started as a process ("/s") on a
// virtual X display of 1920 x 1080, from fork until its show is on the screen. Two savers:
// the demo saver of the build, and one of 50 MB of full-screen picture files packed here
// with the build's vectool (the one bench_startup builds in memory).
// This adds to bench_startup's figure what that one leaves out: loading the program and its
// libraries, Qt's start, the connection to the X server, the window and the first present.
//
// Two moments are taken, both by watching the screen from outside, as a viewer would:
//   on_screen_ms  the first sampled screen pixel that differs from the empty screen's: the
//                 first frame the saver presented (its window shows nothing before it);
//   picture_ms    the first time the screen's centre holds a pixel that is not black: the
//                 first picture has begun to come in.
// The reported time is on_screen_ms. The screen is sampled through one row and one column
// across its middle every half millisecond; sampling costs the X server little, so the
// moments are late by at most that step plus a sample. The aims are 200 ms for the demo
// saver and 400 ms for the 50 MB one. Skips itself when Xvfb is not installed or the demo
// saver was not built.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchPictures.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/XvfbServer.h"

// Last: Xlib defines macros (Status, None) that clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kScreenW = 1920, kScreenH = 1080;

// The pixels of one row and one column across the middle of the screen, 0xRRGGBB each.
std::vector<uint32_t> SampleCross(Display* display) {
  std::vector<uint32_t> out;
  out.reserve(kScreenW + kScreenH);
  const Window root = DefaultRootWindow(display);
  auto take = [&](int x, int y, unsigned w, unsigned h) {
    XImage* img = XGetImage(display, root, x, y, w, h, AllPlanes, ZPixmap);
    if (!img) return;
    for (unsigned j = 0; j < h; ++j)
      for (unsigned i = 0; i < w; ++i)
        out.push_back(
            static_cast<uint32_t>(XGetPixel(img, static_cast<int>(i), static_cast<int>(j))) &
            0xFFFFFFu);
    XDestroyImage(img);
  };
  take(0, kScreenH / 2, kScreenW, 1);
  take(kScreenW / 2, 0, 1, kScreenH);
  return out;
}

bool CentreHasPicture(const std::vector<uint32_t>& cross) {
  // The middle third of the row, where any fitted picture lies.
  for (int x = kScreenW / 3; x < 2 * kScreenW / 3 && x < static_cast<int>(cross.size()); ++x)
    if (cross[static_cast<size_t>(x)] != 0) return true;
  return false;
}

// Starts `saver` once per iteration and times it until its show is on the screen.
void WatchStarts(benchmark::State& state, const std::string& saver) {
  vec::testing::XvfbServer xvfb(kScreenW, kScreenH);
  Display* display = xvfb.Name().empty() ? nullptr : XOpenDisplay(xvfb.Name().c_str());
  if (!display) {
    state.SkipWithError("Xvfb is not available");
    return;
  }
  char tmpl[] = "/tmp/vec-process-start-XXXXXX";
  if (!mkdtemp(tmpl)) {
    XCloseDisplay(display);
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string dir = tmpl;
  fs::create_directories(dir + "/tmp");
  const std::vector<std::string> env = {
      "DISPLAY=" + xvfb.Name(), "TMPDIR=" + dir + "/tmp",
      "SDL_AUDIODRIVER=dummy",  "XDG_CONFIG_HOME=" + dir + "/config",
      "XDG_RUNTIME_DIR=" + dir, "QT_QPA_PLATFORM=xcb"};
  const std::vector<uint32_t> empty = SampleCross(display);

  double onScreenTotal = 0, pictureTotal = 0;
  int64_t runs = 0, missed = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto saverProcess = std::make_unique<vec::testing::ChildProcess>(
        std::vector<std::string>{saver, "/s"}, env, dir + "/stderr.txt");
    const auto limit = start + std::chrono::seconds(10);
    double onScreen = -1, picture = -1;
    while (Clock::now() < limit && (onScreen < 0 || picture < 0)) {
      const std::vector<uint32_t> now = SampleCross(display);
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      if (onScreen < 0 && now != empty) onScreen = ms;
      if (picture < 0 && onScreen >= 0 && CentreHasPicture(now)) picture = ms;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    if (onScreen < 0 || picture < 0) ++missed;
    state.SetIterationTime(onScreen >= 0 ? onScreen / 1000.0 : 10.0);
    onScreenTotal += onScreen;
    pictureTotal += picture;
    ++runs;

    // The saver ends on TERM and takes its window away; the next start begins on the empty
    // screen again.
    saverProcess->Signal(SIGTERM);
    saverProcess->WaitExit(std::chrono::seconds(5));
    saverProcess.reset();
    vec::testing::WaitFor([&] { return SampleCross(display) == empty; }, std::chrono::seconds(5));
  }
  if (runs > 0) {
    state.counters["on_screen_ms"] = onScreenTotal / static_cast<double>(runs);
    state.counters["picture_ms"] = pictureTotal / static_cast<double>(runs);
  }
  if (missed > 0) state.counters["missed"] = static_cast<double>(missed);
  XCloseDisplay(display);
  fs::remove_all(dir);
}
void BM_ProcessStartDemo(benchmark::State& state) {
  if (access(VEC_DEMO_SAVER, X_OK) != 0) {
    state.SkipWithError("the demo saver was not built");
    return;
  }
  WatchStarts(state, VEC_DEMO_SAVER);
}
BENCHMARK(BM_ProcessStartDemo)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// A saver of 50 MB: four full-screen picture files written under several names until the
// files hold 50 MB, played at random like the demo; packed once (with the program in front,
// as a saver file is), removed at the end.
void BM_ProcessStart50MB(benchmark::State& state) {
  char tmpl[] = "/var/tmp/vec-process-start-50mb-XXXXXX";
  if (!mkdtemp(tmpl)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string dir = tmpl;
  const std::string files = dir + "/files";
  fs::create_directories(files);
  std::vector<std::string> pictures;
  for (uint32_t seed = 11; seed < 15; ++seed)
    pictures.push_back(vec::bench::WaterPictureFile(1920, 1080, seed, 97));
  std::string list = "[FileList]\n";
  size_t total = 0;
  for (size_t i = 0; total < (50u << 20); ++i) {
    const std::string name = "Picture" + std::to_string(i) + ".vep";
    std::ofstream(files + "/" + name, std::ios::binary) << pictures[i % pictures.size()];
    total += pictures[i % pictures.size()].size();
    list += name + "=1\n";
  }
  std::ofstream(dir + "/list.ini") << list;
  std::ofstream(dir + "/settings.ini")
      << "[General]\nProductName=Bench\n[Default]\nStretch=1\nProportional=1\nSound=0\n"
         "Random=1\nDuration=8\nTransition=1\nTransitionTime=1500\nShowImageMode=1\n"
         "DirectX=0\nMusic=0\n";
  const std::string saver = dir + "/Big.scr";
  const std::string pack = std::string(VEC_VECTOOL) + " pack --files " + files + " --settings " +
                           dir + "/settings.ini --filelist " + dir + "/list.ini --out " + saver +
                           " --saver-from " + VEC_SAVER + " >/dev/null 2>&1";
  if (std::system(pack.c_str()) != 0) {
    fs::remove_all(dir);
    state.SkipWithError("vectool could not pack the saver");
    return;
  }
  fs::permissions(saver, fs::perms::owner_exec, fs::perm_options::add);
  state.counters["saver_file_mb"] = static_cast<double>(fs::file_size(saver)) / (1 << 20);
  WatchStarts(state, saver);
  fs::remove_all(dir);
}
BENCHMARK(BM_ProcessStart50MB)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

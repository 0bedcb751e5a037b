// One transition frame of every effect of the table (Old copied onto Work, then the effect)
// at 1920 x 1080 and 3840 x 2160, at 13 %, 50 % and 87 %, against the floor of copying two
// full frames with memcpy in the same run.
//
// Ratio to the floor: the "xFloor" counter divides each frame's CPU time by the floor's,
// measured once at start-up. At the end the program prints the worst ratio of each family
// of effects (the rows one routine draws), taking the Floor rows of the same run when they
// ran. The whole set takes minutes; pick a part with --benchmark_filter, e.g.
// --benchmark_filter='^(Floor|Effect12[1-4])/.*/1920/'.
//
// The Effect rows draw with one thread, so that CPU time is the whole cost of a frame. The
// Threads rows draw a few effects at 3840 x 2160 split over 1, 2 and 4 threads and count
// wall-clock time: on a shared machine they are meaningful only when the machine is idle.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/FrameThreads.h"
#include "bench/BenchNoise.h"
#include "bench/ProgramAllocator.h"
#include "transitions/Effect.h"
#include "transitions/EffectStep.h"

namespace {

using vec::BottomUpBitmap;
using vec::FrameThreadCap;
using vec::Pixel;
using vec::SetFrameThreadCap;

BottomUpBitmap Picture(int32_t W, int32_t H, uint32_t salt) {
  BottomUpBitmap bmp(W, H);
  vec::bench::BenchNoise noise(salt * 2654435761u + 1);
  for (size_t i = 0; i < bmp.PixelCount(); ++i) bmp.Bits()[i] = noise.Next();
  return bmp;
}

struct Frames {
  BottomUpBitmap oldBmp, newBmp, work;
};

Frames& FramesFor(int32_t W, int32_t H) {
  static std::map<std::pair<int32_t, int32_t>, Frames> cache;
  auto it = cache.find({W, H});
  if (it == cache.end())
    it = cache
             .emplace(std::pair{W, H},
                      Frames{Picture(W, H, 1), Picture(W, H, 2), BottomUpBitmap(W, H)})
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
  const vec::Effect& effect = vec::EffectByNumber(n);
  const double floor = FloorSeconds(W, H);
  const double t0 = ThreadSeconds();
  for (auto _ : state) {
    vec::DrawEffectStep(&effect, f.work, f.oldBmp, f.newBmp, percent);
    benchmark::DoNotOptimize(f.work.Bits());
    benchmark::ClobberMemory();
  }
  const double perFrame = (ThreadSeconds() - t0) / static_cast<double>(state.iterations());
  state.counters["xFloor"] = perFrame / floor;
}

// The frame of BM_Effect split over range(3) threads, in wall-clock time.
void BM_Threads(benchmark::State& state, int32_t n) {
  const int32_t cap = FrameThreadCap();
  SetFrameThreadCap(static_cast<int32_t>(state.range(3)));
  const auto W = static_cast<int32_t>(state.range(0)), H = static_cast<int32_t>(state.range(1));
  const auto percent = static_cast<int32_t>(state.range(2));
  Frames& f = FramesFor(W, H);
  const vec::Effect& effect = vec::EffectByNumber(n);
  for (auto _ : state) {
    vec::DrawEffectStep(&effect, f.work, f.oldBmp, f.newBmp, percent);
    benchmark::DoNotOptimize(f.work.Bits());
    benchmark::ClobberMemory();
  }
  SetFrameThreadCap(cap);
}

constexpr std::pair<int32_t, int32_t> kSizes[] = {{1920, 1080}, {3840, 2160}};
// Fade, Dissolve, a stretch, a reveal through a clip region, a push, a pivot.
constexpr int32_t kThreadedEffects[] = {1, 3, 4, 57, 130, 121};
constexpr int32_t kPercents[] = {13, 50, 87};

const bool registered = [] {
  for (auto [W, H] : kSizes)
    benchmark::RegisterBenchmark("Floor", BM_Floor)->Args({W, H})->Unit(benchmark::kMillisecond);
  for (const vec::Effect& effect : vec::EffectTable()) {
    const std::string name =
        "Effect" + std::to_string(effect.number) + "/" + std::string(effect.name);
    for (auto [W, H] : kSizes) {
      for (int32_t percent : kPercents) {
        auto* b = benchmark::RegisterBenchmark(name.c_str(), BM_Effect, effect.number)
                      ->Args({W, H, percent})
                      ->Unit(benchmark::kMillisecond);
        if (W > 2000) b->Iterations(10);
      }
    }
  }
  for (int32_t n : kThreadedEffects) {
    const std::string name =
        "Threads/Effect" + std::to_string(n) + "/" + std::string(vec::EffectByNumber(n).name);
    for (int32_t threads : {1, 2, 4})
      benchmark::RegisterBenchmark(name.c_str(), BM_Threads, n)
          ->Args({3840, 2160, 50, threads})
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->Iterations(10);
  }
  return true;
}();

// --- Summary ------------------------------------------------------------------------------

// One measured row: the effect (0 for the floor), its size and percent, CPU seconds per
// frame and the xFloor counter.
struct Measured {
  int32_t n = 0, W = 0, H = 0, percent = 0;
  double seconds = 0, xFloor = 0;
};

// Parses "Floor/W/H" and "EffectN/name/W/H/percent"; the name may hold slashes.
bool ParseName(const std::string& full, Measured& m) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at; (at = full.find('/', from)) != std::string::npos; from = at + 1)
    parts.push_back(full.substr(from, at - from));
  parts.push_back(full.substr(from));
  // Settings the library appends, such as "iterations:10".
  while (!parts.empty() && parts.back().find(':') != std::string::npos) parts.pop_back();
  auto number = [](const std::string& s) { return static_cast<int32_t>(std::atol(s.c_str())); };
  if (parts.size() == 3 && parts[0] == "Floor") {
    m.W = number(parts[1]);
    m.H = number(parts[2]);
    return true;
  }
  if (parts.size() >= 5 && parts[0].rfind("Effect", 0) == 0) {
    m.n = number(parts[0].substr(6));
    m.W = number(parts[parts.size() - 3]);
    m.H = number(parts[parts.size() - 2]);
    m.percent = number(parts.back());
    return m.n >= 1 && m.n <= vec::kEffectCount;
  }
  return false;
}

// The console output as usual, keeping each row's figures: the median when repetitions
// are aggregated, the single run otherwise.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  CollectingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool aggregate = run.run_type == Run::RT_Aggregate;
      if (aggregate && run.aggregate_name != "median") continue;
      Measured m;
      if (!ParseName(run.run_name.str(), m)) continue;
      m.seconds = run.GetAdjustedCPUTime() / 1e3;  // the rows are in milliseconds
      const auto it = run.counters.find("xFloor");
      if (it != run.counters.end()) m.xFloor = it->second.value;
      // A median replaces the single runs of the same row.
      auto& slot = rows_[{m.n, m.W, m.H, m.percent}];
      if (aggregate || !slot.second) slot = {m, aggregate};
    }
  }
  std::vector<Measured> Rows() const {
    std::vector<Measured> out;
    for (const auto& [key, value] : rows_) out.push_back(value.first);
    return out;
  }

 private:
  std::map<std::tuple<int32_t, int32_t, int32_t, int32_t>, std::pair<Measured, bool>> rows_;
};

// The worst ratio to the floor of each family of effects at each size, worst first; with
// the Floor row of the same run when it ran, else the xFloor counter.
void PrintSummary(const std::vector<Measured>& rows) {
  std::map<int32_t, double> floorOf;  // by width
  for (const Measured& m : rows)
    if (m.n == 0) floorOf[m.W] = m.seconds;
  auto ratio = [&](const Measured& m) {
    const auto it = floorOf.find(m.W);
    return it != floorOf.end() && it->second > 0 ? m.seconds / it->second : m.xFloor;
  };
  struct Worst {
    double ratio = 0;
    int32_t n = 0, percent = 0;
  };
  struct Family {
    int32_t first = 0, count = 0;
    std::map<int32_t, Worst> bySize;  // by width
  };
  std::map<vec::EffectRoutine, Family> families;
  for (const vec::Effect& e : vec::EffectTable()) {
    Family& f = families[e.routine];
    if (f.count++ == 0) f.first = e.number;
  }
  std::vector<double> all1080;
  for (const Measured& m : rows) {
    if (m.n == 0) continue;
    const double r = ratio(m);
    if (m.W == 1920 && m.percent == 50) all1080.push_back(r);
    Worst& w = families[vec::EffectByNumber(m.n).routine].bySize[m.W];
    if (r > w.ratio) w = {r, m.n, m.percent};
  }
  std::vector<const Family*> measured;
  for (const auto& [routine, f] : families)
    if (!f.bySize.empty()) measured.push_back(&f);
  if (measured.empty()) return;
  auto worstOf = [](const Family* f) {
    double r = 0;
    for (const auto& [W, w] : f->bySize) r = std::max(r, w.ratio);
    return r;
  };
  std::stable_sort(measured.begin(), measured.end(),
                   [&](const Family* a, const Family* b) { return worstOf(a) > worstOf(b); });

  std::printf("\nWorst time per frame over the floor (two full-frame copies), per family\n");
  for (const auto& [W, seconds] : floorOf)
    std::printf("  floor at width %d: %.3f ms\n", W, seconds * 1e3);
  if (!all1080.empty()) {
    std::sort(all1080.begin(), all1080.end());
    std::printf("  median effect at 1920x1080, 50 %%: %.2fx over %zu effects\n",
                all1080[all1080.size() / 2], all1080.size());
  }
  std::printf("%-44s %7s  %-16s %-16s\n", "family (first member, members)", "worst", "1920x1080",
              "3840x2160");
  constexpr size_t kShown = 30;
  auto cell = [](const Family* f, int32_t W) {
    char text[32] = "-";
    const auto it = f->bySize.find(W);
    if (it != f->bySize.end())
      std::snprintf(text, sizeof text, "%5.2fx #%d %d%%", it->second.ratio, it->second.n,
                    it->second.percent);
    return std::string(text);
  };
  for (size_t i = 0; i < measured.size() && i < kShown; ++i) {
    const Family* f = measured[i];
    std::string label = std::to_string(f->first) + " " +
                        std::string(vec::EffectByNumber(f->first).name).substr(0, 32);
    if (f->count > 1) label += " +" + std::to_string(f->count - 1);
    std::printf("%-44s %6.2fx  %-16s %-16s\n", label.c_str(), worstOf(f), cell(f, 1920).c_str(),
                cell(f, 3840).c_str());
  }
  if (measured.size() > kShown)
    std::printf("%zu more families, none worse than %.2fx\n", measured.size() - kShown,
                worstOf(measured[kShown]));
}

}  // namespace

int main(int argc, char** argv) {
  vec::SetFrameThreadCap(1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintSummary(reporter.Rows());
  return 0;
}

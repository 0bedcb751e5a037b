// Extracting a 50 MB package against copying the same bytes with cp, in the same run. The
// extraction copies each record with the kernel's range copy (or a 1 MiB buffer), never holding
// a record in memory; the target is to stay within 0.8x of cp.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchNoise.h"
#include "package/Container.h"
#include "package/FileSearch.h"
#include "package/Package.h"
#include "package/SaverSettings.h"

extern char** environ;

namespace {

constexpr size_t kFiles = 10;
constexpr size_t kFileSize = 5u << 20;  // 10 x 5 MiB = 50 MiB of pictures

struct Fixture {
  std::string dir;
  std::string package;
  Fixture() {
    std::string tmpl = "/var/tmp/vec-bench-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    dir = tmpl + "/";
    package = dir + "Bench.scr";
    std::string names;
    std::vector<std::string> files;
    vec::bench::BenchNoise noise(1);
    for (size_t i = 0; i < kFiles; ++i) {
      names += "VEImage" + std::to_string(i) + ".vep\r\n";
      std::string content(kFileSize, '\0');
      for (char& c : content) c = static_cast<char>(noise.Next() >> 24);
      files.push_back(std::move(content));
    }
    using W = vec::ContainerWriter;
    std::string list = "[FileList]\r\n";
    for (size_t i = 0; i < kFiles; ++i) list += "VEImage" + std::to_string(i) + ".vep=1\r\n";
    std::ofstream(package, std::ios::binary)
        << "pretend program"
        << W::Build({W::Build({list, "", "[UI]\r\n"}), names, W::Build(files), ""});
  }
  ~Fixture() {
    std::string cmd = "rm -rf '" + dir + "'";
    [[maybe_unused]] int rc = std::system(cmd.c_str());
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

void BM_ExtractPackage(benchmark::State& state) {
  const Fixture& f = Data();
  const std::string folder = f.dir + "run/";
  for (auto _ : state) {
    mkdir(folder.c_str(), 0700);
    vec::SaverSettings settings;
    vec::ExtractReport r = vec::ExtractPackage(settings, f.package, folder);
    if (r.error != vec::PackageError::None) state.SkipWithError("extraction failed");
    vec::RemovePackage(folder);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFiles * kFileSize));
}
BENCHMARK(BM_ExtractPackage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyWithCp(benchmark::State& state) {
  const Fixture& f = Data();
  const std::string target = f.dir + "copy.scr";
  for (auto _ : state) {
    pid_t pid;
    const char* argv[] = {"cp", f.package.c_str(), target.c_str(), nullptr};
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      state.SkipWithError("cannot run cp");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    unlink(target.c_str());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFiles * kFileSize));
}
BENCHMARK(BM_CopyWithCp)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The picture list of a settings file with n entries: one pass over the section, so the
// time grows with n, not n squared.
void BM_PictureListLoad(benchmark::State& state) {
  std::string text = "[FileList]\r\n";
  for (int64_t i = 0; i < state.range(0); ++i)
    text += "VEImage" + std::to_string(i) + ".vep=" + (i % 3 ? "1" : "0") + "\r\n";
  for (auto _ : state) {
    vec::PictureList list;
    list.LoadFromText(text);
    benchmark::DoNotOptimize(list.Checked.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PictureListLoad)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Rebasing a picture list of n names onto a run folder of n / 10 files, every name in another
// letter case than its file (the slow case: no exact hit). One listing of the folder for the
// whole list, so the time grows with n, not with n times the folder.
void BM_RebaseList(benchmark::State& state) {
  const auto n = static_cast<size_t>(state.range(0));
  std::string tmpl = "/var/tmp/vec-bench-rebase-XXXXXX";
  if (!mkdtemp(tmpl.data())) std::abort();
  const std::string folder = tmpl + "/";
  for (size_t i = 0; i < n / 10; ++i)
    std::ofstream(folder + "Picture" + std::to_string(i) + ".JPG") << "x";
  vec::SaverSettings settings;
  for (size_t i = 0; i < n; ++i)
    settings.FileList.FileNames.push_back("C:\\Work\\picture" + std::to_string(i % (n / 10)) +
                                          ".jpg");
  for (auto _ : state) {
    vec::SaverSettings copy = settings;
    vec::RebaseSettings(copy, folder);
    benchmark::DoNotOptimize(copy.FileList.FileNames.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::string cmd = "rm -rf '" + folder + "'";
  [[maybe_unused]] int rc = std::system(cmd.c_str());
}
BENCHMARK(BM_RebaseList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

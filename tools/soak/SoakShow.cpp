// soak_show: plays a saver's show headless on a simulated clock for a long simulated time
// (24 hours unless told otherwise) as fast as the machine allows, with the real picture
// loaders, fitting, water, objects, weather, sound schedule, music player and transitions;
// only the display (a memory screen), the clock and the audio devices are stand-ins.
//
// It prints the resident memory (VmRSS of /proc/self/status, and its peak VmHWM) and the
// number of open file descriptors (/proc/self/fd) at the start, after every simulated hour,
// and at the end, with the frames, transitions and pictures shown. It fails (exit 1) when
// memory grew by more than the tolerance, or more descriptors were open, at the end than
// after the first simulated hour.
//
// Why the first hour is the base: by then every picture and every listed effect has been
// shown many times (a change every few seconds), so every buffer has reached its size and
// what still grows is a leak. Resident memory at one moment depends on the picture on screen
// (a still holds less than an animated picture with objects), so memory is compared picture
// by picture: at the first steady frame of each showing, the first showing after the first
// hour against the last one. The allocator keeps freed blocks resident at will (several MB
// either way from one showing to the next), so every figure is taken after handing free
// memory back (malloc_trim), and the heap bytes in use (mallinfo2) are compared as well. The
// default tolerance of 2048 kB covers what trimming cannot give back (partly used pages); a
// leak of a few hundred bytes per picture change over a day's ten thousand changes, or of one
// byte per frame over its 2.6 million frames, exceeds it.

#include <dirent.h>
#include <malloc.h>
#include <stdlib.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "audio/AudioDevice.h"
#include "base/AllocatorTuning.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "package/FileSearch.h"
#include "package/Folders.h"
#include "package/Package.h"
#include "picture/Picture.h"
#include "slideshow/ShowAdapters.h"
#include "slideshow/Slideshow.h"

namespace {

using namespace vec;

constexpr uint32_t kHourMs = 3600u * 1000u;

// A kB field of /proc/self/status ("VmRSS:", "VmHWM:").
int64_t ResidentKb(std::string_view field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::strtoll(line.c_str() + field.size(), nullptr, 10);
  }
  return -1;
}

// Open descriptors, not counting the one that lists them.
int64_t OpenFiles() {
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return -1;
  int64_t count = 0;
  while (dirent* e = readdir(dir))
    if (e->d_name[0] != '.') ++count;
  closedir(dir);
  return count - 1;
}

// Heap bytes in use, in kB (small blocks and mapped large ones).
int64_t HeapInUseKb() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>((info.uordblks + info.hblkhd) / 1024);
}

struct Figures {
  int64_t rssKb = 0, peakKb = 0, heapKb = 0, fds = 0;
  // After handing free heap memory back, so the figures follow what is in use.
  static Figures Now() {
    malloc_trim(0);
    return {ResidentKb("VmRSS:"), ResidentKb("VmHWM:"), HeapInUseKb(), OpenFiles()};
  }
};

// True when the file can be opened and read to its end (what a decoder would do).
bool Readable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer)) {
  }
  return in.eof();
}

// Sound effects that "play" for a fixed simulated time.
class SimulatedSounds final : public ISoundDevice {
 public:
  explicit SimulatedSounds(IClock& clock) : clock_(clock) {}
  bool OpenSlot(int slot) override {
    slots_[slot];
    return true;
  }
  void CloseSlot(int slot) override { slots_.erase(slot); }
  bool LoadSlot(int slot, const std::string& path) override {
    Slot& s = slots_[slot];
    s.loaded = Readable(path);
    s.playing = false;
    return s.loaded;
  }
  bool PlaySlot(int slot, bool loop, int32_t) override {
    Slot& s = slots_[slot];
    if (!s.loaded) return false;
    if (!Playing(s)) {
      s.playing = true;
      s.loop = loop;
      s.start = clock_.Ticks();
      ++plays;
    }
    return true;
  }
  void StopSlot(int slot) override { slots_[slot].playing = false; }
  bool SlotPlaying(int slot) const override {
    auto it = slots_.find(slot);
    return it != slots_.end() && Playing(it->second);
  }
  bool PlayFile(const std::string& path, bool) override {
    ++plays;
    return Readable(path);
  }
  void StopFile() override {}

  int64_t plays = 0;

 private:
  static constexpr uint32_t kSoundMs = 2500;
  struct Slot {
    bool loaded = false, playing = false, loop = false;
    uint32_t start = 0;
  };
  bool Playing(const Slot& s) const {
    return s.playing && (s.loop || TickDiff(clock_.Ticks(), s.start) < kSoundMs);
  }
  IClock& clock_;
  std::map<int, Slot> slots_;
};

// Music files that last a fixed simulated time and notify when they end.
class SimulatedMusic final : public IMusicDevice {
 public:
  explicit SimulatedMusic(IClock& clock) : clock_(clock) {}
  void SetMusicFileName(const std::string& path) override { name_ = path; }
  bool OpenMusic() override {
    open_ = Readable(name_);
    playing_ = false;
    return open_;
  }
  bool PlayMusic() override {
    if (!open_) return false;
    playing_ = true;
    start_ = clock_.Ticks();
    ++plays;
    return true;
  }
  void CloseMusic() override {
    if (playing_ && armed_) Queue();
    open_ = playing_ = false;
  }
  int64_t MusicPosition() const override {
    if (!open_) return 0;
    return std::min<int64_t>(TickDiff(clock_.Ticks(), start_), kTrackMs);
  }
  int64_t MusicLength() const override { return open_ ? kTrackMs : 0; }
  void ArmMusicNotify() override { armed_ = true; }
  bool TakeMusicNotify() override {
    if (playing_ && TickDiff(clock_.Ticks(), start_) >= kTrackMs) {
      playing_ = false;
      if (armed_) Queue();
    }
    const bool taken = queued_;
    queued_ = false;
    return taken;
  }

  int64_t plays = 0;

 private:
  static constexpr int64_t kTrackMs = 45000;
  // The one notification an armed device raises.
  void Queue() {
    queued_ = true;
    armed_ = false;
  }
  IClock& clock_;
  std::string name_;
  bool open_ = false, playing_ = false, armed_ = false, queued_ = false;
  uint32_t start_ = 0;
};

// The picture loaders of the program, counting what they load.
class CountingFiles final : public IPictureFiles {
 public:
  bool FileExists(const std::string& path) override { return disk_.FileExists(path); }
  bool LoadStill(const std::string& path, BlendBitmap& out) override {
    const bool ok = disk_.LoadStill(path, out);
    Count(ok, path);
    return ok;
  }
  bool LoadPicture(const std::string& path, Picture& picture) override {
    const bool ok = disk_.LoadPicture(path, picture);
    Count(ok, path);
    return ok;
  }
  void FitPicture(bool keepAspect, Picture& picture, int32_t width, int32_t height) override {
    disk_.FitPicture(keepAspect, picture, width, height);
  }
  int64_t loads = 0, failures = 0;
  std::string justLoaded;  // set by a load, cleared by whoever samples the picture's memory

 private:
  void Count(bool ok, const std::string& path) {
    ++(ok ? loads : failures);
    if (ok) justLoaded = path;
  }
  DiskPictureFiles disk_;
};

struct Options {
  std::string saver;
  int32_t width = 320, height = 240;
  int64_t seconds = 24 * 3600;
  int64_t fps = 30;
  uint32_t seed = 1;
  uint32_t startTick = 1000000;
  int64_t toleranceKb = 2048;
};

// The memory screen: every present is one frame of 1000 / fps simulated ms. Figures are
// taken at every simulated hour and when the run's time is up.
class SoakDisplay final : public ScreenDisplay {
 public:
  SoakDisplay(const Options& o, FakeClock& clock)
      : ScreenDisplay(o.width, o.height),
        clock_(clock),
        frameMs_(static_cast<uint32_t>(1000 / o.fps)),
        start_(clock.Ticks()),
        totalMs_(static_cast<uint64_t>(o.seconds) * 1000u) {}

  Slideshow* form = nullptr;
  std::function<void(uint64_t hour)> onHour;
  std::function<void()> onEnd;
  std::function<void()> onSteadyFrame;  // a frame outside transitions
  bool pastFirstHour = false;
  int64_t frames = 0, transitionFrames = 0, transitions = 0;

  void Present(const BottomUpBitmap& frame) override {
    if (!inTransition_) ++transitions;
    inTransition_ = true;
    ++transitionFrames;
    ScreenDisplay::Present(frame);
  }
  void Present(const BlendBitmap& frame, int32_t x, int32_t y) override {
    inTransition_ = false;
    ScreenDisplay::Present(frame, x, y);
    if (onSteadyFrame) onSteadyFrame();
  }
  void ProcessMessages() override {
    if (form) form->MusicFinished();
    Check();
  }
  void WaitMessages() override {
    clock_.Advance(frameMs_);
    Check();
  }

 protected:
  void Presented() override {
    ++frames;
    clock_.Advance(frameMs_);
  }

 private:
  uint64_t Elapsed() const { return elapsedBase_ + TickDiff(clock_.Ticks(), start_); }
  void Check() {
    if (ended_) return;
    // The 32-bit tick may wrap during a run; elapsed time is kept in 64 bits.
    const uint32_t now = clock_.Ticks();
    if (TickDiff(now, start_) > kHourMs) {
      elapsedBase_ += TickDiff(now, start_);
      start_ = now;
    }
    const uint64_t elapsed = Elapsed();
    while (nextHour_ * kHourMs <= elapsed && nextHour_ * kHourMs < totalMs_) {
      pastFirstHour = true;
      if (onHour) onHour(nextHour_);
      ++nextHour_;
    }
    if (elapsed >= totalMs_) {
      ended_ = true;
      if (onEnd) onEnd();
      if (form) form->RequestClose();
    }
  }

  FakeClock& clock_;
  uint32_t frameMs_;
  uint32_t start_;
  uint64_t elapsedBase_ = 0;
  uint64_t totalMs_;
  uint64_t nextHour_ = 1;
  bool ended_ = false;
  bool inTransition_ = false;
};

// The run's own folder for the extracted package, removed at the end.
class RunFolder {
 public:
  RunFolder() {
    std::string tmpl = SystemTempPath() + "soak-show-XXXXXX";
    if (mkdtemp(tmpl.data())) path_ = tmpl + "/";
  }
  ~RunFolder() {
    if (!path_.empty()) RemovePackage(path_);
  }
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

template <class T>
bool ParseNumber(std::string_view text, T& out, T min, T max) {
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
    return false;
  out = value;
  return true;
}

bool ParseSize(std::string_view text, int32_t& w, int32_t& h) {
  const size_t x = text.find('x');
  return x != std::string_view::npos && ParseNumber<int32_t>(text.substr(0, x), w, 16, 4096) &&
         ParseNumber<int32_t>(text.substr(x + 1), h, 16, 4096);
}

constexpr const char* kUsage =
    "usage: soak_show SAVER [--size WxH] [--hours H | --seconds S] [--fps N] [--seed N]\n"
    "                 [--start-tick MS] [--tolerance-kb KB]\n"
    "Plays the saver's show headless on a simulated clock (default 320x240, 24 hours, 30 fps)\n"
    "and fails when memory or open files grew after the first simulated hour.\n";

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    const std::string_view value = hasValue ? argv[i + 1] : "";
    bool ok = hasValue;
    if (arg == "--size") {
      ok = ok && ParseSize(value, o.width, o.height);
    } else if (arg == "--hours") {
      int64_t hours = 0;
      ok = ok && ParseNumber<int64_t>(value, hours, 1, 24 * 365);
      o.seconds = hours * 3600;
    } else if (arg == "--seconds") {
      ok = ok && ParseNumber<int64_t>(value, o.seconds, 1, int64_t{24} * 3600 * 365);
    } else if (arg == "--fps") {
      ok = ok && ParseNumber<int64_t>(value, o.fps, 1, 1000);
    } else if (arg == "--seed") {
      ok = ok && ParseNumber<uint32_t>(value, o.seed, 0, 0xFFFFFFFFu);
    } else if (arg == "--start-tick") {
      ok = ok && ParseNumber<uint32_t>(value, o.startTick, 0, 0xFFFFFFFFu);
    } else if (arg == "--tolerance-kb") {
      ok = ok && ParseNumber<int64_t>(value, o.toleranceKb, 0, int64_t{1} << 30);
    } else if (!arg.empty() && arg[0] != '-' && o.saver.empty()) {
      o.saver = arg;
      continue;
    } else {
      ok = false;
    }
    if (!ok) return false;
    ++i;
  }
  return !o.saver.empty();
}

void PrintFigures(const char* when, const Figures& f, const SoakDisplay& display,
                  const CountingFiles& files, double wallSeconds) {
  std::printf(
      "%-10s rss %7lld kB  peak %7lld kB  heap %7lld kB  fds %3lld  frames %9lld"
      "  transitions %6lld  pictures %6lld  (%.0f s)\n",
      when, static_cast<long long>(f.rssKb), static_cast<long long>(f.peakKb),
      static_cast<long long>(f.heapKb), static_cast<long long>(f.fds),
      static_cast<long long>(display.frames), static_cast<long long>(display.transitions),
      static_cast<long long>(files.loads), wallSeconds);
  std::fflush(stdout);
}

int Run(const Options& o) {
  const auto wallStart = std::chrono::steady_clock::now();
  auto wall = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  };

  RunFolder folder;
  if (folder.path().empty()) {
    std::cerr << "soak_show: cannot create a temporary folder\n";
    return 2;
  }
  SaverSettings settings;
  const ExtractReport report = ExtractPackage(settings, o.saver, folder.path());
  if (report.error != PackageError::None) {
    std::cerr << "soak_show: " << PackageErrorMessage(report.error, o.saver) << "\n";
    return 2;
  }
  settings.FileList.CheckAll();
  if (settings.FileList.FileNames.empty()) {
    std::cerr << "soak_show: the saver contains no picture\n";
    return 2;
  }

  SetRandSeed(o.seed);
  LockRandomize(true);
  FakeClock clock(o.startTick);
  SoakDisplay display(o, clock);
  CountingFiles files;
  SimulatedSounds soundDevice(clock);
  SimulatedMusic musicDevice(clock);
  SlideshowOptions options = ShowSettingsFrom(settings, folder.path());
  SoundAdapter sounds(soundDevice, clock, SoundSearchPaths{folder.path(), {}, {}});
  MusicAdapter music(musicDevice);
  EngineAdapter engine(clock, folder.path(), /*threadedObjects=*/false);

  const Figures start = Figures::Now();
  Figures hour = start, end = start;
  PrintFigures("start", start, display, files, wall());
  display.onHour = [&](uint64_t h) {
    const Figures now = Figures::Now();
    if (h == 1) hour = now;
    const std::string label = "hour " + std::to_string(h);
    PrintFigures(label.c_str(), now, display, files, wall());
  };
  // Resident memory at the first steady frame of each showing, per picture: the first
  // showing after the first hour and the latest one.
  struct PictureMemory {
    Figures afterFirstHour, last;
    bool seen = false;
  };
  std::map<std::string, PictureMemory> pictureMemory;
  display.onSteadyFrame = [&] {
    if (files.justLoaded.empty()) return;
    if (display.pastFirstHour) {
      PictureMemory& m = pictureMemory[files.justLoaded];
      m.last = Figures::Now();
      if (!m.seen) m.afterFirstHour = m.last;
      m.seen = true;
    }
    files.justLoaded.clear();
  };
  display.onEnd = [&] {
    end = Figures::Now();
    PrintFigures("end", end, display, files, wall());
  };

  SlideshowServices services;
  services.display = &display;
  services.clock = &clock;
  services.files = &files;
  services.engine = &engine;
  services.sounds = &sounds;
  services.music = &music;
  services.effect = TableEffect;
  {
    Slideshow form(options, std::move(services));
    display.form = &form;
    form.ShowModal();
    display.form = nullptr;
  }
  LockRandomize(false);
  PrintFigures("closed", Figures::Now(), display, files, wall());
  std::printf(
      "transition frames %lld, pictures not loaded %lld, sounds started %lld, "
      "music files started %lld\n",
      static_cast<long long>(display.transitionFrames), static_cast<long long>(files.failures),
      static_cast<long long>(soundDevice.plays), static_cast<long long>(musicDevice.plays));

  if (o.seconds * 1000 <= int64_t{kHourMs}) {
    std::printf("shorter than an hour: no growth check\n");
    return 0;
  }
  // The most any picture's resident size and heap in use grew from its first showing after
  // the first hour to its last.
  int64_t rssGrew = 0, heapGrew = 0;
  std::string rssOn, heapOn;
  for (const auto& [path, m] : pictureMemory) {
    const std::string name = path.substr(path.rfind('/') + 1);
    std::printf(
        "  %-12s rss %7lld -> %7lld kB  heap %7lld -> %7lld kB\n", name.c_str(),
        static_cast<long long>(m.afterFirstHour.rssKb), static_cast<long long>(m.last.rssKb),
        static_cast<long long>(m.afterFirstHour.heapKb), static_cast<long long>(m.last.heapKb));
    const int64_t rss = m.last.rssKb - m.afterFirstHour.rssKb;
    const int64_t heap = m.last.heapKb - m.afterFirstHour.heapKb;
    if (rssOn.empty() || rss > rssGrew) {
      rssGrew = rss;
      rssOn = name;
    }
    if (heapOn.empty() || heap > heapGrew) {
      heapGrew = heap;
      heapOn = name;
    }
  }
  bool failed = false;
  if (rssGrew > o.toleranceKb || heapGrew > o.toleranceKb) {
    std::printf(
        "FAIL: after the first hour resident memory grew by up to %lld kB (%s) and the "
        "heap in use by up to %lld kB (%s); tolerance %lld kB\n",
        static_cast<long long>(rssGrew), rssOn.c_str(), static_cast<long long>(heapGrew),
        heapOn.c_str(), static_cast<long long>(o.toleranceKb));
    failed = true;
  }
  if (end.fds > hour.fds) {
    std::printf("FAIL: open files went from %lld to %lld after the first hour\n",
                static_cast<long long>(hour.fds), static_cast<long long>(end.fds));
    failed = true;
  }
  if (!failed)
    std::printf(
        "ok: after the first hour resident memory grew by at most %+lld kB, the heap in "
        "use by at most %+lld kB (tolerance %lld kB), open files by %+lld\n",
        static_cast<long long>(rssGrew), static_cast<long long>(heapGrew),
        static_cast<long long>(o.toleranceKb), static_cast<long long>(end.fds - hour.fds));
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The allocator as the program sets it up, so that the memory figures are the program's.
  vec::KeepFreedMemoryForReuse();
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::cerr << kUsage;
    return 2;
  }
  return Run(o);
}

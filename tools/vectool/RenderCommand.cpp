// `render`: plays a saver's slideshow offline, on a simulated clock, into numbered BMP
// frames or an animated GIF or WebP. The show logic is the program's own; only the display (a
// memory screen of the requested size), the clock and the sound are stand-ins.
//
// The clock starts at 1,000,000 ms. Every present writes one frame and moves the clock on by
// 1000 div FPS ms; a sleep moves it by its length and writes nothing, and so does a clear of
// the screen. The run ends once S seconds of simulated time have passed; a run of one second
// or more in which no picture could be shown fails.

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/Random.h"
#include "graphics/Bmp.h"
#include "package/Folders.h"
#include "package/Package.h"
#include "package/UserSettings.h"
#include "slideshow/ShowAdapters.h"
#include "slideshow/Slideshow.h"
#include "tools/vectool/Command.h"
#include "tools/vectool/FrameOutput.h"
#include "tools/vectool/ProgressLine.h"

namespace {

using vectool::AddQualityOption;
using vectool::AnimationSettings;
using vectool::Commands;
using vectool::Fail;
using vectool::ParseSize;
using vectool::PictureSize;
using vectool::WholeNumber;

// The memory screen of the offline show: each present is one frame on the simulated clock.
class RenderDisplay final : public vec::ScreenDisplay {
 public:
  RenderDisplay(int32_t w, int32_t h, vec::FakeClock& clock, uint32_t frameMs, uint32_t endTick)
      : ScreenDisplay(w, h), clock_(clock), frameMs_(frameMs), endTick_(endTick) {}

  std::function<bool(const vec::BlendBitmap&, int frameNumber)> writeFrame;
  vec::Slideshow* form = nullptr;
  bool failed = false;
  int frames = 0;

  void ProcessMessages() override { CheckEnd(); }
  void WaitMessages() override {
    // Nothing runs (an empty show): let time pass so the run still ends.
    clock_.Advance(frameMs_);
    CheckEnd();
  }

 protected:
  void Presented() override {
    // A clear is always followed by the tick's present, and the window shows only that (its
    // repaints are coalesced): a frame is written for each present, never for a clear.
    if (PresentCount() == written_) return;
    written_ = PresentCount();
    if (Ended() || failed) return;
    Compose(composed_);
    if (writeFrame && !writeFrame(composed_, ++frames)) failed = true;
    clock_.Advance(frameMs_);
  }

 private:
  bool Ended() const { return static_cast<int32_t>(clock_.Ticks() - endTick_) >= 0; }
  void CheckEnd() {
    if (form && (Ended() || failed)) form->RequestClose();
  }

  vec::FakeClock& clock_;
  uint32_t frameMs_;
  uint32_t endTick_;
  int64_t written_ = 0;
  vec::BlendBitmap composed_;
};

class StderrMessages final : public vec::IShowMessages {
 public:
  void ShowError(const std::string& text) override { std::cerr << "vectool: " << text << "\n"; }
};

// The run's own folder for the extracted package, removed at the end.
class RenderFolder {
 public:
  RenderFolder() {
    std::string tmpl = vec::SystemTempPath() + "vectool-render-XXXXXX";
    if (mkdtemp(tmpl.data())) path_ = tmpl + "/";
  }
  ~RenderFolder() {
    if (!path_.empty()) vec::RemovePackage(path_);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct RenderOptions {
  std::string saver;
  std::string size;
  int64_t seconds = 0;
  int64_t fps = 30;
  std::optional<int64_t> seed;
  std::string ini;
  std::string out;
  std::optional<int> quality;
};

constexpr int32_t kMaxRenderSide = 8192;

int RunRender(const RenderOptions& o) {
  const std::string& saver = o.saver;
  const std::string& outPath = o.out;
  const std::string& iniPath = o.ini;
  int32_t width = 0, height = 0;
  if (!ParseSize(o.size, kMaxRenderSide, width, height))
    return Fail("--size wants WxH, each 1..8192");
  const int64_t secs = o.seconds, fps = o.fps;

  RenderFolder folder;
  if (folder.path().empty()) return Fail("cannot create a temporary folder");
  vec::SaverSettings settings;
  const vec::ExtractReport report = vec::ExtractPackage(settings, saver, folder.path());
  if (report.error != vec::PackageError::None)
    return Fail(vec::PackageErrorMessage(report.error, saver));
  settings.FileList.CheckAll();
  if (!iniPath.empty()) {
    if (vec::Status read = vec::ApplyUserSettingsFile(settings, iniPath); !read.ok())
      return Fail(read.error().message);
  }
  if (settings.FileList.FileNames.empty()) return Fail("the saver contains no picture");

  vectool::FrameOutput output;
  if (vec::Status opened = output.Open(outPath, width, height, fps, AnimationSettings{o.quality});
      !opened)
    return Fail(opened.error().message);
  std::string error;  // why a frame could not be written

  if (o.seed) {
    vec::SetRandSeed(static_cast<uint32_t>(*o.seed));
    vec::LockRandomize(true);
  }
  vec::FakeClock clock(1000000);
  const auto frameMs = static_cast<uint32_t>(1000 / fps);
  const uint32_t endTick = 1000000u + static_cast<uint32_t>(secs * 1000);
  RenderDisplay display(width, height, clock, frameMs, endTick);
  vectool::ProgressLine progress("render", secs * 1000, "frames");
  display.writeFrame = [&](const vec::BlendBitmap& frame, int number) {
    // This frame stands until the next one is due.
    progress.Update(static_cast<int64_t>(clock.Ticks() - 1000000u) + frameMs, number);
    vec::Status added = output.Add(frame);
    if (!added) error = added.error().message;
    return added.ok();
  };

  vec::SlideshowOptions options = vec::ShowSettingsFrom(settings, folder.path());
  StderrMessages messages;
  // Why the first picture that failed could not be shown, for the one-line error when none
  // could be.
  std::string firstFailure;
  vec::DiskPictureFiles files([&firstFailure](const std::string& message) {
    if (firstFailure.empty()) firstFailure = message;
  });
  vec::EngineAdapter engine(clock, folder.path(), /*threadedObjects=*/false);
  vec::SlideshowServices services;
  services.display = &display;
  services.clock = &clock;
  services.messages = &messages;
  services.files = &files;
  services.engine = &engine;
  services.effect = vec::TableEffect;
  {
    vec::Slideshow form(options, std::move(services));
    display.form = &form;
    form.ShowModal();
  }
  if (o.seed) vec::LockRandomize(false);
  progress.Finish();
  if (display.failed) return Fail(error);
  // Time passed and not one picture could be shown: every picture failed to load.
  if (display.frames == 0 && secs > 0)
    return Fail("no picture of " + saver + " could be shown" +
                (firstFailure.empty() ? "" : " (" + firstFailure + ")"));
  if (vec::Status closed = output.Close(); !closed) return Fail(closed.error().message);
  std::cerr << "vectool: " << display.frames << " frames to " << outPath << "\n";
  return 0;
}

}  // namespace

void vectool::AddRenderCommand(Commands& commands) {
  auto o = std::make_shared<RenderOptions>();
  CLI::App& render = commands.Add(
      "render",
      "play the show offline into frames (a folder) or an animated GIF or WebP (OUT ending in "
      ".gif or .webp)",
      [o] { return RunRender(*o); });
  render.add_option("SAVER", o->saver, "the saver or package")->required();
  render.add_option("--size", o->size, "the screen, W x H pixels")
      ->required()
      ->check(PictureSize(kMaxRenderSide));
  render.add_option("--seconds", o->seconds, "simulated seconds to play")
      ->required()
      ->transform(WholeNumber())
      ->check(CLI::Range(0, 3600));
  render.add_option("--fps", o->fps, "frames per simulated second")
      ->transform(WholeNumber())
      ->check(CLI::Range(1, 1000));
  render.add_option("--seed", o->seed, "a fixed seed for the random choices")
      ->transform(WholeNumber())
      ->check(CLI::Range(int64_t{0}, int64_t{0xFFFFFFFF}));
  render.add_option("--ini", o->ini, "the user's settings file");
  render.add_option("--out", o->out, "a folder for numbered BMP frames, or a .gif or .webp file")
      ->required();
  AddQualityOption(render, o->quality);
}

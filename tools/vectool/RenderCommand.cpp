// `render`: plays a saver's slideshow offline, on a simulated clock, into numbered BMP
// frames or an animated GIF. The show logic is the program's own; only the display (a
// memory screen of the requested size), the clock and the sound are stand-ins.
//
// The clock starts at 1,000,000 ms. Every present writes one frame and moves the clock on by
// 1000 div FPS ms; a sleep moves it by its length and writes nothing. The run ends once S
// seconds of simulated time have passed.

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

namespace {

using vectool::Fail;
using vectool::ParseSize;
using vectool::ParseWholeNumber;

// The memory screen of the offline show: each present is one frame on the simulated clock.
class RenderDisplay final : public vec::ScreenDisplay {
 public:
  RenderDisplay(int32_t w, int32_t h, vec::FakeClock& clock, uint32_t frameMs, uint32_t endTick)
      : ScreenDisplay(w, h), clock_(clock), frameMs_(frameMs), endTick_(endTick) {}

  std::function<bool(const vec::Bitmap32&, int frameNumber)> writeFrame;
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
  vec::Bitmap32 composed_;
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

int RunRender(const vectool::Args& args) {
  const auto pos =
      vectool::Positionals(args, {"--size", "--seconds", "--fps", "--seed", "--ini", "--out"});
  const std::optional<std::string> size = vectool::Option(args, "--size");
  const std::optional<std::string> seconds = vectool::Option(args, "--seconds");
  const std::optional<std::string> out = vectool::Option(args, "--out");
  if (pos.size() != 1 || !size || !seconds || !out)
    return Fail(
        "usage: render SAVER --size WxH --seconds S [--fps F] [--seed N] [--ini USER.ini] --out "
        "OUT");
  const std::string saver = pos[0];
  const std::string outPath = *out;
  int32_t width = 0, height = 0;
  if (!ParseSize(*size, 8192, width, height)) return Fail("--size wants WxH, each 1..8192");
  int64_t secs = 0, fps = 30;
  if (!ParseWholeNumber(*seconds, secs) || secs < 0 || secs > 3600)
    return Fail("--seconds wants 0..3600");
  if (const std::optional<std::string> f = vectool::Option(args, "--fps"))
    if (!ParseWholeNumber(*f, fps) || fps < 1 || fps > 1000) return Fail("--fps wants 1..1000");
  int64_t seed = 0;
  const std::optional<std::string> seedText = vectool::Option(args, "--seed");
  if (seedText && (!ParseWholeNumber(*seedText, seed) || seed < 0 || seed > 0xFFFFFFFFll))
    return Fail("--seed wants 0..4294967295");
  std::string iniPath;
  if (const std::optional<std::string> ini = vectool::Option(args, "--ini")) iniPath = *ini;

  RenderFolder folder;
  if (folder.path().empty()) return Fail("cannot create a temporary folder");
  vec::SaverSettings project;
  const vec::ExtractReport report = vec::ExtractPackage(project, saver, folder.path());
  if (report.error != vec::PackageError::None)
    return Fail(vec::PackageErrorMessage(report.error, saver));
  project.FileList.CheckAll();
  if (!iniPath.empty()) {
    if (vec::Status read = vec::ApplyUserSettingsFile(project, iniPath); !read.ok())
      return Fail(read.error().message);
  }
  if (project.FileList.FileNames.empty()) return Fail("the saver contains no picture");

  vectool::FrameOutput output;
  std::string error;
  if (!output.Open(outPath, width, height, fps, error)) return Fail(error);

  if (seedText) {
    vec::SetRandSeed(static_cast<uint32_t>(seed));
    vec::LockRandomize(true);
  }
  vec::FakeClock clock(1000000);
  const auto frameMs = static_cast<uint32_t>(1000 / fps);
  const uint32_t endTick = 1000000u + static_cast<uint32_t>(secs * 1000);
  RenderDisplay display(width, height, clock, frameMs, endTick);
  display.writeFrame = [&](const vec::Bitmap32& frame, int) { return output.Add(frame, error); };

  vec::SlideshowOptions settings = vec::ShowSettingsFrom(project, folder.path());
  StderrMessages messages;
  vec::DiskPictureFiles files;
  vec::EngineAdapter engine(clock, folder.path(), /*threadedObjects=*/false);
  vec::SlideshowServices services;
  services.display = &display;
  services.clock = &clock;
  services.messages = &messages;
  services.files = &files;
  services.engine = &engine;
  services.effect = vec::TableEffect;
  {
    vec::Slideshow form(settings, std::move(services));
    display.form = &form;
    form.ShowModal();
  }
  if (seedText) vec::LockRandomize(false);
  if (display.failed) return Fail(error);
  if (!output.Close(error)) return Fail(error);
  std::cerr << "vectool: " << display.frames << " frames to " << outPath << "\n";
  return 0;
}

const vectool::Registration kRender{
    {"render",
     "render SAVER --size WxH --seconds S [--fps F] [--seed N] [--ini USER.ini] --out OUT   "
     "play the show offline into frames (a folder) or an animated GIF (OUT ending in .gif)",
     RunRender}};

}  // namespace

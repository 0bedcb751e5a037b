// `render`: plays a saver's slideshow offline, on a simulated clock, into numbered BMP
// frames or an animated GIF. The show logic is the program's own; only the display (a
// memory screen of the requested size), the clock and the sound are stand-ins.
//
// The clock starts at 1,000,000 ms. Every present writes one frame and moves the clock on by
// 1000 div FPS ms; a sleep moves it by its length and writes nothing. The run ends once S
// seconds of simulated time have passed.

#include <gif_lib.h>
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
#include "slideshow/FVEScrSvr.h"
#include "slideshow/ShowAdapters.h"
#include "tools/vectool/Command.h"

namespace {

using vectool::Fail;

bool ParseInt(const std::string& text, int64_t& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc{} && end == text.data() + text.size();
}

bool ParseSize(const std::string& text, int32_t& w, int32_t& h) {
  const size_t x = text.find_first_of("xX");
  int64_t a = 0, b = 0;
  if (x == std::string::npos || !ParseInt(text.substr(0, x), a) || !ParseInt(text.substr(x + 1), b))
    return false;
  if (a < 1 || b < 1 || a > 8192 || b > 8192) return false;
  w = static_cast<int32_t>(a);
  h = static_cast<int32_t>(b);
  return true;
}

bool EndsWithGif(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".gif";
}

// An animated GIF on a fixed 6 x 7 x 6 colour cube: quick, stable between runs, and good
// enough for a preview of a show.
class TGifWriter {
 public:
  bool Open(const std::string& path, int32_t width, int32_t height) {
    int error = 0;
    gif_ = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif_) return false;
    EGifSetGifVersion(gif_, true);
    std::vector<GifColorType> colors(256);
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 7; ++g)
        for (int b = 0; b < 6; ++b) {
          GifColorType& c = colors[static_cast<size_t>((r * 7 + g) * 6 + b)];
          c.Red = static_cast<GifByteType>(r * 255 / 5);
          c.Green = static_cast<GifByteType>(g * 255 / 6);
          c.Blue = static_cast<GifByteType>(b * 255 / 5);
        }
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    const bool ok = map && EGifPutScreenDesc(gif_, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok) return false;
    // Loop for ever.
    static const GifByteType kApp[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoop[] = {1, 0, 0};
    EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif_, sizeof kApp, kApp);
    EGifPutExtensionBlock(gif_, sizeof kLoop, kLoop);
    EGifPutExtensionTrailer(gif_);
    width_ = width;
    height_ = height;
    line_.resize(static_cast<size_t>(width));
    return true;
  }

  bool Add(const vec::TBitmap32& frame, int delayCentiseconds) {
    if (!gif_) return false;
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = std::max(delayCentiseconds, 1);
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext) != GIF_OK)
      return false;
    if (EGifPutImageDesc(gif_, 0, 0, width_, height_, false, nullptr) != GIF_OK) return false;
    for (int32_t y = 0; y < height_; ++y) {
      const vec::Pixel* row = frame.ScanLine(y);
      for (int32_t x = 0; x < width_; ++x) {
        const vec::Pixel p = row[x];
        const int r = (vec::PixelR(p) * 5 + 127) / 255;
        const int g = (vec::PixelG(p) * 6 + 127) / 255;
        const int b = (vec::PixelB(p) * 5 + 127) / 255;
        line_[static_cast<size_t>(x)] = static_cast<GifPixelType>((r * 7 + g) * 6 + b);
      }
      if (EGifPutLine(gif_, line_.data(), width_) != GIF_OK) return false;
    }
    return true;
  }

  bool Close() {
    if (!gif_) return false;
    int error = 0;
    const bool ok = EGifCloseFile(gif_, &error) == GIF_OK;
    gif_ = nullptr;
    return ok;
  }

  ~TGifWriter() {
    if (gif_) Close();
  }

 private:
  GifFileType* gif_ = nullptr;
  int32_t width_ = 0, height_ = 0;
  std::vector<GifPixelType> line_;
};

// The memory screen of the offline show: each present is one frame on the simulated clock.
class TRenderDisplay final : public vec::TScreenDisplay {
 public:
  TRenderDisplay(int32_t w, int32_t h, vec::FakeClock& clock, uint32_t frameMs, uint32_t endTick)
      : TScreenDisplay(w, h), clock_(clock), frameMs_(frameMs), endTick_(endTick) {}

  std::function<bool(const vec::TBitmap32&, int frameNumber)> writeFrame;
  vec::TVEfmScrSvr* form = nullptr;
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
  vec::TBitmap32 composed_;
};

class TStderrMessages final : public vec::IShowMessages {
 public:
  void ShowError(const std::string& text) override { std::cerr << "vectool: " << text << "\n"; }
};

// The run's own folder for the extracted package, removed at the end.
class TRunFolder {
 public:
  TRunFolder() {
    std::string tmpl = vec::SystemTempPath() + "vectool-render-XXXXXX";
    if (mkdtemp(tmpl.data())) path_ = tmpl + "/";
  }
  ~TRunFolder() {
    if (!path_.empty()) vec::RemovePackage(path_);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

int RunRender(const vectool::Args& args) {
  const auto pos =
      vectool::Positionals(args, {"--size", "--seconds", "--fps", "--seed", "--ini", "--out"});
  const std::string* size = vectool::Option(args, "--size");
  const std::string* seconds = vectool::Option(args, "--seconds");
  const std::string* out = vectool::Option(args, "--out");
  if (pos.size() != 1 || !size || !seconds || !out)
    return Fail(
        "usage: render SAVER --size WxH --seconds S [--fps F] [--seed N] [--ini USER.ini] --out "
        "OUT");
  const std::string saver = pos[0];
  const std::string outPath = *out;
  int32_t width = 0, height = 0;
  if (!ParseSize(*size, width, height)) return Fail("--size wants WxH, each 1..8192");
  int64_t secs = 0, fps = 30;
  if (!ParseInt(*seconds, secs) || secs < 0 || secs > 3600) return Fail("--seconds wants 0..3600");
  if (const std::string* f = vectool::Option(args, "--fps"))
    if (!ParseInt(*f, fps) || fps < 1 || fps > 1000) return Fail("--fps wants 1..1000");
  int64_t seed = 0;
  const std::string* seedText = vectool::Option(args, "--seed");
  if (seedText && (!ParseInt(*seedText, seed) || seed < 0 || seed > 0xFFFFFFFFll))
    return Fail("--seed wants 0..4294967295");
  std::string iniPath;
  if (const std::string* ini = vectool::Option(args, "--ini")) iniPath = *ini;

  TRunFolder folder;
  if (folder.path().empty()) return Fail("cannot create a temporary folder");
  vec::TVECProject project;
  const vec::ExtractReport report = vec::ExtractPackage(project, saver, folder.path());
  if (report.error != vec::PackageError::None)
    return Fail(vec::PackageErrorMessage(report.error, saver));
  project.FileList.CheckAll();
  if (!iniPath.empty()) {
    if (!vec::ApplyUserSettingsFile(project, iniPath)) return Fail("cannot read " + iniPath);
  }
  if (project.FileList.FileNames.empty()) return Fail("the saver contains no picture");

  const bool gif = EndsWithGif(outPath);
  TGifWriter gifWriter;
  if (gif) {
    if (!gifWriter.Open(outPath, width, height)) return Fail("cannot write " + outPath);
  } else {
    mkdir(outPath.c_str(), 0755);
    struct stat st {};
    if (stat(outPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      return Fail("cannot make the folder " + outPath);
  }

  if (seedText) {
    vec::SetRandSeed(static_cast<uint32_t>(seed));
    vec::LockRandomize(true);
  }
  vec::FakeClock clock(1000000);
  const auto frameMs = static_cast<uint32_t>(1000 / fps);
  const uint32_t endTick = 1000000u + static_cast<uint32_t>(secs * 1000);
  TRenderDisplay display(width, height, clock, frameMs, endTick);
  // GIF delays are in hundredths: spread the rounding so the total time stays right.
  int64_t shownCs = 0;
  display.writeFrame = [&](const vec::TBitmap32& frame, int n) {
    if (gif) {
      const int64_t dueCs = int64_t{n} * 100 / fps;
      const int delay = static_cast<int>(dueCs - shownCs);
      shownCs = dueCs;
      return gifWriter.Add(frame, delay);
    }
    char name[32];
    std::snprintf(name, sizeof name, "/frame%04d.bmp", n);
    return vec::SaveBmp32(frame, outPath + name).ok();
  };

  vec::TShowSettings settings = vec::ShowSettingsFrom(project, folder.path());
  TStderrMessages messages;
  vec::TDiskPictureFiles files;
  vec::TEngineAdapter engine(clock, folder.path(), /*threadedObjects=*/false);
  vec::TScrSvrServices services;
  services.display = &display;
  services.clock = &clock;
  services.messages = &messages;
  services.files = &files;
  services.engine = &engine;
  services.effect = vec::EffectRoutine;
  {
    vec::TVEfmScrSvr form(settings, std::move(services));
    display.form = &form;
    form.ShowModal();
  }
  if (seedText) vec::LockRandomize(false);
  if (gif && !gifWriter.Close()) return Fail("cannot write " + outPath);
  if (gif) chmod(outPath.c_str(), 0644);
  if (display.failed) return Fail("cannot write a frame to " + outPath);
  std::cerr << "vectool: " << display.frames << " frames to " << outPath << "\n";
  return 0;
}

const vectool::Registration kRender{
    {"render",
     "render SAVER --size WxH --seconds S [--fps F] [--seed N] [--ini USER.ini] --out OUT   "
     "play the show offline into frames (a folder) or an animated GIF (OUT ending in .gif)",
     RunRender}};

}  // namespace

#pragma once
// Stand-ins for what the slideshow form drives: a memory display, picture files from a
// table, an engine that paints its picture's image, and recorders for sound and music.

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "graphics/AspectFit.h"
#include "picture/Picture.h"
#include "slideshow/Slideshow.h"

namespace vec::testing {

// A picture whose pixel at (x, y) tells where it came from: a tag in the top byte.
inline Pixel TaggedPixel(uint8_t tag, int32_t x, int32_t y) {
  return (Pixel(tag) << 24) | (Pixel(y & 0xFFF) << 12) | Pixel(x & 0xFFF);
}

inline BlendBitmap TaggedBlendBitmap(uint8_t tag, int32_t w, int32_t h) {
  BlendBitmap bmp(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bmp.SetPixel(x, y, TaggedPixel(tag, x, y));
  return bmp;
}

class RecordingDisplay : public ScreenDisplay {
 public:
  using ScreenDisplay::ScreenDisplay;
  void ProcessMessages() override {
    ++messagePumps;
    if (onPump) onPump();
  }
  void WaitMessages() override { ProcessMessages(); }
  void ShowCursor(bool visible) override { cursorVisible = visible; }
  int32_t FramesPerSecondShown() const override { return framesShown; }
  void FillBlack() override {
    ++blackFills;
    ScreenDisplay::FillBlack();
  }
  // Advances the clock on every present when set (a slow display).
  IClock* clockToAdvance = nullptr;
  uint32_t presentCost = 0;
  int32_t framesShown = 0;  // a screen's refresh rate; 0 shows every frame
  int messagePumps = 0;
  int blackFills = 0;
  bool cursorVisible = true;
  std::function<void()> onPump;

 protected:
  void Presented() override {
    if (clockToAdvance && presentCost)
      static_cast<FakeClock*>(clockToAdvance)->Advance(presentCost);
  }
};

struct FakePictureFile {
  int32_t width = 0, height = 0;
  uint8_t tag = 0;
  std::vector<std::string> objectFiles;
};

class FakeFiles : public IPictureFiles {
 public:
  bool FileExists(const std::string& path) override {
    return pictures.count(path) || stills.count(path) || extraFiles.count(path);
  }
  bool LoadStill(const std::string& path, BlendBitmap& out) override {
    ++stillLoads;
    if (throwingFiles.count(path)) throw std::runtime_error("cannot read " + path);
    auto it = stills.find(path);
    if (it == stills.end()) return false;
    out = it->second;
    return true;
  }
  bool LoadPicture(const std::string& path, Picture& picture) override {
    ++pictureLoads;
    auto it = pictures.find(path);
    if (it == pictures.end()) return false;
    picture.image.SetSize(it->second.width, it->second.height);
    std::fill_n(picture.image.Bits(), picture.image.PixelCount(), Pixel(it->second.tag) << 24);
    picture.objects.entries.clear();
    for (const auto& f : it->second.objectFiles) {
      ObjectKeys object;
      object.Filename = f;
      picture.objects.entries.push_back(object);
    }
    return true;
  }
  void FitPicture(bool keepAspect, Picture& picture, int32_t width, int32_t height) override {
    resizes.push_back({keepAspect, width, height});
    int32_t w = width, h = height;
    if (keepAspect) {
      const FitSize fit = FitByAspect(picture.image.Width(), picture.image.Height(), width, height);
      w = fit.width, h = fit.height;
    }
    const Pixel fill = picture.image.Empty() ? 0 : picture.image.Bits()[0];
    picture.image.SetSize(w, h);
    std::fill_n(picture.image.Bits(), picture.image.PixelCount(), fill);
  }

  struct Resize {
    bool keepAspect;
    int32_t width, height;
  };
  std::map<std::string, BlendBitmap> stills;
  std::map<std::string, FakePictureFile> pictures;
  std::set<std::string> extraFiles;
  std::set<std::string> throwingFiles;  // stills whose load throws
  std::vector<Resize> resizes;
  int stillLoads = 0, pictureLoads = 0;
};

class FakeEngine : public IPictureEngine {
 public:
  explicit FakeEngine(FakeClock* clock) : clock_(clock) {}
  void Begin(Picture& picture) override {
    picture_ = &picture;
    ++begins;
    objectFiles.clear();
    for (const auto& o : picture.objects.entries) objectFiles.push_back(o.Filename);
    frame_.CopyFrom(picture.image);
  }
  void Step() override {
    ++steps;
    if (throwOnStep) throw std::runtime_error("step failed");
    if (clock_) clock_->Advance(stepCost);
  }
  const BlendBitmap& Frame() override { return frame_; }
  const BottomUpBitmap& Background() override { return picture_->image; }
  void RestoreBackground() override { ++restores; }
  void End() override {
    ++ends;
    picture_ = nullptr;
  }

  FakeClock* clock_;
  uint32_t stepCost = 0;
  bool throwOnStep = false;
  int begins = 0, steps = 0, restores = 0, ends = 0;
  std::vector<std::string> objectFiles;

 private:
  Picture* picture_ = nullptr;
  BlendBitmap frame_;
};

class RecordingSounds : public IShowSounds {
 public:
  void Load(Picture&) override { calls.push_back("load"); }
  void Update() override { ++updates; }
  void Clear() override { calls.push_back("clear"); }
  std::vector<std::string> calls;
  int updates = 0;
};

class RecordingMusic : public IShowMusic {
 public:
  void Start(const SlideshowOptions&) override {
    ++starts;
    if (throwOnStart) throw std::runtime_error("no sound device");
  }
  void Notify() override { ++notifies; }
  void Stop() override { ++stops; }
  int starts = 0, notifies = 0, stops = 0;
  bool throwOnStart = false;
};

class RecordingMessages : public IShowMessages {
 public:
  void ShowError(const std::string& text) override { errors.push_back(text); }
  std::vector<std::string> errors;
};

// One show with every stand-in wired; the screen is 1024 x 768 unless told otherwise.
struct ShowRig {
  explicit ShowRig(int32_t screenW = 1024, int32_t screenH = 768)
      : display(screenW, screenH), engine(&clock) {
    settings.TransitionEffects = "1";
    settings.TempFolder = "/tmp/run1/";
  }
  void AddStill(const std::string& path, BlendBitmap bmp) {
    files.stills[path] = std::move(bmp);
    settings.FileNames.push_back(path);
    settings.Checked.push_back("TRUE");
  }
  void AddPicture(const std::string& path, FakePictureFile file) {
    files.pictures[path] = std::move(file);
    settings.FileNames.push_back(path);
    settings.Checked.push_back("TRUE");
  }
  // `routine` stands in for every effect number; nullptr leaves every number without one.
  SlideshowServices Services(EffectRoutine routine = nullptr) {
    SlideshowServices s;
    s.display = &display;
    s.clock = &clock;
    s.messages = &messages;
    s.files = &files;
    s.engine = &engine;
    s.sounds = &sounds;
    s.music = &music;
    s.effect = [routine, standIn = Effect{1, "stand-in", routine, {}}](int32_t) {
      return routine ? &standIn : nullptr;
    };
    s.reportFailure = [this](const std::string& text) { failures.push_back(text); };
    return s;
  }

  FakeClock clock;
  RecordingDisplay display;
  FakeFiles files;
  FakeEngine engine;
  RecordingSounds sounds;
  RecordingMusic music;
  RecordingMessages messages;
  SlideshowOptions settings;
  std::vector<std::string> failures;  // what the show reported as failed
};

}  // namespace vec::testing

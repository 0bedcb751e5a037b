#include "slideshow/ShowAdapters.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <span>

#include "animation/WaterEngine.h"
#include "graphics/ImageFile.h"
#include "picture/Picture.h"

namespace vec {

SlideshowOptions ShowSettingsFrom(const SaverSettings& settings, const std::string& tempFolder) {
  SlideshowOptions out;
  static_cast<ShowSettings&>(out) = settings.Setting;
  out.FileNames = settings.FileList.FileNames;
  out.Checked = settings.FileList.Checked;
  out.TempFolder = tempFolder;
  return out;
}

DiskPictureFiles::DiskPictureFiles()
    : say_([](const std::string& message) { std::cerr << "vecsaver: " << message << "\n"; }) {}

bool DiskPictureFiles::FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void DiskPictureFiles::SayCannotShow(const std::string& what, const std::string& path,
                                     const std::string& why) {
  if (!said_.insert(path).second) return;
  say_("the " + what + " " + path + " cannot be shown: " + why);
}

bool DiskPictureFiles::LoadStill(const std::string& path, BlendBitmap& out) {
  auto result = LoadImageFromFile(path);
  if (!result) {
    SayCannotShow("picture", path, result.error().message);
    return false;
  }
  out = std::move(result.value());
  return true;
}

bool DiskPictureFiles::LoadPicture(const std::string& path, Picture& picture) {
  if (picture.LoadFromFile(path)) return true;
  SayCannotShow("picture file", path, picture.LastError());
  return false;
}

void DiskPictureFiles::FitPicture(bool keepAspect, Picture& picture, int32_t width,
                                  int32_t height) {
  vec::FitPicture(keepAspect, picture, width, height);
}

EngineAdapter::EngineAdapter(IClock& clock, std::string packageFolder, bool threadedObjects)
    : clock_(clock), packageFolder_(std::move(packageFolder)), threaded_(threadedObjects) {}

EngineAdapter::~EngineAdapter() = default;

void EngineAdapter::Begin(Picture& picture) {
  // A fresh engine per picture: the old one's object workers stop with it.
  engine_ = std::make_unique<WaterEngine>(&clock_);
  engine_->SetObjectsThreaded(threaded_);
  engine_->SetPackageFolder(packageFolder_);
  picture_ = &picture;
  engine_->SetPicture(picture);
  engine_->SetWeather(false);
  engine_->Start();
  if (picture.weather.Kind != kWeatherNone) engine_->SetWeather(true);
  lastObjectTick_ = clock_.Ticks();
}

void EngineAdapter::Step() {
  if (!engine_) return;
  if (!threaded_) {
    // The workers' 5 ms rhythm, replayed on the show's clock; a long jump is capped so a
    // slept-through pause cannot stall the frame.
    const uint32_t now = clock_.Ticks();
    const uint32_t steps = std::min<uint32_t>(TickDiff(now, lastObjectTick_) / 5, 2000);
    for (uint32_t i = 0; i < steps; ++i) engine_->Objects().StepAll();
    lastObjectTick_ += steps * 5;
    if (steps == 2000) lastObjectTick_ = now;
  }
  engine_->Tick();
}

const BlendBitmap& EngineAdapter::Frame() {
  return engine_ ? engine_->Output() : empty32_;
}

const BottomUpBitmap& EngineAdapter::Background() {
  return picture_ ? picture_->image : empty_;
}

void EngineAdapter::RestoreBackground() {
  if (engine_) engine_->ResetFrame();
}

void EngineAdapter::End() {
  engine_.reset();
  picture_ = nullptr;
}

SoundAdapter::SoundAdapter(ISoundDevice& device, IClock& clock, SoundSearchPaths paths)
    : player_(device), schedule_(player_, clock), paths_(std::move(paths)) {}

void SoundAdapter::Load(Picture& picture) {
  const auto count = static_cast<size_t>(std::clamp(picture.SoundCount(), 0, kSoundSlotCount));
  schedule_.LoadSoundEffects(std::span<const SoundSlot>(picture.soundSlots.data(), count), paths_);
}

const Effect* TableEffect(int32_t n) {
  return &EffectByNumber(n);
}

}  // namespace vec

#include "slideshow/ShowAdapters.h"

#include <algorithm>
#include <filesystem>
#include <span>

#include "animation/uAnimEngine.h"
#include "graphics/ImageFile.h"
#include "picture/Project.h"

namespace vec {

TShowSettings ShowSettingsFrom(const TVECProject& project, const std::string& tempFolder) {
  const TVECSetting& s = project.Setting;
  TShowSettings out;
  out.FileNames = project.FileList.FileNames;
  out.Checked = project.FileList.Checked;
  out.Stretch = s.Stretch;
  out.Proportional = s.Proportional;
  out.Sound = s.Sound;
  out.Random = s.Random;
  out.Duration = s.Duration;
  out.Transition = s.Transition;
  out.TransitionTime = s.TransitionTime;
  out.TransitionEffects = s.TransitionEffects;
  out.Speed = s.Speed;
  out.Music = s.Music;
  out.ShowImageMode = s.ShowImageMode;
  out.DirectX = s.DirectX;
  out.DirectXQuality = s.DirectXQuality;
  out.MusicFile = s.MusicFile;
  out.MusicMode = s.MusicMode;
  out.TempFolder = tempFolder;
  return out;
}

bool TDiskPictureFiles::FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool TDiskPictureFiles::LoadStill(const std::string& path, TBitmap32& out) {
  auto result = LoadImageFromFile(path);
  if (!result) return false;
  out = std::move(result.value());
  return true;
}

bool TDiskPictureFiles::LoadProject(const std::string& path, TProject& project) {
  return project.LoadFromFile(path);
}

void TDiskPictureFiles::ResizeProject(bool keepAspect, TProject& project, int32_t width,
                                      int32_t height) {
  vec::ResizeProject(keepAspect, project, width, height);
}

TEngineAdapter::TEngineAdapter(IClock& clock, std::string packageFolder, bool threadedObjects)
    : clock_(clock), packageFolder_(std::move(packageFolder)), threaded_(threadedObjects) {}

TEngineAdapter::~TEngineAdapter() = default;

void TEngineAdapter::Begin(TProject& project) {
  // A fresh engine per picture: the old one's object workers stop with it.
  engine_ = std::make_unique<TAnimEngine>(&clock_);
  engine_->SetObjectsThreaded(threaded_);
  engine_->SetPackageFolder(packageFolder_);
  project_ = &project;
  engine_->SetProject(project);
  engine_->SetWeather(false);
  engine_->Start();
  if (project.weather.Kind != wkNone) engine_->SetWeather(true);
  lastObjectTick_ = clock_.Ticks();
}

void TEngineAdapter::Step() {
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

const TBitmap32& TEngineAdapter::Frame() {
  return engine_ ? engine_->Output() : empty32_;
}

const TBitmap& TEngineAdapter::Background() {
  return project_ ? project_->picture : empty_;
}

void TEngineAdapter::RestoreBackground() {
  if (engine_) engine_->ResetFrame();
}

void TEngineAdapter::End() {
  engine_.reset();
  project_ = nullptr;
}

TSoundAdapter::TSoundAdapter(ISoundDevice& device, IClock& clock, SoundSearchPaths paths)
    : player_(device), schedule_(player_, clock), paths_(std::move(paths)) {}

void TSoundAdapter::Load(TProject& project) {
  const auto count = static_cast<size_t>(std::clamp(project.SoundCount(), 0, kSoundSlotCount));
  schedule_.LoadSoundEffects(std::span<const TSoundSlot>(project.soundSlots.data(), count), paths_);
}

TEffectProc EffectRoutine(int32_t n) {
  return EffectByNumber(n).proc;
}

}  // namespace vec

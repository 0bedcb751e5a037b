#pragma once
// The real parts behind the slideshow's interfaces: the picture codecs and project loader,
// the water engine, the sound-effect schedule and the music player; and the settings taken
// from the saver's project.

#include <memory>
#include <string>

#include "animation/SoundEffect.h"
#include "base/Clock.h"
#include "package/VECProject.h"
#include "slideshow/Music.h"
#include "slideshow/ShowServices.h"
#include "slideshow/SoundSchedule.h"
#include "transitions/Effect.h"

namespace vec {

class TAnimEngine;

// The show's settings from the project (user settings already applied) and the run folder.
TShowSettings ShowSettingsFrom(const TVECProject& project, const std::string& tempFolder);

class TDiskPictureFiles final : public IPictureFiles {
 public:
  bool FileExists(const std::string& path) override;
  bool LoadStill(const std::string& path, TBitmap32& out) override;
  bool LoadProject(const std::string& path, TProject& project) override;
  void ResizeProject(bool keepAspect, TProject& project, int32_t width, int32_t height) override;
};

// TAnimEngine for the show. Offline (threaded = false) the objects are stepped from the
// show's clock, one step per 5 ms, instead of by their own workers.
class TEngineAdapter final : public IPictureEngine {
 public:
  TEngineAdapter(IClock& clock, std::string packageFolder, bool threadedObjects = true);
  ~TEngineAdapter() override;

  void Begin(TProject& project) override;
  void Step() override;
  const TBitmap32& Frame() override;
  const TBitmap& Background() override;
  void RestoreBackground() override;
  void End() override;

 private:
  IClock& clock_;
  std::string packageFolder_;
  bool threaded_;
  std::unique_ptr<TAnimEngine> engine_;
  TProject* project_ = nullptr;
  uint32_t lastObjectTick_ = 0;
  TBitmap32 empty32_;
  TBitmap empty_;
};

class TSoundAdapter final : public IShowSounds {
 public:
  TSoundAdapter(ISoundDevice& device, IClock& clock, SoundSearchPaths paths);
  void SetMessagePump(std::function<void()> pump) { schedule_.SetMessagePump(std::move(pump)); }
  void Load(TProject& project) override;
  void Update() override { schedule_.UpdateSoundEffects(); }
  void Clear() override { schedule_.ClearSoundEffects(); }

 private:
  TSoundEffect player_;
  TSoundSchedule schedule_;
  SoundSearchPaths paths_;
};

class TMusicAdapter final : public IShowMusic {
 public:
  explicit TMusicAdapter(IMusicDevice& device) : player_(device) {}
  void Start(const TShowSettings& s) override {
    player_.Start(s.Music, s.MusicFile, s.MusicMode, s.TempFolder);
  }
  // Handles whatever the device has queued since the last call.
  void Notify() override { player_.PollNotifications(); }
  void Stop() override { player_.Stop(); }

 private:
  TMusicPlayer player_;
};

// The effect table's routine for a number (entry 1 for numbers outside the table). The
// form's transitions use the table also when TScrSvrServices::effect is left unset.
TEffectProc EffectRoutine(int32_t n);

}  // namespace vec

#pragma once
// The real parts behind the slideshow's interfaces: the picture codecs and picture file loader,
// the water engine, the sound-effect schedule and the music player; and the settings taken
// from the saver's settings.

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffectPlayer.h"
#include "audio/SoundSchedule.h"
#include "base/Clock.h"
#include "package/SaverSettings.h"
#include "slideshow/ShowServices.h"
#include "transitions/Effect.h"

namespace vec {

class WaterEngine;

// The show's settings from the saver's settings (user settings already applied) and the run folder.
SlideshowOptions ShowSettingsFrom(const SaverSettings& settings, const std::string& tempFolder);

// A picture that cannot be shown is said once per file (by default on stderr, as
// "vecsaver: ..."): a show whose pictures all fail tries one a tick, and a line each time
// would fill the session's log.
class DiskPictureFiles final : public IPictureFiles {
 public:
  using Sink = std::function<void(const std::string& message)>;
  DiskPictureFiles();
  explicit DiskPictureFiles(Sink say) : say_(std::move(say)) {}

  bool FileExists(const std::string& path) override;
  bool LoadStill(const std::string& path, BlendBitmap& out) override;
  bool LoadPicture(const std::string& path, Picture& picture) override;
  void FitPicture(bool keepAspect, Picture& picture, int32_t width, int32_t height) override;

 private:
  void SayCannotShow(const std::string& what, const std::string& path, const std::string& why);
  Sink say_;
  std::unordered_set<std::string> said_;
};

// WaterEngine for the show. Offline (threaded = false) the objects are stepped from the
// show's clock, one step per 5 ms, instead of by their own workers.
class EngineAdapter final : public IPictureEngine {
 public:
  EngineAdapter(IClock& clock, std::string packageFolder, bool threadedObjects = true);
  ~EngineAdapter() override;

  void Begin(Picture& picture) override;
  void Step() override;
  const BlendBitmap& Frame() override;
  const BottomUpBitmap& Background() override;
  void RestoreBackground() override;
  void End() override;

 private:
  IClock& clock_;
  std::string packageFolder_;
  bool threaded_;
  std::unique_ptr<WaterEngine> engine_;
  Picture* picture_ = nullptr;
  uint32_t lastObjectTick_ = 0;
  BlendBitmap empty32_;
  BottomUpBitmap empty_;
};

class SoundAdapter final : public IShowSounds {
 public:
  SoundAdapter(ISoundDevice& device, IClock& clock, SoundSearchPaths paths);
  void SetMessagePump(std::function<void()> pump) { schedule_.SetMessagePump(std::move(pump)); }
  void Load(Picture& picture) override;
  void Update() override { schedule_.UpdateSoundEffects(); }
  void Clear() override { schedule_.ClearSoundEffects(); }

 private:
  SoundEffectPlayer player_;
  SoundSchedule schedule_;
  SoundSearchPaths paths_;
};

class MusicAdapter final : public IShowMusic {
 public:
  explicit MusicAdapter(IMusicDevice& device) : player_(device) {}
  void Start(const SlideshowOptions& s) override {
    player_.Start(s.Music, s.MusicFile, s.MusicMode, s.TempFolder);
  }
  // Handles whatever the device has queued since the last call.
  void Notify() override { player_.PollNotifications(); }
  void Stop() override { player_.Stop(); }

 private:
  MusicPlayer player_;
};

// The effect table's entry for a number (entry 1 for numbers outside the table). The
// form's transitions use the table also when SlideshowServices::effect is left unset.
const Effect* TableEffect(int32_t n);

}  // namespace vec

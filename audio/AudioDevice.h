#pragma once
// What the sound-effect player and the music player need from the audio output. The core
// talks only to these interfaces; the SDL2_mixer back end lives in platform/SdlAudio.
//
// Every operation is allowed to fail quietly: a machine without an audio device runs the
// show in silence, so callers treat a false result as "this sound will not be heard" and
// go on.

#include <cstdint>
#include <limits>
#include <string>

namespace vec {

// Sound effects: one playback channel ("slot") per picture sound, each with its own buffer.
class ISoundDevice {
 public:
  virtual ~ISoundDevice() = default;

  // Prepares the channel of one slot. False when the slot cannot play through its own
  // channel; the sound-effect player then falls back to PlayFile for the first sound.
  virtual bool OpenSlot(int slot) = 0;
  virtual void CloseSlot(int slot) = 0;

  // Decodes a sound file into the slot's buffer, replacing what was there. On failure
  // the buffer is left empty, so the slot stays silent until the next successful load.
  virtual bool LoadSlot(int slot, const std::string& path) = 0;

  // Starts the slot's buffer at the given volume in hundredths of a decibel (0 is full
  // volume, -800 is -8 dB), repeating for as long as `loop` asks. A slot that is still
  // playing plays on undisturbed, as a started sound buffer does.
  virtual bool PlaySlot(int slot, bool loop, int32_t volumeCentibels) = 0;
  virtual void StopSlot(int slot) = 0;
  virtual bool SlotPlaying(int slot) const = 0;

  // The simple path used when slots cannot be opened: plays one file at a time at full
  // volume; a new call replaces what is playing.
  virtual bool PlayFile(const std::string& path, bool loop) = 0;
  virtual void StopFile() = 0;
};

// Background music: one file at a time, with a one-shot notification when it ends.
class IMusicDevice {
 public:
  // Length of a file whose duration the decoder cannot tell; a position never reaches it
  // unless the file has played to its end.
  static constexpr int64_t kUnknownLength = std::numeric_limits<int64_t>::max();

  virtual ~IMusicDevice() = default;

  virtual void SetMusicFileName(const std::string& path) = 0;
  // Opens the file named last; false when it cannot be read or decoded.
  virtual bool OpenMusic() = 0;
  // Plays the open file once from its start.
  virtual bool PlayMusic() = 0;
  // Stops and releases the open file. Stopping a playing file raises the notification
  // when it is armed (an aborted play), but the position then stays short of the length.
  virtual void CloseMusic() = 0;

  // Milliseconds. Once the file has played to its end the position equals the length.
  virtual int64_t MusicPosition() const = 0;
  virtual int64_t MusicLength() const = 0;

  // Arms the notification for one event: the next time playback stops, one notification
  // is queued, then the notification is disarmed until armed again.
  virtual void ArmMusicNotify() = 0;
  // Takes one queued notification; called from the main loop. Notifications are queued
  // by the audio thread and only ever handed out here, on the caller's thread.
  virtual bool TakeMusicNotify() = 0;
};

// Output that plays nothing; for runs without sound and for builds without a back end.
class SilentAudioDevice final : public ISoundDevice, public IMusicDevice {
 public:
  bool OpenSlot(int) override { return false; }
  void CloseSlot(int) override {}
  bool LoadSlot(int, const std::string&) override { return false; }
  bool PlaySlot(int, bool, int32_t) override { return false; }
  void StopSlot(int) override {}
  bool SlotPlaying(int) const override { return false; }
  bool PlayFile(const std::string&, bool) override { return false; }
  void StopFile() override {}

  void SetMusicFileName(const std::string&) override {}
  bool OpenMusic() override { return false; }
  bool PlayMusic() override { return false; }
  void CloseMusic() override {}
  int64_t MusicPosition() const override { return 0; }
  int64_t MusicLength() const override { return kUnknownLength; }
  void ArmMusicNotify() override {}
  bool TakeMusicNotify() override { return false; }
};

}  // namespace vec

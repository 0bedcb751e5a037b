#pragma once
// The sound-effect player: up to eight sounds of the picture on screen, each in its own
// slot with its own buffer, all at one fixed volume. When the slots cannot be opened the
// player falls back to the simple file-playing path, on which only the first sound plays.

#include <array>
#include <cstdint>
#include <string>

#include "audio/AudioDevice.h"

namespace vec {

class SoundEffectPlayer {
 public:
  static constexpr int kSlotCount = 8;
  // Slots play through their own buffers.
  static constexpr uint8_t kModeSlots = 0;
  // Fallback: only slot 0 plays, through ISoundDevice::PlayFile.
  static constexpr uint8_t kModeFallback = 2;
  // Only while the slots are being opened.
  static constexpr uint8_t kModeStarting = 3;
  // The fixed volume setting; the buffers play at Volume() * 40 - 4000 hundredths of a
  // decibel, i.e. -8 dB.
  static constexpr int32_t kVolume = 80;

  // Opens the eight slots; if any of them fails, the opened ones are closed again and the
  // player works in the fallback mode. Never fails.
  explicit SoundEffectPlayer(ISoundDevice& device);
  // Forgets the names, stops everything and closes the slots from the last to the first.
  ~SoundEffectPlayer();
  SoundEffectPlayer(const SoundEffectPlayer&) = delete;
  SoundEffectPlayer& operator=(const SoundEffectPlayer&) = delete;

  // Records the file for the slot and, with working slots, loads it into the slot's
  // buffer. False when the slot number is out of range or the file cannot be loaded; the
  // slot is silent then.
  bool Add(int slot, const std::string& fileName);
  // Plays the slot's sound once or looping; nothing happens for a slot without a name.
  void Play(int slot, bool loop);
  // Stops every slot (or the fallback playback), whether or not it still has a name.
  void StopAll();
  // Forgets every name; loaded buffers stay until they are replaced.
  void Clear();

  uint8_t Mode() const { return mode_; }
  int32_t Volume() const { return volume_; }
  int32_t BufferVolume() const { return volume_ * 40 - 4000; }
  const std::string& Name(int slot) const;

 private:
  ISoundDevice& device_;
  std::array<std::string, kSlotCount> names_;
  uint8_t mode_ = kModeStarting;
  int32_t volume_ = kVolume;
};

}  // namespace vec

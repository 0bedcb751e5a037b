#pragma once
// One of the eight sound-effect slots of a picture.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vec {

// One sound-effect entry (268 bytes in the file: a length byte, 255 name bytes, three int32).
struct SoundSlot {
  std::string FileName;     // empty: unused slot; at most 255 characters (ANSI)
  int32_t PlayMode = 0;     // kPlayLoop, kPlayRandomPause or kPlayFixedInterval
  int32_t IntervalMin = 0;  // seconds
  int32_t IntervalMax = 0;  // seconds, mode 1 only

  static constexpr size_t kRecordSize = 268;
  static constexpr size_t kMaxNameLength = 255;
  friend bool operator==(const SoundSlot&, const SoundSlot&) = default;
};

constexpr int kSoundSlotCount = 8;

// Values of SoundSlot::PlayMode.
inline constexpr int32_t kPlayLoop = 0, kPlayRandomPause = 1, kPlayFixedInterval = 2;

}  // namespace vec

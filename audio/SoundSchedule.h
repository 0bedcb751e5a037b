#pragma once
// When the sounds of the picture on screen play: looping for the whole picture, once after
// a random pause, or once at a fixed interval. The slideshow loads the picture's sound
// slots after each picture file and updates the schedule from every tick.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "audio/SoundEffectPlayer.h"
#include "base/Clock.h"
#include "package/FileSearch.h"
#include "picture/Picture.h"

namespace vec {

class SoundSchedule {
 public:
  struct SlotState {
    bool active = false;
    bool played = false;
    int entry = -1;          // player slot the sound was added to
    uint32_t startTick = 0;  // tick of the last play (or of the load)
    int64_t interval = 0;    // seconds until the next play (play mode 1)
  };

  SoundSchedule(SoundEffectPlayer& player, IClock& clock) : player_(player), clock_(clock) {}

  // Called after each play so pending window messages are handled; optional.
  void SetMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }

  // Registers the picture's sound slots: each slot whose file is found is added to the
  // player, in order, from player slot 0 on. A slot whose file is missing or cannot be
  // loaded stays inactive. The caller clears the player first (ClearSoundEffects).
  void LoadSoundEffects(std::span<const SoundSlot> slots, const SoundSearchPaths& paths);
  // Plays whatever is due; called from every tick and once right after loading.
  void UpdateSoundEffects();
  // Stops every sound and forgets the picture's sounds.
  void ClearSoundEffects();

  const SlotState& State(int slot) const { return states_.at(slot); }
  int SlotCount() const { return count_; }

 private:
  int64_t DrawInterval(const SoundSlot& slot) const;
  void Play(int entry, bool loop);

  SoundEffectPlayer& player_;
  IClock& clock_;
  std::function<void()> pump_;
  std::array<SoundSlot, kSoundSlotCount> slots_{};
  std::array<SlotState, kSoundSlotCount> states_{};
  int count_ = 0;
};

}  // namespace vec

#include "audio/SoundSchedule.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/Random.h"

namespace vec {
namespace fs = std::filesystem;

namespace {}  // namespace

int64_t SoundSchedule::DrawInterval(const SoundSlot& slot) const {
  if (slot.PlayMode == kPlayFixedInterval) return slot.IntervalMin;
  // From the lower bound up to, not including, the upper one; equal bounds give the lower
  // one, and bounds given the wrong way round are taken in order.
  const int64_t lo = std::min(slot.IntervalMin, slot.IntervalMax);
  const int64_t hi = std::max(slot.IntervalMin, slot.IntervalMax);
  const auto span = static_cast<uint32_t>(hi - lo);
  return lo + static_cast<uint32_t>(Random(static_cast<int32_t>(span)));
}

void SoundSchedule::LoadSoundEffects(std::span<const SoundSlot> slots,
                                     const SoundSearchPaths& paths) {
  count_ = static_cast<int>(std::min<size_t>(slots.size(), kSoundSlotCount));
  states_ = {};
  slots_ = {};
  int nextEntry = 0;
  for (int i = 0; i < count_; ++i) {
    slots_[i] = slots[i];
    SlotState& state = states_[i];
    state.startTick = clock_.Ticks();
    const std::string path = FindSoundFile(slots_[i].FileName, paths);
    if (path.empty()) continue;
    // A file that does not load leaves the slot inactive; the next file reuses its entry.
    if (!player_.Add(nextEntry, path)) continue;
    state.active = true;
    state.entry = nextEntry++;
    if (slots_[i].PlayMode == kPlayRandomPause || slots_[i].PlayMode == kPlayFixedInterval) {
      state.interval = DrawInterval(slots_[i]);
    }
  }
}

void SoundSchedule::Play(int entry, bool loop) {
  player_.Play(entry, loop);
  if (pump_) pump_();
}

void SoundSchedule::UpdateSoundEffects() {
  try {
    for (int i = 0; i < count_; ++i) {
      SlotState& state = states_[i];
      if (!state.active) continue;
      const uint32_t now = clock_.Ticks();
      const int64_t elapsed = TickDiff(now, state.startTick) / 1000;
      switch (slots_[i].PlayMode) {
        case kPlayLoop:
          if (!state.played) {
            state.played = true;
            Play(state.entry, true);
          }
          break;
        case kPlayRandomPause:
          if (elapsed >= state.interval) {
            state.startTick = now;
            state.interval = DrawInterval(slots_[i]);
            Play(state.entry, false);
          }
          break;
        case kPlayFixedInterval:
          if (elapsed >= slots_[i].IntervalMin) {
            state.startTick = now;
            Play(state.entry, false);
          }
          break;
        default:
          break;
      }
    }
  } catch (...) {
    // A failing play ends this pass; the next tick tries again.
  }
}

void SoundSchedule::ClearSoundEffects() {
  player_.StopAll();
  player_.Clear();
  states_ = {};
  count_ = 0;
}

}  // namespace vec

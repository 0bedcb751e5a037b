#include "audio/SoundEffectPlayer.h"

namespace vec {
namespace {

bool ValidSlot(int slot) {
  return slot >= 0 && slot < SoundEffectPlayer::kSlotCount;
}

}  // namespace

SoundEffectPlayer::SoundEffectPlayer(ISoundDevice& device) : device_(device) {
  int opened = 0;
  while (opened < kSlotCount && device_.OpenSlot(opened)) ++opened;
  if (opened == kSlotCount) {
    mode_ = kModeSlots;
    return;
  }
  // One slot that does not open sends every sound to the simple fallback; the slots that
  // did open are of no use then.
  for (int i = opened - 1; i >= 0; --i) device_.CloseSlot(i);
  mode_ = kModeFallback;
}

SoundEffectPlayer::~SoundEffectPlayer() {
  for (auto& name : names_) name.clear();
  StopAll();
  if (mode_ == kModeSlots) {
    for (int i = kSlotCount - 1; i >= 0; --i) device_.CloseSlot(i);
  }
}

bool SoundEffectPlayer::Add(int slot, const std::string& fileName) {
  if (!ValidSlot(slot)) return false;
  names_[slot] = fileName;
  if (mode_ == kModeSlots) return device_.LoadSlot(slot, fileName);
  return true;
}

void SoundEffectPlayer::Play(int slot, bool loop) {
  if (!ValidSlot(slot) || names_[slot].empty()) return;
  if (mode_ == kModeSlots) {
    device_.PlaySlot(slot, loop, BufferVolume());
  } else if (mode_ == kModeFallback && slot == 0) {
    device_.PlayFile(names_[0], loop);
  }
}

void SoundEffectPlayer::StopAll() {
  if (mode_ == kModeSlots) {
    for (int i = 0; i < kSlotCount; ++i) device_.StopSlot(i);
  } else if (mode_ == kModeFallback) {
    device_.StopFile();
  }
}

void SoundEffectPlayer::Clear() {
  for (auto& name : names_) name.clear();
}

const std::string& SoundEffectPlayer::Name(int slot) const {
  static const std::string kNone;
  return ValidSlot(slot) ? names_[slot] : kNone;
}

}  // namespace vec

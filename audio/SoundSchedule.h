#pragma once
// When the sounds of the picture on screen play: looping for the whole picture, once after
// a random pause, or once at a fixed interval. The slideshow loads the picture's sound
// slots after each picture project and updates the schedule from every tick.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "audio/SoundEffectPlayer.h"
#include "base/Clock.h"
#include "picture/Picture.h"

namespace vec {

// The file-name part of a stored name, split on both "\" and "/" (stored names are
// Windows names).
std::string_view FileNamePart(std::string_view name);

// folder + name when that file exists; otherwise the entry of the folder whose name
// matches case-insensitively (savers are authored on case-blind file systems). Empty
// when neither exists. `folder` may lack the trailing "/".
std::string FindFileInFolder(const std::string& folder, std::string_view name);

// The sounds/ folders of the shared library in search order: $XDG_DATA_HOME (default
// ~/.local/share), then each folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share),
// each followed by "Dawlish/Common/sounds/".
std::vector<std::string> SharedSoundFolders();

// Where a sound named by a picture is looked for, after the name as it stands.
struct SoundSearchPaths {
  std::string tempFolder;                       // the run's temporary folder
  std::vector<std::string> sharedSoundFolders;  // SharedSoundFolders()
  std::string exeFolder;                        // folder of the executable; empty: skipped
};

// The name as it stands, then temporary folder, shared sounds folders and the executable's
// sounds/ folder, each + the file-name part. Empty when the file is nowhere.
std::string FindSoundFile(std::string_view fileName, const SoundSearchPaths& paths);

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

#pragma once
// The user's choices of the Settings dialog: whether this run may read and write the user
// settings file, reading them (over defaults taken from the saver's settings), writing them,
// and laying them over the saver's settings before a designed window is shown.
//
// Entry points for the configuration window:
//   SettingsAccess access = SettingsAccessFor(OwnPath(), modeWord);
//   DialogSettingsRead read = ReadDialogSettings(settings.Setting, access);
//   if (read.allowed) ApplyDialogSettings(read.values, settings.Setting);
//   ... after the dialog's OK: WriteDialogSettings(values, access)

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "package/SaverSettings.h"
#include "package/UserSettings.h"

namespace vec {

// True when the saver file's name ends in ".scr" (any case), or the mode argument (the first
// argument that is not one of this program's options such as "--package FILE") is exactly
// "/C" in any case ("/c:1234" as one argument is not).
bool SettingsAccessAllowed(std::string_view ownPath, std::string_view modeWord);

// Where the configuration side reads and writes the user's choices, and whether it may.
struct SettingsAccess {
  bool allowed = false;
  UserSettingsFiles files;  // the user settings of the saver (see LocateUserSettings)
};
SettingsAccess SettingsAccessFor(const std::string& ownPath, std::string_view modeWord);

// What the Settings dialog shows and writes. List choices are indexes: ImageSize 0 original
// size, 1 stretched, 2 stretched keeping proportions; ImageMode 0..3 as the show modes;
// SpeedIndex 0..20 into SpeedTable; DirectXQuality 0..2.
struct DialogSettings {
  int32_t ImageSize = 1;
  int32_t ImageMode = 0;
  int32_t SpeedIndex = 10;
  bool Sound = true;
  bool Music = true;
  bool Transition = true;
  int32_t Duration = 30;
  bool DirectX = false;
  int32_t DirectXQuality = 0;
  bool CustomMusic = false;
  bool ShuffleMusic = true;
  std::vector<std::string> MusicList;

  friend bool operator==(const DialogSettings&, const DialogSettings&) = default;
};

inline constexpr int32_t kImageSizeCount = 3;
inline constexpr int32_t kImageModeCount = 4;
inline constexpr int32_t kDirectXQualityCount = 3;

// The dialog's values before the user file is read: the saver's choices, with the speed
// index of the table value nearest to the saver's speed, custom music off and shuffle on.
DialogSettings DialogDefaults(const ShowSettings& settings);

// Lays section "Setting" and the keys of "MusicList" of a user settings document over
// `values`. A list choice or speed index outside its range keeps the value it had, so the
// dialog never shows an empty list or a speed past the table.
void ReadDialogSettings(const IniDocument& user, DialogSettings& values);

struct DialogSettingsRead {
  bool allowed = false;
  DialogSettings values;
};
// The defaults from the saver's settings, overlaid with the user file when access is allowed and
// the file exists. A file that exists but cannot be read gives the defaults.
DialogSettingsRead ReadDialogSettings(const ShowSettings& settings, const SettingsAccess& access);

// Whether a music path can be kept as a key of the settings file and read back as it was:
// not empty, no line break, no "=", no blank at either end, not starting with ";" or "[".
bool IsStorableMusicPath(std::string_view path);

// Writes section "Setting" (ImageSize, ImageMode, Speed, Sound, Music, Transition, Duration,
// DirectX, DirectXQuality, CustomMusic, ShuffleMusic, in this order) and rewrites section
// "MusicList" with one key per path in list order, a path listed twice kept once. Paths that
// IsStorableMusicPath refuses are left out rather than corrupting the file.
void WriteDialogSettings(const DialogSettings& values, IniDocument& user);

// The same into the user's settings when access is allowed; nothing is written otherwise.
// Written through UpdateUserSettings: the rest of the file is kept, a missing file (and its
// folder) is made, the file is replaced whole or not at all, and an existing file that
// cannot be read is left as it is and reported.
Status WriteDialogSettings(const DialogSettings& values, const SettingsAccess& access);

// Lays the user's choices over the saver's settings as a designed window is shown: show
// mode, duration, sound, music, transitions, speed (the table value of the index; an index
// outside the table keeps the saver's speed) and picture size. The display choice, its
// quality and the music list are not copied.
void ApplyDialogSettings(const DialogSettings& values, ShowSettings& settings);

}  // namespace vec

#pragma once
// The author's settings of one saver, as they travel in the package's settings container:
// the picture list, the settings, and the user-interface settings.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/ShowDefaults.h"

namespace vec {

class IniDocument;

// The picture list: keys of [FileList] in file order, with a parallel list of "TRUE"/"FALSE".
class PictureList {
 public:
  std::vector<std::string> FileNames;
  std::vector<std::string> Checked;

  void Clear();
  void LoadFromIni(const IniDocument& ini);
  void LoadFromText(std::string_view text);
  void LoadFromFile(const std::string& path);
  // Every entry "TRUE" (the slideshow modes do this before the user settings apply).
  void CheckAll();
};

enum class SettingType { Boolean, Integer, Text };

class ShowSettings;
using SettingValue = std::variant<bool, int32_t, std::string>;
using SettingField =
    std::variant<bool ShowSettings::*, int32_t ShowSettings::*, std::string ShowSettings::*>;

// One key of the settings text, in the order the loader reads them.
struct SettingKey {
  std::string_view section;
  std::string_view key;
  SettingType type;
  SettingField field;
  // Most keys fall back to the field's current value; a few use a default fixed in the loader.
  bool fixedDefault = false;
  bool fixedValue = false;  // that default (both such keys are booleans)
};

// "1,2,...,169": every effect, kEffectCount of them.
std::string DefaultTransitionEffects();

class ShowSettings {
 public:
  // [General]
  std::string ProductName = "My Screensaver";
  std::string Publisher;
  std::string Website;
  // [Default]
  bool Stretch = true;
  bool Proportional = false;
  bool Sound = true;
  bool Random = true;
  int32_t Duration = kDefaultDurationSeconds;
  bool Transition = true;
  int32_t TransitionTime = kDefaultTransitionMs;
  std::string TransitionEffects = DefaultTransitionEffects();
  bool Zoom = false;
  bool LivingZoom = false;
  int32_t ZoomDuration = 5;
  bool AutoWallpaper = false;
  int32_t Speed = kDefaultSpeedPercent;
  bool Music = true;
  bool Animation = true;
  int32_t ShowImageMode = 0;
  bool DirectX = false;
  int32_t DirectXQuality = 0;
  // [Advance]
  std::string MusicFile;
  int32_t MusicMode = 0;
  std::string PreviewFile;
  // [Build]
  int32_t BuildMethod = 2;
  std::string BuildFileName;
  bool BuildSmallThumbs = true;
  std::string BuildIcon;
  std::string BuildInstall;
  bool CustomIcon = false;

  // Every key, in load order.
  static std::span<const SettingKey> Keys();
  SettingValue Get(const SettingKey& key) const;
  void Set(const SettingKey& key, const SettingValue& value);

  // For each key in order: the value from the text, or when absent or invalid the field's
  // current value (or the loader's fixed default for BuildSmallThumbs and CustomIcon).
  void LoadFromIni(const IniDocument& ini);
  void LoadFromText(std::string_view text);
  void LoadFromFile(const std::string& path);
};

class UiSettings {
 public:
  std::string UIFile;

  void LoadFromIni(const IniDocument& ini);
  void LoadFromText(std::string_view text);
  void LoadFromFile(const std::string& path);
};

// The saver's settings for the whole run.
class SaverSettings {
 public:
  PictureList FileList;
  ShowSettings Setting;
  UiSettings UISetting;
};

// Loads the three settings texts from the settings container (records 1 to 3). The records
// are read into memory rather than through temporary files. A container whose count is not
// 3 or 4, or that cannot be read, leaves every value at its default and the picture list
// empty. Returns false in that case (the runtime goes on with the defaults).
bool LoadSettingsFile(SaverSettings& settings, const std::string& settingsContainer);

// The same from the three texts themselves.
void LoadSettingsTexts(SaverSettings& settings, std::string_view fileList,
                       std::string_view showSettings, std::string_view uiSettings);

}  // namespace vec

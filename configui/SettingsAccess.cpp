#include "configui/SettingsAccess.h"

#include <set>

#include "base/Ini.h"
#include "base/SpeedTable.h"
#include "package/FileUtil.h"
#include "package/UserSettings.h"

namespace vec {
namespace {

constexpr std::string_view kSetting = "Setting";
constexpr std::string_view kMusicList = "MusicList";

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsUpper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (Upper(text[i]) != upper[i]) return false;
  return true;
}

}  // namespace

bool SettingsAccessAllowed(std::string_view ownPath, std::string_view modeWord) {
  const size_t slash = ownPath.find_last_of('/');
  const std::string_view name =
      slash == std::string_view::npos ? ownPath : ownPath.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && EqualsUpper(name.substr(dot), ".SCR")) return true;
  return EqualsUpper(modeWord, "/C");
}

SettingsAccess SettingsAccessFor(const std::string& ownPath, std::string_view modeWord) {
  return {SettingsAccessAllowed(ownPath, modeWord), LocateUserSettings(ownPath)};
}

DialogSettings DialogDefaults(const ShowSettings& settings) {
  DialogSettings d;
  d.ImageMode = settings.ShowImageMode;
  // A speed the table does not hold starts at the nearest table value rather than nowhere.
  d.SpeedIndex = NearestSpeedIndex(settings.Speed);
  d.Sound = settings.Sound;
  d.Music = settings.Music;
  d.Transition = settings.Transition;
  d.Duration = settings.Duration;
  d.DirectX = settings.DirectX;
  d.DirectXQuality = settings.DirectXQuality;
  d.ImageSize = settings.Stretch ? (settings.Proportional ? 2 : 1) : 0;
  d.CustomMusic = false;
  d.ShuffleMusic = true;
  return d;
}

void ReadDialogSettings(const IniDocument& user, DialogSettings& values) {
  // Read as they stand: the dialog's controls decide what a value outside their range
  // shows (the track bar its nearest end, a list no entry), and OK writes that back.
  values.ImageSize = user.ReadInteger(kSetting, "ImageSize", values.ImageSize);
  values.ImageMode = user.ReadInteger(kSetting, "ImageMode", values.ImageMode);
  values.SpeedIndex = user.ReadInteger(kSetting, "Speed", values.SpeedIndex);
  values.Sound = user.ReadBool(kSetting, "Sound", values.Sound);
  values.Music = user.ReadBool(kSetting, "Music", values.Music);
  values.Transition = user.ReadBool(kSetting, "Transition", values.Transition);
  values.Duration = user.ReadInteger(kSetting, "Duration", values.Duration);
  values.DirectX = user.ReadBool(kSetting, "DirectX", values.DirectX);
  values.DirectXQuality = user.ReadInteger(kSetting, "DirectXQuality", values.DirectXQuality);
  values.CustomMusic = user.ReadBool(kSetting, "CustomMusic", values.CustomMusic);
  values.ShuffleMusic = user.ReadBool(kSetting, "ShuffleMusic", values.ShuffleMusic);
  values.MusicList = user.SectionKeys(kMusicList);
}

DialogSettingsRead ReadDialogSettings(const ShowSettings& settings, const SettingsAccess& access) {
  DialogSettingsRead read{access.allowed, DialogDefaults(settings)};
  if (!access.allowed) return read;
  if (ErrorOr<IniDocument> user = ReadUserSettings(access.files); user.ok())
    ReadDialogSettings(user.value(), read.values);
  return read;
}

bool IsStorableMusicPath(std::string_view path) {
  if (path.empty() || path != TrimBlanks(path)) return false;
  if (path.front() == ';' || path.front() == '[') return false;
  return path.find_first_of("=\r\n") == std::string_view::npos;
}

void WriteDialogSettings(const DialogSettings& values, IniDocument& user) {
  user.WriteInteger(kSetting, "ImageSize", values.ImageSize);
  user.WriteInteger(kSetting, "ImageMode", values.ImageMode);
  user.WriteInteger(kSetting, "Speed", values.SpeedIndex);
  user.WriteBool(kSetting, "Sound", values.Sound);
  user.WriteBool(kSetting, "Music", values.Music);
  user.WriteBool(kSetting, "Transition", values.Transition);
  user.WriteInteger(kSetting, "Duration", values.Duration);
  user.WriteBool(kSetting, "DirectX", values.DirectX);
  user.WriteInteger(kSetting, "DirectXQuality", values.DirectXQuality);
  user.WriteBool(kSetting, "CustomMusic", values.CustomMusic);
  user.WriteBool(kSetting, "ShuffleMusic", values.ShuffleMusic);

  user.EraseSection(kMusicList);
  std::set<std::string_view> written;
  for (const std::string& path : values.MusicList) {
    if (!IsStorableMusicPath(path) || !written.insert(path).second) continue;
    // Appended rather than looked up: two files whose names differ only in case are two
    // files here, and profile lookups would merge them.
    user.AppendKey(kMusicList, path, "");
  }
}

Status WriteDialogSettings(const DialogSettings& values, const SettingsAccess& access) {
  if (!access.allowed) return {};
  return UpdateUserSettings(access.files,
                            [&values](IniDocument& user) { WriteDialogSettings(values, user); });
}

void ApplyDialogSettings(const DialogSettings& values, ShowSettings& settings) {
  settings.ShowImageMode = values.ImageMode;
  settings.Duration = values.Duration;
  settings.Sound = values.Sound;
  settings.Music = values.Music;
  settings.Transition = values.Transition;
  if (values.SpeedIndex >= 0 && values.SpeedIndex < static_cast<int32_t>(SpeedTable.size()))
    settings.Speed = SpeedTable[static_cast<size_t>(values.SpeedIndex)];
  settings.Stretch = values.ImageSize > 0;
  settings.Proportional = values.ImageSize == 2;
}

}  // namespace vec

#include "configui/SettingsAccess.h"

#include <set>

#include "base/Ini.h"
#include "base/SpeedTable.h"
#include "package/AtomicFile.h"
#include "package/FileUtil.h"
#include "package/UserSettings.h"

namespace vec {
namespace {

constexpr std::string_view kSetting = "Setting";
constexpr std::string_view kMusicList = "MusicList";
constexpr size_t kMaxUserFile = 16u << 20;

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

bool SettingsAccessAllowed(std::string_view ownPath, std::string_view firstArgument) {
  const size_t slash = ownPath.find_last_of('/');
  const std::string_view name =
      slash == std::string_view::npos ? ownPath : ownPath.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && EqualsUpper(name.substr(dot), ".SCR")) return true;
  return EqualsUpper(firstArgument, "/C");
}

bool SettingsAccessAllowed(std::string_view ownPath, std::span<const std::string> arguments) {
  return SettingsAccessAllowed(ownPath, arguments.empty() ? std::string_view() : arguments[0]);
}

SettingsAccess SettingsAccessFor(const std::string& ownPath,
                                 std::span<const std::string> arguments) {
  return {SettingsAccessAllowed(ownPath, arguments), UserSettingsPath(ownPath)};
}

DialogSettings DialogDefaults(const ShowSettings& project) {
  DialogSettings d;
  d.ImageMode = project.ShowImageMode;
  // A speed the table does not hold starts at the nearest table value rather than nowhere.
  d.SpeedIndex = NearestSpeedIndex(project.Speed);
  d.Sound = project.Sound;
  d.Music = project.Music;
  d.Transition = project.Transition;
  d.Duration = project.Duration;
  d.DirectX = project.DirectX;
  d.DirectXQuality = project.DirectXQuality;
  d.ImageSize = project.Stretch ? (project.Proportional ? 2 : 1) : 0;
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

DialogSettingsRead ReadDialogSettings(const ShowSettings& project, const SettingsAccess& access) {
  DialogSettingsRead read{access.allowed, DialogDefaults(project)};
  if (!access.allowed || !IsRegularFile(access.userFile)) return read;
  std::string text;
  if (ReadSmallFile(access.userFile, text, kMaxUserFile))
    ReadDialogSettings(IniDocument::FromText(text), read.values);
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
  IniDocument user;
  if (FileExists(access.userFile)) {
    std::string text;
    if (!ReadSmallFile(access.userFile, text, kMaxUserFile))
      return Error::Make(ErrorCode::OpenFailed,
                         "Cannot read \"" + access.userFile + "\"; it was left unchanged.");
    user = IniDocument::FromText(text);
  }
  WriteDialogSettings(values, user);
  if (Status made = MakeUserSettingsFolder(access.userFile); !made.ok()) return made;
  return WriteFileAtomically(access.userFile, user.ToText());
}

void ApplyDialogSettingsToProject(const DialogSettings& values, ShowSettings& project) {
  project.ShowImageMode = values.ImageMode;
  project.Duration = values.Duration;
  project.Sound = values.Sound;
  project.Music = values.Music;
  project.Transition = values.Transition;
  if (values.SpeedIndex >= 0 && values.SpeedIndex < static_cast<int32_t>(SpeedTable.size()))
    project.Speed = SpeedTable[static_cast<size_t>(values.SpeedIndex)];
  project.Stretch = values.ImageSize > 0;
  project.Proportional = values.ImageSize == 2;
}

}  // namespace vec

#include "package/UserSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/Ini.h"
#include "package/FileSearch.h"
#include "package/FileUtil.h"
#include "package/Folders.h"

namespace vec {
namespace {

constexpr size_t kMaxUserFile = 16u << 20;

// ChangeFileExt on the file-name part: from its last '.' on, or appended when it has none.
std::string WithIniExtension(const std::string& path) {
  std::string_view name = LocalFileNamePart(path);
  size_t dot = name.rfind('.');
  size_t keep = path.size() - name.size() + (dot == std::string_view::npos ? name.size() : dot);
  return path.substr(0, keep) + ".ini";
}

}  // namespace

std::string UserSettingsPathBeside(const std::string& ownPath) {
  return WithIniExtension(ownPath);
}

std::string UserSettingsPath(const std::string& ownPath,
                             const std::function<const char*(const char*)>& env) {
  std::string beside = WithIniExtension(ownPath);
  std::string folder(LocalFolderPart(beside));
  std::string name(LocalFileNamePart(beside));
  if (FileExists(beside)) return beside;
  if (std::string found = FindInFolder(folder.empty() ? "." : folder, name); !found.empty())
    return folder.empty() ? found.substr(2) : found;
  if (access(folder.empty() ? "." : folder.c_str(), W_OK) == 0) return beside;
  const char* xdg = env("XDG_CONFIG_HOME");
  std::string config;
  if (xdg && *xdg) {
    config = xdg;
  } else {
    const char* home = env("HOME");
    config = std::string(home ? home : "") + "/.config";
  }
  if (config.back() != '/') config += '/';
  // Named like the run folder, by the saver's base name (a saver My.Saver.scr gives My.ini);
  // a name that starts with '.' has no base name and keeps its whole name.
  std::string base = SaverBaseName(ownPath);
  return config + "vecsaver/" + (base.empty() ? name : base + ".ini");
}

Status MakeUserSettingsFolder(const std::string& path) {
  const std::string folder(LocalFolderPart(path));  // with its last '/', or empty
  // Each folder from the top down: "/home", "/home/u", "/home/u/.config", ...
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (IsDirectory(part)) continue;
    if (mkdir(part.c_str(), 0700) != 0 && !(errno == EEXIST && IsDirectory(part)))
      return Error::Make(ErrorCode::WriteFailed,
                         "Cannot make the folder \"" + part + "\": " + std::strerror(errno));
  }
  return {};
}

std::string UserSettingsPath(const std::string& ownPath) {
  return UserSettingsPath(ownPath, [](const char* n) -> const char* { return getenv(n); });
}

void ApplyUserSettings(SaverSettings& project, const IniDocument& user) {
  ShowSettings& s = project.Setting;
  auto& checked = project.FileList.Checked;
  const int32_t count = static_cast<int32_t>(project.FileList.FileNames.size());

  const int32_t imageSize = user.ReadInteger("Setting", "ImageSize", -1);
  const int32_t imageMode = user.ReadInteger("Setting", "ImageMode", s.ShowImageMode);
  const int32_t speed = user.ReadInteger("Setting", "Speed", -1);
  const bool sound = user.ReadBool("Setting", "Sound", s.Sound);
  const bool music = user.ReadBool("Setting", "Music", s.Music);
  const bool transition = user.ReadBool("Setting", "Transition", s.Transition);
  const int32_t duration = user.ReadInteger("Setting", "Duration", s.Duration);
  const bool directX = user.ReadBool("Setting", "DirectX", true);
  const int32_t directXQuality = user.ReadInteger("Setting", "DirectXQuality", 1);
  const bool customMusic = user.ReadBool("Setting", "CustomMusic", false);
  const bool shuffleMusic = user.ReadBool("Setting", "ShuffleMusic", true);
  int32_t index = user.ReadInteger("Setting", "Index", 0);

  if (customMusic) {
    std::string list;
    for (const auto& key : user.SectionKeys("MusicList")) {
      if (!list.empty()) list += ';';
      list += key;
    }
    s.MusicFile = list;
    s.MusicMode = shuffleMusic ? 0 : 1;
  }

  const std::vector<std::string> unchecked = user.SectionKeys("Files");
  // An index outside the list (also a negative one, which would otherwise name no entry and
  // leave nothing to show) selects the first picture.
  if (index >= count || index < 0) index = 0;

  if (checked.size() < static_cast<size_t>(count)) checked.resize(count, "FALSE");
  if (imageMode == 3) {
    for (int32_t i = 0; i < count; ++i) checked[i] = i == index ? "TRUE" : "FALSE";
  }
  if (imageMode == 2) {
    for (const auto& key : unchecked) {
      std::string_view k = TrimBlanks(key);
      bool digits = !k.empty() && k.find_first_not_of("0123456789") == std::string_view::npos;
      if (!digits) continue;
      auto n = ParseIniInteger(k);
      if (n && *n < count) checked[*n] = "FALSE";
    }
  }

  s.ShowImageMode = imageMode;
  s.Duration = duration;
  s.Sound = sound;
  s.Music = music;
  s.Transition = transition;
  s.DirectX = directX;
  s.DirectXQuality = directXQuality;
  if (speed >= 0 && speed < static_cast<int32_t>(SpeedTable.size())) s.Speed = SpeedTable[speed];
  if (imageSize != -1) {
    s.Stretch = imageSize > 0;
    s.Proportional = imageSize == 2;
  }
}

Status ApplyUserSettingsFile(SaverSettings& project, const std::string& path) {
  std::string text;
  if (!IsRegularFile(path) || !ReadSmallFile(path, text, kMaxUserFile))
    return Error::Make(ErrorCode::OpenFailed,
                       "cannot read the user settings file \"" + path + "\"");
  ApplyUserSettings(project, IniDocument::FromText(text));
  return {};
}

Status ApplyUserSettings(SaverSettings& project) {
  return ApplyUserSettingsFile(project, UserSettingsPath(OwnPath()));
}

}  // namespace vec

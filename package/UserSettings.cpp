#include "package/UserSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "base/Ini.h"
#include "package/AtomicFile.h"
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

namespace {

std::string ConfigFolder(const std::function<const char*(const char*)>& env) {
  std::string config;
  if (const char* xdg = env("XDG_CONFIG_HOME"); xdg && *xdg) {
    config = xdg;
  } else {
    const char* home = env("HOME");
    config = std::string(home ? home : "") + "/.config";
  }
  if (config.back() != '/') config += '/';
  return config + "vecsaver/";
}

}  // namespace

UserSettingsFiles LocateUserSettings(const std::string& ownPath,
                                     const std::function<const char*(const char*)>& env,
                                     uid_t user) {
  const std::string beside = WithIniExtension(ownPath);
  const std::string folder(LocalFolderPart(beside));
  const std::string name(LocalFileNamePart(beside));
  const std::string lookIn = folder.empty() ? "." : folder;
  // An existing file whose name differs only in case is the saver's (savers are made on a
  // file system that ignores case).
  std::string existing = FileExists(beside) ? beside : "";
  if (existing.empty()) {
    if (std::string found = FindInFolder(lookIn, name); !found.empty())
      existing = folder.empty() ? found.substr(2) : found;
  }
  if (IsUsersOwnFolder(lookIn, user)) return {existing.empty() ? beside : existing, ""};
  // Named like the run folder, by the saver's base name (a saver My.Saver.scr gives My.ini);
  // a name that starts with '.' has no base name and keeps its whole name.
  const std::string base = SaverBaseName(ownPath);
  const std::string own = ConfigFolder(env) + (base.empty() ? name : base + ".ini");
  return {own, existing};
}

std::string UserSettingsFiles::Current() const {
  return fallback.empty() || FileExists(file) ? file : fallback;
}

UserSettingsFiles LocateUserSettings(const std::string& ownPath) {
  return LocateUserSettings(
      ownPath, [](const char* n) -> const char* { return getenv(n); }, geteuid());
}

ErrorOr<IniDocument> ReadUserSettings(const UserSettingsFiles& files) {
  const std::string path = files.Current();
  if (!FileExists(path)) return IniDocument();
  std::string text;
  if (!IsRegularFile(path) || !ReadSmallFile(path, text, kMaxUserFile))
    return Error::Make(ErrorCode::OpenFailed,
                       "Cannot read \"" + path + "\"; it was left unchanged.");
  return IniDocument::FromText(text);
}

Status UpdateUserSettings(const UserSettingsFiles& files,
                          const std::function<void(IniDocument&)>& edit) {
  IniDocument user = TRY(ReadUserSettings(files));
  edit(user);
  TRY(MakeFolders(std::string(LocalFolderPart(files.file)), 0700));
  return WriteFileAtomically(files.file, user.ToText());
}

void ApplyUserSettings(SaverSettings& settings, const IniDocument& user) {
  ShowSettings& s = settings.Setting;
  auto& checked = settings.FileList.Checked;
  const int32_t count = static_cast<int32_t>(settings.FileList.FileNames.size());

  const int32_t imageSize = user.ReadInteger("Setting", "ImageSize", -1);
  const int32_t imageMode = user.ReadInteger("Setting", "ImageMode", s.ShowImageMode);
  const int32_t speed = user.ReadInteger("Setting", "Speed", -1);
  const bool sound = user.ReadBool("Setting", "Sound", s.Sound);
  const bool music = user.ReadBool("Setting", "Music", s.Music);
  const bool transition = user.ReadBool("Setting", "Transition", s.Transition);
  const int32_t duration = user.ReadInteger("Setting", "Duration", s.Duration);
  // A file without the display keys (one written only by the configuration window) keeps
  // the package's display, as the Settings dialog shows it, rather than switching to an
  // 800 x 600 surface the user never chose.
  const bool directX = user.ReadBool("Setting", "DirectX", s.DirectX);
  const int32_t directXQuality = user.ReadInteger("Setting", "DirectXQuality", s.DirectXQuality);
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

Status ApplyUserSettingsFile(SaverSettings& settings, const std::string& path) {
  std::string text;
  if (!IsRegularFile(path) || !ReadSmallFile(path, text, kMaxUserFile))
    return Error::Make(ErrorCode::OpenFailed,
                       "cannot read the user settings file \"" + path + "\"");
  ApplyUserSettings(settings, IniDocument::FromText(text));
  return {};
}

Status ApplyUserSettings(SaverSettings& settings) {
  return ApplyUserSettingsFile(settings, LocateUserSettings(OwnPath()).Current());
}

}  // namespace vec

// vectool's package commands: info, settings, extract, pack.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "base/CommaText.h"
#include "base/Ini.h"
#include "package/Container.h"
#include "package/FileSearch.h"
#include "package/FileUtil.h"
#include "package/Folders.h"
#include "package/Package.h"
#include "package/UserSettings.h"
#include "tools/vectool/Command.h"
#include "tools/vectool/PackageJson.h"
#include "tools/vectool/PictureInfo.h"

namespace vectool {
namespace {

using vec::WrittenSize;

// A private scratch folder (mode 0700) removed with everything in it when it goes.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string tmpl = vec::SystemTempPath() + "vectool-XXXXXX";
    if (mkdtemp(tmpl.data())) path_ = tmpl + "/";
  }
  ~ScratchFolder() {
    if (path_.empty()) return;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path_.c_str()), closedir);
    if (dir) {
      while (dirent* e = readdir(dir.get())) {
        std::string name = e->d_name;
        if (name != "." && name != "..") unlink((path_ + name).c_str());
      }
    }
    rmdir(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && vec::EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

int PackageFail(vec::PackageError e, const std::string& file) {
  if (e == vec::PackageError::NoTempFolder) return Fail("cannot create a temporary folder");
  if (e == vec::PackageError::CannotOpen) return Fail("cannot read " + file);
  return Fail(file + ": no package found");
}

Json SizeJson(const WrittenSize& s) {
  return s ? Json(static_cast<int64_t>(*s)) : Json(nullptr);
}

Json SettingsJson(const vec::ShowSettings& s) {
  Json out = Json::object();
  for (const vec::SettingKey& k : vec::ShowSettings::Keys()) {
    std::visit(
        [&](const auto& v) {
          using V = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<V, bool> || std::is_same_v<V, int32_t>)
            out[std::string(k.key)] = v;
          else
            out[std::string(k.key)] = Text(v);
        },
        s.Get(k));
  }
  return out;
}

// ---- info -------------------------------------------------------------------------------

struct InfoOptions {
  std::string file;
  bool json = false;
};

int RunInfo(const InfoOptions& o) {
  const std::string& file = o.file;
  if (EndsWithNoCase(file, ".vep")) return RunPictureInfo(file, o.json);
  ScratchFolder scratch;
  if (scratch.path().empty()) return PackageFail(vec::PackageError::NoTempFolder, file);
  vec::ExtractReport report = vec::ExtractPackageFiles(file, scratch.path());
  if (report.error != vec::PackageError::None) return PackageFail(report.error, file);
  vec::SaverSettings settings;
  vec::LoadSettingsFile(settings, scratch.path() + std::string(vec::kPackageRecordNames[0]));

  Json records = Json::array();
  const size_t outer = std::min<size_t>(report.outerCount, vec::kPackageRecordNames.size());
  for (size_t i = 0; i < outer; ++i)
    records.push_back(
        {{"name", Text(vec::kPackageRecordNames[i])}, {"size", SizeJson(report.outer[i])}});
  Json files = Json::array();
  for (size_t i = 0; i < report.fileLines.size(); ++i)
    files.push_back({{"name", Text(vec::StoredFileNamePart(report.fileLines[i]))},
                     {"size", SizeJson(report.files[i])}});
  Json j;
  j["records"] = std::move(records);
  j["files"] = std::move(files);
  j["fileList"] = {{"FileNames", Texts(settings.FileList.FileNames)},
                   {"Checked", Texts(settings.FileList.Checked)}};
  j["settings"] = SettingsJson(settings.Setting);
  j["UIFile"] = Text(settings.UISetting.UIFile);
  j["PreviewFile"] = Text(settings.Setting.PreviewFile);
  std::cout << Printed(j);
  return 0;
}

// ---- settings ---------------------------------------------------------------------------

struct SettingsOptions {
  std::string file;
  std::string ini;
  bool noIni = false;
};

int RunSettings(const SettingsOptions& o) {
  const std::string& file = o.file;
  ScratchFolder scratch;
  if (scratch.path().empty()) return PackageFail(vec::PackageError::NoTempFolder, file);
  vec::SaverSettings settings;
  vec::ExtractReport report = vec::ExtractPackage(settings, file, scratch.path());
  if (report.error != vec::PackageError::None) return PackageFail(report.error, file);

  // As the slideshow modes do: every picture takes part, then the user's file applies.
  settings.FileList.CheckAll();
  if (!o.ini.empty()) {
    if (!vec::IsRegularFile(o.ini)) return Fail("cannot read " + o.ini);
    (void)vec::ApplyUserSettingsFile(settings, o.ini);
  } else if (!o.noIni) {
    std::string own = vec::GetLongPath(file);
    (void)vec::ApplyUserSettingsFile(settings,
                                     vec::LocateUserSettings(own.empty() ? file : own).Current());
  }

  // The play list: checked pictures in list order (the order of show mode 1; the random modes
  // draw from this same set).
  std::vector<std::string> playList;
  const auto& names = settings.FileList.FileNames;
  for (size_t i = 0; i < names.size(); ++i) {
    if (settings.FileList.Checked[i] != "TRUE") continue;
    std::string_view bare = std::string_view(names[i]).substr(scratch.path().size());
    playList.emplace_back(vec::StoredFileNamePart(bare));
  }
  std::vector<std::string> effects = vec::SplitCommaText(settings.Setting.TransitionEffects);
  if (effects.empty()) effects.push_back("1");

  Json j;
  j["settings"] = SettingsJson(settings.Setting);
  j["Checked"] = Texts(settings.FileList.Checked);
  j["PlayList"] = Texts(playList);
  j["EffectList"] = Texts(effects);
  std::cout << Printed(j);
  return 0;
}

// ---- extract ----------------------------------------------------------------------------

int RunExtract(const std::string& file, std::string dir) {
  if (!vec::IsDirectory(dir) && mkdir(dir.c_str(), 0755) != 0)
    return Fail("cannot create the folder " + dir);
  if (dir.back() != '/') dir += '/';
  vec::ExtractReport report = vec::ExtractPackageFiles(file, dir);
  if (report.error != vec::PackageError::None) return PackageFail(report.error, file);
  size_t written = 0;
  for (const auto& s : report.files) written += s ? 1 : 0;
  std::cout << "extracted " << written << " of " << report.fileLines.size() << " files to " << dir
            << "\n";
  return 0;
}

// ---- pack -------------------------------------------------------------------------------

struct PackInput {
  std::string name;  // as stored in VEFilenames.res
  std::string path;
  uint64_t size = 0;
};

bool IsPictureName(std::string_view name) {
  for (std::string_view ext : {".vep", ".jpg", ".jpeg", ".bmp", ".gif"})
    if (EndsWithNoCase(name, ext)) return true;
  return false;
}

// The text of the file at `path`; empty for an absent path.
vec::ErrorOr<std::string> ReadOptionalText(const std::optional<std::string>& path) {
  std::string text;
  if (!path) return text;
  if (!vec::IsRegularFile(*path) || !vec::ReadSmallFile(*path, text))
    return vec::Error::Make(vec::ErrorCode::OpenFailed, "cannot read " + *path);
  return text;
}

struct PackOptions {
  std::string out;
  std::optional<std::string> files, settings, fileList, uiSettings, gui, saverFrom;
};

int RunPack(const PackOptions& o) {
  const std::optional<std::string>& filesDir = o.files;
  const std::string& out = o.out;
  std::string settings, fileList, uiSettings, gui;
  for (const auto& [path, text] : {std::pair{&o.settings, &settings},
                                   {&o.fileList, &fileList},
                                   {&o.uiSettings, &uiSettings},
                                   {&o.gui, &gui}}) {
    vec::ErrorOr<std::string> read = ReadOptionalText(*path);
    if (!read) return Fail(read.error().message);
    *text = read.release_value();
  }

  std::vector<PackInput> inputs;
  if (filesDir) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(filesDir->c_str()), closedir);
    if (!dir) return Fail("cannot read the folder " + *filesDir);
    while (dirent* e = readdir(dir.get())) {
      std::string name = e->d_name;
      std::string path = *filesDir + "/" + name;
      struct stat st {};
      if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      if (name.find_first_of("\r\n") != std::string::npos)
        return Fail("a file name holds a line break: " + path);
      inputs.push_back({name, path, static_cast<uint64_t>(st.st_size)});
    }
    std::sort(inputs.begin(), inputs.end(),
              [](const PackInput& a, const PackInput& b) { return a.name < b.name; });
  }

  if (!o.fileList) {
    // Every picture of the folder, checked, except the preview picture.
    std::string preview =
        vec::IniDocument::FromText(settings).ReadString("Advance", "PreviewFile", "");
    fileList = "[FileListHeader]\r\nHeader=vectool\r\n[FileList]\r\n";
    for (const auto& in : inputs)
      if (IsPictureName(in.name) && !vec::EqualsNoCase(in.name, vec::StoredFileNamePart(preview)))
        fileList += in.name + "=1\r\n";
  }
  if (!o.uiSettings) uiSettings = "[UI]\r\nUIFile=VEGUI.veu\r\n";

  std::string names;
  uint64_t filesSize = vec::kMarkerSize + 4;
  for (const auto& in : inputs) {
    names += in.name + "\r\n";
    filesSize += 4 + in.size;
  }
  if (filesSize > UINT32_MAX) return Fail("the files do not fit in one package (4 GiB)");
  const std::string vecRes = vec::ContainerWriter::Build({fileList, settings, uiSettings});

  const std::optional<std::string>& saverFrom = o.saverFrom;
  if (saverFrom) {
    const vec::ErrorOr<vec::MarkerLocation> m = vec::FindMarker(*saverFrom);
    if (m.is_error() && m.error().code == vec::ErrorCode::OpenFailed)
      return Fail("cannot read " + *saverFrom);
    if (m.ok() || m.error().code == vec::ErrorCode::NoCount)
      return Fail(*saverFrom + " already holds a package");
  }

  unlink(out.c_str());  // a fresh file, never written through a link left at the name
  vec::UniqueFd fd(vec::CreateFileExclusive(out, saverFrom ? 0755 : 0644));
  if (!fd) return Fail("cannot create " + out);
  auto put = [&](std::string_view bytes) {
    return vec::WriteFull(fd.get(), bytes.data(), bytes.size());
  };
  auto copyFile = [&](const std::string& path, uint64_t size) {
    vec::UniqueFd in(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return in && vec::CopyRange(in.get(), 0, fd.get(), size) == size;
  };
  bool ok = true;
  if (saverFrom) {
    struct stat st {};
    ok = stat(saverFrom->c_str(), &st) == 0 &&
         copyFile(*saverFrom, static_cast<uint64_t>(st.st_size));
  }
  using W = vec::ContainerWriter;
  ok = ok && put(W::Header(4));
  ok = ok && put(W::SizeField(static_cast<uint32_t>(vecRes.size()))) && put(vecRes);
  ok = ok && put(W::SizeField(static_cast<uint32_t>(names.size()))) && put(names);
  ok = ok && put(W::SizeField(static_cast<uint32_t>(filesSize)));
  ok = ok && put(W::Header(static_cast<uint32_t>(inputs.size())));
  for (const auto& in : inputs)
    ok = ok && put(W::SizeField(static_cast<uint32_t>(in.size))) && copyFile(in.path, in.size);
  ok = ok && put(W::SizeField(static_cast<uint32_t>(gui.size()))) && put(gui);
  if (saverFrom) ok = ok && fchmod(fd.get(), 0755) == 0;
  if (!ok) {
    unlink(out.c_str());
    return Fail("cannot write " + out);
  }
  return 0;
}

}  // namespace
}  // namespace vectool

namespace vectool {

void AddPackageCommands(Commands& commands) {
  auto info = std::make_shared<InfoOptions>();
  CLI::App& infoCommand = commands.Add("info", "describe a package (or a .vep picture)",
                                       [info] { return RunInfo(*info); });
  infoCommand.add_flag("--json", info->json, "JSON output (always so for a package)");
  infoCommand.add_option("FILE", info->file, "the saver, package or .vep picture")->required();

  auto settings = std::make_shared<SettingsOptions>();
  CLI::App& settingsCommand =
      commands.Add("settings", "the settings as the show sees them, as JSON",
                   [settings] { return RunSettings(*settings); });
  settingsCommand.add_flag("--json")->description("JSON output (the only form)");
  settingsCommand.add_option("FILE", settings->file, "the saver or package")->required();
  CLI::Option* ini = settingsCommand.add_option(
      "--ini", settings->ini, "the user's settings file (default: the one beside the saver)");
  settingsCommand.add_flag("--no-ini", settings->noIni, "leave the user's settings out")
      ->excludes(ini);

  auto extract = std::make_shared<std::vector<std::string>>(2);
  CLI::App& extractCommand =
      commands.Add("extract", "write the package's records and files into DIR",
                   [extract] { return RunExtract((*extract)[0], (*extract)[1]); });
  extractCommand.add_option("FILE", (*extract)[0], "the saver or package")->required();
  extractCommand.add_option("DIR", (*extract)[1], "the folder to write (made when missing)")
      ->required();

  auto pack = std::make_shared<PackOptions>();
  CLI::App& packCommand = commands.Add(
      "pack",
      "build a package (a saver with --saver-from); without --filelist every picture of the "
      "files folder is listed, checked",
      [pack] { return RunPack(*pack); });
  packCommand.add_option("--out", pack->out, "the package or saver to write")->required();
  packCommand.add_option("--files", pack->files, "the folder of pictures, sounds and objects");
  packCommand.add_option("--settings", pack->settings, "the settings (SETTINGS.ini)");
  packCommand.add_option("--filelist", pack->fileList, "the picture list (FILELIST.ini)");
  packCommand.add_option("--uisettings", pack->uiSettings, "the UI settings (UI.ini)");
  packCommand.add_option("--ui", pack->gui, "the designed windows (VEGUI.veu)");
  packCommand.add_option("--saver-from", pack->saverFrom,
                         "the vecsaver program to put in front of the package");
}

}  // namespace vectool

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

void WriteSize(Json& j, const WrittenSize& s) {
  if (s)
    j.Number(static_cast<int64_t>(*s));
  else
    j.Null();
}

void WriteSettings(Json& j, const vec::ShowSettings& s) {
  j.Key("settings").BeginObject();
  for (const vec::SettingKey& k : vec::ShowSettings::Keys()) {
    j.Key(k.key);
    std::visit(
        [&](const auto& v) {
          using V = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<V, bool>)
            j.Bool(v);
          else if constexpr (std::is_same_v<V, int32_t>)
            j.Number(v);
          else
            j.String(v);
        },
        s.Get(k));
  }
  j.EndObject();
}

void WriteStrings(Json& j, std::string_view key, const std::vector<std::string>& items) {
  j.Key(key).BeginArray();
  for (const auto& s : items) j.String(s);
  j.EndArray();
}

// ---- info -------------------------------------------------------------------------------

int RunInfo(const Args& args) {
  auto pos = Positionals(args, {});
  if (pos.size() != 1) return Fail("usage: info --json FILE");
  const std::string& file = pos[0];
  if (EndsWithNoCase(file, ".vep")) return RunPictureInfo(args);
  ScratchFolder scratch;
  if (scratch.path().empty()) return PackageFail(vec::PackageError::NoTempFolder, file);
  vec::ExtractReport report = vec::ExtractPackageFiles(file, scratch.path());
  if (report.error != vec::PackageError::None) return PackageFail(report.error, file);
  vec::SaverSettings project;
  vec::LoadProjectFile(project, scratch.path() + std::string(vec::kPackageRecordNames[0]));

  Json j;
  j.BeginObject();
  j.Key("records").BeginArray();
  const size_t outer = std::min<size_t>(report.outerCount, vec::kPackageRecordNames.size());
  for (size_t i = 0; i < outer; ++i) {
    j.BeginObject().Key("name").String(vec::kPackageRecordNames[i]).Key("size");
    WriteSize(j, report.outer[i]);
    j.EndObject();
  }
  j.EndArray();
  j.Key("files").BeginArray();
  for (size_t i = 0; i < report.fileLines.size(); ++i) {
    j.BeginObject().Key("name").String(vec::StoredFileNamePart(report.fileLines[i])).Key("size");
    WriteSize(j, report.files[i]);
    j.EndObject();
  }
  j.EndArray();
  j.Key("fileList").BeginObject();
  WriteStrings(j, "FileNames", project.FileList.FileNames);
  WriteStrings(j, "Checked", project.FileList.Checked);
  j.EndObject();
  WriteSettings(j, project.Setting);
  j.Key("UIFile").String(project.UISetting.UIFile);
  j.Key("PreviewFile").String(project.Setting.PreviewFile);
  j.EndObject();
  std::cout << j.Text() << "\n";
  return 0;
}

// ---- settings ---------------------------------------------------------------------------

int RunSettings(const Args& args) {
  auto pos = Positionals(args, {"--ini"});
  if (pos.size() != 1) return Fail("usage: settings --json FILE [--ini USER.ini | --no-ini]");
  const std::string& file = pos[0];
  ScratchFolder scratch;
  if (scratch.path().empty()) return PackageFail(vec::PackageError::NoTempFolder, file);
  vec::SaverSettings project;
  vec::ExtractReport report = vec::ExtractPackage(project, file, scratch.path());
  if (report.error != vec::PackageError::None) return PackageFail(report.error, file);

  // As the slideshow modes do: every picture takes part, then the user's file applies.
  project.FileList.CheckAll();
  if (const std::optional<std::string> ini = Option(args, "--ini")) {
    if (!vec::IsRegularFile(*ini)) return Fail("cannot read " + *ini);
    (void)vec::ApplyUserSettingsFile(project, *ini);
  } else if (!Flag(args, "--no-ini")) {
    std::string own = vec::GetLongPath(file);
    (void)vec::ApplyUserSettingsFile(project, vec::UserSettingsPath(own.empty() ? file : own));
  }

  // The play list: checked pictures in list order (the order of show mode 1; the random modes
  // draw from this same set).
  std::vector<std::string> playList;
  const auto& names = project.FileList.FileNames;
  for (size_t i = 0; i < names.size(); ++i) {
    if (project.FileList.Checked[i] != "TRUE") continue;
    std::string_view bare = std::string_view(names[i]).substr(scratch.path().size());
    playList.emplace_back(vec::StoredFileNamePart(bare));
  }
  std::vector<std::string> effects = vec::SplitCommaText(project.Setting.TransitionEffects);
  if (effects.empty()) effects.push_back("1");

  Json j;
  j.BeginObject();
  WriteSettings(j, project.Setting);
  WriteStrings(j, "Checked", project.FileList.Checked);
  WriteStrings(j, "PlayList", playList);
  WriteStrings(j, "EffectList", effects);
  j.EndObject();
  std::cout << j.Text() << "\n";
  return 0;
}

// ---- extract ----------------------------------------------------------------------------

int RunExtract(const Args& args) {
  auto pos = Positionals(args, {});
  if (pos.size() != 2) return Fail("usage: extract FILE DIR");
  const std::string& file = pos[0];
  std::string dir = pos[1];
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

bool ReadOptionalText(const Args& args, std::string_view option, std::string& text,
                      std::string& error) {
  const std::optional<std::string> path = Option(args, option);
  if (!path) return true;
  if (!vec::IsRegularFile(*path) || !vec::ReadSmallFile(*path, text)) {
    error = "cannot read " + *path;
    return false;
  }
  return true;
}

int RunPack(const Args& args) {
  const std::optional<std::string> filesDir = Option(args, "--files");
  const std::optional<std::string> out = Option(args, "--out");
  if (!out) return Fail("pack needs --out OUT");
  std::string settings, fileList, uiSettings, gui, error;
  if (!ReadOptionalText(args, "--settings", settings, error) ||
      !ReadOptionalText(args, "--filelist", fileList, error) ||
      !ReadOptionalText(args, "--uisettings", uiSettings, error) ||
      !ReadOptionalText(args, "--ui", gui, error))
    return Fail(error);

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

  if (!Option(args, "--filelist")) {
    // Every picture of the folder, checked, except the preview picture.
    std::string preview =
        vec::IniDocument::FromText(settings).ReadString("Advance", "PreviewFile", "");
    fileList = "[FileListHeader]\r\nHeader=vectool\r\n[FileList]\r\n";
    for (const auto& in : inputs)
      if (IsPictureName(in.name) && !vec::EqualsNoCase(in.name, vec::StoredFileNamePart(preview)))
        fileList += in.name + "=1\r\n";
  }
  if (!Option(args, "--uisettings")) uiSettings = "[UI]\r\nUIFile=VEGUI.veu\r\n";

  std::string names;
  uint64_t filesSize = vec::kMarkerSize + 4;
  for (const auto& in : inputs) {
    names += in.name + "\r\n";
    filesSize += 4 + in.size;
  }
  if (filesSize > UINT32_MAX) return Fail("the files do not fit in one package (4 GiB)");
  const std::string vecRes = vec::ContainerWriter::Build({fileList, settings, uiSettings});

  const std::optional<std::string> saverFrom = Option(args, "--saver-from");
  if (saverFrom) {
    const vec::ErrorOr<vec::MarkerLocation> m = vec::FindMarker(*saverFrom);
    if (m.is_error() && m.error().code == vec::ErrorCode::OpenFailed)
      return Fail("cannot read " + *saverFrom);
    if (m.ok() || m.error().code == vec::ErrorCode::NoCount)
      return Fail(*saverFrom + " already holds a package");
  }

  unlink(out->c_str());  // a fresh file, never written through a link left at the name
  vec::UniqueFd fd(vec::CreateFileExclusive(*out, saverFrom ? 0755 : 0644));
  if (!fd) return Fail("cannot create " + *out);
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
    unlink(out->c_str());
    return Fail("cannot write " + *out);
  }
  return 0;
}

const Registration kInfo{
    {"info", "info --json FILE   describe a package (or a .vep picture)", RunInfo}};
const Registration kSettings{
    {"settings",
     "settings --json FILE [--ini USER.ini | --no-ini]   settings as the show sees them "
     "(default user file: the saver's own)",
     RunSettings}};
const Registration kExtract{
    {"extract", "extract FILE DIR   write the package's records and files into DIR", RunExtract}};
const Registration kPack{
    {"pack",
     "pack --out OUT [--files DIR] [--settings SETTINGS.ini] [--filelist FILELIST.ini] "
     "[--uisettings UI.ini] [--ui VEGUI.veu] [--saver-from VECSAVER]   build a package "
     "(a saver with --saver-from); without --filelist every picture of DIR is listed, checked",
     RunPack}};

}  // namespace
}  // namespace vectool

#include "package/Package.h"

#include <fcntl.h>
#include <unistd.h>

#include "base/Ini.h"
#include "package/FileSearch.h"
#include "package/FileUtil.h"
#include "package/Folders.h"

namespace vec {
namespace {

// VEFilenames.res is one short line per file; more than this is not a name list.
constexpr size_t kMaxNameList = 16u << 20;

std::vector<std::string> ReadNameList(const std::string& folder) {
  std::string text;
  ReadSmallFile(folder + std::string(kPackageRecordNames[1]), text, kMaxNameList);
  return SplitLines(text);
}

// Whether every record that had a target and bytes in the file was written whole: a target
// that could not be created, or a copy that stopped short of what the file holds, is a
// failed write (a full disk, a quota).
bool AllWritten(const ExtractResult& result, const std::vector<std::string>& targets) {
  for (size_t i = 0; i < result.spans.size() && i < targets.size(); ++i) {
    if (targets[i].empty()) continue;
    const WrittenSize written = result.written[i];
    if (!written || *written < result.spans[i].size) return false;
  }
  return true;
}

}  // namespace

std::string_view PackageErrorName(PackageError e) {
  switch (e) {
    case PackageError::None:
      return "none";
    case PackageError::CannotOpen:
      return "cannot open";
    case PackageError::NoPackage:
      return "no package";
    case PackageError::NoTempFolder:
      return "no temporary folder";
    case PackageError::WriteFailed:
      return "write failed";
  }
  return "unknown";
}

std::string PackageErrorMessage(PackageError e, const std::string& file) {
  switch (e) {
    case PackageError::None:
      return {};
    case PackageError::CannotOpen:
      return "Cannot read the file \"" + file + "\".";
    case PackageError::NoPackage:
      return "The file \"" + file + "\" does not contain a screensaver package.";
    case PackageError::NoTempFolder:
      return "Cannot create a temporary folder for \"" + file + "\" in " + SystemTempPath() + ".";
    case PackageError::WriteFailed:
      return "Cannot write the files of \"" + file + "\" into a temporary folder in " +
             SystemTempPath() + " (is the disk full?).";
  }
  return {};
}

std::string SafeExtractName(std::string_view storedName) {
  std::string_view name = StoredFileNamePart(storedName);
  if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string_view::npos)
    return {};
  for (std::string_view reserved : kPackageRecordNames)
    if (EqualsNoCase(name, reserved)) return {};
  if (EqualsNoCase(name, kRunLockName)) return {};
  return std::string(name);
}

ExtractReport ExtractPackageFiles(const std::string& ownPath, const std::string& folder) {
  ExtractReport report;
  report.folder = folder;
  UniqueFd own(open(ownPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (!own) {
    report.error = PackageError::CannotOpen;
    return report;
  }
  // The files container is read where it lies in the saver file rather than written out as
  // VEFiles.res first: every file is copied once, not twice.
  std::vector<std::string> outerTargets;
  for (std::string_view n : kPackageRecordNames) outerTargets.push_back(folder + std::string(n));
  outerTargets[2].clear();
  ErrorOr<ExtractResult> outerRead = ExtractRecordsIn(own.get(), 0, UINT64_MAX, outerTargets);
  if (outerRead.is_error()) {
    report.error = PackageError::NoPackage;
    return report;
  }
  const ExtractResult& outer = outerRead.value();
  report.outerCount = outer.count;
  for (size_t i = 0; i < report.outer.size(); ++i) report.outer[i] = outer.written[i];
  if (outer.spans.size() > 2) report.outer[2] = outer.spans[2].size;

  report.fileLines = ReadNameList(folder);
  std::vector<std::string> targets;
  targets.reserve(report.fileLines.size());
  for (const auto& line : report.fileLines) {
    std::string name = SafeExtractName(line);
    targets.push_back(name.empty() ? std::string() : folder + name);
  }
  if (outer.spans.size() > 2) {
    const RecordSpan files = outer.spans[2];
    ErrorOr<ExtractResult> inner =
        ExtractRecordsIn(own.get(), files.offset, files.offset + files.size, targets);
    if (inner.ok()) {
      report.files = inner->written;
      if (!AllWritten(*inner, targets)) report.error = PackageError::WriteFailed;
    } else {
      report.files.assign(targets.size(), std::nullopt);  // a files record without a container
    }
  } else {
    report.files.assign(targets.size(), std::nullopt);
  }
  if (!AllWritten(outer, outerTargets)) report.error = PackageError::WriteFailed;
  return report;
}

void RebaseSettings(SaverSettings& settings, const std::string& folder) {
  // The files were extracted under their file-name parts; a stored name may differ from the
  // extracted one in letter case (savers are made on case-blind file systems).
  const FolderIndex index(folder);
  for (auto& name : settings.FileList.FileNames) name = ResolveInFolder(index, name);
  auto& preview = settings.Setting.PreviewFile;
  if (!preview.empty()) preview = ResolveInFolder(index, preview);
  settings.UISetting.UIFile = folder + std::string(kPackageRecordNames[3]);
}

ExtractReport ExtractPackage(SaverSettings& settings, const std::string& ownPath,
                             const std::string& folder) {
  ExtractReport report = ExtractPackageFiles(ownPath, folder);
  if (report.error == PackageError::WriteFailed) RemovePackage(folder);
  if (report.error != PackageError::None) return report;
  LoadSettingsFile(settings, folder + std::string(kPackageRecordNames[0]));
  RebaseSettings(settings, folder);
  return report;
}

ExtractReport ExtractPackage(SaverSettings& settings, const std::string& ownPath) {
  // Look for the package before a folder is made, so a file without one leaves nothing behind.
  if (ErrorOr<MarkerLocation> m = FindMarker(ownPath); m.is_error()) {
    ExtractReport report;
    report.error = m.error().code == ErrorCode::OpenFailed ? PackageError::CannotOpen
                                                           : PackageError::NoPackage;
    return report;
  }
  RemoveStaleRunFolders(SystemTempPath(), SaverBaseName(ownPath));
  std::string folder = GetTempFolder();
  if (folder.empty()) {
    ExtractReport report;
    report.error = PackageError::NoTempFolder;
    return report;
  }
  return ExtractPackage(settings, ownPath, folder);
}

void RemovePackage(const std::string& folder) {
  if (folder.empty()) return;
  for (const auto& line : ReadNameList(folder)) {
    std::string name = SafeExtractName(line);
    if (!name.empty()) unlink((folder + name).c_str());
  }
  for (std::string_view n : kPackageRecordNames) unlink((folder + std::string(n)).c_str());
  // The lock goes last: while it is there, no other run sweeps the folder.
  unlink((folder + std::string(kRunLockName)).c_str());
  rmdir(folder.c_str());
}

void RemovePackage(SaverSettings& /*settings*/) {
  // Only a folder this run made is cleaned; asking must not create one.
  RemovePackage(PeekTempFolder());
}

}  // namespace vec

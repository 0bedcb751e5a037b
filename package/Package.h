#pragma once
// The package behind a saver: extraction into the run's folder, loading of the settings,
// and removal at the end of the run.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "package/Container.h"
#include "package/SaverSettings.h"

namespace vec {

// The outer package's records, in order, and the names they are extracted under.
inline constexpr std::array<std::string_view, 4> kPackageRecordNames = {
    "VEC.res", "VEFilenames.res", "VEFiles.res", "VEGUI.veu"};

enum class PackageError {
  None,
  CannotOpen,    // the saver file cannot be read
  NoPackage,     // the file holds no package marker
  NoTempFolder,  // the run's folder could not be created
  WriteFailed,   // a file could not be written whole (a full disk); what was written is removed
};
std::string_view PackageErrorName(PackageError e);
// A message for the user, naming the file.
std::string PackageErrorMessage(PackageError e, const std::string& file);

// The name under which a line of VEFilenames.res is extracted into the run's folder: its
// file-name part. Empty (the record is skipped) when that part could leave the folder or
// clash with the package's own records: "", ".", "..", a NUL byte, one of the four record
// names above, or the run folder's lock file.
std::string SafeExtractName(std::string_view storedName);

struct ExtractReport {
  PackageError error = PackageError::None;
  std::string folder;       // the folder the files went to, with its trailing '/'
  uint32_t outerCount = 0;  // record count of the outer package
  // Bytes extracted of each of the four records; for VEFiles.res, which is read in place and
  // not written out, the bytes the file holds of it.
  std::array<WrittenSize, 4> outer{};
  std::vector<std::string> fileLines;  // lines of VEFilenames.res
  std::vector<WrittenSize> files;      // bytes written for each line
};

// Steps 1 to 4 of the extraction into `folder` (which ends with '/'): VEC.res, VEFilenames.res
// and VEGUI.veu, then the files named in VEFilenames.res, taken straight from the files
// container inside the saver file.
ExtractReport ExtractPackageFiles(const std::string& ownPath, const std::string& folder);

// Points the loaded settings at the extracted files: picture names and the preview file get
// the folder as prefix; UIFile names the extracted VEGUI.veu.
void RebaseSettings(SaverSettings& settings, const std::string& folder);

// Extracts everything into `folder` and loads the saver's settings. When a file cannot be
// written whole, what was written is removed again and the report says WriteFailed.
ExtractReport ExtractPackage(SaverSettings& settings, const std::string& ownPath,
                             const std::string& folder);
// The same into the process-wide run folder (GetTempFolder), after removing the folders that
// earlier runs of the same saver left behind (RemoveStaleRunFolders).
ExtractReport ExtractPackage(SaverSettings& settings, const std::string& ownPath);

// Deletes what the extraction wrote into `folder` and the folder's lock file, then the
// folder itself when it is empty.
void RemovePackage(const std::string& folder);
// The same for the process-wide run folder.
void RemovePackage(SaverSettings& settings);

}  // namespace vec

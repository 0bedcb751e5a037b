#pragma once
// Finding a file that a saver names. Stored names are Windows names written on a case-blind
// file system: only their file-name part counts (split on '\', '/' and ':'), and a name is
// matched ignoring letter case when the exact one is missing. Pictures, the preview, object
// images, sounds, music and the user settings file are all found through these routines.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vec {

// The file-name part of a stored (Windows) name: whatever follows the last '\', '/' or ':'.
std::string_view StoredFileNamePart(std::string_view name);
// The file-name part of a local path (after the last '/').
std::string_view LocalFileNamePart(std::string_view path);
// The folder part of a local path, with its trailing '/' (empty when there is none).
std::string_view LocalFolderPart(std::string_view path);

// `name` in `folder` (with or without its trailing '/'): the exact name when it is a regular
// file, else the first entry of the folder whose name matches ignoring ASCII case. Empty
// when neither exists.
std::string FindInFolder(const std::string& folder, std::string_view name);

// The regular files of one folder, listed once, for many lookups: a saver's picture list may
// name thousands of files, and searching the folder for each would make its start quadratic.
// Find gives what FindInFolder gives while the folder does not change.
class FolderIndex {
 public:
  explicit FolderIndex(const std::string& folder);
  std::string Find(std::string_view name) const;
  const std::string& GivenFolder() const { return folder_; }

 private:
  std::string folder_, dir_;
  std::unordered_set<std::string> exact_;
  std::unordered_map<std::string, std::string> folded_;  // lower-case name -> first entry
};

// The file-name part of `storedName` looked up in each folder in turn; empty when it is
// in none of them.
std::string FindStoredFile(std::string_view storedName, const std::vector<std::string>& folders);

// Where a stored name lies in `folder`: the file found there (exactly or ignoring case), or
// folder + its file-name part when there is none, so a caller still gets the path the
// saver meant.
std::string ResolveInFolder(const std::string& folder, std::string_view storedName);
// The same through an index of the folder.
std::string ResolveInFolder(const FolderIndex& folder, std::string_view storedName);

// The shared-library folders ".../Dawlish/Common/" in search order: $XDG_DATA_HOME (default
// ~/.local/share), then each folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share),
// whether they exist or not. `getenv` is replaceable for tests.
using EnvFn = std::function<const char*(const char*)>;
std::vector<std::string> SharedLibraryCandidates(const EnvFn& env);
// The first candidate that exists; empty when none does.
std::string SharedLibraryFolder(const EnvFn& env);
std::string SharedLibraryFolder();
// The shared-library folder + `subfolder` (for example "images/"); empty when no candidate
// exists. Only that one folder is searched, even when a later candidate holds the file.
std::string SharedLibrarySubfolder(const std::string& subfolder);

// An object's image: the stored name when that file exists, else its file-name part in the
// package folder, then in images/ of the shared-library folder.
std::string FindObjectFile(std::string_view storedName, const std::string& packageFolder);

// Where a sound named by a picture is looked for, after the name as it stands.
struct SoundSearchPaths {
  std::string tempFolder;         // the run's temporary folder
  std::string sharedSoundFolder;  // SharedLibrarySubfolder("sounds/")
  std::string exeFolder;          // folder of the executable; empty: skipped
};
// The name as it stands, then the temporary folder, the shared sounds folder and the
// executable's sounds/ folder, each with the file-name part. Empty when it is nowhere.
std::string FindSoundFile(std::string_view fileName, const SoundSearchPaths& paths);

}  // namespace vec

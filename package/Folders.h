#pragma once
// Where a run keeps its files: the saver's own path, the per-run temporary folder, and the
// shared library of object pictures and sounds that every saver may use.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "package/FileUtil.h"

namespace vec {

// The canonical form of an existing path (realpath); empty for a path that does not exist
// or contains '*' or '?'.
std::string GetLongPath(const std::string& path);

// Whether `folder` (an absolute path) lies in the system's own tree (/usr, /opt, /etc, /var,
// the program and library folders, or the root itself), where no user's files belong even
// when the user (root) could write there.
bool IsSystemLocation(std::string_view folder);
// A folder the user keeps their own files in: owned by `user`, writable, and outside the
// system's tree. Files a user makes for a saver (settings, a wallpaper) go beside the saver
// only there; an installed saver is everyone's.
bool IsUsersOwnFolder(const std::string& folder, uid_t user);

// $TMPDIR, else /tmp, always with a trailing '/'.
std::string SystemTempPath();

// The file-name part of `ownPath` up to, not including, its first '.' (My.Saver.scr -> My).
std::string SaverBaseName(const std::string& ownPath);

// Every run folder holds this lock file, locked (flock) by its run for as long as the run
// lasts and naming the saver's base name. A folder whose lock nobody holds was left behind
// by a run that ended without cleaning up.
inline constexpr std::string_view kRunLockName = ".vecsaver.lock";

// The per-run temporary folder: root + base name + run number + '/'. It is created
// exclusively with mode 0700 and never through a symbolic link; when the name is taken (by
// another run, a leftover or anything else) the next number is tried. Once chosen, the same
// folder is returned for the rest of the run, and created again if it has been removed. The
// folder's lock is held until the RunFolder goes.
class RunFolder {
 public:
  RunFolder(std::string root, std::string baseName, uint32_t runNumber);

  // The folder path with its trailing '/', creating it when needed; nullopt when no folder
  // could be made.
  std::optional<std::string> Path();
  uint32_t Number() const { return number_; }
  // The folder chosen so far, without creating anything; empty before the first Path().
  std::string Chosen();

 private:
  bool IsOurs(const std::string& path) const;
  // Creates and locks the lock file of a folder just made; false when another run's sweep
  // took the folder in the meantime.
  bool Lock(const std::string& path);

  std::mutex mutex_;
  UniqueFd lock_;
  std::string root_;
  std::string base_;
  uint32_t number_;
  bool chosen_ = false;
};

// Removes the run folders that runs of `baseName` left behind under `root`: entries named
// base name + decimal number that are private folders of this user (mode 0700, not a
// symbolic link) whose lock file names this saver and is held by nobody. Anything else, a
// folder in use included, is not touched. Only the files directly inside are removed, so a
// folder holding more than a run puts there stays. Returns the number of folders removed.
int RemoveStaleRunFolders(const std::string& root, const std::string& baseName);

// The millisecond tick at program start modulo 10000, taken once per process.
uint32_t RunNumber();

// Process-wide own path ("own path" of the run: the executable, or the --package file).
void SetOwnPath(const std::string& path);
const std::string& OwnPath();

// The process-wide per-run folder for OwnPath() and RunNumber() under SystemTempPath().
// Empty text when the folder cannot be created.
std::string GetTempFolder();
// The process-wide folder if one was made in this run, without creating it.
std::string PeekTempFolder();

}  // namespace vec

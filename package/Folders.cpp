#include "package/Folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <memory>

#include "package/FileSearch.h"
#include "package/FileUtil.h"

namespace vec {

std::string GetLongPath(const std::string& path) {
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return {};
  std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), free);
  if (!real) return {};
  return real.get();
}

std::string SystemTempPath() {
  const char* t = getenv("TMPDIR");
  std::string p = (t && *t) ? t : "/tmp";
  if (p.back() != '/') p += '/';
  return p;
}

std::string SaverBaseName(const std::string& ownPath) {
  std::string_view name = LocalFileNamePart(ownPath);
  return std::string(name.substr(0, name.find('.')));
}

RunFolder::RunFolder(std::string root, std::string baseName, uint32_t runNumber)
    : root_(std::move(root)), base_(std::move(baseName)), number_(runNumber) {
  if (!root_.empty() && root_.back() != '/') root_ += '/';
}

namespace {

// A folder of this user that nobody else may enter: what a run makes.
bool IsPrivateFolder(const struct stat& st) {
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

std::string LockOwnerText(const std::string& baseName) {
  return baseName + "\n";
}

// The entry names of an open folder (without "." and "..").
std::vector<std::string> EntryNames(int folderFd) {
  std::vector<std::string> names;
  const int fd = dup(folderFd);
  if (fd < 0) return names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(fd), closedir);
  if (!dir) {
    close(fd);
    return names;
  }
  while (const dirent* e = readdir(dir.get())) {
    const std::string_view name = e->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  return names;
}

// Every step works on descriptors opened without following links, so an entry swapped for
// a link on the way is never followed.
bool RemoveIfStale(int rootFd, const std::string& name, const std::string& baseName) {
  UniqueFd folder(openat(rootFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (!folder || fstat(folder.get(), &st) != 0 || !IsPrivateFolder(st)) return false;
  const std::string lockName(kRunLockName);
  UniqueFd lock(openat(folder.get(), lockName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!lock || fstat(lock.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid())
    return false;
  if (flock(lock.get(), LOCK_EX | LOCK_NB) != 0) return false;  // its run is still going
  const std::string owner = LockOwnerText(baseName);
  std::string text(owner.size() + 1, '\0');
  text.resize(PreadSome(lock.get(), text.data(), text.size(), 0));
  if (text != owner) return false;  // another saver's, or a lock still being written
  for (const std::string& entry : EntryNames(folder.get()))
    if (entry != lockName) unlinkat(folder.get(), entry.c_str(), 0);  // folders stay
  unlinkat(folder.get(), lockName.c_str(), 0);
  return unlinkat(rootFd, name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace

int RemoveStaleRunFolders(const std::string& root, const std::string& baseName) {
  UniqueFd rootFd(open(root.empty() ? "." : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!rootFd) return 0;
  int removed = 0;
  for (const std::string& name : EntryNames(rootFd.get())) {
    if (name.size() <= baseName.size() || name.compare(0, baseName.size(), baseName) != 0) continue;
    if (name.find_first_not_of("0123456789", baseName.size()) != std::string::npos) continue;
    if (RemoveIfStale(rootFd.get(), name, baseName)) ++removed;
  }
  return removed;
}

bool RunFolder::IsOurs(const std::string& path) const {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && IsPrivateFolder(st);
}

bool RunFolder::Lock(const std::string& path) {
  UniqueFd fd(open((path + '/' + std::string(kRunLockName)).c_str(),
                   O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd || flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
  // A sweep that locked the file first removes it; a lock file no longer linked means the
  // folder is going away.
  struct stat st {};
  if (fstat(fd.get(), &st) != 0 || st.st_nlink == 0) return false;
  const std::string owner = LockOwnerText(base_);
  if (!WriteFull(fd.get(), owner.data(), owner.size())) return false;
  lock_ = std::move(fd);
  return true;
}

std::optional<std::string> RunFolder::Path() {
  std::lock_guard lock(mutex_);
  // Bounded: a run gives up after this many taken names rather than searching for ever.
  constexpr uint32_t kAttempts = 10000;
  for (uint32_t i = 0; i < kAttempts; ++i) {
    std::string path = root_ + base_ + std::to_string(number_);
    if (chosen_ && IsOurs(path)) return path + '/';
    // mkdir never follows a symbolic link at the last component: a link there is EEXIST.
    if (mkdir(path.c_str(), 0700) == 0) {
      if (Lock(path)) {
        chosen_ = true;
        return path + '/';
      }
      rmdir(path.c_str());  // taken by a sweep meanwhile: the next number
    } else if (errno != EEXIST) {
      return std::nullopt;
    }
    chosen_ = false;
    ++number_;
  }
  return std::nullopt;
}

std::string RunFolder::Chosen() {
  std::lock_guard lock(mutex_);
  return chosen_ ? root_ + base_ + std::to_string(number_) + '/' : std::string();
}

uint32_t RunNumber() {
  static const uint32_t number = [] {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now().time_since_epoch())
                  .count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms) % 10000);
  }();
  return number;
}

namespace {

struct ProcessFolders {
  std::mutex mutex;
  std::string ownPath;
  std::unique_ptr<RunFolder> runFolder;
};

ProcessFolders& Process() {
  static ProcessFolders p;
  return p;
}

}  // namespace

void SetOwnPath(const std::string& path) {
  auto& p = Process();
  std::lock_guard lock(p.mutex);
  p.ownPath = path;
  p.runFolder.reset();
}

const std::string& OwnPath() {
  return Process().ownPath;
}

std::string GetTempFolder() {
  auto& p = Process();
  std::lock_guard lock(p.mutex);
  if (!p.runFolder)
    p.runFolder =
        std::make_unique<RunFolder>(SystemTempPath(), SaverBaseName(p.ownPath), RunNumber());
  return p.runFolder->Path().value_or(std::string());
}

std::string PeekTempFolder() {
  auto& p = Process();
  std::lock_guard lock(p.mutex);
  return p.runFolder ? p.runFolder->Chosen() : std::string();
}

bool IsSystemLocation(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  if (folder.empty() || folder == "/") return true;
  static constexpr std::string_view kSystemTrees[] = {
      "/usr",   "/opt",    "/etc",  "/var",  "/bin", "/sbin", "/lib", "/lib32",
      "/lib64", "/libx32", "/boot", "/snap", "/nix", "/gnu",  "/app", "/srv"};
  for (std::string_view tree : kSystemTrees)
    if (folder.substr(0, tree.size()) == tree &&
        (folder.size() == tree.size() || folder[tree.size()] == '/'))
      return true;
  return false;
}

bool IsUsersOwnFolder(const std::string& folder, uid_t user) {
  const std::string real = GetLongPath(folder);
  if (real.empty() || IsSystemLocation(real)) return false;
  struct stat st {};
  return stat(real.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == user &&
         access(real.c_str(), W_OK) == 0;
}

}  // namespace vec

#include "package/Folders.h"

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

bool RunFolder::IsOurs(const std::string& path) const {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
         (st.st_mode & 077) == 0;
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
      chosen_ = true;
      return path + '/';
    }
    if (errno != EEXIST) return std::nullopt;
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

}  // namespace vec

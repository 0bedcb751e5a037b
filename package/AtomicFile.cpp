#include "package/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "package/FileUtil.h"

namespace vec {
namespace {

Error WriteError(const std::string& path, int err) {
  return Error::Make(ErrorCode::WriteFailed,
                     "Cannot write \"" + path + "\": " + std::string(std::strerror(err)));
}

// The file a write to `path` should replace: the target of a symbolic link when `path` is
// one that resolves, otherwise `path` itself.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

// A temporary file created exclusively beside `target`; -1 (errno set) when the folder
// refuses it.
int CreateTemporaryBeside(const std::string& target, std::string& tempPath) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder + "." + name + ".tmp" + std::to_string(random() % 1000000);
    int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Makes the rename itself durable; a folder that cannot be opened or synced is not an error,
// since the new file is already complete under its name.
void SyncFolderOf(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) fsync(dir.get());
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveTarget(path);
  std::string tempPath;
  UniqueFd fd(CreateTemporaryBeside(target, tempPath));
  if (!fd) return WriteError(path, errno);

  auto fail = [&](int err) -> Status {
    unlink(tempPath.c_str());
    return WriteError(path, err);
  };
  struct stat old {};
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (fchmod(fd.get(), old.st_mode & 07777) != 0) return fail(errno);
  }
  errno = 0;
  if (!WriteFull(fd.get(), bytes.data(), bytes.size())) return fail(errno ? errno : EIO);
  if (fsync(fd.get()) != 0) return fail(errno);
  if (close(fd.release()) != 0) return fail(errno);
  if (rename(tempPath.c_str(), target.c_str()) != 0) return fail(errno);
  SyncFolderOf(target);
  return {};
}

}  // namespace vec

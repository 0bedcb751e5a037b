#include "package/FileUtil.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "base/Ini.h"

namespace vec {

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) close(fd_);
    fd_ = o.release();
  }
  return *this;
}

size_t PreadSome(int fd, void* buf, size_t size, uint64_t pos) {
  size_t done = 0;
  auto* p = static_cast<char*>(buf);
  while (done < size) {
    ssize_t n = pread(fd, p + done, size - done, static_cast<off_t>(pos + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool PreadFull(int fd, void* buf, size_t size, uint64_t pos) {
  return PreadSome(fd, buf, size, pos) == size;
}

bool WriteFull(int fd, const void* buf, size_t size) {
  const auto* p = static_cast<const char*>(buf);
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

int CreateFileNoFollow(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
}

int CreateFileExclusive(const std::string& path, mode_t mode) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

uint64_t CopyRange(int in, uint64_t pos, int out, uint64_t size) {
  uint64_t done = 0;
  // The kernel copy first: no user-space buffer at all, and a reflink where the file system
  // offers one.
  bool kernelCopy = true;
  while (done < size && kernelCopy) {
    loff_t off = static_cast<loff_t>(pos + done);
    size_t want = static_cast<size_t>(std::min<uint64_t>(size - done, 1u << 30));
    ssize_t n = copy_file_range(in, &off, out, nullptr, want, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      kernelCopy = false;  // not supported here (other file system, pipe, ...): fall back
      break;
    }
    if (n == 0) return done;  // the input ends
    done += static_cast<uint64_t>(n);
  }
  if (done >= size) return done;
  // Sized to what is left, so a small record does not cost a large buffer.
  const size_t kChunk = static_cast<size_t>(std::min<uint64_t>(size - done, 1u << 20));
  auto buf = std::make_unique_for_overwrite<char[]>(kChunk);
  while (done < size) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(size - done, kChunk));
    ssize_t n = pread(in, buf.get(), want, static_cast<off_t>(pos + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (!WriteFull(out, buf.get(), static_cast<size_t>(n))) break;
    done += static_cast<uint64_t>(n);
  }
  return done;
}

bool ReadSmallFile(const std::string& path, std::string& text, size_t maxBytes) {
  text.clear();
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return false;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    size_t take = std::min(static_cast<size_t>(n), maxBytes - text.size());
    text.append(buf, take);
    if (text.size() >= maxBytes) break;
  }
  return true;
}

bool WriteFileNoFollow(const std::string& path, std::string_view text) {
  UniqueFd fd(CreateFileNoFollow(path));
  return fd && WriteFull(fd.get(), text.data(), text.size());
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace vec

namespace vec {

Status MakeFolders(const std::string& path, mode_t mode) {
  if (path.empty() || IsDirectory(path)) return {};
  // Each component from the top: a parent made here gets the same mode as the last one.
  for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string part = path.substr(0, end);
    if (!part.empty() && !IsDirectory(part) && mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
      return Error::Make(ErrorCode::WriteFailed,
                         "Cannot make the folder \"" + part + "\": " + std::strerror(errno));
    if (end == std::string::npos) break;
  }
  if (!IsDirectory(path))
    return Error::Make(ErrorCode::WriteFailed, "Cannot make the folder \"" + path + "\".");
  return {};
}

}  // namespace vec

#pragma once
// Small POSIX file helpers for the package side: an owning descriptor, full reads, private
// file creation that never follows a symbolic link, and a fast range copy.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "base/TextLines.h"

namespace vec {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(UniqueFd&& o) noexcept : fd_(o.release()) {}
  UniqueFd& operator=(UniqueFd&& o) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release() {
    int f = fd_;
    fd_ = -1;
    return f;
  }

 private:
  int fd_ = -1;
};

// pread until `size` bytes are read; false when the file ends first or a read fails.
bool PreadFull(int fd, void* buf, size_t size, uint64_t pos);
// pread until `size` bytes are read or the file ends; returns the bytes read.
size_t PreadSome(int fd, void* buf, size_t size, uint64_t pos);
bool WriteFull(int fd, const void* buf, size_t size);

// Creates (or truncates) a file for writing, mode 0600, refusing a symbolic link at the
// name. Returns -1 on failure.
int CreateFileNoFollow(const std::string& path);
// Creates a new file that must not exist yet, mode 0600. Returns -1 on failure.
int CreateFileExclusive(const std::string& path, mode_t mode = 0600);

// Copies up to `size` bytes from `in` at `pos` to the current end of `out`, stopping early
// when the input ends. Uses the kernel's copy where it can, else a 1 MiB buffer. Returns the
// bytes copied.
uint64_t CopyRange(int in, uint64_t pos, int out, uint64_t size);

// Whole-file helpers for small texts; `maxBytes` bounds what is read.
bool ReadSmallFile(const std::string& path, std::string& text, size_t maxBytes = 64u << 20);
bool WriteFileNoFollow(const std::string& path, std::string_view text);

bool FileExists(const std::string& path);     // any kind of entry (after following links)
bool IsRegularFile(const std::string& path);  // a regular file (after following links)
bool IsDirectory(const std::string& path);
// Makes the folder `path` and any missing parent, each new one with `mode` (less the umask);
// folders already there are left as they are. An error names the folder that could not be
// made and the system's reason.
Status MakeFolders(const std::string& path, mode_t mode);

}  // namespace vec

#pragma once
// For the package fuzzers: the input as a file that never touches the disk (a memory file
// named through /proc/self/fd), and one private folder for what extraction writes.

#include <dirent.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "package/FileUtil.h"
#include "package/Folders.h"

namespace vec::fuzz {

class MemoryFile {
 public:
  MemoryFile(const uint8_t* data, size_t size) : fd_(memfd_create("fuzz-input", MFD_CLOEXEC)) {
    size_t done = 0;
    while (fd_ >= 0 && done < size) {
      ssize_t n = write(fd_, data + done, size - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
  }
  ~MemoryFile() {
    if (fd_ >= 0) close(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

inline void EmptyFolder(const std::string& folder) {
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") unlink((folder + n).c_str());
    }
    closedir(d);
  }
}

// A private folder (mode 0700) made once per process, in memory (/dev/shm) where there is
// one, else under the temporary root; removed when the process exits.
class PrivateFolder {
 public:
  PrivateFolder() {
    std::string root = IsDirectory("/dev/shm") ? "/dev/shm/" : SystemTempPath();
    std::string tmpl = root + "vec-fuzz-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    path_ = tmpl + "/";
  }
  ~PrivateFolder() {
    EmptyFolder(path_);
    rmdir(path_.c_str());
  }
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline const std::string& ScratchFolder() {
  static const PrivateFolder folder;
  return folder.path();
}

}  // namespace vec::fuzz

#pragma once
// For the package fuzzers: the input as a file that never touches the disk (a memory file
// named through /proc/self/fd), and one private folder for what extraction writes.

#include <dirent.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

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

// A private folder made once per process under the temporary root; emptied after each input.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string tmpl = SystemTempPath() + "vec-fuzz-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    return tmpl + "/";
  }();
  return folder;
}

inline void EmptyFolder(const std::string& folder) {
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") unlink((folder + n).c_str());
    }
    closedir(d);
  }
}

}  // namespace vec::fuzz

#pragma once
// What the settings and wallpaper tests share: a private scratch folder, whole-file reads
// and writes, a folder made read-only for the length of a test (also for root, which
// ignores permission bits, through the file system's immutable flag), and environment
// variables set for one test.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vec::test {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vec-settingsui-XXXXXX");
    path_ = mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Makes a folder refuse new entries until destroyed. `active()` is false when the file
// system offers no way to do that for this user (the test should then be skipped).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string path) : path_(std::move(path)) {
    chmod(path_.c_str(), 0555);
    if (geteuid() == 0) SetImmutable(true);
    const std::string probe = path_ + "/.probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    active_ = fd < 0;
    if (fd >= 0) {
      close(fd);
      unlink(probe.c_str());
    }
  }
  ~ReadOnlyFolder() {
    if (geteuid() == 0) SetImmutable(false);
    chmod(path_.c_str(), 0755);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  bool active() const { return active_; }

 private:
  void SetImmutable(bool on) {
    const int fd = open(path_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    close(fd);
  }
  std::string path_;
  bool active_ = false;
};

// Sets (or, with nullopt, removes) environment variables and restores them afterwards.
class ScopedEnv {
 public:
  ScopedEnv& Set(const char* name, std::optional<std::string> value) {
    const char* old = getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
    return *this;
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace vec::test

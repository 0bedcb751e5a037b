#pragma once
// Helpers for package tests: a private scratch folder and packages built in memory.

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "package/Container.h"

namespace vec::testing {

// A fresh folder (with a trailing '/') removed, with everything below it, at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::error_code error;
    std::string tmpl = std::filesystem::temp_directory_path(error) / "vecpkg-test-XXXXXX";
    if (!error && mkdtemp(tmpl.data())) path_ = tmpl + "/";
  }
  ~ScratchDir() { RemoveTree(path_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

  static void RemoveTree(const std::string& path) {
    struct stat st {};
    if (path.empty() || lstat(path.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
      if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d)) {
          std::string n = e->d_name;
          if (n != "." && n != "..") RemoveTree((path.back() == '/' ? path : path + "/") + n);
        }
        closedir(d);
      }
      rmdir(path.c_str());
    } else {
      unlink(path.c_str());
    }
  }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

// Entry names of a folder (without "." and "..").
inline std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct PackageParts {
  std::string fileList = "[FileListHeader]\r\nHeader=test\r\n[FileList]\r\n";
  std::string settings;
  std::string uiSettings = "[UI]\r\nUIFile=C:\\Authoring\\VEGUI.veu\r\n";
  std::vector<std::pair<std::string, std::string>> files;  // stored name, content
  std::string gui = "object MainWindow: TfmVECOnfigWindow\r\nend\r\n";
  std::string prefix =
      "\x7F"
      "ELF pretend executable image";
};

inline std::string BuildPackage(const PackageParts& parts) {
  std::string names;
  std::vector<std::string> contents;
  for (const auto& [name, content] : parts.files) {
    names += name + "\r\n";
    contents.push_back(content);
  }
  return parts.prefix +
         ContainerWriter::Build(
             {ContainerWriter::Build({parts.fileList, parts.settings, parts.uiSettings}), names,
              ContainerWriter::Build(contents), parts.gui});
}

}  // namespace vec::testing

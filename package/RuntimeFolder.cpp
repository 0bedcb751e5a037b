#include "package/RuntimeFolder.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "package/Folders.h"

namespace vec {

PrivateRuntimeFolder::PrivateRuntimeFolder(const std::string& prefix) {
  const char* current = getenv("XDG_RUNTIME_DIR");
  if (current != nullptr && *current != '\0') return;
  wasEmpty_ = current != nullptr;
  // mkdtemp makes the folder exclusively with mode 0700 and fails on anything already there
  // under that name, a symbolic link included.
  std::string pattern = SystemTempPath() + prefix + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return;
  if (setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1) != 0) {
    rmdir(pattern.c_str());
    return;
  }
  path_ = std::move(pattern);
}

PrivateRuntimeFolder::~PrivateRuntimeFolder() {
  if (path_.empty()) return;
  if (wasEmpty_)
    setenv("XDG_RUNTIME_DIR", "", 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
  // Symbolic links inside are removed, never followed.
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace vec

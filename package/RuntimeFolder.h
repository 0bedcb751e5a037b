#pragma once
// A private runtime folder for a run whose session has none. The window toolkit keeps its
// runtime files in $XDG_RUNTIME_DIR; without it (a root shell, a chroot, a session started
// without a login manager) it complains on standard error at every start and makes
// $TMPDIR/runtime-USER, which stays behind. The program gives itself a folder of its own
// instead, for as long as it runs.

#include <string>

namespace vec {

class PrivateRuntimeFolder {
 public:
  // When XDG_RUNTIME_DIR is unset or empty: makes a fresh folder under the system temporary
  // path (exclusively, mode 0700, "<prefix>-XXXXXX") and sets XDG_RUNTIME_DIR to it. Does
  // nothing otherwise, or when no folder can be made there (the toolkit then falls back as
  // it always did). Call it before any thread starts: it changes the environment.
  explicit PrivateRuntimeFolder(const std::string& prefix);
  // Removes the folder with whatever was put in it and gives XDG_RUNTIME_DIR back its old
  // state (unset, or empty).
  ~PrivateRuntimeFolder();
  PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
  PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

  // The folder made, without a trailing '/'; empty when none was.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool wasEmpty_ = false;
};

}  // namespace vec

// The package reader on any bytes: marker search, the three container levels, the name list,
// the settings, and the clean-up. Everything it writes must stay in its private folder and be
// removed again by RemovePackage.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzScratch.h"
#include "package/FileUtil.h"
#include "package/Package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vec::fuzz::MemoryFile input(data, size);
  const std::string& folder = vec::fuzz::ScratchFolder();
  vec::SaverSettings settings;
  vec::ExtractReport report = vec::ExtractPackage(settings, input.Path(), folder);
  if (report.error == vec::PackageError::None && report.files.size() != report.fileLines.size())
    __builtin_trap();
  vec::RemovePackage(folder);
  // RemovePackage took the folder away when it emptied it; anything else left is a fault.
  if (vec::IsDirectory(folder)) {
    vec::fuzz::EmptyFolder(folder);
  } else {
    mkdir(folder.c_str(), 0700);
  }
  return 0;
}

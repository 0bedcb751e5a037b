#pragma once
// The build information a picture file carries; not used by the runtime.

#include <string>
#include <string_view>

namespace vec {

// Build information of one section ("BuildScr" or "BuildExe"); not used by the runtime.
struct BuildInfo {
  std::string Filename;
  std::string MusicFile;
  bool Music = false;
  bool Sound = true;
  friend bool operator==(const BuildInfo&, const BuildInfo&) = default;
};

struct ExtraInfo {
  BuildInfo BuildScr;
  BuildInfo BuildExe;
  // Reads the build information text (INI lines written as comma text).
  void Load(std::string_view commaText);
};

}  // namespace vec

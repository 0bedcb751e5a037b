// The settings container and the user settings file laid over it. The input is split at its
// first NUL byte: the settings container before it, the user settings text after it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/Ini.h"
#include "fuzz/FuzzScratch.h"
#include "package/SaverSettings.h"
#include "package/UserSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  size_t split = nul ? static_cast<size_t>(nul - data) : size;
  vec::fuzz::MemoryFile container(data, split);
  vec::SaverSettings settings;
  vec::LoadSettingsFile(settings, container.Path());
  settings.FileList.CheckAll();
  std::string_view user(reinterpret_cast<const char*>(data) + split, size - split);
  vec::ApplyUserSettings(settings, vec::IniDocument::FromText(user));
  if (settings.FileList.Checked.size() != settings.FileList.FileNames.size()) __builtin_trap();
  for (const auto& c : settings.FileList.Checked)
    if (c != "TRUE" && c != "FALSE") __builtin_trap();
  return 0;
}

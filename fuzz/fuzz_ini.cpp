// The INI reader with profile-file semantics, and the settings objects reading from it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/Ini.h"
#include "package/SaverSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  vec::IniDocument ini = vec::IniDocument::FromText(text);
  // The one-pass reading of a section gives what a read per key gives (checked for the first
  // keys: reading every key would make long lists quadratic).
  const auto entries = ini.SectionEntries("FileList");
  const auto keys = ini.SectionKeys("FileList");
  if (entries.size() != keys.size()) __builtin_trap();
  for (size_t i = 0; i < entries.size() && i < 16; ++i) {
    if (entries[i].key != keys[i]) __builtin_trap();
    if (entries[i].value != ini.Value("FileList", keys[i])) __builtin_trap();
  }
  vec::PictureList list;
  list.LoadFromIni(ini);
  if (list.FileNames.size() != list.Checked.size()) __builtin_trap();
  vec::ShowSettings setting;
  setting.LoadFromIni(ini);
  vec::UiSettings ui;
  ui.LoadFromIni(ini);
  // Writing and reading back keeps a value.
  ini.WriteInteger("Default", "Duration", 77);
  if (vec::IniDocument::FromText(ini.ToText()).ReadInteger("Default", "Duration", 0) != 77)
    __builtin_trap();
  return 0;
}

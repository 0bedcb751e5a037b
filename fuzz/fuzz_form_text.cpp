// The object-text reader, the picture data inside a window text, and the rewriting that
// turns a window text into one of the runtime's windows.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/TextLines.h"
#include "configui/FormDefinitions.h"
#include "configui/FormTextReader.h"

namespace {

// Visits every binary value of the tree; returns the number of objects seen.
size_t Walk(const vec::FormObject& object) {
  size_t objects = 1;
  for (const auto& property : object.properties) {
    if (const auto* binary = property.value.As<vec::FormBinary>()) {
      auto picture = vec::DecodePictureData(binary->bytes);
      if (picture.ok() && picture->imageBytes.size() > binary->bytes.size()) __builtin_trap();
    }
    (void)object.FindProperty(property.path);
  }
  for (const auto& child : object.children) objects += Walk(child);
  return objects;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto read = vec::ReadFormText(text);
  // Each object takes at least "object T end" of the text.
  if (read.ok() && Walk(*read) > size / 12 + 1) __builtin_trap();

  vec::FormDefinition form;
  form.lines = vec::SplitLines(text);
  std::string prepared = form.PrepareFormText();
  if (prepared.size() > size + 40 + 2 * form.lines.size()) __builtin_trap();
  auto rewritten = vec::ReadFormText(prepared);
  if (rewritten.ok() && !vec::IsKnownFormClass(rewritten->className)) __builtin_trap();
  return 0;
}

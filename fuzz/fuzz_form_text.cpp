// The object-text reader, the picture data inside a window text, and the rewriting that
// turns a window text into one of the runtime's windows.
//
// A property lookup walks the object's list, so asking for every property of an object with
// thousands of them costs their square. The property that a path finds (the last one of the
// name) is worked out once through a table of upper-cased paths; the lookup is asked for the
// first and last kLookedUp properties of each object and must agree with it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/TextLines.h"
#include "configui/FormDefinitions.h"
#include "configui/FormNames.h"
#include "configui/FormTextReader.h"

namespace {

constexpr size_t kLookedUp = 32;

std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(vec::UpperCp1252(static_cast<unsigned char>(c)));
  return out;
}

// Visits every binary value of the tree; returns the number of objects seen.
size_t Walk(const vec::FormObject& object) {
  size_t objects = 1;
  const auto& properties = object.properties;
  std::unordered_map<std::string, size_t> lastOfPath;
  for (size_t i = 0; i < properties.size(); ++i) lastOfPath[Folded(properties[i].path)] = i;
  for (size_t i = 0; i < properties.size(); ++i) {
    const auto& property = properties[i];
    if (const auto* binary = property.value.As<vec::FormBinary>()) {
      auto picture = vec::DecodePictureData(binary->bytes);
      if (picture.ok() && picture->imageBytes.size() > binary->bytes.size()) __builtin_trap();
    }
    if ((i < kLookedUp || i + kLookedUp >= properties.size()) &&
        object.FindProperty(property.path) != &properties[lastOfPath[Folded(property.path)]])
      __builtin_trap();
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

// The UI definition file: forms, actions and the lookups on them, then every form's text
// rewritten and read as the builder would.
//
// A lookup walks the list from its start, so asking for every name of a file with thousands
// of forms or actions costs their square (seconds for one input). The first form or action
// of each name is worked out once through a table of upper-cased names; the lookups are
// asked for the first and last kLookedUp of each list and must agree with it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "configui/FormDefinitions.h"
#include "configui/FormNames.h"
#include "configui/FormTextReader.h"
#include "fuzz/FuzzScratch.h"
#include "package/FileUtil.h"

namespace {

constexpr size_t kLookedUp = 32;

std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(vec::UpperCp1252(static_cast<unsigned char>(c)));
  return out;
}

bool LookedUp(size_t i, size_t count) {
  return i < kLookedUp || i + kLookedUp >= count;
}

// For each entry, the index of the first entry whose name is the same but for case.
template <class List, class NameOf>
std::vector<size_t> FirstOfName(const List& list, const NameOf& nameOf) {
  std::unordered_map<std::string, size_t> first;
  std::vector<size_t> out;
  out.reserve(list.size());
  for (size_t i = 0; i < list.size(); ++i)
    out.push_back(first.try_emplace(Folded(nameOf(list[i])), i).first->second);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = vec::fuzz::ScratchFolder() + "VEGUI.veu";
  if (!vec::WriteFileNoFollow(path, std::string_view(reinterpret_cast<const char*>(data), size)))
    __builtin_trap();
  vec::FormCollection forms;
  vec::Status status = forms.LoadDefinitions(path);
  if (status.is_error()) {
    if (!forms.empty() || status.error().message.empty()) __builtin_trap();
    return 0;
  }
  // Every form holds at least a count line and its first line.
  if (forms.size() > size / 4 + 1) __builtin_trap();
  const auto& all = forms.forms();
  const std::vector<size_t> firstForm =
      FirstOfName(all, [](const vec::FormDefinition& f) -> std::string_view { return f.name; });
  for (size_t i = 0; i < all.size(); ++i) {
    const vec::FormDefinition& form = all[i];
    // A name with blanks around it cannot be found (the name asked for is trimmed).
    if (LookedUp(i, all.size()) && vec::TrimControlsAndBlanks(form.name) == form.name &&
        forms.FindForm(form.name) != &all[firstForm[i]])
      __builtin_trap();
    const auto& actions = form.actions.actions();
    const std::vector<size_t> firstAction = FirstOfName(
        actions, [](const vec::Action& a) -> std::string_view { return a.controlName; });
    for (size_t k = 0; k < actions.size(); ++k) {
      if (LookedUp(k, actions.size()) &&
          form.actions.FindAction(actions[k].controlName) != &actions[firstAction[k]])
        __builtin_trap();
    }
    vec::FormDefinition copy = form;
    (void)vec::ReadFormText(copy.PrepareFormText());
  }
  return 0;
}

// The UI definition file: forms, actions and the lookups on them, then every form's text
// rewritten and read as the builder would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "configui/FormDefinitions.h"
#include "configui/FormNames.h"
#include "configui/FormTextReader.h"
#include "fuzz/FuzzScratch.h"
#include "package/FileUtil.h"

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
  for (const vec::FormDefinition& form : forms.forms()) {
    // A name with blanks around it cannot be found (the name asked for is trimmed).
    if (vec::TrimControlsAndBlanks(form.name) == form.name) {
      const vec::FormDefinition* found = forms.FindForm(form.name);
      if (!found || found > &form) __builtin_trap();
    }
    for (const vec::Action& action : form.actions.actions()) {
      const vec::Action* first = form.actions.FindAction(action.controlName);
      if (!first || first > &action) __builtin_trap();
    }
    vec::FormDefinition copy = form;
    (void)vec::ReadFormText(copy.PrepareFormText());
  }
  return 0;
}

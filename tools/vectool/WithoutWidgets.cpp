// Builds without the widgets have no designed-window commands (forms, form-shot).

#include "tools/vectool/Command.h"

namespace vectool {

void AddFormCommands(Commands&) {}

}  // namespace vectool

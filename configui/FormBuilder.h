#pragma once
// Builds a designed window from its form text: the window with its built-in defaults
// (position 428, 197; size 588 x 478; button-face colour; "MS Sans Serif" at 11 pixels),
// then the text's properties, then every control in text order, parented to its enclosing
// control. The window's frame follows its style switches and it is centred on the screen.
//
// Needs a QApplication. Unknown properties are skipped; damaged picture data is an error
// naming the control.

#include <memory>
#include <string_view>

#include "base/Result.h"
#include "configui/DesignedWindow.h"
#include "configui/FormDefinitions.h"
#include "configui/FormTextReader.h"

namespace vec {

// The window of an already read form text.
ErrorOr<std::unique_ptr<DesignedWindow>> BuildWindow(FormObject definition);

// The window of `formName` (blanks and line breaks around it ignored) in `forms`: the
// definition is found, its text prepared and read, and the window built. Placeholders,
// actions and the show handling are applied by the caller.
ErrorOr<std::unique_ptr<DesignedWindow>> BuildDesignedWindow(const FormCollection& forms,
                                                             std::string_view formName);

}  // namespace vec

#include "configui/WindowStyle.h"

#include "configui/FormTextReader.h"

namespace vec {

WindowStyle WindowStyleOf(const FormObject& window) {
  WindowStyle s;
  if (window.BoolOr("NoFrame", false))
    s.border = BorderStyle::None;
  else if (window.BoolOr("Sizeable", false))
    s.border = BorderStyle::Sizeable;
  else
    s.border = BorderStyle::Single;
  s.systemMenu = window.BoolOr("ShowButtons", false);
  s.maximizeButton = window.BoolOr("MaximizeButton", false);
  s.minimizeButton = window.BoolOr("MinimizeButton", false);
  s.maximized = window.BoolOr("MaximizeOnShow", false);
  return s;
}

std::string_view BorderStyleName(BorderStyle style) {
  switch (style) {
    case BorderStyle::None:
      return "none";
    case BorderStyle::Sizeable:
      return "sizeable";
    case BorderStyle::Single:
      break;
  }
  return "single";
}

}  // namespace vec

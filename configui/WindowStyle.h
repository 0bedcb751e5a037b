#pragma once
// The frame of a designed window, decided by its six style switches (NoFrame, Sizeable,
// ShowButtons, MaximizeButton, MinimizeButton, MaximizeOnShow): no border when NoFrame,
// else a sizeable border when Sizeable, else a single one; the system menu, maximize and
// minimize buttons each by their switch; maximized on show by MaximizeOnShow. The
// BorderStyle and BorderIcons the authoring tool writes are not consulted.

#include <string_view>

namespace vec {

struct FormObject;

enum class BorderStyle { None, Single, Sizeable };

struct WindowStyle {
  BorderStyle border = BorderStyle::Single;
  bool systemMenu = false;
  bool maximizeButton = false;
  bool minimizeButton = false;
  bool maximized = false;

  bool operator==(const WindowStyle&) const = default;
};

// All switches default to False.
WindowStyle WindowStyleOf(const FormObject& window);

// "none", "single", "sizeable".
std::string_view BorderStyleName(BorderStyle style);

}  // namespace vec

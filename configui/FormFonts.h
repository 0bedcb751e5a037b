#pragma once
// Fonts as form texts write them (Font.Name, Font.Height, Font.Size, Font.Style,
// Font.Color; Font.Charset is not needed with Unicode text), resolved against the font
// the control inherits. Qt-free so the decisions can be tested without a screen.

#include <string>

#include "configui/FormColors.h"

namespace vec {

struct FormObject;

struct FormFont {
  std::string family = "MS Sans Serif";  // Windows-1252, as written
  // Exactly one of the two is positive: a negative Height is a pixel height; a Size or a
  // positive Height is kept in points (a positive Height is the cell height in pixels,
  // which at 96 dots per inch is 3/4 of that in points, rounded).
  int pixelSize = 11;
  int pointSize = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  FormColor color{0xFF000000, PaletteRole::Text, true};  // clWindowText

  bool operator==(const FormFont&) const = default;
};

// The font of a control: `inherited` with every Font.* property of `object` applied in
// text order (so of Height and Size the later one counts, as each replaces the other).
// A Style set replaces the inherited style; unknown style members and colours are ignored.
FormFont ResolveFormFont(const FormObject& object, const FormFont& inherited);

}  // namespace vec

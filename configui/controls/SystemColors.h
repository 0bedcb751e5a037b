#pragma once
// The system colours the controls paint with: 3-D button edges, the selection highlight
// and the window colours. Defaults are the usual desktop values; the widgets take them
// from the application's palette.

#include "graphics/Geometry.h"

class QPalette;

namespace vec {

struct SystemColors {
  Pixel buttonFace = MakePixel(240, 240, 240);
  Pixel buttonHighlight = MakePixel(255, 255, 255);   // outer top-left edge of a raised button
  Pixel buttonLight = MakePixel(227, 227, 227);       // inner top-left edge
  Pixel buttonShadow = MakePixel(160, 160, 160);      // inner bottom-right edge
  Pixel buttonDarkShadow = MakePixel(105, 105, 105);  // outer bottom-right edge
  Pixel highlight = MakePixel(0, 120, 215);
  Pixel highlightText = MakePixel(255, 255, 255);
  Pixel window = MakePixel(255, 255, 255);
  Pixel windowText = MakePixel(0, 0, 0);

  static SystemColors FromPalette(const QPalette& palette);
};

}  // namespace vec

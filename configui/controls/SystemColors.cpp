#include "configui/controls/SystemColors.h"

#include <QPalette>

namespace vec {

namespace {

Pixel Opaque(const QColor& c) {
  return MakePixel(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                   static_cast<uint8_t>(c.blue()));
}

}  // namespace

SystemColors SystemColors::FromPalette(const QPalette& palette) {
  SystemColors c;
  c.buttonFace = Opaque(palette.color(QPalette::Button));
  c.buttonHighlight = Opaque(palette.color(QPalette::Light));
  c.buttonLight = Opaque(palette.color(QPalette::Midlight));
  c.buttonShadow = Opaque(palette.color(QPalette::Mid));
  c.buttonDarkShadow = Opaque(palette.color(QPalette::Dark));
  c.highlight = Opaque(palette.color(QPalette::Highlight));
  c.highlightText = Opaque(palette.color(QPalette::HighlightedText));
  c.window = Opaque(palette.color(QPalette::Base));
  c.windowText = Opaque(palette.color(QPalette::Text));
  return c;
}

}  // namespace vec

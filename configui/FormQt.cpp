#include "configui/FormQt.h"

#include "base/TextEncoding.h"

namespace vec {

QColor ToQColor(const FormColor& color, const QPalette& palette) {
  auto role = [&](QPalette::ColorRole r) { return palette.color(QPalette::Active, r); };
  switch (color.role) {
    case PaletteRole::None:
      break;
    case PaletteRole::Window:
      return role(QPalette::Window);
    case PaletteRole::WindowText:
      return role(QPalette::WindowText);
    case PaletteRole::Base:
      return role(QPalette::Base);
    case PaletteRole::Text:
      return role(QPalette::Text);
    case PaletteRole::Button:
      return role(QPalette::Button);
    case PaletteRole::ButtonText:
      return role(QPalette::ButtonText);
    case PaletteRole::Highlight:
      return role(QPalette::Highlight);
    case PaletteRole::HighlightedText:
      return role(QPalette::HighlightedText);
    case PaletteRole::ToolTipBase:
      return role(QPalette::ToolTipBase);
    case PaletteRole::ToolTipText:
      return role(QPalette::ToolTipText);
    case PaletteRole::Light:
      return role(QPalette::Light);
    case PaletteRole::Midlight:
      return role(QPalette::Midlight);
    case PaletteRole::Mid:
      return role(QPalette::Mid);
    case PaletteRole::Shadow:
      return role(QPalette::Shadow);
    case PaletteRole::PlaceholderText:
      return role(QPalette::PlaceholderText);
  }
  return QColor::fromRgba(color.argb);
}

QFont ToQFont(const FormFont& font) {
  QFont f(FormTextToQString(font.family));
  if (font.pixelSize > 0)
    f.setPixelSize(font.pixelSize);
  else
    f.setPointSize(std::max(1, font.pointSize));
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeOut);
  return f;
}

QString FormTextToQString(std::string_view cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

QString StripAccelerators(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 < caption.size() && caption[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

}  // namespace vec

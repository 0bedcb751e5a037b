#include "configui/FormQt.h"

#include <QImage>

#include "base/TextEncoding.h"
#include "graphics/ImageFile.h"

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

Pixel ToPixel(const FormColor& color, const QPalette& palette) {
  return ToQColor(color, palette).rgb() | 0xFF000000u;
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

BlendBitmap PictureBitmap(const PictureData& picture) {
  if (picture.empty()) return {};
  auto loaded = LoadImageFromMemory(picture.imageBytes.data(), picture.imageBytes.size());
  if (loaded.ok()) {
    BlendBitmap out = std::move(loaded.value());
    for (int32_t y = 0; y < out.Height(); ++y) {
      Pixel* row = out.ScanLine(y);
      for (int32_t x = 0; x < out.Width(); ++x) row[x] |= 0xFF000000u;
    }
    return out;
  }
  QImage image =
      QImage::fromData(picture.imageBytes.data(), static_cast<int>(picture.imageBytes.size()));
  if (image.isNull()) return {};
  image = image.convertToFormat(QImage::Format_ARGB32);
  BlendBitmap out(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::copy(src, src + image.width(), out.ScanLine(y));
  }
  return out;
}

ErrorOr<BlendBitmap> PictureBitmapOf(const std::vector<uint8_t>& data) {
  PictureData picture = TRY(DecodePictureData(data));
  return PictureBitmap(picture);
}

}  // namespace vec

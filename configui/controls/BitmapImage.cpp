#include "configui/controls/BitmapImage.h"

#include <QPainter>

namespace vec {

QImage WrapBitmap(BlendBitmap& bitmap) {
  if (bitmap.Empty()) return {};
  return QImage(reinterpret_cast<uchar*>(bitmap.Bits()), bitmap.Width(), bitmap.Height(),
                static_cast<qsizetype>(bitmap.Width()) * 4, QImage::Format_ARGB32_Premultiplied);
}

QImage WrapBitmap(const BlendBitmap& bitmap) {
  if (bitmap.Empty()) return {};
  return QImage(reinterpret_cast<const uchar*>(bitmap.Bits()), bitmap.Width(), bitmap.Height(),
                static_cast<qsizetype>(bitmap.Width()) * 4, QImage::Format_ARGB32_Premultiplied);
}

void DrawBitmap(QPainter& painter, const BlendBitmap& bitmap) {
  if (bitmap.Empty()) return;
  painter.drawImage(0, 0, WrapBitmap(bitmap));
}

}  // namespace vec

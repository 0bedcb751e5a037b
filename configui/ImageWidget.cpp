#include "configui/ImageWidget.h"

#include <QPainter>

namespace vec {

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {}

void ImageWidget::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

void ImageWidget::SetPlacement(bool center, bool stretch, bool proportional) {
  center_ = center;
  stretch_ = stretch;
  proportional_ = proportional;
  update();
}

QRect ImageWidget::TargetRect(QSize size) const {
  QSize s = image_.size();
  if (s.isEmpty()) return {};
  if (proportional_ && (stretch_ || s.width() > size.width() || s.height() > size.height())) {
    s = s.scaled(size, Qt::KeepAspectRatio);
  } else if (stretch_) {
    s = size;
  }
  if (center_)
    return QRect(QPoint((size.width() - s.width()) / 2, (size.height() - s.height()) / 2), s);
  return QRect(QPoint(0, 0), s);
}

void ImageWidget::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  p.drawImage(TargetRect(size()), image_);
}

}  // namespace vec

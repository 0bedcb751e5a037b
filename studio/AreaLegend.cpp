#include "studio/AreaLegend.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "picture/Picture.h"

namespace vec::studio {

QColor AreaColor(int area) {
  if (area < 1 || area > 4) return Qt::transparent;
  return QColor::fromRgb(kAreaColors[static_cast<size_t>(area)] | 0xFF000000u);
}

QString AreaName(int area) {
  return QObject::tr("Area %1").arg(area);
}

AreaLegend::AreaLegend(QWidget* parent) : QWidget(parent) {
  setObjectName("AreaLegend");
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setToolTip(
      tr("The four water areas in their mask colours: click one to paint it and to "
         "tune its waves (keys 1 to 4)"));
}

QSize AreaLegend::sizeHint() const {
  const QFontMetrics fm = fontMetrics();
  const int entry = fm.height() + 8;
  return {4 * (entry + fm.horizontalAdvance(AreaName(4)) + 12), entry + 4};
}

QRect AreaLegend::EntryRect(int area) const {
  const int w = width() / 4;
  return {(area - 1) * w, 0, w, height()};
}

void AreaLegend::SetArea(int area) {
  if (area < 1 || area > 4 || area == area_) return;
  area_ = area;
  update();
}

void AreaLegend::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int swatch = fontMetrics().height();
  for (int area = 1; area <= 4; ++area) {
    const QRect r = EntryRect(area).adjusted(2, 2, -2, -2);
    if (area == area_) {
      p.setPen(QPen(palette().highlight().color(), 2));
      p.setBrush(palette().highlight().color().lighter(170));
      p.drawRoundedRect(r, 4, 4);
    }
    const QRect box(r.left() + 6, r.center().y() - swatch / 2, swatch, swatch);
    p.setPen(QPen(palette().windowText().color(), 1));
    p.setBrush(AreaColor(area));
    p.drawRect(box);
    p.setPen(palette().windowText().color());
    p.drawText(QRect(box.right() + 6, r.top(), r.right() - box.right() - 6, r.height()),
               Qt::AlignVCenter | Qt::AlignLeft, AreaName(area));
  }
}

void AreaLegend::mousePressEvent(QMouseEvent* event) {
  for (int area = 1; area <= 4; ++area)
    if (EntryRect(area).contains(event->position().toPoint())) {
      SetArea(area);
      emit areaChosen(area);
      return;
    }
}

bool AreaLegend::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    for (int area = 1; area <= 4; ++area)
      if (EntryRect(area).contains(help->pos())) {
        QToolTip::showText(help->globalPos(),
                           tr("Paint and tune %1 (key %2)").arg(AreaName(area)).arg(area), this);
        return true;
      }
  }
  return QWidget::event(event);
}

}  // namespace vec::studio

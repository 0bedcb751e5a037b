#include "configui/PanelWidget.h"

#include <QPainter>

namespace vec {

PanelWidget::PanelWidget(QWidget* parent) : QWidget(parent) {}

void PanelWidget::SetBevels(PanelBevel outer, PanelBevel inner, int width) {
  outer_ = outer;
  inner_ = inner;
  bevelWidth_ = std::clamp(width, 0, 100);
  update();
}

void PanelWidget::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

int PanelWidget::BevelExtent() const {
  return (outer_ != PanelBevel::None ? bevelWidth_ : 0) +
         (inner_ != PanelBevel::None ? bevelWidth_ : 0);
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  auto bevel = [&](PanelBevel kind) {
    if (kind == PanelBevel::None) return;
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Mid);
    const bool raised = kind == PanelBevel::Raised;
    for (int i = 0; i < bevelWidth_ && r.width() > 1 && r.height() > 1; ++i) {
      if (kind != PanelBevel::Space) {
        p.setPen(raised ? light : dark);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(raised ? dark : light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
      }
      r.adjust(1, 1, -1, -1);
    }
  };
  bevel(outer_);
  bevel(inner_);
  if (!caption_.isEmpty()) {
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic, caption_);
  }
}

}  // namespace vec

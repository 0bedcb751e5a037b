#include "configui/controls/ClickableWidget.h"

#include <QMouseEvent>

namespace vec {

ClickableWidget::ClickableWidget(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
}

void ClickableWidget::click() {
  emit clicked();
}

void ClickableWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) clickArmed_ = true;
  emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void ClickableWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    clickArmed_ = false;
    emit doubleClicked();
  }
  emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void ClickableWidget::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMove(event->modifiers(), event->position().toPoint());
}

void ClickableWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const bool wasArmed = clickArmed_ && event->button() == Qt::LeftButton;
  if (event->button() == Qt::LeftButton) clickArmed_ = false;
  emit mouseUp(event->button(), event->modifiers(), pos);
  if (wasArmed && rect().contains(pos)) click();
}

}  // namespace vec

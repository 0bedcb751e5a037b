#pragma once
// The mouse events a designed control publishes (OnClick, OnDblClick, OnMouseDown,
// OnMouseMove, OnMouseUp) as Qt signals. A click is a left press and release over the
// control; the second press of a double click reports the double click and no click.

#include <QPoint>
#include <QWidget>

namespace vec {

class ClickableWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ClickableWidget(QWidget* parent = nullptr);

  // Runs the click handlers, as a click with the mouse does.
  virtual void click();

 signals:
  void clicked();
  void doubleClicked();
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool clickArmed_ = false;
};

}  // namespace vec

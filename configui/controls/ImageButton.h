#pragma once
// The image button of the designed windows ("TMyButton"): a control without a window of its
// own that shows an up, down, over or disabled image (or a system push button without
// them), an optional centred caption, a latched Down state, and an auto-repeat event while
// the left button is held.

#include <QTimer>
#include <memory>

#include "base/Clock.h"
#include "configui/controls/AutoRepeat.h"
#include "configui/controls/ClickableWidget.h"
#include "configui/controls/ImageButtonPainting.h"
#include "configui/controls/SystemColors.h"

namespace vec {

class ImageButton : public ClickableWidget {
  Q_OBJECT

 public:
  explicit ImageButton(QWidget* parent = nullptr);
  ~ImageButton() override;

  // Published properties, in the order a form text lists them.
  void setCaption(const QString& caption);
  const QString& caption() const { return properties_.caption; }
  void setCaptionFont(const QFont& font);  // also the widget's font
  void setFontColor(Pixel color);
  void setUpImage(BlendBitmap image);
  void setDownImage(BlendBitmap image);
  void setOverImage(BlendBitmap image);
  void setDisabledImage(BlendBitmap image);
  void setAutoSize(bool on);
  // Only while AllowDown; otherwise ignored.
  void setDown(bool down);
  bool isDown() const { return properties_.down; }
  // Switching it off clears Down.
  void setAllowDown(bool allow);
  bool allowDown() const { return properties_.allowDown; }
  bool mouseInControl() const { return mouseInControl_; }
  void setShowCaption(bool show);
  void setTransparent(bool transparent);
  const ImageButtonProperties& properties() const { return properties_; }

  bool pressed() const { return pressed_; }
  ButtonVisual visual() const;

  // The clock the repeats are timed by (not owned; nullptr for the system clock).
  void setClock(IClock* clock);
  void setSystemColors(const SystemColors& colors);

  // The frame the button paints at its present size and state.
  BlendBitmap render() const;

 public slots:
  // Fires a due repeat; the repeat timer calls it, tests call it after moving a fake clock.
  void pollRepeat();

 signals:
  // OnMousePressed: once at the press (repeated = false, the button is the sender), then at
  // every tick of the repeat timer (repeated = true, the timer is the sender).
  void mousePressed(bool repeated);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void leftPress();
  void mouseEntered();
  void mouseLeft();
  // Ends a press without a release: disabling or hiding the button while it is held.
  void cancelPress();
  void armTimer();
  void applyAutoSize();
  void updateShortcut();
  uint32_t now();

  ImageButtonProperties properties_;
  SystemColors colors_;
  bool mouseInControl_ = false;
  bool pressed_ = false;
  AutoRepeat repeat_;
  std::unique_ptr<QTimer> timer_;  // created on the first press
  IClock* clock_ = nullptr;
  SteadyClock systemClock_;
  int shortcutId_ = 0;
};

// The accelerator letter of a caption: the character after a single '&' ("&&" stands for an
// ampersand). Null when there is none.
QChar AcceleratorOf(const QString& caption);

}  // namespace vec

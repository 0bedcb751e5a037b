#include "configui/controls/ImageButton.h"

#include <QEnterEvent>
#include <QHideEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include "configui/controls/BitmapImage.h"

namespace vec {

QChar AcceleratorOf(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] == u'&') {
      ++i;  // a literal ampersand
      continue;
    }
    return caption[i + 1].toUpper();
  }
  return {};
}

ImageButton::ImageButton(QWidget* parent) : ClickableWidget(parent) {
  colors_ = SystemColors::FromPalette(palette());
  properties_.font = font();
}

ImageButton::~ImageButton() = default;

uint32_t ImageButton::now() {
  return clock_ != nullptr ? clock_->Ticks() : systemClock_.Ticks();
}

void ImageButton::setClock(IClock* clock) {
  clock_ = clock;
}

void ImageButton::setSystemColors(const SystemColors& colors) {
  colors_ = colors;
  update();
}

void ImageButton::setCaption(const QString& caption) {
  if (caption == properties_.caption) return;
  properties_.caption = caption;
  updateShortcut();
  update();
}

void ImageButton::setCaptionFont(const QFont& font) {
  properties_.font = font;
  setFont(font);
  update();
}

void ImageButton::setFontColor(Pixel color) {
  properties_.fontColor = color;
  update();
}

void ImageButton::setUpImage(BlendBitmap image) {
  properties_.buttonUp = std::move(image);
  applyAutoSize();
  update();
}

void ImageButton::setDownImage(BlendBitmap image) {
  properties_.buttonDown = std::move(image);
  update();
}

void ImageButton::setOverImage(BlendBitmap image) {
  properties_.buttonOver = std::move(image);
  update();
}

void ImageButton::setDisabledImage(BlendBitmap image) {
  properties_.buttonDisable = std::move(image);
  update();
}

void ImageButton::setAutoSize(bool on) {
  properties_.autoSize = on;
  applyAutoSize();
  update();
}

void ImageButton::setDown(bool down) {
  if (!properties_.allowDown || properties_.down == down) return;
  properties_.down = down;
  update();
}

void ImageButton::setAllowDown(bool allow) {
  properties_.allowDown = allow;
  if (!allow && properties_.down) {
    properties_.down = false;
    update();
  }
}

void ImageButton::setShowCaption(bool show) {
  properties_.showCaption = show;
  update();
}

void ImageButton::setTransparent(bool transparent) {
  properties_.transparent = transparent;
  update();
}

ButtonVisual ImageButton::visual() const {
  return ChooseButtonVisual(mouseInControl_, pressed_, properties_.down);
}

void ImageButton::applyAutoSize() {
  if (const auto size = AutoSizeOf(properties_);
      size && (width() != size->x || height() != size->y))
    resize(size->x, size->y);
}

BlendBitmap ImageButton::render() const {
  BlendBitmap frame(width(), height());
  if (!frame.Empty()) PaintImageButton(properties_, isEnabled(), visual(), colors_, frame);
  return frame;
}

void ImageButton::paintEvent(QPaintEvent*) {
  // AutoSize holds at every paint, whatever size the control was given since.
  applyAutoSize();
  const BlendBitmap frame = render();
  QPainter painter(this);
  DrawBitmap(painter, frame);
}

void ImageButton::updateShortcut() {
  if (shortcutId_ != 0) {
    releaseShortcut(shortcutId_);
    shortcutId_ = 0;
  }
  const QChar key = AcceleratorOf(properties_.caption);
  if (!key.isNull())
    shortcutId_ =
        grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.unicode()))));
}

bool ImageButton::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    auto* shortcut = static_cast<QShortcutEvent*>(e);
    if (shortcut->shortcutId() == shortcutId_ && shortcutId_ != 0) {
      const QWidget* parent = parentWidget();
      if (isEnabled() && isVisible() && (parent == nullptr || parent->isVisible())) click();
      return true;
    }
  }
  return ClickableWidget::event(e);
}

void ImageButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) {
    properties_.font = font();
    update();
  } else if (e->type() == QEvent::EnabledChange) {
    // A disabled control gets no more mouse events, so a press it held would repeat forever.
    if (!isEnabled()) cancelPress();
    update();
  }
  ClickableWidget::changeEvent(e);
}

void ImageButton::armTimer() {
  if (!timer_) return;
  if (!repeat_.Running()) {
    timer_->stop();
    return;
  }
  timer_->start(static_cast<int>(repeat_.Remaining(now())));
}

void ImageButton::pollRepeat() {
  if (repeat_.Poll(now())) emit mousePressed(true);
  armTimer();
}

void ImageButton::leftPress() {
  if (pressed_) return;
  mouseInControl_ = true;
  if (!timer_) {
    timer_ = std::make_unique<QTimer>();
    timer_->setSingleShot(true);
    connect(timer_.get(), &QTimer::timeout, this, &ImageButton::pollRepeat);
  }
  repeat_.Start(now());
  armTimer();
  emit mousePressed(false);
  pressed_ = true;
  update();
}

void ImageButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) leftPress();
  ClickableWidget::mousePressEvent(e);
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) leftPress();
  ClickableWidget::mouseDoubleClickEvent(e);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && pressed_) {
    repeat_.Stop();
    armTimer();
    if (properties_.allowDown) properties_.down = !properties_.down;
    pressed_ = false;
    update();
  }
  ClickableWidget::mouseReleaseEvent(e);
}

// While the button is held the mouse is grabbed, and leaving or entering is seen in the moves.
void ImageButton::mouseMoveEvent(QMouseEvent* e) {
  if (pressed_) {
    const bool inside = rect().contains(e->position().toPoint());
    if (inside && !mouseInControl_)
      mouseEntered();
    else if (!inside && mouseInControl_)
      mouseLeft();
  }
  ClickableWidget::mouseMoveEvent(e);
}

void ImageButton::enterEvent(QEnterEvent* e) {
  mouseEntered();
  ClickableWidget::enterEvent(e);
}

void ImageButton::leaveEvent(QEvent* e) {
  mouseLeft();
  ClickableWidget::leaveEvent(e);
}

void ImageButton::cancelPress() {
  repeat_.Stop();
  armTimer();
  pressed_ = false;
  mouseInControl_ = false;
}

void ImageButton::hideEvent(QHideEvent* e) {
  cancelPress();
  ClickableWidget::hideEvent(e);
}

void ImageButton::mouseEntered() {
  if (mouseInControl_) return;
  if (pressed_) {
    repeat_.Resume(now());
    armTimer();
  }
  mouseInControl_ = true;
  update();
}

void ImageButton::mouseLeft() {
  if (!mouseInControl_) return;
  repeat_.Stop();
  armTimer();
  mouseInControl_ = false;
  update();
}

}  // namespace vec

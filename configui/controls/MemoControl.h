#pragma once
// The memo of the designed windows ("TMyMemo"): a multi-line text whose Text property is
// the whole content with CR LF after every line, as a form text and the placeholders see it.

#include <QPlainTextEdit>
#include <QStringList>

#include "configui/controls/FrameStyle.h"
#include "graphics/Geometry.h"

namespace vec {

// Lines as a string list reads a text: CR LF, LF or CR end a line, and a final line break
// does not start another line (so "" has no lines and "a\r\n" has one).
QStringList SplitMemoText(const QString& text);
// Every line followed by CR LF.
QString JoinMemoLines(const QStringList& lines);

class MemoControl : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit MemoControl(QWidget* parent = nullptr);

  // Text: writing splits into lines; reading gives each line followed by CR LF. An empty
  // memo has no lines and reads as "".
  void setText(const QString& text);
  QString text() const;
  QStringList lines() const;

  void setWordWrap(bool wrap);
  void setColor(Pixel color);
  void setFontColor(Pixel color);
  void setCtl3D(bool on);
  bool ctl3D() const { return ctl3D_; }
  void setBorderStyle(FrameBorder style);
  FrameBorder borderStyle() const { return borderStyle_; }

 private:
  bool ctl3D_ = true;
  FrameBorder borderStyle_ = FrameBorder::Single;
};

}  // namespace vec

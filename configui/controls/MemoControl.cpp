#include "configui/controls/MemoControl.h"

#include <QPalette>

namespace vec {

QStringList SplitMemoText(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    lines.append(text.mid(start, i - start));
    if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.append(text.mid(start));
  return lines;
}

QString JoinMemoLines(const QStringList& lines) {
  QString out;
  for (const QString& line : lines) {
    out += line;
    out += QStringLiteral("\r\n");
  }
  return out;
}

MemoControl::MemoControl(QWidget* parent) : QPlainTextEdit(parent) {
  ApplyFrameStyle(*this, borderStyle_, ctl3D_);
  setWordWrap(true);
}

void MemoControl::setText(const QString& text) {
  setPlainText(SplitMemoText(text).join(u'\n'));
}

QStringList MemoControl::lines() const {
  const QString plain = toPlainText();
  if (plain.isEmpty()) return {};
  return plain.split(u'\n');
}

QString MemoControl::text() const {
  return JoinMemoLines(lines());
}

void MemoControl::setWordWrap(bool wrap) {
  setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void MemoControl::setColor(Pixel color) {
  QPalette p = palette();
  p.setColor(QPalette::Base, QColor::fromRgb(color));
  setPalette(p);
}

void MemoControl::setFontColor(Pixel color) {
  QPalette p = palette();
  p.setColor(QPalette::Text, QColor::fromRgb(color));
  setPalette(p);
}

void MemoControl::setCtl3D(bool on) {
  ctl3D_ = on;
  ApplyFrameStyle(*this, borderStyle_, ctl3D_);
}

void MemoControl::setBorderStyle(FrameBorder style) {
  borderStyle_ = style;
  ApplyFrameStyle(*this, borderStyle_, ctl3D_);
}

}  // namespace vec

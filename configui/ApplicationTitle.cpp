#include "configui/ApplicationTitle.h"

namespace vec {
namespace {

// Set and read on the main thread only, like every widget.
QString& Title() {
  static QString title = QStringLiteral(" ");
  return title;
}

}  // namespace

void SetApplicationTitle(const QString& title) {
  Title() = title;
}

QString ApplicationTitle() {
  return Title();
}

}  // namespace vec

#pragma once
// The application's title: the name the program goes by where no window of its own names
// it, such as the caption of its message boxes. It starts as one blank and becomes the
// saver's product name when a saver's window is shown.
//
// It is deliberately not Qt's application display name: Qt appends that name to the title
// of every top-level window (" - Demo Saver"), while each window here carries exactly the
// caption its author gave it.

#include <QString>

namespace vec {

void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

}  // namespace vec

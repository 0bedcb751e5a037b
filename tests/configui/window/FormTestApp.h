#pragma once
// The one application object of the window tests, on Qt's off-screen platform.

#include <QApplication>
#include <cstdlib>

namespace vec::test {

inline QApplication& FormTestApp() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

}  // namespace vec::test

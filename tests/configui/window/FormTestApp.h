#pragma once
// The one application object of the window tests, on Qt's off-screen platform.

#include "tests/support/OffscreenApp.h"

namespace vec::test {

inline QApplication& FormTestApp() {
  return OffscreenApp();
}

}  // namespace vec::test

#pragma once
// The one QApplication of a test program, on Qt's off-screen platform so no display is used.
// It ends with the test run rather than at exit: the program's static objects (Qt's input
// devices, made by simulated mouse events, among them) must outlive it.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <memory>

#include "package/RuntimeFolder.h"

namespace vec::test {

inline std::unique_ptr<QApplication>& OffscreenAppHolder() {
  static std::unique_ptr<QApplication> app;
  return app;
}

inline QApplication& OffscreenApp() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  // Without a runtime folder of the session's, one of the test's own: made before the
  // application and removed after it, so the toolkit neither complains nor leaves its own.
  static const PrivateRuntimeFolder runtime("vec-test-runtime");
  std::unique_ptr<QApplication>& app = OffscreenAppHolder();
  if (!app) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = std::make_unique<QApplication>(argc, argv);
  }
  return *app;
}

class OffscreenAppEnvironment : public testing::Environment {
 public:
  void TearDown() override { OffscreenAppHolder().reset(); }
};
inline testing::Environment* const kOffscreenAppEnvironment =
    testing::AddGlobalTestEnvironment(std::make_unique<OffscreenAppEnvironment>().release());

}  // namespace vec::test

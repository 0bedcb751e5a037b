#pragma once
// The one application object of the window tests, on Qt's off-screen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

namespace vec::test {

inline std::unique_ptr<QApplication>& FormTestAppHolder() {
  static std::unique_ptr<QApplication> app;
  return app;
}

inline QApplication& FormTestApp() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QApplication>& app = FormTestAppHolder();
  if (!app) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app = std::make_unique<QApplication>(argc, argv);
  }
  return *app;
}

// The application must go before the program's static objects do (Qt's input devices, made
// by the simulated mouse, are among them), so it ends with the test run rather than at exit.
class FormTestAppEnvironment : public testing::Environment {
 public:
  void TearDown() override { FormTestAppHolder().reset(); }
};
inline testing::Environment* const kFormTestAppEnvironment =
    testing::AddGlobalTestEnvironment(std::make_unique<FormTestAppEnvironment>().release());

}  // namespace vec::test

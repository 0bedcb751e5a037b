#pragma once
// The one QApplication of the platform tests: Qt's offscreen platform with three monitors
// side by side, the middle one at scale 2.

#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <string>

#include "package/RuntimeFolder.h"

namespace vec::test {

inline QApplication& ThreeMonitorApp() {
  // Without a runtime folder of the session's, one of the test's own, removed after the
  // application has gone (statics end in reverse order).
  static const PrivateRuntimeFolder runtime("vec-test-runtime");
  static const std::string config = [] {
    const auto path = std::filesystem::temp_directory_path() /
                      ("vec-screens-" + std::to_string(::getpid()) + ".json");
    std::ofstream(path) << R"({"screens": [
      {"name": "left", "x": 0, "y": 0, "width": 800, "height": 600, "dpr": 1},
      {"name": "middle", "x": 800, "y": 0, "width": 640, "height": 480, "dpr": 2},
      {"name": "right", "x": 1440, "y": 0, "width": 1024, "height": 768, "dpr": 1}]})";
    return path.string();
  }();
  static int argc = 3;
  static std::string platform = "offscreen:configfile=" + config;
  static char name[] = "test_platform";
  static char option[] = "-platform";
  static char* argv[] = {name, option, platform.data(), nullptr};
  static QApplication app(argc, argv);
  // The platform has read the monitors; the file is no longer needed.
  static const bool removed = std::filesystem::remove(config);
  (void)removed;
  return app;
}

}  // namespace vec::test

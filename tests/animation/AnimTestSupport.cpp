#include "tests/animation/AnimTestSupport.h"

#include <unistd.h>

#include <filesystem>

namespace vec::testing {

TempFolder::TempFolder(const std::string& name) {
  namespace fs = std::filesystem;
  path_ = (fs::temp_directory_path() / ("anim_test_" + std::to_string(::getpid()) + "_" + name))
              .string();
  std::error_code ec;
  fs::remove_all(path_, ec);
  fs::create_directories(path_, ec);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace vec::testing

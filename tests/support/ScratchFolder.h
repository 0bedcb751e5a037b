#pragma once
// Scratch folders for tests: a fresh private folder under the temporary path ($TMPDIR, else
// /tmp) removed with everything in it when it goes, and the running test's own one, made
// when first asked for and removed when the test ends. The suite checks that it leaves
// nothing in $TMPDIR (tests/TempFolderCheck.cmake), so files a test writes belong here.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace vec::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "vec-test-XXXXXX");
    if (!error && mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // With a trailing '/'; empty when the folder could not be made.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

namespace detail {

inline std::unique_ptr<ScratchFolder>& CurrentTestScratch() {
  static std::unique_ptr<ScratchFolder> folder;
  return folder;
}

// Ends the running test's scratch folder once the test and its fixture are done.
class TestScratchRemover final : public ::testing::EmptyTestEventListener {
 public:
  void OnTestEnd(const ::testing::TestInfo&) override { CurrentTestScratch().reset(); }
};

inline const bool kTestScratchRemoverAdded = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(
      std::make_unique<TestScratchRemover>().release());
  return true;
}();

}  // namespace detail

// The running test's scratch folder, with a trailing '/'.
inline const std::string& TestScratch() {
  std::unique_ptr<ScratchFolder>& folder = detail::CurrentTestScratch();
  if (!folder) folder = std::make_unique<ScratchFolder>();
  return folder->path();
}

}  // namespace vec::testing

// The sample files of tests/data/package (written by make_samples.py there), each with the
// result it must give.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "package/Package.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::ListDir;
using testing::ScratchDir;

struct SampleCase {
  const char* file;
  PackageError error;
  std::vector<WrittenSize> files;
  std::vector<std::string> pictures;  // bare names of the loaded picture list
};

class SampleFileTest : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SampleFileTest, ExtractsAsExpectedAndCleansUp) {
  const SampleCase& c = GetParam();
  ScratchDir dir;
  std::string folder = dir / "run/";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  SaverSettings settings;
  ExtractReport r =
      ExtractPackage(settings, std::string(VEC_TEST_DATA) + "/package/" + c.file, folder);
  EXPECT_EQ(r.error, c.error);
  EXPECT_EQ(r.files, c.files);
  std::vector<std::string> bare;
  for (const auto& n : settings.FileList.FileNames) bare.push_back(n.substr(folder.size()));
  EXPECT_EQ(bare, c.pictures);
  RemovePackage(folder);
  EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{}) << "left behind in " << folder;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleFileTest,
    ::testing::Values(
        SampleCase{"valid.scr", PackageError::None, {9, 14}, {"VEImage0.vep", "Beach.jpg"}},
        SampleCase{"pipe-marker.scr", PackageError::None, {9, 14}, {"VEImage0.vep", "Beach.jpg"}},
        SampleCase{"truncated.scr", PackageError::None, {9, 2}, {"VEImage0.vep", "Beach.jpg"}},
        SampleCase{"huge-count.scr", PackageError::None, {}, {}},
        SampleCase{"hostile-names.scr",
                   PackageError::None,
                   {1, 1, std::nullopt, std::nullopt, std::nullopt, 1},
                   {"ok.jpg"}},
        SampleCase{"no-package.bin", PackageError::NoPackage, {}, {}},
        SampleCase{"missing.scr", PackageError::CannotOpen, {}, {}}),
    [](const auto& info) {
      std::string n = info.param.file;
      for (char& ch : n)
        if (ch == '.' || ch == '-') ch = '_';
      return n;
    });

}  // namespace
}  // namespace vec

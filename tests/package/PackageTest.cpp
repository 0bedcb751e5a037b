#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "package/Folders.h"
#include "package/Package.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::BuildPackage;
using testing::Exists;
using testing::ListDir;
using testing::PackageParts;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

PackageParts SeaSpec() {
  PackageParts parts;
  parts.fileList += "VEImage0.vep=1\r\nBeach.jpg=0\r\n";
  parts.settings = "[Default]\r\nDuration=12\r\n[Advance]\r\nPreviewFile=C:\\Work\\Preview.jpg\r\n";
  parts.files = {{"VEImage0.vep", "vep-bytes"},
                 {"C:\\Work\\Beach.jpg", "jpeg-bytes"},
                 {"Preview.jpg", "preview"}};
  return parts;
}

TEST(ExtractPackage, ExtractsRecordsFilesAndSettings) {
  ScratchDir dir;
  WriteBytes(dir / "Sea.scr", BuildPackage(SeaSpec()));
  std::string folder = dir / "run/";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  SaverSettings settings;
  ExtractReport r = ExtractPackage(settings, dir / "Sea.scr", folder);
  ASSERT_EQ(r.error, PackageError::None);
  EXPECT_EQ(r.outerCount, 4u);
  EXPECT_EQ(ListDir(folder),
            (std::vector<std::string>{"Beach.jpg", "Preview.jpg", "VEC.res", "VEFilenames.res",
                                      "VEGUI.veu", "VEImage0.vep"}));
  EXPECT_EQ(ReadBytes(folder + "Beach.jpg"), "jpeg-bytes");
  EXPECT_EQ(r.files, (std::vector<WrittenSize>{9, 10, 7}));
  EXPECT_EQ(settings.FileList.FileNames,
            (std::vector<std::string>{folder + "VEImage0.vep", folder + "Beach.jpg"}));
  EXPECT_EQ(settings.FileList.Checked, (std::vector<std::string>{"TRUE", "FALSE"}));
  EXPECT_EQ(settings.Setting.Duration, 12);
  EXPECT_EQ(settings.Setting.PreviewFile, folder + "Preview.jpg");
  EXPECT_EQ(settings.UISetting.UIFile, folder + "VEGUI.veu");

  RemovePackage(folder);
  EXPECT_FALSE(Exists(folder));
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"Sea.scr"}));
}

struct NameCase {
  const char* stored;
  const char* extracted;  // empty: skipped
};

class SafeExtractNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeExtractNameTest, KeepsTheFileNamePartInsideTheFolder) {
  EXPECT_EQ(SafeExtractName(GetParam().stored), GetParam().extracted) << GetParam().stored;
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeExtractNameTest,
                         ::testing::Values(NameCase{"VEImage0.vep", "VEImage0.vep"},
                                           NameCase{"C:\\Work\\Sea.jpg", "Sea.jpg"},
                                           NameCase{"sub/dir/Sea.jpg", "Sea.jpg"},
                                           NameCase{"..\\..\\evil.jpg", "evil.jpg"},
                                           NameCase{"../../evil.jpg", "evil.jpg"},
                                           NameCase{"C:evil.jpg", "evil.jpg"}, NameCase{"", ""},
                                           NameCase{"..", ""}, NameCase{".", ""},
                                           NameCase{"dir\\..", ""}, NameCase{"dir/", ""},
                                           NameCase{"VEFiles.res", ""}, NameCase{"x\\vec.RES", ""},
                                           NameCase{"VEGUI.veu", ""}));

TEST(ExtractPackage, HostileNamesStayInsideTheFolder) {
  ScratchDir dir;
  PackageParts parts;
  parts.files = {{"../escape1", "1"}, {"..\\escape2", "2"}, {"", "3"},      {"..", "4"},
                 {"/tmp/abs", "5"},   {"VEFiles.res", "6"}, {"ok.jpg", "7"}};
  WriteBytes(dir / "S.scr", BuildPackage(parts));
  WriteBytes(dir / "escape1", "keep");
  std::string folder = dir / "run/";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  SaverSettings settings;
  ExtractReport r = ExtractPackage(settings, dir / "S.scr", folder);
  EXPECT_EQ(r.files,
            (std::vector<WrittenSize>{1, 1, std::nullopt, std::nullopt, 1, std::nullopt, 1}));
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"S.scr", "escape1", "run"}));
  EXPECT_EQ(ReadBytes(folder + "ok.jpg"), "7");
  // The files container was not overwritten by a record named like it.
  EXPECT_EQ(ReadBytes(folder + "abs"), "5");

  // Removal deletes by the same names: nothing outside the folder goes.
  RemovePackage(folder);
  EXPECT_EQ(ReadBytes(dir / "escape1"), "keep");
  EXPECT_FALSE(Exists(folder));
}

TEST(ExtractPackage, NoMarkerIsNoPackage) {
  ScratchDir dir;
  WriteBytes(dir / "plain", "just an executable");
  SaverSettings settings;
  EXPECT_EQ(ExtractPackage(settings, dir / "plain", dir.path()).error, PackageError::NoPackage);
  EXPECT_EQ(ExtractPackage(settings, dir / "missing", dir.path()).error, PackageError::CannotOpen);
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"plain"}));
  EXPECT_NE(PackageErrorMessage(PackageError::NoPackage, "/x/Sea.scr").find("/x/Sea.scr"),
            std::string::npos);
}

TEST(ExtractPackage, ProcessFolderIsNotMadeForAFileWithoutPackage) {
  ScratchDir dir;
  WriteBytes(dir / "plain", "just an executable");
  setenv("TMPDIR", dir.path().c_str(), 1);
  SetOwnPath(dir / "plain");
  SaverSettings settings;
  EXPECT_EQ(ExtractPackage(settings, dir / "plain").error, PackageError::NoPackage);
  RemovePackage(settings);
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"plain"}));
  unsetenv("TMPDIR");
}

TEST(ExtractPackage, ProcessFolderFollowsTheNameRuleAndIsRemoved) {
  ScratchDir dir;
  WriteBytes(dir / "Sea.Waves.scr", BuildPackage(SeaSpec()));
  setenv("TMPDIR", dir.path().c_str(), 1);
  SetOwnPath(dir / "Sea.Waves.scr");
  SaverSettings settings;
  ASSERT_EQ(ExtractPackage(settings, dir / "Sea.Waves.scr").error, PackageError::None);
  std::string folder = GetTempFolder();
  EXPECT_EQ(folder, dir.path() + "Sea" + std::to_string(RunNumber()) + "/");
  struct stat st {};
  ASSERT_EQ(lstat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(Exists(folder + "VEImage0.vep"));
  RemovePackage(settings);
  EXPECT_FALSE(Exists(folder));
  unsetenv("TMPDIR");
}

TEST(ExtractPackage, LeftoverRunFoldersOfTheSaverAreSweptAtStart) {
  ScratchDir dir;
  WriteBytes(dir / "Sea.scr", BuildPackage(SeaSpec()));
  // A run that ended without cleaning up (its lock file is there, nobody holds it).
  ASSERT_EQ(mkdir((dir / "Sea17").c_str(), 0700), 0);
  WriteBytes(dir / ("Sea17/" + std::string(kRunLockName)), "Sea\n");
  WriteBytes(dir / "Sea17/VEImage0.vep", "old");
  setenv("TMPDIR", dir.path().c_str(), 1);
  SetOwnPath(dir / "Sea.scr");
  SaverSettings settings;
  ASSERT_EQ(ExtractPackage(settings, dir / "Sea.scr").error, PackageError::None);
  EXPECT_FALSE(Exists(dir / "Sea17"));
  const std::string folder = GetTempFolder();
  EXPECT_TRUE(Exists(folder + "VEImage0.vep"));
  RemovePackage(settings);
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"Sea.scr"}));
  unsetenv("TMPDIR");
}

TEST(ExtractPackageDeathTest, AWriteThatFailsRemovesWhatWasWrittenAndSaysSo) {
  // The files of the package do not fit: a file-size limit makes the writes fail as a full
  // disk would. The check runs in a child process, which alone has the limit.
  ScratchDir dir;
  PackageParts parts = SeaSpec();
  parts.files.push_back({"Big.jpg", std::string(64 * 1024, 'x')});
  WriteBytes(dir / "Sea.scr", BuildPackage(parts));
  const std::string folder = dir / "run/";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  auto extractWithinLimit = [&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16384, 16384};
    setrlimit(RLIMIT_FSIZE, &limit);
    SaverSettings settings;
    const ExtractReport r = ExtractPackage(settings, dir / "Sea.scr", folder);
    const bool nothingLeft = !Exists(folder) || ListDir(folder).empty();
    _exit(r.error == PackageError::WriteFailed && nothingLeft ? 0 : 1);
  };
  EXPECT_EXIT(extractWithinLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(PackageErrorMessage(PackageError::WriteFailed, "/s/Sea.scr"),
            "Cannot write the files of \"/s/Sea.scr\" into a temporary folder in " +
                SystemTempPath() + " (is the disk full?).");
}

struct SettingsCountCase {
  const char* name;
  std::vector<std::string> records;
  bool loaded;
};

class SettingsContainerTest : public ::testing::TestWithParam<SettingsCountCase> {};

TEST_P(SettingsContainerTest, OnlyCountsThreeAndFourAreRead) {
  ScratchDir dir;
  WriteBytes(dir / "VEC.res", ContainerWriter::Build(GetParam().records));
  SaverSettings settings;
  EXPECT_EQ(LoadSettingsFile(settings, dir / "VEC.res"), GetParam().loaded);
  if (GetParam().loaded) {
    EXPECT_EQ(settings.FileList.FileNames, (std::vector<std::string>{"a.jpg"}));
    EXPECT_EQ(settings.Setting.Duration, 9);
    EXPECT_EQ(settings.UISetting.UIFile, "x.veu");
  } else {
    EXPECT_TRUE(settings.FileList.FileNames.empty());
    EXPECT_EQ(settings.Setting.Duration, 30);
    EXPECT_EQ(settings.UISetting.UIFile, "");
  }
}

const std::string kList = "[FileList]\r\na.jpg=1\r\n";
const std::string kSet = "[Default]\r\nDuration=9\r\n";
const std::string kUi = "[UI]\r\nUIFile=x.veu\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsContainerTest,
    ::testing::Values(SettingsCountCase{"Two", {kList, kSet}, false},
                      SettingsCountCase{"Three", {kList, kSet, kUi}, true},
                      SettingsCountCase{"Four", {kList, kSet, kUi, "nested"}, true},
                      SettingsCountCase{"Five", {kList, kSet, kUi, "n", "m"}, false},
                      SettingsCountCase{"Zero", {}, false}),
    [](const auto& info) { return info.param.name; });

TEST(LoadSettingsFile, ARecordMissingFromTheFileLoadsAsEmpty) {
  ScratchDir dir;
  // Count 3, but the file ends after the first record.
  WriteBytes(dir / "VEC.res", ContainerWriter::Header(3) +
                                  ContainerWriter::SizeField(static_cast<uint32_t>(kList.size())) +
                                  kList);
  SaverSettings settings;
  EXPECT_TRUE(LoadSettingsFile(settings, dir / "VEC.res"));
  EXPECT_EQ(settings.FileList.FileNames, (std::vector<std::string>{"a.jpg"}));
  EXPECT_EQ(settings.Setting.Duration, 30);
}

}  // namespace
}  // namespace vec

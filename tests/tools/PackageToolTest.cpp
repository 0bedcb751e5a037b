// vectool's package commands, run as a program: pack, info, settings, extract.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result Vectool(const std::string& args, const ScratchDir& dir) {
  std::string cmd = std::string(VECTOOL_PATH) + " " + args + " >" + dir.path() + "out.txt 2>" +
                    dir.path() + "err.txt";
  int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir / "out.txt"),
          ReadBytes(dir / "err.txt")};
}

// The JSON without the blanks between tokens, so expectations can be written compactly.
std::string Compact(const std::string& json) {
  std::string out;
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    char c = json[i];
    if (inString) {
      out += c;
      if (c == '\\' && i + 1 < json.size())
        out += json[++i];
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
      out += c;
    } else if (c != ' ' && c != '\n') {
      out += c;
    }
  }
  return out;
}

class PackageTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir((dir_ / "files").c_str(), 0755), 0);
    WriteBytes(dir_ / "files/a.jpg", "AAAA");
    WriteBytes(dir_ / "files/b.vep", "BB");
    WriteBytes(dir_ / "files/c.gif", "");
    WriteBytes(dir_ / "files/music.mp3", "MMM");
    WriteBytes(dir_ / "files/prev.jpg", "P");
    WriteBytes(dir_ / "settings.ini",
               "[General]\r\nProductName=Caf\xE9\r\n[Default]\r\nDuration=7\r\nStretch=0\r\n"
               "TransitionEffects=3, 5,,7\r\n[Advance]\r\nPreviewFile=prev.jpg\r\n");
  }
  std::string Pack(const std::string& extra = "") {
    std::string out = dir_ / "Sea.scr";
    Result r = Vectool("pack --files " + dir_ / "files" + " --settings " + dir_ / "settings.ini" +
                           " --out " + out + " " + extra,
                       dir_);
    EXPECT_EQ(r.code, 0) << r.err;
    return out;
  }

  ScratchDir dir_;
};

TEST_F(PackageTool, PackThenInfoRoundTrips) {
  std::string saver = Pack();
  Result r = Vectool("info --json " + saver, dir_);
  ASSERT_EQ(r.code, 0) << r.err;
  std::string j = Compact(r.out);
  EXPECT_NE(j.find("\"records\":[{\"name\":\"VEC.res\",\"size\":"), std::string::npos) << j;
  EXPECT_NE(
      j.find("{\"name\":\"VEFilenames.res\",\"size\":42},{\"name\":\"VEFiles.res\",\"size\":47}"),
      std::string::npos)
      << j;
  EXPECT_NE(j.find("{\"name\":\"VEGUI.veu\",\"size\":0}]"), std::string::npos) << j;
  EXPECT_NE(j.find("\"files\":[{\"name\":\"a.jpg\",\"size\":4},{\"name\":\"b.vep\",\"size\":2},"
                   "{\"name\":\"c.gif\",\"size\":0},{\"name\":\"music.mp3\",\"size\":3},"
                   "{\"name\":\"prev.jpg\",\"size\":1}]"),
            std::string::npos)
      << j;
  // The generated picture list leaves out the preview picture and the music.
  EXPECT_NE(j.find("\"fileList\":{\"FileNames\":[\"a.jpg\",\"b.vep\",\"c.gif\"],"
                   "\"Checked\":[\"TRUE\",\"TRUE\",\"TRUE\"]}"),
            std::string::npos)
      << j;
  EXPECT_NE(j.find("\"ProductName\":\"Caf\xC3\xA9\""), std::string::npos) << j;
  EXPECT_NE(j.find("\"Duration\":7,"), std::string::npos);
  EXPECT_NE(j.find("\"Stretch\":false,"), std::string::npos);
  EXPECT_NE(j.find("\"TransitionTime\":2000,"), std::string::npos);
  EXPECT_NE(j.find("\"CustomIcon\":false}"), std::string::npos);
  EXPECT_NE(j.find("\"UIFile\":\"VEGUI.veu\",\"PreviewFile\":\"prev.jpg\"}"), std::string::npos)
      << j;
}

TEST_F(PackageTool, ExtractGivesBackTheFiles) {
  std::string saver = Pack();
  Result r = Vectool("extract " + saver + " " + dir_ / "out", dir_);
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* name : {"a.jpg", "b.vep", "c.gif", "music.mp3", "prev.jpg"})
    EXPECT_EQ(ReadBytes(dir_ / ("out/" + std::string(name))),
              ReadBytes(dir_ / ("files/" + std::string(name))))
        << name;
  EXPECT_TRUE(testing::Exists(dir_ / "out/VEC.res"));
}

TEST_F(PackageTool, SettingsFollowTheUserFile) {
  std::string saver = Pack();
  WriteBytes(dir_ / "user.ini",
             "[Setting]\r\nImageMode=2\r\nSpeed=20\r\nImageSize=2\r\n[Files]\r\n1=\r\n");
  Result r = Vectool("settings --json " + saver + " --ini " + dir_ / "user.ini", dir_);
  ASSERT_EQ(r.code, 0) << r.err;
  std::string j = Compact(r.out);
  EXPECT_NE(j.find("\"Speed\":500,"), std::string::npos) << j;
  EXPECT_NE(j.find("\"Stretch\":true,\"Proportional\":true,"), std::string::npos) << j;
  // No display keys in the user file: the package's display stays.
  EXPECT_NE(j.find("\"DirectX\":false,\"DirectXQuality\":0,"), std::string::npos) << j;
  EXPECT_NE(j.find("\"Checked\":[\"TRUE\",\"FALSE\",\"TRUE\"]"), std::string::npos) << j;
  EXPECT_NE(j.find("\"PlayList\":[\"a.jpg\",\"c.gif\"]"), std::string::npos) << j;
  EXPECT_NE(j.find("\"EffectList\":[\"3\",\"5\",\"\",\"7\"]"), std::string::npos) << j;
}

TEST_F(PackageTool, SettingsWithoutUserFileAndEmptyEffects) {
  WriteBytes(dir_ / "settings.ini", "[Default]\r\nTransitionEffects=\r\n");
  std::string saver = Pack();
  // A user file beside the saver is the default one; --no-ini leaves it out.
  WriteBytes(dir_ / "Sea.ini", "[Setting]\r\nImageMode=3\r\nIndex=2\r\n");
  Result r = Vectool("settings --json " + saver, dir_);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(Compact(r.out).find("\"PlayList\":[\"c.gif\"]"), std::string::npos) << r.out;
  r = Vectool("settings --json " + saver + " --no-ini", dir_);
  std::string j = Compact(r.out);
  EXPECT_NE(j.find("\"PlayList\":[\"a.jpg\",\"b.vep\",\"c.gif\",\"prev.jpg\"]"), std::string::npos)
      << j;
  EXPECT_NE(j.find("\"DirectX\":false,"), std::string::npos) << j;
  EXPECT_NE(j.find("\"EffectList\":[\"1\"]"), std::string::npos) << j;
}

TEST_F(PackageTool, SaverFromAProgramIsExecutable) {
  WriteBytes(dir_ / "runtime", "pretend runtime image");
  std::string saver = Pack("--saver-from " + dir_ / "runtime");
  struct stat st {};
  ASSERT_EQ(stat(saver.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_EQ(ReadBytes(saver).rfind("pretend runtime image", 0), 0u);
  Result r = Vectool("info --json " + saver, dir_);
  EXPECT_EQ(r.code, 0) << r.err;
  // A program that already carries a package is refused.
  r = Vectool("pack --out " + dir_ / "twice.scr" + " --saver-from " + saver, dir_);
  EXPECT_NE(r.code, 0);
}

struct BadCase {
  const char* name;
  std::string args;  // "$D" stands for the scratch folder
};

class PackageToolBadInput : public ::testing::TestWithParam<BadCase> {};

TEST_P(PackageToolBadInput, OneLineErrorAndNonZeroExit) {
  ScratchDir dir;
  WriteBytes(dir / "plain", "no package");
  std::string args = GetParam().args;
  for (size_t at; (at = args.find("$D")) != std::string::npos;) args.replace(at, 2, dir.path());
  Result r = Vectool(args, dir);
  EXPECT_NE(r.code, 0);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(r.err.rfind("vectool: ", 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PackageToolBadInput,
    ::testing::Values(BadCase{"InfoNoPackage", "info --json $Dplain"},
                      BadCase{"InfoMissing", "info --json $Dmissing"},
                      BadCase{"InfoNoFile", "info --json"},
                      BadCase{"SettingsNoPackage", "settings --json $Dplain"},
                      BadCase{"SettingsMissingIni", "settings --json $Dplain --ini $Dnone.ini"},
                      BadCase{"ExtractNoPackage", "extract $Dplain $Dout"},
                      BadCase{"PackNoOut", "pack --files $D"},
                      BadCase{"PackMissingFolder", "pack --files $Dnone --out $Dx"},
                      BadCase{"PackMissingSettings", "pack --settings $Dnone --out $Dx"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vec

namespace vec {
namespace {

// Options given as --name=VALUE must each keep their own value: a reader that handed out
// one shared buffer made every option read as the last one, so --files and --settings
// both named the output. Both spellings must build the same saver.
TEST(VectoolOptions, EqualsAndSpaceFormsReadTheirOwnValues) {
  ScratchDir dir;
  ASSERT_EQ(mkdir((dir / "files").c_str(), 0755), 0);
  WriteBytes(dir / "files/a.jpg", "AAAA");
  WriteBytes(dir / "settings.ini", "[General]\r\nProductName=Pier\r\n[Default]\r\nDuration=9\r\n");
  const Result spaced = Vectool("pack --files " + dir / "files" + " --settings " +
                                    dir / "settings.ini" + " --out " + dir / "One.scr",
                                dir);
  ASSERT_EQ(spaced.code, 0) << spaced.err;
  const Result equals =
      Vectool("pack --files=" + dir / "files" + " --settings=" + dir / "settings.ini" +
                  " --out=" + dir / "Two.scr",
              dir);
  ASSERT_EQ(equals.code, 0) << equals.err;
  EXPECT_EQ(ReadBytes(dir / "One.scr"), ReadBytes(dir / "Two.scr"));
  const Result infoSpaced = Vectool("settings --json " + dir / "Two.scr", dir);
  EXPECT_EQ(infoSpaced.code, 0) << infoSpaced.err;
  EXPECT_NE(Compact(infoSpaced.out).find("\"Duration\":9"), std::string::npos) << infoSpaced.out;
}

}  // namespace
}  // namespace vec

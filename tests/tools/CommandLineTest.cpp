// vectool's command line, run as a program: both option spellings, help per command, range
// checks, unknown options and commands, and the exit codes of bad usage.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/tools/VectoolRun.h"

namespace vec {
namespace {

using testing::Exists;
using testing::GetLe;
using testing::ListDir;
using testing::Mentions;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::SolidBmp;
using testing::Vectool;
using testing::WriteBytes;
using Result = testing::ToolResult;

// A saver of one still picture, for render.
std::string PackSaver(const ScratchDir& dir) {
  mkdir((dir / "files").c_str(), 0755);
  WriteBytes(dir / "files/a.bmp", SolidBmp(16, 12, 200, 30, 30));
  WriteBytes(dir / "settings.ini", "[Default]\r\nDuration=1\r\n");
  const std::string saver = dir / "S.scr";
  const Result r = Vectool(
      "pack --files " + dir / "files" + " --settings " + dir / "settings.ini" + " --out " + saver,
      dir);
  EXPECT_EQ(r.code, 0) << r.err;
  return saver;
}

// Catches a value lost or given to the wrong option in the --name=VALUE spelling: the frames
// must have the size asked for, their number must follow --seconds and --fps, and they must
// land in --out, byte for byte as with the spaced spelling.
TEST(VectoolCommandLine, RenderReadsEachValueInBothSpellings) {
  ScratchDir dir;
  const std::string saver = PackSaver(dir);
  const Result equals = Vectool(
      "render " + saver + " --size=64x48 --seconds=2 --fps=5 --seed=3 --out=" + dir / "eq", dir);
  ASSERT_EQ(equals.code, 0) << equals.err;
  const Result spaced = Vectool(
      "render " + saver + " --size 64x48 --seconds 2 --fps 5 --seed 3 --out " + dir / "sp", dir);
  ASSERT_EQ(spaced.code, 0) << spaced.err;

  const std::vector<std::string> frames = ListDir(dir / "eq");
  EXPECT_EQ(frames.size(), 10u);  // 2 seconds at 5 frames a second
  ASSERT_EQ(ListDir(dir / "sp"), frames);
  for (const std::string& f : frames)
    EXPECT_EQ(ReadBytes(dir / ("eq/" + f)), ReadBytes(dir / ("sp/" + f))) << f;
  const std::string first = ReadBytes(dir / "eq/frame0001.bmp");
  ASSERT_GE(first.size(), 26u);
  EXPECT_EQ(GetLe(first, 18), 64u);
  const auto height = static_cast<int32_t>(GetLe(first, 22));
  EXPECT_EQ(height < 0 ? -height : height, 48);
}

// Catches an option without the = spelling on a command other than render, and --json read
// as taking the file as its value.
TEST(VectoolCommandLine, SettingsTakesIniInBothSpellings) {
  ScratchDir dir;
  const std::string saver = PackSaver(dir);
  WriteBytes(dir / "user.ini", "[Setting]\r\nSpeed=20\r\n");
  const Result equals = Vectool("settings --json " + saver + " --ini=" + dir / "user.ini", dir);
  ASSERT_EQ(equals.code, 0) << equals.err;
  const Result spaced = Vectool("settings " + saver + " --json --ini " + dir / "user.ini", dir);
  ASSERT_EQ(spaced.code, 0) << spaced.err;
  EXPECT_EQ(equals.out, spaced.out);
  EXPECT_TRUE(Mentions(equals.out, "\"Speed\": 500")) << equals.out;
}

struct HelpCase {
  const char* command;
  std::vector<std::string> names;  // options and positionals the help must name
};

class VectoolHelp : public ::testing::TestWithParam<HelpCase> {};

// Catches a command whose --help is missing, exits non-zero, describes the whole program
// instead of the command, or leaves options out.
TEST_P(VectoolHelp, NamesTheCommandsOptionsAndExitsZero) {
  ScratchDir dir;
  const Result r = Vectool(std::string(GetParam().command) + " --help", dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Mentions(r.out, "vectool " + std::string(GetParam().command))) << r.out;
  for (const std::string& name : GetParam().names) EXPECT_TRUE(Mentions(r.out, name)) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, VectoolHelp,
    ::testing::Values(
        HelpCase{"info", {"FILE", "--json"}},
        HelpCase{"settings", {"FILE", "--json", "--ini", "--no-ini"}},
        HelpCase{"extract", {"FILE", "DIR"}},
        HelpCase{"pack",
                 {"--out", "--files", "--settings", "--filelist", "--uisettings", "--ui",
                  "--saver-from"}},
        HelpCase{"vep", {"--picture", "--mask", "--settings", "--preview", "-o,--output"}},
        HelpCase{"effect",
                 {"--list", "--number", "--percent", "--old", "--new", "--out", "--seed"}},
        HelpCase{
            "gallery",
            {"--old", "--new", "--out", "--size", "--frames", "--seed", "--format", "--quality"}},
        HelpCase{"animate",
                 {"FILE", "--size", "--seconds", "--fps", "--seed", "--keep-aspect", "--out",
                  "--quality"}},
        HelpCase{
            "render",
            {"SAVER", "--size", "--seconds", "--fps", "--seed", "--ini", "--out", "--quality"}},
        HelpCase{"install", {"SAVER", "--list", "--uninstall", "--for", "--system", "--runtime"}}),
    [](const auto& info) { return std::string(info.param.command); });

struct RefusedCase {
  const char* name;
  std::string args;    // "$D" stands for the scratch folder
  std::string option;  // the option the message must name
};

class VectoolRefuses : public ::testing::TestWithParam<RefusedCase> {};

// Catches a range check that is missing or off by one, and a message that does not say which
// option is wrong. The command must not run: nothing is written to $Dout.
TEST_P(VectoolRefuses, BadValueWithOneLineNamingTheOption) {
  ScratchDir dir;
  std::string args = GetParam().args;
  for (size_t at; (at = args.find("$D")) != std::string::npos;) args.replace(at, 2, dir.path());
  const Result r = Vectool(args, dir);
  EXPECT_NE(r.code, 0);
  EXPECT_EQ(r.err.rfind("vectool: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(Mentions(r.err, GetParam().option)) << r.err;
  EXPECT_FALSE(Exists(dir / "out"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VectoolRefuses,
    ::testing::Values(
        RefusedCase{"PercentAbove100",
                    "effect --number 1 --percent 101 --old $Da --new $Db --out $Dout", "--percent"},
        RefusedCase{"PercentBelow0",
                    "effect --number 1 --percent -1 --old $Da --new $Db --out $Dout", "--percent"},
        RefusedCase{"EffectNumber0",
                    "effect --number 0 --percent 5 --old $Da --new $Db --out $Dout", "--number"},
        RefusedCase{"EffectNumberPastTheTable",
                    "effect --number 170 --percent 5 --old $Da --new $Db --out $Dout", "--number"},
        RefusedCase{"RenderFps0", "render $Ds --size 8x8 --seconds 1 --fps 0 --out $Dout", "--fps"},
        RefusedCase{"RenderSizeZero", "render $Ds --size 0x8 --seconds 1 --out $Dout", "--size"},
        RefusedCase{"RenderSizeNotWxH", "render $Ds --size=8 --seconds 1 --out $Dout", "--size"},
        RefusedCase{"RenderSecondsPastAnHour", "render $Ds --size 8x8 --seconds 3601 --out $Dout",
                    "--seconds"},
        RefusedCase{"RenderSeedNegative", "render $Ds --size 8x8 --seconds 1 --seed -1 --out $Dout",
                    "--seed"},
        RefusedCase{"GalleryOneFrame", "gallery --old $Da --new $Db --out $Dout --frames 1",
                    "--frames"},
        RefusedCase{"GalleryHexSeed", "gallery --old $Da --new $Db --out $Dout --seed 0x10",
                    "--seed"},
        RefusedCase{"GalleryFormatUnknown", "gallery --old $Da --new $Db --out $Dout --format png",
                    "--format"},
        RefusedCase{"RenderQualityPast100",
                    "render $Ds --size 8x8 --seconds 1 --quality 101 --out $Dout", "--quality"},
        RefusedCase{"AnimateQualityNegative",
                    "animate $Da --size 8x8 --seconds 1 --quality -1 --out $Dout", "--quality"},
        RefusedCase{"AnimateNegativeSeconds", "animate $Da --size 8x8 --seconds -1 --out $Dout",
                    "--seconds"},
        RefusedCase{"RenderMissingOut", "render $Ds --size 8x8 --seconds 1", "--out"},
        RefusedCase{"UnknownOption", "pack --out $Dout --bogus", "--bogus"},
        RefusedCase{"UnknownOptionAfterValidOnes",
                    "render $Ds --size 8x8 --seconds 1 --out $Dout --frames 3", "--frames"},
        RefusedCase{"ListWithAFrameOption", "effect --list --number 3", "--number"}),
    [](const auto& info) { return info.param.name; });

// Catches a whole-number option handed to a converter that reads a leading 0 as octal:
// --percent 010 must draw the same frame as --percent 10, not as --percent 8.
TEST(VectoolCommandLine, LeadingZeroIsDecimal) {
  ScratchDir dir;
  WriteBytes(dir / "old.bmp", SolidBmp(8, 8, 0, 0, 0));
  WriteBytes(dir / "new.bmp", SolidBmp(8, 8, 250, 250, 250));
  auto frame = [&](const std::string& percent) {
    const std::string out = dir / ("p" + percent + ".bmp");
    const Result r = Vectool("effect --number 1 --seed 1 --percent " + percent + " --old " +
                                 dir / "old.bmp" + " --new " + dir / "new.bmp" + " --out " + out,
                             dir);
    EXPECT_EQ(r.code, 0) << r.err;
    return ReadBytes(out);
  };
  const std::string ten = frame("10");
  ASSERT_FALSE(ten.empty());
  EXPECT_EQ(frame("010"), ten);
  EXPECT_NE(frame("8"), ten);  // the effect does tell 8 % from 10 %
}

// Catches the exit codes of bad usage drifting: 2 for no command, an unknown command and
// wrong install options; 1 for a known command given bad options; 0 for help.
TEST(VectoolCommandLine, ExitCodesOfUsage) {
  ScratchDir dir;
  EXPECT_EQ(Vectool("", dir).code, 2);
  const Result unknown = Vectool("paint", dir);
  EXPECT_EQ(unknown.code, 2);
  EXPECT_TRUE(Mentions(unknown.err, "paint")) << unknown.err;
  EXPECT_EQ(Vectool("install --bogus", dir).code, 2);
  EXPECT_EQ(Vectool("install", dir).code, 2);
  EXPECT_EQ(Vectool("pack --bogus", dir).code, 1);
  EXPECT_EQ(Vectool("extract onlyone", dir).code, 1);
  const Result help = Vectool("help", dir);
  EXPECT_EQ(help.code, 0);
  for (const char* command : {"info", "settings", "extract", "pack", "vep", "effect", "gallery",
                              "animate", "render", "install"})
    EXPECT_TRUE(Mentions(help.out, command)) << command;
  EXPECT_EQ(Vectool("--help", dir).code, 0);
}

}  // namespace
}  // namespace vec

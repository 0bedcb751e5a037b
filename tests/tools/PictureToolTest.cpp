// vectool's picture-file commands as a program: vep builds a picture file that info reads
// back field by field, and animate plays one on its simulated clock into BMP frames or a GIF.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Jpeg.h"
#include "tests/tools/DecodedGif.h"
#include "tests/tools/VectoolRun.h"

namespace vec {
namespace {

using testing::Argb;
using testing::BmpFile;
using testing::BmpSize;
using testing::Exists;
using testing::GradientBmp;
using testing::ListDir;
using testing::Mentions;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::ToolResult;
using testing::Vectool;
using testing::WaterPicture;
using testing::WriteBytes;
using Json = nlohmann::json;

// The area colours as 0xRRGGBB: area 1 is blue, 2 magenta, 3 red, 4 yellow.
using testing::kArea1;
constexpr Argb kArea4 = 0xFFFF00;

// Columns 0..9 area 1 (200 pixels), the top five rows of columns 40..49 area 4 (50 pixels),
// the rest no area (750 pixels).
std::string MaskBmp() {
  return BmpFile(50, 20, 24, [](int32_t x, int32_t y) -> Argb {
    if (x < 10) return kArea1;
    if (x >= 40 && y < 5) return kArea4;
    return 0;
  });
}

constexpr const char* kSettings =
    "[Picture]\r\nTitle=Harbour\r\nAuthor=Someone\r\n"
    "[Wave2]\r\nAmplitude=7\r\nCycles=3\r\nPhaseStep=-4\r\nForward=1\r\nPeriod=180\r\n"
    "[Weather]\r\nKind=2\r\nCount=40\r\nSpeedIndex=12\r\nAngle=75\r\n"
    "[Sound1]\r\nFileName=surf.wav\r\nPlayMode=2\r\nIntervalMin=3\r\nIntervalMax=9\r\n"
    "[Obj0]\r\nObjType=GIF\r\nFilename=boat.gif\r\n"
    "[Obj1]\r\nObjType=IMG\r\nFilename=bird.bmp\r\n";

Json InfoJson(const std::string& file, const ScratchDir& dir) {
  const ToolResult r = Vectool("info --json " + file, dir);
  EXPECT_EQ(r.code, 0) << r.err;
  return Json::parse(r.out, nullptr, false);
}

// Catches a field of the settings lost or put in the wrong record on the way into the file
// or back out of it: the second wave set read as the first, the weather's angle and speed
// swapped, the sound's two interval bounds swapped, the objects' order changed, and the
// mask's area colours read in the wrong byte order (blue area 1 would count as area 3).
TEST(VectoolVep, InfoReadsBackEveryRecordItWrote) {
  ScratchDir dir;
  WriteBytes(dir / "pic.bmp", GradientBmp(50, 20));
  WriteBytes(dir / "mask.bmp", MaskBmp());
  WriteBytes(dir / "pic.ini", kSettings);
  const ToolResult made =
      Vectool("vep --picture " + dir / "pic.bmp" + " --mask " + dir / "mask.bmp" + " --settings " +
                  dir / "pic.ini" + " -o " + dir / "pic.vep",
              dir);
  ASSERT_EQ(made.code, 0) << made.err;

  const Json j = InfoJson(dir / "pic.vep", dir);
  ASSERT_TRUE(j.is_object());
  EXPECT_EQ(j["loaded"], true);
  EXPECT_EQ(j["Title"], "Harbour");
  EXPECT_EQ(j["Author"], "Someone");
  EXPECT_EQ(j["width"], 50);
  EXPECT_EQ(j["height"], 20);
  // The preview is 160 wide by default, its height in proportion: 20 x 160 / 50.
  EXPECT_EQ(j["previewWidth"], 160);
  EXPECT_EQ(j["previewHeight"], 64);
  EXPECT_EQ(j["waves"][0]["Amplitude"], 0);
  EXPECT_EQ(j["waves"][1]["Amplitude"], 7);
  EXPECT_EQ(j["waves"][1]["Cycles"], 3);
  EXPECT_EQ(j["waves"][1]["PhaseStep"], -4);
  EXPECT_EQ(j["waves"][1]["Forward"], 1);
  EXPECT_EQ(j["waves"][1]["Period"], 180);
  EXPECT_EQ(j["waves"][2]["Period"], 360);
  EXPECT_EQ(j["mask"]["width"], 50);
  EXPECT_EQ(j["mask"]["height"], 20);
  EXPECT_EQ(j["mask"]["counts"], Json::array({750, 200, 0, 0, 50}));
  EXPECT_EQ(j["weather"]["Kind"], 2);
  EXPECT_EQ(j["weather"]["Count"], 40);
  EXPECT_EQ(j["weather"]["SpeedIndex"], 12);
  EXPECT_EQ(j["weather"]["Angle"], 75);
  EXPECT_EQ(j["SoundCount"], 1);
  EXPECT_EQ(j["sounds"][0]["FileName"], "surf.wav");
  EXPECT_EQ(j["sounds"][0]["PlayMode"], 2);
  EXPECT_EQ(j["sounds"][0]["IntervalMin"], 3);
  EXPECT_EQ(j["sounds"][0]["IntervalMax"], 9);
  ASSERT_EQ(j["objects"].size(), 2u);
  EXPECT_EQ(j["objects"][0]["type"], "GIF");
  EXPECT_EQ(j["objects"][0]["Filename"], "boat.gif");
  EXPECT_EQ(j["objects"][1]["section"], 1);
  EXPECT_EQ(j["objects"][1]["Filename"], "bird.bmp");

  // The one-line form says the same.
  const ToolResult line = Vectool("info " + dir / "pic.vep", dir);
  EXPECT_EQ(line.code, 0);
  EXPECT_EQ(line.out, dir / "pic.vep" + ": 50 x 20, \"Harbour\", 1 sounds, 2 objects\n");
}

// Catches the preview's proportion worked from the wrong side (width from height), a
// PreviewWidth setting that is ignored, and a mask-less picture whose mask is not the
// picture's size.
TEST(VectoolVep, PreviewWidthSetsThePreviewAndNoMaskMeansNoWater) {
  ScratchDir dir;
  WriteBytes(dir / "pic.bmp", GradientBmp(50, 20));
  WriteBytes(dir / "pic.ini", "[Picture]\r\nPreviewWidth=25\r\n");
  const ToolResult made = Vectool("vep --picture " + dir / "pic.bmp" + " --settings " +
                                      dir / "pic.ini" + " -o " + dir / "p.vep",
                                  dir);
  ASSERT_EQ(made.code, 0) << made.err;
  const Json j = InfoJson(dir / "p.vep", dir);
  EXPECT_EQ(j["previewWidth"], 25);
  EXPECT_EQ(j["previewHeight"], 10);  // 20 x 25 / 50
  EXPECT_EQ(j["mask"]["width"], 50);
  EXPECT_EQ(j["mask"]["height"], 20);
  EXPECT_EQ(j["mask"]["counts"], Json::array({1000, 0, 0, 0, 0}));
  EXPECT_EQ(j["SoundCount"], 0);
}

// Catches a JPEG picture decoded and encoded again (losing quality) instead of stored as
// it is.
TEST(VectoolVep, JpegPictureIsStoredByteForByte) {
  ScratchDir dir;
  BlendBitmap image(24, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 24; ++x) image.SetPixel(x, y, MakePixel(x * 10, y * 15, 90));
  auto jpeg = EncodeJpeg(image, 75);
  ASSERT_TRUE(jpeg.ok());
  const std::string jpegBytes(jpeg->begin(), jpeg->end());
  WriteBytes(dir / "pic.jpg", jpegBytes);
  const ToolResult made = Vectool("vep --picture " + dir / "pic.jpg" + " -o " + dir / "p.vep", dir);
  ASSERT_EQ(made.code, 0) << made.err;
  EXPECT_TRUE(Mentions(ReadBytes(dir / "p.vep"), jpegBytes));
  EXPECT_EQ(InfoJson(dir / "p.vep", dir)["width"], 24);
}

struct BadInput {
  const char* name;
  std::string args;     // "$D" stands for the scratch folder
  std::string message;  // what the one line must say
};

class VectoolPictureRefuses : public ::testing::TestWithParam<BadInput> {};

// Catches a missing or damaged input that crashes the tool, is reported as success, or
// gets a message that does not say what is wrong; and an output written anyway.
TEST_P(VectoolPictureRefuses, WithOneLineAndNoOutput) {
  ScratchDir dir;
  WriteBytes(dir / "pic.bmp", GradientBmp(50, 20));
  WriteBytes(dir / "junk.vep", "this is not a picture file at all");
  WriteBytes(dir / "long.ini", "[Sound2]\r\nFileName=" + std::string(256, 'a') + ".wav\r\n");
  ASSERT_EQ(Vectool("vep --picture " + dir / "pic.bmp" + " -o " + dir / "good.vep", dir).code, 0);
  // The first half of a good file: the records end in the middle.
  const std::string good = ReadBytes(dir / "good.vep");
  WriteBytes(dir / "half.vep", good.substr(0, good.size() / 2));

  std::string args = GetParam().args;
  for (size_t at; (at = args.find("$D")) != std::string::npos;) args.replace(at, 2, dir.path());
  const ToolResult r = Vectool(args, dir);
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_TRUE(Mentions(r.err, GetParam().message)) << r.err;
  EXPECT_FALSE(Exists(dir / "out.vep"));
  EXPECT_FALSE(Exists(dir / "frames"));
  EXPECT_FALSE(Exists(dir / "frames.gif"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VectoolPictureRefuses,
    ::testing::Values(
        BadInput{"VepMissingPicture", "vep --picture $Dnone.bmp -o $Dout.vep", "none.bmp"},
        BadInput{"VepPictureNotAnImage", "vep --picture $Djunk.vep -o $Dout.vep", "junk.vep"},
        BadInput{"VepMissingMask", "vep --picture $Dpic.bmp --mask $Dnomask.bmp -o $Dout.vep",
                 "nomask.bmp"},
        BadInput{"VepSoundNameTooLong",
                 "vep --picture $Dpic.bmp --settings $Dlong.ini -o $Dout.vep",
                 "Sound2: FileName is longer than 255 characters"},
        BadInput{"VepMissingSettings", "vep --picture $Dpic.bmp --settings $Dnone.ini -o $Dout.vep",
                 "none.ini"},
        BadInput{"InfoNotAPictureFile", "info $Djunk.vep", "not loaded: "},
        BadInput{"InfoTruncatedPictureFile", "info $Dhalf.vep", "not loaded: "},
        BadInput{"AnimateMissingFile", "animate $Dnone.vep --size 8x8 --seconds 1 --out $Dframes",
                 "cannot load"},
        BadInput{"AnimateTruncatedFile", "animate $Dhalf.vep --size 8x8 --seconds 1 --out $Dframes",
                 "cannot load"},
        BadInput{"AnimateNoSeconds", "animate $Dgood.vep --size 8x8 --seconds 0 --out $Dframes",
                 "--seconds"},
        BadInput{"AnimateNoSecondsGif",
                 "animate $Dgood.vep --size 8x8 --seconds 0 --out $Dframes.gif", "--seconds"},
        BadInput{"AnimateTooManyFrames",
                 "animate $Dgood.vep --size 8x8 --seconds 101 --fps 1000 --out $Dframes",
                 "too many frames"}),
    [](const auto& info) { return info.param.name; });

// A damaged file is bad input: the one-line form says so on stderr like every command, the
// JSON form says loaded: false. Catches either of them reported with exit code 0, and the
// error mixed into the standard output of a listing.
TEST(VectoolPictureInfo, DamagedFileIsReportedNotLoaded) {
  ScratchDir dir;
  WriteBytes(dir / "junk.vep", "VEPX and nothing else");
  const ToolResult text = Vectool("info " + dir / "junk.vep", dir);
  EXPECT_EQ(text.code, 1);
  EXPECT_TRUE(text.out.empty()) << text.out;
  EXPECT_EQ(text.err.rfind("vectool: " + dir / "junk.vep" + ": not loaded: ", 0), 0u) << text.err;
  const ToolResult json = Vectool("info --json " + dir / "junk.vep", dir);
  EXPECT_EQ(json.code, 1);
  const Json j = Json::parse(json.out, nullptr, false);
  ASSERT_TRUE(j.is_object()) << json.out;
  EXPECT_EQ(j["loaded"], false);
  EXPECT_TRUE(j["error"].is_string());
}

std::string Frame(const ScratchDir& dir, const std::string& folder, int k) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame%04d.bmp", k);
  return ReadBytes(dir / (folder + name));
}

// Frame k is the tick run at k x (1000 div F) ms, and a tick draws the water where the
// ticks before it left it: frame k shows the phase of (k - 1) x (1000 div F) ms. So frame 10
// at 10 fps and frame 19 at 20 fps both show 900 ms, frame 5 and frame 9 both 400 ms, and
// the first frames of both runs the phase of 0 ms. Catches a clock step not tied to --fps
// (1000 / 20 = 50 ms), a frame written before its tick or one tick late, and water that
// does not move at all.
TEST(VectoolAnimate, FramesFollowTheSimulatedClock) {
  ScratchDir dir;
  const std::string vep = WaterPicture(dir);
  ASSERT_FALSE(vep.empty());
  ASSERT_EQ(
      Vectool("animate " + vep + " --size 30x30 --seconds 1 --fps 10 --out " + dir / "f10", dir)
          .code,
      0);
  ASSERT_EQ(
      Vectool("animate " + vep + " --size=30x30 --seconds=1 --fps=20 --out=" + dir / "f20", dir)
          .code,
      0);
  EXPECT_EQ(ListDir(dir / "f10").size(), 10u);
  EXPECT_EQ(ListDir(dir / "f20").size(), 20u);
  EXPECT_EQ(ListDir(dir / "f10").front(), "frame0001.bmp");
  EXPECT_TRUE(Frame(dir, "f10", 10) == Frame(dir, "f20", 19));
  EXPECT_TRUE(Frame(dir, "f10", 5) == Frame(dir, "f20", 9));
  EXPECT_TRUE(Frame(dir, "f10", 1) == Frame(dir, "f20", 1));
  EXPECT_TRUE(Frame(dir, "f10", 10) != Frame(dir, "f20", 20));
  EXPECT_TRUE(Frame(dir, "f10", 5) != Frame(dir, "f10", 10));
  const auto [w, h] = BmpSize(Frame(dir, "f10", 1));
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 30);
}

// Catches --keep-aspect not reaching the fit (a 40 x 20 picture kept in proportion inside
// 30 x 30 is 30 x 15) and the GIF delays not adding up to the played time: at 7 frames a
// second, frame k is due at k x 100 div 7 hundredths, so the delays are 14, 14, 14, 15, 14,
// 14, 15.
TEST(VectoolAnimate, GifHasTheFittedSizeAndDelaysThatAddUpToTheSeconds) {
  ScratchDir dir;
  const std::string vep = WaterPicture(dir);
  ASSERT_FALSE(vep.empty());
  const ToolResult r = Vectool(
      "animate " + vep + " --size 30x30 --seconds 1 --fps 7 --keep-aspect --out " + dir / "a.gif",
      dir);
  ASSERT_EQ(r.code, 0) << r.err;
  const auto gif = testing::DecodeGif(dir / "a.gif");
  ASSERT_TRUE(gif.has_value());
  EXPECT_EQ(gif->width, 30);
  EXPECT_EQ(gif->height, 15);
  EXPECT_EQ(gif->delaysCs, (std::vector<int32_t>{14, 14, 14, 15, 14, 14, 15}));
  EXPECT_TRUE(gif->loops);

  // Without --keep-aspect the picture fills the size, in BMP frames as well.
  ASSERT_EQ(
      Vectool("animate " + vep + " --size 30x30 --seconds 1 --fps 1 --out " + dir / "bmp", dir)
          .code,
      0);
  const auto [w, h] = BmpSize(Frame(dir, "bmp", 1));
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 30);
}

// The scattered water draws one random offset per column. Catches --seed not fixing the
// generator (two runs would differ) or not being used at all (two seeds would agree).
TEST(VectoolAnimate, SeedFixesTheRandomWater) {
  ScratchDir dir;
  const std::string vep = WaterPicture(dir, "Scatter=8\r\n");
  ASSERT_FALSE(vep.empty());
  for (const char* run : {"a", "b", "c"}) {
    const std::string seed = std::string(run) == "c" ? "4" : "3";
    const ToolResult r = Vectool("animate " + vep + " --size 40x20 --seconds 1 --fps 2 --seed " +
                                     seed + " --out " + dir / run,
                                 dir);
    ASSERT_EQ(r.code, 0) << r.err;
  }
  EXPECT_TRUE(Frame(dir, "a", 2) == Frame(dir, "b", 2));
  EXPECT_TRUE(Frame(dir, "a", 2) != Frame(dir, "c", 2));
}

}  // namespace
}  // namespace vec

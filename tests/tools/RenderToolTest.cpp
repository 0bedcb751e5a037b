// vectool render as a program: a saver's whole show played on the simulated clock, its frames
// checked for the picture each one must show, its GIF decoded apart from the writer.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/tools/DecodedGif.h"
#include "tests/tools/VectoolRun.h"

namespace vec {
namespace {

using testing::BmpPixel;
using testing::BmpSize;
using testing::Exists;
using testing::ListDir;
using testing::Mentions;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::SolidBmp;
using testing::ToolResult;
using testing::Vectool;
using testing::WriteBytes;

constexpr uint32_t kRed = 0xC81E1E, kGreen = 0x1EC81E, kBlue = 0x1E1EC8;

// A saver of solid pictures a.bmp, b.bmp, ... (16 x 12) in the colours given, with the
// [Default] keys given.
std::string PackSaver(const ScratchDir& dir, const std::vector<uint32_t>& colours,
                      const std::string& defaults) {
  mkdir((dir / "files").c_str(), 0755);
  char name = 'a';
  for (uint32_t c : colours) {
    WriteBytes(dir / ("files/" + std::string(1, name++) + ".bmp"),
               SolidBmp(16, 12, static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                        static_cast<uint8_t>(c)));
  }
  WriteBytes(dir / "settings.ini", "[Default]\r\n" + defaults);
  const std::string saver = dir / "S.scr";
  const ToolResult r = Vectool(
      "pack --files " + dir / "files" + " --settings " + dir / "settings.ini" + " --out " + saver,
      dir);
  EXPECT_EQ(r.code, 0) << r.err;
  return saver;
}

// The centre colour of each frame in a folder of numbered frames.
std::vector<uint32_t> CentreColours(const std::string& folder) {
  std::vector<uint32_t> out;
  for (const std::string& f : ListDir(folder)) {
    const std::string bmp = ReadBytes(folder + "/" + f);
    const auto [w, h] = BmpSize(bmp);
    out.push_back(BmpPixel(bmp, w / 2, h / 2) & 0xFFFFFF);
  }
  return out;
}

std::vector<uint32_t> Repeat(const std::vector<std::pair<uint32_t, int>>& runs) {
  std::vector<uint32_t> out;
  for (const auto& [colour, n] : runs) out.insert(out.end(), n, colour);
  return out;
}

constexpr const char* kInOrder = "Duration=1\r\nTransition=0\r\nShowImageMode=1\r\n";

// At 10 frames a second, frame k is drawn at (k - 1) x 100 ms; the picture changes once a
// whole second has passed, so frames 1..10 show the first picture, 11..20 the second and
// 21..30 the first again. Catches a duration counted in frames or from the wrong start, a
// change a frame early or late, pictures played out of order, frames of the wrong size, and
// the clearing of the screen before a picture without a transition written as a black frame
// of its own (the window never shows it: its next repaint already has the new picture).
TEST(VectoolRender, PicturesChangeOnTheSimulatedSecond) {
  ScratchDir dir;
  const std::string saver = PackSaver(dir, {kRed, kBlue}, kInOrder);
  const ToolResult r =
      Vectool("render " + saver + " --size 40x24 --seconds 3 --fps 10 --out " + dir / "f", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Mentions(r.err, "30 frames")) << r.err;
  EXPECT_EQ(CentreColours(dir / "f"), Repeat({{kRed, 10}, {kBlue, 10}, {kRed, 10}}));
  const std::string first = ReadBytes(dir / "f/frame0001.bmp");
  EXPECT_EQ(BmpSize(first), std::make_pair(40, 24));
  // Stretched over the whole screen: the corners are the picture's too.
  EXPECT_EQ(BmpPixel(first, 0, 0) & 0xFFFFFF, kRed);
  EXPECT_EQ(BmpPixel(first, 39, 23) & 0xFFFFFF, kRed);
}

// Catches the GIF's screen not being --size, frames lost, and delays that do not give
// 1 / fps seconds a frame (4 frames a second: 25 hundredths each).
TEST(VectoolRender, GifHasTheSizeFramesAndDelays) {
  ScratchDir dir;
  const std::string saver = PackSaver(dir, {kRed, kBlue}, kInOrder);
  const ToolResult r =
      Vectool("render " + saver + " --size 32x20 --seconds 2 --fps 4 --out " + dir / "s.gif", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  const auto gif = testing::DecodeGif(dir / "s.gif");
  ASSERT_TRUE(gif.has_value());
  EXPECT_EQ(gif->width, 32);
  EXPECT_EQ(gif->height, 20);
  EXPECT_EQ(gif->delaysCs, std::vector<int32_t>(8, 25));
  ASSERT_EQ(gif->frames.size(), 8u);
  // The palette has six levels of red and blue, 51 apart, and the dither may pick the
  // level on either side: a colour is within 60 of where it should be.
  EXPECT_TRUE(testing::Near(gif->At(0, 16, 10), kRed, 60));
  EXPECT_TRUE(testing::Near(gif->At(3, 31, 19), kRed, 60));
  EXPECT_TRUE(testing::Near(gif->At(4, 16, 10), kBlue, 60));
  EXPECT_TRUE(testing::Near(gif->At(7, 0, 0), kBlue, 60));
}

// The user's file chooses one picture (ImageMode 3, Index 1: the second). Catches --ini
// not applied and an index counted from 1.
TEST(VectoolRender, UserSettingsFileChoosesThePictures) {
  ScratchDir dir;
  const std::string saver = PackSaver(dir, {kRed, kBlue, kGreen}, kInOrder);
  WriteBytes(dir / "user.ini", "[Setting]\r\nImageMode=3\r\nIndex=1\r\n");
  const ToolResult r = Vectool("render " + saver + " --size 8x8 --seconds 3 --fps 2 --ini " +
                                   dir / "user.ini" + " --out " + dir / "f",
                               dir);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(CentreColours(dir / "f"), Repeat({{kBlue, 6}}));
}

// In random order the generator picks each next picture. Catches --seed not fixing the
// generator (the same seed gives another order) or never reaching it (every seed gives one
// order).
TEST(VectoolRender, SeedFixesTheRandomOrder) {
  ScratchDir dir;
  const std::string saver =
      PackSaver(dir, {kRed, kBlue, kGreen}, "Duration=1\r\nTransition=0\r\nShowImageMode=0\r\n");
  auto order = [&](int seed) {
    const std::string out = dir / ("s" + std::to_string(seed));
    const ToolResult r = Vectool("render " + saver + " --size 8x8 --seconds 6 --fps 1 --seed " +
                                     std::to_string(seed) + " --out " + out,
                                 dir);
    EXPECT_EQ(r.code, 0) << r.err;
    return CentreColours(out);
  };
  const std::vector<uint32_t> first = order(1);
  ASSERT_EQ(first.size(), 6u);
  for (size_t i = 1; i < first.size(); ++i) EXPECT_NE(first[i], first[i - 1]) << i;
  EXPECT_EQ(order(1), first);
  bool another = false;
  for (int seed = 2; seed <= 6 && !another; ++seed) another = order(seed) != first;
  EXPECT_TRUE(another);
}

// A picture file's water goes on moving between the frames of one picture, on the show's
// clock: catches the engine not ticked (or ticked without time passing) between presents,
// and a picture file not fitted to the screen.
TEST(VectoolRender, WaterOfAPictureFileMovesFromFrameToFrame) {
  ScratchDir dir;
  const std::string vep = testing::WaterPicture(dir);
  ASSERT_FALSE(vep.empty());
  mkdir((dir / "files").c_str(), 0755);
  WriteBytes(dir / "files/w.vep", ReadBytes(vep));
  const std::string saver = PackSaver(dir, {}, "Duration=60\r\nTransition=0\r\n");
  const ToolResult r =
      Vectool("render " + saver + " --size 60x24 --seconds 1 --fps 5 --out " + dir / "f", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<std::string> frames = ListDir(dir / "f");
  ASSERT_EQ(frames.size(), 5u);
  // The first tick of a picture comes with no time passed, and a tick draws the water where
  // the ticks before it left it: frames 1 and 2 both show the start, from then on each
  // frame moves on.
  for (size_t i = 2; i < frames.size(); ++i)
    EXPECT_TRUE(ReadBytes(dir / ("f/" + frames[i])) != ReadBytes(dir / ("f/" + frames[i - 1])))
        << frames[i];
  EXPECT_EQ(BmpSize(ReadBytes(dir / "f/frame0005.bmp")), std::make_pair(60, 24));
}

// A DirectDraw show renders at its 4:3 size (640 x 480 here) and the screen shows that as a
// 4:3 picture mode: the largest 4:3 area, centred, black around it, as on the real screen.
// The picture has a colour in each quarter (red, green / blue, yellow), so a swapped axis
// or flipped rows move a colour; the bars are worked by hand (320x180: 240 wide at x = 40;
// 180x320: 135 high at y = 92, the odd pixel below). Catches the surface stretched over
// the whole frame, bars on the wrong sides and an area one pixel off.
TEST(VectoolRender, DirectDrawShowIsCentredIn4To3WithBlackBars) {
  constexpr uint32_t kYellow = 0xC8C81E, kBlack = 0;
  ScratchDir dir;
  mkdir((dir / "files").c_str(), 0755);
  WriteBytes(dir / "files/q.bmp", testing::BmpFile(64, 48, 24, [](int32_t x, int32_t y) {
               return y < 24 ? (x < 32 ? kRed : kGreen) : (x < 32 ? kBlue : kYellow);
             }));
  const std::string saver =
      PackSaver(dir, {}, "Duration=60\r\nTransition=0\r\nDirectX=1\r\nDirectXQuality=2\r\n");
  struct Probe {
    int32_t x, y;
    uint32_t want;
  };
  struct Case {
    std::string size;
    std::vector<Probe> probes;
  } cases[] = {
      {"320x180",
       {{0, 90, kBlack},
        {39, 0, kBlack},
        {40, 45, kRed},
        {100, 45, kRed},
        {220, 45, kGreen},
        {100, 135, kBlue},
        {220, 135, kYellow},
        {279, 179, kYellow},
        {280, 179, kBlack},
        {319, 90, kBlack}}},
      {"180x320",
       {{90, 0, kBlack},
        {0, 91, kBlack},
        {45, 92, kRed},
        {45, 126, kRed},
        {135, 126, kGreen},
        {45, 193, kBlue},
        {135, 193, kYellow},
        {179, 226, kYellow},
        {179, 227, kBlack},
        {90, 319, kBlack}}},
  };
  for (const Case& c : cases) {
    const std::string out = dir / ("f" + c.size);
    const ToolResult r =
        Vectool("render " + saver + " --size " + c.size + " --seconds 1 --fps 1 --out " + out, dir);
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string frame = ReadBytes(out + "/frame0001.bmp");
    for (const Probe& p : c.probes) {
      const uint32_t got = BmpPixel(frame, p.x, p.y) & 0xFFFFFF;
      // The surface is the picture enlarged with Lanczos: its colours may be a little off.
      if (p.want == kBlack)
        EXPECT_EQ(got, kBlack) << c.size << " at " << p.x << "," << p.y;
      else
        EXPECT_TRUE(testing::Near(got, p.want, 8))
            << c.size << " at " << p.x << "," << p.y << ": " << std::hex << got;
    }
  }
}

// Catches a missing, damaged or empty saver that crashes the tool or is reported as
// success, and a message that does not say what is wrong. A saver cut in half still holds
// its list and part of its first picture, which no longer loads: the show has nothing to
// show, and a run that wrote no frame at all must not pass for a good one.
TEST(VectoolRender, BadSaversAreReportedInOneLine) {
  ScratchDir dir;
  const std::string good = PackSaver(dir, {kRed}, kInOrder);
  const std::string bytes = ReadBytes(good);
  WriteBytes(dir / "cut.scr", bytes.substr(0, bytes.size() / 2));
  WriteBytes(dir / "text.scr", "nothing like a saver");
  mkdir((dir / "empty").c_str(), 0755);
  ASSERT_EQ(Vectool("pack --files " + dir / "empty" + " --out " + dir / "empty.scr", dir).code, 0);
  struct Case {
    std::string saver;
    std::string message;
    std::string out;  // a folder of frames, or an animation file
  };
  // A folder that was there before keeps existing (it is the user's); an output the run
  // opened itself is taken away again, also when the show fails only after it has run.
  mkdir((dir / "mine").c_str(), 0755);
  WriteBytes(dir / "mine/keep.txt", "x");
  const std::string cutMessage = "no picture of " + dir / "cut.scr" + " could be shown";
  for (const Case& c : {Case{dir / "none.scr", "none.scr", dir / "f1"},
                        Case{dir / "text.scr", "text.scr", dir / "f2"},
                        Case{dir / "empty.scr", "the saver contains no picture", dir / "f3"},
                        Case{dir / "cut.scr", cutMessage, dir / "f4"},
                        Case{dir / "cut.scr", cutMessage, dir / "f5.gif"},
                        Case{dir / "cut.scr", cutMessage, dir / "f6.webp"},
                        Case{dir / "cut.scr", cutMessage, dir / "mine"}}) {
    const ToolResult r =
        Vectool("render " + c.saver + " --size 8x8 --seconds 1 --out " + c.out, dir);
    EXPECT_EQ(r.code, 1) << c.saver;
    EXPECT_EQ(r.err.rfind("vectool: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(Mentions(r.err, c.message)) << r.err;
    if (c.saver == dir / "cut.scr") {  // and why: the one picture it holds is cut short
      EXPECT_TRUE(Mentions(r.err, "a.bmp cannot be shown: BMP error")) << r.err;
    }
    if (c.out == dir / "mine") {
      EXPECT_EQ(ListDir(c.out), std::vector<std::string>{"keep.txt"});
    } else {
      EXPECT_FALSE(Exists(c.out)) << c.saver << " -> " << c.out;
    }
  }

  // A user's file that leaves every picture out: the show says it cannot run, and so does
  // the tool's exit code.
  WriteBytes(dir / "none.ini", "[Setting]\r\nImageMode=2\r\n[Files]\r\n0=\r\n");
  const ToolResult r = Vectool("render " + good + " --size 8x8 --seconds 1 --ini " +
                                   dir / "none.ini" + " --out " + dir / "fn",
                               dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Mentions(r.err, "Unable to run screensaver.")) << r.err;
  EXPECT_TRUE(Mentions(r.err, "could be shown")) << r.err;
}

}  // namespace
}  // namespace vec

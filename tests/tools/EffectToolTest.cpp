// vectool's transition commands as a program: effect draws one frame whose pixels are worked
// out here by hand from the effects' definitions, gallery writes every effect as an animated
// GIF that is decoded here apart from the writer.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/DecodedGif.h"
#include "tests/tools/VectoolRun.h"

namespace vec {
namespace {

using testing::Argb;
using testing::BmpFile;
using testing::BmpPixel;
using testing::BmpSize;
using testing::Exists;
using testing::GetLe;
using testing::ListDir;
using testing::Mentions;
using testing::Near;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::SolidBmp;
using testing::ToolResult;
using testing::Vectool;
using testing::WriteBytes;

using ColourAt = std::function<Argb(int32_t, int32_t)>;

Argb Solid(int32_t, int32_t) {
  return 0x00102030;
}

// A new picture whose every pixel tells where it came from.
Argb Coordinates(int32_t x, int32_t y) {
  return static_cast<Argb>(0x00000077 | (x * 9) << 16 | (y * 11) << 8);
}

struct Expected {
  int32_t x, y;
  bool fromNew;  // the pixel is the new picture's pixel at (x, y), else the old one's
};

struct EffectCase {
  const char* name;
  int number, percent;
  int32_t w, h;
  std::vector<Expected> pixels;
};

class VectoolEffectFrame : public ::testing::TestWithParam<EffectCase> {};

// The wipes lay the new picture's own pixels over a block whose side is
// MulDiv(side, percent, 100) along the longer side, the other in proportion. Catches a block
// side that is truncated rather than rounded (20 x 33 % = 6.6 reveals 7 columns), a
// reveal from the wrong edge, a BMP read or written upside down (the bottom rows must come
// first in "Reveal from bottom"), the axis taken from the wrong side of a tall picture, and
// new pixels taken from a shifted place.
TEST_P(VectoolEffectFrame, PixelsComeFromTheHandWorkedPicture) {
  const EffectCase& c = GetParam();
  ScratchDir dir;
  WriteBytes(dir / "old.bmp", BmpFile(c.w, c.h, 24, Solid));
  WriteBytes(dir / "new.bmp", BmpFile(c.w, c.h, 24, Coordinates));
  const ToolResult r = Vectool("effect --number " + std::to_string(c.number) + " --percent " +
                                   std::to_string(c.percent) + " --old " + dir / "old.bmp" +
                                   " --new " + dir / "new.bmp" + " --out " + dir / "out.bmp",
                               dir);
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string out = ReadBytes(dir / "out.bmp");
  ASSERT_EQ(GetLe(out, 28, 2), 32u);  // always a 32-bit file
  EXPECT_EQ(BmpSize(out), std::make_pair(c.w, c.h));
  for (const Expected& p : c.pixels) {
    const Argb want = p.fromNew ? Coordinates(p.x, p.y) : Solid(p.x, p.y);
    EXPECT_EQ(BmpPixel(out, p.x, p.y), want) << "(" << p.x << ", " << p.y << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Wipes, VectoolEffectFrame,
    ::testing::Values(
        EffectCase{"RevealFromLeftRoundsTheBlock",
                   8,
                   33,
                   20,
                   10,
                   {{0, 0, true}, {6, 9, true}, {6, 0, true}, {7, 0, false}, {19, 9, false}}},
        EffectCase{"RevealFromRight",
                   9,
                   25,
                   20,
                   10,
                   {{15, 0, true}, {19, 9, true}, {14, 5, false}, {0, 0, false}}},
        EffectCase{"RevealFromBottomOfATallPicture",
                   26,
                   25,
                   10,
                   20,
                   {{0, 15, true}, {9, 19, true}, {3, 14, false}, {0, 0, false}}},
        EffectCase{"NothingAtZero", 8, 0, 20, 10, {{0, 0, false}, {19, 9, false}}},
        EffectCase{"EverythingAtHundred", 26, 100, 10, 20, {{0, 0, true}, {9, 19, true}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Fade at 25 %: alpha = MulDiv(256, 25, 100) = 64 and each byte becomes
// old + floor(64 x (new - old) / 256), the fourth byte the old picture's. Red 201 -> 0 is
// 201 - 50.25 floored to 150 (151 if the negative step were rounded towards zero), green
// 0 -> 201 is 50, blue 10 -> 10 stays. Catches that rounding, a wrong alpha scale, the
// channels swapped, and the fourth byte of a 32-bit file dropped or taken from the new one.
TEST(VectoolEffect, FadeBlendsByTheHandWorkedAlphaAndKeepsTheOldFourthByte) {
  ScratchDir dir;
  WriteBytes(dir / "old.bmp", BmpFile(6, 4, 32, [](int32_t, int32_t) { return 0x5AC9000Au; }));
  WriteBytes(dir / "new.bmp", BmpFile(6, 4, 32, [](int32_t, int32_t) { return 0xC300C90Au; }));
  const ToolResult r = Vectool("effect --number 1 --percent 25 --old " + dir / "old.bmp" +
                                   " --new " + dir / "new.bmp" + " --out " + dir / "out.bmp",
                               dir);
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string out = ReadBytes(dir / "out.bmp");
  EXPECT_EQ(BmpPixel(out, 0, 0), 0x5A96320Au);
  EXPECT_EQ(BmpPixel(out, 5, 3), 0x5A96320Au);

  // 24-bit pictures have no fourth byte: it is 0 in the frame.
  WriteBytes(dir / "old24.bmp", SolidBmp(6, 4, 201, 0, 10));
  WriteBytes(dir / "new24.bmp", SolidBmp(6, 4, 0, 201, 10));
  ASSERT_EQ(Vectool("effect --number 1 --percent 25 --old " + dir / "old24.bmp" + " --new " +
                        dir / "new24.bmp" + " --out " + dir / "out24.bmp",
                    dir)
                .code,
            0);
  EXPECT_EQ(BmpPixel(ReadBytes(dir / "out24.bmp"), 2, 1), 0x0096320Au);
}

// "Uneven shred from left" draws each strip's length from the shared generator. Catches
// --seed not reaching the generator: the same seed must give the same frame, another seed
// another.
TEST(VectoolEffect, SeedFixesARandomEffect) {
  ScratchDir dir;
  WriteBytes(dir / "old.bmp", SolidBmp(40, 30, 0, 0, 0));
  WriteBytes(dir / "new.bmp", SolidBmp(40, 30, 255, 255, 255));
  auto frame = [&](const std::string& seed) {
    const std::string out = dir / ("s" + seed + ".bmp");
    EXPECT_EQ(Vectool("effect --number 69 --percent 50 --seed " + seed + " --old " +
                          dir / "old.bmp" + " --new " + dir / "new.bmp" + " --out " + out,
                      dir)
                  .code,
              0);
    return ReadBytes(out);
  };
  const std::string first = frame("7");
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(frame("7") == first);
  EXPECT_TRUE(frame("8") != first);
}

// Catches a list that misses effects, numbers them from 0 or out of order, or gives a
// number another effect's name.
TEST(VectoolEffect, ListNamesAllEffectsInOrder) {
  ScratchDir dir;
  const ToolResult r = Vectool("effect --list", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  std::istringstream lines(r.out);
  std::vector<std::string> names;
  int expected = 1;
  for (std::string line; std::getline(lines, line); ++expected) {
    const std::string prefix = std::to_string(expected) + " ";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    names.push_back(line.substr(prefix.size()));
  }
  ASSERT_EQ(names.size(), 169u);
  EXPECT_EQ(names[0], "Fade");
  EXPECT_EQ(names[7], "Reveal from left");
  EXPECT_EQ(names[25], "Reveal from bottom");
}

struct BadEffectInput {
  const char* name;
  std::string oldFile, newFile;  // names in the scratch folder
  std::string out;
  std::string message;
};

class VectoolEffectRefuses : public ::testing::TestWithParam<BadEffectInput> {};

// Catches a damaged or unsupported bitmap read past its end, taken as a picture of another
// size, or reported as success; and a message that does not say what is wrong.
TEST_P(VectoolEffectRefuses, WithOneLineAndNoFrame) {
  const BadEffectInput& c = GetParam();
  ScratchDir dir;
  WriteBytes(dir / "good.bmp", SolidBmp(8, 6, 1, 2, 3));
  WriteBytes(dir / "wide.bmp", SolidBmp(9, 6, 1, 2, 3));
  WriteBytes(dir / "text.bmp", "just some text, long enough to pass for a header......");
  std::string eightBit = SolidBmp(8, 6, 1, 2, 3);
  eightBit[28] = 8;
  WriteBytes(dir / "8bit.bmp", eightBit);
  const std::string good = SolidBmp(8, 6, 1, 2, 3);
  WriteBytes(dir / "cut.bmp", good.substr(0, good.size() - 10));
  std::string huge = good;
  huge[22] = '\x7F';  // 127 rows claimed, 6 present
  WriteBytes(dir / "huge.bmp", huge);

  const ToolResult r = Vectool("effect --number 8 --percent 50 --old " + dir / c.oldFile +
                                   " --new " + dir / c.newFile + " --out " + dir / c.out,
                               dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.rfind("vectool: ", 0), 0u) << r.err;
  EXPECT_TRUE(Mentions(r.err, c.message)) << r.err;
  EXPECT_FALSE(Exists(dir / "out.bmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VectoolEffectRefuses,
    ::testing::Values(
        BadEffectInput{"MissingOld", "none.bmp", "good.bmp", "out.bmp", "cannot open"},
        BadEffectInput{"NotABitmap", "good.bmp", "text.bmp", "out.bmp", "not a bitmap file"},
        BadEffectInput{"EightBit", "8bit.bmp", "good.bmp", "out.bmp", "24- and 32-bit"},
        BadEffectInput{"Truncated", "good.bmp", "cut.bmp", "out.bmp", "truncated"},
        BadEffectInput{"MoreRowsThanBytes", "huge.bmp", "good.bmp", "out.bmp", "truncated"},
        BadEffectInput{"SizesDiffer", "good.bmp", "wide.bmp", "out.bmp", "differ in size"},
        BadEffectInput{"OutInAMissingFolder", "good.bmp", "good.bmp", "no/out.bmp",
                       "cannot write"}),
    [](const auto& info) { return std::string(info.param.name); });

// A 32-bit bitmap with a BI_BITFIELDS header: the three colour masks follow the 40-byte
// header and the pixels follow the masks.
std::string BitfieldsBmp(uint32_t red, uint32_t green, uint32_t blue, Argb colour) {
  std::string file = BmpFile(6, 4, 32, [colour](int32_t, int32_t) { return colour; });
  std::string masks;
  testing::PutLe(masks, red, 4);
  testing::PutLe(masks, green, 4);
  testing::PutLe(masks, blue, 4);
  file.insert(54, masks);
  file[10] = 54 + 12;  // the pixels' offset
  file[30] = 3;        // BI_BITFIELDS
  return file;
}

// Catches the masks of a BI_BITFIELDS file looked for in the wrong place (they follow a
// 40-byte header directly), its pixels read from the header's offset without them, and a
// file whose masks put the colours elsewhere read as if they did not.
TEST(VectoolEffect, ReadsBitfieldBitmapsWithTheUsualMasksOnly) {
  ScratchDir dir;
  WriteBytes(dir / "old.bmp", BitfieldsBmp(0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x5AC9000Au));
  WriteBytes(dir / "new.bmp", BmpFile(6, 4, 32, [](int32_t, int32_t) { return 0xC300C90Au; }));
  const ToolResult r = Vectool("effect --number 1 --percent 25 --old " + dir / "old.bmp" +
                                   " --new " + dir / "new.bmp" + " --out " + dir / "out.bmp",
                               dir);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(BmpPixel(ReadBytes(dir / "out.bmp"), 3, 2), 0x5A96320Au);  // as worked out above

  WriteBytes(dir / "swapped.bmp", BitfieldsBmp(0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0x5AC9000Au));
  const ToolResult swapped = Vectool("effect --number 1 --percent 25 --old " + dir / "swapped.bmp" +
                                         " --new " + dir / "new.bmp" + " --out " + dir / "out2.bmp",
                                     dir);
  EXPECT_EQ(swapped.code, 1);
  EXPECT_TRUE(Mentions(swapped.err, "unsupported bit-field masks")) << swapped.err;
  EXPECT_FALSE(Exists(dir / "out2.bmp"));
}

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0x000000;

// Runs gallery from a 48 x 12 red picture to a 24 x 12 blue one at 24 x 12 in three frames.
ToolResult Gallery(const ScratchDir& dir, const std::string& out, const std::string& seed) {
  WriteBytes(dir / "old.bmp", SolidBmp(48, 12, 255, 0, 0));
  WriteBytes(dir / "new.bmp", SolidBmp(24, 12, 0, 0, 255));
  return Vectool("gallery --old " + dir / "old.bmp" + " --new " + dir / "new.bmp" +
                     " --size 24x12 --frames 3 --seed " + seed + " --out " + dir / out,
                 dir);
}

// Every effect gets a GIF of the asked size and frame count; the frames are 0 %, 50 % and
// 100 % of the transition, shown 2000 div 3 = 666 ms each and the last one a second. The
// delays follow the running total in whole hundredths: 666 ms -> 66, 1332 ms -> 133 (67
// more), 2332 ms -> 233 (100 more), so no time is lost to rounding.
// The 48 x 12 picture is fitted by its proportions: 24 x 6, centred, rows 3..8, black above
// and below. In "Reveal from left" the 50 % frame has the new picture in columns 0..11.
// Catches a size taken the wrong way round, frames or effects missing, the delays, a
// picture stretched instead of fitted or not centred, and percent steps that do not reach
// the end.
TEST(VectoolGallery, EveryEffectAsAGifOfTheHandWorkedFrames) {
  ScratchDir dir;
  const ToolResult r = Gallery(dir, "g", "1");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Mentions(r.out, "wrote 169 effects")) << r.out;
  const std::vector<std::string> files = ListDir(dir / "g");
  ASSERT_EQ(files.size(), 170u);
  EXPECT_EQ(files.front(), "effect-001.gif");
  EXPECT_EQ(files[168], "effect-169.gif");
  EXPECT_EQ(files.back(), "index.html");

  for (const char* name : {"effect-001.gif", "effect-008.gif", "effect-169.gif"}) {
    const auto gif = testing::DecodeGif(dir / ("g/" + std::string(name)));
    ASSERT_TRUE(gif.has_value()) << name;
    EXPECT_EQ(gif->width, 24) << name;
    EXPECT_EQ(gif->height, 12) << name;
    EXPECT_EQ(gif->delaysCs, (std::vector<int32_t>{66, 67, 100})) << name;
    EXPECT_TRUE(gif->loops) << name;
    // The first frame is the old picture, the last the new one, whatever the effect.
    EXPECT_TRUE(Near(gif->At(0, 12, 1), kBlack, 8)) << name;
    EXPECT_TRUE(Near(gif->At(0, 12, 5), kRed, 40)) << name;
    EXPECT_TRUE(Near(gif->At(0, 20, 10), kBlack, 8)) << name;
    EXPECT_TRUE(Near(gif->At(2, 12, 1), kBlue, 40)) << name;
    EXPECT_TRUE(Near(gif->At(2, 23, 11), kBlue, 40)) << name;
  }
  const auto reveal = testing::DecodeGif(dir / "g/effect-008.gif");
  ASSERT_TRUE(reveal.has_value());
  EXPECT_TRUE(Near(reveal->At(1, 2, 1), kBlue, 40));
  EXPECT_TRUE(Near(reveal->At(1, 11, 10), kBlue, 40));
  EXPECT_TRUE(Near(reveal->At(1, 12, 1), kBlack, 8));
  EXPECT_TRUE(Near(reveal->At(1, 20, 5), kRed, 40));

  const std::string index = ReadBytes(dir / "g/index.html");
  size_t figures = 0;
  for (size_t at = 0; (at = index.find("<figure", at)) != std::string::npos; ++at) ++figures;
  EXPECT_EQ(figures, 169u);
  EXPECT_TRUE(Mentions(index, "src=\"effect-026.gif\""));
  EXPECT_TRUE(Mentions(index, ">26. Reveal from bottom<"));
  EXPECT_TRUE(Mentions(index, "width:24px;height:12px"));
}

// Catches a gallery that cannot be made again (the seed not set before each effect, so
// an effect depends on the ones before it) or ignores --seed.
TEST(VectoolGallery, SameSeedSameFilesOtherSeedOtherRandomEffects) {
  ScratchDir dir;
  ASSERT_EQ(Gallery(dir, "a", "5").code, 0);
  ASSERT_EQ(Gallery(dir, "b", "5").code, 0);
  ASSERT_EQ(Gallery(dir, "c", "6").code, 0);
  for (const std::string& f : ListDir(dir / "a"))
    EXPECT_TRUE(ReadBytes(dir / ("a/" + f)) == ReadBytes(dir / ("b/" + f))) << f;
  // The uneven shred is random, Reveal from left is not.
  EXPECT_TRUE(ReadBytes(dir / "a/effect-069.gif") != ReadBytes(dir / "c/effect-069.gif"));
  EXPECT_TRUE(ReadBytes(dir / "a/effect-008.gif") == ReadBytes(dir / "c/effect-008.gif"));
}

// Catches a missing or damaged picture, or an output folder that cannot be made, reported
// as success or without naming the file.
TEST(VectoolGallery, BadInputsAreReportedInOneLine) {
  ScratchDir dir;
  WriteBytes(dir / "good.bmp", SolidBmp(8, 6, 1, 2, 3));
  WriteBytes(dir / "bad.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG");
  WriteBytes(dir / "file", "a file where the folder should go");
  struct Case {
    std::string oldFile, out, message;
  };
  for (const Case& c : {Case{"none.bmp", "o1", "none.bmp"}, Case{"bad.jpg", "o2", "bad.jpg"},
                        Case{"good.bmp", "file/sub", "cannot create"}}) {
    const ToolResult r = Vectool("gallery --old " + dir / c.oldFile + " --new " + dir / "good.bmp" +
                                     " --size 8x6 --frames 2 --out " + dir / c.out,
                                 dir);
    EXPECT_EQ(r.code, 1) << c.oldFile;
    EXPECT_EQ(r.err.rfind("vectool: ", 0), 0u) << r.err;
    EXPECT_TRUE(Mentions(r.err, c.message)) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_FALSE(Exists(dir / "o1"));
  EXPECT_FALSE(Exists(dir / "o2"));
}

}  // namespace
}  // namespace vec

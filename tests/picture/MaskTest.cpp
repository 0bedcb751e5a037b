// Mask run codes into area indices, and back; mask pictures in the area colours.

#include <gtest/gtest.h>

#include "picture/Mask.h"
#include "picture/Picture.h"

namespace vec {
namespace {

// The mask as a string of area indices, row by row ('.' = no area).
std::string Render(const AreaMask& m) {
  std::string out;
  for (int32_t y = 0; y < m.Height(); ++y) {
    for (int32_t x = 0; x < m.Width(); ++x) {
      const int area = m.At(x, y);
      out += area == 0 ? '.' : static_cast<char>('0' + area);
    }
    out += '|';
  }
  return out;
}

TEST(Mask, DecodesRunCodes) {
  struct Case {
    const char* name;
    std::vector<int32_t> values;
    std::string expected;
  };
  const Case cases[] = {
      {"runs cross rows", {3, 2, 21, 32, 13}, "112|223|"},
      {"code 5 writes nothing, 10 one pixel of no area", {3, 1, 5, 10, 22}, ".22|"},
      {"run ending at row end", {2, 2, 23, 24}, "33|44|"},
      {"only width and height", {3, 2}, "...|...|"},
      {"indices 5 to 9 are no area", {4, 1, 16, 17, 18, 21}, "...1|"},
      {"runs past the last pixel are clipped", {2, 2, 31, 1000004}, "11|14|"},
      {"negative codes write nothing", {2, 1, -21, 12}, "2.|"},
      {"zero-height mask", {5, 0, 51}, ""},
      {"all four colours", {4, 1, 11, 12, 13, 14}, "1234|"},
  };
  for (const auto& c : cases) {
    AreaMask m;
    EXPECT_TRUE(DecodeMask(c.values, m).ok()) << c.name;
    EXPECT_EQ(Render(m), c.expected) << c.name;
  }
}

TEST(Mask, AreaColoursAreTheStoredPixelValues) {
  EXPECT_EQ(kAreaColors[1], 0x000000FFu);
  EXPECT_EQ(kAreaColors[2], 0x00FF00FFu);
  EXPECT_EQ(kAreaColors[3], 0x00FF0000u);
  EXPECT_EQ(kAreaColors[4], 0x00FFFF00u);
}

TEST(Mask, RefusesImpossibleSizes) {
  for (const auto& v :
       std::vector<std::vector<int32_t>>{{-1, 4}, {4, -1}, {16385, 1}, {1, 100000}}) {
    AreaMask m;
    const Status s = DecodeMask(v, m);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, ErrorCode::BadMask);
  }
  AreaMask m;
  EXPECT_TRUE(DecodeMask({7}, m).ok());
  EXPECT_TRUE(m.Empty());
}

TEST(Mask, EncodeIsTheInverseOfDecode) {
  AreaMask m(5, 3);
  const uint8_t areas[15] = {0, 0, 1, 1, 1, 1, 2, 2, 0, 3, 3, 3, 4, 4, 4};
  for (int i = 0; i < 15; ++i) m.Set(i % 5, i / 5, areas[i]);
  const std::vector<int32_t> codes = EncodeMask(m);
  EXPECT_EQ(codes, (std::vector<int32_t>{5, 3, 20, 41, 22, 10, 33, 34}));
  AreaMask back;
  ASSERT_TRUE(DecodeMask(codes, back).ok());
  EXPECT_EQ(back, m);
}

TEST(Mask, MaskPictureTreatsForeignColoursAsNoAreaAndIgnoresTheFourthByte) {
  BottomUpBitmap m(4, 1);
  m.SetPixel(0, 0, 0xFF0000FF);  // area 1 with alpha
  m.SetPixel(1, 0, 0x00123456);
  m.SetPixel(2, 0, 0xFFFFFF00);
  m.SetPixel(3, 0, 0x00FF0000);
  EXPECT_EQ(EncodeMask(AreaMaskFromColors(m)), (std::vector<int32_t>{4, 1, 11, 10, 14, 13}));
  // Back to colours: the area colours without a fourth byte, no area black.
  const BottomUpBitmap colors = AreaColorsOf(AreaMaskFromColors(m));
  EXPECT_EQ(colors.GetPixel(0, 0), 0x000000FFu);
  EXPECT_EQ(colors.GetPixel(1, 0), 0u);
  EXPECT_EQ(colors.GetPixel(2, 0), 0x00FFFF00u);
  EXPECT_EQ(colors.GetPixel(3, 0), 0x00FF0000u);
}

// A copy keeps its own pixels; a mask moved from is empty, not a size without pixels.
TEST(Mask, CopiesAreSeparateAndAMovedFromMaskIsEmpty) {
  AreaMask m(4, 3);
  m.Set(3, 2, 2);
  AreaMask copy = m;
  copy.Set(3, 2, 1);
  EXPECT_EQ(m.At(3, 2), 2);
  AreaMask moved = std::move(m);
  EXPECT_EQ(moved.At(3, 2), 2);
  EXPECT_TRUE(m.Empty());  // NOLINT(bugprone-use-after-move): what a move leaves matters
  EXPECT_EQ(m.PixelCount(), 0u);
  m = std::move(copy);
  EXPECT_EQ(m.At(3, 2), 1);
  EXPECT_TRUE(copy.Empty());  // NOLINT(bugprone-use-after-move)
}

TEST(Mask, SettingAnIndexBeyondTheLastAreaGivesNoArea) {
  AreaMask m(3, 2);
  m.Set(0, 0, 4);
  m.Set(1, 0, 5);
  m.Set(2, 1, 255);
  m.Set(3, 0, 1);   // outside: ignored
  m.Set(0, -1, 1);  // outside: ignored
  EXPECT_EQ(Render(m), "4..|...|");
  EXPECT_EQ(m.At(-1, 0), 0);
}

}  // namespace
}  // namespace vec

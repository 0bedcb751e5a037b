// Mask run codes into area colours, and back.

#include <gtest/gtest.h>

#include "picture/Mask.h"
#include "picture/Picture.h"

namespace vec {
namespace {

// The mask as a string of area indices, row by row ('.' = no area, '?' = other value).
std::string Render(const Bitmap& m) {
  std::string out;
  for (int32_t y = 0; y < m.Height(); ++y) {
    for (int32_t x = 0; x < m.Width(); ++x) {
      const Pixel p = m.GetPixel(x, y);
      char c = '?';
      for (size_t k = 0; k < kAreaColors.size(); ++k)
        if (p == kAreaColors[k]) c = k == 0 ? '.' : static_cast<char>('0' + k);
      out += c;
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
    Bitmap m;
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
    Bitmap m;
    const Status s = DecodeMask(v, m);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, ErrorCode::BadMask);
  }
  Bitmap m;
  EXPECT_TRUE(DecodeMask({7}, m).ok());
  EXPECT_TRUE(m.Empty());
}

TEST(Mask, EncodeIsTheInverseOfDecode) {
  Bitmap m(5, 3);
  const int areas[15] = {0, 0, 1, 1, 1, 1, 2, 2, 0, 3, 3, 3, 4, 4, 4};
  for (int i = 0; i < 15; ++i) m.SetPixel(i % 5, i / 5, kAreaColors[areas[i]]);
  const std::vector<int32_t> codes = EncodeMask(m);
  EXPECT_EQ(codes, (std::vector<int32_t>{5, 3, 20, 41, 22, 10, 33, 34}));
  Bitmap back;
  ASSERT_TRUE(DecodeMask(codes, back).ok());
  EXPECT_EQ(Render(back), Render(m));
}

TEST(Mask, EncodeTreatsForeignColoursAsNoAreaAndIgnoresTheFourthByte) {
  Bitmap m(3, 1);
  m.SetPixel(0, 0, 0xFF0000FF);  // area 1 with alpha
  m.SetPixel(1, 0, 0x00123456);
  m.SetPixel(2, 0, 0xFFFFFF00);
  EXPECT_EQ(EncodeMask(m), (std::vector<int32_t>{3, 1, 11, 10, 14}));
}

}  // namespace
}  // namespace vec

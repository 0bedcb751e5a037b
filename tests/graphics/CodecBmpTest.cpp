// Windows bitmap files: every depth and compression the reader takes, the writer's layout,
// and damaged files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "graphics/Bmp.h"
#include "graphics/ImageFile.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/VectorLevels.h"

namespace vec {
namespace {

struct BmpBuilder {
  std::vector<uint8_t> b;
  void U16(uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
};

// File and info header, then palette (BGR0 quads), masks and pixel bytes as given.
std::vector<uint8_t> MakeBmp(int32_t w, int32_t h, int bits, uint32_t compression,
                             const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& pixels,
                             const std::vector<uint32_t>& masks = {}) {
  BmpBuilder o;
  const uint32_t off = 54 + 4 * static_cast<uint32_t>(masks.size() + palette.size());
  o.b = {'B', 'M'};
  o.U32(off + static_cast<uint32_t>(pixels.size()));
  o.U32(0);
  o.U32(off);
  o.U32(40);
  o.U32(static_cast<uint32_t>(w));
  o.U32(static_cast<uint32_t>(h));
  o.U16(1);
  o.U16(static_cast<uint32_t>(bits));
  o.U32(compression);
  o.U32(static_cast<uint32_t>(pixels.size()));
  o.U32(0);
  o.U32(0);
  o.U32(static_cast<uint32_t>(palette.size()));
  o.U32(0);
  for (uint32_t m : masks) o.U32(m);
  for (uint32_t c : palette) o.U32(c);
  o.b.insert(o.b.end(), pixels.begin(), pixels.end());
  return o.b;
}

constexpr Pixel R = MakePixel(255, 0, 0), G = MakePixel(0, 255, 0), B = MakePixel(0, 0, 255),
                K = MakePixel(0, 0, 0), W = MakePixel(255, 255, 255);
const std::vector<uint32_t> kPalette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};  // 0x00RRGGBB quads

std::vector<Pixel> Pixels(const BlendBitmap& bmp) {
  return {bmp.Bits(), bmp.Bits() + static_cast<size_t>(bmp.Width()) * bmp.Height()};
}

TEST(CodecBmp, DecodesEveryDepth) {
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    int32_t w, h;
    std::vector<Pixel> expected;  // top row first
  };
  const Case cases[] = {
      {"1 bit, bottom-up",
       MakeBmp(3, 2, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}),
       3,
       2,
       {K, W, K, W, K, W}},
      {"4 bit", MakeBmp(3, 1, 4, 0, kPalette, {0x12, 0x30, 0, 0}), 3, 1, {R, G, B}},
      {"8 bit, top-down",
       MakeBmp(2, -2, 8, 0, kPalette, {1, 2, 0, 0, 3, 0, 0, 0}),
       2,
       2,
       {R, G, B, K}},
      {"16 bit 5-5-5", MakeBmp(2, 1, 16, 0, {}, {0x00, 0x7C, 0x1F, 0x00}), 2, 1, {R, B}},
      {"16 bit 5-6-5 fields",
       MakeBmp(2, 1, 16, 3, {}, {0xE0, 0x07, 0x00, 0xF8}, {0xF800, 0x07E0, 0x001F}),
       2,
       1,
       {G, R}},
      {"24 bit with row padding",
       MakeBmp(1, 2, 24, 0, {}, {255, 0, 0, 0, 0, 0, 255, 0}),
       1,
       2,
       {R, B}},
      {"32 bit", MakeBmp(2, 1, 32, 0, {}, {0, 255, 0, 7, 255, 255, 255, 0}), 2, 1, {G, W}},
      {"32 bit with alpha mask",
       MakeBmp(1, 1, 32, 6, {}, {0, 0, 255, 0x80}, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
       1,
       1,
       {MakePixel(255, 0, 0, 0x80)}},
  };
  for (const auto& c : cases) {
    auto bmp = DecodeBmp(c.file.data(), c.file.size());
    ASSERT_TRUE(bmp) << c.name << ": " << bmp.error().message;
    EXPECT_EQ(bmp->Width(), c.w) << c.name;
    EXPECT_EQ(bmp->Height(), c.h) << c.name;
    EXPECT_EQ(Pixels(bmp.value()), c.expected) << c.name;
  }
}

TEST(CodecBmp, DecodesRunLengthData) {
  // RLE8, 4 x 3 bottom-up: row 2 (bottom): 2 x red, end of line; row 1: delta (1,0) then an
  // absolute run of 3 (clipped to the row); row 0: a run past the row end, then end.
  const std::vector<uint8_t> rle8{2, 1, 0, 0, 0, 2, 1, 0, 0, 3, 2, 3, 1, 0, 0, 0, 6, 2, 0, 1};
  auto bmp = DecodeBmp(MakeBmp(4, 3, 8, 1, kPalette, rle8).data(), 54 + 16 + rle8.size());
  ASSERT_TRUE(bmp) << bmp.error().message;
  EXPECT_EQ(Pixels(bmp.value()), (std::vector<Pixel>{G, G, G, G, 0, G, B, R, R, R, 0, 0}));
  // RLE4: 3 pixels alternating 1 and 2, then an absolute run of 3 nibbles.
  const std::vector<uint8_t> rle4{3, 0x12, 0, 3, 0x31, 0x20, 0, 1};
  auto four = DecodeBmp(MakeBmp(6, 1, 4, 2, kPalette, rle4).data(), 54 + 16 + rle4.size());
  ASSERT_TRUE(four) << four.error().message;
  EXPECT_EQ(Pixels(four.value()), (std::vector<Pixel>{R, G, R, B, R, G}));
}

TEST(CodecBmp, PaletteSizeComesFromTheColourCountAndThePixelOffset) {
  // 4 bits, 4 x 2, five palette entries (black, red, green, blue, white) and bfOffBits
  // right behind them. Top row 0 1 2 3, bottom row 4 4 1 0.
  const std::vector<uint32_t> five{0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  const std::vector<uint8_t> pixels{0x44, 0x10, 0, 0, 0x01, 0x23, 0, 0};
  auto withColorsUsed = [&](uint32_t colorsUsed, size_t trailing, uint8_t fill) {
    std::vector<uint8_t> file = MakeBmp(4, 2, 4, 0, five, pixels);
    for (int i = 0; i < 4; ++i) file[46 + i] = static_cast<uint8_t>(colorsUsed >> (8 * i));
    file.insert(file.end(), trailing, fill);
    return file;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  };
  const Case cases[] = {
      {"colour count 5", withColorsUsed(5, 0, 0)},
      {"colour count 0 (sixteen declared, five fit)", withColorsUsed(0, 0, 0)},
      {"colour count 0, bytes after the pixels", withColorsUsed(0, 48, 0x33)},
      {"colour count 200, bytes after the pixels", withColorsUsed(200, 48, 0x33)},
  };
  for (const auto& c : cases) {
    auto bmp = DecodeBmp(c.file.data(), c.file.size());
    ASSERT_TRUE(bmp) << c.name << ": " << bmp.error().message;
    EXPECT_EQ(Pixels(bmp.value()), (std::vector<Pixel>{K, R, G, B, W, W, R, K})) << c.name;
  }
}

TEST(CodecBmp, RunLengthDataCutShortIsAnError) {
  // RLE8, 4 x 3: a run of four pixels per row, each row closed by an end of line, the
  // last by the end of the bitmap.
  const std::vector<uint8_t> whole{4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 1};
  auto cut = [&](size_t n) { return std::vector<uint8_t>(whole.begin(), whole.begin() + n); };
  struct Case {
    const char* name;
    std::vector<uint8_t> rle;
    bool ok;
  };
  const Case cases[] = {
      {"whole", whole, true},
      {"ends after the last row without the end marker", cut(10), true},
      {"end of bitmap after the first row", {4, 1, 0, 1}, true},
      {"cut after the second row", cut(8), false},
      {"cut inside a run", cut(9), false},
      {"cut inside an absolute run", {0, 4, 1, 2}, false},
      {"cut inside a delta", {4, 1, 0, 2, 1}, false},
      {"no data", {}, false},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> file = MakeBmp(4, 3, 8, 1, kPalette, c.rle);
    auto bmp = DecodeBmp(file.data(), file.size());
    ASSERT_EQ(bmp.ok(), c.ok) << c.name;
    if (!c.ok) {
      EXPECT_EQ(bmp.error().code, ErrorCode::Truncated) << c.name;
      EXPECT_EQ(bmp.error().message, "BMP error: the pixel data ends too early") << c.name;
    }
  }
  const std::vector<uint8_t> early = MakeBmp(4, 3, 8, 1, kPalette, {4, 1, 0, 1});
  auto bmp = DecodeBmp(early.data(), early.size());
  ASSERT_TRUE(bmp);
  EXPECT_EQ(Pixels(bmp.value()), (std::vector<Pixel>{0, 0, 0, 0, 0, 0, 0, 0, R, R, R, R}));
}

TEST(CodecBmp, CoreHeader) {
  const std::vector<uint8_t> file{
      'B',  'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0,   0,   0, 12, 0, 0,
      0,    2,   0, 1, 0, 1, 0, 1, 0, 0, 0,  255, 255, 0, 0,  // palette: red, blue (BGR triples)
      0x40, 0,   0, 0};
  auto bmp = DecodeBmp(file.data(), file.size());
  ASSERT_TRUE(bmp) << bmp.error().message;
  EXPECT_EQ(Pixels(bmp.value()), (std::vector<Pixel>{R, B}));
}

TEST(CodecBmp, DamagedFiles) {
  std::vector<uint8_t> badHeader = MakeBmp(1, 1, 24, 0, {}, {0, 0, 0, 0});
  badHeader[14] = 99;
  const std::vector<uint8_t> paletted = MakeBmp(1, 1, 8, 0, kPalette, {});
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    ErrorCode code;
  };
  const Case cases[] = {
      {"empty", {}, ErrorCode::Corrupt},
      {"pixels cut", MakeBmp(4, 4, 24, 0, {}, std::vector<uint8_t>(40)), ErrorCode::Truncated},
      {"wider than 16384", MakeBmp(16385, 1, 8, 1, kPalette, {0, 1}), ErrorCode::TooLarge},
      {"zero width", MakeBmp(0, 1, 24, 0, {}, {}), ErrorCode::Corrupt},
      {"unknown header size", badHeader, ErrorCode::Corrupt},
      {"RLE8 on 24 bits", MakeBmp(1, 1, 24, 1, {}, {0, 1}), ErrorCode::Corrupt},
      {"PNG inside", MakeBmp(1, 1, 24, 5, {}, {0, 1}), ErrorCode::Unsupported},
      {"bit count 7", MakeBmp(1, 1, 7, 0, {}, {0, 0, 0, 0}), ErrorCode::Corrupt},
      {"palette cut", {paletted.begin(), paletted.begin() + 60}, ErrorCode::Truncated},
  };
  for (const auto& c : cases) {
    auto r = DecodeBmp(c.file.data(), c.file.size());
    ASSERT_FALSE(r) << c.name;
    EXPECT_EQ(r.error().code, c.code) << c.name << ": " << r.error().message;
  }
}

TEST(CodecBmp, WritesBottomUpInfoHeaderAndReadsBack) {
  BottomUpBitmap device(3, 2);
  device.SetPixel(0, 0, 0x11223344);
  device.SetPixel(2, 1, 0x00ABCDEF);
  const std::vector<uint8_t> file = EncodeBmp32(device);
  ASSERT_EQ(file.size(), 54u + 3 * 2 * 4);
  auto u32 = [&](size_t at) {
    return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 |
           uint32_t(file[at + 3]) << 24;
  };
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(u32(2), file.size());
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(u32(18), 3u);
  EXPECT_EQ(u32(22), 2u);  // positive: bottom-up
  EXPECT_EQ(file[28], 32);
  EXPECT_EQ(u32(30), 0u);
  EXPECT_EQ(u32(54), 0u);                // bottom row first: (0,1)
  EXPECT_EQ(u32(54 + 8), 0x00ABCDEFu);   // (2,1)
  EXPECT_EQ(u32(54 + 12), 0x11223344u);  // (0,0), fourth byte as stored

  BlendBitmap image(3, 2);
  image.SetPixel(1, 0, R);
  image.SetPixel(2, 1, B);
  testing::ScratchFolder scratch;
  const std::string path = scratch / "codec_roundtrip.bmp";
  ASSERT_TRUE(SaveBmp32(image, path));
  auto back = LoadBmpFile(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetPixel(1, 0), R);
  EXPECT_EQ(back->GetPixel(2, 1), B);
  EXPECT_EQ(back->GetPixel(0, 0), MakePixel(0, 0, 0, 255));
}

// The full-colour rows have dedicated decoders (four pixels a step); at every vector level,
// widths around the step and the two-pixel stop before a row's end, with the last row's
// padding cut off, must give the pixels of the general path. Catches a byte order slip in
// the shuffle, a read or write past the row, a lost tail pixel and a row order mix-up
// between the two paths.
TEST(CodecBmp, FullColourRowsMatchTheGeneralPath) {
  for (const VectorLevel level : testing::LevelsToTest())
    for (const int bits : {24, 32}) {
      const testing::ScopedVectorLevel limit(level);
      for (const int32_t w : {1, 5, 6, 7, 9, 13, 31}) {
        for (const int32_t h : {3, -2}) {
          const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(bits / 8);
          const size_t stride = (rowBytes + 3) / 4 * 4;
          std::vector<uint8_t> pixels(stride * static_cast<size_t>(std::abs(h) - 1) + rowBytes);
          for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + 3);
          const std::vector<uint8_t> file = MakeBmp(w, h, bits, 0, {}, pixels);
          auto fast = DecodeBmp(file.data(), file.size());
          auto plain = reference::DecodeBmp(file.data(), file.size());
          ASSERT_TRUE(fast && plain) << bits << " bit " << w << "x" << h;
          EXPECT_EQ(Pixels(fast.value()), Pixels(plain.value()))
              << bits << " bit " << w << "x" << h << " level " << VectorLevelName(level);
        }
      }
    }
}

// One row of six 24-bit pixels with bytes 1 .. 18: a vector step and a two-pixel tail.
// Each pixel's three bytes are blue, green, red.
TEST(CodecBmp, WideFullColourRowByHand) {
  std::vector<uint8_t> bytes(18);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i + 1);
  bytes.resize(20);  // padding to four bytes
  const std::vector<uint8_t> file = MakeBmp(6, 1, 24, 0, {}, bytes);
  auto bmp = DecodeBmp(file.data(), file.size());
  ASSERT_TRUE(bmp);
  EXPECT_EQ(Pixels(bmp.value()), (std::vector<Pixel>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A,
                                                     0xFF0F0E0D, 0xFF121110}));
}

}  // namespace
}  // namespace vec

// Memory follows what a picture file really holds: a declared size that the data cannot
// fill is refused before pixel memory is taken, a still GIF is composed straight into its
// picture, and no picture is larger than 64 megapixels.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include "graphics/Bmp.h"
#include "graphics/Gif.h"
#include "graphics/ImageFile.h"
#include "graphics/Jpeg.h"
#include "tests/support/AllocationProbe.h"

namespace vec {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A 24-bit bottom-up BMP header declaring w x h, followed by `pixelBytes` bytes of 0x80.
std::vector<uint8_t> Bmp24(int32_t w, int32_t h, size_t pixelBytes) {
  std::vector<uint8_t> b(54 + pixelBytes, 0x80);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 6, 0);
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(w));
  Put32(b, 22, static_cast<uint32_t>(h));
  Put16(b, 26, 1);
  Put16(b, 28, 24);
  for (size_t at = 30; at < 54; ++at) b[at] = 0;
  return b;
}

// A 35-byte GIF: a logical screen of w x h, two palette colours (black, red) and one
// 1 x 1 frame at (0, 0) of colour 1. The LZW data is clear (4), 1, end (5) in 3-bit codes.
std::vector<uint8_t> TinyGif(uint16_t w, uint16_t h) {
  std::vector<uint8_t> b = {'G',  'I', 'F',  '8',  '9', 'a', 0,   0, 0, 0,
                            0x80, 0,   0,    0,    0,   0,   255, 0, 0,     // palette
                            0x2C, 0,   0,    0,    0,   1,   0,   1, 0, 0,  // image descriptor
                            2,    2,   0x4C, 0x01, 0,  // code size, one sub-block, terminator
                            0x3B};
  Put16(b, 6, w);
  Put16(b, 8, h);
  return b;
}

// A baseline JPEG whose frame header is patched to declare w x h.
std::vector<uint8_t> JpegDeclaring(int32_t w, int32_t h) {
  BlendBitmap small(16, 16);
  small.Clear(MakePixel(90, 120, 200));
  std::vector<uint8_t> b = EncodeJpeg(small, 90).value();
  for (size_t i = 0; i + 8 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC0) {
      b[i + 5] = static_cast<uint8_t>(h >> 8);
      b[i + 6] = static_cast<uint8_t>(h);
      b[i + 7] = static_cast<uint8_t>(w >> 8);
      b[i + 8] = static_cast<uint8_t>(w);
      break;
    }
  return b;
}

TEST(CodecMemory, BmpShorterThanItsSizeFailsBeforeTakingPixelMemory) {
  // 9.6 KB of pixels under a header of 8192 x 8192 (256 MiB once decoded).
  const std::vector<uint8_t> file = Bmp24(8192, 8192, 9600);
  test::AllocationProbe probe;
  auto r = DecodeBmp(file.data(), file.size());
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().code, ErrorCode::Truncated);
  EXPECT_EQ(r.error().message, "BMP error: the pixel data ends too early");
  EXPECT_LT(probe.PeakBytes(), size_t{1} << 20);
}

TEST(CodecMemory, StillGifIsComposedStraightIntoItsPicture) {
  const std::vector<uint8_t> file = TinyGif(4096, 4096);
  ASSERT_EQ(file.size(), 35u);
  const size_t picture = size_t{4096} * 4096 * 4;
  test::AllocationProbe probe;
  auto r = LoadImageFromMemory(file.data(), file.size());
  ASSERT_TRUE(r.ok()) << r.error().message;
  // The picture is a huge-page-aligned block: the allocator may keep up to 2 MiB of
  // untouched alignment slack with it, which the probe counts. A second buffer of the
  // picture's size, or one index byte a pixel (16 MiB), is still far above the bound.
  EXPECT_LT(probe.PeakBytes(), picture + (size_t{3} << 20));
  EXPECT_EQ(r->Width(), 4096);
  EXPECT_EQ(r->Height(), 4096);
  EXPECT_EQ(r->GetPixel(0, 0), MakePixel(255, 0, 0));
  EXPECT_EQ(r->GetPixel(1, 0), Pixel{0});
  EXPECT_EQ(r->GetPixel(4095, 4095), Pixel{0});
}

TEST(CodecMemory, JpegWhoseDataEndsEarlyIsRefused) {
  BlendBitmap gradient(64, 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x)
      gradient.SetPixel(x, y, MakePixel(uint8_t(x * 4), uint8_t(y * 4), uint8_t(x + y)));
  const std::vector<uint8_t> whole = EncodeJpeg(gradient, 90).value();
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"cut at two thirds",
       {whole.begin(), whole.begin() + static_cast<long>(whole.size() * 2 / 3)}},
      {"cut before its end marker", {whole.begin(), whole.end() - 40}},
      {"declares 8000 x 8000", JpegDeclaring(8000, 8000)},
  };
  for (const auto& c : cases) {
    test::AllocationProbe probe;
    auto r = DecodeJpeg(c.bytes.data(), c.bytes.size());
    ASSERT_FALSE(r.ok()) << c.name;
    EXPECT_EQ(r.error().code, ErrorCode::Truncated) << c.name << ": " << r.error().message;
    EXPECT_LT(probe.PeakBytes(), size_t{1} << 20) << c.name;
  }
}

TEST(CodecMemory, PicturesAreLimitedTo64Megapixels) {
  // 64 megapixels is 8192 x 8192; each side stays within 16384. Files here hold no pixel
  // data, so a size within the limits fails as truncated instead.
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    ErrorCode code;
  };
  const Case cases[] = {
      {"BMP 8193 x 8192", Bmp24(8193, 8192, 16), ErrorCode::TooLarge},
      {"BMP 16384 x 4096", Bmp24(16384, 4096, 16), ErrorCode::Truncated},
      {"BMP 8K", Bmp24(7680, 4320, 16), ErrorCode::Truncated},
      {"BMP 16385 x 1", Bmp24(16385, 1, 16), ErrorCode::TooLarge},
      {"JPEG 8193 x 8192", JpegDeclaring(8193, 8192), ErrorCode::TooLarge},
      {"JPEG 8K", JpegDeclaring(7680, 4320), ErrorCode::Truncated},
      {"GIF 8193 x 8192", TinyGif(8193, 8192), ErrorCode::TooLarge},
  };
  for (const auto& c : cases) {
    auto r = LoadImageFromMemory(c.bytes.data(), c.bytes.size());
    ASSERT_FALSE(r.ok()) << c.name;
    EXPECT_EQ(r.error().code, c.code) << c.name << ": " << r.error().message;
  }
  const std::vector<uint8_t> gif = TinyGif(7680, 4320);
  auto eightK = DecodeGif(gif.data(), gif.size());
  ASSERT_TRUE(eightK.ok()) << eightK.error().message;
  EXPECT_EQ(eightK->width, 7680);
}

int AppendToVector(GifFileType* gif, const GifByteType* buf, int len) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), buf, buf + len);
  return len;
}

// A GIF with a logical screen of screenW x screenH and `count` frames of frameW x frameH at
// (0, 0), every pixel index 1 (a few hundred bytes a frame once compressed).
std::vector<uint8_t> ManyFramesGif(int screenW, int screenH, int frameW, int frameH, int count) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendToVector, &error);
  const GifColorType colors[2] = {{0, 0, 0}, {255, 0, 0}};
  ColorMapObject* map = GifMakeMapObject(2, colors);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, screenW, screenH, 1, 0, map);
  const std::vector<GifPixelType> row(static_cast<size_t>(frameW), 1);
  for (int f = 0; f < count; ++f) {
    EGifPutImageDesc(gif, 0, 0, frameW, frameH, false, nullptr);
    for (int y = 0; y < frameH; ++y)
      EGifPutLine(gif, const_cast<GifPixelType*>(row.data()), frameW);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

TEST(CodecMemory, GifFramesAreHeldToThePixelLimitWhileTheyAreDecoded) {
  // A limit of 2^20 pixels and frames of 256 x 256 (2^16): 16 frames fit exactly, 17 do not.
  // The frame indices are counted before each frame is decoded, so a refused file never
  // holds much more than the limit; frames larger than the screen count at their own size.
  constexpr int64_t kLimit = int64_t{1} << 20;
  struct Case {
    const char* name;
    int screen, frame, count;
    bool ok;
  };
  const Case cases[] = {
      {"16 frames, exactly the limit", 256, 256, 16, true},
      {"17 frames", 256, 256, 17, false},
      {"40 frames", 256, 256, 40, false},
      {"40 frames larger than a 16 x 16 screen", 16, 256, 40, false},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> bytes = ManyFramesGif(c.screen, c.screen, c.frame, c.frame, c.count);
    ASSERT_LT(bytes.size(), size_t{64} << 10) << c.name;
    test::AllocationProbe probe;
    auto r = DecodeGif(bytes.data(), bytes.size(), SIZE_MAX, kLimit);
    EXPECT_EQ(r.ok(), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(r->frames.size(), static_cast<size_t>(c.count)) << c.name;
    } else {
      EXPECT_EQ(r.error().code, ErrorCode::TooLarge) << c.name;
      EXPECT_NE(r.error().message.find("1048576"), std::string::npos) << r.error().message;
    }
    EXPECT_LT(probe.PeakBytes(), static_cast<size_t>(kLimit) + (size_t{128} << 10)) << c.name;
  }
}

}  // namespace
}  // namespace vec

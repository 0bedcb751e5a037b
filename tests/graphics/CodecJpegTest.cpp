// JPEG decoding into both bitmap layouts, agreement with the plain library, and failures.

#include <gtest/gtest.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include "graphics/ImageFile.h"
#include "graphics/Jpeg.h"

namespace vec {
namespace {

BlendBitmap Gradient(int32_t w, int32_t h) {
  BlendBitmap bmp(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      bmp.SetPixel(x, y,
                   MakePixel(uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t((x + y) & 255)));
  return bmp;
}

// The library on its own, default settings, RGB out.
std::vector<uint8_t> PlainDecodeRgb(const std::vector<uint8_t>& jpeg, int& w, int& h) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  w = static_cast<int>(cinfo.output_width);
  h = static_cast<int>(cinfo.output_height);
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = rgb.data() + static_cast<size_t>(cinfo.output_scanline) * w * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return rgb;
}

TEST(CodecJpeg, DecodesExactlyAsThePlainLibrary) {
  const auto jpeg = EncodeJpeg(Gradient(67, 45), 85);
  ASSERT_TRUE(jpeg);
  int w = 0, h = 0;
  const auto rgb = PlainDecodeRgb(jpeg.value(), w, h);
  auto bmp = DecodeJpeg(jpeg->data(), jpeg->size());
  ASSERT_TRUE(bmp) << bmp.error().message;
  ASSERT_EQ(bmp->Width(), w);
  ASSERT_EQ(bmp->Height(), h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      ASSERT_EQ(bmp->GetPixel(x, y), MakePixel(p[0], p[1], p[2], 255)) << x << "," << y;
    }
}

TEST(CodecJpeg, DeviceBitmapGetsTheSameRowsBottomUp) {
  const auto jpeg = EncodeJpeg(Gradient(31, 17), 90);
  ASSERT_TRUE(jpeg);
  BlendBitmap top;
  BottomUpBitmap device;
  ASSERT_TRUE(DecodeJpeg(jpeg->data(), jpeg->size(), top));
  ASSERT_TRUE(DecodeJpeg(jpeg->data(), jpeg->size(), device));
  ASSERT_EQ(device.Width(), 31);
  ASSERT_EQ(device.Height(), 17);
  for (int32_t y = 0; y < 17; ++y)
    for (int32_t x = 0; x < 31; ++x) ASSERT_EQ(device.GetPixel(x, y), top.GetPixel(x, y));
  // The block begins with the bottom row.
  EXPECT_EQ(device.Bits()[0], top.GetPixel(0, 16));
}

TEST(CodecJpeg, EncodeKeepsFlatColoursAndSize) {
  BlendBitmap flat(40, 24);
  flat.Clear(MakePixel(10, 200, 90));
  const auto jpeg = EncodeJpeg(flat, 95);
  ASSERT_TRUE(jpeg);
  const auto info = ReadJpegInfo(jpeg->data(), jpeg->size());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 40);
  EXPECT_EQ(info->height, 24);
  EXPECT_EQ(info->components, 3);
  auto back = DecodeJpeg(jpeg->data(), jpeg->size());
  ASSERT_TRUE(back);
  const Pixel p = back->GetPixel(20, 12);
  EXPECT_NEAR(PixelR(p), 10, 3);
  EXPECT_NEAR(PixelG(p), 200, 3);
  EXPECT_NEAR(PixelB(p), 90, 3);
  EXPECT_EQ(PixelA(p), 255);
}

TEST(CodecJpeg, Failures) {
  const std::vector<uint8_t> good = EncodeJpeg(Gradient(16, 16), 90).value();
  std::vector<uint8_t> huge = EncodeJpeg(Gradient(16, 16), 90).value();
  // Patch the frame header (FFC0) to 20000 x 16.
  for (size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = 0x00;
      huge[i + 6] = 0x10;
      huge[i + 7] = 20000 >> 8;
      huge[i + 8] = 20000 & 0xFF;
      break;
    }
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    ErrorCode code;
  };
  const Case cases[] = {
      {"empty", {}, ErrorCode::Corrupt},
      {"not a JPEG", {'h', 'e', 'l', 'l', 'o'}, ErrorCode::Corrupt},
      {"cut in the header", {good.begin(), good.begin() + 40}, ErrorCode::Corrupt},
      {"wider than 16384", huge, ErrorCode::TooLarge},
  };
  for (const auto& c : cases) {
    auto r = DecodeJpeg(c.bytes.data(), c.bytes.size());
    ASSERT_FALSE(r) << c.name;
    EXPECT_EQ(r.error().code, c.code) << c.name << ": " << r.error().message;
    EXPECT_FALSE(r.error().message.empty());
  }
}

TEST(CodecJpeg, DataCutAfterTheHeadersIsRefused) {
  // What is missing would have to be invented (the library fills it with grey): the
  // picture is refused as truncated.
  const std::vector<uint8_t> good = EncodeJpeg(Gradient(64, 64), 90).value();
  const std::vector<uint8_t> cut(good.begin(),
                                 good.begin() + static_cast<long>(good.size() * 2 / 3));
  auto r = DecodeJpeg(cut.data(), cut.size());
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().code, ErrorCode::Truncated);
  EXPECT_EQ(r.error().message, "JPEG error: Premature end of JPEG file");
}

TEST(CodecJpeg, FileWithoutItsEndMarkerStillDecodes) {
  // Every row is there; only the closing marker is missing, as some cameras write them.
  const std::vector<uint8_t> good = EncodeJpeg(Gradient(64, 64), 90).value();
  const std::vector<uint8_t> noEnd(good.begin(), good.end() - 2);
  auto r = DecodeJpeg(noEnd.data(), noEnd.size());
  ASSERT_TRUE(r) << r.error().message;
  EXPECT_EQ(r->Width(), 64);
}

TEST(CodecJpeg, EmptyBitmapIsNotEncoded) {
  EXPECT_FALSE(EncodeJpeg(BlendBitmap{}));
}

TEST(ImageFile, SniffsTheFormat) {
  struct Case {
    std::vector<uint8_t> bytes;
    ImageFormat format;
  };
  const Case cases[] = {
      {{0xFF, 0xD8, 0xFF, 0xE0}, ImageFormat::Jpeg},
      {{'G', 'I', 'F', '8', '9', 'a'}, ImageFormat::Gif},
      {{'G', 'I', 'F', '8', '7', 'a'}, ImageFormat::Gif},
      {{'B', 'M', 0}, ImageFormat::Bmp},
      {{'P', 'N', 'G'}, ImageFormat::Unknown},
      {{}, ImageFormat::Unknown},
  };
  for (const auto& c : cases) EXPECT_EQ(SniffImageFormat(c.bytes.data(), c.bytes.size()), c.format);
  const std::vector<uint8_t> png{0x89, 'P', 'N', 'G'};
  auto r = LoadImageFromMemory(png.data(), png.size());
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().code, ErrorCode::UnknownFormat);
  auto missing = LoadImageFromFile("/nonexistent/picture.jpg");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, ErrorCode::OpenFailed);
}

}  // namespace
}  // namespace vec

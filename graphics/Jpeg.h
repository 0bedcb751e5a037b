#pragma once
// JPEG through libjpeg-turbo: decoding straight into the 32-bit pixel layout (blue, green,
// red, alpha 255) with the library's default settings (accurate integer DCT, fancy
// upsampling), and encoding for the tools.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "graphics/ImageFile.h"

namespace vec {

struct JpegInfo {
  int32_t width = 0;
  int32_t height = 0;
  int32_t components = 0;
};

// Header only: size and components, with the size limit applied.
ErrorOr<JpegInfo> ReadJpegInfo(const uint8_t* data, size_t size);

// The bitmap takes the JPEG's size. On failure the bitmap's content is unspecified.
Status DecodeJpeg(const uint8_t* data, size_t size, BottomUpBitmap& dst);
Status DecodeJpeg(const uint8_t* data, size_t size, BlendBitmap& dst);
ErrorOr<BlendBitmap> DecodeJpeg(const uint8_t* data, size_t size);
ErrorOr<BlendBitmap> LoadJpegFile(const std::string& path);

// Baseline JPEG, 4:2:0, quality 1..100. The fourth byte of each pixel is ignored.
ErrorOr<std::vector<uint8_t>> EncodeJpeg(const BlendBitmap& src, int quality = 90);
ErrorOr<std::vector<uint8_t>> EncodeJpeg(const BottomUpBitmap& src, int quality = 90);

}  // namespace vec

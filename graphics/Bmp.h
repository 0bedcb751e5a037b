#pragma once
// Windows bitmap files. Reading: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed,
// RLE4 and RLE8, bit-field masks, top-down and bottom-up, core and info headers (up to
// the V5 header). Writing: 32 bits per pixel, bottom-up, BITMAPINFOHEADER.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "graphics/ImageFile.h"

namespace vec {

// Pixels get alpha 255, except 32-bit files whose header gives an alpha mask. Pixels that
// an RLE file skips stay 0x00000000.
ErrorOr<BlendBitmap> DecodeBmp(const uint8_t* data, size_t size);
ErrorOr<BlendBitmap> LoadBmpFile(const std::string& path);

namespace reference {
// The same decoder with every uncompressed row read pixel by pixel through the general
// path; tests hold DecodeBmp's dedicated rows to it.
ErrorOr<BlendBitmap> DecodeBmp(const uint8_t* data, size_t size);
}  // namespace reference

// The file bytes of a 32-bit bottom-up bitmap; the fourth byte is written as it is.
std::vector<uint8_t> EncodeBmp32(const BottomUpBitmap& src);
std::vector<uint8_t> EncodeBmp32(const BlendBitmap& src);
Status SaveBmp32(const BottomUpBitmap& src, const std::string& path);
Status SaveBmp32(const BlendBitmap& src, const std::string& path);

}  // namespace vec

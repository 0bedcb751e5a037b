#pragma once
// What the picture codecs share: the size limit and a loader that recognises JPEG, BMP and
// GIF files by their first bytes. Every reader returns an ErrorOr (base/Result.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "graphics/BlendBitmap.h"

namespace vec {

// Larger images are refused before any pixel memory is taken: no side above 16384 pixels
// and no more than 64 megapixels in all (8192 x 8192; any 8K picture fits).
constexpr int32_t kMaxImageDimension = 16384;
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;

bool ImageSizeAllowed(int64_t width, int64_t height);
// TooLarge: "<what> is too large (W x H, at most 16384 x 16384 and 64 megapixels)".
Error ImageTooLarge(std::string_view what, int64_t width, int64_t height);

// Reads a whole file; OpenFailed when it cannot.
ErrorOr<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

enum class ImageFormat { Unknown, Jpeg, Bmp, Gif };
ImageFormat SniffImageFormat(const uint8_t* data, size_t size);

// Any JPEG, BMP or GIF (its first frame, composed) as a 32-bit bitmap with alpha 255,
// except where a GIF or BMP carries transparency of its own.
ErrorOr<BlendBitmap> LoadImageFromMemory(const uint8_t* data, size_t size);
ErrorOr<BlendBitmap> LoadImageFromFile(const std::string& path);

}  // namespace vec

#pragma once
// Files the studio reads and writes: photos (JPEG, BMP and GIF through our own
// decoders, PNG and what else Qt reads through Qt's image reader), picture files, mask
// pictures, and whole files written so that a failed write leaves the old file alone.

#include <QString>
#include <cstdint>
#include <vector>

#include "base/Result.h"
#include "graphics/BlendBitmap.h"

namespace vec::studio {

// Whether the bytes start like a picture file.
bool IsPictureFile(const std::vector<uint8_t>& bytes);

// A photo decoded to 32-bit pixels with alpha; a picture larger than the format takes is
// refused before its pixels are decoded.
ErrorOr<BlendBitmap> DecodePhoto(const std::vector<uint8_t>& bytes, const QString& name);

ErrorOr<std::vector<uint8_t>> ReadFileBytes(const QString& path);
// Writes the whole file through a temporary beside it, replacing the file only when
// everything was written.
Status WriteFileBytes(const QString& path, const std::vector<uint8_t>& bytes);
// A picture as PNG, or as BMP when the name ends in .bmp.
Status WriteImageFile(const QString& path, const BlendBitmap& picture);

}  // namespace vec::studio

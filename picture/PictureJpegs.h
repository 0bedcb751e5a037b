#pragma once
// How a picture file's two JPEG streams are made from an author's picture: a JPEG file is
// stored as it is (no second loss of quality), any other picture is encoded; the preview is
// the picture made small at a fixed width. Shared by `vectool vep` and the studio.

#include <cstdint>
#include <vector>

#include "base/Result.h"
#include "graphics/BlendBitmap.h"

namespace vec {

inline constexpr int32_t kDefaultPreviewWidth = 160;
inline constexpr int kDefaultJpegQuality = 90;

// The picture's stream: `fileBytes` themselves when they are a JPEG file, else `decoded`
// (the same picture) encoded at `quality`.
ErrorOr<std::vector<uint8_t>> StoredPictureJpeg(std::vector<uint8_t> fileBytes,
                                                const BlendBitmap& decoded, int quality);

// The preview: the picture resampled bilinearly to `width` (at least 1) and the height that
// keeps its aspect (at least 1), encoded at `quality`.
ErrorOr<std::vector<uint8_t>> MakePreviewJpeg(const BlendBitmap& picture, int32_t width,
                                              int quality);

}  // namespace vec

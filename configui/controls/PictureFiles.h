#pragma once
// What the grid and the preview share about the pictures they are given: which kind of
// file a name is by its extension, finding it on disk, and decoding a plain image into an
// opaque bitmap.

#include <string>
#include <string_view>

#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "graphics/ImageFile.h"

namespace vec {

// By the extension of the file-name part, compared in upper case: ".VEP" is a picture file,
// ".JPG", ".BMP" and ".GIF" are plain images; anything else (".JPEG" too) is neither.
enum class PictureFileKind { Picture, Image, Other };
PictureFileKind KindOfPictureFile(std::string_view path);

// The path of an existing regular file for `path` (its name matched ignoring case when the
// exact name is missing), or empty when there is none.
std::string FindPictureFile(const std::string& path);

// The file-name part, without its folder.
std::string FileNameWithoutFolder(std::string_view path);

// A plain image decoded and laid over white, so that its transparent parts show white;
// every pixel of the result is opaque.
ErrorOr<BlendBitmap> LoadOpaqueImage(const std::string& path);
// A device bitmap's pixels with the fourth byte set opaque.
BlendBitmap OpaqueCopy(const BottomUpBitmap& bitmap);

}  // namespace vec

#include "picture/PictureJpegs.h"

#include <algorithm>
#include <utility>

#include "graphics/ImageFile.h"
#include "graphics/Jpeg.h"
#include "graphics/PictureUtilities.h"

namespace vec {

ErrorOr<std::vector<uint8_t>> StoredPictureJpeg(std::vector<uint8_t> fileBytes,
                                                const BlendBitmap& decoded, int quality) {
  if (SniffImageFormat(fileBytes.data(), fileBytes.size()) == ImageFormat::Jpeg) return fileBytes;
  return EncodeJpeg(decoded, quality);
}

ErrorOr<std::vector<uint8_t>> MakePreviewJpeg(const BlendBitmap& picture, int32_t width,
                                              int quality) {
  if (picture.Empty()) return Error::Make(ErrorCode::BadSize, "The picture is empty");
  const int32_t pw = std::max(1, width);
  const int32_t ph =
      std::max<int32_t>(1, static_cast<int32_t>(int64_t{picture.Height()} * pw / picture.Width()));
  BlendBitmap small(pw, ph);
  StretchSmoothTo(picture, small);
  return EncodeJpeg(small, quality);
}

}  // namespace vec

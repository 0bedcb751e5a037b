#include "configui/controls/ThumbnailLoader.h"

#include "base/TextEncoding.h"
#include "configui/controls/PictureFiles.h"
#include "graphics/PictureUtilities.h"
#include "picture/Picture.h"

namespace vec {

namespace {

BlendBitmap Resampled(const BlendBitmap& source, int32_t width, int32_t height) {
  BlendBitmap scratch(width, height);
  scratch.Clear(MakePixel(255, 255, 255));
  StretchSmoothTo(source, scratch);
  return scratch;
}

}  // namespace

Thumbnails LoadThumbnails(const std::vector<std::string>& items, int32_t pictureWidth,
                          int32_t pictureHeight, IPictureMessages* messages) {
  Thumbnails out;
  if (pictureWidth <= 0 || pictureHeight <= 0) return out;
  for (const std::string& item : items) {
    const PictureFileKind kind = KindOfPictureFile(item);
    if (kind == PictureFileKind::Other) continue;
    const std::string path = FindPictureFile(item);
    if (path.empty()) continue;
    if (kind == PictureFileKind::Picture) {
      Picture picture;
      BlendBitmap preview;
      if (picture.LoadPreview(path, messages)) preview = OpaqueCopy(picture.preview);
      out.images.push_back(Resampled(preview, pictureWidth, pictureHeight));
      out.titles.push_back(Cp1252ToUtf8(picture.Title));
    } else {
      ErrorOr<BlendBitmap> image = LoadOpaqueImage(path);
      out.images.push_back(
          Resampled(image ? image.value() : BlendBitmap(), pictureWidth, pictureHeight));
      out.titles.push_back(FileNameWithoutFolder(item));
    }
  }
  return out;
}

}  // namespace vec

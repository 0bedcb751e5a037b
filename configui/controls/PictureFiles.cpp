#include "configui/controls/PictureFiles.h"

#include <algorithm>
#include <cctype>

#include "package/FileSearch.h"
#include "package/FileUtil.h"

namespace vec {

namespace {

std::string UpperExtension(std::string_view path) {
  const std::string_view name = StoredFileNamePart(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string ext(name.substr(dot));
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return ext;
}

}  // namespace

PictureFileKind KindOfPictureFile(std::string_view path) {
  const std::string ext = UpperExtension(path);
  if (ext == ".VEP") return PictureFileKind::Picture;
  if (ext == ".JPG" || ext == ".BMP" || ext == ".GIF") return PictureFileKind::Image;
  return PictureFileKind::Other;
}

std::string FindPictureFile(const std::string& path) {
  if (path.empty()) return {};
  if (IsRegularFile(path)) return path;
  const std::string folder(LocalFolderPart(path));
  return FindInFolder(folder.empty() ? "./" : folder, LocalFileNamePart(path));
}

std::string FileNameWithoutFolder(std::string_view path) {
  return std::string(StoredFileNamePart(path));
}

ErrorOr<BlendBitmap> LoadOpaqueImage(const std::string& path) {
  ErrorOr<BlendBitmap> loaded = LoadImageFromFile(path);
  if (!loaded) return loaded;
  BlendBitmap& image = loaded.value();
  Pixel* p = image.Bits();
  const size_t n = static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height());
  for (size_t i = 0; i < n; ++i) {
    const uint32_t a = PixelA(p[i]);
    if (a == 255) continue;
    // Straight alpha over white: c' = c * a / 255 + 255 - a, per colour byte.
    Pixel out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t c = (p[i] >> shift) & 0xFF;
      out |= ((c * a + 255 * (255 - a)) / 255) << shift;
    }
    p[i] = out;
  }
  return loaded;
}

BlendBitmap OpaqueCopy(const BottomUpBitmap& bitmap) {
  BlendBitmap out;
  out.CopyFrom(bitmap);
  Pixel* p = out.Bits();
  const size_t n = static_cast<size_t>(out.Width()) * static_cast<size_t>(out.Height());
  for (size_t i = 0; i < n; ++i) p[i] |= 0xFF000000;
  return out;
}

}  // namespace vec

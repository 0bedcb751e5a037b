#include "graphics/ImageFile.h"

#include <cstring>
#include <fstream>

#include "graphics/Bmp.h"
#include "graphics/Gif.h"
#include "graphics/Jpeg.h"

namespace vec {

bool ImageSizeAllowed(int64_t width, int64_t height) {
  return width <= kMaxImageDimension && height <= kMaxImageDimension &&
         width * height <= kMaxImagePixels;
}

Error ImageTooLarge(std::string_view what, int64_t width, int64_t height) {
  return Error::Make(ErrorCode::TooLarge,
                     std::string(what) + " is too large (" + std::to_string(width) + " x " +
                         std::to_string(height) + ", at most 16384 x 16384 and 64 megapixels)");
}

ErrorOr<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return Error::Make(ErrorCode::OpenFailed, "Cannot open file " + path);
  f.seekg(0, std::ios::end);
  const std::streamoff size = f.tellg();
  if (size < 0) return Error::Make(ErrorCode::OpenFailed, "Cannot read file " + path);
  f.seekg(0, std::ios::beg);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !f.read(reinterpret_cast<char*>(bytes.data()), size))
    return Error::Make(ErrorCode::OpenFailed, "Cannot read file " + path);
  return bytes;
}

ImageFormat SniffImageFormat(const uint8_t* data, size_t size) {
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return ImageFormat::Jpeg;
  if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
    return ImageFormat::Gif;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ImageFormat::Bmp;
  return ImageFormat::Unknown;
}

ErrorOr<BlendBitmap> LoadImageFromMemory(const uint8_t* data, size_t size) {
  switch (SniffImageFormat(data, size)) {
    case ImageFormat::Jpeg:
      return DecodeJpeg(data, size);
    case ImageFormat::Bmp:
      return DecodeBmp(data, size);
    case ImageFormat::Gif: {
      // Only the first picture is wanted: the later frames are not even decoded, and the
      // one frame is composed straight into the picture.
      const GifImage first = TRY(DecodeGif(data, size, 1));
      auto frames = ComposeGifFrames(first);
      if (frames.empty()) return Error::Make(ErrorCode::Corrupt, "GIF error: empty image");
      return std::move(frames.front());
    }
    case ImageFormat::Unknown:
      break;
  }
  return Error::Make(ErrorCode::UnknownFormat,
                     "Unknown picture format (not a JPEG, BMP or GIF file)");
}

ErrorOr<BlendBitmap> LoadImageFromFile(const std::string& path) {
  const std::vector<uint8_t> bytes = TRY(ReadWholeFile(path));
  return LoadImageFromMemory(bytes.data(), bytes.size());
}

}  // namespace vec

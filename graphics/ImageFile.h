#pragma once
// What the picture codecs share: the error type every reader returns, the size limit,
// and a loader that recognises JPEG, BMP and GIF files by their first bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "graphics/Bitmap32.h"

namespace vec {

// Larger images are refused before any pixel memory is taken.
constexpr int32_t kMaxImageDimension = 16384;

enum class ImageErrorCode {
  OpenFailed,     // the file could not be opened or read
  UnknownFormat,  // not a JPEG, BMP or GIF
  TooLarge,       // wider or higher than kMaxImageDimension, or too many GIF frames
  Corrupt,        // the data is not a valid image of its format
  Truncated,      // the data ends too early
  Unsupported,    // valid, but a variant this reader does not handle
  WriteFailed,    // an encoder or writer could not produce its output
};

struct ImageError {
  ImageErrorCode code;
  std::string message;
};

// A value or the reason there is none.
template <class T>
class ImageResult {
 public:
  ImageResult(T value) : v_(std::move(value)) {}           // NOLINT(google-explicit-constructor)
  ImageResult(ImageError error) : v_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const ImageError& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, ImageError> v_;
};

// An operation without a value: ok, or the error.
struct ImageStatus {
  ImageStatus() = default;
  ImageStatus(ImageError e) : failed(true), error(std::move(e)) {}  // NOLINT
  bool ok() const { return !failed; }
  explicit operator bool() const { return ok(); }
  bool failed = false;
  ImageError error{ImageErrorCode::Corrupt, {}};
};

inline ImageError MakeImageError(ImageErrorCode code, std::string message) {
  return ImageError{code, std::move(message)};
}

// Reads a whole file; OpenFailed when it cannot.
ImageResult<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

enum class ImageFormat { Unknown, Jpeg, Bmp, Gif };
ImageFormat SniffImageFormat(const uint8_t* data, size_t size);

// Any JPEG, BMP or GIF (its first frame, composed) as a 32-bit bitmap with alpha 255,
// except where a GIF or BMP carries transparency of its own.
ImageResult<Bitmap32> LoadImageFromMemory(const uint8_t* data, size_t size);
ImageResult<Bitmap32> LoadImageFromFile(const std::string& path);

}  // namespace vec

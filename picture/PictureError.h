#pragma once
// Why a picture file did not load. The messages are the ones the user sees after "File: ".

#include <optional>
#include <string>

namespace vec {

enum class PictureErrorCode {
  OpenFailed,  // the file could not be opened
  BadMagic,    // the first eight bytes are not the picture file's mark
  Truncated,   // the file ends inside an item, or a declared size exceeds what remains
  BadSize,     // a negative count or length
  BadJpeg,     // the preview or the picture does not decode
  BadMask,     // the mask's width or height is negative or too large
};

struct PictureError {
  PictureErrorCode code;
  std::string message;
};

// nullopt: success.
using PictureStatus = std::optional<PictureError>;

inline constexpr const char* kIncorrectProjectFile = "Incorrect Project File!";
inline constexpr const char* kReadBeyondEnd = "Read beyond end of file";

}  // namespace vec

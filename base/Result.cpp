#include "base/Result.h"

namespace vec {

std::string_view ErrorCodeName(ErrorCode code) {
  switch (code) {
    case ErrorCode::OpenFailed:
      return "OpenFailed";
    case ErrorCode::WriteFailed:
      return "WriteFailed";
    case ErrorCode::BadMagic:
      return "BadMagic";
    case ErrorCode::Truncated:
      return "Truncated";
    case ErrorCode::BadSize:
      return "BadSize";
    case ErrorCode::TooLarge:
      return "TooLarge";
    case ErrorCode::Corrupt:
      return "Corrupt";
    case ErrorCode::Unsupported:
      return "Unsupported";
    case ErrorCode::UnknownFormat:
      return "UnknownFormat";
    case ErrorCode::BadJpeg:
      return "BadJpeg";
    case ErrorCode::BadMask:
      return "BadMask";
    case ErrorCode::NoMarker:
      return "NoMarker";
    case ErrorCode::NoCount:
      return "NoCount";
    case ErrorCode::Syntax:
      return "Syntax";
  }
  return "Unknown";
}

}  // namespace vec

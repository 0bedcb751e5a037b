#pragma once
// An animated picture file written frame by frame: GIF (at most 256 colours a frame) or
// WebP (full colour). The format follows the file's extension; both loop for ever, and the
// finished file is readable by all (0644).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"

namespace vectool {

enum class AnimationFormat { Gif, Webp };

struct AnimationSettings {
  // WebP only: lossy at this quality (0..100) when set, else lossless.
  std::optional<int> webpQuality;
};

class AnimationWriter {
 public:
  virtual ~AnimationWriter() = default;

  // Creates the file.
  virtual vec::Status Open(const std::string& path, int32_t width, int32_t height) = 0;
  // Adds a frame of the size given to Open, shown for `durationMs` milliseconds.
  virtual vec::Status AddFrame(const vec::BlendBitmap& frame, int32_t durationMs) = 0;
  virtual vec::Status AddFrame(const vec::BottomUpBitmap& frame, int32_t durationMs) = 0;
  // Finishes the file. A writer dropped without Close may leave no usable file.
  virtual vec::Status Close() = 0;
};

// The format a file name asks for by its extension (any case), if any.
std::optional<AnimationFormat> AnimationFormatOf(std::string_view path);
std::string_view AnimationExtension(AnimationFormat format);  // ".gif" or ".webp"
std::unique_ptr<AnimationWriter> MakeAnimationWriter(AnimationFormat format,
                                                     const AnimationSettings& settings);

}  // namespace vectool

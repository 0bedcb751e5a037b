#include "tools/vectool/AnimationWriter.h"

#include "tools/vectool/FrameOutput.h"
#include "tools/vectool/GifWriter.h"
#include "tools/vectool/WebpWriter.h"

namespace vectool {

std::optional<AnimationFormat> AnimationFormatOf(std::string_view path) {
  for (AnimationFormat f : {AnimationFormat::Gif, AnimationFormat::Webp})
    if (EndsWithNoCase(path, AnimationExtension(f))) return f;
  return std::nullopt;
}

std::string_view AnimationExtension(AnimationFormat format) {
  return format == AnimationFormat::Webp ? ".webp" : ".gif";
}

std::unique_ptr<AnimationWriter> MakeAnimationWriter(AnimationFormat format,
                                                     const AnimationSettings& settings) {
  if (format == AnimationFormat::Webp)
    return std::make_unique<WebpAnimationWriter>(settings.webpQuality);
  return std::make_unique<GifAnimationWriter>();
}

}  // namespace vectool

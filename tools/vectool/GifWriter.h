#pragma once
// Writes an animated GIF from 32-bit frames. Each frame gets its own palette from the
// quantiser, with dithering; each frame after the first stores only the rectangle whose
// colours changed, so unchanged areas stay exactly as they were shown.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/vectool/AnimationWriter.h"
#include "tools/vectool/Quantiser.h"

namespace vectool {

class GifAnimationWriter final : public AnimationWriter {
 public:
  GifAnimationWriter();
  ~GifAnimationWriter() override;
  GifAnimationWriter(const GifAnimationWriter&) = delete;
  GifAnimationWriter& operator=(const GifAnimationWriter&) = delete;

  vec::Status Open(const std::string& path, int32_t width, int32_t height) override;
  // GIF counts time in hundredths of a second: each frame's delay is chosen so that the
  // frames end at the sum of the durations so far, rounded down, and no time is lost.
  vec::Status AddFrame(const vec::BlendBitmap& frame, int32_t durationMs) override;
  vec::Status AddFrame(const vec::BottomUpBitmap& frame, int32_t durationMs) override;
  vec::Status Close() override;

 private:
  template <class Picture>
  vec::Status AddFrameOf(const Picture& frame, int32_t durationMs);
  vec::Status WriteFrame(const IndexedPicture& picture, PictureArea area, int32_t delayCs);

  struct File;
  std::unique_ptr<File> file_;
  Quantiser quantiser_;
  std::string path_;
  int32_t width_ = 0, height_ = 0;
  std::vector<vec::Pixel> previous_;  // the last frame's colours, alpha cleared
  bool first_ = true;
  int64_t shownMs_ = 0, shownCs_ = 0;
};

}  // namespace vectool

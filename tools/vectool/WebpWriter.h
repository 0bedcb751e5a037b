#pragma once
// Writes an animated WebP in full colour through libwebp's animation encoder: lossless by
// default, lossy at a chosen quality. Frames are kept in memory by the encoder (it stores
// only what changed) and the file is written whole on Close. Consecutive frames that are
// exactly alike become one frame shown for their total time.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tools/vectool/AnimationWriter.h"

namespace vectool {

class WebpAnimationWriter final : public AnimationWriter {
 public:
  explicit WebpAnimationWriter(std::optional<int> quality = std::nullopt);
  ~WebpAnimationWriter() override;
  WebpAnimationWriter(const WebpAnimationWriter&) = delete;
  WebpAnimationWriter& operator=(const WebpAnimationWriter&) = delete;

  vec::Status Open(const std::string& path, int32_t width, int32_t height) override;
  vec::Status AddFrame(const vec::BlendBitmap& frame, int32_t durationMs) override;
  vec::Status AddFrame(const vec::BottomUpBitmap& frame, int32_t durationMs) override;
  vec::Status Close() override;

 private:
  template <class Picture>
  vec::Status AddFrameOf(const Picture& frame, int32_t durationMs);

  struct Encoder;
  std::unique_ptr<Encoder> encoder_;
  std::optional<int> quality_;
  std::string path_;
  int32_t width_ = 0, height_ = 0;
  int64_t timestampMs_ = 0;
};

}  // namespace vectool

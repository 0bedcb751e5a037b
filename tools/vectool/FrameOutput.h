#pragma once
// Where the offline commands (animate, render) put their frames: numbered 32-bit BMP files
// (frame0001.bmp, ...) in a folder, or one animated GIF or WebP when the path ends in ".gif"
// or ".webp". Also the small argument parsers those commands share.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "graphics/BlendBitmap.h"
#include "tools/vectool/AnimationWriter.h"

namespace vectool {

// A whole decimal number and nothing else.
bool ParseWholeNumber(const std::string& text, int64_t& out);
// "WxH" with both sides in 1..maxSide.
bool ParseSize(const std::string& text, int32_t maxSide, int32_t& w, int32_t& h);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// An output that is not closed successfully is taken away again when the FrameOutput goes:
// the animation file it opened, or the frames it wrote and the folder if it made it, so a
// failed command leaves no empty or half-written output behind.
class FrameOutput {
 public:
  FrameOutput() = default;
  ~FrameOutput();
  FrameOutput(const FrameOutput&) = delete;
  FrameOutput& operator=(const FrameOutput&) = delete;

  // Frames are shown at `fps`; their durations (whole milliseconds) are spread so that the
  // total time stays right.
  vec::Status Open(const std::string& path, int32_t width, int32_t height, int64_t fps,
                   const AnimationSettings& settings);
  vec::Status Add(const vec::BlendBitmap& frame);
  vec::Status Close();
  int64_t frames() const { return frames_; }

 private:
  void Discard();

  std::string path_;
  bool opened_ = false, closed_ = false, madeFolder_ = false;
  int64_t fps_ = 30;
  int64_t frames_ = 0;
  int64_t shownMs_ = 0;
  std::unique_ptr<AnimationWriter> writer_;  // none for a folder of BMP files
};

}  // namespace vectool

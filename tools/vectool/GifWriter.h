#pragma once
// Writes an animated GIF from 32-bit frames, for previews of the transitions. Colours go
// to a fixed 6 x 7 x 6 palette with ordered dithering (fast, and the same pixel always
// gives the same index, so unchanged areas stay unchanged); each frame after the first
// stores only the rectangle that changed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Bitmap.h"
#include "graphics/Bitmap32.h"

namespace vectool {

class GifAnimationWriter {
 public:
  GifAnimationWriter();
  ~GifAnimationWriter();
  GifAnimationWriter(const GifAnimationWriter&) = delete;
  GifAnimationWriter& operator=(const GifAnimationWriter&) = delete;

  // Creates the file (loops for ever). On failure returns false and sets `error`.
  bool Open(const std::string& path, int32_t width, int32_t height, std::string& error);
  // Adds a frame of the size given to Open, shown for delayCs hundredths of a second.
  bool AddFrame(const vec::Bitmap& frame, int32_t delayCs, std::string& error);
  bool AddFrame(const vec::Bitmap32& frame, int32_t delayCs, std::string& error);
  // Finishes the file; also done by the destructor (whose errors are lost).
  bool Close(std::string& error);

  // The palette index of a pixel at (x, y) (position-dependent through the dither).
  static uint8_t Quantise(vec::Pixel p, int32_t x, int32_t y);

 private:
  template <class Bitmap>
  bool AddFrameOf(const Bitmap& frame, int32_t delayCs, std::string& error);
  bool WriteFrame(int32_t delayCs, std::string& error);

  struct File;
  std::unique_ptr<File> file_;
  int32_t width_ = 0, height_ = 0;
  std::vector<uint8_t> previous_, current_;
  bool first_ = true;
};

}  // namespace vectool

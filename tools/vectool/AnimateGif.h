#pragma once
// A small animated-GIF writer for `vectool animate`: every frame quantised to one fixed
// 6 x 7 x 6 colour cube, looping for ever.

#include <gif_lib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Bitmap32.h"

namespace vectool {

class AnimateGifWriter {
 public:
  AnimateGifWriter() = default;
  ~AnimateGifWriter();
  AnimateGifWriter(const AnimateGifWriter&) = delete;
  AnimateGifWriter& operator=(const AnimateGifWriter&) = delete;

  bool Open(const std::string& path, int32_t width, int32_t height);
  // Frames of another size are drawn clipped to the first one's.
  bool Add(const vec::TBitmap32& frame, int32_t delayMs);
  bool Close();

 private:
  GifFileType* gif_ = nullptr;
  int32_t width_ = 0, height_ = 0;
  std::vector<GifPixelType> line_;
};

}  // namespace vectool

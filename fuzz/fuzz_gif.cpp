// GIF decoding and composition from memory.
#include <cstddef>
#include <cstdint>

#include "graphics/Gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto gif = vec::DecodeGif(data, size);
  if (gif && int64_t{gif->width} * gif->height * static_cast<int64_t>(gif->frames.size()) <=
                 (int64_t{1} << 22)) {
    vec::GifComposeOptions options;
    options.allDisposeToBackground = (size & 1) != 0;
    vec::ComposeGifFrames(gif.value(), options);
  }
  return 0;
}

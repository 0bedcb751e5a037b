#pragma once
// GIF through giflib: every frame as its colour indices with its own rectangle, palette,
// delay, disposal and transparent index, plus the composition of the frames into whole
// 32-bit pictures (what the GIF shows after each frame). Animated objects re-compose with
// their own transparency and disposal choices, so both levels are exposed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Geometry.h"
#include "graphics/ImageFile.h"

namespace vec {

struct GifColor {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const GifColor&, const GifColor&) = default;
};

enum class GifDisposal : uint8_t {
  None = 0,        // not specified: leave the frame in place
  Keep = 1,        // leave the frame in place
  Background = 2,  // clear the frame's rectangle to transparent
  Previous = 3,    // restore what was there before the frame
};

struct GifFrame {
  Rect rect;                      // in logical-screen coordinates; may reach outside it
  std::vector<uint8_t> indices;   // rect.Width() x rect.Height(), rows top-down, de-interlaced
  std::vector<GifColor> palette;  // the frame's local palette; empty: the global one applies
  int32_t delayMs = 0;            // as stored (hundredths of a second x 10)
  GifDisposal disposal = GifDisposal::None;
  int32_t transparentIndex = -1;  // -1: none
};

struct GifImage {
  int32_t width = 0, height = 0;  // logical screen
  std::vector<GifColor> globalPalette;
  int32_t backgroundIndex = 0;
  int32_t loopCount = -1;  // from the looping extension; -1 when absent, 0 = for ever
  bool truncated = false;  // the data ended inside a frame after at least one whole frame
  std::vector<GifFrame> frames;

  const std::vector<GifColor>& PaletteOf(const GifFrame& f) const {
    return f.palette.empty() ? globalPalette : f.palette;
  }
};

// Frames beyond this many pixels in total are refused (about 1 GiB once composed).
constexpr int64_t kMaxGifTotalPixels = int64_t{1} << 28;

// Fails on a damaged header, a frame larger than the limits, or data that ends before the
// first frame is whole. Data that ends inside a later frame keeps the frames before it.
// At most frameLimit frames are read; the rest of the file is left unread. The frames'
// indices, and the frames once composed (logical screen x frame count), may hold at most
// pixelLimit pixels; the indices are checked before each frame is decoded, so a file that
// declares more is refused (TooLarge) with no more than pixelLimit bytes of indices held.
ErrorOr<GifImage> DecodeGif(const uint8_t* data, size_t size, size_t frameLimit = SIZE_MAX,
                            int64_t pixelLimit = kMaxGifTotalPixels);
ErrorOr<GifImage> LoadGifFile(const std::string& path, int64_t pixelLimit = kMaxGifTotalPixels);

// Per-frame choices for composition; an empty vector keeps the stored values.
struct GifComposeOptions {
  std::vector<int32_t> transparentIndex;  // one per frame, -1 = opaque
  bool allDisposeToBackground = false;    // every frame's disposal becomes Background
};

// Picture i is what the GIF shows once frame i is drawn: the canvas starts transparent
// (0x00000000); opaque pixels get alpha 255; an index outside the palette is opaque black.
// Each frame's disposal is applied before the next one is drawn. The canvas itself becomes
// the last picture, so a still costs one picture of memory.
std::vector<BlendBitmap> ComposeGifFrames(const GifImage& gif,
                                          const GifComposeOptions& options = {});

// Index of `color` in the global palette, or -1.
int32_t FindGlobalPaletteIndex(const GifImage& gif, GifColor color);

}  // namespace vec

#pragma once
// An animated GIF as a viewer sees it, decoded with giflib apart from the program that
// wrote it: the logical screen, each frame's delay and each frame composed over the ones
// before it (transparent pixels and "restore to background" honoured).

#include <gif_lib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vec::testing {

struct DecodedGif {
  int32_t width = 0, height = 0;
  std::vector<int32_t> delaysCs;
  // Each frame as composed, 0xRRGGBB per pixel, row by row.
  std::vector<std::vector<uint32_t>> frames;
  bool loops = false;  // has the application block that makes it repeat

  // Pixel (x, y) of a frame; 0xFFFFFFFF, no colour at all, for a frame or place the file
  // does not have.
  uint32_t At(size_t frame, int32_t x, int32_t y) const {
    if (frame >= frames.size() || x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFF;
    return frames[frame]
                 [static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

inline std::optional<DecodedGif> DecodeGif(const std::string& path) {
  int code = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
  if (!gif) return std::nullopt;
  if (DGifSlurp(gif) == GIF_ERROR) {
    DGifCloseFile(gif, &code);
    return std::nullopt;
  }
  DecodedGif out;
  out.width = gif->SWidth;
  out.height = gif->SHeight;
  // giflib keeps the blocks before an image with that image, the ones after the last image
  // apart.
  auto findLoop = [&](const ExtensionBlock* blocks, int count) {
    for (int i = 0; i < count; ++i) {
      const ExtensionBlock& e = blocks[i];
      if (e.Function == APPLICATION_EXT_FUNC_CODE && e.ByteCount == 11 &&
          std::string(reinterpret_cast<const char*>(e.Bytes), 11) == "NETSCAPE2.0")
        out.loops = true;
    }
  };
  findLoop(gif->ExtensionBlocks, gif->ExtensionBlockCount);
  for (int f = 0; f < gif->ImageCount; ++f)
    findLoop(gif->SavedImages[f].ExtensionBlocks, gif->SavedImages[f].ExtensionBlockCount);
  std::vector<uint32_t> canvas(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
  bool ok = true;
  for (int f = 0; f < gif->ImageCount && ok; ++f) {
    const SavedImage& image = gif->SavedImages[f];
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, f, &control);
    out.delaysCs.push_back(control.DelayTime);
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    const GifImageDesc& d = image.ImageDesc;
    if (!map || d.Left < 0 || d.Top < 0 || d.Left + d.Width > out.width ||
        d.Top + d.Height > out.height) {
      ok = false;
      break;
    }
    const std::vector<uint32_t> before = canvas;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[y * d.Width + x];
        if (index == control.TransparentColor || index >= map->ColorCount) continue;
        const GifColorType c = map->Colors[index];
        canvas[static_cast<size_t>(d.Top + y) * static_cast<size_t>(out.width) +
               static_cast<size_t>(d.Left + x)] =
            (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
      }
    out.frames.push_back(canvas);
    if (control.DisposalMode == DISPOSE_PREVIOUS) canvas = before;
    if (control.DisposalMode == DISPOSE_BACKGROUND)
      for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x)
          canvas[static_cast<size_t>(d.Top + y) * static_cast<size_t>(out.width) +
                 static_cast<size_t>(d.Left + x)] = 0;
  }
  DGifCloseFile(gif, &code);
  if (!ok) return std::nullopt;
  return out;
}

// Whether two 0xRRGGBB colours are within `tolerance` on every channel (the GIF's palette
// and dither move a colour a little).
inline bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int s = 0; s < 24; s += 8) {
    const int d = static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF);
    if (d > tolerance || d < -tolerance) return false;
  }
  return true;
}

}  // namespace vec::testing

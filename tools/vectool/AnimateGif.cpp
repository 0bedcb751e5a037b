#include "tools/vectool/AnimateGif.h"

#include <algorithm>

namespace vectool {

namespace {
constexpr int kRed = 6, kGreen = 7, kBlue = 6;

GifPixelType CubeIndex(vec::Pixel p) {
  const int r = (vec::PixelR(p) * (kRed - 1) + 127) / 255;
  const int g = (vec::PixelG(p) * (kGreen - 1) + 127) / 255;
  const int b = (vec::PixelB(p) * (kBlue - 1) + 127) / 255;
  return static_cast<GifPixelType>((r * kGreen + g) * kBlue + b);
}
}  // namespace

AnimateGifWriter::~AnimateGifWriter() {
  Close();
}

bool AnimateGifWriter::Open(const std::string& path, int32_t width, int32_t height) {
  int error = 0;
  gif_ = EGifOpenFileName(path.c_str(), false, &error);
  if (!gif_) return false;
  width_ = width;
  height_ = height;
  line_.assign(static_cast<size_t>(std::max(width, 0)), 0);
  EGifSetGifVersion(gif_, true);
  std::vector<GifColorType> colors(256);
  for (int r = 0; r < kRed; ++r)
    for (int g = 0; g < kGreen; ++g)
      for (int b = 0; b < kBlue; ++b) {
        GifColorType& c = colors[static_cast<size_t>((r * kGreen + g) * kBlue + b)];
        c.Red = static_cast<GifByteType>(r * 255 / (kRed - 1));
        c.Green = static_cast<GifByteType>(g * 255 / (kGreen - 1));
        c.Blue = static_cast<GifByteType>(b * 255 / (kBlue - 1));
      }
  ColorMapObject* map = GifMakeMapObject(256, colors.data());
  const bool ok = map && EGifPutScreenDesc(gif_, width, height, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  if (!ok) return false;
  static const GifByteType kApp[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType kLoop[] = {1, 0, 0};
  return EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif_, sizeof kApp, kApp) == GIF_OK &&
         EGifPutExtensionBlock(gif_, sizeof kLoop, kLoop) == GIF_OK &&
         EGifPutExtensionTrailer(gif_) == GIF_OK;
}

bool AnimateGifWriter::Add(const vec::TBitmap32& frame, int32_t delayMs) {
  if (!gif_) return false;
  GraphicsControlBlock gcb{};
  gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
  gcb.DelayTime = std::max(1, (delayMs + 5) / 10);
  gcb.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType ext[4];
  const size_t n = EGifGCBToExtension(&gcb, ext);
  if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext) != GIF_OK)
    return false;
  if (EGifPutImageDesc(gif_, 0, 0, width_, height_, false, nullptr) != GIF_OK) return false;
  for (int32_t y = 0; y < height_; ++y) {
    for (int32_t x = 0; x < width_; ++x)
      line_[static_cast<size_t>(x)] =
          (x < frame.Width() && y < frame.Height()) ? CubeIndex(frame.GetPixel(x, y)) : 0;
    if (EGifPutLine(gif_, line_.data(), width_) != GIF_OK) return false;
  }
  return true;
}

bool AnimateGifWriter::Close() {
  if (!gif_) return true;
  int error = 0;
  const bool ok = EGifCloseFile(gif_, &error) == GIF_OK;
  gif_ = nullptr;
  return ok;
}

}  // namespace vectool

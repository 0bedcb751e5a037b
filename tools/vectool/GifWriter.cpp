#include "tools/vectool/GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>

namespace vectool {

namespace {

constexpr int kRedLevels = 6, kGreenLevels = 7, kBlueLevels = 6;

// 4 x 4 ordered-dither thresholds, 0..15.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Level of a channel value with the dither threshold t (0..15) applied.
int Level(int value, int levels, int t) {
  // Scale to level units times 16, add the threshold, and truncate.
  const int scaled = value * (levels - 1) * 16 / 255 + t;
  return std::min(scaled / 16, levels - 1);
}

std::string GifError(int code) {
  const char* text = GifErrorString(code);
  return text ? text : "GIF error " + std::to_string(code);
}

}  // namespace

struct GifAnimationWriter::File {
  GifFileType* gif = nullptr;
  ColorMapObject* palette = nullptr;
  ~File() {
    if (gif) {
      int ignored = 0;
      EGifCloseFile(gif, &ignored);
    }
    if (palette) GifFreeMapObject(palette);
  }
};

GifAnimationWriter::GifAnimationWriter() = default;
GifAnimationWriter::~GifAnimationWriter() = default;

uint8_t GifAnimationWriter::Quantise(vec::Pixel p, int32_t x, int32_t y) {
  const int t = kBayer[y & 3][x & 3];
  const int r = Level(vec::PixelR(p), kRedLevels, t);
  const int g = Level(vec::PixelG(p), kGreenLevels, t);
  const int b = Level(vec::PixelB(p), kBlueLevels, t);
  return static_cast<uint8_t>((r * kGreenLevels + g) * kBlueLevels + b);
}

bool GifAnimationWriter::Open(const std::string& path, int32_t width, int32_t height,
                              std::string& error) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
    error = "GIF size out of range";
    return false;
  }
  file_ = std::make_unique<File>();
  width_ = width;
  height_ = height;
  first_ = true;
  previous_.assign(static_cast<size_t>(width) * height, 0);
  current_.assign(previous_.size(), 0);

  std::array<GifColorType, 256> colours{};
  for (int r = 0; r < kRedLevels; ++r) {
    for (int g = 0; g < kGreenLevels; ++g) {
      for (int b = 0; b < kBlueLevels; ++b) {
        GifColorType& c = colours[static_cast<size_t>((r * kGreenLevels + g) * kBlueLevels + b)];
        c.Red = static_cast<GifByteType>(r * 255 / (kRedLevels - 1));
        c.Green = static_cast<GifByteType>(g * 255 / (kGreenLevels - 1));
        c.Blue = static_cast<GifByteType>(b * 255 / (kBlueLevels - 1));
      }
    }
  }
  file_->palette = GifMakeMapObject(256, colours.data());
  int code = 0;
  file_->gif = EGifOpenFileName(path.c_str(), false, &code);
  if (!file_->palette || !file_->gif) {
    error = path + ": " + (file_->gif ? "out of memory" : GifError(code));
    file_.reset();
    return false;
  }
  EGifSetGifVersion(file_->gif, true);
  if (EGifPutScreenDesc(file_->gif, width, height, 8, 0, file_->palette) == GIF_ERROR) {
    error = path + ": " + GifError(file_->gif->Error);
    file_.reset();
    return false;
  }
  // Loop for ever.
  GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  GifByteType loop[] = {1, 0, 0};
  if (EGifPutExtensionLeader(file_->gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(file_->gif, sizeof application, application) == GIF_ERROR ||
      EGifPutExtensionBlock(file_->gif, sizeof loop, loop) == GIF_ERROR ||
      EGifPutExtensionTrailer(file_->gif) == GIF_ERROR) {
    error = path + ": " + GifError(file_->gif->Error);
    file_.reset();
    return false;
  }
  return true;
}

bool GifAnimationWriter::AddFrame(const vec::Bitmap& frame, int32_t delayCs, std::string& error) {
  return AddFrameOf(frame, delayCs, error);
}

bool GifAnimationWriter::AddFrame(const vec::Bitmap32& frame, int32_t delayCs, std::string& error) {
  return AddFrameOf(frame, delayCs, error);
}

template <class Bitmap>
bool GifAnimationWriter::AddFrameOf(const Bitmap& frame, int32_t delayCs, std::string& error) {
  if (!file_) {
    error = "GIF not open";
    return false;
  }
  if (frame.Width() != width_ || frame.Height() != height_) {
    error = "frame size differs from the GIF size";
    return false;
  }
  for (int32_t y = 0; y < height_; ++y) {
    const vec::Pixel* row = frame.ScanLine(y);
    uint8_t* out = current_.data() + static_cast<size_t>(y) * width_;
    for (int32_t x = 0; x < width_; ++x) out[x] = Quantise(row[x], x, y);
  }
  return WriteFrame(delayCs, error);
}

bool GifAnimationWriter::WriteFrame(int32_t delayCs, std::string& error) {
  // The rectangle that changed since the last frame (all of it for the first); a frame
  // without change still needs one pixel to carry its delay.
  int32_t left = 0, top = 0, right = width_, bottom = height_;
  if (!first_) {
    left = width_, top = height_, right = 0, bottom = 0;
    for (int32_t y = 0; y < height_; ++y) {
      const size_t at = static_cast<size_t>(y) * width_;
      for (int32_t x = 0; x < width_; ++x) {
        if (current_[at + x] == previous_[at + x]) continue;
        left = std::min(left, x);
        right = std::max(right, x + 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
    }
    if (right <= left) left = 0, top = 0, right = 1, bottom = 1;
  }

  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.DelayTime = std::clamp(delayCs, 0, 65535);
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const size_t length = EGifGCBToExtension(&control, extension);
  GifFileType* gif = file_->gif;
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
          GIF_ERROR ||
      EGifPutImageDesc(gif, left, top, right - left, bottom - top, false, nullptr) == GIF_ERROR) {
    error = GifError(gif->Error);
    return false;
  }
  for (int32_t y = top; y < bottom; ++y) {
    GifPixelType* line = current_.data() + static_cast<size_t>(y) * width_ + left;
    if (EGifPutLine(gif, line, right - left) == GIF_ERROR) {
      error = GifError(gif->Error);
      return false;
    }
  }
  previous_.swap(current_);
  first_ = false;
  return true;
}

bool GifAnimationWriter::Close(std::string& error) {
  if (!file_) return true;
  int code = 0;
  GifFileType* gif = file_->gif;
  file_->gif = nullptr;
  const bool ok = EGifCloseFile(gif, &code) != GIF_ERROR;
  file_.reset();
  if (!ok) error = GifError(code);
  return ok;
}

}  // namespace vectool

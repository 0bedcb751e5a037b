#include "tools/vectool/GifWriter.h"

#include <gif_lib.h>
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cassert>
#include <utility>

namespace vectool {

namespace {

std::string GifError(int code) {
  const char* text = GifErrorString(code);
  return text ? text : "GIF error " + std::to_string(code);
}

vec::Error Failed(std::string message) {
  return vec::Error::Make(vec::ErrorCode::WriteFailed, std::move(message));
}

constexpr vec::Pixel kColourBits = 0x00FFFFFF;

}  // namespace

struct GifAnimationWriter::File {
  GifFileType* gif = nullptr;
  ~File() {
    if (gif) {
      int ignored = 0;
      EGifCloseFile(gif, &ignored);
    }
  }
};

GifAnimationWriter::GifAnimationWriter() = default;
GifAnimationWriter::~GifAnimationWriter() = default;

vec::Status GifAnimationWriter::Open(const std::string& path, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
    return vec::Error::Make(vec::ErrorCode::BadSize, "GIF size out of range");
  file_ = std::make_unique<File>();
  path_ = path;
  width_ = width;
  height_ = height;
  first_ = true;
  shownMs_ = 0;
  shownCs_ = 0;
  previous_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);

  int code = 0;
  file_->gif = EGifOpenFileName(path.c_str(), false, &code);
  if (!file_->gif) {
    file_.reset();
    return Failed(path + ": " + GifError(code));
  }
  EGifSetGifVersion(file_->gif, true);
  // No global palette: every frame carries its own.
  if (EGifPutScreenDesc(file_->gif, width, height, 8, 0, nullptr) == GIF_ERROR) {
    vec::Error error = Failed(path + ": " + GifError(file_->gif->Error));
    file_.reset();
    return error;
  }
  // Loop for ever.
  GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  GifByteType loop[] = {1, 0, 0};
  if (EGifPutExtensionLeader(file_->gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(file_->gif, sizeof application, application) == GIF_ERROR ||
      EGifPutExtensionBlock(file_->gif, sizeof loop, loop) == GIF_ERROR ||
      EGifPutExtensionTrailer(file_->gif) == GIF_ERROR) {
    vec::Error error = Failed(path + ": " + GifError(file_->gif->Error));
    file_.reset();
    return error;
  }
  return {};
}

vec::Status GifAnimationWriter::AddFrame(const vec::BottomUpBitmap& frame, int32_t durationMs) {
  return AddFrameOf(frame, durationMs);
}

vec::Status GifAnimationWriter::AddFrame(const vec::BlendBitmap& frame, int32_t durationMs) {
  return AddFrameOf(frame, durationMs);
}

template <class Picture>
vec::Status GifAnimationWriter::AddFrameOf(const Picture& frame, int32_t durationMs) {
  // Frames after a failed Open or after Close are a caller's mistake.
  assert(file_ && "AddFrame needs an open GIF");
  if (!file_) return Failed("GIF not open");
  if (frame.Width() != width_ || frame.Height() != height_)
    return vec::Error::Make(vec::ErrorCode::BadSize, "frame size differs from the GIF size");
  // The rectangle whose colours changed since the last frame (all of it for the first); a
  // frame without change still needs one pixel to carry its delay.
  PictureArea area{0, 0, width_, height_};
  if (!first_) {
    int32_t left = width_, top = height_, right = 0, bottom = 0;
    for (int32_t y = 0; y < height_; ++y) {
      const vec::Pixel* row = frame.ScanLine(y);
      const vec::Pixel* before = previous_.data() + static_cast<size_t>(y) * width_;
      for (int32_t x = 0; x < width_; ++x) {
        if ((row[x] & kColourBits) == before[x]) continue;
        left = std::min(left, x);
        right = std::max(right, x + 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
    }
    area =
        right > left ? PictureArea{left, top, right - left, bottom - top} : PictureArea{0, 0, 1, 1};
  }
  for (int32_t y = 0; y < height_; ++y) {
    const vec::Pixel* row = frame.ScanLine(y);
    vec::Pixel* keep = previous_.data() + static_cast<size_t>(y) * width_;
    for (int32_t x = 0; x < width_; ++x) keep[x] = row[x] & kColourBits;
  }

  const IndexedPicture picture = TRY(quantiser_.Quantise(frame, area));
  shownMs_ += std::max(durationMs, 0);
  const int64_t dueCs = shownMs_ / 10;
  const auto delayCs = static_cast<int32_t>(std::min<int64_t>(dueCs - shownCs_, 65535));
  shownCs_ += delayCs;
  return WriteFrame(picture, area, delayCs);
}

vec::Status GifAnimationWriter::WriteFrame(const IndexedPicture& picture, PictureArea area,
                                           int32_t delayCs) {
  // GIF palettes hold a power of two of colours, at least two.
  const auto used = static_cast<unsigned>(picture.palette.size());
  const auto size = static_cast<int>(std::max(2U, std::bit_ceil(used)));
  std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
  for (size_t i = 0; i < picture.palette.size(); ++i)
    colours[i] = {picture.palette[i].r, picture.palette[i].g, picture.palette[i].b};
  std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> palette(
      GifMakeMapObject(size, colours.data()), GifFreeMapObject);
  if (!palette) return Failed("out of memory");

  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.DelayTime = delayCs;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const size_t length = EGifGCBToExtension(&control, extension);
  GifFileType* gif = file_->gif;
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
          GIF_ERROR ||
      EGifPutImageDesc(gif, area.x, area.y, area.w, area.h, false, palette.get()) == GIF_ERROR)
    return Failed(GifError(gif->Error));
  std::vector<GifPixelType> line(static_cast<size_t>(area.w));
  for (int32_t y = 0; y < area.h; ++y) {
    const uint8_t* row = picture.indices.data() + static_cast<size_t>(y) * area.w;
    std::copy(row, row + area.w, line.begin());
    if (EGifPutLine(gif, line.data(), area.w) == GIF_ERROR) return Failed(GifError(gif->Error));
  }
  first_ = false;
  return {};
}

vec::Status GifAnimationWriter::Close() {
  if (!file_) return {};
  int code = 0;
  GifFileType* gif = file_->gif;
  file_->gif = nullptr;
  const bool ok = EGifCloseFile(gif, &code) != GIF_ERROR;
  file_.reset();
  if (!ok) return Failed(GifError(code));
  // giflib creates the file readable by its owner only; an animation is for showing.
  chmod(path_.c_str(), 0644);
  return {};
}

}  // namespace vectool

#include "tools/vectool/WebpWriter.h"

#include <sys/stat.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cassert>
#include <fstream>
#include <limits>
#include <utility>

namespace vectool {

namespace {

// The largest side of a WebP picture.
constexpr int32_t kMaxWebpSide = 16383;

vec::Error Failed(std::string message) {
  return vec::Error::Make(vec::ErrorCode::WriteFailed, std::move(message));
}

}  // namespace

struct WebpAnimationWriter::Encoder {
  WebPAnimEncoder* encoder = nullptr;
  WebPConfig config{};
  WebPPicture picture{};
  ~Encoder() {
    WebPPictureFree(&picture);
    if (encoder) WebPAnimEncoderDelete(encoder);
  }
};

WebpAnimationWriter::WebpAnimationWriter(std::optional<int> quality) : quality_(quality) {}
WebpAnimationWriter::~WebpAnimationWriter() = default;

vec::Status WebpAnimationWriter::Open(const std::string& path, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxWebpSide || height > kMaxWebpSide)
    return vec::Error::Make(vec::ErrorCode::BadSize,
                            "WebP size out of range (at most 16383 x 16383)");
  encoder_.reset();
  auto e = std::make_unique<Encoder>();
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&e->config) ||
      !WebPPictureInit(&e->picture))
    return Failed("the WebP library does not match its headers");
  options.anim_params.loop_count = 0;  // for ever
  if (quality_) {
    e->config.lossless = 0;
    e->config.quality = static_cast<float>(std::clamp(*quality_, 0, 100));
  } else {
    e->config.lossless = 1;
    // Effort, for lossless: a middle setting that keeps long runs quick.
    e->config.quality = 50;
    e->config.method = 2;
    // Every frame lossless: no lossy frames mixed in where they would come out smaller.
    options.allow_mixed = 0;
  }
  e->picture.width = width;
  e->picture.height = height;
  e->picture.use_argb = 1;
  e->encoder = WebPAnimEncoderNew(width, height, &options);
  if (!e->encoder || !WebPPictureAlloc(&e->picture))
    return Failed("out of memory for the WebP encoder");
  // Fail now, not after the whole run, when the file cannot be made.
  std::ofstream probe(path, std::ios::binary | std::ios::trunc);
  if (!probe) return Failed("cannot write " + path);
  encoder_ = std::move(e);
  path_ = path;
  width_ = width;
  height_ = height;
  timestampMs_ = 0;
  return {};
}

vec::Status WebpAnimationWriter::AddFrame(const vec::BlendBitmap& frame, int32_t durationMs) {
  return AddFrameOf(frame, durationMs);
}

vec::Status WebpAnimationWriter::AddFrame(const vec::BottomUpBitmap& frame, int32_t durationMs) {
  return AddFrameOf(frame, durationMs);
}

template <class Picture>
vec::Status WebpAnimationWriter::AddFrameOf(const Picture& frame, int32_t durationMs) {
  // Frames after a failed Open or after Close are a caller's mistake.
  assert(encoder_ && "AddFrame needs an open WebP");
  if (!encoder_) return Failed("WebP not open");
  if (frame.Width() != width_ || frame.Height() != height_)
    return vec::Error::Make(vec::ErrorCode::BadSize, "frame size differs from the WebP size");
  if (timestampMs_ > std::numeric_limits<int>::max() - std::max(durationMs, 0))
    return vec::Error::Make(vec::ErrorCode::TooLarge, "the animation is too long for WebP");
  // WebP's ARGB words have the layout of our pixels; the frames are opaque.
  WebPPicture& picture = encoder_->picture;
  for (int32_t y = 0; y < height_; ++y) {
    const vec::Pixel* row = frame.ScanLine(y);
    uint32_t* out =
        picture.argb + static_cast<size_t>(y) * static_cast<size_t>(picture.argb_stride);
    for (int32_t x = 0; x < width_; ++x) out[x] = row[x] | 0xFF000000U;
  }
  if (!WebPAnimEncoderAdd(encoder_->encoder, &picture, static_cast<int>(timestampMs_),
                          &encoder_->config))
    return Failed(std::string("WebP: ") + WebPAnimEncoderGetError(encoder_->encoder));
  timestampMs_ += std::max(durationMs, 0);
  return {};
}

vec::Status WebpAnimationWriter::Close() {
  if (!encoder_) return {};
  const std::unique_ptr<Encoder> e = std::move(encoder_);
  WebPData data;
  WebPDataInit(&data);
  // The end time gives the last frame its duration.
  if (!WebPAnimEncoderAdd(e->encoder, nullptr, static_cast<int>(timestampMs_), nullptr) ||
      !WebPAnimEncoderAssemble(e->encoder, &data)) {
    WebPDataClear(&data);
    return Failed(std::string("WebP: ") + WebPAnimEncoderGetError(e->encoder));
  }
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.bytes), static_cast<std::streamsize>(data.size));
  out.close();
  WebPDataClear(&data);
  if (!out) return Failed("cannot write " + path_);
  chmod(path_.c_str(), 0644);
  return {};
}

}  // namespace vectool

#include "tools/vectool/WebpWriter.h"

#include <sys/stat.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <fstream>
#include <limits>

namespace vectool {

namespace {

// The largest side of a WebP picture.
constexpr int32_t kMaxWebpSide = 16383;

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

bool WebpAnimationWriter::Open(const std::string& path, int32_t width, int32_t height,
                               std::string& error) {
  if (width <= 0 || height <= 0 || width > kMaxWebpSide || height > kMaxWebpSide) {
    error = "WebP size out of range (at most 16383 x 16383)";
    return false;
  }
  encoder_.reset();
  auto e = std::make_unique<Encoder>();
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&e->config) ||
      !WebPPictureInit(&e->picture)) {
    error = "the WebP library does not match its headers";
    return false;
  }
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
  if (!e->encoder || !WebPPictureAlloc(&e->picture)) {
    error = "out of memory for the WebP encoder";
    return false;
  }
  // Fail now, not after the whole run, when the file cannot be made.
  std::ofstream probe(path, std::ios::binary | std::ios::trunc);
  if (!probe) {
    error = "cannot write " + path;
    return false;
  }
  encoder_ = std::move(e);
  path_ = path;
  width_ = width;
  height_ = height;
  timestampMs_ = 0;
  return true;
}

bool WebpAnimationWriter::AddFrame(const vec::Bitmap32& frame, int32_t durationMs,
                                   std::string& error) {
  return AddFrameOf(frame, durationMs, error);
}

bool WebpAnimationWriter::AddFrame(const vec::Bitmap& frame, int32_t durationMs,
                                   std::string& error) {
  return AddFrameOf(frame, durationMs, error);
}

template <class Picture>
bool WebpAnimationWriter::AddFrameOf(const Picture& frame, int32_t durationMs, std::string& error) {
  if (!encoder_) {
    error = "WebP not open";
    return false;
  }
  if (frame.Width() != width_ || frame.Height() != height_) {
    error = "frame size differs from the WebP size";
    return false;
  }
  if (timestampMs_ > std::numeric_limits<int>::max() - std::max(durationMs, 0)) {
    error = "the animation is too long for WebP";
    return false;
  }
  // WebP's ARGB words have the layout of our pixels; the frames are opaque.
  WebPPicture& picture = encoder_->picture;
  for (int32_t y = 0; y < height_; ++y) {
    const vec::Pixel* row = frame.ScanLine(y);
    uint32_t* out =
        picture.argb + static_cast<size_t>(y) * static_cast<size_t>(picture.argb_stride);
    for (int32_t x = 0; x < width_; ++x) out[x] = row[x] | 0xFF000000U;
  }
  if (!WebPAnimEncoderAdd(encoder_->encoder, &picture, static_cast<int>(timestampMs_),
                          &encoder_->config)) {
    error = std::string("WebP: ") + WebPAnimEncoderGetError(encoder_->encoder);
    return false;
  }
  timestampMs_ += std::max(durationMs, 0);
  return true;
}

bool WebpAnimationWriter::Close(std::string& error) {
  if (!encoder_) return true;
  const std::unique_ptr<Encoder> e = std::move(encoder_);
  WebPData data;
  WebPDataInit(&data);
  // The end time gives the last frame its duration.
  if (!WebPAnimEncoderAdd(e->encoder, nullptr, static_cast<int>(timestampMs_), nullptr) ||
      !WebPAnimEncoderAssemble(e->encoder, &data)) {
    error = std::string("WebP: ") + WebPAnimEncoderGetError(e->encoder);
    WebPDataClear(&data);
    return false;
  }
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.bytes), static_cast<std::streamsize>(data.size));
  out.close();
  WebPDataClear(&data);
  if (!out) {
    error = "cannot write " + path_;
    return false;
  }
  chmod(path_.c_str(), 0644);
  return true;
}

}  // namespace vectool

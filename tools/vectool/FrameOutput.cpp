#include "tools/vectool/FrameOutput.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>

#include "graphics/Bmp.h"

namespace vectool {

bool ParseWholeNumber(const std::string& text, int64_t& out) {
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && p == end;
}

bool ParseSize(const std::string& text, int32_t maxSide, int32_t& w, int32_t& h) {
  const size_t x = text.find_first_of("xX");
  int64_t a = 0, b = 0;
  if (x == std::string::npos || !ParseWholeNumber(text.substr(0, x), a) ||
      !ParseWholeNumber(text.substr(x + 1), b))
    return false;
  if (a < 1 || b < 1 || a > maxSide || b > maxSide) return false;
  w = static_cast<int32_t>(a);
  h = static_cast<int32_t>(b);
  return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  text.remove_prefix(text.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(suffix[i])))
      return false;
  return true;
}

FrameOutput::~FrameOutput() {
  if (opened_ && !closed_) Discard();
}

namespace {

std::string FrameName(const std::string& folder, int64_t n) {
  char name[32];
  std::snprintf(name, sizeof name, "frame%04lld.bmp", static_cast<long long>(n));
  return (std::filesystem::path(folder) / name).string();
}

}  // namespace

void FrameOutput::Discard() {
  std::error_code ec;
  if (writer_) {
    writer_.reset();
    std::filesystem::remove(path_, ec);
  } else {
    for (int64_t n = 1; n <= frames_; ++n) std::filesystem::remove(FrameName(path_, n), ec);
    // Only a folder this output made, and only when nothing else is in it.
    if (madeFolder_) std::filesystem::remove(path_, ec);
  }
  opened_ = false;
}

vec::Status FrameOutput::Open(const std::string& path, int32_t width, int32_t height, int64_t fps,
                              const AnimationSettings& settings) {
  if (opened_ && !closed_) Discard();
  path_ = path;
  fps_ = fps > 0 ? fps : 30;
  frames_ = 0;
  shownMs_ = 0;
  opened_ = closed_ = madeFolder_ = false;
  writer_.reset();
  if (const std::optional<AnimationFormat> format = AnimationFormatOf(path)) {
    writer_ = MakeAnimationWriter(*format, settings);
    vec::Status opened = writer_->Open(path, width, height);
    opened_ = opened.ok();
    if (!opened_) writer_.reset();
    return opened;
  }
  std::error_code ec;
  madeFolder_ = std::filesystem::create_directories(path, ec);
  if (!std::filesystem::is_directory(path))
    return vec::Error::Make(vec::ErrorCode::WriteFailed, "cannot make the folder " + path);
  opened_ = true;
  return {};
}

vec::Status FrameOutput::Add(const vec::BlendBitmap& frame) {
  ++frames_;
  if (writer_) {
    const int64_t dueMs = frames_ * 1000 / fps_;
    const auto duration = static_cast<int32_t>(dueMs - shownMs_);
    shownMs_ = dueMs;
    return writer_->AddFrame(frame, duration);
  }
  const std::string file = FrameName(path_, frames_);
  const vec::Status saved = vec::SaveBmp32(frame, file);
  if (!saved)
    return vec::Error::Make(saved.error().code,
                            "cannot write " + file + ": " + saved.error().message);
  return {};
}

vec::Status FrameOutput::Close() {
  if (!writer_) {
    closed_ = opened_;
    return {};
  }
  TRY(writer_->Close());  // on failure the half-written file goes with the output
  writer_.reset();
  closed_ = true;
  return {};
}

}  // namespace vectool

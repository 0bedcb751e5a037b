#include "slideshow/ShowDisplay.h"

#include <algorithm>
#include <cstring>

namespace vec {

namespace {

// Copies `rows` rows of `width` pixels; the callers clip beforehand.
void CopyRow(Pixel* dst, const Pixel* src, int32_t width) {
  std::memcpy(dst, src, static_cast<size_t>(width) * sizeof(Pixel));
}

void Fill(Bitmap32& bmp, Pixel color) {
  if (bmp.Empty()) return;
  std::fill_n(bmp.Bits(), static_cast<size_t>(bmp.Width()) * bmp.Height(), color);
}

constexpr Pixel kBlack = 0;

}  // namespace

ScreenDisplay::ScreenDisplay(int32_t width, int32_t height, bool directAvailable)
    : directAvailable_(directAvailable) {
  ResizeScreen(width, height);
}

void ScreenDisplay::ResizeScreen(int32_t width, int32_t height) {
  screen_.SetSize(std::max(width, 0), std::max(height, 0));
  Fill(screen_, kBlack);
}

bool ScreenDisplay::InitDirect() {
  direct_ = directAvailable_ && !screen_.Empty();
  return direct_;
}

void ScreenDisplay::Present(const Bitmap32& frame, int32_t x, int32_t y) {
  if (direct_) {
    if (surface_.Width() != frame.Width() || surface_.Height() != frame.Height())
      surface_.SetSize(frame.Width(), frame.Height());
    if (!frame.Empty())
      std::memcpy(surface_.Bits(), frame.Bits(),
                  static_cast<size_t>(frame.Width()) * frame.Height() * sizeof(Pixel));
  } else {
    // Clip the frame against the screen; a frame larger than the screen is cropped.
    const int32_t left = std::max(x, 0), top = std::max(y, 0);
    const int32_t right = std::min<int64_t>(int64_t{x} + frame.Width(), screen_.Width());
    const int32_t bottom = std::min<int64_t>(int64_t{y} + frame.Height(), screen_.Height());
    for (int32_t row = top; row < bottom; ++row)
      if (right > left)
        CopyRow(screen_.ScanLine(row) + left, frame.ScanLine(row - y) + (left - x), right - left);
  }
  ++presents_;
  Presented();
}

void ScreenDisplay::Present(const Bitmap& frame) {
  Bitmap32& target = direct_ ? surface_ : screen_;
  if (direct_ && (surface_.Width() != frame.Width() || surface_.Height() != frame.Height()))
    surface_.SetSize(frame.Width(), frame.Height());
  const int32_t width = std::min(frame.Width(), target.Width());
  const int32_t height = std::min(frame.Height(), target.Height());
  for (int32_t row = 0; row < height && width > 0; ++row)
    CopyRow(target.ScanLine(row), frame.ScanLine(row), width);
  ++presents_;
  Presented();
}

void ScreenDisplay::Capture(Bitmap& out) const {
  const Bitmap32& source = direct_ ? surface_ : screen_;
  if (out.Width() != source.Width() || out.Height() != source.Height())
    out.SetSize(source.Width(), source.Height());
  for (int32_t row = 0; row < source.Height(); ++row)
    CopyRow(out.ScanLine(row), source.ScanLine(row), source.Width());
}

void ScreenDisplay::FillBlack() {
  Fill(screen_, kBlack);
  if (direct_) Fill(surface_, kBlack);
  Presented();
}

void ScreenDisplay::Compose(Bitmap32& out) const {
  out.SetSize(screen_.Width(), screen_.Height());
  if (!direct_) {
    if (!screen_.Empty())
      std::memcpy(out.Bits(), screen_.Bits(),
                  static_cast<size_t>(screen_.Width()) * screen_.Height() * sizeof(Pixel));
    return;
  }
  if (surface_.Empty()) {
    Fill(out, kBlack);
    return;
  }
  for (int32_t y = 0; y < out.Height(); ++y) {
    const Pixel* src =
        surface_.ScanLine(static_cast<int32_t>(int64_t{y} * surface_.Height() / out.Height()));
    Pixel* dst = out.ScanLine(y);
    for (int32_t x = 0; x < out.Width(); ++x)
      dst[x] = src[int64_t{x} * surface_.Width() / out.Width()];
  }
}

}  // namespace vec

#include "graphics/BlendBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "graphics/Blit.h"
#include "graphics/Resample.h"

namespace vec {

namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// The blend of the blending bitmap (Blend), on straight (not premultiplied) pixels:
//   a     = weight of the source, 0..255 (source alpha x master alpha / 255)
//   c     = (src_c x a + dst_c x (255 - a)) / 255        for blue, green and red
//   alpha = a + dst_alpha x (255 - a) / 255               (source-over coverage)
// Divisions truncate. a = 255 gives the source colour exactly, a = 0 leaves the
// destination unchanged, and blending a colour over itself keeps it.
inline Pixel BlendOver(Pixel s, Pixel d, uint32_t a) {
  if (a == 0) return d;
  if (a >= 255) return (s & 0x00FFFFFF) | 0xFF000000;
  const uint32_t na = 255 - a;
  const uint32_t b = ((s & 0xFF) * a + (d & 0xFF) * na) / 255;
  const uint32_t g = (((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * na) / 255;
  const uint32_t r = (((s >> 16) & 0xFF) * a + ((d >> 16) & 0xFF) * na) / 255;
  const uint32_t al = a + (d >> 24) * na / 255;
  return (al << 24) | (r << 16) | (g << 8) | b;
}

// Merge: source-over onto a destination that may itself be transparent; the colour is
// weighted by each side's share of the resulting coverage.
inline Pixel MergeOver(Pixel s, Pixel d, uint32_t a) {
  if (a == 0) return d;
  const uint32_t da = d >> 24;
  const uint32_t fs = a * 255, fd = da * (255 - a);
  const uint32_t total = fs + fd;
  if (total == 0) return 0;
  auto mix = [&](int shift) {
    const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
    return ((sc * fs + dc * fd + total / 2) / total) << shift;
  };
  return ((total / 255) << 24) | mix(16) | mix(8) | mix(0);
}

inline Pixel Combine(Pixel s, Pixel d, uint32_t a, CombineMode mode) {
  return mode == CombineMode::Merge ? MergeOver(s, d, a) : BlendOver(s, d, a);
}

// Composites n source pixels over n destination pixels by the source bitmap's settings.
// Opaque copies; with a master alpha below 255 it blends by master alpha alone.
void CompositeRow(Pixel* d, const Pixel* s, int32_t n, const BlendBitmap& from) {
  const uint32_t master = from.masterAlpha;
  switch (from.drawMode) {
    case DrawMode::Opaque:
      if (master == 255) {
        std::memcpy(d, s, sizeof(Pixel) * static_cast<size_t>(n));
      } else {
        for (int32_t i = 0; i < n; ++i)
          d[i] = Combine(s[i] | 0xFF000000, d[i], master, from.combineMode);
      }
      break;
    case DrawMode::Custom:
      if (from.onPixelCombine) {
        for (int32_t i = 0; i < n; ++i) d[i] = from.onPixelCombine(s[i], d[i], master);
        break;
      }
      [[fallthrough]];
    case DrawMode::Blend:
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t a = (s[i] >> 24) * master / 255;
        d[i] = Combine(s[i], d[i], a, from.combineMode);
      }
      break;
  }
}

}  // namespace

// The size is taken only once the pixels are there, so a failed allocation leaves the
// bitmap as it was.
void BlendBitmap::SetSize(int32_t width, int32_t height) {
  pixels_.assign(CheckedPixelCount(width, height), Pixel{0});
  width_ = width;
  height_ = height;
  ResetClipRect();
}

void BlendBitmap::SetSizeForOverwrite(int32_t width, int32_t height) {
  pixels_.resize_for_overwrite(CheckedPixelCount(width, height));
  width_ = width;
  height_ = height;
  ResetClipRect();
}

void BlendBitmap::SetClipRect(const Rect& r) {
  clip_ = Intersect(r, Rect{0, 0, width_, height_});
  if (clip_.IsEmpty()) clip_ = Rect{};
  clipping_ = true;
}

void BlendBitmap::ResetClipRect() {
  clip_ = Rect{0, 0, width_, height_};
  clipping_ = false;
}

void BlendBitmap::Clear(Pixel color) {
  if (!clipping_) {
    std::fill(pixels_.begin(), pixels_.end(), color);
    return;
  }
  for (int32_t y = clip_.top; y < clip_.bottom; ++y) {
    std::fill(ScanLine(y) + clip_.left, ScanLine(y) + clip_.right, color);
  }
}

void BlendBitmap::SetPixelT(int32_t x, int32_t y, Pixel color) {
  if (x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom) return;
  Pixel& d = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  d = Combine(color, d, color >> 24, combineMode);
}

void BlendBitmap::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Pixel color) {
  const Rect r = Intersect({left, top, right, bottom}, Rect{0, 0, width_, height_});
  for (int32_t y = r.top; y < r.bottom; ++y) {
    std::fill(ScanLine(y) + r.left, ScanLine(y) + r.right, color);
  }
}

namespace {

// The library's rounding, inline and exact for |v| < 2^52 (LineFS keeps its coordinates
// far inside that): the truncated integer part is exact, and so is the remaining fraction.
// Written without branches: the fractions of a line's positions follow no pattern.
inline int64_t FloorToInt(double v) {
  const auto t = static_cast<int64_t>(v);
  return t - static_cast<int64_t>(static_cast<double>(t) > v);
}

// std::llround: halves away from zero.
inline int64_t RoundHalfAway(double v) {
  const auto t = static_cast<int64_t>(v);
  const double f = v - static_cast<double>(t);
  return t + static_cast<int64_t>(f >= 0.5) - static_cast<int64_t>(f <= -0.5);
}

// BlendOver without its shortcuts, which the general formula meets exactly: a = 0 gives
// the destination and a = 255 the opaque source. Branch-free for the line's random shares.
inline Pixel BlendOverAnyAlpha(Pixel s, Pixel d, uint32_t a) {
  const uint32_t na = 255 - a;
  const uint32_t b = ((s & 0xFF) * a + (d & 0xFF) * na) / 255;
  const uint32_t g = (((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * na) / 255;
  const uint32_t r = (((s >> 16) & 0xFF) * a + ((d >> 16) & 0xFF) * na) / 255;
  const uint32_t al = a + (d >> 24) * na / 255;
  return (al << 24) | (r << 16) | (g << 8) | b;
}

// Coordinates beyond this go to the reference walk, which handles any finite value.
constexpr double kFastLineLimit = 1099511627776.0;  // 2^40

}  // namespace

// Wu-style anti-aliased line: one step per pixel along the major axis; at each step the
// line's exact position on the minor axis is shared between the two pixels it falls
// between, in proportion to closeness. Each pixel is blended with the colour's alpha
// scaled by its share. The end point (x2, y2) is drawn only when asked for.
//
// The walk is the reference's, step for step in the same double arithmetic; what is gone
// is the per-pixel cost around it: the rounding calls, the axis choice, the clip and blend
// calls. A line whose pixels all fall outside the clip rectangle is not walked at all.
void BlendBitmap::LineFS(float x1, float y1, float x2, float y2, Pixel color, bool drawEndPoint) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  if (std::max({std::fabs(x1), std::fabs(y1), std::fabs(x2), std::fabs(y2)}) > kFastLineLimit) {
    reference::LineFS(*this, x1, y1, x2, y2, color, drawEndPoint);
    return;
  }
  const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const double length = std::round(std::max(std::fabs(dx), std::fabs(dy)));
  // A line this long cannot be meant for a bitmap; refuse it rather than loop for ages.
  if (length > double{1 << 24}) return;
  const int64_t n = static_cast<int64_t>(length);
  const uint32_t alpha = color >> 24;
  const Pixel rgb = color & 0x00FFFFFF;
  const int64_t left = clip_.left, top = clip_.top, right = clip_.right, bottom = clip_.bottom;
  const size_t stride = static_cast<size_t>(width_);
  Pixel* const bits = pixels_.data();
  const bool merge = combineMode == CombineMode::Merge;
  auto plot = [&](int64_t x, int64_t y, uint32_t share, auto mergeMode) {
    const uint32_t a = (alpha * share + 127) / 255;
    if (x < left || x >= right || y < top || y >= bottom) return;
    Pixel& d = bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x)];
    if constexpr (decltype(mergeMode)::value) {
      if (a != 0) d = MergeOver(rgb | (a << 24), d, a);
    } else {
      d = BlendOverAnyAlpha(rgb, d, a);
    }
  };
  if (n == 0) {
    if (!drawEndPoint) return;
    if (merge)
      plot(std::lround(x2), std::lround(y2), 255, std::true_type{});
    else
      plot(std::lround(x2), std::lround(y2), 255, std::false_type{});
    return;
  }
  // Every pixel lies within a step of the end points' bounding box.
  if (std::min(x1, x2) > static_cast<double>(right) + 2 ||
      std::max(x1, x2) < static_cast<double>(left) - 3 ||
      std::min(y1, y2) > static_cast<double>(bottom) + 2 ||
      std::max(y1, y2) < static_cast<double>(top) - 3)
    return;
  const int64_t steps = drawEndPoint ? n + 1 : n;
  const double fx = x1, fy = y1, count = static_cast<double>(n);
  auto walk = [&](auto majorIsX, auto mergeMode) {
    constexpr bool kX = decltype(majorIsX)::value;
    for (int64_t i = 0; i < steps; ++i) {
      const double t = static_cast<double>(i) / count;
      const double px = fx + dx * t, py = fy + dy * t;
      const double major = kX ? px : py, minor = kX ? py : px;
      const int64_t m = RoundHalfAway(major);
      const int64_t b = FloorToInt(minor);
      const auto hiShare =
          static_cast<uint32_t>(RoundHalfAway((minor - static_cast<double>(b)) * 255.0));
      if (kX) {
        plot(m, b, 255 - hiShare, mergeMode);
        plot(m, b + 1, hiShare, mergeMode);
      } else {
        plot(b, m, 255 - hiShare, mergeMode);
        plot(b + 1, m, hiShare, mergeMode);
      }
    }
  };
  if (xMajor && merge)
    walk(std::true_type{}, std::true_type{});
  else if (xMajor)
    walk(std::true_type{}, std::false_type{});
  else if (merge)
    walk(std::false_type{}, std::true_type{});
  else
    walk(std::false_type{}, std::false_type{});
}

namespace reference {

void LineFS(BlendBitmap& bmp, float x1, float y1, float x2, float y2, Pixel color,
            bool drawEndPoint) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const double length = std::round(std::max(std::fabs(dx), std::fabs(dy)));
  // A line this long cannot be meant for a bitmap; refuse it rather than loop for ages.
  if (length > double{1 << 24}) return;
  const int64_t n = static_cast<int64_t>(length);
  const uint32_t alpha = color >> 24;
  const Pixel rgb = color & 0x00FFFFFF;
  auto plot = [&](int64_t x, int64_t y, uint32_t share) {
    const uint32_t a = (alpha * share + 127) / 255;
    if (a == 0) return;
    const Rect clip = bmp.clipRect();
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return;
    bmp.SetPixelT(static_cast<int32_t>(x), static_cast<int32_t>(y), rgb | (a << 24));
  };
  if (n == 0) {
    if (drawEndPoint) plot(std::lround(x2), std::lround(y2), 255);
    return;
  }
  const int64_t steps = drawEndPoint ? n + 1 : n;
  for (int64_t i = 0; i < steps; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    const double px = x1 + dx * t, py = y1 + dy * t;
    const double major = xMajor ? px : py, minor = xMajor ? py : px;
    const int64_t m = std::llround(major);
    const double base = std::floor(minor);
    const uint32_t hiShare = static_cast<uint32_t>(std::lround((minor - base) * 255.0));
    const int64_t b = static_cast<int64_t>(base);
    if (xMajor) {
      plot(m, b, 255 - hiShare);
      plot(m, b + 1, hiShare);
    } else {
      plot(b, m, 255 - hiShare);
      plot(b + 1, m, hiShare);
    }
  }
}

}  // namespace reference

void BlendBitmap::Draw(int32_t x, int32_t y, const BlendBitmap& src) {
  const int64_t r64 = static_cast<int64_t>(x) + src.Width(),
                b64 = static_cast<int64_t>(y) + src.Height();
  const Rect area{x, y, static_cast<int32_t>(std::min<int64_t>(r64, INT32_MAX)),
                  static_cast<int32_t>(std::min<int64_t>(b64, INT32_MAX))};
  const Rect r = Intersect(area, clip_);
  if (r.IsEmpty()) return;
  if (&src == this) {
    const BlendBitmap copy = src;
    return Draw(x, y, copy);
  }
  for (int32_t row = r.top; row < r.bottom; ++row) {
    CompositeRow(ScanLine(row) + r.left, src.ScanLine(row - y) + (r.left - x), r.Width(), src);
  }
}

void BlendBitmap::Draw(const Rect& dstRect, const Rect& srcRect, const BlendBitmap& src) {
  if (dstRect.IsEmpty() || srcRect.IsEmpty() || src.Empty()) return;
  const Rect visible = Intersect(dstRect, clip_);
  if (visible.IsEmpty()) return;
  const Rect window{visible.left - dstRect.left, visible.top - dstRect.top,
                    visible.right - dstRect.left, visible.bottom - dstRect.top};
  ResampleKernel kernel = ResampleKernel::Nearest;
  const bool shrinking = srcRect.Width() > dstRect.Width() || srcRect.Height() > dstRect.Height();
  switch (src.stretchFilter) {
    case StretchFilter::Nearest:
      kernel = ResampleKernel::Nearest;
      break;
    case StretchFilter::Draft:
      kernel = shrinking ? ResampleKernel::Box : ResampleKernel::Nearest;
      break;
    case StretchFilter::Linear:
      kernel = ResampleKernel::Linear;
      break;
    case StretchFilter::Lanczos:
      kernel = ResampleKernel::Lanczos3;
      break;
  }
  if (srcRect.Width() == dstRect.Width() && srcRect.Height() == dstRect.Height()) {
    kernel = ResampleKernel::Nearest;  // 1:1 is a plain copy whatever the filter
  }
  std::vector<Pixel> temp(static_cast<size_t>(window.Width()) *
                          static_cast<size_t>(window.Height()));
  Resample(PixelView{src.Bits(), src.Width(), src.Height(), src.Width()}, srcRect, dstRect.Width(),
           dstRect.Height(), window, kernel,
           PixelTarget{temp.data(), window.Width(), window.Height(), window.Width()});
  for (int32_t row = 0; row < window.Height(); ++row) {
    CompositeRow(ScanLine(visible.top + row) + visible.left,
                 temp.data() + static_cast<size_t>(row) * static_cast<size_t>(window.Width()),
                 window.Width(), src);
  }
}

void BlendBitmap::FlipHorz() {
  for (int32_t y = 0; y < height_; ++y) std::reverse(ScanLine(y), ScanLine(y) + width_);
}

void BlendBitmap::DrawTo(BottomUpBitmap& dst, int32_t x, int32_t y) const {
  const int64_t r64 = static_cast<int64_t>(x) + width_, b64 = static_cast<int64_t>(y) + height_;
  const Rect area{x, y, static_cast<int32_t>(std::min<int64_t>(r64, INT32_MAX)),
                  static_cast<int32_t>(std::min<int64_t>(b64, INT32_MAX))};
  ForEachVisibleRect(dst, area, [&](const Rect& r) {
    for (int32_t row = r.top; row < r.bottom; ++row) {
      std::memcpy(dst.ScanLine(row) + r.left, ScanLine(row - y) + (r.left - x),
                  sizeof(Pixel) * static_cast<size_t>(r.Width()));
    }
  });
}

void BlendBitmap::CopyFrom(const BottomUpBitmap& src) {
  SetSizeForOverwrite(src.Width(), src.Height());  // every row is copied below
  for (int32_t y = 0; y < height_; ++y) {
    std::memcpy(ScanLine(y), src.ScanLine(y), sizeof(Pixel) * static_cast<size_t>(width_));
  }
}

}  // namespace vec

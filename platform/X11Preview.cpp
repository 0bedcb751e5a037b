#include "platform/X11Preview.h"

#include <charconv>
#include <chrono>
#include <thread>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Jpeg.h"
#include "graphics/PictureUtilities.h"
#include "platform/X11Window.h"

// After our own headers: Xlib defines macros with common names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vec {

std::optional<uint64_t> ParsePreviewWindow(std::string_view text) {
  uint64_t id = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || id == 0)
    return std::nullopt;
  return id;
}

namespace {

// Channel value from an 8-bit one for a visual's mask (e.g. 0xFF0000 for red).
unsigned long Place(uint8_t value, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  int bits = 0;
  while ((mask >> (shift + bits)) & 1) ++bits;
  const unsigned long scaled = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
  return (scaled << shift) & mask;
}

}  // namespace

PreviewResult DrawPreviewFile(const std::string& previewFile, std::string_view modeArgument,
                              int waitMs) {
  const auto window = ParsePreviewWindow(modeArgument);
  if (!window) return PreviewResult::BadWindowId;
  X11Connection x11;
  if (!x11.Valid()) return PreviewResult::NoDisplay;

  // The dialog may start us before it shows its window: wait, but not for ever.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  std::optional<X11WindowState> state;
  for (;;) {
    state = x11.Query(*window);
    if (!state) return PreviewResult::WindowGone;
    if (state->viewable) break;
    if (std::chrono::steady_clock::now() >= deadline) return PreviewResult::NotShown;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  auto picture = LoadJpegFile(previewFile);
  if (!picture || picture->Empty() || state->width <= 0 || state->height <= 0)
    return PreviewResult::BadPicture;
  // Squeezed or stretched to the window, aspect not kept.
  BlendBitmap fitted(state->width, state->height);
  StretchLanczos(picture.value(), fitted);

  auto* dpy = static_cast<Display*>(x11.Native());
  const auto win = static_cast<Window>(*window);
  XWindowAttributes attrs{};
  if (!XGetWindowAttributes(dpy, win, &attrs) || !attrs.visual) return PreviewResult::WindowGone;
  XImage* image = XCreateImage(dpy, attrs.visual, static_cast<unsigned>(attrs.depth), ZPixmap, 0,
                               nullptr, static_cast<unsigned>(fitted.Width()),
                               static_cast<unsigned>(fitted.Height()), 32, 0);
  if (!image) return PreviewResult::WindowGone;
  std::vector<char> data(static_cast<size_t>(image->bytes_per_line) * fitted.Height());
  image->data = data.data();
  const Visual* v = attrs.visual;
  for (int32_t y = 0; y < fitted.Height(); ++y) {
    const Pixel* row = fitted.ScanLine(y);
    for (int32_t x = 0; x < fitted.Width(); ++x) {
      const Pixel p = row[x];
      XPutPixel(image, x, y,
                Place(PixelR(p), v->red_mask) | Place(PixelG(p), v->green_mask) |
                    Place(PixelB(p), v->blue_mask));
    }
  }
  GC gc = XCreateGC(dpy, win, 0, nullptr);
  XPutImage(dpy, win, gc, image, 0, 0, 0, 0, static_cast<unsigned>(fitted.Width()),
            static_cast<unsigned>(fitted.Height()));
  XFreeGC(dpy, gc);
  image->data = nullptr;  // the vector owns the pixels
  XDestroyImage(image);
  XSync(dpy, False);
  return PreviewResult::Drawn;
}

}  // namespace vec

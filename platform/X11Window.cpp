#include "platform/X11Window.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <string_view>

namespace vec {
namespace {

// Errors on these connections are expected (a window destroyed under us); they are counted
// instead of ending the process. Qt talks to the server through xcb and is not affected.
std::atomic<int> g_errors{0};
int CountError(Display*, XErrorEvent*) {
  g_errors.fetch_add(1);
  return 0;
}

}  // namespace

std::string MissingDisplayReason() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform && std::string_view(platform).substr(0, 3) != "xcb") return {};
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    // A Wayland session may still be served by the toolkit's own Wayland platform.
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!platform && wayland && *wayland) return {};
    return "DISPLAY is not set";
  }
  Display* probe = XOpenDisplay(display);
  if (!probe) return std::string("cannot open the X display \"") + display + "\"";
  XCloseDisplay(probe);
  return {};
}

X11Connection::X11Connection() {
  display_ = XOpenDisplay(nullptr);
  if (display_) XSetErrorHandler(CountError);
}

X11Connection::~X11Connection() {
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

std::optional<X11WindowState> X11Connection::Query(uint64_t window) {
  if (!display_ || window == 0) return std::nullopt;
  auto* dpy = static_cast<Display*>(display_);
  XSync(dpy, False);
  const int before = g_errors.load();
  XWindowAttributes attrs{};
  const Status ok = XGetWindowAttributes(dpy, static_cast<Window>(window), &attrs);
  XSync(dpy, False);
  if (!ok || g_errors.load() != before) return std::nullopt;
  return X11WindowState{attrs.width, attrs.height, attrs.map_state == IsViewable};
}

uint64_t X11Connection::RootWindowId() const {
  if (!display_) return 0;
  return DefaultRootWindow(static_cast<Display*>(display_));
}

}  // namespace vec

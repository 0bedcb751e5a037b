#pragma once
// A virtual screen for whole-program tests: an Xvfb server with one connection to it, whose
// pixels the tests read back and to which they send pointer and key input (through XTest
// where the test program has it, else by warping the pointer).

#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/XvfbServer.h"

// clang-format off
// Last: Xlib defines macros with common names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on
#ifdef VEC_HAVE_XTEST
#include <X11/extensions/XTest.h>
#endif

namespace vec::testing {

class VirtualScreen {
 public:
  VirtualScreen(int width, int height) : server_(width, height) {
    if (!server_.Name().empty()) display_ = XOpenDisplay(server_.Name().c_str());
  }
  ~VirtualScreen() {
    if (display_) XCloseDisplay(display_);
  }
  VirtualScreen(const VirtualScreen&) = delete;
  VirtualScreen& operator=(const VirtualScreen&) = delete;

  // False when Xvfb is missing or could not be reached.
  bool Ready() const { return display_ != nullptr; }
  // ":N", for the DISPLAY of the programs under test.
  const std::string& Name() const { return server_.Name(); }
  Display* display() const { return display_; }

  // The pixel of a window (the root by default) as 0xRRGGBB; 0xFFFFFFFF when it cannot be
  // read (the window is gone).
  uint32_t PixelAt(int x, int y, Window w = 0) const {
    if (!w) w = DefaultRootWindow(display_);
    XImage* img = XGetImage(display_, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0xFFFFFFFF;
    const uint32_t p = static_cast<uint32_t>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
    XDestroyImage(img);
    return p;
  }

  void MovePointer(int x, int y) const {
#ifdef VEC_HAVE_XTEST
    XTestFakeMotionEvent(display_, 0, x, y, CurrentTime);
#else
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
#endif
    XFlush(display_);
  }

  // A left click at (x, y); nothing without XTest.
  void Click(int x, int y) const {
#ifdef VEC_HAVE_XTEST
    MovePointer(x, y);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
#else
    (void)x;
    (void)y;
#endif
  }

  // A press and release of the key of `sym`; nothing without XTest.
  void PressKey(KeySym sym) const {
#ifdef VEC_HAVE_XTEST
    const KeyCode code = XKeysymToKeycode(display_, sym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XFlush(display_);
#else
    (void)sym;
#endif
  }

 private:
  XvfbServer server_;
  Display* display_ = nullptr;
};

}  // namespace vec::testing

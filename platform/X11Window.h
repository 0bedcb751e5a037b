#pragma once
// Small Xlib queries about windows this process does not own (a daemon's window, the
// preview window of a settings dialog), on a connection of their own so that a window that
// has gone away is an answer, not a fatal error.

#include <cstdint>
#include <optional>
#include <string>

namespace vec {

struct X11WindowState {
  int32_t width = 0, height = 0;
  bool viewable = false;  // mapped, and its parents too
};

// Why the window toolkit would find no display to open, in a few words for the user
// ("DISPLAY is not set"); empty when there is one, or when the toolkit is told to use a
// platform of its own (QT_QPA_PLATFORM other than xcb, such as offscreen).
std::string MissingDisplayReason();

class X11Connection {
 public:
  X11Connection();  // $DISPLAY; Valid() is false when it cannot be opened
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  bool Valid() const { return display_ != nullptr; }
  // nullopt when the window does not exist (any more).
  std::optional<X11WindowState> Query(uint64_t window);
  uint64_t RootWindowId() const;
  void* Native() const { return display_; }

 private:
  void* display_ = nullptr;
};

}  // namespace vec

#pragma once
// Small Xlib queries about windows this process does not own (a daemon's window, the
// preview window of a settings dialog), on a connection of their own so that a window that
// has gone away is an answer, not a fatal error.

#include <cstdint>
#include <optional>

namespace vec {

struct TX11WindowState {
  int32_t width = 0, height = 0;
  bool viewable = false;  // mapped, and its parents too
};

class TX11Connection {
 public:
  TX11Connection();  // $DISPLAY; Valid() is false when it cannot be opened
  ~TX11Connection();
  TX11Connection(const TX11Connection&) = delete;
  TX11Connection& operator=(const TX11Connection&) = delete;

  bool Valid() const { return display_ != nullptr; }
  // nullopt when the window does not exist (any more).
  std::optional<TX11WindowState> Query(uint64_t window);
  uint64_t RootWindowId() const;
  void* Native() const { return display_; }

 private:
  void* display_ = nullptr;
};

}  // namespace vec

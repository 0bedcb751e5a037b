#pragma once
// Where the slideshow's frames go. The show draws into two kinds of output:
//  - "GDI" (direct off): a screen-sized image; frames are copied into it at an offset and
//    whatever they do not cover keeps its old content;
//  - "direct" (direct on): a back surface that takes the size of each frame, a 4:3 picture
//    mode that the display scales to the largest 4:3 area of the screen, centred, with black
//    around it (LetterboxArea).
// ScreenDisplay keeps both in memory, so the show runs headless; the window, the offline
// renderer and the tests derive from it and react to Presented().

#include <cstdint>

#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "transitions/TransitionDriver.h"

namespace vec {

// Also the transition driver's display: transition frames go through Present(BottomUpBitmap).
class IShowDisplay : public ITransitionDisplay {
 public:
  virtual int32_t ScreenWidth() const = 0;
  virtual int32_t ScreenHeight() const = 0;

  // Switches to the scaled full-screen output; false when it is not available (the show
  // then stays with the screen-sized output).
  virtual bool InitDirect() = 0;
  virtual bool Direct() const = 0;

  // A frame at (x, y) of the screen; the direct output ignores the position.
  virtual void Present(const BlendBitmap& frame, int32_t x, int32_t y) = 0;
  // A transition frame at (0, 0); the direct output's surface takes its size.
  void Present(const BottomUpBitmap& frame) override = 0;
  // What was last shown: the whole screen, or the direct output's back surface. `out` takes
  // the size of what is captured.
  virtual void Capture(BottomUpBitmap& out) const = 0;
  // Clears the screen to black (the next frame is drawn over it).
  virtual void FillBlack() = 0;

  // How many frames a second the output shows (a screen's refresh rate); 0 when it shows
  // every frame it is given (memory, a file), so nothing need be held back for it.
  virtual int32_t FramesPerSecondShown() const { return 0; }

  // Lets pending input and window events be handled (the points where the show yields).
  virtual void ProcessMessages() {}
  // Blocks until some event arrives or a short while has passed (used while no idle
  // handler runs, so an empty show does not spin).
  virtual void WaitMessages() { ProcessMessages(); }
  virtual void ShowCursor(bool /*visible*/) {}
};

// A display kept in memory: the screen as a top-down image (row y at y * width, the
// layout of a 32-bit window image) and the direct output's back surface.
class ScreenDisplay : public IShowDisplay {
 public:
  ScreenDisplay(int32_t width, int32_t height, bool directAvailable = true);

  int32_t ScreenWidth() const override { return screen_.Width(); }
  int32_t ScreenHeight() const override { return screen_.Height(); }
  bool InitDirect() override;
  bool Direct() const override { return direct_; }

  void Present(const BlendBitmap& frame, int32_t x, int32_t y) override;
  void Present(const BottomUpBitmap& frame) override;
  void Capture(BottomUpBitmap& out) const override;
  void FillBlack() override;

  // The screen changed its size (a daemon's window was resized): the image is cleared.
  void ResizeScreen(int32_t width, int32_t height);

  const BlendBitmap& Screen() const { return screen_; }
  const BlendBitmap& Surface() const { return surface_; }
  // What the viewer sees: the screen, or the surface scaled to the screen's 4:3 area
  // (nearest pixel) with black around it.
  void Compose(BlendBitmap& out) const;
  int64_t PresentCount() const { return presents_; }

 protected:
  // Called after every present and clear; the window repaints, the renderer writes a frame
  // for each present (PresentCount tells a present from a clear).
  virtual void Presented() {}

 private:
  BlendBitmap screen_;
  BlendBitmap surface_;
  bool directAvailable_;
  bool direct_ = false;
  int64_t presents_ = 0;
};

}  // namespace vec

#pragma once
// Animated objects: still images or animated GIFs that move over the water picture on
// their own paths, appear after a delay, stay for a while and come back. Each object is
// advanced by Step(), every 5 ms, either by its own worker thread or, for offline
// rendering, by the caller. The drawing thread reads only a snapshot (ObjectView) that
// the step publishes under a short lock, and image frames that never change once made.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "animation/ObjectWorker.h"
#include "base/Clock.h"
#include "base/Ini.h"
#include "graphics/BlendBitmap.h"
#include "graphics/Geometry.h"
#include "picture/Picture.h"

// The picture's ObjectKeysList holds only the keys of the objects; the live objects are
// kept in their own namespace so that both can be named as they are.
namespace vec::anim {

constexpr uint32_t kNeverAgain = 0xFFFFFFFF;
constexpr uint32_t kStepIntervalMs = 5;
// Pixels of GIF frames that nothing was painted on; never drawn.
constexpr Pixel kGifKeyColor = 0x00FFFF00;

// Playback speed of a GIF in percent of its own timing for an AnimSpeed value.
int32_t GifPlaybackPercent(int32_t animSpeed);
// Master alpha for an Opacity in tenths, kept a byte.
uint8_t OpacityToMasterAlpha(int32_t opacity);
// A stored colour (0x00BBGGRR, negative: a system colour) as an opaque pixel.
Pixel StoredColorToPixel(int32_t color);

// The combine of object pixels: pixels equal to the key are not drawn; others are mixed
// with master alpha M as (s x M + d x (255 - M)) div 255, and the alpha byte becomes M.
Pixel CombineObjectPixel(Pixel src, Pixel dst, uint32_t masterAlpha, bool useKey, Pixel key);

// The pictures an object shows. Made once per load and never changed afterwards, so the
// drawing thread may hold one while the worker loads the next.
struct ObjectFrames {
  int32_t width = 0, height = 0;
  std::vector<BlendBitmap> frames;   // ready to draw (custom combine, master alpha, filter)
  std::vector<BlendBitmap> flipped;  // the same frames mirrored left to right
  std::vector<uint32_t> frameEnds;   // GIF: end of each frame in ms from the start of a loop
  std::string path;                  // the file it was loaded from
};

// What the drawing thread needs of an object, copied out in one piece.
struct ObjectView {
  bool shown = false;
  bool flipped = false;
  Rect rect;  // where the image is stretched to, in output pixels
  size_t frame = 0;
  std::shared_ptr<const ObjectFrames> image;
};

class AnimatedObject {
 public:
  explicit AnimatedObject(int32_t sectionNumber);
  virtual ~AnimatedObject();
  AnimatedObject(const AnimatedObject&) = delete;
  AnimatedObject& operator=(const AnimatedObject&) = delete;

  // Full reset: subclasses find and load their image first, then the common reset.
  virtual void Reset();
  // Pauses the worker (a GIF also stops playing).
  virtual void Stop();
  // Takes the keys as read from the object's section.
  virtual void LoadData(const ObjectKeys& data);

  // Stop, reset, then resume the worker (or leave stepping to the caller).
  void Start();
  // One worker step: display timing, paths, placement and the flip rule.
  void Step();

  // Set by the engine before Start.
  void SetMoveArea(const Rect& r) { moveArea_ = r; }
  void SetDesignSize(int32_t w, int32_t h) { designWidth_ = w, designHeight_ = h; }
  void SetClock(IClock* clock);
  void SetThreaded(bool threaded) { threaded_ = threaded; }
  void SetPackageFolder(std::string folder) { packageFolder_ = std::move(folder); }

  ObjectView View() const;

  int32_t SectionNumber() const { return sectionNumber_; }
  const ObjectKeys& Keys() const { return keys_; }
  ObjectKeys& Keys() { return keys_; }
  bool Running() const { return running_; }

  // Path state; read these only while the object is stepped by the caller or paused.
  double X() const { return x_; }
  double Y() const { return y_; }
  bool Shown() const { return shown_; }
  bool Flipped() const { return flipped_; }
  int32_t DirX() const { return dirX_; }
  int32_t DirY() const { return dirY_; }
  uint32_t StartTick() const { return startTick_; }
  Rect Bounds() const { return {boundsLeft_, boundsTop_, boundsRight_, boundsBottom_}; }
  int32_t ImageWidth() const { return imageWidth_; }
  int32_t ImageHeight() const { return imageHeight_; }
  // Drawing left and top: round(scale x (centre - image size / 2)).
  int32_t DrawLeft() const;
  int32_t DrawTop() const;

 protected:
  void CommonReset();
  // The box the object's centre moves in, from the area and the image size.
  void SetBounds(const ObjectKeys& keys);
  // Random signs, then the axes InitialDir fixes.
  void ChooseDirections(int32_t initialDir);
  // Loads the image for the current keys; null when the file is found nowhere.
  virtual std::shared_ptr<const ObjectFrames> LoadImage(const std::string& path) = 0;
  // Called at every step (also while hidden): GIFs pick their frame here.
  virtual void AdvanceFrame(uint32_t /*now*/) {}
  // Loads the image (unless the same file is already loaded) and publishes it; false when
  // the file is found nowhere.
  bool FindAndLoadImage();
  void Publish();
  // Ends the worker; the most derived class calls it first thing in its destructor so
  // that no step runs on a half-destroyed object.
  void HaltWorker();

  IClock* clock_;
  std::string packageFolder_;
  ObjectKeys keys_;
  std::shared_ptr<const ObjectFrames> image_;
  size_t frame_ = 0;

 private:
  void AdvancePaths();
  void Place();

  int32_t sectionNumber_;
  double x_ = 0, y_ = 0;
  double straightX_ = 0, straightY_ = 0;
  int32_t dirX_ = 1, dirY_ = 1;
  double wanderX_ = 0, wanderY_ = 0;
  int32_t wanderDirX_ = 1, wanderDirY_ = 0;
  int32_t wanderCount_ = 0, wanderPeriod_ = 50;
  int32_t wanderRangeX_ = 0, wanderRangeY_ = 0;
  int32_t facingX_ = 1, facingY_ = 1;
  int64_t steps_ = 0;
  int32_t moveSpeed_ = 100;
  int32_t boundsLeft_ = 0, boundsTop_ = 0, boundsRight_ = 0, boundsBottom_ = 0;
  Rect moveArea_;
  int32_t designWidth_ = 0, designHeight_ = 0;
  double scaleX_ = 1, scaleY_ = 1;
  int32_t imageWidth_ = 0, imageHeight_ = 0;
  bool shown_ = false;
  bool flipped_ = false;
  uint32_t startTick_ = 0;
  bool running_ = false;
  bool threaded_ = true;

  mutable std::mutex viewLock_;
  ObjectView view_;
  std::unique_ptr<ObjectWorker> worker_;  // made at the first resume
};

}  // namespace vec::anim

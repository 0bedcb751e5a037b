#pragma once
// The slideshow form: the saver's pictures full screen, one after another, each animated,
// changed through a transition effect. It runs headless over a display, a clock, the
// picture loaders, the engine, sounds, music and a message box; the window only forwards
// its input events here and shows what the display was given.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/Clock.h"
#include "base/ShowDefaults.h"
#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "slideshow/ShowDisplay.h"
#include "slideshow/ShowServices.h"
#include "transitions/Effect.h"
#include "transitions/EffectList.h"
#include "transitions/TransitionDriver.h"

namespace vec {

class Picture;

// Everything the form uses and does not own.
struct SlideshowServices {
  IShowDisplay* display = nullptr;
  IClock* clock = nullptr;
  IShowMessages* messages = nullptr;
  IPictureFiles* files = nullptr;
  IPictureEngine* engine = nullptr;
  IShowSounds* sounds = nullptr;  // nullptr: no sound effects
  IShowMusic* music = nullptr;    // nullptr: no music
  // Effect entry of a number, in place of the effect table (unset: the table). A number
  // whose entry is nullptr draws effect 1's; when that is nullptr too, nothing is drawn
  // over the old picture.
  std::function<const Effect*(int32_t)> effect;
  // Where a tick or a start-up step that failed is reported, each text once (unset: stderr,
  // as "vecsaver: ...").
  std::function<void(const std::string& text)> reportFailure;
};

// The message shown when no picture takes part.
inline constexpr const char* kNoPicturesMessage = "Unable to run screensaver.\r\nPlease configure!";

// Frame pacing: at most one frame per this many milliseconds.
inline constexpr uint32_t kFrameInterval = 33;

// The direct output's picture size for a DirectXQuality value; false for other values.
bool DirectXQualitySize(int32_t quality, int32_t& width, int32_t& height);

// The play list: the files whose Checked entry is "TRUE", in list order.
std::vector<std::string> BuildPlayList(const SlideshowOptions& settings);

// True when the show draws the file as a still picture (.JPG, .BMP, .GIF in any case).
bool IsStillPicture(const std::string& path);

class Slideshow {
 public:
  static constexpr int32_t kF1Key = 112;

  Slideshow(const SlideshowOptions& settings, SlideshowServices services);
  ~Slideshow();
  Slideshow(const Slideshow&) = delete;
  Slideshow& operator=(const Slideshow&) = delete;

  // Shows the form and runs it until a close request is granted; then Close.
  void ShowModal();

  // What the window and the loop report: the show's steps by what happened.
  void Prepare();
  void Start();
  void Tick();
  void Close();
  // A close request: re-arms the pointer filter; true when the show may close.
  bool MayClose();
  void PointerMoved(int32_t x, int32_t y);
  void PointerPressed();
  // `key` is the character the key typed (0: none; 127, Delete's, counts as none).
  void CharacterTyped(char32_t key);
  void KeyPressed(int32_t virtualKey);
  void MusicFinished();

  // The screen changed its size (a daemon's window was resized): the picture on screen is
  // loaded and fitted again.
  void ScreenResized();

  // A close request from outside the form (the daemon's terminate, the offline renderer's end).
  void RequestClose() { closeRequested_ = true; }
  bool CloseRequested() const { return closeRequested_; }
  bool IdleInstalled() const { return idleInstalled_; }

  // The show's steps, public for the tests and tools that drive it tick by tick.
  void DrawFrame();
  // One transition of `time` ms through the driver, from what is on the screen to the
  // current picture. BadEffectItem: the drawn TransitionEffects item is not a number, and
  // no frame was drawn.
  TransitionDriver::Result RunTransition(int32_t time);
  void TransitionStep(int32_t effect, int32_t percent) { driver_.TransitionStep(effect, percent); }
  // False when NextFile could not be loaded (missing, or a still that does not decode):
  // nothing changed, and the show tries the next picture at its next tick.
  bool LoadCurrentPicture();
  void NextPictureIndex(int32_t& index);

  // State the tests and tools read.
  const std::vector<std::string>& PlayList() const { return playList_; }
  int32_t Index() const { return index_; }
  const std::string& CurrentFile() const { return currentFile_; }
  const std::string& NextFile() const { return nextFile_; }
  bool Still() const { return still_; }
  bool Direct() const { return direct_; }
  int32_t PictureWidth() const { return pictureWidth_; }
  int32_t PictureHeight() const { return pictureHeight_; }
  const BlendBitmap& StillBitmap() const { return stillBitmap_; }
  // The TransitionEffects items as stored in the settings (an item is read when a
  // transition draws it).
  const vec::EffectList& EffectList() const { return effectList_; }
  Picture* ShownPicture() { return picture_.get(); }
  bool F1Flag() const { return f1_; }
  int32_t IgnoreCount() const { return ignoreCount_; }
  // Steps of the last transition (0 when only the 0 % step was drawn, or none).
  int32_t LastTransitionSteps() const { return static_cast<int32_t>(driver_.LastSteps()); }
  // Effect of the last transition (0 when it failed, or none ran).
  int32_t LastEffect() const { return driver_.LastEffect(); }

 private:
  uint32_t Now() { return clock_.Ticks(); }
  bool Centred() const { return !stretch_ || (stretch_ && proportional_); }
  bool LoadStill();
  bool LoadPicture();
  // After a picture that could not be loaded: the next tick moves on to the next one.
  void ChangeAtNextTick() { currentDuration_ = 0; }
  // The show's one catch point, around each tick and each step of the start and of a
  // resize: an exception from `step` is reported (each text once) and the show goes on.
  // Returns whether the step ran through.
  template <class Step>
  bool Guarded(const char* what, Step&& step);

  const SlideshowOptions& settings_;
  SlideshowServices services_;
  IShowDisplay& display_;
  IClock& clock_;

  std::unique_ptr<Picture> picture_;
  std::vector<std::string> playList_;
  int32_t index_ = -1;
  std::string currentFile_, nextFile_;
  TransitionDriver driver_;  // the transition buffers and frames
  BlendBitmap stillBitmap_;
  bool still_ = false;
  bool direct_ = false;
  bool stretch_ = true, proportional_ = true, autoChange_ = true, transitionOn_ = true,
       soundOn_ = true;
  int32_t duration_ = kDefaultDurationSeconds, currentDuration_ = kDefaultDurationSeconds;
  int32_t transitionTime_ = kDefaultTransitionMs, speed_ = kDefaultSpeedPercent;
  int32_t showMode_ = 0;
  int32_t pictureWidth_ = 0, pictureHeight_ = 0;
  vec::EffectList effectList_;
  uint32_t pictureStart_ = 0, frameTick_ = 0;

  // Input state.
  int32_t ignoreCount_ = 5;
  int32_t lastX_ = -1, lastY_ = -1;
  bool f1_ = false;

  bool engineBegun_ = false;  // the engine holds a picture
  bool idleInstalled_ = false;
  bool closeRequested_ = false;
  bool shown_ = false, closed_ = false;
  bool cursorHidden_ = false;
  std::unordered_set<std::string> reported_;  // failures already reported
};

}  // namespace vec

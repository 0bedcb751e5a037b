#include "slideshow/Slideshow.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <iostream>

#include "base/MathUtil.h"
#include "base/Random.h"
#include "graphics/AspectFit.h"
#include "graphics/PictureUtilities.h"
#include "package/FileSearch.h"
#include "picture/Picture.h"

namespace vec {

namespace {

std::string UpperExtension(const std::string& path) {
  const std::string name(StoredFileNamePart(path));
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  std::string ext = name.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

template <class BottomUpBitmap>
void SizeTo(BottomUpBitmap& bmp, int32_t width, int32_t height) {
  if (bmp.Width() != width || bmp.Height() != height) bmp.SetSize(width, height);
}

void FillBlack(BottomUpBitmap& bmp) {
  if (!bmp.Empty()) std::fill_n(bmp.Bits(), bmp.PixelCount(), Pixel{0});
}

}  // namespace

bool DirectXQualitySize(int32_t quality, int32_t& width, int32_t& height) {
  switch (quality) {
    case 0:
      width = 1024, height = 768;
      return true;
    case 1:
      width = 800, height = 600;
      return true;
    case 2:
      width = 640, height = 480;
      return true;
    default:
      return false;
  }
}

std::vector<std::string> BuildPlayList(const SlideshowOptions& settings) {
  std::vector<std::string> list;
  for (size_t i = 0; i < settings.FileNames.size(); ++i)
    if (i < settings.Checked.size() && settings.Checked[i] == "TRUE")
      list.push_back(settings.FileNames[i]);
  return list;
}

bool IsStillPicture(const std::string& path) {
  const std::string ext = UpperExtension(path);
  return ext == ".JPG" || ext == ".BMP" || ext == ".GIF";
}

Slideshow::Slideshow(const SlideshowOptions& settings, SlideshowServices services)
    : settings_(settings),
      services_(std::move(services)),
      display_(*services_.display),
      clock_(*services_.clock),
      driver_(clock_, display_) {
  driver_.processMessages = [this] { display_.ProcessMessages(); };
  // A close request (input, a terminate signal, the daemon's window gone) stops a running
  // transition at its next frame rather than after all of TransitionTime.
  driver_.cancelled = [this] { return closeRequested_; };
  if (services_.effect) driver_.effectProc = services_.effect;
  Prepare();
}

Slideshow::~Slideshow() {
  if (shown_ && !closed_) Close();
}

void Slideshow::Prepare() {
  speed_ = kDefaultSpeedPercent;
  proportional_ = true;
}

void Slideshow::ShowModal() {
  Start();
  for (;;) {
    if (closeRequested_) {
      closeRequested_ = false;
      if (MayClose()) break;
    }
    if (idleInstalled_) {
      Tick();
      display_.ProcessMessages();
    } else {
      display_.WaitMessages();
    }
  }
  Close();
}

template <class Step>
bool Slideshow::Guarded(const char* what, Step&& step) {
  std::string text;
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    text = std::string(what) + " failed: " + e.what();
  } catch (...) {
    text = std::string(what) + " failed";
  }
  // A failure that repeats every tick is said once; a show that fails in ever new ways
  // stops saying so after a while rather than fill the session's log.
  constexpr size_t kMostReported = 100;
  if (reported_.size() < kMostReported && reported_.insert(text).second) {
    if (services_.reportFailure)
      services_.reportFailure(text);
    else
      std::cerr << "vecsaver: " << text << "\n";
  }
  return false;
}

void Slideshow::Start() {
  shown_ = true;
  effectList_.clear();
  driver_.Resize(800, 600);
  Randomize();
  lastX_ = lastY_ = -1;
  f1_ = false;

  playList_ = BuildPlayList(settings_);

  direct_ = settings_.DirectX;
  // Without the direct output the show draws through the window.
  if (direct_ && !Guarded("the direct output", [&] { direct_ = display_.InitDirect(); }))
    direct_ = false;

  if (!playList_.empty()) {
    stretch_ = settings_.Stretch;
    autoChange_ = settings_.Random;
    duration_ = settings_.Duration;
    speed_ = settings_.Speed;
    showMode_ = settings_.ShowImageMode;
    transitionOn_ = settings_.Transition;
    transitionTime_ = settings_.TransitionTime;
    soundOn_ = settings_.Sound && services_.sounds != nullptr;
    proportional_ = settings_.Proportional;
    effectList_ = BuildEffectList(settings_.TransitionEffects);
    index_ = -1;
    NextPictureIndex(index_);
    nextFile_ = playList_[static_cast<size_t>(index_)];
  } else if (services_.messages) {
    services_.messages->ShowError(kNoPicturesMessage);
  }

  // A failing start leaves the show without music.
  if (services_.music) Guarded("the music", [&] { services_.music->Start(settings_); });

  if (!playList_.empty()) {
    picture_ = std::make_unique<Picture>();
    currentDuration_ = duration_;
    // A first picture that fails to load leaves the screen black; the next tick tries the
    // next picture.
    bool loaded = false;
    Guarded("the first picture", [&] { loaded = LoadCurrentPicture(); });
    if (!loaded) ChangeAtNextTick();
    pictureStart_ = Now();
    idleInstalled_ = true;
    display_.ShowCursor(false);
    cursorHidden_ = true;
  }
  frameTick_ = Now();
}

void Slideshow::Tick() {
  // A failing tick is dropped; the show goes on with the next one.
  Guarded("a tick", [&] {
    if (soundOn_) services_.sounds->Update();
    const int64_t elapsed = TickDiff(Now(), pictureStart_) / 1000;
    if (autoChange_ && elapsed >= currentDuration_) {
      currentDuration_ = duration_;
      NextPictureIndex(index_);
      nextFile_ = playList_[static_cast<size_t>(index_)];
      pictureStart_ = Now();
      if (nextFile_ != currentFile_) {
        // A picture that cannot be shown (a still that does not decode, a picture file that
        // does not parse) is passed over: no transition of the old picture onto itself, and
        // the next tick tries the next one (one load per tick, so a show of broken pictures
        // is paced like any other).
        if (!LoadCurrentPicture()) {
          ChangeAtNextTick();
        } else if (!transitionOn_ ||
                   RunTransition(transitionTime_) != TransitionDriver::Result::Done) {
          // A transition whose effect item is not a number draws no frame. The tick goes
          // on as without transitions, so this tick's frame shows the new picture and the
          // next change waits its full duration.
          display_.FillBlack();
        }
        if (currentDuration_ != 0) pictureStart_ = Now();
      }
    }
    if (!still_ && engineBegun_) services_.engine->Step();
    DrawFrame();
  });
}

void Slideshow::DrawFrame() {
  int32_t x = 0, y = 0;
  if (Centred()) {
    x = (display_.ScreenWidth() - pictureWidth_) / 2;
    y = (display_.ScreenHeight() - pictureHeight_) / 2;
  }
  if (still_)
    display_.Present(stillBitmap_, x, y);
  else if (engineBegun_)
    display_.Present(services_.engine->Frame(), x, y);
  const int64_t wait = int64_t{kFrameInterval} - TickDiff(Now(), frameTick_);
  if (wait > 0) clock_.Sleep(static_cast<uint32_t>(wait));
  frameTick_ = Now();
}

TransitionDriver::Result Slideshow::RunTransition(int32_t time) {
  BottomUpBitmap& oldBmp = driver_.Old();
  BottomUpBitmap& newBmp = driver_.New();
  oldBmp.brush = 0;
  newBmp.brush = 0;
  display_.ProcessMessages();
  int32_t x = 0, y = 0;
  if (direct_) {
    // The back surface's size is known once it is captured.
    display_.Capture(oldBmp);
    SizeTo(newBmp, oldBmp.Width(), oldBmp.Height());
    SizeTo(driver_.Work(), oldBmp.Width(), oldBmp.Height());
    display_.ProcessMessages();
    FillBlack(newBmp);
  } else {
    const int32_t sw = display_.ScreenWidth(), sh = display_.ScreenHeight();
    driver_.Resize(sw, sh);  // New is black
    display_.ProcessMessages();
    if (Centred()) {
      int32_t fw = 0, fh = 0;
      if (still_) {
        fw = stillBitmap_.Width(), fh = stillBitmap_.Height();
      } else if (engineBegun_) {
        const BottomUpBitmap& background = services_.engine->Background();
        fw = background.Width(), fh = background.Height();
      }
      x = (sw - fw) / 2;
      y = (sh - fh) / 2;
    }
    display_.Capture(oldBmp);
  }
  display_.ProcessMessages();

  // A still is drawn once, before the driver starts its clock; a picture file steps its
  // animation before every frame, the first step counting into the first frame's cost.
  if (still_) stillBitmap_.DrawTo(newBmp, x, y);
  // A screen shows no more frames than its refresh rate: frames beyond it are not drawn,
  // and the transition is held to its time, the frames' trip to the screen included.
  driver_.maxFramesPerSecond = display_.FramesPerSecondShown();
  if (still_ || !engineBegun_) return driver_.RunTransition(time, effectList_);
  return driver_.RunTransition(time, effectList_, [this, x, y](BottomUpBitmap& target) {
    services_.engine->Step();
    services_.engine->Frame().DrawTo(target, x, y);
  });
}

void Slideshow::NextPictureIndex(int32_t& index) {
  const auto count = static_cast<int32_t>(playList_.size());
  if (showMode_ == 0 || showMode_ == 2) {
    if (count < 2) {
      index = 0;
      return;
    }
    int32_t next = 0;
    do {
      next = Random(count);
    } while (next == index);
    index = next;
  } else {
    ++index;
    if (index >= count) index = 0;
  }
}

bool Slideshow::LoadCurrentPicture() {
  // A load that throws leaves the show moving on at the next tick; the exception goes on
  // to the catch point of the tick or step that loads.
  const int32_t duration = currentDuration_;
  ChangeAtNextTick();
  const bool loaded = IsStillPicture(nextFile_) ? LoadStill() : LoadPicture();
  currentDuration_ = duration;
  return loaded;
}

bool Slideshow::LoadStill() {
  BlendBitmap source;
  if (!services_.files->LoadStill(nextFile_, source) || source.Empty()) return false;
  const int32_t sw = display_.ScreenWidth(), sh = display_.ScreenHeight();
  pictureWidth_ = source.Width();
  pictureHeight_ = source.Height();
  if (direct_) {
    pictureWidth_ = sw;
    pictureHeight_ = sh;
    int32_t w = 0, h = 0;
    if (!DirectXQualitySize(settings_.DirectXQuality, w, h)) {
      // An unknown quality keeps the previous still's size; before any still there is
      // none, so the picture keeps its own.
      w = stillBitmap_.Empty() ? source.Width() : stillBitmap_.Width();
      h = stillBitmap_.Empty() ? source.Height() : stillBitmap_.Height();
    }
    stillBitmap_.SetSize(w, h);
    StretchLanczos(source, stillBitmap_);
  } else if (stretch_) {
    int32_t w = sw, h = sh;
    if (proportional_) {
      const FitSize fit = FitByAspect(source.Width(), source.Height(), sw, sh);
      w = fit.width, h = fit.height;
    }
    stillBitmap_.SetSize(w, h);
    StretchLanczos(source, stillBitmap_);
    pictureWidth_ = w;
    pictureHeight_ = h;
  } else {
    stillBitmap_ = std::move(source);
  }
  still_ = true;
  if (services_.sounds) services_.sounds->Clear();
  currentFile_ = nextFile_;
  return true;
}

bool Slideshow::LoadPicture() {
  // A picture file that does not exist changes nothing: the old picture stays, and the
  // change goes on as for a picture that loaded (its transition, a full duration).
  if (!services_.files->FileExists(nextFile_)) return true;
  // The file is read into a fresh picture, so one that does not parse changes nothing: the
  // picture on screen keeps animating and the next tick tries the next one, as for a still
  // that does not decode.
  auto fresh = std::make_unique<Picture>();
  if (!services_.files->LoadPicture(nextFile_, *fresh)) return false;
  if (engineBegun_) services_.engine->End();
  engineBegun_ = false;
  still_ = false;
  picture_ = std::move(fresh);
  picture_->SetSpeed(speed_);
  pictureWidth_ = picture_->image.Width();
  pictureHeight_ = picture_->image.Height();
  const int32_t sw = display_.ScreenWidth(), sh = display_.ScreenHeight();
  if (direct_) {
    pictureWidth_ = sw;
    pictureHeight_ = sh;
    int32_t w = 0, h = 0;
    if (DirectXQualitySize(settings_.DirectXQuality, w, h))
      services_.files->FitPicture(settings_.Proportional, *picture_, w, h);
  } else if (stretch_) {
    services_.files->FitPicture(settings_.Proportional, *picture_, sw, sh);
    pictureWidth_ = picture_->image.Width();
    pictureHeight_ = picture_->image.Height();
  }
  // Object pictures are stored with the author's paths; the package put them in the
  // run's folder.
  for (ObjectKeys& object : picture_->objects.entries)
    if (!services_.files->FileExists(object.Filename))
      object.Filename = ResolveInFolder(settings_.TempFolder, object.Filename);
  services_.engine->Begin(*picture_);
  engineBegun_ = true;
  if (soundOn_) {
    services_.sounds->Clear();
    services_.sounds->Load(*picture_);
    services_.sounds->Update();
  }
  currentFile_ = nextFile_;
  return true;
}

void Slideshow::ScreenResized() {
  if (!idleInstalled_ || currentFile_.empty()) return;
  nextFile_ = currentFile_;
  // A picture that cannot be loaded again stays as it was.
  Guarded("fitting the picture to the new screen size", [&] { (void)LoadCurrentPicture(); });
}

void Slideshow::MusicFinished() {
  if (services_.music) services_.music->Notify();
}

void Slideshow::PointerMoved(int32_t x, int32_t y) {
  if (ignoreCount_ > 0) {
    --ignoreCount_;
    return;
  }
  if (lastX_ == -1) lastX_ = x;
  if (lastY_ == -1) lastY_ = y;
  if (std::abs(x - lastX_) > 2 || std::abs(y - lastY_) > 2) RequestClose();
  lastX_ = x;
  lastY_ = y;
}

void Slideshow::PointerPressed() {
  RequestClose();
}

void Slideshow::CharacterTyped(char32_t key) {
  // A key that types a character ends the show; Enter, Escape, Backspace and Tab count.
  // Delete types nothing, though the window toolkit reports it as character 127.
  constexpr char32_t kDelete = 0x7F;
  if (key != 0 && key != kDelete) RequestClose();
}

void Slideshow::KeyPressed(int32_t virtualKey) {
  if (virtualKey != kF1Key) return;
  f1_ = !f1_;
  if (!f1_ && engineBegun_) services_.engine->RestoreBackground();
}

bool Slideshow::MayClose() {
  ignoreCount_ = 5;
  // The system asks for any password itself here: the form may always close.
  return true;
}

void Slideshow::Close() {
  if (closed_) return;
  closed_ = true;
  idleInstalled_ = false;
  // The engine lets go of the picture (and stops its objects) before the picture goes.
  if (engineBegun_) services_.engine->End();
  engineBegun_ = false;
  picture_.reset();
  if (cursorHidden_) display_.ShowCursor(true);
  cursorHidden_ = false;
  if (services_.music) services_.music->Stop();
  if (services_.sounds) services_.sounds->Clear();
  playList_.clear();
  stillBitmap_ = BlendBitmap();
  driver_.Old() = BottomUpBitmap();
  driver_.New() = BottomUpBitmap();
  driver_.Work() = BottomUpBitmap();
  effectList_.clear();
}

}  // namespace vec

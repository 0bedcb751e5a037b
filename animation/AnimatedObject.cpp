#include "animation/AnimatedObject.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <numbers>

#include "base/MathUtil.h"
#include "base/Random.h"
#include "package/FileSearch.h"

namespace vec::anim {

namespace {

// Objects may be asked for in absurd numbers by a damaged picture; each has a thread.
// Coordinates are kept inside this range so that no conversion can overflow.
constexpr double kCoordLimit = 1e9;

SteadyClock& DefaultClock() {
  static SteadyClock clock;
  return clock;
}

int32_t RoundClamped(double v) {
  if (!(v > -kCoordLimit)) return static_cast<int32_t>(-kCoordLimit);
  if (v > kCoordLimit) return static_cast<int32_t>(kCoordLimit);
  return RoundHalfEven(v);
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -1000000000, 1000000000));
}

int32_t RandomSign() {
  return Random(2) == 0 ? -1 : 1;
}

// Random integer in low .. high - 1: low + random(high - low). An empty range gives low,
// but still takes its draw (random(0) advances the generator), so the draws that follow
// stay in step.
int32_t RandomIn(int32_t low, int32_t high) {
  const int64_t span = std::clamp<int64_t>(static_cast<int64_t>(high) - low, 0, INT32_MAX);
  return Clamp32(low + static_cast<int64_t>(Random(static_cast<int32_t>(span))));
}

}  // namespace

// ---- AnimatedObject ----

AnimatedObject::AnimatedObject(int32_t sectionNumber)
    : clock_(&DefaultClock()), sectionNumber_(sectionNumber) {}

AnimatedObject::~AnimatedObject() {
  HaltWorker();
}

void AnimatedObject::HaltWorker() {
  worker_.reset();
}

void AnimatedObject::SetClock(IClock* clock) {
  clock_ = clock ? clock : &DefaultClock();
}

void AnimatedObject::Reset() {
  CommonReset();
}

void AnimatedObject::Stop() {
  if (!running_) return;
  if (worker_) worker_->Pause();
  running_ = false;
}

void AnimatedObject::Start() {
  Stop();
  Reset();
  Publish();
  if (threaded_) {
    if (!worker_) worker_ = std::make_unique<ObjectWorker>(*this);
    worker_->Resume();
  }
  running_ = true;
}

void AnimatedObject::LoadData(const ObjectKeys& data) {
  keys_ = data;
  keys_.Scaled = true;
}

namespace {

// A start coordinate by its rule: as stored, the near or far bound, the middle, random, or
// random and mirrored outside the bounds (so the object comes in from beyond an edge).
int32_t StartPosition(int32_t type, int32_t stored, int32_t low, int32_t high) {
  const int32_t mid = Clamp32(low + (int64_t{high} - low) / 2);
  switch (type) {
    case 1:
      return low;
    case 2:
      return high;
    case 3:
      return mid;
    case 4:
      return RandomIn(low, high);
    case 5: {
      const int32_t r = RandomIn(low, high);
      return r < mid ? Clamp32(int64_t{low} - r) : Clamp32(2 * int64_t{high} - r);
    }
    default:
      return stored;
  }
}

// The starting direction each InitialDir value fixes; 0 leaves an axis at its random sign.
struct InitialDirection {
  int32_t x, y;
};
constexpr InitialDirection kInitialDirections[] = {{0, 0},   {-1, 0}, {1, 0},  {0, -1}, {0, 1},
                                                   {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

}  // namespace

void AnimatedObject::SetBounds(const ObjectKeys& k) {
  const Rect area =
      k.MotionAreaType != 0 ? k.MoveAreaRect() : Rect{0, 0, designWidth_, designHeight_};
  const int32_t a = imageWidth_ / 2, b = imageHeight_ / 2;
  const int32_t ra = RoundClamped(static_cast<double>(a) * k.WidthSize / 100.0);
  const int32_t rb = RoundClamped(static_cast<double>(b) * k.HeightSize / 100.0);
  // Restricted: the whole (sized) image stays inside the area; otherwise its centre may
  // reach half an image beyond it.
  const int32_t sign = k.RestrictArea ? 1 : -1;
  boundsLeft_ = Clamp32(int64_t{area.left} + sign * a);
  boundsTop_ = Clamp32(int64_t{area.top} + sign * b);
  boundsRight_ = Clamp32(int64_t{area.right} - sign * ra);
  boundsBottom_ = Clamp32(int64_t{area.bottom} - sign * rb);
}

void AnimatedObject::ChooseDirections(int32_t initialDir) {
  dirX_ = RandomSign();
  dirY_ = RandomSign();
  facingX_ = RandomSign();
  facingY_ = RandomSign();
  if (initialDir >= 1 && initialDir < static_cast<int32_t>(std::size(kInitialDirections))) {
    const InitialDirection d = kInitialDirections[initialDir];
    if (d.x != 0) dirX_ = d.x;
    if (d.y != 0) dirY_ = d.y;
  }
  wanderDirX_ = dirX_;
  wanderDirY_ = dirY_;
  facingX_ = dirX_;
  facingY_ = dirY_;
}

void AnimatedObject::CommonReset() {
  Randomize();
  const ObjectKeys& k = keys_;
  shown_ = (k.DisplaySec == 0);
  startTick_ = clock_->Ticks();
  steps_ = 0;
  flipped_ = false;
  wanderCount_ = 0;
  wanderPeriod_ = Random(300) + 50;
  wanderRangeX_ = Random(1000);
  wanderRangeY_ = Random(1000);

  SetBounds(k);
  const int32_t startLeft = StartPosition(k.PosLeftType, k.PosLeft, boundsLeft_, boundsRight_);
  const int32_t startTop = StartPosition(k.PosTopType, k.PosTop, boundsTop_, boundsBottom_);
  ChooseDirections(k.InitialDir);

  // A picture without a design size would divide by zero; it is drawn unscaled.
  scaleX_ = designWidth_ > 0 ? static_cast<double>(moveArea_.right) / designWidth_ : 1.0;
  scaleY_ = designHeight_ > 0 ? static_cast<double>(moveArea_.bottom) / designHeight_ : 1.0;

  x_ = straightX_ = wanderX_ = startLeft;
  y_ = straightY_ = wanderY_ = startTop;
  moveSpeed_ = Clamp32(int64_t{k.MotionSpeed} * 10);
}

int32_t AnimatedObject::DrawLeft() const {
  return RoundClamped(scaleX_ * (x_ - imageWidth_ / 2.0));
}
int32_t AnimatedObject::DrawTop() const {
  return RoundClamped(scaleY_ * (y_ - imageHeight_ / 2.0));
}

void AnimatedObject::Step() {
  const uint32_t now = clock_->Ticks();
  AdvanceFrame(now);
  const ObjectKeys& k = keys_;
  const int64_t sinceStart = TickDiff(now, startTick_);
  if (!shown_ && startTick_ != kNeverAgain && sinceStart >= int64_t{k.DisplaySec} * 1000)
    shown_ = true;
  if (shown_ && k.DisplayDurationType == 1 && startTick_ != kNeverAgain &&
      sinceStart >= (int64_t{k.DisplaySec} + k.DisplayDurationSec) * 1000) {
    shown_ = false;
    if (k.Redisplay) {
      if (k.ResetPos) Reset();
      startTick_ = now;
    } else {
      startTick_ = kNeverAgain;
    }
  }
  if (shown_) {
    AdvancePaths();
    const int32_t oldLeft = DrawLeft();
    Place();
    const int32_t newLeft = DrawLeft();
    if (k.ObjFacing == 1)
      flipped_ = k.DirFlip && (newLeft < oldLeft || (newLeft == oldLeft && flipped_));
    else if (k.ObjFacing == 0)
      flipped_ = k.DirFlip && (newLeft > oldLeft || (newLeft == oldLeft && flipped_));
  }
  Publish();
}

void AnimatedObject::AdvancePaths() {
  const double f = moveSpeed_ / 1000.0 / 100.0;
  auto keep = [](double v) { return std::clamp(v, -kCoordLimit, kCoordLimit); };
  straightX_ = keep(straightX_ + Random(1000) * f * dirX_);
  straightY_ = keep(straightY_ + Random(1000) * f * dirY_);
  if (straightX_ <= boundsLeft_) dirX_ = 1;
  if (straightX_ >= boundsRight_) dirX_ = -1;
  if (straightY_ <= boundsTop_) dirY_ = 1;
  if (straightY_ >= boundsBottom_) dirY_ = -1;

  wanderX_ = keep(wanderX_ + Random(wanderRangeX_) * f * wanderDirX_);
  wanderY_ = keep(wanderY_ + Random(wanderRangeY_) * f * wanderDirY_);
  ++wanderCount_;
  if (wanderX_ <= boundsLeft_ || wanderX_ >= boundsRight_ || wanderY_ <= boundsTop_ ||
      wanderY_ >= boundsBottom_)
    wanderCount_ = wanderPeriod_;
  if (wanderCount_ >= wanderPeriod_) {
    if (Random(10) == 0) wanderDirX_ = RandomSign();
    wanderDirY_ = Random(3) - 1;
    if (wanderX_ <= boundsLeft_) wanderDirX_ = 1;
    if (wanderX_ >= boundsRight_) wanderDirX_ = -1;
    if (wanderY_ <= boundsTop_) wanderDirY_ = 1;
    if (wanderY_ >= boundsBottom_) wanderDirY_ = -1;
    wanderPeriod_ = Random(300) + 50;
    wanderRangeX_ = Random(800) + 200;
    wanderRangeY_ = Random(1000);
    wanderCount_ = 0;
  }
  ++steps_;
}

void AnimatedObject::Place() {
  const int64_t l = boundsLeft_, t = boundsTop_, r = boundsRight_, b = boundsBottom_;
  const double cx = static_cast<double>(l + (r - l) / 2);
  const double cy = static_cast<double>(t + (b - t) / 2);
  switch (keys_.Motion) {
    case 1:
      x_ = wanderX_, y_ = wanderY_;
      break;
    case 2:
      x_ = straightX_, y_ = straightY_;
      break;
    case 3:
      x_ = straightX_;
      break;
    case 4:
      y_ = straightY_;
      break;
    case 5: {
      const double m = static_cast<double>(l + r) - straightX_;
      if (facingX_ >= 0)
        x_ = dirX_ > 0 ? straightX_ : m;
      else
        x_ = dirX_ > 0 ? m : straightX_;
      break;
    }
    case 6: {
      const double m = static_cast<double>(t + b) - straightY_;
      if (facingY_ >= 0)
        y_ = dirY_ > 0 ? straightY_ : m;
      else
        y_ = dirY_ > 0 ? m : straightY_;
      break;
    }
    case 7: {
      const double angle = -static_cast<double>(steps_) * moveSpeed_ / 1000.0;
      const double rad = angle * std::numbers::pi / 180.0;
      x_ = std::sin(rad) * static_cast<double>((r - l) / 2 - imageWidth_ / 2) + cx;
      y_ = std::cos(rad) * static_cast<double>((b - t) / 2 - imageHeight_ / 2) + cy;
      break;
    }
    case 9:
      x_ = std::clamp(x_ + (Random(9) - 4) * moveSpeed_ / 1000.0, -kCoordLimit, kCoordLimit);
      y_ = std::clamp(y_ + (Random(9) - 4) * moveSpeed_ / 1000.0, -kCoordLimit, kCoordLimit);
      break;
    default:
      break;
  }
}

void AnimatedObject::Publish() {
  ObjectView v;
  v.shown = shown_;
  v.flipped = flipped_;
  const int32_t left = DrawLeft(), top = DrawTop();
  const double w = imageWidth_ * scaleX_ * keys_.WidthSize / 100.0;
  const double h = imageHeight_ * scaleY_ * keys_.HeightSize / 100.0;
  v.rect = {left, top, Clamp32(int64_t{left} + RoundClamped(w)),
            Clamp32(int64_t{top} + RoundClamped(h))};
  v.frame = frame_;
  std::lock_guard lock(viewLock_);
  v.image = image_;  // a reference count only; the image itself is never changed
  view_ = std::move(v);
}

ObjectView AnimatedObject::View() const {
  std::lock_guard lock(viewLock_);
  return view_;
}

bool AnimatedObject::FindAndLoadImage() {
  const std::string path = FindObjectFile(keys_.Filename, packageFolder_);
  if (path.empty()) return false;
  if (!image_ || image_->path != path) {
    std::shared_ptr<const ObjectFrames> img = LoadImage(path);
    if (!img) return false;
    image_ = std::move(img);
  }
  imageWidth_ = image_->width;
  imageHeight_ = image_->height;
  frame_ = 0;
  return true;
}

}  // namespace vec::anim

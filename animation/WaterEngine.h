#pragma once
// The water animation engine. On every tick it rebuilds the pixels of up to four water
// areas of a picture from the still picture, shifted row by row along cosine waves whose
// phase runs on with time, then draws the animated objects and the snow or rain over it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "animation/AnimatedObjectSet.h"
#include "animation/Weather.h"
#include "base/Clock.h"
#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "picture/Picture.h"

namespace vec {

struct WaterKernels;

class WaterEngine {
 public:
  // Time comes from `clock` (the process's steady clock when none is given); it must
  // outlive the engine.
  explicit WaterEngine(IClock* clock = nullptr);
  ~WaterEngine();
  WaterEngine(const WaterEngine&) = delete;
  WaterEngine& operator=(const WaterEngine&) = delete;

  // Takes the picture's image, mask, wave sets, weather and speed, and makes the live
  // animated objects from its object entries (their workers are not started yet). The
  // picture must outlive the engine's use of it.
  void SetPicture(Picture& picture);
  // Frees the snow or rain; when on, makes the kind the picture asks for and places it.
  void SetWeather(bool on);
  // Prepares the engine for the picture (mirror image, area index, scatter offsets),
  // starts the objects and runs one tick.
  void Start();
  // Advances the water by the time since the previous tick and draws one frame.
  void Tick();
  // Copies the picture into the frame and rebuilds the mirror image.
  void ResetFrame();
  // The composite when weather or objects are drawn, else the water frame.
  const BlendBitmap& Output() const;
  // Changes the speed percent taken from the picture, from the next tick on.
  void SetSpeed(int32_t percent) { speed_ = percent; }
  int32_t Speed() const { return speed_; }

  // Objects run in their own worker threads unless stepped by the caller (offline
  // rendering); must be chosen before Start.
  void SetObjectsThreaded(bool threaded) { objectsThreaded_ = threaded; }
  // Folder searched first for object images (the package's temporary folder).
  void SetPackageFolder(std::string folder) { packageFolder_ = std::move(folder); }
  // Rebuilds the water pixel by pixel with the plain formulas instead of the row tables;
  // the two give the same frames, the plain one is kept to check the fast one against.
  void SetReferenceTick(bool on) { referenceTick_ = on; }

  anim::AnimatedObjectSet& Objects() { return objects_; }
  const BlendBitmap& Frame() const { return frame_; }
  bool WeatherOn() const { return weatherOn_; }
  WeatherEffect* Weather() { return weather_.get(); }
  int64_t Phase(int k) const { return phase_[static_cast<size_t>(k)]; }
  int32_t AreaAt(int32_t x, int32_t y) const {
    return areaIndex_[static_cast<size_t>(y) * static_cast<size_t>(width_) + x];
  }
  int32_t ScatterOffset(int k, int32_t c) const {
    return scatter_[static_cast<size_t>(k)][static_cast<size_t>(c)];
  }
  int32_t TopRow(int k) const { return topRow_[static_cast<size_t>(k)]; }
  int32_t BottomRow(int k) const { return bottomRow_[static_cast<size_t>(k)]; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

 private:
  // One run of pixels of a single area in a row.
  struct AreaRun {
    int32_t begin, end;  // columns [begin, end)
    int8_t area;
  };

  void BuildMirrorImage();
  void BuildAreaIndex();
  void AnimateRow(int32_t r, const std::array<int64_t, 4>& dv, const std::array<int64_t, 4>& dh,
                  const WaterKernels& kernels);
  void AnimateRowReference(int32_t r, const std::array<int64_t, 4>& dv,
                           const std::array<int64_t, 4>& dh);
  void AnimateRunChecked(int32_t r, const AreaRun& run, int64_t vshift, int32_t begin, int32_t end,
                         int32_t hshift);
  void InsideColumns(const int64_t* rows, size_t count, int8_t k);
  void DrawObjects();
  void DrawWeather(uint32_t elapsed);
  uint32_t Elapsed();
  bool UsesComposite() const;

  IClock* clock_;
  Picture* picture_ = nullptr;

  int32_t width_ = 0, height_ = 0;
  int32_t speed_ = 100;
  std::array<int64_t, 4> phase_{};
  std::array<int32_t, 4> topRow_{}, bottomRow_{};
  bool anyMirror_ = false;
  bool weatherOn_ = false;
  bool objectsThreaded_ = true;
  bool referenceTick_ = false;
  uint32_t lastTick_ = 0;
  std::string packageFolder_;

  BlendBitmap mirror_;
  BlendBitmap frame_;
  BlendBitmap composite_;
  std::vector<const Pixel*> sourceRows_;
  std::vector<Pixel*> frameRows_;
  // -1 none, 0..3 the areas; width x height. One byte a pixel keeps the tick's memory
  // traffic down; four areas need no more.
  std::vector<int8_t> areaIndex_;
  std::array<std::vector<int32_t>, 4> scatter_;
  // The offsets again as bytes, and one more than the largest, when that is small enough
  // for a table of row pointers per offset value (else 0).
  std::array<std::vector<uint8_t>, 4> scatterByte_;
  std::array<int32_t, 4> scatterSpan_{};
  // The offsets times the width and its negative: how many pixels the rows of a column's
  // offset lie from those of offset 0 in a bitmap whose rows go down or up in memory
  // (empty when the table is not used or no offset is above 0).
  std::array<std::vector<int32_t>, 4> scatterStep_, scatterStepBack_;
  std::vector<std::vector<AreaRun>> runs_;  // per row, the area pixels as runs
  // Column intervals where a run's tested rows all hold its area (and a scratch list).
  std::vector<std::pair<int32_t, int32_t>> inside_, merged_;

  std::unique_ptr<WeatherEffect> weather_;
  anim::AnimatedObjectSet objects_;
};

}  // namespace vec

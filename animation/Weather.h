#pragma once
// Snow and rain: plain particle arrays moved by elapsed time and drawn as white,
// alpha-blended pixels and short anti-aliased streaks into the engine's composite.

#include <array>
#include <cstdint>
#include <vector>

#include "base/SpeedTable.h"
#include "graphics/BlendBitmap.h"

namespace vec {

// Hard limit on particles, whatever the picture asks for.
inline constexpr int32_t kMaxWeatherParticles = 1000;

class WeatherEffect {
 public:
  virtual ~WeatherEffect() = default;

  // count = n limited to 0..1000.
  void SetCount(int32_t n);
  int32_t Count() const { return count_; }
  void SetTarget(BlendBitmap* target) { target_ = target; }

  // Sizes the particle array to the count and places every particle on the target.
  virtual void Place() = 0;
  // Advances every particle by `elapsed` and draws it into the target.
  virtual void MoveAndDraw() = 0;

  // Copied in by the engine before every move.
  uint32_t elapsed = 0;  // milliseconds since the previous tick
  int32_t speedPercent = 100;
  int32_t speedIndex = 2;
  int32_t opacity = 10;  // tenths

 protected:
  // Movement unit of this tick: elapsed / msPerUnit x SpeedTable[speed index] / 100 x
  // speed percent / 100.
  double TimeStep(double msPerUnit) const;
  int32_t count_ = 0;
  BlendBitmap* target_ = nullptr;
};

struct SnowFlake {
  double x = 0, y = 0;
  int32_t size = 2;   // 2..4
  int32_t drift = 0;  // -1, 0 or 1
};

class Snow final : public WeatherEffect {
 public:
  void Place() override;
  void MoveAndDraw() override;
  void Move();
  void Draw() const;

  const std::vector<SnowFlake>& Flakes() const { return flakes_; }
  std::vector<SnowFlake>& Flakes() { return flakes_; }

 private:
  std::vector<SnowFlake> flakes_;
};

struct RainDrop {
  double x = 0, y = 0;
  int32_t size = 2;          // 2..4
  int32_t lengthFactor = 1;  // 1..4
};

class Rain final : public WeatherEffect {
 public:
  void Place() override;
  void MoveAndDraw() override;
  void Move();
  void Draw() const;

  int32_t length = 0;      // tenths
  int32_t direction = 90;  // degrees; 90 falls straight down

  const std::vector<RainDrop>& Drops() const { return drops_; }
  std::vector<RainDrop>& Drops() { return drops_; }

 private:
  std::vector<RainDrop> drops_;
};

}  // namespace vec

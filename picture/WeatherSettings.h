#pragma once
// Snow or rain over a picture, as a picture file stores it.

#include <cstddef>
#include <cstdint>

namespace vec {

// The weather record: six little-endian int32 in this order.
struct WeatherSettings {
  int32_t Kind = 0;        // 0 none, 1 snow, 2 rain
  int32_t Count = 0;       // flakes or drops
  int32_t SpeedIndex = 0;  // index into SpeedTable, 0..20
  int32_t Angle = 0;       // rain: degrees, 90 falls straight down
  int32_t Length = 0;      // rain: drop length in tenths
  int32_t Opacity = 0;     // tenths, 0..10

  static constexpr size_t kRecordSize = 24;
  friend bool operator==(const WeatherSettings&, const WeatherSettings&) = default;
};

// Values of WeatherSettings::Kind.
inline constexpr int32_t kWeatherNone = 0, kWeatherSnow = 1, kWeatherRain = 2;

// The weather as a picture shows it: a stored Opacity of 0 stands for 9 with snow and 6 with
// rain (files store 0 for "the default").
inline WeatherSettings WeatherAsShown(WeatherSettings w) {
  if (w.Opacity == 0 && w.Kind == kWeatherSnow) w.Opacity = 9;
  if (w.Opacity == 0 && w.Kind == kWeatherRain) w.Opacity = 6;
  return w;
}

}  // namespace vec

#include "studio/model/SettingFields.h"

#include <array>

#include "base/SpeedTable.h"

namespace vec::studio {
namespace {

using W = WaveSet;
using K = WeatherSettings;

constexpr int32_t kLastSpeedIndex = static_cast<int32_t>(SpeedTable.size()) - 1;

constexpr std::array kWaveFields = {
    WaveField{"Amplitude", "Amplitude", FieldStyle::Number, 0, 100, "px",
              "Largest displacement of a pixel, in pixels of the picture as designed",
              [](const W& w) { return w.Amplitude; }, [](W& w, int32_t v) { w.Amplitude = v; }},
    WaveField{"Cycles", "Cycles", FieldStyle::Number, 0, 200, "",
              "Number of wave cycles over the height of the picture",
              [](const W& w) { return w.Cycles; }, [](W& w, int32_t v) { w.Cycles = v; }},
    WaveField{"PhaseStep", "Phase step", FieldStyle::Number, 0, 180, "°",
              "How far the waves move: degrees every 50 ms at 100 % speed",
              [](const W& w) { return w.PhaseStep; }, [](W& w, int32_t v) { w.PhaseStep = v; }},
    WaveField{"Forward", "Forward", FieldStyle::Flag, 0, 1, "",
              "On: the waves run forward (the phase grows); off: they run backward",
              [](const W& w) { return w.Forward; }, [](W& w, int32_t v) { w.Forward = v; }},
    WaveField{"Horizontal", "Horizontal", FieldStyle::Flag, 0, 1, "", "Pixels are moved sideways",
              [](const W& w) { return int32_t{w.Horizontal}; },
              [](W& w, int32_t v) { w.Horizontal = static_cast<uint8_t>(v); }},
    WaveField{"Vertical", "Vertical", FieldStyle::Flag, 0, 1, "", "Pixels are moved up and down",
              [](const W& w) { return int32_t{w.Vertical}; },
              [](W& w, int32_t v) { w.Vertical = static_cast<uint8_t>(v); }},
    WaveField{"Perspective", "Perspective", FieldStyle::Flag, 0, 1, "",
              "Waves grow and lengthen from the top of the area to its bottom, towards the "
              "viewer",
              [](const W& w) { return int32_t{w.Perspective}; },
              [](W& w, int32_t v) { w.Perspective = static_cast<uint8_t>(v); }},
    WaveField{"Period", "Period", FieldStyle::Number, 1, 720, "°",
              "Modulus of the up-and-down wave in degrees: 360 gives a plain cosine, 180 a "
              "half cosine that jumps back every half cycle",
              [](const W& w) { return w.Period; }, [](W& w, int32_t v) { w.Period = v; }},
    WaveField{"Scatter", "Scatter", FieldStyle::Number, 0, 200, "rows",
              "Each column gets a random row offset below this number: streaks of falling "
              "water",
              [](const W& w) { return w.Scatter; }, [](W& w, int32_t v) { w.Scatter = v; }},
    WaveField{"Mirror", "Mirror", FieldStyle::Flag, 0, 1, "",
              "The area shows the mirror image of the picture above its top row (a lake)",
              [](const W& w) { return int32_t{w.Mirror}; },
              [](W& w, int32_t v) { w.Mirror = static_cast<uint8_t>(v); }},
};
static_assert(kWaveFields.size() == 10, "every setting of a wave set has a control");

constexpr std::array kWeatherFields = {
    WeatherField{"Kind", "Weather", FieldStyle::Choice, kWeatherNone, kWeatherRain, "",
                 "None, snow or rain over the picture", [](const K& k) { return k.Kind; },
                 [](K& k, int32_t v) { k.Kind = v; }},
    WeatherField{"Count", "Flakes or drops", FieldStyle::Number, 0, 1000, "",
                 "How many flakes or drops; the show draws at most 1000",
                 [](const K& k) { return k.Count; }, [](K& k, int32_t v) { k.Count = v; }},
    WeatherField{"SpeedIndex", "Speed", FieldStyle::Number, 0, kLastSpeedIndex, "",
                 "How fast the flakes or drops fall: a step of the speed table (10 % to 500 %)",
                 [](const K& k) { return k.SpeedIndex; },
                 [](K& k, int32_t v) { k.SpeedIndex = v; }},
    WeatherField{"Angle", "Angle", FieldStyle::Number, 0, 180, "°",
                 "Rain only: 90 falls straight down, less slants to the left, more to the right",
                 [](const K& k) { return k.Angle; }, [](K& k, int32_t v) { k.Angle = v; }},
    WeatherField{"Length", "Drop length", FieldStyle::Number, 0, 100, "/10",
                 "Rain only: length of the drops in tenths", [](const K& k) { return k.Length; },
                 [](K& k, int32_t v) { k.Length = v; }},
    WeatherField{"Opacity", "Opacity", FieldStyle::Number, 0, 10, "/10",
                 "Opacity in tenths; 0 stands for the default (9 for snow, 6 for rain)",
                 [](const K& k) { return k.Opacity; }, [](K& k, int32_t v) { k.Opacity = v; }},
};
static_assert(kWeatherFields.size() == 6, "every setting of the weather has a control");

}  // namespace

std::span<const WaveField> WaveFields() {
  return kWaveFields;
}

std::span<const WeatherField> WeatherFields() {
  return kWeatherFields;
}

}  // namespace vec::studio

#pragma once
// The settings of a wave set and of the weather as the studio's controls show them: one
// row of a table per setting, with its label, its range, its tooltip and how it is read
// from and written to the record. The panels are built from these tables.

#include <cstdint>
#include <span>

#include "picture/WaveSet.h"
#include "picture/WeatherSettings.h"

namespace vec::studio {

enum class FieldStyle {
  Number,  // slider and number
  Flag,    // check box: nonzero is on
  Choice,  // list of named values
};

template <class Record>
struct SettingField {
  const char* key;    // object name of the control, e.g. "Amplitude"
  const char* label;  // text beside it
  FieldStyle style;
  // The range the control offers. Where the file's format or the show bounds a setting
  // (speeds, opacity, weather kind, particle count) it is that bound; elsewhere a range
  // that covers what pictures use. A value outside it read from a file is shown as it
  // stands and kept until the control is changed.
  int32_t min, max;
  const char* unit;  // shown after the number ("px", "°", ...), may be empty
  const char* tip;
  int32_t (*get)(const Record&);
  void (*set)(Record&, int32_t);
};

using WaveField = SettingField<WaveSet>;
using WeatherField = SettingField<WeatherSettings>;

std::span<const WaveField> WaveFields();
std::span<const WeatherField> WeatherFields();

// Whether a value lies in the field's range.
template <class Record>
bool InRange(const SettingField<Record>& field, int32_t value) {
  return value >= field.min && value <= field.max;
}

}  // namespace vec::studio

#pragma once
// The records of a picture the studio changes one at a time, named for the undo history
// and for the views that show them.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "picture/SoundSlot.h"
#include "picture/WaveSet.h"
#include "picture/WeatherSettings.h"

namespace vec::studio {

enum class RecordKind {
  Title,
  Author,
  Preview,  // the preview's JPEG stream
  Wave,     // index: the area, 0 to 3
  SingleSound,
  Weather,
  SoundSlot,  // index: the slot, 0 to 7
  Objects,    // the objects text
  BuildInfo,
};

struct RecordId {
  RecordKind kind = RecordKind::Title;
  int32_t index = 0;
  friend bool operator==(const RecordId&, const RecordId&) = default;
};

// A record's value: texts as stored (Windows-1252), the preview as JPEG bytes, the records.
using RecordValue =
    std::variant<std::string, std::vector<uint8_t>, WaveSet, WeatherSettings, SoundSlot>;

// Bytes a value holds, for the history's memory bound.
size_t RecordValueBytes(const RecordValue& value);

}  // namespace vec::studio

#pragma once
// The twelve items of a picture file, and where one lies in a file's bytes: the reader notes
// where it read each item and the writer where it wrote each, so that a file can be written
// again keeping the items that did not change byte for byte.

#include <cstddef>
#include <cstdint>

namespace vec {

// The items of a picture file in their order.
enum class PictureItem {
  Magic,
  Title,
  Author,
  Preview,
  WaveSets,
  Mask,
  Picture,
  SingleSound,
  Weather,
  SoundSlots,
  Objects,
  BuildInfo,
};
inline constexpr size_t kPictureItemCount = 12;

// Where one item lies in the file: bytes [begin, end). `complete` is false for an item that
// was not read, or only in part (a file cut inside its optional tail).
struct ItemSpan {
  uint64_t begin = 0, end = 0;
  bool complete = false;
};

}  // namespace vec

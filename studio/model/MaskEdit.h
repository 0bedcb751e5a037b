#pragma once
// One edit of the area mask (a brush stroke, a fill, a shape, an import): the tools call
// Keep for every rectangle before they paint it, and the edit keeps the pixels of the
// tiles it touches as they were, so that the finished edit can be undone and redone with
// memory in proportion to what it covered rather than to the whole mask.

#include <cstdint>
#include <vector>

#include "graphics/Geometry.h"
#include "picture/AreaMask.h"

namespace vec::studio {

// A tile of the mask before and after an edit.
struct MaskTile {
  Rect rect;
  std::vector<uint8_t> before, after;  // rect's pixels, row by row
};

// What one edit changed: only tiles whose pixels differ afterwards.
struct MaskPatch {
  std::vector<MaskTile> tiles;
  Rect bounds;  // the union of the tiles' rectangles
  size_t Bytes() const;
};

class MaskEdit {
 public:
  static constexpr int32_t kTileSize = 64;

  explicit MaskEdit(AreaMask& mask);

  AreaMask& Mask() { return *mask_; }
  // Keeps the pixels of `rect` (clipped to the mask) as they are now; the caller paints
  // them afterwards. Tiles kept before are not kept again.
  void Keep(const Rect& rect);
  // The union of every rectangle kept so far, clipped to the mask.
  const Rect& Touched() const { return touched_; }
  // The tiles whose pixels changed, before and after; the edit is spent.
  MaskPatch Finish();

 private:
  AreaMask* mask_;
  int32_t tilesAcross_ = 0, tilesDown_ = 0;
  std::vector<int32_t> tileSlot_;  // per tile: its index in tiles_, or -1
  std::vector<MaskTile> tiles_;
  Rect touched_;
};

// Copies the `before` (or `after`) pixels of every tile of the patch into the mask.
void ApplyPatch(const MaskPatch& patch, bool after, AreaMask& mask);

// The intersection of two rectangles, and the smallest one holding both (an empty
// rectangle adds nothing).
Rect Intersect(const Rect& a, const Rect& b);
Rect Unite(const Rect& a, const Rect& b);

}  // namespace vec::studio

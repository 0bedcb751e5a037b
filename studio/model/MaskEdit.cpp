#include "studio/model/MaskEdit.h"

#include <algorithm>
#include <cstring>

namespace vec::studio {

Rect Intersect(const Rect& a, const Rect& b) {
  const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? Rect{} : r;
}

Rect Unite(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

size_t MaskPatch::Bytes() const {
  size_t n = sizeof(MaskPatch);
  for (const MaskTile& t : tiles) n += sizeof(MaskTile) + t.before.size() + t.after.size();
  return n;
}

namespace {

void CopyOut(const AreaMask& mask, const Rect& r, std::vector<uint8_t>& out) {
  out.resize(static_cast<size_t>(r.Width()) * static_cast<size_t>(r.Height()));
  for (int32_t y = r.top; y < r.bottom; ++y)
    std::memcpy(out.data() + static_cast<size_t>(y - r.top) * r.Width(), mask.Row(y) + r.left,
                static_cast<size_t>(r.Width()));
}

void CopyIn(const std::vector<uint8_t>& in, const Rect& r, AreaMask& mask) {
  for (int32_t y = r.top; y < r.bottom; ++y)
    std::memcpy(mask.Row(y) + r.left, in.data() + static_cast<size_t>(y - r.top) * r.Width(),
                static_cast<size_t>(r.Width()));
}

}  // namespace

MaskEdit::MaskEdit(AreaMask& mask) : mask_(&mask) {
  tilesAcross_ = (mask.Width() + kTileSize - 1) / kTileSize;
  tilesDown_ = (mask.Height() + kTileSize - 1) / kTileSize;
  tileSlot_.assign(static_cast<size_t>(tilesAcross_) * static_cast<size_t>(tilesDown_), -1);
}

void MaskEdit::Keep(const Rect& rect) {
  const Rect r = Intersect(rect, {0, 0, mask_->Width(), mask_->Height()});
  if (r.IsEmpty()) return;
  touched_ = Unite(touched_, r);
  for (int32_t ty = r.top / kTileSize; ty <= (r.bottom - 1) / kTileSize; ++ty)
    for (int32_t tx = r.left / kTileSize; tx <= (r.right - 1) / kTileSize; ++tx) {
      int32_t& slot = tileSlot_[static_cast<size_t>(ty) * tilesAcross_ + tx];
      if (slot >= 0) continue;
      slot = static_cast<int32_t>(tiles_.size());
      MaskTile& tile = tiles_.emplace_back();
      tile.rect =
          Intersect({tx * kTileSize, ty * kTileSize, (tx + 1) * kTileSize, (ty + 1) * kTileSize},
                    {0, 0, mask_->Width(), mask_->Height()});
      CopyOut(*mask_, tile.rect, tile.before);
    }
}

MaskPatch MaskEdit::Finish() {
  MaskPatch patch;
  for (MaskTile& tile : tiles_) {
    CopyOut(*mask_, tile.rect, tile.after);
    if (tile.after == tile.before) continue;
    patch.bounds = Unite(patch.bounds, tile.rect);
    patch.tiles.push_back(std::move(tile));
  }
  tiles_.clear();
  std::fill(tileSlot_.begin(), tileSlot_.end(), -1);
  touched_ = {};
  return patch;
}

void ApplyPatch(const MaskPatch& patch, bool after, AreaMask& mask) {
  for (const MaskTile& tile : patch.tiles) {
    // A patch only ever meets the mask it was made on; a rectangle outside it is skipped
    // rather than written past the rows.
    if (Intersect(tile.rect, {0, 0, mask.Width(), mask.Height()}) != tile.rect) continue;
    CopyIn(after ? tile.after : tile.before, tile.rect, mask);
  }
}

}  // namespace vec::studio

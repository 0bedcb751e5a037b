#pragma once
// The picture being authored: what the water engine animates (a Picture, the type the show
// uses) and the records as they will be stored, with their undo history.
//
// Saving writes through our own picture writer and keeps every record that was not changed
// byte for byte as it was in the file opened: a file opened and saved without a change is
// the same file, and a change of one wave set leaves the bytes of every other record alone
// (also those the writer would write differently: the unused characters of a sound slot's
// name, wave records beyond the fourth, bytes after the last item).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Result.h"
#include "graphics/BlendBitmap.h"
#include "picture/Picture.h"
#include "picture/PictureItems.h"
#include "picture/PictureWriter.h"
#include "studio/model/EditHistory.h"
#include "studio/model/MaskEdit.h"
#include "studio/model/Records.h"

namespace vec::studio {

// What an undo or redo changed, for the views to refresh.
struct DocumentChange {
  Rect mask;                       // the mask's pixels changed here (empty: none)
  std::optional<RecordId> record;  // this record changed
};

class PictureDocument {
 public:
  // An existing picture file; the error says why it cannot be opened.
  static ErrorOr<std::unique_ptr<PictureDocument>> FromPictureFile(std::vector<uint8_t> bytes);
  // A new picture from a photo: `fileBytes` are the photo file's (kept as the picture's
  // stream when they are a JPEG file), `photo` the same photo decoded. The picture starts
  // with no water areas and the wave sets of NewPictureWaves.
  static ErrorOr<std::unique_ptr<PictureDocument>> FromPhoto(std::vector<uint8_t> fileBytes,
                                                             const BlendBitmap& photo,
                                                             const std::string& title);

  // The picture file as it is to be saved.
  std::vector<uint8_t> FileBytes() const;

  // What the engine animates: the picture decoded as the show decodes it, the mask being
  // painted, the wave sets, the weather as shown. It stays at one address for the
  // document's life.
  Picture& Live() { return live_; }
  const Picture& Live() const { return live_; }
  AreaMask& Mask() { return live_.mask; }
  const AreaMask& Mask() const { return live_.mask; }
  int32_t Width() const { return live_.image.Width(); }
  int32_t Height() const { return live_.image.Height(); }

  // The records as they will be stored.
  const PictureFileContent& Stored() const { return stored_; }
  RecordValue Record(RecordId id) const;
  // Changes one record as one undo step; changes with the same non-empty merge key in a
  // row make one step. A value of the wrong kind for the record is ignored.
  void SetRecord(RecordId id, RecordValue value, std::string mergeKey = {});

  // Mask painting: the tools paint through the edit, CommitMaskEdit makes it one step.
  MaskEdit BeginMaskEdit() { return MaskEdit(live_.mask); }
  // The rectangle the edit changed (empty when it changed nothing; no step is made).
  Rect CommitMaskEdit(MaskEdit& edit);

  std::optional<DocumentChange> Undo();
  std::optional<DocumentChange> Redo();
  const EditHistory& History() const { return history_; }

  // Changed since it was opened or last saved (a new picture always is until saved).
  bool Modified() const { return !everSaved_ || !history_.AtSavedState(); }
  // The bytes given were written to the file: they become what later saves keep records
  // from, and the document is unchanged.
  void MarkSaved(std::vector<uint8_t> savedBytes);

 private:
  PictureDocument() = default;
  static ErrorOr<std::unique_ptr<PictureDocument>> Open(std::vector<uint8_t> bytes);
  void Apply(RecordId id, const RecordValue& value);
  std::optional<DocumentChange> ApplyStep(const EditStep& step, bool after);
  void TakeAsOriginal(std::vector<uint8_t> bytes, const std::array<ItemSpan, kPictureItemCount>&,
                      uint64_t readEnd);
  bool ItemUnchanged(PictureItem item, const PictureFileContent& content, bool maskChanged) const;
  std::vector<uint8_t> Splice(const PictureFileContent& content, bool maskChanged,
                              const std::vector<uint8_t>& fresh,
                              const std::array<ItemSpan, kPictureItemCount>& freshItems) const;

  // The file the records came from, as it was read.
  struct Original {
    std::vector<uint8_t> bytes;
    std::array<ItemSpan, kPictureItemCount> items{};
    uint64_t readEnd = 0;
    int32_t waveCount = 0;
    PictureFileContent content;  // its records as read
    AreaMask mask;               // its mask fitted to the picture, as read
  };

  Picture live_;
  PictureFileContent stored_;
  Original original_;
  EditHistory history_;
  bool everSaved_ = true;
};

// The wave sets a new picture starts with: a gentle ripple for area 1, waves growing towards
// the viewer for area 2, falling water for area 3 and a mirroring lake for area 4, so that
// an area painted shows its kind of water at once.
std::array<WaveSet, kWaveSetCount> NewPictureWaves();

}  // namespace vec::studio

#include "studio/model/PictureDocument.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "graphics/ImageFile.h"
#include "graphics/Jpeg.h"
#include "picture/Mask.h"
#include "picture/PictureFileReader.h"
#include "picture/PictureJpegs.h"

namespace vec::studio {
namespace {

// The payload of a counted item (its bytes after the 32-bit count).
std::vector<uint8_t> CountedPayload(const std::vector<uint8_t>& bytes, const ItemSpan& span) {
  if (!span.complete || span.end - span.begin < 4) return {};
  return {bytes.begin() + static_cast<ptrdiff_t>(span.begin + 4),
          bytes.begin() + static_cast<ptrdiff_t>(span.end)};
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& from, uint64_t begin,
            uint64_t end) {
  out.insert(out.end(), from.begin() + static_cast<ptrdiff_t>(begin),
             from.begin() + static_cast<ptrdiff_t>(end));
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& from, const ItemSpan& span) {
  Append(out, from, span.begin, span.end);
}

bool TailIsEmpty(const PictureFileContent& c) {
  return c.objects.empty() && c.buildInfo.empty() &&
         std::all_of(c.soundSlots.begin(), c.soundSlots.end(),
                     [](const SoundSlot& s) { return s == SoundSlot{}; });
}

}  // namespace

std::array<WaveSet, kWaveSetCount> NewPictureWaves() {
  std::array<WaveSet, kWaveSetCount> waves{};
  WaveSet& ripple = waves[0];
  ripple.Amplitude = 3, ripple.Cycles = 30, ripple.PhaseStep = 12, ripple.Forward = 1;
  ripple.Horizontal = 1, ripple.Period = 360;
  WaveSet& sea = waves[1];
  sea.Amplitude = 5, sea.Cycles = 12, sea.PhaseStep = 10, sea.Forward = 1, sea.Vertical = 1;
  sea.Perspective = 1, sea.Period = 360;
  WaveSet& falls = waves[2];
  falls.Amplitude = 2, falls.Cycles = 40, falls.PhaseStep = 30, falls.Forward = 0;
  falls.Vertical = 1, falls.Period = 360, falls.Scatter = 20;
  WaveSet& lake = waves[3];
  lake.Amplitude = 2, lake.Cycles = 24, lake.PhaseStep = 8, lake.Forward = 1;
  lake.Horizontal = 1, lake.Period = 360, lake.Mirror = 1;
  return waves;
}

ErrorOr<std::unique_ptr<PictureDocument>> PictureDocument::FromPictureFile(
    std::vector<uint8_t> bytes) {
  return Open(std::move(bytes));
}

ErrorOr<std::unique_ptr<PictureDocument>> PictureDocument::FromPhoto(std::vector<uint8_t> fileBytes,
                                                                     const BlendBitmap& photo,
                                                                     const std::string& title) {
  if (photo.Empty()) return Error::Make(ErrorCode::BadSize, "The photo has no pixels");
  if (!ImageSizeAllowed(photo.Width(), photo.Height()))
    return ImageTooLarge("The photo", photo.Width(), photo.Height());
  PictureFileContent c;
  c.Title = title;
  c.pictureJpeg = TRY(StoredPictureJpeg(std::move(fileBytes), photo, kDefaultJpegQuality));
  c.previewJpeg = TRY(MakePreviewJpeg(photo, kDefaultPreviewWidth, kDefaultJpegQuality));
  const std::array<WaveSet, kWaveSetCount> waves = NewPictureWaves();
  c.waves.assign(waves.begin(), waves.end());
  c.maskValues = {photo.Width(), photo.Height()};
  c.weather = {kWeatherNone, 300, 10, 90, 20, 0};
  // Opened from the bytes the writer made, the picture is exactly what the show will see.
  auto document = TRY(Open(WritePictureFile(c)));
  document->everSaved_ = false;
  return document;
}

ErrorOr<std::unique_ptr<PictureDocument>> PictureDocument::Open(std::vector<uint8_t> bytes) {
  std::unique_ptr<PictureDocument> d(new PictureDocument());
  if (!d->live_.LoadFromMemory(bytes.data(), bytes.size()))
    return Error::Make(ErrorCode::Corrupt, d->live_.LastError());
  if (d->live_.image.Empty())
    return Error::Make(ErrorCode::BadSize, "The picture in the file has no pixels");
  PictureFileReader reader;
  TRY(reader.LoadFullFromMemory(bytes.data(), bytes.size()));
  d->TakeAsOriginal(std::move(bytes), reader.items, reader.readEnd);
  Original& o = d->original_;
  PictureFileContent& c = o.content;
  c.Title = reader.Title;
  c.Author = reader.Author;
  c.previewJpeg = CountedPayload(o.bytes, reader.Item(PictureItem::Preview));
  c.pictureJpeg = CountedPayload(o.bytes, reader.Item(PictureItem::Picture));
  c.waves.assign(reader.waves.begin(), reader.waves.end());
  c.maskValues = reader.maskCodes;
  c.singleSound = reader.singleSound;
  c.weather = reader.weather;
  c.withTail = reader.hasSoundSlots;
  c.soundSlots = reader.soundSlots;
  c.objects = reader.objects;
  c.buildInfo = reader.buildInfo;
  o.waveCount = reader.waveCount;
  o.mask = d->live_.mask;
  d->stored_ = c;
  return d;
}

void PictureDocument::TakeAsOriginal(std::vector<uint8_t> bytes,
                                     const std::array<ItemSpan, kPictureItemCount>& items,
                                     uint64_t readEnd) {
  original_.bytes = std::move(bytes);
  original_.items = items;
  original_.readEnd = readEnd;
}

void PictureDocument::MarkSaved(std::vector<uint8_t> savedBytes) {
  PictureFileReader reader;
  if (reader.LoadFullFromMemory(savedBytes.data(), savedBytes.size()).ok()) {
    TakeAsOriginal(std::move(savedBytes), reader.items, reader.readEnd);
    original_.waveCount = reader.waveCount;
    stored_.maskValues = reader.maskCodes;
    stored_.withTail = reader.hasSoundSlots;
    original_.content = stored_;
    original_.mask = live_.mask;
  }
  everSaved_ = true;
  history_.MarkSaved();
}

RecordValue PictureDocument::Record(RecordId id) const {
  const PictureFileContent& c = stored_;
  const size_t i = static_cast<size_t>(std::clamp(id.index, 0, 7));
  switch (id.kind) {
    case RecordKind::Title:
      return c.Title;
    case RecordKind::Author:
      return c.Author;
    case RecordKind::Preview:
      return c.previewJpeg;
    case RecordKind::Wave:
      return c.waves[std::min<size_t>(i, kWaveSetCount - 1)];
    case RecordKind::SingleSound:
      return c.singleSound;
    case RecordKind::Weather:
      return c.weather;
    case RecordKind::SoundSlot:
      return c.soundSlots[i];
    case RecordKind::Objects:
      return c.objects;
    case RecordKind::BuildInfo:
      return c.buildInfo;
  }
  return std::string();
}

void PictureDocument::Apply(RecordId id, const RecordValue& value) {
  PictureFileContent& c = stored_;
  const auto* text = std::get_if<std::string>(&value);
  switch (id.kind) {
    case RecordKind::Title:
      if (text) c.Title = live_.Title = *text;
      break;
    case RecordKind::Author:
      if (text) c.Author = live_.Author = *text;
      break;
    case RecordKind::Preview:
      if (const auto* jpeg = std::get_if<std::vector<uint8_t>>(&value)) {
        c.previewJpeg = *jpeg;
        if (!DecodeJpeg(jpeg->data(), jpeg->size(), live_.preview).ok())
          live_.preview = BottomUpBitmap();
      }
      break;
    case RecordKind::Wave:
      if (const auto* wave = std::get_if<WaveSet>(&value);
          wave && id.index >= 0 && id.index < kWaveSetCount)
        c.waves[static_cast<size_t>(id.index)] = live_.waveSets[static_cast<size_t>(id.index)] =
            *wave;
      break;
    case RecordKind::SingleSound:
      if (text) c.singleSound = *text;
      break;
    case RecordKind::Weather:
      if (const auto* weather = std::get_if<WeatherSettings>(&value)) {
        c.weather = *weather;
        live_.weather = WeatherAsShown(*weather);
      }
      break;
    case RecordKind::SoundSlot:
      if (const auto* slot = std::get_if<SoundSlot>(&value);
          slot && id.index >= 0 && id.index < kSoundSlotCount) {
        SoundSlot s = *slot;
        if (s.FileName.size() > SoundSlot::kMaxNameLength)
          s.FileName.resize(SoundSlot::kMaxNameLength);
        c.soundSlots[static_cast<size_t>(id.index)] = s;
      }
      break;
    case RecordKind::Objects:
      if (text) {
        c.objects = *text;
        live_.objects.Load(*text);
      }
      break;
    case RecordKind::BuildInfo:
      if (text) c.buildInfo = *text;
      break;
  }
}

void PictureDocument::SetRecord(RecordId id, RecordValue value, std::string mergeKey) {
  RecordValue before = Record(id);
  Apply(id, value);
  RecordValue after = Record(id);
  if (after == before) return;
  history_.Push(RecordChange{id, std::move(before), std::move(after), std::move(mergeKey)});
}

Rect PictureDocument::CommitMaskEdit(MaskEdit& edit) {
  MaskPatch patch = edit.Finish();
  const Rect changed = patch.bounds;
  if (!patch.tiles.empty()) history_.Push(std::move(patch));
  return changed;
}

std::optional<DocumentChange> PictureDocument::ApplyStep(const EditStep& step, bool after) {
  DocumentChange change;
  if (const auto* patch = std::get_if<MaskPatch>(&step)) {
    ApplyPatch(*patch, after, live_.mask);
    change.mask = patch->bounds;
  } else {
    const auto& record = std::get<RecordChange>(step);
    Apply(record.id, after ? record.after : record.before);
    change.record = record.id;
  }
  return change;
}

std::optional<DocumentChange> PictureDocument::Undo() {
  const EditStep* step = history_.Undo();
  if (!step) return std::nullopt;
  return ApplyStep(*step, false);
}

std::optional<DocumentChange> PictureDocument::Redo() {
  const EditStep* step = history_.Redo();
  if (!step) return std::nullopt;
  return ApplyStep(*step, true);
}

std::vector<uint8_t> PictureDocument::FileBytes() const {
  PictureFileContent content = stored_;
  const bool maskChanged = live_.mask != original_.mask;
  if (maskChanged) content.maskValues = EncodeMask(live_.mask);
  // A file that ended after the weather gets its tail once something is put in it.
  if (!content.withTail && !TailIsEmpty(content)) content.withTail = true;

  bool unchanged = !maskChanged && content.withTail == original_.content.withTail;
  for (size_t i = 0; unchanged && i < kPictureItemCount; ++i)
    unchanged = ItemUnchanged(static_cast<PictureItem>(i), content, maskChanged);
  if (unchanged) return original_.bytes;

  std::array<ItemSpan, kPictureItemCount> freshItems{};
  const std::vector<uint8_t> fresh = WritePictureFile(content, &freshItems);
  return Splice(content, maskChanged, fresh, freshItems);
}

bool PictureDocument::ItemUnchanged(PictureItem item, const PictureFileContent& c,
                                    bool maskChanged) const {
  const PictureFileContent& o = original_.content;
  switch (item) {
    case PictureItem::Magic:
      return true;
    case PictureItem::Title:
      return c.Title == o.Title;
    case PictureItem::Author:
      return c.Author == o.Author;
    case PictureItem::Preview:
      return c.previewJpeg == o.previewJpeg;
    case PictureItem::WaveSets:
      return c.waves == o.waves;
    case PictureItem::Mask:
      return !maskChanged;
    case PictureItem::Picture:
      return c.pictureJpeg == o.pictureJpeg;
    case PictureItem::SingleSound:
      return c.singleSound == o.singleSound;
    case PictureItem::Weather:
      return c.weather == o.weather;
    case PictureItem::SoundSlots:
      return c.soundSlots == o.soundSlots;
    case PictureItem::Objects:
      return c.objects == o.objects;
    case PictureItem::BuildInfo:
      return c.buildInfo == o.buildInfo;
  }
  return false;
}

// The fresh file, with every item (every wave and sound record) that did not change taken
// from the original bytes instead.
std::vector<uint8_t> PictureDocument::Splice(
    const PictureFileContent& content, bool maskChanged, const std::vector<uint8_t>& fresh,
    const std::array<ItemSpan, kPictureItemCount>& freshItems) const {
  const std::vector<uint8_t>& old = original_.bytes;
  std::vector<uint8_t> out;
  out.reserve(std::max(fresh.size(), old.size()));
  bool wholeOriginal = true;  // every original item was kept or rewritten whole
  for (size_t i = 0; i < kPictureItemCount; ++i) {
    const auto item = static_cast<PictureItem>(i);
    const ItemSpan& f = freshItems[i];
    const ItemSpan& o = original_.items[i];
    wholeOriginal = wholeOriginal && (o.complete || !original_.content.withTail);
    if (!f.complete) continue;
    if (o.complete && ItemUnchanged(item, content, maskChanged)) {
      Append(out, old, o);
    } else if (item == PictureItem::WaveSets && o.complete && original_.waveCount > kWaveSetCount) {
      // Records beyond the fourth drive no area; they stay as they were, behind the four.
      constexpr uint64_t kRecord = WaveSet::kRecordSize;
      Append(out, old, o.begin, o.begin + 4);
      Append(out, fresh, f.begin + 4, f.begin + 4 + kWaveSetCount * kRecord);
      Append(out, old, o.begin + 4 + kWaveSetCount * kRecord, o.end);
    } else if (item == PictureItem::SoundSlots) {
      constexpr uint64_t kRecord = SoundSlot::kRecordSize;
      for (size_t k = 0; k < kSoundSlotCount; ++k) {
        const uint64_t at = o.begin + k * kRecord;
        const bool whole = o.end > o.begin && at + kRecord <= o.end;
        if (whole && content.soundSlots[k] == original_.content.soundSlots[k])
          Append(out, old, at, at + kRecord);
        else
          Append(out, fresh, f.begin + k * kRecord, f.begin + (k + 1) * kRecord);
      }
    } else {
      Append(out, fresh, f);
    }
  }
  // Bytes behind the last item of a file read whole stay behind it.
  if (wholeOriginal && content.withTail == original_.content.withTail)
    Append(out, old, original_.readEnd, old.size());
  return out;
}

}  // namespace vec::studio

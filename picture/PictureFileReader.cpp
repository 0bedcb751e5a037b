#include "picture/PictureFileReader.h"

#include <algorithm>
#include <cstring>

#include "graphics/Jpeg.h"
#include "picture/Mask.h"

namespace vec {
namespace {

int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
                              (uint32_t{p[3]} << 24));
}

void Put32(uint8_t* p, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

Error BadSize(const char* what, int64_t value) {
  return Error::Make(ErrorCode::BadSize,
                     std::string("Invalid ") + what + " in project file: " + std::to_string(value));
}

Error Truncated() {
  return Error::Make(ErrorCode::Truncated, kReadBeyondEnd);
}

// A declared size: negative fails, larger than what remains fails before anything is
// allocated for it.
ErrorOr<int32_t> ReadSize(ByteReader& s, const char* what, uint64_t unit) {
  const int32_t n = TRY(s.ReadInteger());
  if (n < 0) return BadSize(what, n);
  if (static_cast<uint64_t>(n) * unit > s.Remaining()) return Truncated();
  return n;
}

ErrorOr<std::string> ReadCountedString(ByteReader& s, const char* what) {
  const int32_t n = TRY(ReadSize(s, what, 1));
  std::string text(static_cast<size_t>(n), '\0');
  TRY(s.ReadBlock(text.data(), text.size()));
  return text;
}

// A counted string of the optional tail: the characters present before the end of the file
// are kept; false when the string was cut (or its length is unusable).
bool ReadCutString(ByteReader& s, std::string& out) {
  const auto n = s.ReadInteger();
  if (!n || *n < 0) return false;
  const size_t want = static_cast<size_t>(*n);
  const size_t got = static_cast<size_t>(std::min<uint64_t>(s.Remaining(), want));
  std::string text(got, '\0');
  if (!s.ReadBlock(text.data(), got)) return false;
  out = std::move(text);
  return got == want;
}

Status ReadJpegBlob(ByteReader& s, const char* what, BottomUpBitmap& image) {
  const int32_t n = TRY(ReadSize(s, what, 1));
  std::vector<uint8_t> buffer;
  TRY(s.ReadIntoStream(buffer, static_cast<size_t>(n)));
  Status decoded = DecodeJpeg(buffer.data(), buffer.size(), image);
  if (!decoded) return Error::Make(ErrorCode::BadJpeg, decoded.error().message);
  return {};
}

}  // namespace

WaveSet WaveParamFromBytes(const uint8_t* p) {
  WaveSet w;
  w.Amplitude = Get32(p + 0);
  w.Cycles = Get32(p + 4);
  w.PhaseStep = Get32(p + 8);
  w.Forward = Get32(p + 12);
  w.Horizontal = p[16];
  w.Vertical = p[17];
  w.Perspective = p[18];
  w.reserved1 = p[19];
  w.Period = Get32(p + 20);
  w.Scatter = Get32(p + 24);
  w.reserved2 = p[28];
  w.Mirror = p[29];
  w.reserved3[0] = p[30];
  w.reserved3[1] = p[31];
  return w;
}

void WaveParamToBytes(const WaveSet& w, uint8_t* p) {
  Put32(p + 0, w.Amplitude);
  Put32(p + 4, w.Cycles);
  Put32(p + 8, w.PhaseStep);
  Put32(p + 12, w.Forward);
  p[16] = w.Horizontal;
  p[17] = w.Vertical;
  p[18] = w.Perspective;
  p[19] = w.reserved1;
  Put32(p + 20, w.Period);
  Put32(p + 24, w.Scatter);
  p[28] = w.reserved2;
  p[29] = w.Mirror;
  p[30] = w.reserved3[0];
  p[31] = w.reserved3[1];
}

SoundSlot SoundSlotFromBytes(const uint8_t* p) {
  SoundSlot s;
  s.FileName.assign(reinterpret_cast<const char*>(p + 1), p[0]);
  s.PlayMode = Get32(p + 256);
  s.IntervalMin = Get32(p + 260);
  s.IntervalMax = Get32(p + 264);
  return s;
}

void SoundSlotToBytes(const SoundSlot& s, uint8_t* p) {
  std::memset(p, 0, SoundSlot::kRecordSize);
  const size_t n = std::min(s.FileName.size(), SoundSlot::kMaxNameLength);
  p[0] = static_cast<uint8_t>(n);
  std::memcpy(p + 1, s.FileName.data(), n);
  Put32(p + 256, s.PlayMode);
  Put32(p + 260, s.IntervalMin);
  Put32(p + 264, s.IntervalMax);
}

Status PictureFileReader::LoadFull(const std::string& fileName) {
  ByteReader stream;
  TRY(stream.Open(fileName, ByteReader::Mode::Read));
  return Run(stream, true);
}

Status PictureFileReader::LoadPreview(const std::string& fileName) {
  ByteReader stream;
  TRY(stream.Open(fileName, ByteReader::Mode::Read));
  return Run(stream, false);
}

Status PictureFileReader::LoadFullFromMemory(const uint8_t* data, size_t size) {
  ByteReader stream;
  stream.OpenMemory(data, size);
  return Run(stream, true);
}

Status PictureFileReader::LoadPreviewFromMemory(const uint8_t* data, size_t size) {
  ByteReader stream;
  stream.OpenMemory(data, size);
  return Run(stream, false);
}

Status PictureFileReader::Run(ByteReader& stream, bool full) {
  items = {};
  Status status = ReadHeadItems(stream);
  if (status.ok() && full) {
    status = ReadBodyItems(stream);
    if (status.ok()) ReadTailItems(stream);
  }
  readEnd = stream.Position();
  return status;
}

// Notes where an item begins; the item is complete once Finish is called for it.
void PictureFileReader::Begin(ByteReader& s, PictureItem item) {
  Item(item) = {s.Position(), s.Position(), false};
}

void PictureFileReader::Finish(ByteReader& s, PictureItem item, bool complete) {
  Item(item).end = s.Position();
  Item(item).complete = complete;
}

// Items 1 to 4: magic, Title, Author, preview.
Status PictureFileReader::ReadHeadItems(ByteReader& s) {
  // A file shorter than the magic fails on the read itself, like any other short read;
  // only eight bytes that differ from the magic make an incorrect picture file.
  Begin(s, PictureItem::Magic);
  const std::string magic = TRY(s.ReadMagic(kPictureMagicLength));
  if (magic != kPictureMagic) return Error::Make(ErrorCode::BadMagic, kIncorrectPictureFile);
  Finish(s, PictureItem::Magic);
  Begin(s, PictureItem::Title);
  Title = TRY(ReadCountedString(s, "title length"));
  Finish(s, PictureItem::Title);
  Begin(s, PictureItem::Author);
  Author = TRY(ReadCountedString(s, "author length"));
  Finish(s, PictureItem::Author);
  Begin(s, PictureItem::Preview);
  TRY(ReadJpegBlob(s, "preview size", preview));
  Finish(s, PictureItem::Preview);
  return {};
}

// Items 5 to 9: wave sets, mask, picture, single sound, weather.
Status PictureFileReader::ReadBodyItems(ByteReader& s) {
  Begin(s, PictureItem::WaveSets);
  waveCount = TRY(ReadSize(s, "wave count", WaveSet::kRecordSize));
  uint8_t record[WaveSet::kRecordSize];
  for (int32_t k = 0; k < waveCount; ++k) {
    TRY(s.ReadBlock(record, WaveSet::kRecordSize));
    // The picture has four areas; further records have no area to drive.
    if (k < kWaveSetCount) waves[static_cast<size_t>(k)] = WaveParamFromBytes(record);
  }
  Finish(s, PictureItem::WaveSets);

  Begin(s, PictureItem::Mask);
  const int32_t maskCount = TRY(ReadSize(s, "mask count", 4));
  maskCodes.resize(static_cast<size_t>(maskCount));
  for (auto& v : maskCodes) v = TRY(s.ReadInteger());
  Finish(s, PictureItem::Mask);

  Begin(s, PictureItem::Picture);
  TRY(ReadJpegBlob(s, "picture size", image));
  Finish(s, PictureItem::Picture);
  Begin(s, PictureItem::SingleSound);
  singleSound = TRY(ReadCountedString(s, "sound name length"));
  Finish(s, PictureItem::SingleSound);

  Begin(s, PictureItem::Weather);
  uint8_t w[WeatherSettings::kRecordSize];
  TRY(s.ReadBlock(w, sizeof w));
  Finish(s, PictureItem::Weather);
  weather = {Get32(w), Get32(w + 4), Get32(w + 8), Get32(w + 12), Get32(w + 16), Get32(w + 20)};
  return {};
}
// Items 10 to 12 are optional: older files end after the weather record. A file cut inside
// them keeps every byte read before the cut: the eight slots are one block read into zeroed
// records (a slot cut short keeps the name characters and numbers that were there, the rest
// stay zero), and a text cut short keeps the characters before the cut.
void PictureFileReader::ReadTailItems(ByteReader& s) {
  if (s.Eof()) return;
  hasSoundSlots = true;
  Begin(s, PictureItem::SoundSlots);
  constexpr size_t kSlotsSize = SoundSlot::kRecordSize * kSoundSlotCount;
  std::vector<uint8_t> block(kSlotsSize, 0);
  const size_t got = static_cast<size_t>(std::min<uint64_t>(s.Remaining(), kSlotsSize));
  if (!s.ReadBlock(block.data(), got)) return;
  Finish(s, PictureItem::SoundSlots, got == kSlotsSize);
  for (size_t i = 0; i < soundSlots.size(); ++i) {
    const size_t at = i * SoundSlot::kRecordSize;
    if (at >= got) break;
    SoundSlot slot = SoundSlotFromBytes(block.data() + at);
    // Name characters behind the cut were never read.
    const size_t nameRead = std::min(got - at - 1, SoundSlot::kMaxNameLength);
    if (slot.FileName.size() > nameRead) slot.FileName.resize(nameRead);
    soundSlots[i] = std::move(slot);
  }
  if (got < kSlotsSize) return;
  Begin(s, PictureItem::Objects);
  const bool objectsComplete = ReadCutString(s, objects);
  Finish(s, PictureItem::Objects, objectsComplete);
  if (!objectsComplete) return;
  Begin(s, PictureItem::BuildInfo);
  const bool buildInfoComplete = ReadCutString(s, buildInfo);
  Finish(s, PictureItem::BuildInfo, buildInfoComplete);
}

Status PictureFileReader::CopyMask(AreaMask& dst, int32_t width, int32_t height) const {
  return DecodeMaskFitted(maskCodes, width, height, dst);
}

}  // namespace vec

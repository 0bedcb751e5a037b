#include "picture/PictureWriter.h"

#include "picture/PictureFileReader.h"

namespace vec {
namespace {

class ByteWriter {
 public:
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  void Int(int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Bytes(b, 4);
  }
  void Counted(const void* p, size_t n) {
    Int(static_cast<int32_t>(n));
    Bytes(p, n);
  }
  void Counted(const std::string& s) { Counted(s.data(), s.size()); }
  void Counted(const std::vector<uint8_t>& v) { Counted(v.data(), v.size()); }

  std::vector<uint8_t> out;
};

}  // namespace

std::vector<uint8_t> WritePictureFile(const PictureFileContent& c,
                                      std::array<ItemSpan, kPictureItemCount>* items) {
  ByteWriter w;
  std::array<ItemSpan, kPictureItemCount> spans{};
  auto item = [&](PictureItem which, auto&& write) {
    ItemSpan& span = spans[static_cast<size_t>(which)];
    span.begin = w.out.size();
    write();
    span.end = w.out.size();
    span.complete = true;
  };
  item(PictureItem::Magic, [&] { w.Bytes(kPictureMagic, kPictureMagicLength); });
  item(PictureItem::Title, [&] { w.Counted(c.Title); });
  item(PictureItem::Author, [&] { w.Counted(c.Author); });
  item(PictureItem::Preview, [&] { w.Counted(c.previewJpeg); });
  item(PictureItem::WaveSets, [&] {
    w.Int(static_cast<int32_t>(c.waves.size()));
    for (const auto& wave : c.waves) {
      uint8_t record[WaveSet::kRecordSize];
      WaveParamToBytes(wave, record);
      w.Bytes(record, sizeof record);
    }
  });
  item(PictureItem::Mask, [&] {
    w.Int(static_cast<int32_t>(c.maskValues.size()));
    for (int32_t v : c.maskValues) w.Int(v);
  });
  item(PictureItem::Picture, [&] { w.Counted(c.pictureJpeg); });
  item(PictureItem::SingleSound, [&] { w.Counted(c.singleSound); });
  item(PictureItem::Weather, [&] {
    const WeatherSettings& k = c.weather;
    for (int32_t v : {k.Kind, k.Count, k.SpeedIndex, k.Angle, k.Length, k.Opacity}) w.Int(v);
  });
  if (c.withTail) {
    item(PictureItem::SoundSlots, [&] {
      for (const auto& slot : c.soundSlots) {
        uint8_t record[SoundSlot::kRecordSize];
        SoundSlotToBytes(slot, record);
        w.Bytes(record, sizeof record);
      }
    });
    item(PictureItem::Objects, [&] { w.Counted(c.objects); });
    item(PictureItem::BuildInfo, [&] { w.Counted(c.buildInfo); });
  }
  if (items != nullptr) *items = spans;
  return std::move(w.out);
}

std::string JoinCommaText(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& line = lines[i];
    bool quote = line.empty() && lines.size() == 1;
    for (unsigned char ch : line)
      if (ch <= ' ' || ch == ',' || ch == '"') quote = true;
    if (!quote) {
      out += line;
      continue;
    }
    out += '"';
    for (char ch : line) {
      if (ch == '"') out += '"';
      out += ch;
    }
    out += '"';
  }
  return out;
}

}  // namespace vec

#include <gtest/gtest.h>

#include "configui/FormTextReader.h"

namespace vec {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes Text(std::string_view s) {
  return Bytes(s.begin(), s.end());
}
Bytes ClassName(std::string_view name) {
  return Cat({{static_cast<uint8_t>(name.size())}, Text(name)});
}
Bytes Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

// Files long enough that a size mistaken by one byte order (0x0102 vs 0x0201) shows.
Bytes FileStartingWith(Bytes signature, size_t size) {
  Bytes file = signature;
  for (size_t i = file.size(); i < size; ++i) file.push_back(static_cast<uint8_t>(i * 7));
  return file;
}
const Bytes kBmp = FileStartingWith(Text("BM"), 0x0102);
const Bytes kJpeg = FileStartingWith({0xFF, 0xD8, 0xFF, 0xE0}, 300);
const Bytes kGif = FileStartingWith(Text("GIF89a"), 40);
const Bytes kPng = FileStartingWith({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, 60);
const Bytes kIcon = FileStartingWith({0, 0, 1, 0, 1, 0}, 30);
const Bytes kPlaceableWmf = FileStartingWith({0xD7, 0xCD, 0xC6, 0x9A}, 50);

TEST(DecodePictureData, FindsTheImageFileOfEachKind) {
  struct Case {
    const char* name;
    Bytes data;
    std::string kind;
    PictureFormat format;
    Bytes image;
  } cases[] = {
      {"Bitmap", Cat({ClassName("TBitmap"), Le32(0x0102), kBmp}), "TBitmap", PictureFormat::Bitmap,
       kBmp},
      // Whatever follows the declared size is not part of the file.
      {"BitmapSizeBounds", Cat({ClassName("TBitmap"), Le32(0x0102), kBmp, {1, 2, 3}}), "TBitmap",
       PictureFormat::Bitmap, kBmp},
      {"Jpeg", Cat({ClassName("TJPEGImage"), Le32(300), kJpeg}), "TJPEGImage", PictureFormat::Jpeg,
       kJpeg},
      {"GifAsItIs", Cat({ClassName("TGIFImage"), kGif}), "TGIFImage", PictureFormat::Gif, kGif},
      {"GifWithSize", Cat({ClassName("TGIFImage"), Le32(40), kGif}), "TGIFImage",
       PictureFormat::Gif, kGif},
      {"Png", Cat({ClassName("TPngImage"), kPng}), "TPngImage", PictureFormat::Png, kPng},
      {"OlderPngClass", Cat({ClassName("TPNGObject"), kPng}), "TPNGObject", PictureFormat::Png,
       kPng},
      {"Icon", Cat({ClassName("TIcon"), kIcon}), "TIcon", PictureFormat::Icon, kIcon},
      // A metafile's size counts its own four bytes.
      {"Metafile", Cat({ClassName("TMetafile"), Le32(54), kPlaceableWmf}), "TMetafile",
       PictureFormat::Metafile, kPlaceableWmf},
      {"ClassNameIgnoresCase", Cat({ClassName("tbitmap"), Le32(0x0102), kBmp}), "tbitmap",
       PictureFormat::Bitmap, kBmp},
      // A bitmap property (Glyph.Data): the size and the file, no class name.
      {"BitmapProperty", Cat({Le32(0x0102), kBmp}), "", PictureFormat::Bitmap, kBmp},
  };
  for (const auto& c : cases) {
    auto picture = DecodePictureData(c.data);
    ASSERT_TRUE(picture.ok()) << c.name << ": " << picture.error().message;
    EXPECT_EQ(picture->kind, c.kind) << c.name;
    EXPECT_EQ(picture->format, c.format) << c.name;
    EXPECT_EQ(picture->imageBytes, c.image) << c.name;
  }
}

TEST(DecodePictureData, EmptyAndUnknownKindsGiveNoPicture) {
  struct Case {
    const char* name;
    Bytes data;
    std::string kind;
  } cases[] = {
      {"NoData", {}, ""},
      {"EmptyClassName", {0}, ""},
      {"EmptyBitmap", Cat({ClassName("TBitmap"), Le32(0)}), "TBitmap"},  // what the tool writes
      {"BitmapWithoutStream", ClassName("TBitmap"), "TBitmap"},
      {"EmptyMetafile", Cat({ClassName("TMetafile"), Le32(4)}), "TMetafile"},
      {"UnknownKind", Cat({ClassName("TWICImage"), kPng}), "TWICImage"},
      {"EmptyBitmapProperty", Le32(0), ""},
  };
  for (const auto& c : cases) {
    auto picture = DecodePictureData(c.data);
    ASSERT_TRUE(picture.ok()) << c.name << ": " << picture.error().message;
    EXPECT_TRUE(picture->empty()) << c.name;
    EXPECT_EQ(picture->format, PictureFormat::None) << c.name;
    EXPECT_EQ(picture->kind, c.kind) << c.name;
  }
}

TEST(DecodePictureData, DamagedDataIsAnError) {
  struct Case {
    const char* name;
    Bytes data;
    ErrorCode code;
  } cases[] = {
      {"ClassNameCut", Cat({{9}, Text("TGIF")}), ErrorCode::Truncated},
      {"SizeCut", Cat({ClassName("TBitmap"), {2, 1}}), ErrorCode::Truncated},
      {"SizeBeyondData", Cat({ClassName("TBitmap"), Le32(0x0103), kBmp}), ErrorCode::Truncated},
      {"BitmapThatIsNoBmp", Cat({ClassName("TBitmap"), Le32(300), kJpeg}), ErrorCode::Corrupt},
      {"JpegThatIsNoJpeg", Cat({ClassName("TJPEGImage"), Le32(40), kGif}), ErrorCode::Corrupt},
      {"NeitherNameNorSize", {3, 1, 2, 3, 4, 5}, ErrorCode::Corrupt},
      // A bitmap property whose size runs past the data is not taken for a class name.
      {"BitmapPropertyCut", Cat({Le32(0x0103), kBmp}), ErrorCode::Corrupt},
  };
  for (const auto& c : cases) {
    auto picture = DecodePictureData(c.data);
    ASSERT_TRUE(picture.is_error()) << c.name;
    EXPECT_EQ(picture.error().code, c.code) << c.name << ": " << picture.error().message;
  }
}

}  // namespace
}  // namespace vec

#include "graphics/Bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <fstream>

#include "graphics/BmpRows.h"

namespace vec {
namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;

uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

Error Corrupt(const char* what) {
  return Error::Make(ErrorCode::Corrupt, std::string("BMP error: ") + what);
}
Error Truncated() {
  return Error::Make(ErrorCode::Truncated, "BMP error: the pixel data ends too early");
}

// One colour channel given by a bit mask, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = m >> shift;
    // A mask with holes counts as its contiguous low part; such files do not occur in practice.
    if ((max & (max + 1)) != 0) max = (uint32_t{1} << std::countr_one(max)) - 1;
  }
  uint8_t Get(uint32_t v) const {
    if (max == 0) return 0;
    const uint32_t c = (v >> shift) & max;
    return static_cast<uint8_t>((uint64_t{c} * 255 + max / 2) / max);
  }
};

struct Header {
  int32_t width = 0;
  int32_t height = 0;  // positive; see topDown
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kBiRgb;
  std::vector<Pixel> palette;
  std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
  size_t pixelOffset = 0;
};

ErrorOr<Header> ReadHeader(const uint8_t* data, size_t size) {
  if (size < 18 || data[0] != 'B' || data[1] != 'M') return Corrupt("not a bitmap file");
  const uint32_t headerSize = Get32(data + 14);
  Header h;
  size_t paletteEntry = 4;
  uint32_t colorsUsed = 0;
  size_t afterHeader = 14 + size_t{headerSize};
  if (headerSize == 12) {
    if (size < 26) return Truncated();
    h.width = Get16(data + 18);
    h.height = Get16(data + 20);
    h.bits = Get16(data + 24);
    paletteEntry = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
             headerSize == 108 || headerSize == 124) {
    if (size < afterHeader) return Truncated();
    h.width = static_cast<int32_t>(Get32(data + 18));
    const int32_t rawHeight = static_cast<int32_t>(Get32(data + 22));
    if (rawHeight == INT32_MIN) return Corrupt("invalid height");
    h.topDown = rawHeight < 0;
    h.height = rawHeight < 0 ? -rawHeight : rawHeight;
    h.bits = Get16(data + 28);
    h.compression = Get32(data + 30);
    colorsUsed = Get32(data + 46);
    if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
      const size_t maskCount = h.compression == kBiAlphaBitfields ? 4 : 3;
      // A plain info header is followed by the masks; the larger headers hold them.
      const size_t maskStart = 54;
      if (headerSize == 40) afterHeader += maskCount * 4;
      if (size < maskStart + maskCount * 4) return Truncated();
      for (size_t i = 0; i < maskCount; ++i) h.masks[i] = Get32(data + maskStart + 4 * i);
      if (headerSize >= 56 && maskCount == 3) h.masks[3] = Get32(data + maskStart + 12);
    }
  } else {
    return Corrupt("unknown header size");
  }

  if (h.width <= 0 || h.height <= 0) return Corrupt("invalid width or height");
  if (!ImageSizeAllowed(h.width, h.height)) return ImageTooLarge("BMP image", h.width, h.height);
  switch (h.compression) {
    case kBiRgb:
      if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return Corrupt("unsupported bit count");
      break;
    case kBiRle8:
      if (h.bits != 8) return Corrupt("RLE8 needs 8 bits per pixel");
      break;
    case kBiRle4:
      if (h.bits != 4) return Corrupt("RLE4 needs 4 bits per pixel");
      break;
    case kBiBitfields:
    case kBiAlphaBitfields:
      if (h.bits != 16 && h.bits != 32) return Corrupt("bit fields need 16 or 32 bits per pixel");
      break;
    default:
      return Error::Make(ErrorCode::Unsupported,
                         "BMP error: unsupported compression " + std::to_string(h.compression));
  }
  if (h.compression == kBiRgb && h.bits == 16) h.masks = {0x7C00, 0x03E0, 0x001F, 0};

  const uint32_t offBits = Get32(data + 10);
  // Some writers leave the offset at 0 or point it into the headers; then the pixels
  // follow the palette. A paletted file always has a palette before its pixels, so an
  // offset right behind the headers is not believed either.
  const bool offsetUsable = offBits > afterHeader || (offBits == afterHeader && h.bits > 8);
  if (h.bits <= 8) {
    const uint32_t maxColors = uint32_t{1} << h.bits;
    uint32_t count = (colorsUsed == 0 || colorsUsed > maxColors) ? maxColors : colorsUsed;
    // The palette ends where the pixels begin: a header that counts more colours than
    // fit before bfOffBits (a count of 0 means all 2^bits) has only those that fit.
    if (offsetUsable)
      count =
          static_cast<uint32_t>(std::min<size_t>(count, (offBits - afterHeader) / paletteEntry));
    if (afterHeader > size || (size - afterHeader) / paletteEntry < count)
      return Error::Make(ErrorCode::Truncated, "BMP error: the palette ends too early");
    h.palette.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = data + afterHeader + i * paletteEntry;
      h.palette[i] = MakePixel(e[2], e[1], e[0]);
    }
    afterHeader += count * paletteEntry;
  }
  h.pixelOffset = offsetUsable ? offBits : afterHeader;
  if (h.pixelOffset > size) return Truncated();
  return h;
}

Pixel PaletteColor(const Header& h, uint32_t index) {
  return index < h.palette.size() ? h.palette[index] : MakePixel(0, 0, 0);
}

size_t RowStride(const Header& h) {
  return ((static_cast<size_t>(h.width) * h.bits + 31) / 32) * 4;
}

// Uncompressed rows must all be there before pixel memory is taken for them.
Status CheckUncompressedLength(const Header& h, size_t size) {
  const size_t rowBytes = (static_cast<size_t>(h.width) * h.bits + 7) / 8;
  const size_t available = size - h.pixelOffset;
  // The last row may lack its padding.
  if (static_cast<size_t>(h.height - 1) * RowStride(h) + rowBytes > available) return Truncated();
  return {};
}

// One row of an uncompressed file, the format looked at for every pixel: plainly right, and
// the reference the faster rows below are held to.
void DecodeRowGeneric(const Header& h, const uint8_t* src, Pixel* dst) {
  const Channel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]), a(h.masks[3]);
  const bool masked = h.compression != kBiRgb || h.bits == 16;
  for (int32_t x = 0; x < h.width; ++x) {
    switch (h.bits) {
      case 1:
        dst[x] = PaletteColor(h, (src[x >> 3] >> (7 - (x & 7))) & 1);
        break;
      case 4:
        dst[x] = PaletteColor(h, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
        break;
      case 8:
        dst[x] = PaletteColor(h, src[x]);
        break;
      case 24: {
        const uint8_t* p = src + 3 * x;
        dst[x] = MakePixel(p[2], p[1], p[0]);
        break;
      }
      default: {
        const uint32_t v = h.bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
        if (!masked) {
          dst[x] = (v & 0x00FFFFFF) | 0xFF000000;
        } else {
          dst[x] = MakePixel(r.Get(v), g.Get(v), b.Get(v), h.masks[3] ? a.Get(v) : 0xFF);
        }
        break;
      }
    }
  }
}

void DecodeRowBgr24(const Header& h, const uint8_t* src, Pixel* dst) {
  CurrentBmpRowKernels().bgr24(src, dst, h.width);
}

void DecodeRowXrgb32(const Header& h, const uint8_t* src, Pixel* dst) {
  for (int32_t x = 0; x < h.width; ++x) dst[x] = (Get32(src + 4 * x) & 0x00FFFFFF) | 0xFF000000;
}

using RowDecoder = void (*)(const Header&, const uint8_t*, Pixel*);

// The row decoder for a file: a dedicated one for the common full-colour layouts, the
// generic one for the rest.
RowDecoder ChooseRowDecoder(const Header& h) {
  if (h.compression == kBiRgb && h.bits == 24) return DecodeRowBgr24;
  if (h.compression == kBiRgb && h.bits == 32) return DecodeRowXrgb32;
  return DecodeRowGeneric;
}

void DecodeUncompressed(const Header& h, const uint8_t* data, BlendBitmap& bmp, RowDecoder decode) {
  const size_t stride = RowStride(h);
  for (int32_t row = 0; row < h.height; ++row) {
    const uint8_t* src = data + h.pixelOffset + static_cast<size_t>(row) * stride;
    decode(h, src, bmp.ScanLine(h.topDown ? row : h.height - 1 - row));
  }
}

// Walks run-length data, handing every pixel to put(x, row, index) (row 0 is the first
// row in the file). Pixels past the end of a row are passed on too; the caller drops them.
// The data is whole when it reaches the end-of-bitmap marker or has passed the last pixel;
// data that ends before either is truncated.
template <class Put>
Status WalkRle(const Header& h, const uint8_t* data, size_t size, Put&& put) {
  const bool four = h.compression == kBiRle4;
  size_t pos = h.pixelOffset;
  // x may run far past the row on long runs without an end of line; 64 bits hold any file.
  int64_t x = 0;
  int32_t row = 0;
  auto whole = [&] { return row >= h.height || (row == h.height - 1 && x >= h.width); };
  while (row < h.height) {
    if (pos + 2 > size) return whole() ? Status{} : Truncated();
    const uint8_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i, ++x)
        put(x, row, four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return {};
    } else if (value == 2) {  // delta
      if (pos + 2 > size) return Truncated();
      x += data[pos];
      row += data[pos + 1];
      pos += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1) / 2 : value;
      if (pos + bytes > size) return Truncated();
      for (int i = 0; i < value; ++i, ++x) {
        const uint8_t byte = data[pos + (four ? i / 2 : i)];
        put(x, row, four ? ((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte);
      }
      pos += (bytes + 1) & ~size_t{1};
    }
  }
  return {};
}

// Pixels that the data skips (deltas, an early end) stay 0. Run only over data that
// WalkRle has found whole.
void DecodeRle(const Header& h, const uint8_t* data, size_t size, BlendBitmap& bmp) {
  (void)WalkRle(h, data, size, [&](int64_t x, int32_t row, uint32_t index) {
    if (x < h.width && row < h.height)
      bmp.ScanLine(h.topDown ? row : h.height - 1 - row)[x] = PaletteColor(h, index);
  });
}

template <class BottomUpBitmap>
std::vector<uint8_t> Encode(const BottomUpBitmap& src) {
  const uint32_t w = static_cast<uint32_t>(std::max(src.Width(), 0));
  const uint32_t h = static_cast<uint32_t>(std::max(src.Height(), 0));
  const uint32_t imageBytes = w * h * 4;
  std::vector<uint8_t> out(54 + size_t{imageBytes});
  auto put16 = [&](size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, 54 + imageBytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  put16(26, 1);
  put16(28, 32);
  put32(30, kBiRgb);
  put32(34, imageBytes);
  uint8_t* dst = out.data() + 54;
  for (uint32_t i = 0; i < h; ++i) {  // bottom row first
    const Pixel* row = src.ScanLine(static_cast<int32_t>(h - 1 - i));
    for (uint32_t x = 0; x < w; ++x, dst += 4) {
      const Pixel p = row[x];
      dst[0] = PixelB(p);
      dst[1] = PixelG(p);
      dst[2] = PixelR(p);
      dst[3] = PixelA(p);
    }
  }
  return out;
}

Status WriteFile(const std::vector<uint8_t>& bytes, const std::string& path) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (f)
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!f) return Error::Make(ErrorCode::WriteFailed, "Cannot write " + path);
  return {};
}

}  // namespace

namespace {

ErrorOr<BlendBitmap> Decode(const uint8_t* data, size_t size, bool reference) {
  const Header h = TRY(ReadHeader(data, size));
  const bool rle = h.compression == kBiRle4 || h.compression == kBiRle8;
  // The data must be whole before pixel memory is taken for it.
  if (rle)
    TRY(WalkRle(h, data, size, [](int64_t, int32_t, uint32_t) {}));
  else
    TRY(CheckUncompressedLength(h, size));
  BlendBitmap bmp(h.width, h.height);
  if (rle)
    DecodeRle(h, data, size, bmp);
  else
    DecodeUncompressed(h, data, bmp, reference ? DecodeRowGeneric : ChooseRowDecoder(h));
  return bmp;
}

}  // namespace

ErrorOr<BlendBitmap> DecodeBmp(const uint8_t* data, size_t size) {
  return Decode(data, size, false);
}

ErrorOr<BlendBitmap> reference::DecodeBmp(const uint8_t* data, size_t size) {
  return Decode(data, size, true);
}

ErrorOr<BlendBitmap> LoadBmpFile(const std::string& path) {
  const std::vector<uint8_t> bytes = TRY(ReadWholeFile(path));
  return DecodeBmp(bytes.data(), bytes.size());
}

std::vector<uint8_t> EncodeBmp32(const BottomUpBitmap& src) {
  return Encode(src);
}
std::vector<uint8_t> EncodeBmp32(const BlendBitmap& src) {
  return Encode(src);
}

Status SaveBmp32(const BottomUpBitmap& src, const std::string& path) {
  return WriteFile(Encode(src), path);
}
Status SaveBmp32(const BlendBitmap& src, const std::string& path) {
  return WriteFile(Encode(src), path);
}

}  // namespace vec

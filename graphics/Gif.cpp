#include "graphics/Gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace vec {
namespace {

struct MemoryReader {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buf, int len) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  if (len <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(len), r->size - r->pos);
  if (n > 0) std::memcpy(buf, r->data + r->pos, n);
  r->pos += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::string GifMessage(int code) {
  const char* text = GifErrorString(code);
  return std::string("GIF error: ") + (text ? text : "unknown error");
}

Error GifFailure(int code) {
  const ErrorCode ec = (code == D_GIF_ERR_READ_FAILED || code == D_GIF_ERR_EOF_TOO_SOON)
                           ? ErrorCode::Truncated
                           : ErrorCode::Corrupt;
  return Error::Make(ec, GifMessage(code));
}

std::vector<GifColor> ToPalette(const ColorMapObject* map) {
  std::vector<GifColor> out;
  if (map == nullptr || map->Colors == nullptr) return out;
  out.reserve(static_cast<size_t>(map->ColorCount));
  for (int i = 0; i < map->ColorCount; ++i)
    out.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  return out;
}

// Consumes the image data of a frame that is not decoded.
bool SkipImageData(GifFileType* gif) {
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
  while (block != nullptr)
    if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

// Reads the rows of the current frame, undoing the interlace.
bool ReadFrameRows(GifFileType* gif, GifFrame& frame) {
  const int w = frame.rect.Width(), h = frame.rect.Height();
  auto readRow = [&](int y) {
    return DGifGetLine(gif, frame.indices.data() + static_cast<size_t>(y) * w, w) != GIF_ERROR;
  };
  if (gif->Image.Interlace) {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < h; y += kStep[pass])
        if (!readRow(y)) return false;
  } else {
    for (int y = 0; y < h; ++y)
      if (!readRow(y)) return false;
  }
  return true;
}

struct PendingControl {
  bool present = false;
  GraphicsControlBlock gcb{};
};

// Reads one extension; a graphic control block is kept for the next frame.
bool ReadExtension(GifFileType* gif, PendingControl& control, int32_t& loopCount) {
  int code = 0;
  GifByteType* ext = nullptr;
  if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) return false;
  bool netscape = false;
  bool first = true;
  while (ext != nullptr) {
    if (code == GRAPHICS_EXT_FUNC_CODE && first && ext[0] >= 4) {
      GraphicsControlBlock gcb{};
      if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK) {
        control.present = true;
        control.gcb = gcb;
      }
    } else if (code == APPLICATION_EXT_FUNC_CODE && first && ext[0] == 11) {
      netscape = std::memcmp(ext + 1, "NETSCAPE2.0", 11) == 0 ||
                 std::memcmp(ext + 1, "ANIMEXTS1.0", 11) == 0;
    } else if (netscape && ext[0] >= 3 && ext[1] == 1) {
      loopCount = ext[2] | (ext[3] << 8);
    }
    first = false;
    if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) return false;
  }
  return true;
}

Error TooManyFrames(int64_t pixelLimit) {
  return Error::Make(ErrorCode::TooLarge, "GIF has too many frames: they hold more than " +
                                              std::to_string(pixelLimit) + " pixels");
}

// Reads one image record into `out`. Returns whether reading stops here (a frame cut short
// after earlier ones, or the frame limit reached), or the error when no frame can be had.
ErrorOr<bool> ReadImageRecord(GifFileType* gif, PendingControl& control, GifImage& out,
                              int64_t& indexPixels, size_t frameLimit, int64_t pixelLimit) {
  // Data that ends after whole frames keeps them; before the first one it is an error.
  auto cutShort = [&]() -> ErrorOr<bool> {
    if (out.frames.empty()) return GifFailure(gif->Error);
    out.truncated = true;
    return true;
  };
  if (DGifGetImageDesc(gif) == GIF_ERROR) return cutShort();
  const GifImageDesc& d = gif->Image;
  if (d.Width <= 0 || d.Height <= 0) {
    // An empty frame draws nothing; its data still has to be passed over.
    control = {};
    if (!SkipImageData(gif)) return cutShort();
    return false;
  }
  if (!ImageSizeAllowed(d.Width, d.Height)) return ImageTooLarge("GIF frame", d.Width, d.Height);
  // Checked before the frame's indices are allocated: the memory stays within the limit.
  indexPixels += int64_t{d.Width} * d.Height;
  if (indexPixels > pixelLimit) return TooManyFrames(pixelLimit);
  GifFrame frame;
  frame.rect = {d.Left, d.Top, d.Left + d.Width, d.Top + d.Height};
  frame.palette = ToPalette(d.ColorMap);
  if (control.present) {
    frame.delayMs = control.gcb.DelayTime * 10;
    frame.disposal = static_cast<GifDisposal>(std::clamp(control.gcb.DisposalMode, 0, 3));
    frame.transparentIndex = control.gcb.TransparentColor;
  }
  control = {};
  frame.indices.assign(static_cast<size_t>(d.Width) * d.Height, 0);
  if (!ReadFrameRows(gif, frame)) return cutShort();
  out.frames.push_back(std::move(frame));
  return out.frames.size() >= frameLimit;
}

// A logical screen of zero size takes the extent of the frames; then the composed frames
// must stay within the limit.
Status CheckScreen(GifImage& out, int64_t pixelLimit) {
  if (out.width <= 0 || out.height <= 0) {
    for (const auto& f : out.frames) {
      out.width = std::max(out.width, f.rect.right);
      out.height = std::max(out.height, f.rect.bottom);
    }
    out.width = std::min(out.width, kMaxImageDimension);
    out.height = std::min(out.height, kMaxImageDimension);
    if (!ImageSizeAllowed(out.width, out.height))
      return ImageTooLarge("GIF image", out.width, out.height);
  }
  const int64_t composed =
      int64_t{out.width} * out.height * static_cast<int64_t>(out.frames.size());
  if (composed > pixelLimit) return TooManyFrames(pixelLimit);
  return {};
}

}  // namespace

ErrorOr<GifImage> DecodeGif(const uint8_t* data, size_t size, size_t frameLimit,
                            int64_t pixelLimit) {
  MemoryReader reader{data, size, 0};
  int error = 0;
  GifHandle gif(DGifOpen(&reader, ReadFromMemory, &error));
  if (!gif) return GifFailure(error);

  GifImage out;
  out.width = gif->SWidth;
  out.height = gif->SHeight;
  if (!ImageSizeAllowed(out.width, out.height))
    return ImageTooLarge("GIF image", out.width, out.height);
  out.globalPalette = ToPalette(gif->SColorMap);
  out.backgroundIndex = gif->SBackGroundColor;

  PendingControl control;
  int64_t indexPixels = 0;
  for (bool done = frameLimit == 0; !done;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) {
      // A missing trailer after whole frames is common and harmless.
      if (!out.frames.empty()) break;
      return GifFailure(gif->Error);
    }
    if (record == IMAGE_DESC_RECORD_TYPE) {
      done = TRY(ReadImageRecord(gif.get(), control, out, indexPixels, frameLimit, pixelLimit));
    } else if (record == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif.get(), control, out.loopCount)) {
        if (out.frames.empty()) return GifFailure(gif->Error);
        done = true;
      }
    } else {  // the trailer, or a record type that cannot be read on
      done = true;
    }
  }
  if (out.frames.empty())
    return Error::Make(ErrorCode::Corrupt, "GIF error: the file holds no image");
  TRY(CheckScreen(out, pixelLimit));
  return out;
}

ErrorOr<GifImage> LoadGifFile(const std::string& path, int64_t pixelLimit) {
  const std::vector<uint8_t> bytes = TRY(ReadWholeFile(path));
  return DecodeGif(bytes.data(), bytes.size(), SIZE_MAX, pixelLimit);
}

std::vector<BlendBitmap> ComposeGifFrames(const GifImage& gif, const GifComposeOptions& options) {
  std::vector<BlendBitmap> out;
  if (gif.width <= 0 || gif.height <= 0) return out;
  out.reserve(gif.frames.size());
  BlendBitmap canvas(gif.width, gif.height);
  canvas.Clear(0);
  BlendBitmap saved;
  const Rect screen{0, 0, gif.width, gif.height};
  for (size_t i = 0; i < gif.frames.size(); ++i) {
    const GifFrame& f = gif.frames[i];
    const auto& palette = gif.PaletteOf(f);
    const int32_t transparent =
        i < options.transparentIndex.size() ? options.transparentIndex[i] : f.transparentIndex;
    const GifDisposal disposal =
        options.allDisposeToBackground ? GifDisposal::Background : f.disposal;
    if (disposal == GifDisposal::Previous && i + 1 < gif.frames.size()) saved = canvas;

    const Rect clip{std::max(f.rect.left, 0), std::max(f.rect.top, 0),
                    std::min(f.rect.right, screen.right), std::min(f.rect.bottom, screen.bottom)};
    const int32_t fw = f.rect.Width();
    for (int32_t y = clip.top; y < clip.bottom; ++y) {
      const uint8_t* src = f.indices.data() + static_cast<size_t>(y - f.rect.top) * fw;
      Pixel* dst = canvas.ScanLine(y);
      for (int32_t x = clip.left; x < clip.right; ++x) {
        const uint8_t index = src[x - f.rect.left];
        if (index == transparent) continue;
        if (index < palette.size()) {
          const GifColor c = palette[index];
          dst[x] = MakePixel(c.r, c.g, c.b);
        } else {
          dst[x] = MakePixel(0, 0, 0);
        }
      }
    }
    if (i + 1 == gif.frames.size()) {
      // Nothing is drawn after the last frame: its disposal does not matter.
      out.push_back(std::move(canvas));
      break;
    }
    out.push_back(canvas);

    if (disposal == GifDisposal::Background) {
      for (int32_t y = clip.top; y < clip.bottom; ++y)
        std::fill(canvas.ScanLine(y) + clip.left,
                  canvas.ScanLine(y) + std::max(clip.left, clip.right), Pixel{0});
    } else if (disposal == GifDisposal::Previous) {
      canvas = saved;
    }
  }
  return out;
}

int32_t FindGlobalPaletteIndex(const GifImage& gif, GifColor color) {
  for (size_t i = 0; i < gif.globalPalette.size(); ++i)
    if (gif.globalPalette[i] == color) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace vec

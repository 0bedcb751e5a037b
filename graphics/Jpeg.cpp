#include "graphics/Jpeg.h"

// clang-format off
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <new>

namespace vec {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return. We leave the
// library with longjmp back into the function that called it. Those functions keep no
// C++ objects with destructors alive in the frame that holds the jump buffer, and every
// value they need after the jump lives in memory owned by their caller.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool sawEnd;      // the data has ended (the library then acts as if the end marker came)
  bool* truncated;  // set when a scan needed data past the end; the decode then stops
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  longjmp(err->jump, 1);
}

// Warnings (corrupt data that the library can work around) are not printed; the library
// substitutes grey and goes on. Data that ends before the picture does is different: the
// rest of the picture would be invented, so the decode stops there.
void SilentMessage(j_common_ptr) {}

// Installed once the headers are read, so that from then on data that ends early fails the
// decode instead of being filled with grey (a damaged header keeps the library's own
// handling). The end of the data alone is harmless: some writers leave out the end marker
// after the last scan. It is fatal when a scan then still needs bits that are not there;
// the decode loop sees the flag after the rows in hand and stops.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  ++cinfo->err->num_warnings;
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) err->sawEnd = true;
  if (err->sawEnd && cinfo->err->msg_code == JWRN_HIT_MARKER && err->truncated)
    *err->truncated = true;
}

// A damaged progressive file can hold an enormous number of tiny scans, each of which costs
// a pass over the whole coefficient buffer. No real encoder writes more than a few dozen.
constexpr int kMaxScans = 500;

void LimitScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "JPEG has more than %d scans", kMaxScans);
    longjmp(err->jump, 1);
  }
}

enum class Outcome { ok, failed, tooLarge, truncated, noMemory };

// Where decoded rows go. setSize is called once, outside any libjpeg callback.
struct RowTarget {
  void* self;
  bool (*setSize)(void* self, int32_t w, int32_t h) noexcept;
  uint8_t* (*row)(void* self, int32_t y) noexcept;
};

template <class BottomUpBitmap>
RowTarget TargetFor(BottomUpBitmap& bmp) {
  return RowTarget{
      &bmp,
      [](void* self, int32_t w, int32_t h) noexcept -> bool {
        try {
          static_cast<BottomUpBitmap*>(self)->SetSize(w, h);
          return true;
        } catch (const std::bad_alloc&) {
          return false;
        }
      },
      [](void* self, int32_t y) noexcept -> uint8_t* {
        return reinterpret_cast<uint8_t*>(static_cast<BottomUpBitmap*>(self)->ScanLine(y));
      }};
}

struct DecodeState {
  JpegInfo info;
  char message[JMSG_LENGTH_MAX];
  bool truncated;
};

// Adobe writes CMYK inverted (0 = full ink); that is what nearly every CMYK JPEG holds.
void CmykRowToBgra(const uint8_t* cmyk, uint8_t* bgra, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgra += 4) {
    const unsigned k = cmyk[3];
    bgra[0] = static_cast<uint8_t>((cmyk[2] * k + 127) / 255);
    bgra[1] = static_cast<uint8_t>((cmyk[1] * k + 127) / 255);
    bgra[2] = static_cast<uint8_t>((cmyk[0] * k + 127) / 255);
    bgra[3] = 0xFF;
  }
}

// A Huffman-coded picture spends at least one bit on every 8 x 8 block of its first
// component (the code of the block's DC difference), so a file smaller than that cannot
// hold the picture its header declares; it is refused before any pixel memory is taken.
// Arithmetic coding can spend less, so it is not judged here.
bool CanHoldPicture(const jpeg_decompress_struct* cinfo, size_t size) {
  if (cinfo->arith_code || cinfo->num_components < 1) return true;
  const jpeg_component_info& first = cinfo->comp_info[0];
  const uint64_t blocks = uint64_t{first.width_in_blocks} * first.height_in_blocks;
  return uint64_t{size} * 8 >= blocks;
}

// Everything after the jump buffer is set, kept out of the frame that holds it so that no
// local of that frame changes between setjmp and a possible longjmp.
Outcome DecodeSteps(jpeg_decompress_struct* cinfo, const uint8_t* data, size_t size,
                    const RowTarget* target, DecodeState* state) {
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);
  state->info.width = static_cast<int32_t>(cinfo->image_width);
  state->info.height = static_cast<int32_t>(cinfo->image_height);
  state->info.components = cinfo->num_components;
  if (!ImageSizeAllowed(cinfo->image_width, cinfo->image_height)) return Outcome::tooLarge;
  if (target == nullptr) return Outcome::ok;
  auto truncated = [state] {
    std::snprintf(state->message, sizeof state->message, "Premature end of JPEG file");
    return Outcome::truncated;
  };
  if (!CanHoldPicture(cinfo, size)) return truncated();
  cinfo->err->emit_message = EmitMessage;

  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(cinfo);
  // A progressive picture's scans are all read here, before any pixel memory is taken.
  if (state->truncated) return truncated();
  if (!target->setSize(target->self, static_cast<int32_t>(cinfo->output_width),
                       static_cast<int32_t>(cinfo->output_height)))
    return Outcome::noMemory;
  JSAMPARRAY cmykRow = nullptr;
  if (cmyk)
    cmykRow = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                          cinfo->output_width * 4, 1);
  while (cinfo->output_scanline < cinfo->output_height) {
    uint8_t* dst = target->row(target->self, static_cast<int32_t>(cinfo->output_scanline));
    if (cmyk) {
      jpeg_read_scanlines(cinfo, cmykRow, 1);
      CmykRowToBgra(cmykRow[0], dst, cinfo->output_width);
    } else {
      JSAMPROW row = dst;
      jpeg_read_scanlines(cinfo, &row, 1);
    }
    if (state->truncated) return truncated();
  }
  jpeg_finish_decompress(cinfo);
  return Outcome::ok;
}

// target == nullptr: header only.
Outcome DecodeCore(const uint8_t* data, size_t size, const RowTarget* target, DecodeState* state) {
  jpeg_decompress_struct cinfo;
  JpegErrorManager jerr;
  jpeg_progress_mgr progress;
  std::memset(&cinfo, 0, sizeof cinfo);
  std::memset(&progress, 0, sizeof progress);
  cinfo.err = jpeg_std_error(&jerr.pub);
  jerr.pub.error_exit = ErrorExit;
  jerr.pub.output_message = SilentMessage;
  jerr.message[0] = '\0';
  jerr.sawEnd = false;
  jerr.truncated = &state->truncated;
  progress.progress_monitor = LimitScans;
  if (setjmp(jerr.jump)) {
    std::memcpy(state->message, jerr.message, sizeof state->message);
    jpeg_destroy_decompress(&cinfo);
    return Outcome::failed;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &progress;
  const Outcome outcome = DecodeSteps(&cinfo, data, size, target, state);
  jpeg_destroy_decompress(&cinfo);
  return outcome;
}

Status ToStatus(Outcome outcome, const DecodeState& state) {
  switch (outcome) {
    case Outcome::ok:
      return {};
    case Outcome::tooLarge:
      return ImageTooLarge("JPEG image", state.info.width, state.info.height);
    case Outcome::truncated:
      return Error::Make(ErrorCode::Truncated, std::string("JPEG error: ") + state.message);
    case Outcome::noMemory:
      return Error::Make(ErrorCode::TooLarge, "Not enough memory for the JPEG image");
    case Outcome::failed:
      break;
  }
  return Error::Make(ErrorCode::Corrupt, std::string("JPEG error: ") + state.message);
}

template <class BottomUpBitmap>
Status DecodeInto(const uint8_t* data, size_t size, BottomUpBitmap& dst) {
  DecodeState state{};
  const RowTarget target = TargetFor(dst);
  return ToStatus(DecodeCore(data, size, &target, &state), state);
}

// Rows handed to the encoder.
struct RowSource {
  const void* self;
  const uint8_t* (*row)(const void* self, int32_t y) noexcept;
  int32_t width, height;
};

template <class BottomUpBitmap>
RowSource SourceFor(const BottomUpBitmap& bmp) {
  return RowSource{&bmp,
                   [](const void* self, int32_t y) noexcept -> const uint8_t* {
                     return reinterpret_cast<const uint8_t*>(
                         static_cast<const BottomUpBitmap*>(self)->ScanLine(y));
                   },
                   bmp.Width(), bmp.Height()};
}

struct EncodeState {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  char message[JMSG_LENGTH_MAX];
};

void EncodeSteps(jpeg_compress_struct* cinfo, const RowSource* src, int quality,
                 EncodeState* state) {
  jpeg_mem_dest(cinfo, &state->buffer, &state->size);
  cinfo->image_width = static_cast<JDIMENSION>(src->width);
  cinfo->image_height = static_cast<JDIMENSION>(src->height);
  cinfo->input_components = 4;
  cinfo->in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  while (cinfo->next_scanline < cinfo->image_height) {
    // libjpeg only reads through the row pointers it is given.
    JSAMPROW row =
        const_cast<uint8_t*>(src->row(src->self, static_cast<int32_t>(cinfo->next_scanline)));
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
}

bool EncodeCore(const RowSource* src, int quality, EncodeState* state) {
  jpeg_compress_struct cinfo;
  JpegErrorManager jerr;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&jerr.pub);
  jerr.pub.error_exit = ErrorExit;
  jerr.pub.output_message = SilentMessage;
  jerr.message[0] = '\0';
  jerr.sawEnd = false;
  jerr.truncated = nullptr;
  if (setjmp(jerr.jump)) {
    std::memcpy(state->message, jerr.message, sizeof state->message);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  EncodeSteps(&cinfo, src, quality, state);
  jpeg_destroy_compress(&cinfo);
  return true;
}

template <class BottomUpBitmap>
ErrorOr<std::vector<uint8_t>> EncodeFrom(const BottomUpBitmap& bmp, int quality) {
  if (bmp.Empty())
    return Error::Make(ErrorCode::WriteFailed, "Cannot encode an empty image as JPEG");
  if (quality < 1) quality = 1;
  if (quality > 100) quality = 100;
  const RowSource src = SourceFor(bmp);
  EncodeState state{};
  const bool ok = EncodeCore(&src, quality, &state);
  std::vector<uint8_t> out;
  if (ok) {
    try {
      out.assign(state.buffer, state.buffer + state.size);
    } catch (...) {
      std::free(state.buffer);
      throw;
    }
  }
  std::free(state.buffer);
  if (!ok)
    return Error::Make(ErrorCode::WriteFailed, std::string("JPEG encoder error: ") + state.message);
  return out;
}

}  // namespace

ErrorOr<JpegInfo> ReadJpegInfo(const uint8_t* data, size_t size) {
  DecodeState state{};
  const Outcome outcome = DecodeCore(data, size, nullptr, &state);
  if (outcome != Outcome::ok) return ToStatus(outcome, state).release_error();
  return state.info;
}

Status DecodeJpeg(const uint8_t* data, size_t size, BottomUpBitmap& dst) {
  return DecodeInto(data, size, dst);
}

Status DecodeJpeg(const uint8_t* data, size_t size, BlendBitmap& dst) {
  return DecodeInto(data, size, dst);
}

ErrorOr<BlendBitmap> DecodeJpeg(const uint8_t* data, size_t size) {
  BlendBitmap bmp;
  TRY(DecodeInto(data, size, bmp));
  return bmp;
}

ErrorOr<BlendBitmap> LoadJpegFile(const std::string& path) {
  const std::vector<uint8_t> bytes = TRY(ReadWholeFile(path));
  return DecodeJpeg(bytes.data(), bytes.size());
}

ErrorOr<std::vector<uint8_t>> EncodeJpeg(const BlendBitmap& src, int quality) {
  return EncodeFrom(src, quality);
}

ErrorOr<std::vector<uint8_t>> EncodeJpeg(const BottomUpBitmap& src, int quality) {
  return EncodeFrom(src, quality);
}

}  // namespace vec

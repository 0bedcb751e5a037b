#include "platform/FfmpegAudio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>

namespace vec {
namespace {

// The containers opened here: ASF (WMA), MP4/M4A, raw AAC, and WAV and MP3 for the codecs
// and variants the mixer's own decoders refuse.
constexpr const char* kFormats = "asf,mov,mp4,m4a,aac,wav,mp3";

// Receive errors in a row, with no packet read between them, after which the stream ends.
constexpr int kMaxErrorsInARow = 16;

// The most input channels the resampler mixes down.
constexpr int kMaxInputChannels = 64;

std::string Describe(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// FFmpeg writes its complaints about damaged files to stderr by itself; the caller says
// once what became of the file instead.
void QuietLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace

struct FfmpegAudioStream::Handles {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  int stream = -1;
  int rate = 0;
  // What the resampler was set up for; a frame that differs sets it up again.
  int inFormat = -1;
  int inRate = 0;
  int inChannels = 0;
  int errorsInARow = 0;

  ~Handles() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    swr_free(&resampler);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }
};

FfmpegAudioStream::FfmpegAudioStream(OpenKey) : handles_(std::make_unique<Handles>()) {}
FfmpegAudioStream::~FfmpegAudioStream() = default;

ErrorOr<std::unique_ptr<FfmpegAudioStream>> FfmpegAudioStream::Open(const std::string& path,
                                                                    int rate, int channels) {
  QuietLibraryLog();
  const auto cannot = [](ErrorCode code, std::string why) {
    return Error::Make(code, std::move(why));
  };
  if (rate <= 0 || channels <= 0 || channels > 8)
    return cannot(ErrorCode::Unsupported, "unsupported output format");
  auto self = std::make_unique<FfmpegAudioStream>(OpenKey{});
  Handles& h = *self->handles_;
  h.rate = rate;
  self->channels_ = channels;

  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  av_dict_set(&options, "format_whitelist", kFormats, 0);
  // "file:" keeps a colon in the name from being read as another protocol.
  int rc = avformat_open_input(&h.format, ("file:" + path).c_str(), nullptr, &options);
  av_dict_free(&options);
  if (rc < 0) return cannot(ErrorCode::OpenFailed, Describe(rc));
  if ((rc = avformat_find_stream_info(h.format, nullptr)) < 0)
    return cannot(ErrorCode::Corrupt, Describe(rc));
  const AVCodec* decoder = nullptr;
  h.stream = av_find_best_stream(h.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (h.stream < 0 || !decoder)
    return cannot(ErrorCode::Unsupported, "no audio stream that can be decoded");
  h.codec = avcodec_alloc_context3(decoder);
  if (!h.codec ||
      avcodec_parameters_to_context(h.codec, h.format->streams[h.stream]->codecpar) < 0 ||
      (rc = avcodec_open2(h.codec, decoder, nullptr)) < 0)
    return cannot(ErrorCode::Unsupported, "the audio decoder refused the stream");
  h.packet = av_packet_alloc();
  h.frame = av_frame_alloc();
  if (!h.packet || !h.frame) return cannot(ErrorCode::TooLarge, "out of memory");
  if (h.format->duration != AV_NOPTS_VALUE && h.format->duration > 0) {
    self->declaredSeconds_ = static_cast<double>(h.format->duration) / AV_TIME_BASE;
  }
  return self;
}

bool FfmpegAudioStream::ConvertFrame() {
  Handles& h = *handles_;
  AVFrame* frame = h.frame;
  const int inChannels = frame->ch_layout.nb_channels;
  if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || inChannels <= 0 ||
      inChannels > kMaxInputChannels) {
    av_frame_unref(frame);
    return false;
  }
  if (!h.resampler || frame->format != h.inFormat || frame->sample_rate != h.inRate ||
      inChannels != h.inChannels) {
    swr_free(&h.resampler);
    AVChannelLayout in{}, out{};
    av_channel_layout_default(&in, inChannels);
    av_channel_layout_default(&out, channels_);
    const int rc = swr_alloc_set_opts2(&h.resampler, &out, AV_SAMPLE_FMT_S16, h.rate, &in,
                                       static_cast<AVSampleFormat>(frame->format),
                                       frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    // Mono goes to every output channel at full level, as the mixer's own decoders do; the
    // resampler's default spreads it 3 dB down.
    const std::vector<double> everywhere(static_cast<size_t>(channels_), 1.0);
    const bool mono = inChannels == 1 && channels_ > 1;
    if (rc < 0 || (mono && swr_set_matrix(h.resampler, everywhere.data(), 1) < 0) ||
        swr_init(h.resampler) < 0) {
      swr_free(&h.resampler);
      av_frame_unref(frame);
      return false;
    }
    h.inFormat = frame->format;
    h.inRate = frame->sample_rate;
    h.inChannels = inChannels;
  }
  const int room = swr_get_out_samples(h.resampler, frame->nb_samples);
  int got = 0;
  if (room > 0) {
    pending_.resize(static_cast<size_t>(room) * channels_);
    auto* out = reinterpret_cast<uint8_t*>(pending_.data());
    got = swr_convert(h.resampler, &out, room, const_cast<const uint8_t**>(frame->extended_data),
                      frame->nb_samples);
  }
  av_frame_unref(frame);
  pending_.resize(got > 0 ? static_cast<size_t>(got) * channels_ : 0);
  pendingAt_ = 0;
  return got > 0;
}

bool FfmpegAudioStream::DecodeMore() {
  Handles& h = *handles_;
  while (!decoderDrained_) {
    int rc = avcodec_receive_frame(h.codec, h.frame);
    if (rc == 0) {
      h.errorsInARow = 0;
      if (ConvertFrame()) return true;
      continue;
    }
    if (rc == AVERROR_EOF) {
      decoderDrained_ = true;
      break;
    }
    if (rc != AVERROR(EAGAIN) && ++h.errorsInARow >= kMaxErrorsInARow) {
      decoderDrained_ = true;
      break;
    }
    if (inputDone_) {
      // Drained but the decoder asks for more: nothing more will come.
      decoderDrained_ = true;
      break;
    }
    rc = av_read_frame(h.format, h.packet);
    if (rc < 0) {
      // End of file, or a file damaged past reading: let the decoder give what it holds.
      inputDone_ = true;
      avcodec_send_packet(h.codec, nullptr);
      continue;
    }
    h.errorsInARow = 0;
    if (h.packet->stream_index == h.stream) {
      // A packet the decoder refuses is passed over; the next one may decode.
      avcodec_send_packet(h.codec, h.packet);
    }
    av_packet_unref(h.packet);
  }
  // What the resampler still holds back.
  if (!h.resampler) return false;
  const int room = swr_get_out_samples(h.resampler, 0);
  if (room <= 0) return false;
  pending_.resize(static_cast<size_t>(room) * channels_);
  auto* out = reinterpret_cast<uint8_t*>(pending_.data());
  const int got = swr_convert(h.resampler, &out, room, nullptr, 0);
  pending_.resize(got > 0 ? static_cast<size_t>(got) * channels_ : 0);
  pendingAt_ = 0;
  swr_free(&h.resampler);
  return got > 0;
}

size_t FfmpegAudioStream::Read(int16_t* out, size_t frames) {
  size_t done = 0;
  while (done < frames) {
    if (pendingAt_ < pending_.size()) {
      const size_t take = std::min(frames - done, (pending_.size() - pendingAt_) / channels_);
      std::memcpy(out + done * channels_, pending_.data() + pendingAt_,
                  take * channels_ * sizeof(int16_t));
      pendingAt_ += take * channels_;
      done += take;
      continue;
    }
    if (finished_ || !DecodeMore()) {
      finished_ = true;
      break;
    }
  }
  return done;
}

DecodedSound DecodeWholeFile(const std::string& path, int rate, int channels, int64_t maxBytes) {
  DecodedSound result;
  auto opened = FfmpegAudioStream::Open(path, rate, channels);
  if (!opened) {
    result.error = opened.error().message;
    return result;
  }
  const std::unique_ptr<FfmpegAudioStream> stream = opened.release_value();
  const int64_t frameBytes = int64_t{2} * channels;
  if (const double seconds = stream->DeclaredSeconds(); seconds > 0) {
    const double bytes = std::ceil(seconds * rate) * static_cast<double>(frameBytes);
    if (bytes > static_cast<double>(maxBytes)) {
      result.tooLargeBytes = bytes >= 9.0e18 ? INT64_MAX : static_cast<int64_t>(bytes);
      return result;
    }
    result.samples.reserve(static_cast<size_t>(bytes / 2));
  }
  constexpr size_t kBlock = 4096;
  std::vector<int16_t> block(kBlock * static_cast<size_t>(channels));
  while (!stream->Finished()) {
    const size_t got = stream->Read(block.data(), kBlock);
    // Checked before growing, so a file that lies about its length costs no more than the bound.
    const int64_t bytes =
        static_cast<int64_t>(result.samples.size() * 2) + static_cast<int64_t>(got) * frameBytes;
    if (bytes > maxBytes) {
      result.samples = {};
      result.tooLargeBytes = bytes;
      return result;
    }
    result.samples.insert(result.samples.end(), block.begin(),
                          block.begin() + static_cast<std::ptrdiff_t>(got * channels));
  }
  if (result.samples.empty()) result.error = "no sound could be decoded";
  return result;
}

}  // namespace vec

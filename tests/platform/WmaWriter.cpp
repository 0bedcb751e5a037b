#include "tests/platform/WmaWriter.h"

#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <memory>

namespace vec {
namespace {

struct Encoder {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  AVStream* stream = nullptr;

  ~Encoder() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (format) {
      avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }

  // Hands the encoder one frame (or its end, for null) and writes every packet it gives back.
  bool Send(AVFrame* input) {
    if (avcodec_send_frame(codec, input) < 0) return false;
    while (true) {
      const int rc = avcodec_receive_packet(codec, packet);
      if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
      if (rc < 0) return false;
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (av_interleaved_write_frame(format, packet) < 0) return false;
    }
  }
};

}  // namespace

Status WriteWma(const std::string& path, const std::vector<int16_t>& samples, int rate) {
  const auto failed = [](std::string why) {
    return Error::Make(ErrorCode::WriteFailed, std::move(why));
  };
  Encoder e;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
  if (!codec) {
    return failed("no WMA encoder");
  }
  if (avformat_alloc_output_context2(&e.format, nullptr, "asf", path.c_str()) < 0) {
    return failed("no ASF muxer");
  }
  e.stream = avformat_new_stream(e.format, nullptr);
  e.codec = avcodec_alloc_context3(codec);
  e.packet = av_packet_alloc();
  e.frame = av_frame_alloc();
  if (!e.stream || !e.codec || !e.packet || !e.frame) {
    return failed("out of memory");
  }
  e.codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
  e.codec->sample_rate = rate;
  e.codec->bit_rate = 128000;
  e.codec->time_base = {1, rate};
  av_channel_layout_default(&e.codec->ch_layout, 1);
  if (e.format->oformat->flags & AVFMT_GLOBALHEADER) e.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(e.codec, codec, nullptr) < 0 ||
      avcodec_parameters_from_context(e.stream->codecpar, e.codec) < 0) {
    return failed("the WMA encoder did not open");
  }
  e.stream->time_base = {1, rate};
  if (avio_open(&e.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 ||
      avformat_write_header(e.format, nullptr) < 0) {
    return failed("cannot write " + path);
  }
  const int size = e.codec->frame_size;
  e.frame->nb_samples = size;
  e.frame->format = e.codec->sample_fmt;
  e.frame->sample_rate = rate;
  av_channel_layout_default(&e.frame->ch_layout, 1);
  if (av_frame_get_buffer(e.frame, 0) < 0) {
    return failed("out of memory");
  }
  for (size_t at = 0; at < samples.size(); at += static_cast<size_t>(size)) {
    if (av_frame_make_writable(e.frame) < 0) return failed("encoding failed");
    auto* out = reinterpret_cast<float*>(e.frame->data[0]);
    for (int i = 0; i < size; ++i) {
      const size_t from = at + static_cast<size_t>(i);
      out[i] = from < samples.size() ? samples[from] / 32768.0f : 0.0f;
    }
    e.frame->pts = static_cast<int64_t>(at);
    if (!e.Send(e.frame)) {
      return failed("encoding failed");
    }
  }
  if (!e.Send(nullptr) || av_write_trailer(e.format) < 0) {
    return failed("encoding failed");
  }
  return {};
}

}  // namespace vec

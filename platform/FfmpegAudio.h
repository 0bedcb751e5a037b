#pragma once
// Sound files SDL2_mixer cannot read (WMA and other ASF audio, M4A/AAC), decoded with FFmpeg
// into interleaved signed 16-bit samples at the mixer's rate and channel count.
//
// Only local files of a few container formats are opened: FFmpeg's network protocols and its
// many other demuxers stay out of reach of a saver's files. A damaged file ends the stream
// early (or never opens); decoding never runs past the end of the file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Result.h"

namespace vec {

class FfmpegAudioStream {
 public:
  // Opens the first audio stream of `path` for output at `rate` frames per second and
  // `channels` channels; an error says why there is nothing to decode.
  static ErrorOr<std::unique_ptr<FfmpegAudioStream>> Open(const std::string& path, int rate,
                                                          int channels);
  ~FfmpegAudioStream();
  FfmpegAudioStream(const FfmpegAudioStream&) = delete;
  FfmpegAudioStream& operator=(const FfmpegAudioStream&) = delete;

  // Writes up to `frames` frames to `out`; fewer only at the end of the stream.
  size_t Read(int16_t* out, size_t frames);
  // True once Read has delivered everything.
  bool Finished() const { return finished_; }
  // The length the file declares, in seconds; negative when it declares none.
  double DeclaredSeconds() const { return declaredSeconds_; }
  int Channels() const { return channels_; }

 private:
  struct Handles;
  // Lets Open build the stream through std::make_unique while no one else can.
  struct OpenKey {};

 public:
  explicit FfmpegAudioStream(OpenKey);

 private:
  // Decodes the next piece of the file into pending_; false at the end.
  bool DecodeMore();
  bool ConvertFrame();

  std::unique_ptr<Handles> handles_;
  int channels_ = 0;
  double declaredSeconds_ = -1.0;
  std::vector<int16_t> pending_;  // converted samples not yet read
  size_t pendingAt_ = 0;
  bool inputDone_ = false;
  bool decoderDrained_ = false;
  bool finished_ = false;
};

struct DecodedSound {
  std::vector<int16_t> samples;  // interleaved, empty when refused or undecodable
  std::string error;             // why nothing was decoded
  int64_t tooLargeBytes = 0;     // when refused for its size: the bytes it would take (at least)
};

// Decodes a whole file, refusing it as soon as it would take more than `maxBytes` bytes.
DecodedSound DecodeWholeFile(const std::string& path, int rate, int channels, int64_t maxBytes);

}  // namespace vec

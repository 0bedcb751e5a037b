#pragma once
// The audio output on SDL2_mixer: one mixer channel per sound slot, one more for the simple
// file-playing path, and SDL_mixer's music stream for the background music.
//
// SDL_mixer keeps global state, so only one SdlAudio can own the output at a time; a second
// one, like a machine without an audio device, is silent. Silence is never an error: every
// operation then reports false or does nothing, and the reason is told once on stderr.
//
// The music-finished hook runs on SDL's audio thread. It only queues the notification;
// the owner drains it with TakeMusicNotify() from the main loop, so everything else about
// the music happens on the main thread.
//
// Files SDL_mixer refuses (WMA, M4A/AAC) are decoded with FFmpeg instead: music is streamed
// through SDL_mixer's music hook, sound effects are decoded whole into a chunk.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioDevice.h"
#include "platform/FfmpegAudio.h"

struct Mix_Chunk;
struct _Mix_Music;

namespace vec {

struct SdlAudioOptions {
  int frequency = 44100;
  int outputChannels = 2;  // stereo
  int chunkSamples = 1024;
  // Slots that get their own mixer channel; OpenSlot fails for the others. Fewer than
  // eight puts the sound-effect player into its fallback mode.
  int slotChannels = 8;
  // Sound effects are decoded whole into memory, in the output's format. A sound that
  // would take more than this is refused (and said so on stderr): ten minutes of 44.1 kHz
  // 16-bit stereo, about 106 MB, so the long loops of running water still play.
  int64_t maxDecodedBytes = int64_t{600} * 44100 * 2 * 2;
};

class SdlAudio final : public ISoundDevice, public IMusicDevice {
 public:
  static constexpr int kMaxSlots = 8;

  explicit SdlAudio(const SdlAudioOptions& options = {});
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // True when the output device is open and sound can be heard.
  bool IsOpen() const { return open_; }
  // The mixer's output format (signed 16-bit samples); 0 when closed.
  int OutputFrequency() const { return frequency_; }
  int OutputChannels() const { return channels_; }

  // Mixer channel volume (0..128) for a volume in hundredths of a decibel: the linear factor
  // 10^(cB / 2000) times 128, rounded to nearest and clamped; -800 gives 51 (-7.99 dB).
  static int MixVolume(int32_t centibels);
  // Whether this process has already said that it has no audio output.
  static bool NoOutputReported();

  bool OpenSlot(int slot) override;
  void CloseSlot(int slot) override;
  bool LoadSlot(int slot, const std::string& path) override;
  bool PlaySlot(int slot, bool loop, int32_t volumeCentibels) override;
  void StopSlot(int slot) override;
  bool SlotPlaying(int slot) const override;
  bool PlayFile(const std::string& path, bool loop) override;
  void StopFile() override;

  void SetMusicFileName(const std::string& path) override { musicName_ = path; }
  bool OpenMusic() override;
  bool PlayMusic() override;
  void CloseMusic() override;
  int64_t MusicPosition() const override;
  int64_t MusicLength() const override;
  void ArmMusicNotify() override { notifyArmed_.store(true); }
  bool TakeMusicNotify() override;

 private:
  struct ChunkFree {
    void operator()(Mix_Chunk* chunk) const;
  };
  struct MusicFree {
    void operator()(_Mix_Music* music) const;
  };
  using ChunkPtr = std::unique_ptr<Mix_Chunk, ChunkFree>;
  using MusicPtr = std::unique_ptr<_Mix_Music, MusicFree>;

  static void MusicFinishedHook();
  // Fills the mixer's music buffer from the FFmpeg stream; on SDL's audio thread.
  static void StreamMusicHook(void* self, unsigned char* buffer, int bytes);
  void OnMusicFinished();
  ChunkPtr LoadChunk(const std::string& path) const;
  // The same through FFmpeg, for files SDL_mixer refuses.
  ChunkPtr DecodeChunk(const std::string& path) const;
  // Stops the music hook; the stream is not touched by the audio thread afterwards.
  void UnhookStream();
  // Bytes `seconds` of sound take once decoded in the output's format.
  int64_t DecodedBytes(double seconds) const;
  bool SlotUsable(int slot) const;
  int FileChannel() const { return slotChannels_; }

  SdlAudioOptions options_;
  bool open_ = false;
  int frequency_ = 0;
  int channels_ = 0;
  int slotChannels_ = 0;
  std::array<bool, kMaxSlots> slotOpen_{};
  std::array<ChunkPtr, kMaxSlots> chunks_;
  ChunkPtr fileChunk_;

  std::string musicName_;
  MusicPtr music_;
  // Music SDL_mixer refused, decoded by FFmpeg; streamFrames_ counts the frames played.
  std::unique_ptr<FfmpegAudioStream> stream_;
  double streamSeconds_ = -1.0;
  bool streamHooked_ = false;
  std::atomic<int64_t> streamFrames_{0};
  std::atomic<bool> streamEnded_{false};
  std::atomic<bool> notifyArmed_{false};
  std::atomic<int> notifyPending_{0};
  std::atomic<bool> musicEnded_{false};
  std::atomic<bool> halting_{false};
};

}  // namespace vec

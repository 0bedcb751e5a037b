#include "platform/SdlAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vec {
namespace {

// The instance whose music hook is installed; SDL_mixer's hook carries no user data.
std::atomic<SdlAudio*> g_owner{nullptr};

std::atomic<bool> g_said{false};

// "No audio device" is said once per process however many times the output is tried.
void SayOnce(const std::string& why) {
  if (g_said.exchange(true)) return;
  std::fprintf(stderr, "vecsaver: no audio output (%s); sound and music are off\n", why.c_str());
}

// A MIDI file needs a sound font; point the synthesiser at the system's default one when
// the user has not chosen any.
void ChooseSoundFont() {
  if (std::getenv("SDL_SOUNDFONTS")) return;
  static constexpr const char* kFonts[] = {"/usr/share/sounds/sf2/default-GM.sf2",
                                           "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                           "/usr/share/sounds/sf2/TimGM6mb.sf2"};
  for (const char* font : kFonts) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(font, ec)) {
      Mix_SetSoundFonts(font);
      return;
    }
  }
}

uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint32_t Be32(const unsigned char* p) {
  return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// SDL_mixer 2.6's music decoder for WAV and AIFF files divides by the channel count without
// checking it, so a file that declares no channels crashes the process. Such files are
// refused here; everything else is left to the decoders.
bool DeclaresNoChannels(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char head[12];
  if (!in.read(reinterpret_cast<char*>(head), sizeof head)) return false;
  const bool wave = std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
  const bool aiff = std::memcmp(head, "FORM", 4) == 0 && (std::memcmp(head + 8, "AIFF", 4) == 0 ||
                                                          std::memcmp(head + 8, "AIFC", 4) == 0);
  if (!wave && !aiff) return false;
  const char* wanted = wave ? "fmt " : "COMM";
  // The chunk with the format; the first few dozen chunks are plenty for any real file.
  std::streamoff at = 12;
  for (int chunk = 0; chunk < 64; ++chunk) {
    unsigned char hdr[10];
    in.seekg(at);
    if (!in.read(reinterpret_cast<char*>(hdr), sizeof hdr)) return false;
    const uint32_t size = wave ? Le32(hdr + 4) : Be32(hdr + 4);
    if (std::memcmp(hdr, wanted, 4) == 0) {
      // WAVE: format tag, then channels (little-endian); AIFF: channels first (big-endian).
      unsigned char ch[2];
      if (wave) {
        if (!in.read(reinterpret_cast<char*>(ch), 2)) return false;
      } else {
        ch[0] = hdr[8];
        ch[1] = hdr[9];
      }
      return ch[0] == 0 && ch[1] == 0;
    }
    at += 8 + static_cast<std::streamoff>(size) + (size & 1);
  }
  return false;
}

std::string SizeText(int64_t bytes) {
  if (bytes < (int64_t{1} << 20)) return std::to_string(bytes) + " bytes";
  return std::to_string((bytes + (int64_t{1} << 19)) >> 20) + " MB";
}

void SayRefused(const std::string& path, int64_t bytes, int64_t limit) {
  std::fprintf(stderr, "vecsaver: sound %s refused: it decodes to %s, more than %s\n", path.c_str(),
               SizeText(bytes).c_str(), SizeText(limit).c_str());
}

}  // namespace

void SdlAudio::ChunkFree::operator()(Mix_Chunk* chunk) const {
  Mix_FreeChunk(chunk);
}
void SdlAudio::MusicFree::operator()(_Mix_Music* music) const {
  Mix_FreeMusic(music);
}

bool SdlAudio::NoOutputReported() {
  return g_said.load();
}

int SdlAudio::MixVolume(int32_t centibels) {
  const double factor = std::pow(10.0, static_cast<double>(centibels) / 2000.0);
  const long volume = std::lround(factor * MIX_MAX_VOLUME);
  return static_cast<int>(std::clamp<long>(volume, 0, MIX_MAX_VOLUME));
}

SdlAudio::SdlAudio(const SdlAudioOptions& options) : options_(options) {
  slotChannels_ = std::clamp(options_.slotChannels, 0, kMaxSlots);
  SdlAudio* expected = nullptr;
  if (!g_owner.compare_exchange_strong(expected, this)) {
    SayOnce("the audio output is already in use");
    return;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    SayOnce(SDL_GetError());
    g_owner.store(nullptr);
    return;
  }
  Mix_Init(MIX_INIT_FLAC | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_MID);
  if (Mix_OpenAudioDevice(options_.frequency, AUDIO_S16SYS, options_.outputChannels,
                          options_.chunkSamples, nullptr, 0) != 0) {
    SayOnce(Mix_GetError());
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_owner.store(nullptr);
    return;
  }
  open_ = true;
  Uint16 format = 0;
  Mix_QuerySpec(&frequency_, &format, &channels_);
  // The slots' channels, then one for the file-playing path.
  Mix_AllocateChannels(slotChannels_ + 1);
  ChooseSoundFont();
  Mix_HookMusicFinished(&SdlAudio::MusicFinishedHook);
}

SdlAudio::~SdlAudio() {
  if (!open_) return;
  Mix_HookMusicFinished(nullptr);
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  music_.reset();
  UnhookStream();
  stream_.reset();
  for (auto& chunk : chunks_) chunk.reset();
  fileChunk_.reset();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_owner.store(nullptr);
}

int64_t SdlAudio::DecodedBytes(double seconds) const {
  const double bytes = std::ceil(seconds * frequency_) * channels_ * 2;  // 16-bit samples
  return bytes >= 9.0e18 ? INT64_MAX : static_cast<int64_t>(bytes);
}

SdlAudio::ChunkPtr SdlAudio::LoadChunk(const std::string& path) const {
  if (!open_) return nullptr;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size == 0) return nullptr;
  if (DeclaresNoChannels(path)) return nullptr;
  auto refuse = [&](int64_t bytes) {
    SayRefused(path, bytes, options_.maxDecodedBytes);
    return nullptr;
  };
  // The memory a sound costs is its decoded size, not its file size: a small compressed
  // file can decode to gigabytes. The streaming decoder tells the length without decoding
  // it all, so such a file is refused before it is decoded.
  if (MusicPtr probe(Mix_LoadMUS(path.c_str())); probe) {
    const double seconds = Mix_MusicDuration(probe.get());
    if (seconds > 0 && DecodedBytes(seconds) > options_.maxDecodedBytes)
      return refuse(DecodedBytes(seconds));
  }
  ChunkPtr chunk(Mix_LoadWAV(path.c_str()));
  if (!chunk) return DecodeChunk(path);
  // A format whose length the streaming decoder could not tell is measured once decoded.
  if (static_cast<int64_t>(chunk->alen) > options_.maxDecodedBytes)
    return refuse(static_cast<int64_t>(chunk->alen));
  return chunk;
}

SdlAudio::ChunkPtr SdlAudio::DecodeChunk(const std::string& path) const {
  const int64_t limit = std::min<int64_t>(options_.maxDecodedBytes, UINT32_MAX);
  DecodedSound sound = DecodeWholeFile(path, frequency_, channels_, limit);
  if (sound.tooLargeBytes > 0) {
    SayRefused(path, sound.tooLargeBytes, options_.maxDecodedBytes);
    return nullptr;
  }
  if (sound.samples.empty()) {
    std::fprintf(stderr, "vecsaver: sound %s cannot be played: %s\n", path.c_str(),
                 sound.error.c_str());
    return nullptr;
  }
  // The chunk owns a buffer from SDL's allocator, so Mix_FreeChunk releases both.
  const size_t bytes = sound.samples.size() * sizeof(int16_t);
  auto* buffer = static_cast<Uint8*>(SDL_malloc(bytes));
  if (!buffer) return nullptr;
  std::memcpy(buffer, sound.samples.data(), bytes);
  ChunkPtr chunk(Mix_QuickLoad_RAW(buffer, static_cast<Uint32>(bytes)));
  if (!chunk) {
    SDL_free(buffer);
    return nullptr;
  }
  chunk->allocated = 1;
  return chunk;
}

bool SdlAudio::SlotUsable(int slot) const {
  return open_ && slot >= 0 && slot < slotChannels_ && slotOpen_[slot];
}

bool SdlAudio::OpenSlot(int slot) {
  if (!open_ || slot < 0 || slot >= slotChannels_) return false;
  slotOpen_[slot] = true;
  return true;
}

void SdlAudio::CloseSlot(int slot) {
  if (!SlotUsable(slot)) return;
  Mix_HaltChannel(slot);
  chunks_[slot].reset();
  slotOpen_[slot] = false;
}

bool SdlAudio::LoadSlot(int slot, const std::string& path) {
  if (!SlotUsable(slot)) return false;
  // The channel must let go of the old buffer before it is freed.
  Mix_HaltChannel(slot);
  chunks_[slot] = LoadChunk(path);
  return chunks_[slot] != nullptr;
}

bool SdlAudio::PlaySlot(int slot, bool loop, int32_t volumeCentibels) {
  if (!SlotUsable(slot) || !chunks_[slot]) return false;
  if (Mix_Playing(slot)) return true;
  Mix_Volume(slot, MixVolume(volumeCentibels));
  return Mix_PlayChannel(slot, chunks_[slot].get(), loop ? -1 : 0) == slot;
}

void SdlAudio::StopSlot(int slot) {
  if (SlotUsable(slot)) Mix_HaltChannel(slot);
}

bool SdlAudio::SlotPlaying(int slot) const {
  return SlotUsable(slot) && Mix_Playing(slot) != 0;
}

bool SdlAudio::PlayFile(const std::string& path, bool loop) {
  if (!open_) return false;
  Mix_HaltChannel(FileChannel());
  fileChunk_ = LoadChunk(path);
  if (!fileChunk_) return false;
  Mix_Volume(FileChannel(), MIX_MAX_VOLUME);
  return Mix_PlayChannel(FileChannel(), fileChunk_.get(), loop ? -1 : 0) == FileChannel();
}

void SdlAudio::StopFile() {
  if (open_) Mix_HaltChannel(FileChannel());
}

bool SdlAudio::OpenMusic() {
  if (!open_) return false;
  CloseMusic();
  musicEnded_.store(false);
  if (DeclaresNoChannels(musicName_)) return false;
  music_ = MusicPtr(Mix_LoadMUS(musicName_.c_str()));
  if (music_) return true;
  auto opened = FfmpegAudioStream::Open(musicName_, frequency_, channels_);
  if (!opened) return false;
  stream_ = opened.release_value();
  streamSeconds_ = stream_->DeclaredSeconds();
  streamFrames_.store(0);
  streamEnded_.store(false);
  return true;
}

bool SdlAudio::PlayMusic() {
  if (!open_) return false;
  if (stream_) {
    // Playing again starts the file from its beginning.
    if (streamHooked_ || streamFrames_.load() > 0 || stream_->Finished()) {
      UnhookStream();
      auto reopened = FfmpegAudioStream::Open(musicName_, frequency_, channels_);
      if (!reopened) return false;
      stream_ = reopened.release_value();
    }
    musicEnded_.store(false);
    streamEnded_.store(false);
    streamFrames_.store(0);
    streamHooked_ = true;
    Mix_HookMusic(&SdlAudio::StreamMusicHook, this);
    return true;
  }
  if (!music_) return false;
  musicEnded_.store(false);
  return Mix_PlayMusic(music_.get(), 1) == 0;
}

void SdlAudio::UnhookStream() {
  if (!streamHooked_) return;
  // Mix_HookMusic takes the audio lock, so the hook has returned when this does.
  Mix_HookMusic(nullptr, nullptr);
  streamHooked_ = false;
}

void SdlAudio::StreamMusicHook(void* data, unsigned char* buffer, int bytes) {
  auto* self = static_cast<SdlAudio*>(data);
  std::memset(buffer, 0, static_cast<size_t>(bytes));  // signed samples: zero is silence
  if (self->streamEnded_.load() || !self->stream_) return;
  const size_t frames = static_cast<size_t>(bytes) / (static_cast<size_t>(self->channels_) * 2);
  const size_t got = self->stream_->Read(reinterpret_cast<int16_t*>(buffer), frames);
  self->streamFrames_.fetch_add(static_cast<int64_t>(got));
  if (got < frames) {
    self->streamEnded_.store(true);
    self->OnMusicFinished();
  }
}

void SdlAudio::CloseMusic() {
  if (!open_) return;
  if (stream_) {
    const bool wasPlaying = streamHooked_ && !streamEnded_.load();
    UnhookStream();
    stream_.reset();
    // Stopping a file that is still playing notifies as SDL_mixer's halt does.
    if (wasPlaying) {
      halting_.store(true);
      OnMusicFinished();
      halting_.store(false);
    }
    streamEnded_.store(false);
    streamFrames_.store(0);
    musicEnded_.store(false);
    return;
  }
  if (!music_) return;
  // The hook runs inside Mix_HaltMusic on this thread; it must not count as an end.
  halting_.store(true);
  Mix_HaltMusic();
  halting_.store(false);
  music_.reset();
  musicEnded_.store(false);
}

int64_t SdlAudio::MusicLength() const {
  if (!music_ && !stream_) return kUnknownLength;
  const double seconds = music_ ? Mix_MusicDuration(music_.get()) : streamSeconds_;
  if (!(seconds >= 0.0) || seconds > 1e12) return kUnknownLength;
  return static_cast<int64_t>(std::llround(seconds * 1000.0));
}

int64_t SdlAudio::MusicPosition() const {
  if (!music_ && !stream_) return 0;
  if (musicEnded_.load()) return MusicLength();
  const double seconds = music_ ? Mix_GetMusicPosition(music_.get())
                                : static_cast<double>(streamFrames_.load()) / frequency_;
  if (!(seconds >= 0.0)) return 0;
  // A file still playing never reports its full length, so only a real end counts.
  const int64_t ms = static_cast<int64_t>(seconds * 1000.0);
  const int64_t length = MusicLength();
  return length == kUnknownLength ? ms : std::min(ms, length - 1);
}

bool SdlAudio::TakeMusicNotify() {
  int pending = notifyPending_.load();
  while (pending > 0) {
    if (notifyPending_.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

void SdlAudio::MusicFinishedHook() {
  if (SdlAudio* self = g_owner.load()) self->OnMusicFinished();
}

void SdlAudio::OnMusicFinished() {
  if (!halting_.load()) musicEnded_.store(true);
  if (notifyArmed_.exchange(false)) notifyPending_.fetch_add(1);
}

}  // namespace vec

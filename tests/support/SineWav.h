#pragma once
// Sound files for the audio tests: a mono 16-bit PCM WAV file of one sine tone, and the
// tone's amplitude in a stretch of samples (Goertzel), to tell which of several tones is
// heard in what the mixer wrote.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace vec::testing {

inline void PutSampleBytes(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline void WriteSineWav(const std::string& path, double hz, double seconds, double amplitude,
                         int rate = 44100) {
  const auto frames = static_cast<uint32_t>(std::lround(seconds * rate));
  std::string data;
  for (uint32_t i = 0; i < frames; ++i) {
    const double v = amplitude * std::sin(2 * std::numbers::pi * hz * i / rate);
    PutSampleBytes(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v))), 2);
  }
  std::string wav = "RIFF";
  PutSampleBytes(wav, 36 + static_cast<uint32_t>(data.size()), 4);
  wav += "WAVEfmt ";
  PutSampleBytes(wav, 16, 4);
  PutSampleBytes(wav, 1, 2);  // PCM
  PutSampleBytes(wav, 1, 2);  // mono
  PutSampleBytes(wav, static_cast<uint32_t>(rate), 4);
  PutSampleBytes(wav, static_cast<uint32_t>(rate) * 2, 4);
  PutSampleBytes(wav, 2, 2);
  PutSampleBytes(wav, 16, 2);
  wav += "data";
  PutSampleBytes(wav, static_cast<uint32_t>(data.size()), 4);
  wav += data;
  std::ofstream(path, std::ios::binary) << wav;
}

// Amplitude of one frequency in s[from, from + n) (Goertzel).
inline double ToneAmplitude(const std::vector<int16_t>& s, size_t from, size_t n, double hz,
                            int rate = 44100) {
  const double w = 2 * std::numbers::pi * hz / rate;
  double re = 0, im = 0;
  for (size_t i = 0; i < n; ++i) {
    re += s[from + i] * std::cos(w * static_cast<double>(i));
    im += s[from + i] * std::sin(w * static_cast<double>(i));
  }
  return 2 * std::hypot(re, im) / static_cast<double>(n);
}

}  // namespace vec::testing

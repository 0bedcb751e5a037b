#pragma once
// Test files in the formats SDL_mixer cannot read, made with FFmpeg's own encoders.

#include <cstdint>
#include <string>
#include <vector>

namespace vec {

// Writes mono 16-bit `samples` at `rate` as WMA (version 2) in an ASF file; false with the
// reason in `error` when the encoder or the file fails.
bool WriteWma(const std::string& path, const std::vector<int16_t>& samples, int rate,
              std::string& error);

}  // namespace vec

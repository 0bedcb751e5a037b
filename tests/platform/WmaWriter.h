#pragma once
// Test files in the formats SDL_mixer cannot read, made with FFmpeg's own encoders.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Result.h"

namespace vec {

// Writes mono 16-bit `samples` at `rate` as WMA (version 2) in an ASF file; an error says
// why when the encoder or the file fails.
Status WriteWma(const std::string& path, const std::vector<int16_t>& samples, int rate);

}  // namespace vec

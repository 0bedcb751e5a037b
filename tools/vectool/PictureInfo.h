#pragma once
// `vectool info` on a picture file (.vep): implemented by the picture side.

#include <string>

namespace vectool {

// Prints the picture file's description, as JSON when `json`; returns the exit code.
int RunPictureInfo(const std::string& file, bool json);

}  // namespace vectool

#pragma once
// `vectool info` on a picture file (.vep): implemented by the picture side.

#include "tools/vectool/Command.h"

namespace vectool {

// Prints the picture file's description as JSON; returns the exit code.
int RunPictureInfo(const Args& args);

}  // namespace vectool

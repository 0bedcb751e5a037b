#pragma once
// Benchmarks of the show's frames include this header, so that the allocator keeps freed
// memory the way the program sets it up at start (see base/AllocatorTuning.h): the figures
// then show what a running show pays per frame.

#include "base/AllocatorTuning.h"

namespace vec::bench {
[[maybe_unused]] inline const bool kProgramAllocator = KeepFreedMemoryForReuse();
}  // namespace vec::bench

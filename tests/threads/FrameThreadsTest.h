#pragma once
// Sets the frame thread settings for one test and puts the previous ones back after it.

#include <cstdint>

#include "base/FrameThreads.h"

namespace vec::testing {

class ScopedFrameThreads {
 public:
  ScopedFrameThreads(int32_t cap, int64_t largePixels)
      : cap_(FrameThreadCap()), large_(LargeFramePixels()) {
    SetFrameThreadCap(cap);
    SetLargeFramePixels(largePixels);
  }
  ~ScopedFrameThreads() {
    SetFrameThreadCap(cap_);
    SetLargeFramePixels(large_);
  }
  ScopedFrameThreads(const ScopedFrameThreads&) = delete;
  ScopedFrameThreads& operator=(const ScopedFrameThreads&) = delete;

 private:
  int32_t cap_;
  int64_t large_;
};

}  // namespace vec::testing

#pragma once
// How much memory a piece of code holds at its peak. The test programs that link
// AllocationProbe.cpp count every byte taken through operator new; a probe reports the
// most that was in use at once, above what was in use when it opened, and how many blocks
// were taken meanwhile. Memory the C libraries take with malloc (libjpeg's and giflib's own
// buffers) is not counted.

#include <cstddef>

namespace vec::test {

class AllocationProbe {
 public:
  AllocationProbe();
  ~AllocationProbe();
  AllocationProbe(const AllocationProbe&) = delete;
  AllocationProbe& operator=(const AllocationProbe&) = delete;

  // Peak bytes in use since the probe opened, less the bytes in use when it opened.
  size_t PeakBytes() const;
  // Blocks taken through operator new since the probe opened (also those given back).
  size_t Allocations() const;
};

}  // namespace vec::test

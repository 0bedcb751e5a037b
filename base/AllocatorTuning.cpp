#include "base/AllocatorTuning.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vec {

bool KeepFreedMemoryForReuse() {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // Setting either limit also stops glibc from moving them on its own as blocks are freed.
  const bool mmapSet = mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHeapBlockLimit)) == 1;
  const bool trimSet = mallopt(M_TRIM_THRESHOLD, static_cast<int>(kHeapKeptTop)) == 1;
  return mmapSet && trimSet;
#else
  return false;
#endif
}

}  // namespace vec

#pragma once
// How the C library's allocator hands memory back to the kernel.
//
// By default glibc returns the free top of its heap to the kernel as soon as it passes a
// small threshold, and serves blocks from a few hundred kilobytes up with fresh mappings.
// The region effects build and drop clip regions of several hundred kilobytes on every
// frame, so every frame paid for the kernel mapping and zeroing those pages again (about
// a sixth of such a frame). With the settings below, freed blocks under 4 MiB stay in
// the heap for the next frame; the program's resident size grows by at most the largest
// such working set, not per frame. Pixel blocks of 4 MiB and more keep their own mappings
// (they live as long as a picture and are given back when it goes).

namespace vec {

// The largest block the heap serves itself and the free heap top it keeps.
inline constexpr long kHeapBlockLimit = 4L << 20;
inline constexpr long kHeapKeptTop = 16L << 20;

// Applies the two limits above to the process's allocator. Call it once, early in main,
// before other threads start. Returns false where the allocator does not take them (not
// glibc, or a sanitizer's allocator in its place); the program runs the same either way.
bool KeepFreedMemoryForReuse();

}  // namespace vec

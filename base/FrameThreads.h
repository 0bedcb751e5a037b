#pragma once
// Splitting the rows of a large frame over threads.
//
// Drawing a frame is mostly streaming memory; on a 4K picture one core cannot keep the
// memory busy, so the drawing routines hand their row loops to SplitRows, which splits them
// over up to FrameThreadCap() threads when the frame is large and runs them in one call on
// the calling thread otherwise. The parts are disjoint runs of rows: a routine that splits
// its rows must not let one part read what another part writes, and then gives the same
// pixels with any number of threads.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vec {

// The most threads the rows of a large frame are split over: the machine's cores unless
// capped.
int32_t FrameThreadCap();
// Caps the threads per large frame at n; n <= 0 returns to the machine's cores.
void SetFrameThreadCap(int32_t n);

// Frames of at least this many pixels are large; by default 3840 x 2160, so smaller frames
// stay on one thread. Tests lower it to split small pictures.
int64_t LargeFramePixels();
void SetLargeFramePixels(int64_t pixels);

// A thread count as the command line and VECSAVER_THREADS give it: decimal digits only,
// 1 to 256; nullopt for anything else.
std::optional<int32_t> ParseThreadCount(std::string_view text);

// Calls body(begin, end) on consecutive, disjoint runs of rows that together cover
// [0, rows), and returns when all are done. A frame of fewer than LargeFramePixels()
// `pixels`, or a cap of 1, is one call body(0, rows) on this thread; otherwise the rows are
// cut into up to FrameThreadCap() runs of nearly equal length, the first drawn on this
// thread and each other on a thread of its own (on this thread too, when no thread can be
// started). Nothing is called when rows <= 0.
void SplitRows(int32_t rows, int64_t pixels, const std::function<void(int32_t, int32_t)>& body);

}  // namespace vec

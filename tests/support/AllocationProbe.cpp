#include "tests/support/AllocationProbe.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int64_t> g_inUse{0};
std::atomic<int64_t> g_peak{0};
std::atomic<int> g_openProbes{0};
std::atomic<int64_t> g_taken{0};

void Taken(void* p) {
  if (p == nullptr) return;
  const int64_t now = g_inUse.fetch_add(static_cast<int64_t>(malloc_usable_size(p))) +
                      static_cast<int64_t>(malloc_usable_size(p));
  g_taken.fetch_add(1, std::memory_order_relaxed);
  if (g_openProbes.load(std::memory_order_relaxed) == 0) return;
  int64_t peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}

void Given(void* p) {
  if (p == nullptr) return;
  g_inUse.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)));
  std::free(p);
}

void* Take(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  Taken(p);
  return p;
}

void* TakeAligned(size_t n, std::align_val_t align) {
  const size_t a = static_cast<size_t>(align);
  void* p = std::aligned_alloc(a, ((n == 0 ? 1 : n) + a - 1) / a * a);
  if (p == nullptr) throw std::bad_alloc();
  Taken(p);
  return p;
}

int64_t g_base = 0;
int64_t g_takenBase = 0;

}  // namespace

namespace vec::test {

AllocationProbe::AllocationProbe() {
  g_base = g_inUse.load();
  g_peak.store(g_base);
  g_takenBase = g_taken.load();
  g_openProbes.fetch_add(1);
}

AllocationProbe::~AllocationProbe() {
  g_openProbes.fetch_sub(1);
}

size_t AllocationProbe::PeakBytes() const {
  return static_cast<size_t>(std::max<int64_t>(0, g_peak.load() - g_base));
}

size_t AllocationProbe::Allocations() const {
  return static_cast<size_t>(g_taken.load() - g_takenBase);
}

}  // namespace vec::test

void* operator new(size_t n) {
  return Take(n);
}
void* operator new[](size_t n) {
  return Take(n);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  try {
    return Take(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
  try {
    return Take(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(size_t n, std::align_val_t a) {
  return TakeAligned(n, a);
}
void* operator new[](size_t n, std::align_val_t a) {
  return TakeAligned(n, a);
}
void operator delete(void* p) noexcept {
  Given(p);
}
void operator delete[](void* p) noexcept {
  Given(p);
}
void operator delete(void* p, size_t) noexcept {
  Given(p);
}
void operator delete[](void* p, size_t) noexcept {
  Given(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  Given(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  Given(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
  Given(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
  Given(p);
}

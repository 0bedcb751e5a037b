#include "base/VectorLevel.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vec {
namespace {

// The cap VECSAVER_VECTORS sets, read once. A value that names no level is reported once
// and ignored.
VectorLevel EnvironmentCap() {
  static const VectorLevel cap = [] {
    const char* value = std::getenv("VECSAVER_VECTORS");
    if (value == nullptr || *value == '\0') return VectorLevel::Avx2;
    if (const auto level = ParseVectorLevel(value)) return *level;
    std::fprintf(stderr, "ignoring VECSAVER_VECTORS=\"%s\": expected scalar, sse2, ssse3 or avx2\n",
                 value);
    return VectorLevel::Avx2;
  }();
  return cap;
}

std::atomic<VectorLevel>& TestCap() {
  static std::atomic<VectorLevel> cap{VectorLevel::Avx2};
  return cap;
}

}  // namespace

VectorLevel BestVectorLevel() {
  static const VectorLevel best = [] {
#if defined(VEC_X86_KERNELS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return VectorLevel::Avx2;
    if (__builtin_cpu_supports("ssse3")) return VectorLevel::Ssse3;
    if (__builtin_cpu_supports("sse2")) return VectorLevel::Sse2;
#endif
    return VectorLevel::Scalar;
  }();
  return best;
}

VectorLevel CurrentVectorLevel() {
  return std::min({BestVectorLevel(), EnvironmentCap(), TestCap().load(std::memory_order_relaxed)});
}

void LimitVectorLevel(VectorLevel level) {
  TestCap().store(level, std::memory_order_relaxed);
}

std::string_view VectorLevelName(VectorLevel level) {
  switch (level) {
    case VectorLevel::Scalar:
      return "scalar";
    case VectorLevel::Sse2:
      return "sse2";
    case VectorLevel::Ssse3:
      return "ssse3";
    case VectorLevel::Avx2:
      return "avx2";
  }
  return "scalar";
}

std::optional<VectorLevel> ParseVectorLevel(std::string_view name) {
  for (const VectorLevel level : kVectorLevels)
    if (VectorLevelName(level) == name) return level;
  return std::nullopt;
}

}  // namespace vec

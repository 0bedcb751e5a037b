#pragma once
// How wide the vector instructions of the fast paths may be: the one probe of the
// processor, and the one override of it. Each family of fast paths (the pixel effects, the
// copies, the water, the BMP rows, the mask fit) keeps its plain kernels beside vector
// ones in files of their own and picks a set from a table by CurrentVectorLevel(). Every
// level draws the same pixels; a lower one is only slower.
//
// The override: VECSAVER_VECTORS=scalar, sse2, ssse3 or avx2 in the environment caps the
// level for a whole run (to rule a fast path out when hunting a fault), and tests cap it
// with LimitVectorLevel to hold every level to the reference. Neither raises the level
// above what the processor has.

#include <cstdint>
#include <optional>
#include <string_view>

// Vector kernels are compiled for their instruction set function by function, so that the
// rest of the program keeps the baseline one and runs on any processor of its kind.
#if defined(__x86_64__) || defined(__i386__)
#define VEC_X86_KERNELS 1
#define VEC_TARGET(isa) __attribute__((target(isa)))
#endif

namespace vec {

// In rising order: each level has the instructions of those below it.
enum class VectorLevel : uint8_t { Scalar, Sse2, Ssse3, Avx2 };

inline constexpr VectorLevel kVectorLevels[] = {VectorLevel::Scalar, VectorLevel::Sse2,
                                                VectorLevel::Ssse3, VectorLevel::Avx2};

// The widest level the processor has, probed once.
VectorLevel BestVectorLevel();

// The level the fast paths use now: the best, capped by VECSAVER_VECTORS and by
// LimitVectorLevel.
VectorLevel CurrentVectorLevel();

// Caps the level until the next call; LimitVectorLevel(VectorLevel::Avx2) lifts the cap.
void LimitVectorLevel(VectorLevel level);

// "scalar", "sse2", "ssse3", "avx2": the names VECSAVER_VECTORS takes.
std::string_view VectorLevelName(VectorLevel level);
std::optional<VectorLevel> ParseVectorLevel(std::string_view name);

}  // namespace vec

#include "transitions/PixelKernels.h"

#include <algorithm>

#include "base/Random.h"

namespace vec {
namespace {

void Blend(Pixel* dst, const Pixel* src, size_t count, int32_t alpha) {
  for (size_t i = 0; i < count; ++i) dst[i] = BlendPixel(dst[i], src[i], alpha);
}

void Select(Pixel* d, const Pixel* s, const uint32_t* mask, size_t count) {
  for (size_t i = 0; i < count; ++i) d[i] = (s[i] & mask[i]) | (d[i] & ~mask[i]);
}

void Dissolve(Pixel* d, const Pixel* s, size_t count, uint32_t first, uint32_t threshold) {
  // The draws for pixels i, i + 1, i + 2, i + 3 come from four interleaved copies of the
  // sequence, each stepping four draws at a time, so the multiplications do not wait on
  // each other.
  constexpr RandomGenerator::Jump step4 = RandomGenerator::StepsOf(4);
  RandomGenerator gen{first};
  uint32_t s0 = gen.Seed(), s1 = gen.Next(), s2 = gen.Next(), s3 = gen.Next();
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    d[i] = PickBelow(d[i], s[i], s0, threshold);
    d[i + 1] = PickBelow(d[i + 1], s[i + 1], s1, threshold);
    d[i + 2] = PickBelow(d[i + 2], s[i + 2], s2, threshold);
    d[i + 3] = PickBelow(d[i + 3], s[i + 3], s3, threshold);
    s0 = step4.Apply(s0);
    s1 = step4.Apply(s1);
    s2 = step4.Apply(s2);
    s3 = step4.Apply(s3);
  }
  const uint32_t tail[3] = {s0, s1, s2};
  for (size_t k = 0; i < count; ++i, ++k) d[i] = PickBelow(d[i], s[i], tail[k], threshold);
}

uint8_t AddSaturated(uint8_t byte, uint8_t up, uint8_t down) {
  const int32_t raised = std::min(static_cast<int32_t>(byte) + up, 255);
  return static_cast<uint8_t>(std::max(raised - down, 0));
}

Pixel ShadeByStep(Pixel p, Pixel raise, Pixel lower) {
  return MakePixel(AddSaturated(PixelR(p), PixelR(raise), PixelR(lower)),
                   AddSaturated(PixelG(p), PixelG(raise), PixelG(lower)),
                   AddSaturated(PixelB(p), PixelB(raise), PixelB(lower)),
                   AddSaturated(PixelA(p), PixelA(raise), PixelA(lower)));
}

void ShadeSpan(Pixel* row, const Pixel* raise, const Pixel* lower, size_t count) {
  for (size_t k = 0; k < count; ++k) row[k] = ShadeByStep(row[k], raise[k], lower[k]);
}

void ShadeRow(Pixel* row, Pixel raise, Pixel lower, size_t count) {
  for (size_t k = 0; k < count; ++k) row[k] = ShadeByStep(row[k], raise, lower);
}

void TurnRowPlain(const TurnRow& row, int32_t first, int32_t last) {
  TurnColumns(row, first, last);
}

void CopyLarge(Pixel* out, const Pixel* in, int32_t count) {
  std::copy(in, in + count, out);
}

}  // namespace

const PixelKernels& pixel_kernels::Plain() {
  static const PixelKernels set{Blend,    Select,       Dissolve, ShadeSpan,
                                ShadeRow, TurnRowPlain, CopyLarge};
  return set;
}

const PixelKernels& PixelKernelsFor(VectorLevel level) {
  switch (level) {
#if defined(VEC_X86_KERNELS)
    case VectorLevel::Avx2:
      return pixel_kernels::Avx2();
    case VectorLevel::Ssse3:
    case VectorLevel::Sse2:
      return pixel_kernels::Sse2();
#else
    case VectorLevel::Avx2:
    case VectorLevel::Ssse3:
    case VectorLevel::Sse2:
#endif
    case VectorLevel::Scalar:
      break;
  }
  return pixel_kernels::Plain();
}

}  // namespace vec

// Picture files from memory: full and preview loads through Picture.
#include <cstddef>
#include <cstdint>

#include "picture/Picture.h"
#include "picture/PictureFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vec::Picture picture;
  picture.LoadFromMemory(data, size, "fuzz.vep");
  vec::PictureFileReader preview;
  (void)preview.LoadPreviewFromMemory(data, size);
  return 0;
}

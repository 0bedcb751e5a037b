// Picture files from memory: full and preview loads through the project.
#include <cstddef>
#include <cstdint>

#include "picture/FileLoader.h"
#include "picture/Project.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vec::TProject project;
  project.LoadFromMemory(data, size, "fuzz.vep");
  vec::TFileLoader preview;
  preview.LoadPreviewFromMemory(data, size);
  return 0;
}

#include "tools/vectool/PictureInfo.h"

namespace vectool {

// Stands in until the picture file reader provides the real description.
int RunPictureInfo(const Args& /*args*/) { return Fail("picture files are not supported yet"); }

}  // namespace vectool

#include "platform/DevicePixels.h"

#include <cmath>

namespace vec {

double UsableRatio(double devicePixelRatio) {
  return devicePixelRatio > 0 && std::isfinite(devicePixelRatio) ? devicePixelRatio : 1.0;
}

PixelSize DevicePixelSize(int32_t logicalWidth, int32_t logicalHeight, double devicePixelRatio) {
  const double ratio = UsableRatio(devicePixelRatio);
  return {ToDevicePixels(logicalWidth, ratio), ToDevicePixels(logicalHeight, ratio)};
}

int32_t ToDevicePixels(double logical, double devicePixelRatio) {
  return static_cast<int32_t>(std::lround(logical * UsableRatio(devicePixelRatio)));
}

}  // namespace vec

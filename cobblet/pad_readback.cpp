#include "cobblet/pad_readback.h"

#include <algorithm>

#include "cobblet/height_plane.h"

namespace cobblet {

PadWindow padWindowFor(double padWidth, double padLength) {
  PadWindow window;
  const double width = std::clamp(padWidth + 20, 0.0, double(kPlaneStride));
  const double height = std::clamp(padLength + 20, 0.0, double(kPlaneRows));
  window.width = static_cast<int>(width);
  window.stride = (window.width + 3) / 4 * 4;
  window.height = std::min(static_cast<int>(height), kReadBackBytes / std::max(window.stride, 1));
  return window;
}

}  // namespace cobblet

#include <algorithm>
#include <cmath>

#include "cobblet/insole_fitting.h"
#include "cobblet/pad_readback.h"

namespace cobblet {
namespace {

// Nearest texel of a coordinate in 0..1 on a texture of size texels, with repeat wrapping.
int nearestTexel(double coordinate, int size) {
  int texel = static_cast<int>(std::floor(coordinate * size)) % size;
  return texel < 0 ? texel + size : texel;
}

}  // namespace

void CpuInsoleRenderer::stretch(const InsoleState& state, HeightPlane& work) {
  float offsetX = 0, offsetY = 0;
  stretchOffset(state, offsetX, offsetY);
  const double quadWidth = std::ceil(state.targetWidth) + 1;
  const double quadHeight = std::floor(state.targetHeight + 0.5);
  work.fill(0);
  if (!(quadWidth > 0) || !(quadHeight > 0)) return;
  for (int row = 0; row < kPlaneRows; ++row) {
    const double y = row + 0.5 - offsetY;
    if (y < 0 || y >= quadHeight) continue;
    const int texelRow = nearestTexel(y / quadHeight, kPlaneRows);
    for (int column = 0; column < kPlaneColumns; ++column) {
      const double x = column + 0.5 - offsetX;
      if (x < 0 || x >= quadWidth) continue;
      const int texelColumn = nearestTexel(x / quadWidth, kPlaneStride);
      pixelAt(work, row, column) = pixelAt(state.templatePlane, texelRow, texelColumn);
    }
  }
}

void CpuInsoleRenderer::renderPad(PadStamp& pad, double padWidth, double padLength,
                                  double angleDegrees) {
  const PadWindow window = padWindowFor(padWidth, padLength);
  pad.readBack.fill(0);
  pad.readBackStride = window.stride;
  const double quadRight = static_cast<int>(padWidth + 10);
  const double quadTop = static_cast<int>(padLength + 10);
  if (quadRight <= 10 || quadTop <= 10) return;
  const double pivotX = padWidth * 0.5, pivotY = padLength;
  const double radians = angleDegrees * M_PI / 180;
  const double cosine = std::cos(radians), sine = std::sin(radians);
  for (int l = 0; l < window.height; ++l) {
    for (int k = 0; k < window.width; ++k) {
      // Undo the rotation about the pivot to find the quad point drawn at this pixel centre.
      const double dx = k + 0.5 - pivotX, dy = l + 0.5 - pivotY;
      const double x = cosine * dx + sine * dy + pivotX;
      const double y = -sine * dx + cosine * dy + pivotY;
      if (x < 10 || x >= quadRight || y < 10 || y >= quadTop) continue;
      const int texelColumn = nearestTexel((x - 10) / (quadRight - 10), kStampSize);
      const int texelRow = nearestTexel((y - 10) / (quadTop - 10), kStampSize);
      pad.readBack[l * window.stride + k] = pad.stamp[texelRow * kStampStride + texelColumn];
    }
  }
}

}  // namespace cobblet

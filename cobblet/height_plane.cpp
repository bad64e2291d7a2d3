#include "cobblet/height_plane.h"

#include <algorithm>

namespace cobblet {

OutlineBox measureBox(const HeightPlane& plane) {
  OutlineBox box;
  for (int row = 0; row < kPlaneRows; ++row) {
    for (int column = 0; column < kPlaneColumns; ++column) {
      if (pixelAt(plane, row, column) < kInsideLevel) continue;
      box.minRow = std::min(box.minRow, row);
      box.maxRow = std::max(box.maxRow, row);
      box.minColumn = std::min(box.minColumn, column);
      box.maxColumn = std::max(box.maxColumn, column);
    }
  }
  return box;
}

}  // namespace cobblet

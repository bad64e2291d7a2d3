// Height planes of the insole tool: 360 rows of 152 bytes, one byte per millimetre of insole,
// grey level = height (one level is 0.2 mm), 0 outside the insole. Row 0 is the heel end.
#pragma once
#include <array>
#include <cstdint>

namespace cobblet {

constexpr int kPlaneRows = 360;
constexpr int kPlaneStride = 152;   // bytes per row; columns 150 and 151 are spare and hold 0
constexpr int kPlaneColumns = 150;  // columns that carry the insole
// The outline box, the pad outline and the landmarks count pixels of this level or more;
// fitted insoles are normalised so that their lowest inside pixel has this level.
constexpr int kInsideLevel = 10;

using HeightPlane = std::array<uint8_t, kPlaneRows * kPlaneStride>;
// Working heights of the arch step, same layout as a plane.
using HeightBuffer = std::array<float, kPlaneRows * kPlaneStride>;

inline uint8_t& pixelAt(HeightPlane& plane, int row, int column) {
  return plane[row * kPlaneStride + column];
}
inline uint8_t pixelAt(const HeightPlane& plane, int row, int column) {
  return plane[row * kPlaneStride + column];
}

// Outline box of the pixels of kInsideLevel or more. An empty plane leaves the start values
// (minimum row 360, maximum row 0, minimum column 150, maximum column 0).
struct OutlineBox {
  int minRow = kPlaneRows;
  int maxRow = 0;
  int minColumn = kPlaneColumns;
  int maxColumn = 0;

  int lengthExtent() const { return maxRow - minRow + 1; }
  int widthExtent() const { return maxColumn - minColumn + 1; }
  bool empty() const { return maxRow < minRow || maxColumn < minColumn; }
};

OutlineBox measureBox(const HeightPlane& plane);

}  // namespace cobblet

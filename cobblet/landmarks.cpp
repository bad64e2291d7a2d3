#include "cobblet/landmarks.h"

namespace cobblet {
namespace {

// Scanning index n counted from the left foot's low columns; mirrored for the right foot.
int sideColumn(int n, int side) { return side == 0 ? n : kPlaneColumns - 1 - n; }

bool inside(const HeightPlane& plane, int row, int column) {
  return pixelAt(plane, row, column) >= kInsideLevel;
}

void findInnerColumn(const HeightPlane& plane, int side, PlanePoint& point) {
  if (point.row < 0 || point.row >= kPlaneRows) return;
  for (int n = kPlaneColumns - 1; n >= 1; --n) {
    int column = sideColumn(n, side);
    if (inside(plane, point.row, column)) {
      point.column = column;
      return;
    }
  }
}

void findOuterColumn(const HeightPlane& plane, int side, PlanePoint& point) {
  if (point.row < 0 || point.row >= kPlaneRows) return;
  for (int n = 0; n < kPlaneColumns; ++n) {
    int column = sideColumn(n, side);
    if (inside(plane, point.row, column)) {
      point.column = column;
      return;
    }
  }
}

}  // namespace

InsoleLandmarks findLandmarks(const HeightPlane& plane, int side, const InsoleLandmarks& previous,
                              OutlineBox& box) {
  box = measureBox(plane);
  const double length = box.lengthExtent();
  InsoleLandmarks marks = previous;
  marks.ballInner.row = static_cast<int>(length * 0.72 + box.minRow);
  marks.ballOuter.row = static_cast<int>(length * 0.64 + box.minRow);
  const int heelRow = static_cast<int>(length * 0.15 + box.minRow);
  marks.heelInner.row = marks.heelMiddle.row = marks.heelOuter.row = heelRow;

  findInnerColumn(plane, side, marks.ballInner);
  findOuterColumn(plane, side, marks.ballOuter);
  findInnerColumn(plane, side, marks.heelInner);
  findOuterColumn(plane, side, marks.heelOuter);
  marks.heelMiddle.column = (marks.heelInner.column + marks.heelOuter.column) / 2;
  return marks;
}

}  // namespace cobblet

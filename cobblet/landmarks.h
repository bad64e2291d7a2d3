// Five points on the finished insole that the wedge buttons draw their lines through: two at
// the ball of the foot and three across the heel.
#pragma once
#include "cobblet/height_plane.h"

namespace cobblet {

struct PlanePoint {
  int row = 0;
  int column = 0;
};

struct InsoleLandmarks {
  PlanePoint ballInner;   // 72 % of the length above the heel end, on the inner edge
  PlanePoint ballOuter;   // 64 %, outer edge
  PlanePoint heelInner;   // 15 %, inner edge
  PlanePoint heelMiddle;  // 15 %, midway between the two heel edges
  PlanePoint heelOuter;   // 15 %, outer edge
};

// Finds the landmarks of plane for side (0 left, 1 right; the inner edge is at the high
// columns for the left foot and at the low columns for the right). A column not found on its
// row keeps its value from previous. Also returns the plane's outline box in box.
InsoleLandmarks findLandmarks(const HeightPlane& plane, int side, const InsoleLandmarks& previous,
                              OutlineBox& box);

}  // namespace cobblet

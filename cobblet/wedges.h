// Wedge-shaped height corrections added by hand after a fitting: the insole rises on one side
// of a line through two landmarks, from nothing at the line to the full amount at a parallel
// through a third landmark, and stays at the full amount beyond it.
#pragma once
#include "cobblet/height_plane.h"
#include "cobblet/landmarks.h"

namespace cobblet {

// Raises (or, with a negative amount, lowers) every non-zero pixel on p3's side of the line
// p1-p2 by up to amountMm / 0.2 levels, keeping inside pixels within 10..255. A p3 on the line
// itself gives no direction and changes nothing; the result is then false.
bool applyWedge(HeightPlane& plane, PlanePoint p1, PlanePoint p2, PlanePoint p3, float amountMm);

enum class WedgeButton { kInnerArch, kOuterArch, kInnerHeel, kOuterHeel, kWholeHeel };

// One press of a wedge button with its amount in mm: the wedge through the button's landmarks
// and, for the two arch buttons with a positive amount, the taper that lowers the forefoot by
// up to three times the amount from 30 rows heel-wards of the ball line to the toe-end row
// (box is the outline of the insole as last shown).
void pressWedgeButton(HeightPlane& plane, WedgeButton button, const InsoleLandmarks& marks,
                      const OutlineBox& box, float amountMm);

}  // namespace cobblet

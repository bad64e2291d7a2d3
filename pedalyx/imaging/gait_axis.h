// The foot's axis found on a contact's peak picture, as the station's hint asks the operator to
// click it on a standing foot: from the centre of the heel to the base of the second toe (the
// front of the ball in line with the second toe). Plain logic, canvas pixels.
#pragma once
#include "pedalyx/imaging/gait_contacts.h"

// A point on the canvas in pixels, continuous: pixel (x, y) covers [x, x+1) x [y, y+1).
struct CanvasPoint {
  double x = 0;
  double y = 0;
};

struct FootAxisOnPrint {
  bool found = false;
  CanvasPoint heelCentre;     // the middle of the heel's width a sixth of the print behind
  CanvasPoint secondToeBase;  // the front of the ball in line with the second toe's print
  CanvasPoint heelBack;       // the axis at the back of the heel: the zones' heel point
  CanvasPoint along;          // unit vector from heel to toe
  CanvasPoint medial;         // unit vector across the axis towards the big toe
  double lengthMm = 0;        // the print along the axis, back of the heel to the longest toe
  double widthMm = 0;         // the print across the axis
};

// The axis of `peak` (highest level of each pixel over the contact). `heelward` and `toeward`
// are where the load was early and late in the contact (its first and last frames' centres),
// which tell the heel's end; `side` tells which side is medial. Not found on an empty print or
// one too short to have two ends.
FootAxisOnPrint findFootAxis(const LevelPatch& peak, CanvasPoint heelward, CanvasPoint toeward,
                             FootSide side);

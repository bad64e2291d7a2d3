// Fitting the insole template to one foot: stretch to the wanted size, rescale the heights,
// limit the slope, trim outline corners, mirror for the other foot, shape the arch and add
// the metatarsal pad. The two drawing steps (stretch, pad) go through an InsoleRenderer so
// the graphics card does them in the tool and a plain loop does them in tests.
#pragma once
#include <cstdint>

#include "cobblet/insole_state.h"

namespace cobblet {

// Control values the fitting reads.
struct FittingInputs {
  double lengthSlider = 0;  // wanted outline length in mm
  double heightRatio = 1;
  bool heightFollowsLength = true;
  bool slopeLimit = false;
  double leftArchIndex = 0.27;
  double rightArchIndex = 0.27;
  bool padOn = true;
  double hvAngle = 15;
};

// Pad size the fitting derives from the outline and the HV angle; it is written back into the
// pad sliders before the pad is stamped with it.
struct PadSize {
  double width = 0;   // mm across
  double length = 0;  // mm along
  double height = 0;  // mm at the pad's highest point
};

class InsoleRenderer {
 public:
  virtual ~InsoleRenderer() = default;
  // Draws templatePlane scaled to about W x H pixels with its outline centre near (75, 180) and
  // reads the 152 x 360 result back into work (spare columns 0).
  virtual void stretch(const InsoleState& state, HeightPlane& work) = 0;
  // Draws the stamp into a (padW + 20) x (padL + 20) window, rotated by angleDegrees about
  // (padW / 2, padL), and reads the window back into pad.readBack (rows padded to 4 bytes,
  // pad.readBackStride set).
  virtual void renderPad(PadStamp& pad, double padWidth, double padLength, double angleDegrees) = 0;
};

// The same drawing done pixel by pixel with nearest sampling at pixel centres.
class CpuInsoleRenderer : public InsoleRenderer {
 public:
  void stretch(const InsoleState& state, HeightPlane& work) override;
  void renderPad(PadStamp& pad, double padWidth, double padLength, double angleDegrees) override;
};

// Width change for a length change: 1 mm per 5 mm of length difference, a remainder of 3 or 4
// rounding away from zero. Differences beyond kLargestLengthDifference count as that much; not
// a number gives 0.
constexpr double kLargestLengthDifference = 1000;
int widthStepForLength(double lengthDifference);

// The translation that places the stretched template's outline centre near (75, 180).
void stretchOffset(const InsoleState& state, float& x, float& y);

// Heights scaled by lengthRatio x heightRatio, then shifted so the lowest non-zero one is 10.
// Returns the lowest scaled height before the shift.
float scaleHeights(HeightPlane& plane, double lengthRatio, double heightRatio);

// Lowers, one level per pass, every pixel that stands more than 3 levels above an edge
// neighbour or 4 above a diagonal one, until a pass changes nothing.
void limitSlope(HeightPlane& plane, HeightPlane& scratch);

// Removes outline pixels that stick out as the corner of a 2 x 2 block.
void trimCorners(HeightPlane& plane);

// Arch factor: 1.15 at arch index 0.1 through 1 at 0.27 to 0.85 at 0.32 (index limited to
// 0.1..0.32; not a number counts as 0.27). A low arch index (high arch) raises the insole.
double archFactor(float archIndex);

// Mirrors the plane when the foot is not the template's side, multiplies by the arch factor
// and shifts so the lowest non-zero height is 10 (capped at 255).
void shapeArch(HeightPlane& plane, HeightBuffer& buffer, bool mirror, double factor);

PadSize padSizeFor(const OutlineBox& box, double hvAngle);

// Where the pad goes: the crossing of the line through the outline's leftmost and rightmost
// points with the line through its lowest and highest points. False when the outline is empty
// or the lines are parallel; the pad is then left out.
bool padCentre(const HeightPlane& plane, int side, float& column, float& row);

// Scales the read-back window so the stamp's top adds height x 5 levels and adds it onto the
// plane with its top edge on the centre row (capped at 255; pixels outside are skipped).
void addPadWindow(HeightPlane& plane, const PadStamp& pad, double padWidth, double padLength,
                  double padHeight);

struct FittingResult {
  PadSize pad;               // written back into the pad sliders
  float lowestScaled = 255;  // lowest height after the length scaling, before the shift
  bool heightsScaled = false;
};

// The whole fitting of the current side; leaves the insole in resultPlane and clears dirty.
FittingResult fitInsole(InsoleState& state, const FittingInputs& inputs, InsoleRenderer& renderer);

}  // namespace cobblet

// Everything the insole tool knows about the insole being fitted: the planes, the template's
// outline and target size, the sides and the hand-off. One instance lives in the insole view.
#pragma once
#include <string>

#include "cobblet/handoff_reader.h"
#include "cobblet/height_plane.h"
#include "cobblet/landmarks.h"
#include "cobblet/pad_stamp.h"

namespace cobblet {

enum Side { kLeft = 0, kRight = 1 };

struct InsoleState {
  HeightPlane workPlane{};      // fitting in progress; input of the wedges
  HeightPlane resultPlane{};    // the finished insole: shown and saved
  HeightPlane templatePlane{};  // the template as loaded; every fitting starts from it
  HeightPlane scratchPlane{};   // next-pass copy of the slope limit
  HeightBuffer heightBuffer{};  // the arch step's working heights
  bool templateLoaded = false;
  bool dirty = false;  // rebuild the insole at the next redraw

  OutlineBox templateBox;  // outline of the template when it was loaded
  int templateWidth = 0;   // W0, outline width in pixels
  int templateLength = 0;  // L0, outline length in pixels
  float targetWidth = 0;   // W: pixel size across to which the 150-pixel template is stretched
  float targetHeight = 0;  // H: pixel size along for the 360 rows

  InsoleLandmarks landmarks;
  OutlineBox currentBox;  // outline of the last plane measured
  int templateSide = kLeft;
  int landmarkSide = kLeft;
  int currentSide = kLeft;

  HandoffFields handoff;
  PadStamp pad;
};

// Takes a freshly sampled template: blanks rows 0 and 359, copies it into the work and result
// planes, measures the outline and sets W0, L0, W = 150, H = 360 and every side to side.
void adoptTemplate(InsoleState& state, const HeightPlane& sampled, int side);

}  // namespace cobblet

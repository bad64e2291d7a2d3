// The window into which the pad is rendered and from which it is read back.
#pragma once
#include "cobblet/pad_stamp.h"

namespace cobblet {

struct PadWindow {
  int width = 0;   // (int)(padWidth + 20) pixels
  int height = 0;  // (int)(padLength + 20) pixels
  int stride = 0;  // width rounded up to 4 bytes, the read-back row length
};

// Sizes the window for a pad; a window that would not fit the read-back buffer or the
// 152 x 360 drawing area is cut to fit, and a negative size becomes empty.
PadWindow padWindowFor(double padWidth, double padLength);

}  // namespace cobblet

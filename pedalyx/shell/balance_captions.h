// Captions of the low-left and high-left balance views, following the ratio slider.
#pragma once

constexpr int kBalanceCaptionSize = 16;

struct BalanceCaptions {
  double rightShare;                   // 100 - left share
  char lowLeft[kBalanceCaptionSize];   // "left/right", e.g. "35/65"
  char highLeft[kBalanceCaptionSize];  // "right/left", e.g. "65/35"
};

// Each share is truncated to a whole number in the captions.
BalanceCaptions balanceCaptionsFor(double leftShare);

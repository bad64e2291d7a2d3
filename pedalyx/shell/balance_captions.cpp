#include "pedalyx/shell/balance_captions.h"

#include <climits>
#include <cstdio>

namespace {

// Whole part of a share; values beyond the int range are held at its ends instead of
// overflowing the conversion.
int wholeShare(double share) {
  if (!(share > INT_MIN)) return INT_MIN;
  if (!(share < INT_MAX)) return INT_MAX;
  return static_cast<int>(share);
}

}  // namespace

BalanceCaptions balanceCaptionsFor(double leftShare) {
  BalanceCaptions captions;
  captions.rightShare = 100 - leftShare;
  int left = wholeShare(leftShare);
  int right = wholeShare(captions.rightShare);
  std::snprintf(captions.lowLeft, sizeof captions.lowLeft, "%d/%d", left, right);
  std::snprintf(captions.highLeft, sizeof captions.highLeft, "%d/%d", right, left);
  return captions;
}

#include "pedalyx/shell/balance_captions.h"

#include <cstdio>

BalanceCaptions balanceCaptionsFor(double leftShare) {
  BalanceCaptions captions;
  captions.rightShare = 100 - leftShare;
  int left = static_cast<int>(leftShare);
  int right = static_cast<int>(captions.rightShare);
  std::snprintf(captions.lowLeft, sizeof captions.lowLeft, "%d/%d", left, right);
  std::snprintf(captions.highLeft, sizeof captions.highLeft, "%d/%d", right, left);
  return captions;
}

#include "pedalyx/imaging/shoe_size.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The length in whole millimetres, or 0 when it is no length a foot can have.
int knownLength(double millimetres) {
  if (!std::isfinite(millimetres) || millimetres <= 0 || millimetres > kLongestFootMm) return 0;
  return static_cast<int>(std::lround(millimetres));
}

}  // namespace

std::string shoeSizeText(double leftLengthMm, double rightLengthMm) {
  const int longest = std::max(knownLength(leftLengthMm), knownLength(rightLengthMm));
  if (longest == 0) return "";
  int withRoom = longest + 13;
  int remainder = withRoom % 5;
  int rounded = remainder < 3 ? withRoom - remainder : withRoom + (5 - remainder);
  char text[32];
  std::snprintf(text, sizeof text, "%0.1f", rounded / 10.0);
  return text;
}

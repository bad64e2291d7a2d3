#include "pedalyx/imaging/shoe_size.h"

#include <algorithm>
#include <cstdio>

std::string shoeSizeText(int leftLengthMm, int rightLengthMm) {
  int withRoom = std::max(leftLengthMm, rightLengthMm) + 13;
  int remainder = withRoom % 5;
  int rounded = remainder < 3 ? withRoom - remainder : withRoom + (5 - remainder);
  char text[32];
  std::snprintf(text, sizeof text, "%0.1f", rounded / 10.0);
  return text;
}

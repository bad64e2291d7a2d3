#include "pedalyx/imaging/colour_scale.h"

#include <cmath>
#include <cstdlib>

namespace {

struct Rgb {
  double r, g, b;
};

// Corners of the scale; levels 1..255 are spread over the path evenly by colour distance,
// which keeps neighbouring levels at least a few units apart.
constexpr Rgb kCorners[] = {{0, 40, 255},  {0, 200, 255}, {0, 220, 80},
                            {255, 255, 0}, {255, 128, 0}, {200, 0, 0}};
constexpr int kCornerCount = sizeof kCorners / sizeof kCorners[0];
constexpr Rgb kNoLoad = {0, 0, 64};

double distance(const Rgb& a, const Rgb& b) {
  return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

}  // namespace

void makeColourScale(unsigned char* table) {
  double lengths[kCornerCount - 1];
  double total = 0;
  for (int i = 0; i + 1 < kCornerCount; ++i)
    total += lengths[i] = distance(kCorners[i], kCorners[i + 1]);
  table[0] = static_cast<unsigned char>(kNoLoad.r);
  table[1] = static_cast<unsigned char>(kNoLoad.g);
  table[2] = static_cast<unsigned char>(kNoLoad.b);
  for (int level = 1; level < 256; ++level) {
    double along = total * (level - 1) / 254.0;
    int segment = 0;
    while (segment < kCornerCount - 2 && along > lengths[segment]) along -= lengths[segment++];
    const double f = along / lengths[segment];
    const Rgb& a = kCorners[segment];
    const Rgb& b = kCorners[segment + 1];
    table[3 * level] = static_cast<unsigned char>(std::lround(a.r + (b.r - a.r) * f));
    table[3 * level + 1] = static_cast<unsigned char>(std::lround(a.g + (b.g - a.g) * f));
    table[3 * level + 2] = static_cast<unsigned char>(std::lround(a.b + (b.b - a.b) * f));
  }
}

std::string colourScaleText(const unsigned char* table) {
  std::string text;
  for (int i = 0; i < 256; ++i) {
    text += std::to_string(table[3 * i]) + " " + std::to_string(table[3 * i + 1]) + " " +
            std::to_string(table[3 * i + 2]) + "\n";
  }
  return text;
}

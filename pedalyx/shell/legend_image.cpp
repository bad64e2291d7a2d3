#include "pedalyx/shell/legend_image.h"

namespace {

struct Rgba {
  unsigned char r, g, b, a;
};

constexpr Rgba kCard = {236, 236, 232, 255};
constexpr Rgba kEdge = {168, 168, 164, 255};
constexpr Rgba kBand = {214, 36, 36, 255};
constexpr Rgba kBandShade = {150, 20, 20, 255};

// The two bands mark the upper and the lower pressure rows of the ratio columns.
constexpr int kBandRows[2][2] = {{34, 46}, {85, 97}};

Rgba pixelAt(int x, int y) {
  if (x == 0 || y == 0 || x == kLegendWidth - 1 || y == kLegendHeight - 1) return kEdge;
  for (const auto& band : kBandRows) {
    if (y >= band[0] && y < band[1] && x >= 4 && x < kLegendWidth - 4) {
      return (y == band[1] - 1) ? kBandShade : kBand;
    }
  }
  return kCard;
}

}  // namespace

std::vector<unsigned char> makeLegendPixels() {
  std::vector<unsigned char> pixels;
  pixels.reserve(kLegendWidth * kLegendHeight * 4);
  for (int y = 0; y < kLegendHeight; ++y) {
    for (int x = 0; x < kLegendWidth; ++x) {
      Rgba p = pixelAt(x, y);
      pixels.insert(pixels.end(), {p.r, p.g, p.b, p.a});
    }
  }
  return pixels;
}

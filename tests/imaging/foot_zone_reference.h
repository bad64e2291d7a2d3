// Straightforward reference for the foot statistics, written from the geometry alone: every
// pixel is projected on the heel-to-toe axis in double precision, the bands are the thirds of
// that projection and the side is the sign of the cross product. Used to check the analyzer's
// optimised scan in the tests and beside it in the benchmark.
#pragma once
#include <cstdint>

namespace reference {

constexpr int kWidth = 320;
constexpr int kHeight = 335;

struct Zones {
  int bandCount[3] = {};
  int64_t zoneLoad[6] = {};
  float archIndex = 0;
  float zoneShare[6] = {};
};

inline Zones footZones(const uint8_t* image, int heelX, int heelY, int toeX, int toeY) {
  Zones z;
  const int xStart = heelX >= kWidth / 2 ? kWidth / 2 : 0;  // the centre column is the right foot's
  const double ax = toeX - heelX, ay = toeY - heelY;
  const double squaredLength = ax * ax + ay * ay;
  // A pixel on a line across the foot goes to the band on the heel side when the axis leans
  // to the right, and to neither band otherwise.
  const bool onLineToHeelSide = ax * ay > 0;
  const double edges[4] = {0.0, 1.0 / 3, 2.0 / 3, 1.0};
  for (int x = xStart; x < xStart + kWidth / 2; ++x) {
    for (int y = 0; y < kHeight; ++y) {
      const int level = image[x + kWidth * y];
      if (level == 0) continue;
      const double px = x - heelX, py = y - heelY;
      const double s = (px * ax + py * ay) / squaredLength;
      int band = -1;
      for (int b = 0; b < 3; ++b) {
        if (s > edges[b] && (s < edges[b + 1] || (s == edges[b + 1] && onLineToHeelSide))) band = b;
      }
      if (band < 0) continue;
      const double cross = ax * py - ay * px;
      const bool right = ay > 0 ? cross < 0 : cross > 0;  // the side of (heelX + 1, heelY)
      ++z.bandCount[band];
      z.zoneLoad[2 * band + (right ? 1 : 0)] += level;
    }
  }
  const int contact = z.bandCount[0] + z.bandCount[1] + z.bandCount[2];
  z.archIndex = contact == 0 ? 0.0f : static_cast<float>(z.bandCount[1]) / contact;
  int64_t total = 0;
  for (int64_t load : z.zoneLoad) total += load;
  if (total == 0) total = 1;
  for (int j = 0; j < 6; ++j) z.zoneShare[j] = static_cast<float>(100.0 * z.zoneLoad[j] / total);
  return z;
}

struct HalfStatistics {
  float halfShare = 0, upperShare = 0, lowerShare = 0;
  int centroidX = 0, centroidY = 0;
  float classShare[5] = {};
};

struct Statistics {
  HalfStatistics left, right;
  int centreX = 0, centreY = 0;
  float classShareTotal[5] = {};
};

inline int levelClass(int level) {
  if (level <= 64) return 0;
  if (level <= 112) return 1;
  if (level <= 192) return 2;
  if (level <= 224) return 3;
  return 4;
}

inline Statistics levelStatistics(const uint8_t* image) {
  int64_t load[2] = {}, sumX[2] = {}, sumY[2] = {}, upper[2] = {}, lower[2] = {};
  int classes[2][5] = {}, pixels[2] = {};
  for (int x = 0; x < kWidth; ++x) {
    const int half = x < kWidth / 2 ? 0 : 1;
    for (int y = 0; y < kHeight; ++y) {
      const int level = image[x + kWidth * y];
      if (level == 0) continue;
      ++classes[half][levelClass(level)];
      ++pixels[half];
      load[half] += level;
      sumX[half] += static_cast<int64_t>(level) * x;
      sumY[half] += static_cast<int64_t>(level) * y;
      (y > 167 ? upper[half] : lower[half]) += level;
    }
  }
  Statistics s;
  const int64_t sl = load[0] ? load[0] : 1, sr = load[1] ? load[1] : 1, total = sl + sr;
  HalfStatistics* halves[2] = {&s.left, &s.right};
  const int64_t halfLoad[2] = {sl, sr};
  const int allPixels = pixels[0] + pixels[1] ? pixels[0] + pixels[1] : 1;
  for (int h = 0; h < 2; ++h) {
    HalfStatistics& out = *halves[h];
    out.centroidX = static_cast<int>(sumX[h] / halfLoad[h]);
    out.centroidY = static_cast<int>(sumY[h] / halfLoad[h]);
    out.halfShare = static_cast<float>(100.0 * halfLoad[h] / total);
    out.upperShare = static_cast<float>(100.0 * upper[h] / total);
    out.lowerShare = static_cast<float>(100.0 * lower[h] / total);
    const int n = pixels[h] ? pixels[h] : 1;
    for (int j = 0; j < 5; ++j) out.classShare[j] = static_cast<float>(100.0 * classes[h][j] / n);
  }
  for (int j = 0; j < 5; ++j) {
    s.classShareTotal[j] = static_cast<float>(100.0 * (classes[0][j] + classes[1][j]) / allPixels);
  }
  s.centreX = static_cast<int>((sumX[0] + sumX[1]) / total);
  s.centreY = static_cast<int>((sumY[0] + sumY[1]) / total);
  return s;
}

}  // namespace reference

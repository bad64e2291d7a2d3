// The band and side rules written as lines in slope form with side pairs, the way the zones
// were first described, agree with the analyzer wherever slope form exists (any axis that is
// neither vertical nor horizontal).
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "imaging/synthetic_plate.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"

namespace {

struct Line {
  float a, b, c;
};

void pairOf(const Line& l, float px, float py, int& sx, int& sy) {
  float n = l.a * l.a + l.b * l.b;
  float qx = (l.b * l.b * px - l.a * l.b * py - l.a * l.c) / n;
  float qy = (l.a * l.a * py - l.a * l.b * px - l.b * l.c) / n;
  sx = px - qx > 0 ? 1 : -1;
  sy = py - qy > 0 ? 1 : -1;
}

struct SlopeFormZones {
  int bandCount[3] = {};
  double zoneLoad[6] = {};
};

SlopeFormZones slopeFormZones(const uint8_t* image, int hxI, int hyI, int txI, int tyI) {
  float hx = hxI, hy = hyI, tx = txI, ty = tyI;
  int xStart = hxI >= 160 ? 160 : 0;
  float t = (hx - tx) / (ty - hy);
  float k = -1 / t;
  float v = ((ty + (xStart - tx) * t) - (hy + (xStart - hx) * t)) / 3;
  Line lines[4];
  int pairA[4][2], pairB[4][2];
  for (int i = 0; i < 4; ++i) {
    float f = hy + v * (3 - i);
    lines[i] = {1, k, f / t - hx};
    pairOf(lines[i], hx, f + 1, pairA[i][0], pairA[i][1]);
    pairOf(lines[i], hx, f - 1, pairB[i][0], pairB[i][1]);
  }
  Line axis{1, -1 / k, hy / k - hx};
  int rightPair[2];
  pairOf(axis, hx + 1, hy, rightPair[0], rightPair[1]);
  SlopeFormZones z;
  for (int x = xStart; x < xStart + 160; ++x) {
    for (int y = 0; y < 335; ++y) {
      int level = image[x + 320 * y];
      if (level == 0) continue;
      int p[5][2];
      for (int i = 0; i < 4; ++i) pairOf(lines[i], x, y, p[i][0], p[i][1]);
      pairOf(axis, x, y, p[4][0], p[4][1]);
      auto is = [&](int line, int(*ref)[2]) {
        return p[line][0] == ref[line][0] && p[line][1] == ref[line][1];
      };
      bool right = p[4][0] == rightPair[0] && p[4][1] == rightPair[1];
      for (int band = 0; band < 3; ++band) {
        if (is(3 - band, pairA) && is(2 - band, pairB)) {
          ++z.bandCount[band];
          z.zoneLoad[2 * band + (right ? 1 : 0)] += level;
        }
      }
    }
  }
  return z;
}

// Pixels exactly on a line are left empty here: single-precision side pairs of such pixels
// depend on rounding; their exact rule is covered in foot_zone_analyzer_test.cpp.
void clearPixelsOnLines(std::vector<uint8_t>& image, int hx, int hy, int tx, int ty) {
  int dx = tx - hx, dy = ty - hy, squared = dx * dx + dy * dy;
  for (int y = 0; y < 335; ++y) {
    for (int x = 0; x < 320; ++x) {
      int q = 3 * ((x - hx) * dx + (y - hy) * dy);
      bool onBandLine = q % squared == 0;
      bool onAxis = dx * (y - hy) - dy * (x - hx) == 0;
      if (onBandLine || onAxis) image[x + 320 * y] = 0;
    }
  }
}

TEST(FootZones, AgreeWithTheSlopeFormOffTheLines) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> column(0, 159), row(0, 334);
  int compared = 0;
  for (int round = 0; round < 200; ++round) {
    int offset = round % 2 ? 160 : 0;
    int hx = column(rng) + offset, hy = row(rng), tx = column(rng) + offset, ty = row(rng);
    if (hx == tx || hy == ty) continue;
    if (hy > ty) std::swap(hy, ty), std::swap(hx, tx);  // the arch tool keeps the heel lower
    std::vector<uint8_t> image = synthetic::randomLevels(rng, 0.5);
    clearPixelsOnLines(image, hx, hy, tx, ty);
    FootZoneAnalyzer analyzer(image.data(), 320, 335);
    analyzer.printDiagnostics = false;
    FootAxis axis;
    axis.heelX = hx;
    axis.heelY = hy;
    axis.toeX = tx;
    axis.toeY = ty;
    axis.pointCount = 2;
    ASSERT_TRUE(analyzer.computeFootZones(axis));
    SlopeFormZones expected = slopeFormZones(image.data(), hx, hy, tx, ty);
    SCOPED_TRACE(::testing::Message() << hx << "," << hy << " -> " << tx << "," << ty);
    int contact = expected.bandCount[0] + expected.bandCount[1] + expected.bandCount[2];
    EXPECT_FLOAT_EQ(axis.archIndex, contact ? float(expected.bandCount[1]) / contact : 0.0f);
    double total = 0;
    for (double load : expected.zoneLoad) total += load;
    for (int j = 0; j < 6; ++j) {
      EXPECT_NEAR(axis.zoneShare[j], total ? 100 * expected.zoneLoad[j] / total : 0, 1e-3);
    }
    ++compared;
  }
  EXPECT_GT(compared, 150);
}

}  // namespace

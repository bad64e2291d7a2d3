#include "pedalyx/imaging/foot_zone_analyzer.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

// Rows above this one belong to the upper half of the canvas.
constexpr int kMiddleRow = 167;

struct LevelClassTable {
  uint8_t classOf[256];
  LevelClassTable() {
    for (int level = 0; level < 256; ++level) {
      classOf[level] = level <= 64 ? 0 : level <= 112 ? 1 : level <= 192 ? 2 : level <= 224 ? 3 : 4;
    }
  }
};
const LevelClassTable kLevelClasses;

// Eight pixels at once: most of the plate carries no load, so whole empty words are skipped.
inline bool eightEmpty(const uint8_t* pixels) {
  uint64_t word;
  std::memcpy(&word, pixels, sizeof word);
  return word == 0;
}

int signOf(float v) { return v > 0 ? 1 : -1; }

// Side pair of point (px, py) with respect to a line: the signs of the offset from the foot of
// the perpendicular, with 0 counted as negative.
void sidePair(const BandLine& line, float px, float py, int& sx, int& sy) {
  float a = line.a, b = line.b, c = line.c;
  float norm = a * a + b * b;
  float qx = (b * b * px - a * b * py - a * c) / norm;
  float qy = (a * a * py - a * b * px - b * c) / norm;
  sx = signOf(px - qx);
  sy = signOf(py - qy);
}

void setReferencePairs(BandLine& line, float ax, float ay, float bx, float by) {
  sidePair(line, ax, ay, line.sxA, line.syA);
  sidePair(line, bx, by, line.sxB, line.syB);
}

}  // namespace

int levelClassOf(uint8_t level) { return kLevelClasses.classOf[level]; }

FootZoneAnalyzer::FootZoneAnalyzer(const uint8_t* image, int width, int height)
    : levelImage(image) {
  viewWidth = width;
  viewHeight = height;
  scaleX = static_cast<float>(canvasWidth) / width;
  scaleY = static_cast<float>(canvasHeight) / height;
}

bool FootZoneAnalyzer::placeAxisPoint(int x, int y) {
  FootAxis& axis = x < viewWidth / 2 ? left : right;
  int viewY = viewHeight - y - 1;
  int canvasX = static_cast<int>(x * scaleX);
  int canvasY = static_cast<int>(viewY * scaleY);
  if (axis.pointCount >= 2) return false;
  if (axis.pointCount == 0) {
    axis.heelX = canvasX;
    axis.heelY = canvasY;
    axis.heelViewX = x;
    axis.heelViewY = viewY;
    axis.pointCount = 1;
  } else {
    if (canvasY == axis.heelY || viewY == axis.heelViewY) {
      std::printf("axis point refused: heel and toe at the same height\n");
      return false;
    }
    if (viewY < axis.heelViewY) {
      axis.toeX = axis.heelX;
      axis.toeY = axis.heelY;
      axis.toeViewX = axis.heelViewX;
      axis.toeViewY = axis.heelViewY;
      axis.heelX = canvasX;
      axis.heelY = canvasY;
      axis.heelViewX = x;
      axis.heelViewY = viewY;
    } else {
      axis.toeX = canvasX;
      axis.toeY = canvasY;
      axis.toeViewX = x;
      axis.toeViewY = viewY;
    }
    axis.pointCount = 2;
  }
  computeFootZones(left);
  computeFootZones(right);
  return true;
}

void FootZoneAnalyzer::removeAxis(int x) { (x < viewWidth / 2 ? left : right).pointCount = 0; }

void FootZoneAnalyzer::rescale(int newWidth, int newHeight) {
  for (FootAxis* axis : {&left, &right}) {
    axis->heelViewX = axis->heelX * newWidth / canvasWidth;
    axis->heelViewY = axis->heelY * newHeight / canvasHeight;
    axis->toeViewX = axis->toeX * newWidth / canvasWidth;
    axis->toeViewY = axis->toeY * newHeight / canvasHeight;
  }
  viewWidth = newWidth;
  viewHeight = newHeight;
  scaleX = static_cast<float>(canvasWidth) / newWidth;
  scaleY = static_cast<float>(canvasHeight) / newHeight;
}

// The four lines across the foot and the axis line, with their reference side pairs. A
// vertical axis has horizontal lines across it, which the slope form cannot hold; they are
// kept as 0*x + 1*y - F = 0.
static void fillBandLines(FootAxis& axis, int xStart, bool print) {
  float hx = axis.heelX, hy = axis.heelY, tx = axis.toeX, ty = axis.toeY;
  float t = (hx - tx) / (ty - hy);  // slope of the lines across the axis
  float spacing = ((ty + (xStart - tx) * t) - (hy + (xStart - hx) * t)) / 3;
  bool vertical = axis.heelX == axis.toeX;
  float k = vertical ? 0 : -1 / t;  // slope of the axis
  for (int i = 0; i < 4; ++i) {
    float offset = spacing * (3 - i);
    if (print) std::printf("y_offset %d %f\n", i, offset);
    float height = hy + offset;
    BandLine& line = axis.bands[i];
    if (vertical) {
      line = BandLine{0, 1, -height, 0};
    } else {
      line = BandLine{1, k, height / t - hx, t};
    }
    setReferencePairs(line, hx, height + 1, hx, height - 1);
  }
  BandLine& axisLine = axis.bands[4];
  axisLine = vertical ? BandLine{1, 0, -hx, 0} : BandLine{1, -1 / k, hy / k - hx, k};
  setReferencePairs(axisLine, hx + 1, hy, hx - 1, hy);
}

bool FootZoneAnalyzer::computeFootZones(FootAxis& axis) {
  if (axis.pointCount != 2 || axis.heelY == axis.toeY) return false;
  const int xStart = axis.heelX > kCanvasHalfWidth ? kCanvasHalfWidth : 0;
  if (printDiagnostics) {
    std::printf("p0( %d, %d )  pAngle[0]( %d, %d )\n", axis.heelX, axis.heelY, axis.toeX,
                axis.toeY);
  }
  fillBandLines(axis, xStart, printDiagnostics);

  // Exact integer geometry: with the axis vector (dx, dy) from heel to toe, a pixel's
  // projection on the axis is p / |axis|^2 and its side the sign of the cross product. The
  // lines across the foot lie at projections 0, 1/3, 2/3 and 1, so comparing 3p with
  // multiples of |axis|^2 needs no division. A pixel exactly on a line across the foot counts
  // for the band on the heel side only when the axis leans to the right (dx * dy > 0), and for
  // neither band otherwise; a pixel exactly on the axis counts as left.
  const int dx = axis.toeX - axis.heelX;
  const int dy = axis.toeY - axis.heelY;
  const int squaredLength = dx * dx + dy * dy;
  const bool onLineToHeelSide = (dx > 0 && dy > 0) || (dx < 0 && dy < 0);
  const int bandEdge[4] = {0, squaredLength, 2 * squaredLength, 3 * squaredLength};
  int64_t zoneLoad[6] = {};
  int bandCount[3] = {};

  for (int y = 0; y < canvasHeight; ++y) {
    const uint8_t* row = levelImage + y * canvasWidth;
    int projection = (xStart - axis.heelX) * dx + (y - axis.heelY) * dy;
    int cross = dx * (y - axis.heelY) - dy * (xStart - axis.heelX);
    for (int x = xStart; x < xStart + kCanvasHalfWidth;) {
      if (eightEmpty(row + x)) {
        x += 8;
        projection += 8 * dx;
        cross -= 8 * dy;
        continue;
      }
      for (int end = x + 8; x < end; ++x, projection += dx, cross -= dy) {
        const int level = row[x];
        if (level == 0) continue;
        const int q = 3 * projection;
        if (q <= bandEdge[0] || q > bandEdge[3]) continue;
        int band = q <= bandEdge[1] ? 0 : q <= bandEdge[2] ? 1 : 2;
        if (q == bandEdge[band + 1] && !onLineToHeelSide) continue;
        // The heel-side pixels of an upward axis (dy > 0) lie right where the cross is < 0.
        const bool rightSide = (dy > 0) ? cross < 0 : cross > 0;
        ++bandCount[band];
        zoneLoad[2 * band + (rightSide ? 1 : 0)] += level;
      }
    }
  }

  const int contact = bandCount[0] + bandCount[1] + bandCount[2];
  axis.archIndex = contact == 0 ? 0.0f : static_cast<float>(bandCount[1]) / contact;
  int64_t total = 0;
  for (int64_t load : zoneLoad) total += load;
  if (total == 0) total = 1;
  for (int zone = 0; zone < 6; ++zone) {
    axis.zoneShare[zone] = static_cast<float>(100.0 * zoneLoad[zone] / total);
  }
  if (printDiagnostics) {
    std::printf("area1 num %d\n", bandCount[0]);
    std::printf("area2 num %d\n", bandCount[1]);
    std::printf("area3 num %d\n\n", bandCount[2]);
  }
  return true;
}

namespace {

struct HalfSums {
  int64_t load = 0, sumX = 0, sumY = 0, upper = 0, lower = 0;
  int classCount[kLevelClassCount] = {};
  int loadedPixels = 0;
};

void sumHalf(const uint8_t* image, int xStart, HalfSums& sums) {
  for (int y = 0; y < kCanvasHeight; ++y) {
    const uint8_t* row = image + y * kCanvasWidth;
    int64_t rowLoad = 0, rowSumX = 0;
    for (int x = xStart; x < xStart + kCanvasHalfWidth;) {
      if (eightEmpty(row + x)) {
        x += 8;
        continue;
      }
      for (int end = x + 8; x < end; ++x) {
        const int level = row[x];
        if (level == 0) continue;
        ++sums.classCount[kLevelClasses.classOf[level]];
        ++sums.loadedPixels;
        rowLoad += level;
        rowSumX += static_cast<int64_t>(level) * x;
      }
    }
    sums.load += rowLoad;
    sums.sumX += rowSumX;
    sums.sumY += rowLoad * y;
    (y > kMiddleRow ? sums.upper : sums.lower) += rowLoad;
  }
}

float percent(int64_t part, int64_t whole) { return static_cast<float>(100.0 * part / whole); }

}  // namespace

void FootZoneAnalyzer::computeLevelStatistics() {
  HalfSums l, r;
  sumHalf(levelImage, 0, l);
  sumHalf(levelImage, kCanvasHalfWidth, r);
  // An empty half divides by 1, so an empty plate gives 50/50 and centres at the origin.
  const int64_t loadLeft = l.load == 0 ? 1 : l.load;
  const int64_t loadRight = r.load == 0 ? 1 : r.load;
  left.centroidX = static_cast<int>(l.sumX / loadLeft);
  left.centroidY = static_cast<int>(l.sumY / loadLeft);
  right.centroidX = static_cast<int>(r.sumX / loadRight);
  right.centroidY = static_cast<int>(r.sumY / loadRight);
  const int64_t total = loadLeft + loadRight;
  centreX = static_cast<int>((l.sumX + r.sumX) / total);
  centreY = static_cast<int>((l.sumY + r.sumY) / total);
  left.halfShare = percent(loadLeft, total);
  right.halfShare = percent(loadRight, total);
  left.upperShare = percent(l.upper, total);
  left.lowerShare = percent(l.lower, total);
  right.upperShare = percent(r.upper, total);
  right.lowerShare = percent(r.lower, total);
  const int pixelsLeft = l.loadedPixels == 0 ? 1 : l.loadedPixels;
  const int pixelsRight = r.loadedPixels == 0 ? 1 : r.loadedPixels;
  const int pixelsTotal =
      (l.loadedPixels + r.loadedPixels) == 0 ? 1 : l.loadedPixels + r.loadedPixels;
  for (int j = 0; j < kLevelClassCount; ++j) {
    classShareLeft[j] = percent(l.classCount[j], pixelsLeft);
    classShareRight[j] = percent(r.classCount[j], pixelsRight);
    classShareTotal[j] = percent(l.classCount[j] + r.classCount[j], pixelsTotal);
  }
}

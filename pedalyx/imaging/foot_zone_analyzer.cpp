#include "pedalyx/imaging/foot_zone_analyzer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// Floor of n / d for d > 0, also for negative n.
int floorDiv(int n, int d) { return n >= 0 ? n / d : -((-n + d - 1) / d); }

// Columns k (0..159) of a half row, first..last inclusive (empty when first > last).
struct ColumnRun {
  int first, last;
};

// The columns k with bottom < a + b * k <= top.
ColumnRun columnsWhere(int a, int b, int bottom, int top) {
  ColumnRun run{0, kCanvasHalfWidth - 1};
  if (b == 0) {
    if (!(bottom < a && a <= top)) run.first = kCanvasHalfWidth;
    return run;
  }
  int first, last;
  if (b > 0) {
    first = floorDiv(bottom - a, b) + 1;
    last = floorDiv(top - a, b);
  } else {
    first = -floorDiv(top - a, -b);  // ceil((a - top) / -b)
    last = floorDiv(a - bottom - 1, -b);
  }
  run.first = std::max(first, 0);
  run.last = std::min(last, kCanvasHalfWidth - 1);
  return run;
}

struct RunSums {
  int64_t load = 0;
  int loaded = 0;
};

// Load and loaded pixels of columns [first, end) of a row.
RunSums sumRun(const uint8_t* row, int first, int end) {
  int64_t load = 0;
  int loaded = 0;
  int k = first;
#ifdef __SSE2__
  // Sixteen pixels at a time: byte sums by absolute difference from zero, loaded pixels as
  // the bytes that do not equal zero.
  const __m128i zero = _mm_setzero_si128();
  __m128i sums = zero;
  int zeros = 0;
  for (; k + 16 <= end; k += 16) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + k));
    sums = _mm_add_epi64(sums, _mm_sad_epu8(pixels, zero));
    zeros += __builtin_popcount(_mm_movemask_epi8(_mm_cmpeq_epi8(pixels, zero)));
  }
  load = _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
  loaded = (k - first) - zeros;
#endif
  for (; k < end; ++k) {
    load += row[k];
    loaded += row[k] != 0;
  }
  return {load, loaded};
}

// Load and load-weighted column sum of one half row (160 pixels from column xStart).
void sumHalfRow(const uint8_t* row, int xStart, int& load, int& sumX) {
  int k = 0;
  load = 0;
  sumX = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  const __m128i eight = _mm_set1_epi16(8);
  __m128i loads = zero, weighted = zero;
  __m128i columns = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  columns = _mm_add_epi16(columns, _mm_set1_epi16(static_cast<short>(xStart)));
  for (; k + 16 <= kCanvasHalfWidth; k += 16) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + xStart + k));
    loads = _mm_add_epi64(loads, _mm_sad_epu8(pixels, zero));
    // Levels widened to 16 bits, multiplied by their columns and summed in pairs to 32 bits.
    weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(pixels, zero), columns));
    columns = _mm_add_epi16(columns, eight);
    weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(pixels, zero), columns));
    columns = _mm_add_epi16(columns, eight);
  }
  load = static_cast<int>(_mm_cvtsi128_si64(loads) +
                          _mm_cvtsi128_si64(_mm_unpackhi_epi64(loads, loads)));
  alignas(16) int lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), weighted);
  sumX = lanes[0] + lanes[1] + lanes[2] + lanes[3];
  static_assert(kCanvasHalfWidth % 16 == 0, "half rows are whole 16-pixel blocks");
#else
  for (; k < kCanvasHalfWidth; ++k) {
    load += row[xStart + k];
    sumX += row[xStart + k] * (xStart + k);
  }
#endif
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
  int viewY = viewHeight - y - 1;
  int canvasX = static_cast<int>(x * scaleX);
  int canvasY = static_cast<int>(viewY * scaleY);
  FootAxis& axis = isLeftFootColumn(canvasX) ? left : right;
  if (axis.pointCount >= 2) return false;
  if (axis.pointCount == 0) {
    axis.heelX = canvasX;
    axis.heelY = canvasY;
    axis.heelViewX = x;
    axis.heelViewY = viewY;
    axis.pointCount = 1;
  } else {
    if (canvasY == axis.heelY || viewY == axis.heelViewY) {
      std::fprintf(stderr, "axis point refused: heel and toe at the same height\n");
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
    ++axis.revision;
  }
  computeFootZones(left);
  computeFootZones(right);
  return true;
}

namespace {

void clearFoot(FootAxis& axis) {
  axis.pointCount = 0;
  axis.archIndex = 0;
  for (float& share : axis.zoneShare) share = 0;
  ++axis.revision;
}

}  // namespace

void FootZoneAnalyzer::removeAxis(int x) {
  clearFoot(isLeftFootColumn(static_cast<int>(x * scaleX)) ? left : right);
}

void FootZoneAnalyzer::removeBothAxes() {
  clearFoot(left);
  clearFoot(right);
}

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

namespace {

// The canvas half an axis covers: the half its heel lies in, by the station's one column rule.
int halfStartOf(const FootAxis& axis) {
  return isLeftFootColumn(axis.heelX) ? 0 : kCanvasHalfWidth;
}

// Calls visit(y, zone, first, end) for the columns first..end-1 of row y that lie in zone 0..5
// of the axis, row by row; every pixel of the half is in at most one run.
//
// Exact integer geometry: with the axis vector (dx, dy) from heel to toe, a pixel's
// projection on the axis is p / |axis|^2 and its side the sign of the cross product. The
// lines across the foot lie at projections 0, 1/3, 2/3 and 1, so comparing 3p with
// multiples of |axis|^2 needs no division. A pixel exactly on a line across the foot counts
// for the band on the heel side only when the axis leans to the right (dx * dy > 0), and for
// neither band otherwise; a pixel exactly on the axis counts as left. Along a row both 3p
// and the cross product are linear in x, so each band and side is one run of columns.
template <class Visit>
void forEachZoneRun(const FootAxis& axis, int canvasHeight, Visit&& visit) {
  const int xStart = halfStartOf(axis);
  const int dx = axis.toeX - axis.heelX;
  const int dy = axis.toeY - axis.heelY;
  const int squaredLength = dx * dx + dy * dy;
  const bool onLineToHeelSide = (dx > 0 && dy > 0) || (dx < 0 && dy < 0);
  for (int y = 0; y < canvasHeight; ++y) {
    // 3p = a + b * k and the cross product = c - dy * k for column xStart + k.
    const int a = 3 * ((xStart - axis.heelX) * dx + (y - axis.heelY) * dy);
    const int b = 3 * dx;
    const int c = dx * (y - axis.heelY) - dy * (xStart - axis.heelX);
    const int firstRight = dy > 0 ? floorDiv(c, dy) + 1 : floorDiv(-c, -dy) + 1;
    for (int band = 0; band < 3; ++band) {
      // Inside the band: band * |axis|^2 < 3p <= top.
      const int bottom = band * squaredLength;
      const int top = (band + 1) * squaredLength - (onLineToHeelSide ? 0 : 1);
      ColumnRun run = columnsWhere(a, b, bottom, top);
      if (run.first > run.last) continue;
      const int split = std::clamp(firstRight, run.first, run.last + 1);
      visit(y, 2 * band, xStart + run.first, xStart + split);
      visit(y, 2 * band + 1, xStart + split, xStart + run.last + 1);
    }
  }
}

}  // namespace

bool FootZoneAnalyzer::computeFootZones(FootAxis& axis) {
  if (axis.pointCount != 2 || axis.heelY == axis.toeY) return false;
  if (printDiagnostics) {
    std::printf("p0( %d, %d )  pAngle[0]( %d, %d )\n", axis.heelX, axis.heelY, axis.toeX,
                axis.toeY);
  }
  fillBandLines(axis, halfStartOf(axis), printDiagnostics);

  int64_t zoneLoad[6] = {};
  int bandCount[3] = {};
  forEachZoneRun(axis, canvasHeight, [&](int y, int zone, int first, int end) {
    const RunSums sums = sumRun(levelImage + y * canvasWidth, first, end);
    bandCount[zone / 2] += sums.loaded;
    zoneLoad[zone] += sums.load;
  });

  const int contact = bandCount[0] + bandCount[1] + bandCount[2];
  const float archIndex = contact == 0 ? 0.0f : static_cast<float>(bandCount[1]) / contact;
  bool changed = archIndex != axis.archIndex;
  axis.archIndex = archIndex;
  int64_t total = 0;
  for (int64_t load : zoneLoad) total += load;
  if (total == 0) total = 1;
  for (int zone = 0; zone < 6; ++zone) {
    const float share = static_cast<float>(100.0 * zoneLoad[zone] / total);
    changed = changed || share != axis.zoneShare[zone];
    axis.zoneShare[zone] = share;
  }
  if (changed) ++axis.revision;
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
  int histogram[256] = {};
  for (int y = 0; y < kCanvasHeight; ++y) {
    const uint8_t* row = image + y * kCanvasWidth;
    // Row sums stay below 2^31 (255 * 319 * 160).
    int rowLoad, rowSumX;
    sumHalfRow(row, xStart, rowLoad, rowSumX);
    if (rowLoad == 0) continue;
    for (int x = xStart; x < xStart + kCanvasHalfWidth; x += 8) {
      if (eightEmpty(row + x)) continue;
      for (int i = x; i < x + 8; ++i) ++histogram[row[i]];
    }
    sums.load += rowLoad;
    sums.sumX += rowSumX;
    sums.sumY += static_cast<int64_t>(rowLoad) * y;
    (y > kMiddleRow ? sums.upper : sums.lower) += rowLoad;
  }
  for (int level = 1; level < 256; ++level) {
    sums.classCount[kLevelClasses.classOf[level]] += histogram[level];
    sums.loadedPixels += histogram[level];
  }
}

float percent(int64_t part, int64_t whole) { return static_cast<float>(100.0 * part / whole); }

}  // namespace

namespace {

// Copies `value` into `target` and tells whether it differed.
bool update(float& target, float value) {
  const bool changed = target != value;
  target = value;
  return changed;
}

}  // namespace

void FootZoneAnalyzer::computeLevelStatistics() {
  HalfSums l, r;
  sumHalf(levelImage, 0, l);
  sumHalf(levelImage, kCanvasHalfWidth, r);
  momentsLeft = {l.load, l.sumX, l.sumY};
  momentsRight = {r.load, r.sumX, r.sumY};
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
  bool changed = update(left.halfShare, percent(loadLeft, total));
  changed |= update(right.halfShare, percent(loadRight, total));
  changed |= update(left.upperShare, percent(l.upper, total));
  changed |= update(left.lowerShare, percent(l.lower, total));
  changed |= update(right.upperShare, percent(r.upper, total));
  changed |= update(right.lowerShare, percent(r.lower, total));
  const int pixelsLeft = l.loadedPixels == 0 ? 1 : l.loadedPixels;
  const int pixelsRight = r.loadedPixels == 0 ? 1 : r.loadedPixels;
  const int pixelsTotal =
      (l.loadedPixels + r.loadedPixels) == 0 ? 1 : l.loadedPixels + r.loadedPixels;
  for (int j = 0; j < kLevelClassCount; ++j) {
    changed |= update(classShareLeft[j], percent(l.classCount[j], pixelsLeft));
    changed |= update(classShareRight[j], percent(r.classCount[j], pixelsRight));
    changed |= update(classShareTotal[j], percent(l.classCount[j] + r.classCount[j], pixelsTotal));
  }
  if (changed) ++levelRevision;
}

bool markFootZones(const FootAxis& axis, int8_t* zoneOfPixel) {
  if (axis.pointCount != 2 || axis.heelY == axis.toeY) return false;
  std::fill(zoneOfPixel, zoneOfPixel + kCanvasPixels, int8_t{-1});
  forEachZoneRun(axis, kCanvasHeight, [&](int y, int zone, int first, int end) {
    std::fill(zoneOfPixel + y * kCanvasWidth + first, zoneOfPixel + y * kCanvasWidth + end,
              static_cast<int8_t>(zone));
  });
  return true;
}

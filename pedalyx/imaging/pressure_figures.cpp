#include "pedalyx/imaging/pressure_figures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "pedalyx/imaging/measure_marks.h"

namespace {

// kPa on cm² is 0.1 N.
constexpr double kNewtonPerKpaCm2 = 0.1;

struct RegionSums {
  int pixels = 0;
  int64_t levelSum = 0;
  int peakLevel = 0;
  double kpaSum = 0;
  double peakKpa = 0;
  void add(int level, double kpa) {
    ++pixels;
    levelSum += level;
    peakLevel = std::max(peakLevel, level);
    kpaSum += kpa;
    peakKpa = std::max(peakKpa, kpa);
  }
  RegionFigures figures() const {
    RegionFigures f;
    f.contactPixels = pixels;
    f.contactAreaCm2 = pixels * canvasPixelAreaCm2();
    f.peakLevel = peakLevel;
    f.meanLevel = pixels == 0 ? 0 : static_cast<double>(levelSum) / pixels;
    f.forceN = kpaSum * canvasPixelAreaCm2() * kNewtonPerKpaCm2;
    f.peakKpa = peakKpa;
    f.meanKpa = pixels == 0 ? 0 : kpaSum / pixels;
    return f;
  }
};

// One foot's regions over every pixel for which touches(k, level, kpa) holds: the foot's half
// of the canvas, and the zones of its axis when placed.
template <class Touches>
FootPressureFigures footFigures(const FootAxis& axis, bool leftFoot, Touches&& touches) {
  FootPressureFigures out;
  std::vector<int8_t> zoneOf;
  if (axis.pointCount == 2) {
    zoneOf.resize(kCanvasPixels);
    out.zonesMeasured = markFootZones(axis, zoneOf.data());
  }
  RegionSums foot, zones[6];
  const int firstColumn = leftFoot ? 0 : kCanvasHalfWidth;
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      const int k = x + kCanvasWidth * y;
      int level = 0;
      double kpa = 0;
      if (!touches(k, level, kpa)) continue;
      if (x >= firstColumn && x < firstColumn + kCanvasHalfWidth) foot.add(level, kpa);
      if (out.zonesMeasured && zoneOf[k] >= 0) zones[zoneOf[k]].add(level, kpa);
    }
  }
  out.foot = foot.figures();
  for (int zone = 0; zone < 6; ++zone) out.zones[zone] = zones[zone].figures();
  return out;
}

double weightForceN(double bodyWeightKg) { return bodyWeightKg * CalibrationLimits::kGravity; }

}  // namespace

double canvasPixelAreaCm2() { return kMillimetresPerPixel * kMillimetresPerPixel / 100.0; }

const char* pressureSourceText(PressureSource source) {
  switch (source) {
    case PressureSource::Calibrated:
      return "calibrated";
    case PressureSource::ScaledToBodyWeight:
      return "scaled to body weight";
    case PressureSource::LevelsOnly:
      break;
  }
  return "";
}

bool bodyWeightUsable(double kg) { return std::isfinite(kg) && kg > 0 && kg <= kMaxBodyWeightKg; }

PressureScale calibratedScale(const PressureCalibration& calibration, double toneDensity) {
  PressureScale scale;
  scale.source = PressureSource::Calibrated;
  scale.highestCalibratedKpa = calibration.curve.highestKpa();
  const double calibrationDensity = calibration.toneDensity();
  const double toCalibration =
      std::isfinite(toneDensity) && toneDensity > 0 ? calibrationDensity / toneDensity : 1.0;
  for (int level = 1; level < 256; ++level)
    scale.kpaOfLevel[level] = calibration.curve.kpaAt(level * toCalibration);
  return scale;
}

PressureScale bodyWeightScale(const uint8_t* levels, double bodyWeightKg) {
  PressureScale scale;
  if (!bodyWeightUsable(bodyWeightKg)) return scale;
  int64_t levelSum = 0;
  for (int k = 0; k < kCanvasPixels; ++k) levelSum += levels[k];
  if (levelSum == 0) return scale;
  const double kpaPerLevel =
      weightForceN(bodyWeightKg) / (levelSum * canvasPixelAreaCm2() * kNewtonPerKpaCm2);
  scale.source = PressureSource::ScaledToBodyWeight;
  for (int level = 1; level < 256; ++level) scale.kpaOfLevel[level] = level * kpaPerLevel;
  return scale;
}

PressureScale stationPressureScale(const PressureCalibration* calibration, double toneDensity,
                                   const uint8_t* levels, double bodyWeightKg) {
  if (calibration != nullptr) return calibratedScale(*calibration, toneDensity);
  return bodyWeightScale(levels, bodyWeightKg);
}

PressureFigures pressureFigures(const uint8_t* levels, const FootAxis& left, const FootAxis& right,
                                const PressureScale& scale, double bodyWeightKg) {
  PressureFigures figures;
  figures.source = scale.source;
  const bool pressures = scale.source != PressureSource::LevelsOnly;
  if (bodyWeightUsable(bodyWeightKg)) figures.bodyWeightKg = bodyWeightKg;
  const FootAxis* axes[2] = {&left, &right};
  double totalForce = 0;
  for (int foot = 0; foot < 2; ++foot) {
    figures.feet[foot] = footFigures(*axes[foot], foot == 0, [&](int k, int& level, double& kpa) {
      level = levels[k];
      kpa = scale.kpaOfLevel[level];
      return level != 0;
    });
    totalForce += figures.feet[foot].foot.forceN;
  }
  if (pressures && figures.bodyWeightKg > 0) {
    const double weight = weightForceN(figures.bodyWeightKg);
    for (FootPressureFigures& foot : figures.feet)
      foot.percentOfBodyWeight = 100 * foot.foot.forceN / weight;
    figures.bodyWeightPercent = 100 * totalForce / weight;
  }
  return figures;
}

FootPressureFigures footFiguresOfPressures(const float* kpa, const FootAxis& axis, bool leftFoot,
                                           double thresholdKpa) {
  return footFigures(axis, leftFoot, [&](int k, int& level, double& pressure) {
    level = 0;
    pressure = kpa[k];
    return pressure > thresholdKpa && pressure > 0;
  });
}

std::array<LevelClassPressure, kLevelClassCount> levelClassPressures(const PressureScale& scale) {
  std::array<LevelClassPressure, kLevelClassCount> classes{};
  // The bounds come from the analyzer's own class table.
  for (int level = 255; level >= 1; --level) {
    LevelClassPressure& c = classes[levelClassOf(static_cast<uint8_t>(level))];
    if (c.highestLevel == 0) c.highestLevel = level;
    c.lowestLevel = level;
  }
  for (LevelClassPressure& c : classes) {
    c.lowestKpa = scale.kpaOfLevel[c.lowestLevel];
    c.highestKpa = scale.kpaOfLevel[c.highestLevel];
  }
  return classes;
}

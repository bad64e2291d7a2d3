// Pressure in physical units over the 320 × 335 level image: how a level becomes kPa (through
// the load calibration, or scaled to the customer's body weight), and per foot the contact area
// (cm²), force (N and per cent of body weight), peak and mean pressure (kPa) of the whole foot
// and of its six zones. Plain logic over plain buffers; the zones are the analyzer's.
#pragma once
#include <array>
#include <cstdint>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/pressure_calibration.h"

constexpr double kMaxBodyWeightKg = 300;

// How the pressures were obtained.
enum class PressureSource {
  LevelsOnly,          // neither calibration nor body weight: levels and shares only
  Calibrated,          // "calibrated"
  ScaledToBodyWeight,  // "scaled to body weight"
};

// "calibrated", "scaled to body weight", or "" for levels only.
const char* pressureSourceText(PressureSource source);

// The pressure each level 0..255 stands for.
struct PressureScale {
  PressureSource source = PressureSource::LevelsOnly;
  std::array<double, 256> kpaOfLevel{};  // kpaOfLevel[0] = 0; every entry 0 for LevelsOnly
  // Calibrated: the heaviest load's pressure; pressures above it follow the curve's last
  // segment beyond what was measured.
  double highestCalibratedKpa = 0;
};

// A weight the station can scale with: finite, above 0 and at most kMaxBodyWeightKg.
bool bodyWeightUsable(double kg);

// The calibration's curve for levels read at `toneDensity`. The level is proportional to the
// tone density, so a level read at another tone density than the calibration's is first
// brought back to the calibration's scale.
PressureScale calibratedScale(const PressureCalibration& calibration, double toneDensity);

// One kPa per level factor chosen so that the force under both feet (every loaded pixel of the
// image) equals the body weight × 9.81 N. LevelsOnly when the weight is not usable or nothing
// is loaded.
PressureScale bodyWeightScale(const uint8_t* levels, double bodyWeightKg);

// The station's rule: the calibration when one is stored, else the body weight when one is
// given, else levels only.
PressureScale stationPressureScale(const PressureCalibration* calibration, double toneDensity,
                                   const uint8_t* levels, double bodyWeightKg);

// One region of a foot (the whole foot or one zone). Pressures and force are 0 for LevelsOnly.
struct RegionFigures {
  int contactPixels = 0;  // loaded pixels
  double contactAreaCm2 = 0;
  int peakLevel = 0;
  double meanLevel = 0;  // over the contact area
  double forceN = 0;
  double peakKpa = 0;
  double meanKpa = 0;  // force over contact area
};

struct FootPressureFigures {
  RegionFigures foot;          // the foot's whole canvas half (left foot x < 160), toes included
  bool zonesMeasured = false;  // the foot's axis is placed
  RegionFigures zones[6];      // numbered as FootAxis::zoneShare
  double percentOfBodyWeight = 0;  // force over body weight × g; 0 without weight or pressures
};

struct PressureFigures {
  PressureSource source = PressureSource::LevelsOnly;
  double bodyWeightKg = 0;      // 0 when none was usable
  FootPressureFigures feet[2];  // 0 left, 1 right
  // Both feet's force as per cent of body weight: 100 by construction when scaled, the check of
  // the calibration (and of the customer standing fully on the plate) when calibrated.
  double bodyWeightPercent = 0;
};

// Figures of the held picture: both feet, with each foot's zones when its axis is placed.
PressureFigures pressureFigures(const uint8_t* levels, const FootAxis& left, const FootAxis& right,
                                const PressureScale& scale, double bodyWeightKg);

// The same regions for a picture of pressures (kPa per pixel, bottom row first), as the
// simulated plate's truth is: a pixel touches when its pressure exceeds thresholdKpa. Levels
// stay 0.
FootPressureFigures footFiguresOfPressures(const float* kpa, const FootAxis& axis, bool leftFoot,
                                           double thresholdKpa = 0);

// The pressure range of each level class (the colour legend).
struct LevelClassPressure {
  int lowestLevel = 0, highestLevel = 0;
  double lowestKpa = 0, highestKpa = 0;
};
std::array<LevelClassPressure, kLevelClassCount> levelClassPressures(const PressureScale& scale);

// One canvas pixel's area on the plate.
double canvasPixelAreaCm2();

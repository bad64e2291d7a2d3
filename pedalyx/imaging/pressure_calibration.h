// The technician's load calibration: known weights on a flat pad of known area, each held still
// while the station records the levels under the pad, and the monotone curve from level to kPa
// fitted through those loads. Plain logic; the file lives in pressure_calibration_file.h.
// Refusals and record messages are the technician's texts (Traditional Chinese).
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using LevelCounts = std::array<uint32_t, 256>;

struct CalibrationLimits {
  static constexpr double kGravity = 9.81;  // N per kg
  static constexpr double kMinMassKg = 0.1;
  static constexpr double kMaxMassKg = 500;
  static constexpr double kMinPadAreaCm2 = 1;
  static constexpr double kMaxPadAreaCm2 = 1000;
  static constexpr uint32_t kMinPadPixels = 50;  // inside the pad's rim
  static constexpr int kMinLoads = 3;            // different pressures for a curve
  static constexpr int kMaxRecords = 64;
  // Two loads closer than this in mean level give a segment whose slope is mostly noise.
  static constexpr double kMinLevelGap = 4;
  // Records whose pressures differ by less than this fraction are one load, pooled.
  static constexpr double kSameLoadFraction = 0.01;
  // The loaded area may differ from the typed pad area by this fraction at most.
  static constexpr double kPadAreaTolerance = 0.2;
  static constexpr double kMinToneDensity = 1, kMaxToneDensity = 10;
};

// One held load: mass (kg) on a pad (cm²), the tone density the levels were read with, and how
// many pixels inside the pad's rim showed each level.
struct CalibrationRecord {
  double massKg = 0;
  double padAreaCm2 = 0;
  double toneDensity = 6;
  LevelCounts levelCounts{};
};

double recordPressureKpa(const CalibrationRecord& record);  // mass · g / area
uint64_t recordPixels(const CalibrationRecord& record);
double recordMeanLevel(const CalibrationRecord& record);  // over its pixels, count-weighted
// Empty when the record can be used, else why not (a number out of range, too few pixels).
std::string recordProblem(const CalibrationRecord& record);

// The canvas rectangle x0 <= x < x1, y0 <= y < y1 (canvas pixels, bottom row 0) the pad lies in.
struct PadRegion {
  int x0 = 0, y0 = 0, x1 = 320, y1 = 335;
};

struct PadRecording {
  std::optional<CalibrationRecord> record;  // nothing when refused
  std::string message;                      // why it was refused, or what was recorded
  double loadedAreaCm2 = 0;                 // loaded pixels of the region
};

// Records the load on the pad from a 320 × 335 level image (bottom row first). The pad is the
// loaded part of the region; its level distribution is taken inside its rim (pixels whose
// 5 × 5 neighbourhood is loaded), where the picture is not blurred by the pad's edge. Refused
// with the reason when the mass or area are out of range, the loaded area does not match the
// pad's area within 20 %, too few pixels lie inside the rim, or the pad reads full scale.
PadRecording recordPadLoad(const uint8_t* levels, const PadRegion& region, double massKg,
                           double padAreaCm2, double toneDensity);

// One load of the curve: its pooled mean level and its pressure.
struct LoadPoint {
  double level = 0;
  double kpa = 0;
};

// Piecewise linear from (0, 0) through the points, level increasing, and on beyond the last
// point with the last segment's slope.
struct CalibrationCurve {
  std::vector<LoadPoint> points;
  double kpaAt(double level) const;
  double highestKpa() const { return points.empty() ? 0 : points.back().kpa; }
};

struct CurveFit {
  std::optional<CalibrationCurve> curve;
  std::string refusal;  // why there is no curve
};

// Records of one pressure (within 1 %) are pooled into one point at their count-weighted mean
// level. The curve runs through the points: each point is the mean of hundreds of pixels, so
// its noise is far below a level, and a straight line between neighbouring loads assumes
// nothing about the plate's response between them. Refused, with the reason, when a record is
// unusable, the records were read with different tone densities, fewer than three different
// loads are given, a heavier load does not read a higher level (not monotone), or two loads lie
// less than 4 levels apart.
CurveFit fitCalibrationCurve(const std::vector<CalibrationRecord>& records);

// A load's pressure against what the curve makes of its pad's pixels: the mean of the curve's
// pressure over the recorded level distribution (the way the figures use the curve).
struct CalibrationResidual {
  double pressureKpa = 0;
  double predictedKpa = 0;
  double residualKpa() const { return predictedKpa - pressureKpa; }
  double residualPercent() const { return 100 * residualKpa() / pressureKpa; }
};

CalibrationResidual residualOf(const CalibrationCurve& curve, const CalibrationRecord& record);

// The curve fitted without every record of record `index`'s load, applied to that record: how
// well the curve predicts a load it was not fitted on. Nothing (with the refusal in `refusal`)
// when the remaining loads give no curve.
std::optional<CalibrationResidual> predictLeftOutLoad(const std::vector<CalibrationRecord>& records,
                                                      size_t index, std::string* refusal = nullptr);

// A stored calibration: its records (so the curve can be refitted and checked) and the curve.
struct PressureCalibration {
  std::vector<CalibrationRecord> records;
  CalibrationCurve curve;
  double toneDensity() const { return records.empty() ? 6 : records.front().toneDensity; }
};

// A calibration from records, or nothing with the fit's refusal.
std::optional<PressureCalibration> makePressureCalibration(std::vector<CalibrationRecord> records,
                                                           std::string& refusal);

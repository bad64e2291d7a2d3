// Calibration records as a still pad gives them, for the pressure tests.
#pragma once
#include <cmath>

#include "pedalyx/imaging/pressure_calibration.h"

namespace pressure_records {

constexpr double kPadCm2 = 20.0;

// A load of `kpa` on a 20 cm² pad whose pixels read the two levels around `meanLevel`, as a
// still pad does through the camera's noise.
inline CalibrationRecord padRecord(double kpa, double meanLevel, double toneDensity = 6) {
  CalibrationRecord record{
      kpa * kPadCm2 / 10.0 / CalibrationLimits::kGravity, kPadCm2, toneDensity, {}};
  const int low = static_cast<int>(std::floor(meanLevel));
  const double above = meanLevel - low;  // share of pixels one level up
  record.levelCounts[low] = static_cast<uint32_t>(std::lround(1000 * (1 - above)));
  record.levelCounts[low + 1] = static_cast<uint32_t>(std::lround(1000 * above));
  return record;
}

}  // namespace pressure_records

#include "pedalyx/imaging/balance_capture.h"

#include <cmath>

namespace {

// Zone fields: 0 1 forefoot row, 2 3 middle row, 4 5 heel row of the left foot; 6 to 11 the
// same rows of the right foot. The sums are taken in float like the fields' own arithmetic.
bool footQualifies(const double* zones, int firstField) {
  const float heel =
      static_cast<float>(zones[firstField + 4]) + static_cast<float>(zones[firstField + 5]);
  const float forefoot =
      static_cast<float>(zones[firstField]) + static_cast<float>(zones[firstField + 1]);
  return heel > 50.0f && forefoot > 25.0f;
}

}  // namespace

BalanceSlot balanceCaptureSlot(const BalanceReading& reading) {
  if (!reading.autoCapture || std::isnan(reading.leftShare) || std::isnan(reading.slider)) {
    return BalanceSlot::kNone;
  }
  // Shares lie in 0..100; the clamp only keeps the truncation defined for any field value.
  const double target = std::trunc(std::fmax(-1e9, std::fmin(1e9, reading.leftShare)));
  const double low = reading.slider;
  if (low == target)
    return footQualifies(reading.zones, 0) ? BalanceSlot::kLow : BalanceSlot::kNone;
  if (100 - low == target) {
    return footQualifies(reading.zones, 6) ? BalanceSlot::kHigh : BalanceSlot::kNone;
  }
  if (target == 50.0) return BalanceSlot::kEven;
  return BalanceSlot::kNone;
}

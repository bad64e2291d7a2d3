#include "pedalyx/capture/simulated_weights.h"

#include <algorithm>
#include <cmath>

#include "pedalyx/capture/simulated_pressure.h"

namespace {

using W = CalibrationWeights;

double padRadiusPixels() { return W::kPadDiameterMm / 2 / SimulatedPlate::kMmPerCanvasPixel; }

double pressureOfMass(double massKg) {
  // kg · m/s² over cm² is 10 kPa per N/cm².
  return massKg * PlatePhysics::kGravity / weightPadAreaCm2() * 10.0;
}

// Frames since the first loaded frame within the current cycle; negative on the empty plate
// at the start.
int64_t cycleFrame(int64_t frameNumber) {
  const int64_t since = frameNumber - SimulatedPlate::kEmptyFrames;
  return since < 0 ? since : since % W::kCycleFrames;
}

}  // namespace

double weightPadAreaCm2() {
  const double radiusCm = W::kPadDiameterMm / 20.0;
  return M_PI * radiusCm * radiusCm;
}

double weightPadShape(double cx, double cy) {
  const double dx = cx - W::kPadCentreX, dy = cy - W::kPadCentreY;
  const double r = padRadiusPixels();
  return dx * dx + dy * dy < r * r ? 1.0 : 0.0;
}

std::optional<double> massOnPad(int64_t frameNumber) {
  const int64_t at = cycleFrame(frameNumber);
  if (at < 0 || at >= W::kStepCount * W::kStepFrames) return 0.0;
  if (at % W::kStepFrames < W::kRampFrames) return std::nullopt;
  return W::kMassesKg[at / W::kStepFrames];
}

double padPressureKpa(int64_t frameNumber) {
  const int64_t at = cycleFrame(frameNumber);
  if (at < 0 || at >= W::kStepCount * W::kStepFrames) return 0.0;
  const int step = static_cast<int>(at / W::kStepFrames);
  const double mass = W::kMassesKg[step];
  const double before = step == 0 ? 0.0 : W::kMassesKg[step - 1];
  // The next weight settles over the ramp: the load grows linearly to the new mass.
  const double settled =
      std::min(1.0, static_cast<double>(at % W::kStepFrames + 1) / W::kRampFrames);
  return pressureOfMass(before + (mass - before) * settled);
}

int64_t steadyFrameOfStep(int step) {
  const int holdFrames = W::kStepFrames - W::kRampFrames;
  return SimulatedPlate::kEmptyFrames + static_cast<int64_t>(step) * W::kStepFrames +
         W::kRampFrames + holdFrames / 2;
}

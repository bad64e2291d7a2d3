// The calibration-weights scene of the simulated plate: a round, rigid pad in the left foot's
// strip on which a technician stacks known weights one after another, holding each load still
// for a while, then lifts them all off and starts again. docs/optical-model.md gives the model.
#pragma once
#include <cstdint>
#include <optional>

struct CalibrationWeights {
  static constexpr double kPadDiameterMm = 50.0;
  static constexpr double kPadCentreX = 64.0;   // canvas pixels, left foot's strip
  static constexpr double kPadCentreY = 167.5;  // canvas pixels, middle of the plate
  static constexpr int kStepCount = 5;
  // The masses on the pad, lightest first (kg).
  static constexpr double kMassesKg[kStepCount] = {2.0, 5.0, 8.0, 12.0, 16.0};
  static constexpr int kStepFrames = 120;       // 4 s per mass
  static constexpr int kRampFrames = 15;        // the first 0.5 s of a step: the weight goes on
  static constexpr int kEmptyFramesAfter = 30;  // 1 s with the pad unloaded after the last step
  static constexpr int kCycleFrames = kStepCount * kStepFrames + kEmptyFramesAfter;
};

// The pad's area in cm².
double weightPadAreaCm2();

// 1 at canvas point (cx, cy) (continuous, origin bottom left) when it lies under the pad, else 0.
double weightPadShape(double cx, double cy);

// The mass resting still on the pad in frame n (0 while the pad is unloaded), or nothing while
// a weight is being put on.
std::optional<double> massOnPad(int64_t frameNumber);

// The pad's pressure in frame n (kPa), also while a weight goes on.
double padPressureKpa(int64_t frameNumber);

// A frame in the middle of step k's still hold (k = 0 the lightest mass) in the first cycle;
// that frame and the two after it show the same load.
int64_t steadyFrameOfStep(int step);

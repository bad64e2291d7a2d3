#include "pedalyx/capture/simulated_pressure.h"

#include <algorithm>

namespace {

// Long after stepping on: every standing scene shows its whole weight.
constexpr int64_t kStandingFrame = 600;

}  // namespace

void canvasPressure(const SimulatedPlate& plate, int64_t frameNumber, cv::Mat& kpa) {
  cv::Mat load;
  plate.canvasLoad(frameNumber, load);
  load.convertTo(kpa, CV_32F, PlatePhysics::kFullScaleKpa);
}

double bodyWeightKg(const SimulatedPlate& plate) {
  if (plate.scene() == PlateScene::Weights) return 0;
  cv::Mat kpa;
  canvasPressure(plate, kStandingFrame, kpa);
  // kPa · cm² is 0.1 N.
  const double forceN = cv::sum(kpa)[0] * PlatePhysics::kCanvasPixelAreaCm2 * 0.1;
  return forceN / PlatePhysics::kGravity;
}

FootPressureTruth footPressureTruth(const cv::Mat& kpa, bool leftHalf, double thresholdKpa) {
  FootPressureTruth truth;
  constexpr int kHalf = SimulatedPlate::kCanvasWidth / 2;
  const int first = leftHalf ? 0 : kHalf;
  int touching = 0;
  double sum = 0, touchingSum = 0;
  for (int j = 0; j < kpa.rows; ++j) {
    const float* row = kpa.ptr<float>(j);
    for (int i = first; i < first + kHalf; ++i) {
      const double p = row[i];
      if (p <= 0) continue;
      sum += p;
      if (p > thresholdKpa) {
        ++touching;
        touchingSum += p;
      }
      truth.peakKpa = std::max(truth.peakKpa, p);
    }
  }
  truth.contactAreaCm2 = touching * PlatePhysics::kCanvasPixelAreaCm2;
  truth.forceN = sum * PlatePhysics::kCanvasPixelAreaCm2 * 0.1;
  truth.meanKpa = touching > 0 ? touchingSum / touching : 0;
  return truth;
}

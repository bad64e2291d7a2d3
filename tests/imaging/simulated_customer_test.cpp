// The simulated customers measured as the operator is told to: each foot axis from the middle
// of the back of the heel to the base of the second toe. Their arch indices must fall in the
// classic ranges of their arch types, and the balance customer's 20/80 and 80/20 moments must
// pass the balance capture rule, or the station's own demonstration would mislead.
#include <gtest/gtest.h>

#include <cmath>
#include <opencv2/core.hpp>

#include "pedalyx/capture/simulated_plate.h"
#include "pedalyx/imaging/balance_capture.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"

namespace {

constexpr double kMmPerCanvasPixel = 1.07;
constexpr double kHeelCanvasY = 45.0;
constexpr int64_t kStanding = 600;

// A click at foot point (across, along) in millimetres, on a view the canvas's own size.
void clickFootPoint(FootZoneAnalyzer& analyzer, bool left, double across, double along) {
  const double footX = left ? 64.0 : 256.0;
  const double x = footX + (left ? 1 : -1) * across / kMmPerCanvasPixel;
  const double y = kHeelCanvasY + along / kMmPerCanvasPixel;
  analyzer.placeAxisPoint(static_cast<int>(x), kCanvasHeight - 1 - static_cast<int>(y));
}

// Both axes as the hint says; returns the analyzer over `levels`.
void placeGuidedAxes(FootZoneAnalyzer& analyzer) {
  analyzer.printDiagnostics = false;
  for (bool left : {true, false}) {
    clickFootPoint(analyzer, left, -2, 1);    // back of the heel
    clickFootPoint(analyzer, left, 11, 200);  // base of the second toe
  }
}

struct Measured {
  float leftArch, rightArch;
  double zones[12];
};

Measured measure(PlateScene scene, int64_t frame) {
  cv::Mat levels;
  SimulatedPlate(scene).canvasLevels(frame, levels);
  FootZoneAnalyzer analyzer(levels.ptr<uint8_t>(), kCanvasWidth, kCanvasHeight);
  placeGuidedAxes(analyzer);
  Measured m{analyzer.left.archIndex, analyzer.right.archIndex, {}};
  const int fieldOfZone[6] = {4, 5, 2, 3, 0, 1};
  for (int zone = 0; zone < 6; ++zone) {
    m.zones[fieldOfZone[zone]] = std::floor(analyzer.left.zoneShare[zone] + 0.5);
    m.zones[6 + fieldOfZone[zone]] = std::floor(analyzer.right.zoneShare[zone] + 0.5);
  }
  return m;
}

TEST(SimulatedCustomer, ArchIndicesFallInTheRangesOfTheirArchTypes) {
  const Measured normal = measure(PlateScene::Normal, kStanding);
  const Measured flat = measure(PlateScene::Flat, kStanding);
  const Measured high = measure(PlateScene::High, kStanding);
  for (float arch : {normal.leftArch, normal.rightArch}) {
    EXPECT_GT(arch, 0.21f);
    EXPECT_LT(arch, 0.26f);
  }
  for (float arch : {flat.leftArch, flat.rightArch}) EXPECT_GT(arch, 0.26f);
  for (float arch : {high.leftArch, high.rightArch}) EXPECT_LT(arch, 0.21f);
}

TEST(SimulatedCustomer, BalanceMomentsPassTheCaptureRule) {
  SimulatedPlate plate(PlateScene::Balance);
  // The left share swings 50 → 80 → 50 → 20 % over ten seconds after stepping on.
  const int64_t highLeft = SimulatedPlate::kEmptyFrames + SimulatedPlate::kFramesPerSecond * 5 / 2;
  const int64_t lowLeft = SimulatedPlate::kEmptyFrames + SimulatedPlate::kFramesPerSecond * 15 / 2;
  ASSERT_NEAR(plate.leftShare(highLeft), 0.8, 1e-9);
  ASSERT_NEAR(plate.leftShare(lowLeft), 0.2, 1e-9);
  BalanceReading reading;
  reading.autoCapture = true;
  const Measured low = measure(PlateScene::Balance, lowLeft);
  std::copy(low.zones, low.zones + 12, reading.zones);
  reading.leftShare = 20;
  EXPECT_EQ(balanceCaptureSlot(reading), BalanceSlot::kLow);
  const Measured high = measure(PlateScene::Balance, highLeft);
  std::copy(high.zones, high.zones + 12, reading.zones);
  reading.leftShare = 80;
  EXPECT_EQ(balanceCaptureSlot(reading), BalanceSlot::kHigh);
}

}  // namespace

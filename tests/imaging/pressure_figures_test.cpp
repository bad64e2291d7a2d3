#include "pedalyx/imaging/pressure_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pedalyx/imaging/contact_pressure.h"
#include "pressure_records.h"
#include "synthetic_plate.h"

namespace {

constexpr double kPixelCm2 = 1.07 * 1.07 / 100;
constexpr double kNewtonPerKpaCm2 = 0.1;

void fill(std::vector<uint8_t>& levels, int x0, int y0, int width, int height, int level) {
  for (int y = y0; y < y0 + height; ++y)
    for (int x = x0; x < x0 + width; ++x)
      levels[x + kCanvasWidth * y] = static_cast<uint8_t>(level);
}

// A calibration under which every level reads half its value in kPa.
PressureCalibration halfKpaPerLevel() {
  using pressure_records::padRecord;
  std::string refusal;
  std::optional<PressureCalibration> calibration = makePressureCalibration(
      {padRecord(20, 40), padRecord(60, 120), padRecord(100, 200)}, refusal);
  EXPECT_TRUE(calibration) << refusal;
  return *calibration;
}

FootAxis verticalAxis(int x, int heelY, int toeY) {
  FootAxis axis;
  axis.heelX = axis.toeX = x;
  axis.heelY = heelY;
  axis.toeY = toeY;
  axis.pointCount = 2;
  return axis;
}

// Left foot: 200 pixels of level 100 in its heel-left zone, 100 of level 200 in its
// forefoot-right zone and 25 toe pixels of level 20 beyond the toe line; right foot, without an
// axis: 400 pixels of level 60.
struct HandMadePlate {
  std::vector<uint8_t> levels = std::vector<uint8_t>(kCanvasPixels, 0);
  FootAxis left = verticalAxis(60, 30, 240), right;
  HandMadePlate() {
    fill(levels, 40, 40, 10, 20, 100);
    fill(levels, 65, 200, 10, 10, 200);
    fill(levels, 50, 250, 5, 5, 20);
    fill(levels, 200, 100, 20, 20, 60);
  }
};

TEST(PressureFigures, CalibratedFiguresOfAHandMadePlate) {
  const HandMadePlate plate;
  const PressureScale scale = calibratedScale(halfKpaPerLevel(), 6);
  ASSERT_EQ(scale.source, PressureSource::Calibrated);
  const PressureFigures figures =
      pressureFigures(plate.levels.data(), plate.left, plate.right, scale, 70);
  EXPECT_STREQ(pressureSourceText(figures.source), "calibrated");
  const FootPressureFigures& left = figures.feet[0];
  EXPECT_EQ(left.foot.contactPixels, 325);
  EXPECT_NEAR(left.foot.contactAreaCm2, 325 * kPixelCm2, 1e-9);
  const double leftKpaPixels = 200 * 50 + 100 * 100 + 25 * 10;
  EXPECT_NEAR(left.foot.forceN, leftKpaPixels * kPixelCm2 * kNewtonPerKpaCm2, 1e-6);
  EXPECT_NEAR(left.foot.peakKpa, 100, 1e-9);
  EXPECT_NEAR(left.foot.meanKpa, leftKpaPixels / 325, 1e-9);
  ASSERT_TRUE(left.zonesMeasured);
  EXPECT_EQ(left.zones[0].contactPixels, 200);
  EXPECT_NEAR(left.zones[0].peakKpa, 50, 1e-9);
  EXPECT_NEAR(left.zones[0].meanKpa, 50, 1e-9);
  EXPECT_EQ(left.zones[5].contactPixels, 100);
  EXPECT_NEAR(left.zones[5].peakKpa, 100, 1e-9);
  EXPECT_EQ(left.zones[5].peakLevel, 200);
  for (int zone : {1, 2, 3, 4}) EXPECT_EQ(left.zones[zone].contactPixels, 0) << zone;
  const FootPressureFigures& right = figures.feet[1];
  EXPECT_FALSE(right.zonesMeasured);
  EXPECT_EQ(right.foot.contactPixels, 400);
  EXPECT_NEAR(right.foot.peakKpa, 30, 1e-9);
  // The body weight checks the calibration: measured force against 70 kg × 9.81.
  const double totalN = (leftKpaPixels + 400 * 30) * kPixelCm2 * kNewtonPerKpaCm2;
  EXPECT_NEAR(figures.bodyWeightPercent, 100 * totalN / (70 * 9.81), 1e-9);
  EXPECT_NEAR(left.percentOfBodyWeight + right.percentOfBodyWeight, figures.bodyWeightPercent,
              1e-9);
  // Levels read at twice the calibration's tone density stand for half the pressure.
  EXPECT_NEAR(calibratedScale(halfKpaPerLevel(), 12).kpaOfLevel[100], 25, 1e-9);
  // The legend: each level class's pressure range.
  const auto classes = levelClassPressures(scale);
  EXPECT_EQ(classes[0].lowestLevel, 1);
  EXPECT_EQ(classes[0].highestLevel, 64);
  EXPECT_NEAR(classes[0].highestKpa, 32, 1e-9);
  EXPECT_EQ(classes[4].lowestLevel, 225);
  EXPECT_NEAR(classes[4].highestKpa, 127.5, 1e-9);
}

TEST(PressureFigures, BodyWeightScalingPutsTheWeightUnderBothFeet) {
  const HandMadePlate plate;
  const PressureScale scale = bodyWeightScale(plate.levels.data(), 70);
  ASSERT_EQ(scale.source, PressureSource::ScaledToBodyWeight);
  const PressureFigures figures =
      pressureFigures(plate.levels.data(), plate.left, plate.right, scale, 70);
  EXPECT_STREQ(pressureSourceText(figures.source), "scaled to body weight");
  const double weightN = 70 * 9.81;
  EXPECT_NEAR(figures.feet[0].foot.forceN + figures.feet[1].foot.forceN, weightN, 1e-6);
  // The feet share the weight as they share the levels (left 40 500, right 24 000).
  EXPECT_NEAR(figures.feet[0].percentOfBodyWeight, 100.0 * 40500 / 64500, 1e-9);
  EXPECT_NEAR(figures.bodyWeightPercent, 100, 1e-9);
  const double kpaPerLevel = weightN / (64500 * kPixelCm2 * kNewtonPerKpaCm2);
  EXPECT_NEAR(figures.feet[0].zones[5].peakKpa, 200 * kpaPerLevel, 1e-9);
  // Without a usable weight (or calibration): contact areas and levels only.
  for (double weight : {0.0, -70.0, std::nan(""), 1000.0}) {
    const PressureScale none = stationPressureScale(nullptr, 6, plate.levels.data(), weight);
    const PressureFigures levelsOnly =
        pressureFigures(plate.levels.data(), plate.left, plate.right, none, weight);
    EXPECT_EQ(levelsOnly.source, PressureSource::LevelsOnly) << weight;
    EXPECT_EQ(levelsOnly.feet[0].foot.forceN, 0) << weight;
    EXPECT_EQ(levelsOnly.feet[0].foot.contactPixels, 325) << weight;
    EXPECT_EQ(levelsOnly.feet[0].zones[5].peakLevel, 200) << weight;
    EXPECT_EQ(levelsOnly.bodyWeightPercent, 0) << weight;
  }
  // A stored calibration wins over the weight.
  const PressureCalibration calibration = halfKpaPerLevel();
  EXPECT_EQ(stationPressureScale(&calibration, 6, plate.levels.data(), 70).source,
            PressureSource::Calibrated);
}

// The figures' zones are the analyzer's: under a scale proportional to the level, each zone's
// share of the zones' force is the analyzer's zone share, also on an oblique axis.
TEST(PressureFigures, ZonesAreTheAnalyzersZones) {
  const std::vector<uint8_t> levels = synthetic::twoFeet();
  FootZoneAnalyzer analyzer(levels.data(), kCanvasWidth, kCanvasHeight);
  analyzer.printDiagnostics = false;
  const int heel[2][2] = {{85, 44}, {235, 44}}, toe[2][2] = {{103, 281}, {217, 281}};
  FootAxis* axes[2] = {&analyzer.left, &analyzer.right};
  for (int foot = 0; foot < 2; ++foot) {
    *axes[foot] = FootAxis{};
    axes[foot]->heelX = heel[foot][0];
    axes[foot]->heelY = heel[foot][1];
    axes[foot]->toeX = toe[foot][0];
    axes[foot]->toeY = toe[foot][1];
    axes[foot]->pointCount = 2;
    ASSERT_TRUE(analyzer.computeFootZones(*axes[foot]));
  }
  const PressureFigures figures = pressureFigures(levels.data(), analyzer.left, analyzer.right,
                                                  bodyWeightScale(levels.data(), 60), 60);
  for (int foot = 0; foot < 2; ++foot) {
    double zonesN = 0;
    for (const RegionFigures& zone : figures.feet[foot].zones) zonesN += zone.forceN;
    for (int zone = 0; zone < 6; ++zone) {
      EXPECT_NEAR(100 * figures.feet[foot].zones[zone].forceN / zonesN, axes[foot]->zoneShare[zone],
                  1e-3)
          << "foot " << foot << " zone " << zone;
    }
  }
}

TEST(ContactPressure, PeakAndPressureTimeIntegralOverFrames) {
  const PressureScale scale = calibratedScale(halfKpaPerLevel(), 6);
  ContactPressure contact(verticalAxis(60, 30, 240), true, scale);
  std::vector<uint8_t> levels(kCanvasPixels, 0);
  fill(levels, 40, 40, 10, 20, 100);  // heel-left zone, 50 kPa
  ASSERT_TRUE(contact.addFrame(levels.data(), 1.0));
  fill(levels, 40, 40, 10, 20, 200);  // 100 kPa
  fill(levels, 52, 260, 2, 2, 60);    // toes beyond the zones, 30 kPa
  ASSERT_TRUE(contact.addFrame(levels.data(), 1.1));
  EXPECT_FALSE(contact.addFrame(levels.data(), 1.1)) << "time must advance";
  EXPECT_FALSE(contact.addFrame(levels.data(), std::nan("")));
  std::fill(levels.begin(), levels.end(), 0);
  ASSERT_TRUE(contact.addFrame(levels.data(), 1.2));
  EXPECT_EQ(contact.frames(), 3);
  EXPECT_NEAR(contact.zone(0).peakKpa, 100, 1e-9);
  EXPECT_NEAR(contact.zone(0).pressureTimeIntegralKpaS, (50 + 100) / 2.0 * 0.1 + 100 / 2.0 * 0.1,
              1e-9);
  EXPECT_EQ(contact.zone(5).peakKpa, 0);
  EXPECT_NEAR(contact.foot().peakKpa, 100, 1e-9);
  EXPECT_NEAR(contact.foot().pressureTimeIntegralKpaS, contact.zone(0).pressureTimeIntegralKpaS,
              1e-9);
}

}  // namespace

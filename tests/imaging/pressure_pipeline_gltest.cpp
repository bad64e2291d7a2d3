// Pressure in physical units through the real colour pipeline on the simulated plate: the
// technician's calibration played from the calibration-weights scene, then the standing
// customers' figures, calibrated and scaled to body weight, against the truth of each scene's
// own load model. The figures are printed; the bounds only catch a broken chain.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "pedalyx/capture/simulated_pressure.h"
#include "pedalyx/capture/simulated_weights.h"
#include "pedalyx/imaging/pressure_figures.h"
#include "pipeline_fixture.h"

namespace {

using pipeline_fixture::PipelineTest;

const FilterValues kDefaultFilters{5, 6};
// Camera units of glow below which the level pipeline reads no load, as a pressure.
const double kNoiseThresholdKpa = 5.0 / PlateOptics::kGlow[1] * PlatePhysics::kFullScaleKpa;

double percentError(double measured, double truth) { return 100 * (measured - truth) / truth; }

// A click at foot point (across, along) in millimetres, on a view the canvas's own size.
void clickFootPoint(FootZoneAnalyzer& analyzer, bool left, double across, double along) {
  const double x = (left ? 64.0 : 256.0) + (left ? 1 : -1) * across / 1.07;
  const double y = 45.0 + along / 1.07;
  analyzer.placeAxisPoint(static_cast<int>(x), kCanvasHeight - 1 - static_cast<int>(y));
}

class PressurePipelineTest : public PipelineTest {
 protected:
  // The pipeline's levels of frames first..first+2 and the mean pressure the scene drew into them.
  std::vector<unsigned char> levelsAndTruth(const SimulatedPlate& plate, int64_t first,
                                            cv::Mat& truthKpa) {
    truthKpa = cv::Mat::zeros(kCanvasHeight, kCanvasWidth, CV_32F);
    for (int64_t n = first; n < first + 3; ++n) {
      cv::Mat kpa;
      canvasPressure(plate, n, kpa);
      truthKpa += kpa / 3.0;
    }
    return runFrames(plate, static_cast<int>(first), kDefaultFilters);
  }

  // The calibration-weights scene through the pipeline, one record per mass.
  std::vector<CalibrationRecord> recordWeights() {
    SimulatedPlate plate(PlateScene::Weights, 21);
    std::vector<CalibrationRecord> records;
    for (int step = 0; step < CalibrationWeights::kStepCount; ++step) {
      const int64_t frame = steadyFrameOfStep(step);
      const std::optional<double> mass = massOnPad(frame);
      EXPECT_TRUE(mass && massOnPad(frame + 2) == mass) << "step " << step << " is not still";
      cv::Mat truth;
      const std::vector<unsigned char> levels = levelsAndTruth(plate, frame, truth);
      const PadRecording recorded =
          recordPadLoad(levels.data(), PadRegion{0, 0, 160, kCanvasHeight}, *mass,
                        weightPadAreaCm2(), kDefaultFilters.gen);
      std::printf("weights: %s; loaded %.2f cm² of the pad's %.2f cm²\n", recorded.message.c_str(),
                  recorded.loadedAreaCm2, weightPadAreaCm2());
      EXPECT_TRUE(recorded.record) << recorded.message;
      if (recorded.record) records.push_back(*recorded.record);
    }
    return records;
  }
};

TEST_F(PressurePipelineTest, CalibrationFromWeightsThenStandingFiguresAgainstTheSceneTruth) {
  const std::vector<CalibrationRecord> records = recordWeights();
  ASSERT_EQ(records.size(), static_cast<size_t>(CalibrationWeights::kStepCount));
  std::string refusal;
  const std::optional<PressureCalibration> calibration = makePressureCalibration(records, refusal);
  ASSERT_TRUE(calibration) << refusal;
  for (const CalibrationRecord& record : records) {
    const CalibrationResidual r = residualOf(calibration->curve, record);
    std::printf("residual at %.2f kPa: %+.3f kPa (%+.2f %%)\n", r.pressureKpa, r.residualKpa(),
                r.residualPercent());
    EXPECT_LT(std::abs(r.residualPercent()), 3);
  }
  for (size_t leftOut : {size_t{1}, size_t{2}, size_t{3}}) {
    const std::optional<CalibrationResidual> r = predictLeftOutLoad(records, leftOut, &refusal);
    ASSERT_TRUE(r) << refusal;
    std::printf("%.2f kPa left out of the fit: predicted %.2f kPa (%+.2f %%)\n", r->pressureKpa,
                r->predictedKpa, r->residualPercent());
    EXPECT_LT(std::abs(r->residualPercent()), 5);
  }

  const PlateScene scenes[] = {PlateScene::Normal, PlateScene::Flat, PlateScene::High,
                               PlateScene::Balance, PlateScene::Sway};
  const char* names[] = {"normal", "flat", "high", "balance", "sway"};
  for (int s = 0; s < 5; ++s) {
    SimulatedPlate plate(scenes[s], 31);
    const double weightKg = bodyWeightKg(plate);
    cv::Mat truthKpa;
    const std::vector<unsigned char> levels = levelsAndTruth(plate, 600, truthKpa);
    FootZoneAnalyzer analyzer(levels.data(), kCanvasWidth, kCanvasHeight);
    analyzer.printDiagnostics = false;
    for (bool left : {true, false}) {
      clickFootPoint(analyzer, left, -2, 1);    // back of the heel
      clickFootPoint(analyzer, left, 11, 200);  // base of the second toe
    }
    const PressureScale scales[2] = {calibratedScale(*calibration, kDefaultFilters.gen),
                                     bodyWeightScale(levels.data(), weightKg)};
    const PressureFigures figures[2] = {
        pressureFigures(levels.data(), analyzer.left, analyzer.right, scales[0], weightKg),
        pressureFigures(levels.data(), analyzer.left, analyzer.right, scales[1], weightKg)};
    std::printf("%s (%.1f kg): body-weight check %.1f %%\n", names[s], weightKg,
                figures[0].bodyWeightPercent);
    for (int foot = 0; foot < 2; ++foot) {
      const FootAxis& axis = foot == 0 ? analyzer.left : analyzer.right;
      const FootPressureTruth truth = footPressureTruth(truthKpa, foot == 0);
      const FootPressureTruth seen = footPressureTruth(truthKpa, foot == 0, kNoiseThresholdKpa);
      const FootPressureFigures zoneTruth =
          footFiguresOfPressures(truthKpa.ptr<float>(), axis, foot == 0);
      const RegionFigures& measured = figures[0].feet[foot].foot;
      std::printf(
          "  %s foot: area %.1f cm², truth %.1f (%+.2f %%), above the noise threshold %.1f "
          "(%+.2f %%)\n",
          foot == 0 ? "left" : "right", measured.contactAreaCm2, truth.contactAreaCm2,
          percentError(measured.contactAreaCm2, truth.contactAreaCm2), seen.contactAreaCm2,
          percentError(measured.contactAreaCm2, seen.contactAreaCm2));
      // The level pipeline reads no load below its noise threshold, so the rims of the pads that
      // press less than that are not seen: the area is judged against what is pressed above it.
      EXPECT_LT(std::abs(percentError(measured.contactAreaCm2, seen.contactAreaCm2)), 3);
      EXPECT_LT(std::abs(percentError(measured.contactAreaCm2, truth.contactAreaCm2)), 8);
      for (int how = 0; how < 2; ++how) {
        const FootPressureFigures& f = figures[how].feet[foot];
        double worstZone = 0;
        std::string zones;
        for (int zone = 0; zone < 6; ++zone) {
          const double truthPeak = zoneTruth.zones[zone].peakKpa;
          const double error = percentError(f.zones[zone].peakKpa, truthPeak);
          char text[64];
          std::snprintf(text, sizeof text, " %.1f/%.1f", f.zones[zone].peakKpa, truthPeak);
          zones += text;
          // Zones that hardly touch the plate (the high arch's medial midfoot) are not judged.
          if (truthPeak > 10) worstZone = std::max(worstZone, std::abs(error));
        }
        std::printf(
            "    %-21s force %.1f N, truth %.1f (%+.2f %%); peak %.1f kPa, truth %.1f (%+.2f "
            "%%); zone peaks (measured/truth)%s, worst %.2f %%\n",
            pressureSourceText(figures[how].source), f.foot.forceN, truth.forceN,
            percentError(f.foot.forceN, truth.forceN), f.foot.peakKpa, truth.peakKpa,
            percentError(f.foot.peakKpa, truth.peakKpa), zones.c_str(), worstZone);
        EXPECT_LT(std::abs(percentError(f.foot.forceN, truth.forceN)), 5);
        EXPECT_LT(worstZone, 10);
      }
    }
  }
}

}  // namespace

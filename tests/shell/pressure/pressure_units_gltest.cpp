// Pressure in physical units through the real station built in this process. It starts on a
// damaged "pressure_calibration.txt" (it stays up, uncalibrated, and says so on standard
// error), the technician calibrates it in the calibration window with the calibration-weights
// scene, then a standing customer steps on and the pressure window's figures are checked
// against the scene's own pressure truth; the report carries them on page 2.
#include <gtest/gtest.h>
// The toolkit's X11 headers define macros that clash with the test framework: include after.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Input.H>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/capture/frame_feeds.h"
#include "pedalyx/capture/simulated_pressure.h"
#include "pedalyx/capture/simulated_weights.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/pressure_calibration_file.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/calibration_window.h"
#include "pedalyx/shell/pressure_window.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "report/in_process_station.h"
// Both reach X11, whose None clashes with the station's enum values above.
#include "kept_screenshots.h"
#include "tools/desktop_driver.h"
// Last: it defines X11 names (None) that the station's headers use as enum values.
#include <FL/x.H>

namespace fs = std::filesystem;
using namespace in_process_station;

namespace {

// The scene frame of the camera's latest picture.
int64_t sceneFrame() {
  return std::llround(pressureView->frameSource->frameSeconds * SimulatedPlate::kFramesPerSecond);
}

// The pad has carried `mass` still for a few frames before and after `frame`, so the levels
// of the last draw (its ring's three frames) show that load alone.
bool stillUnder(double mass, int64_t frame) {
  for (int64_t f = frame - 6; f <= frame + 6; ++f)
    if (massOnPad(f) != mass) return false;
  return true;
}

// The window alone as <kept folder>/<name>.png, for the README's pictures.
void keepWindow(Fl_Window* window, const std::string& name) {
  if (kKeptScreenshotFolder.empty()) return;
  Fl::flush();
  desktop::run("import -window " + std::to_string(fl_xid(window)) + " '" + kKeptScreenshotFolder +
               "/" + name + ".png'");
}

// The operator's arch-tool clicks on each foot of the standing scene as the hint asks: the
// middle of the back of the heel, then the base of the second toe (foot millimetres across,
// towards the big toe, and along from the heel), as the pipeline's own pressure test clicks.
void clickFootAxes() {
  pressureView->measureMode = kArchIndexTool;
  const double w = pressureView->w(), h = pressureView->h();
  for (bool left : {true, false}) {
    for (auto [across, along] : {std::pair{-2.0, 1.0}, std::pair{11.0, 200.0}}) {
      const double x = (left ? 64.0 : 256.0) + (left ? 1 : -1) * across / 1.07;
      const double y = 45.0 + along / 1.07;
      pressAnalysisTool(*pressureView, false, static_cast<int>((x + 0.5) * w / kCanvasWidth),
                        static_cast<int>(h - (y + 0.5) * h / kCanvasHeight));
    }
  }
  pressureView->measureMode = kNoTool;
}

// Camera units of glow below which the level pipeline reads no load, as a pressure.
const double kNoiseThresholdKpa = 5.0 / PlateOptics::kGlow[1] * PlatePhysics::kFullScaleKpa;

double number(const std::string& cell) { return std::strtod(cell.c_str(), nullptr); }

double percentError(double measured, double truth) { return 100 * (measured - truth) / truth; }

TEST(PressureUnits, DamagedFileThenWeightsCalibrationThenACustomerAgainstTheSceneTruth) {
  enterScratchStation("pressure_station", "exit 0");
  setenv("PEDALYX_SIMULATED_CAMERA", "weights", 1);
  ASSERT_TRUE(platform::writeFileAtomic(kPressureCalibrationFile,
                                        "pressure_calibration 1\nload nan 19.6 6 30:900\n"));
  std::fflush(stderr);
  const int console = dup(2);
  const int captured = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(captured, 2);
  runStationStartup();
  buildStation();
  std::fflush(stderr);
  dup2(console, 2);
  close(captured);
  const std::string said = platform::readWholeFile("stderr.txt").value_or("");
  EXPECT_NE(said.find("pressure_calibration.txt refused, the station is not calibrated for "
                      "pressure: a load's mass, pad area or tone density is not a finite number"),
            std::string::npos)
      << said;
  ASSERT_FALSE(pressureView->pressureCalibration);
  mainWindow->show();
  Fl::add_timeout(0.2, closeMessageBoxes);
  // The station is up: the first weight rests on the pad.
  ASSERT_TRUE(
      pumpUntil([] { return stillUnder(CalibrationWeights::kMassesKg[0], sceneFrame()); }, 60));

  // Uncalibrated, a held picture's pressures are scaled to the typed weight.
  auto& figures = *static_cast<PressureWindow*>(pressureWindow);
  takePictureButton->do_callback();
  weightInput->value(70);
  pressureButton->do_callback();
  ASSERT_TRUE(pumpUntil([&] { return figures.showsFigures(); }, 10));
  EXPECT_NE(figures.sourceText().find("scaled to body weight"), std::string::npos)
      << figures.sourceText();
  takePictureButton->do_callback();
  pressureWindow->hide();

  // The technician: "校正視窗", the pad's area once, then each weight as it rests still.
  cameraViewButton->do_callback();
  auto& calibration = *static_cast<CalibrationWindow*>(calibrationWindow);
  ASSERT_TRUE(pumpUntil([&] { return calibration.shown(); }, 10));
  calibration.padAreaInput->value(19.63);
  for (int step = 0; step < CalibrationWeights::kStepCount; ++step) {
    const double mass = CalibrationWeights::kMassesKg[step];
    ASSERT_TRUE(pumpUntil([&] { return stillUnder(mass, sceneFrame()); }, 60)) << mass << " kg";
    calibration.massInput->value(mass);
    calibration.recordButton->do_callback();
    ASSERT_EQ(calibration.session().records().size(), static_cast<size_t>(step + 1))
        << calibration.statusText();
  }
  pump(0.5);
  keepWindow(calibrationWindow, "calibration-window");
  ASSERT_TRUE(pressureView->pressureCalibration) << calibration.statusText();
  EXPECT_EQ(pressureView->pressureCalibration->curve.points.size(), 5u);
  std::string refusal;
  const auto stored = parsePressureCalibration(
      platform::readWholeFile(kPressureCalibrationFile).value_or(""), refusal);
  ASSERT_TRUE(stored) << refusal;
  EXPECT_EQ(stored->curve.points.size(), 5u);
  for (const LoadRow& row : calibration.session().rows()) {
    ASSERT_TRUE(row.residual && row.leftOut);
    std::printf("station calibration: %.2f kPa, residual %+.2f %%, left out %+.2f %%\n",
                row.pressureKpa, row.residual->residualPercent(), row.leftOut->residualPercent());
    EXPECT_LT(std::abs(row.residual->residualPercent()), 3);
    // The heaviest load left out lies beyond the curve's last segment.
    if (row.record.massKg < 16) {
      EXPECT_LT(std::abs(row.leftOut->residualPercent()), 5);
    }
  }
  calibrationWindow->hide();

  // The weights leave the plate and a customer steps on: the standing scene's camera.
  const SimulatedPlate plate(PlateScene::Normal);
  pressureView->frameSource->capture = openSimulatedPlate(PlateScene::Normal, 5, true);
  const int64_t readsBefore = pressureView->frameSource->framesRead;
  ASSERT_TRUE(
      pumpUntil([&] { return pressureView->frameSource->framesRead > readsBefore + 90; }, 60));
  takePictureButton->do_callback();
  clickFootAxes();
  const double weightKg = std::round(bodyWeightKg(plate) * 10) / 10;
  weightInput->value(weightKg);
  pressureButton->do_callback();
  ASSERT_TRUE(pumpUntil([&] { return figures.showsFigures(); }, 10));
  pump(0.3);
  keepWindow(pressureWindow, "pressure-window");
  EXPECT_NE(figures.sourceText().find("calibrated"), std::string::npos) << figures.sourceText();
  EXPECT_NEAR(figures.figures().bodyWeightPercent, 100, 3) << figures.weightText();

  cv::Mat truthKpa;
  canvasPressure(plate, 600, truthKpa);  // the customer stands still from frame 45 on
  const PressureTable& table = figures.table();
  for (int foot = 0; foot < 2; ++foot) {
    const FootAxis& axis = foot == 0 ? pressureView->analyzer->left : pressureView->analyzer->right;
    const FootPressureTruth truth = footPressureTruth(truthKpa, foot == 0);
    const FootPressureTruth seen = footPressureTruth(truthKpa, foot == 0, kNoiseThresholdKpa);
    const auto& whole = table.rows[0].cells[foot];
    std::printf(
        "%s foot shown: %s cm², %s N, %s %% of body weight, peak %s kPa, mean %s kPa; "
        "truth %.1f cm² (%.1f above the noise threshold), %.1f N, peak %.1f, mean %.1f\n",
        foot == 0 ? "left" : "right", whole[0].c_str(), whole[1].c_str(), whole[2].c_str(),
        whole[3].c_str(), whole[4].c_str(), truth.contactAreaCm2, seen.contactAreaCm2, truth.forceN,
        truth.peakKpa, truth.meanKpa);
    // The level pipeline sees no pressure below its noise threshold (2.17 kPa).
    EXPECT_LT(std::abs(percentError(number(whole[0]), seen.contactAreaCm2)), 3);
    EXPECT_LT(std::abs(percentError(number(whole[0]), truth.contactAreaCm2)), 4);
    EXPECT_LT(std::abs(percentError(number(whole[1]), truth.forceN)), 3);
    EXPECT_NEAR(number(whole[2]), 100 * truth.forceN / (weightKg * 9.81), 2);
    EXPECT_LT(std::abs(percentError(number(whole[3]), truth.peakKpa)), 5);
    EXPECT_LT(std::abs(percentError(number(whole[4]), truth.meanKpa)), 5);
    // Zone rows by name: the shown peak against the truth's peak in the station's own zones.
    const FootPressureFigures zoneTruth =
        footFiguresOfPressures(truthKpa.ptr<float>(), axis, foot == 0);
    const FootPressureFigures& shown = figures.figures().feet[foot];
    ASSERT_TRUE(shown.zonesMeasured);
    for (int zone = 0; zone < 6; ++zone) {
      const double truthPeak = zoneTruth.zones[zone].peakKpa;
      if (truthPeak < 10) continue;  // hardly touching the plate
      EXPECT_LT(std::abs(percentError(shown.zones[zone].peakKpa, truthPeak)), 5)
          << "zone " << zone << " of foot " << foot;
    }
  }
  // The table names zones by side: the medial forefoot is right of the left foot's axis and
  // left of the right foot's (the big toes point to the middle of the plate).
  ASSERT_EQ(table.rows.size(), 7u);
  EXPECT_EQ(table.rows[1].region, "前足內側");
  for (int foot = 0; foot < 2; ++foot) {
    char medial[32];
    const int zone = foot == 0 ? 5 : 4;
    std::snprintf(medial, sizeof medial, "%.1f", figures.figures().feet[foot].zones[zone].peakKpa);
    EXPECT_EQ(table.rows[1].cells[foot][3], medial) << "foot " << foot;
  }

  // The report carries the table; page 2 is kept for a look.
  leftLengthInput->value(243);
  leftWidthInput->value(94);
  rightLengthInput->value(245);
  rightWidthInput->value(95);
  phoneInput->value("0911222333");
  pump(0.3);
  okButton->do_callback();
  fs::path pdf;
  ASSERT_TRUE(pumpUntil(
      [&] {
        if (!fs::exists("PDF_INSOLES")) return false;
        for (auto& e : fs::directory_iterator("PDF_INSOLES"))
          if (e.path().extension() == ".pdf") pdf = e.path();
        return !pdf.empty();
      },
      30));
  if (!kKeptScreenshotFolder.empty())
    desktop::run("pdftoppm -r 150 -png -singlefile -f 2 -l 2 '" + pdf.string() + "' '" +
                 kKeptScreenshotFolder + "/report-page2-pressure'");

  // A removed axis takes its foot's zones away; back to live clears every figure.
  reportView->hide();
  pressureView->measureMode = kArchIndexTool;
  pressAnalysisTool(*pressureView, true, pressureView->w() / 4, pressureView->h() / 2);
  pressureView->measureMode = kNoTool;
  pump(0.4);
  EXPECT_EQ(figures.table().rows[1].cells[0][3], "-");
  EXPECT_NE(figures.table().rows[1].cells[1][3], "-");
  takePictureButton->do_callback();
  pump(0.4);
  EXPECT_FALSE(figures.showsFigures());
  EXPECT_TRUE(figures.table().rows.empty());
}

}  // namespace

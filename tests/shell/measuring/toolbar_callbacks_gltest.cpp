// The measuring tool bar driven in-process on the real windows: mode buttons and their
// highlight, holding the picture and returning to live for the next subject, clearing the
// measurements, the background request, and a measured examination whose results reach the
// main window's fields.
#include <gtest/gtest.h>
// The toolkit's X11 header defines macros that clash with the test framework: include it after.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/imaging/shoe_size.h"
#include "pedalyx/report/foot_type_classifier.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

constexpr Fl_Color kYellow = 3;
constexpr Fl_Color kLightGrey = 50;

void pump(double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) Fl::wait(0.02);
}

// Frames of the pressure view and the reference strip, as the station's redraw timer asks.
void runFrames(double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    pressureView->redraw();
    referenceView->redraw();
    Fl::wait(0.01);
  }
}

void* mode(MeasureModeValue value) { return reinterpret_cast<void*>(static_cast<long>(value)); }

Fl_Button* const* modeButtons() {
  static Fl_Button* buttons[5];
  Fl_Button* current[5] = {archToolButton, lengthToolButton, widthToolButton, angleToolButton,
                           referenceLineButton};
  for (int i = 0; i < 5; ++i) buttons[i] = current[i];
  return buttons;
}

class ToolbarCallbacks : public ::testing::Test {
 protected:
  // The station runs in a fresh working directory holding the staged run-time files
  // (shaders, colour table, reference prints) and the simulated plate camera.
  static void SetUpTestSuite() {
    if (mainWindow != nullptr) return;
    setenv("PEDALYX_SIMULATED_CAMERA", "1", 1);
    static ScratchFolder scratch("toolbar-callbacks");  // goes when the program ends
    const std::string folder = scratch.path();
    for (const char* name :
         {"colorShader.vert", "colorShader.frag", "lut_ancestor.txt", "reference.png"}) {
      auto bytes = platform::readWholeFile(platform::joinPath(STATION_DIR, name));
      ASSERT_TRUE(bytes.has_value()) << name << " is staged";
      ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, name), *bytes));
    }
    ASSERT_EQ(chdir(folder.c_str()), 0);
    workingDirectory = folder;
    runStationStartup();
    buildStation();
  }
  // Leaves the station as built for the suites that follow.
  void SetUp() override {
    for (int i = 0; i < 5; ++i) savedColours[i] = modeButtons()[i]->color();
    savedTakePictureColour = takePictureButton->color();
  }
  void TearDown() override {
    for (int i = 0; i < 5; ++i) modeButtons()[i]->color(savedColours[i]);
    takePictureButton->color(savedTakePictureColour);
    pressureView->live = true;
    pressureView->measureMode = kNoTool;
    pressureView->calibrationRequested = false;
    pressureView->analyzer->removeAxis(0);
    pressureView->analyzer->removeAxis(pressureView->w() - 1);
    pressureView->measureLeft->reset();
    pressureView->measureRight->reset();
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::first_window()) {
      window->hide();
    }
    pump(0.1);
  }
  Fl_Color savedColours[5];
  Fl_Color savedTakePictureColour;
};

TEST_F(ToolbarCallbacks, ModeButtonsSetTheModeAndHighlightOnlyThemselves) {
  const MeasureModeValue modes[5] = {kModeArchIndex, kModeLength, kModeWidth, kModeAngle,
                                     kModeReferenceLine};
  for (int pressed = 0; pressed < 5; ++pressed) {
    modeButtonCallback(modeButtons()[pressed], mode(modes[pressed]));
    EXPECT_EQ(pressureView->measureMode, modes[pressed]);
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(modeButtons()[i]->color(), i == pressed ? kYellow : kLightGrey) << pressed << i;
    }
    // Where the two clicks go is said only while the arch-index tool is chosen.
    EXPECT_EQ(archToolHint->visible() != 0, pressed == 0) << pressed;
  }
}

TEST_F(ToolbarCallbacks, SwitchingToolsContinuesTheSameLength) {
  modeButtonCallback(lengthToolButton, mode(kModeLength));
  pressAnalysisTool(*pressureView, false, 100, 300);
  modeButtonCallback(widthToolButton, mode(kModeWidth));
  modeButtonCallback(lengthToolButton, mode(kModeLength));
  EXPECT_EQ(pressureView->measureLeft->lengthCount, 1);
  // A move over the right half goes to the right record, whose length has no point yet.
  moveAnalysisTool(*pressureView, pressureView->w() - 20, 200);
  EXPECT_EQ(pressureView->measureLeft->lengthCount, 1);
  EXPECT_EQ(pressureView->measureRight->lengthCount, 0);
  moveAnalysisTool(*pressureView, 100, 200);
  EXPECT_EQ(pressureView->measureLeft->lengthCount, 2);
  EXPECT_EQ(leftLengthInput->value(), pressureView->measureLeft->lengthResult);
  EXPECT_GT(leftLengthInput->value(), 0);
}

TEST_F(ToolbarCallbacks, TakePictureHoldsThenReturnsLiveForTheNextSubject) {
  leftLengthInput->value(240);
  zoneInputs[7]->value(33);
  shareUpperRightInput->value(12);
  ratioTotalInputs[0]->value(21);
  phoneInput->value("0912345678");
  remarksInput->value("left knee");
  entryGenderChoice->value(1);

  takePictureCallback(takePictureButton, nullptr);
  EXPECT_FALSE(pressureView->live);
  EXPECT_EQ(takePictureButton->color(), kYellow);
  EXPECT_EQ(leftLengthInput->value(), 0);
  EXPECT_EQ(zoneInputs[7]->value(), 0);
  EXPECT_EQ(shareUpperRightInput->value(), 0);
  EXPECT_EQ(ratioTotalInputs[0]->value(), 21) << "ratio fields are not cleared";
  EXPECT_STREQ(phoneInput->value(), "0912345678") << "holding keeps the personal data";

  // Measure on the held picture: an axis per foot and a length on the left.
  modeButtonCallback(archToolButton, mode(kModeArchIndex));
  pressAnalysisTool(*pressureView, false, 100, 450);
  pressAnalysisTool(*pressureView, false, 110, 150);
  pressAnalysisTool(*pressureView, false, 430, 450);
  pressAnalysisTool(*pressureView, false, 420, 150);
  EXPECT_EQ(pressureView->analyzer->left.pointCount, 2);
  EXPECT_EQ(pressureView->analyzer->right.pointCount, 2);
  modeButtonCallback(lengthToolButton, mode(kModeLength));
  pressAnalysisTool(*pressureView, false, 100, 450);
  pressAnalysisTool(*pressureView, false, 100, 150);
  pressureView->referencePointCount = 3;
  dataEntryWindow->show();

  takePictureCallback(takePictureButton, nullptr);
  EXPECT_TRUE(pressureView->live);
  EXPECT_EQ(takePictureButton->color(), kLightGrey);
  EXPECT_STREQ(phoneInput->value(), "");
  EXPECT_STREQ(remarksInput->value(), "");
  EXPECT_EQ(entryGenderChoice->value(), 0);
  EXPECT_EQ(pressureView->analyzer->left.pointCount, 0);
  EXPECT_EQ(pressureView->analyzer->right.pointCount, 0);
  EXPECT_EQ(pressureView->measureLeft->lengthCount, 0);
  EXPECT_EQ(pressureView->measureLeft->lengthResult, 0);
  EXPECT_EQ(pressureView->referencePointCount, 0);
  EXPECT_EQ(pressureView->measureMode, kNoTool);
  EXPECT_FALSE(dataEntryWindow->shown());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(modeButtons()[i]->color(), kLightGrey);
}

TEST_F(ToolbarCallbacks, ClearMeasurementClosesTheEntryWindowButKeepsTheTypedData) {
  phoneInput->value("0222");
  dataEntryWindow->show();
  modeButtonCallback(widthToolButton, mode(kModeWidth));
  pressAnalysisTool(*pressureView, false, 400, 300);
  pressAnalysisTool(*pressureView, false, 450, 300);
  pressureView->measureRight->angleResult = 37;
  pressureView->referencePointCount = 4;

  clearMeasurementCallback(clearButton, nullptr);
  EXPECT_EQ(pressureView->measureMode, kNoTool);
  EXPECT_EQ(pressureView->measureRight->widthCount, 0);
  EXPECT_EQ(pressureView->measureRight->widthResult, 0);
  EXPECT_TRUE(pressureView->measureRight->widthArmed);
  EXPECT_EQ(pressureView->measureRight->angleResult, 37);
  EXPECT_EQ(pressureView->referencePointCount, 0);
  EXPECT_FALSE(dataEntryWindow->shown());
  EXPECT_STREQ(phoneInput->value(), "0222");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(modeButtons()[i]->color(), kLightGrey);
}

TEST_F(ToolbarCallbacks, CalibrateRequestsABackgroundAndClosesTheReport) {
  dataEntryWindow->show();
  calibrateCallback(calibrateButton, nullptr);
  EXPECT_TRUE(pressureView->calibrationRequested);
  EXPECT_FALSE(dataEntryWindow->shown());
  EXPECT_FALSE(reportView->shown());
}

// The whole road on the simulated plate: hold the picture, place both axes, measure both
// lengths; the frame cycle writes every result and the reference strip classifies both feet.
TEST_F(ToolbarCallbacks, MeasuredFeetReachEveryResultField) {
  mainWindow->show();
  // Background, ring filling and the customer stepping on take some sixty frames, however
  // slowly this build draws.
  auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (pressureView->ringFrames < 60 && std::chrono::steady_clock::now() < giveUp) {
    runFrames(0.1);
  }
  takePictureCallback(takePictureButton, nullptr);
  runFrames(0.2);
  const int h = pressureView->h();
  ASSERT_GT(h, 500) << "the view is fitted at its first draw";
  modeButtonCallback(archToolButton, mode(kModeArchIndex));
  pressAnalysisTool(*pressureView, false, 101, 476);
  pressAnalysisTool(*pressureView, false, 118, 108);
  pressAnalysisTool(*pressureView, false, 432, 476);
  pressAnalysisTool(*pressureView, false, 414, 108);
  modeButtonCallback(lengthToolButton, mode(kModeLength));
  pressAnalysisTool(*pressureView, false, 101, 476);
  moveAnalysisTool(*pressureView, 118, 108);
  pressAnalysisTool(*pressureView, false, 118, 108);
  pressAnalysisTool(*pressureView, false, 432, 476);
  moveAnalysisTool(*pressureView, 414, 100);
  pressAnalysisTool(*pressureView, false, 414, 100);
  runFrames(0.5);

  const FootZoneAnalyzer& analyzer = *pressureView->analyzer;
  ASSERT_EQ(analyzer.left.pointCount, 2);
  ASSERT_EQ(analyzer.right.pointCount, 2);
  EXPECT_GT(analyzer.left.archIndex, 0.05f);
  EXPECT_FLOAT_EQ(leftArchInput->value(), analyzer.left.archIndex);
  EXPECT_FLOAT_EQ(rightArchInput->value(), analyzer.right.archIndex);
  EXPECT_EQ(leftLengthInput->value(), pressureView->measureLeft->lengthResult);
  EXPECT_EQ(rightLengthInput->value(), pressureView->measureRight->lengthResult);
  EXPECT_GT(leftLengthInput->value(), 200);
  EXPECT_EQ(std::string(shoeSizeOutput->value()),
            shoeSizeText(pressureView->measureLeft->lengthResult,
                         pressureView->measureRight->lengthResult));
  // Zones: the forefoot-left field of the left foot and the heel-right field of the right.
  EXPECT_EQ(zoneInputs[0]->value(), std::floor(analyzer.left.zoneShare[4] + 0.5));
  EXPECT_EQ(zoneInputs[11]->value(), std::floor(analyzer.right.zoneShare[1] + 0.5));
  EXPECT_EQ(shareLeftInput->value(), std::floor(analyzer.left.halfShare + 0.5));
  EXPECT_GT(shareLeftInput->value(), 20);
  double classes = 0;
  for (int j = 0; j < 5; ++j) classes += ratioTotalInputs[j]->value();
  EXPECT_NEAR(classes, 100, 3);
  EXPECT_EQ(std::string(leftFootTypeOutput->value()),
            footTypeText(true, analyzer.left.archIndex, true));
  EXPECT_EQ(std::string(shoeTypeOutput->value()),
            shoeTypeAdvice(true, analyzer.left.archIndex, true, analyzer.right.archIndex));
  EXPECT_EQ(referenceView->leftColumn, leftReferenceColumn(leftArchInput->value()));
  EXPECT_EQ(referenceView->rightColumn, rightReferenceColumn(rightArchInput->value()));
}

}  // namespace

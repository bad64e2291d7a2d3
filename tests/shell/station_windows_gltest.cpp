// The station's windows built in this process: geometry, labels and settings of a sample of
// controls, reachability of every control, the language choice and the settings writers.
#include <gtest/gtest.h>
// The toolkit's X11 header defines macros that clash with the test framework: include it after.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/x.H>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "kept_screenshots.h"
#include "pedalyx/imaging/balance_view.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/calibration_view.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/labels_ui.h"
#include "pedalyx/shell/settings_ui.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "pedalyx/station/window_layout.h"
#include "platform/files.h"
#include "scratch_folder.h"
#include "tools/desktop_driver.h"

namespace {

std::string longCaseText;

void pump(double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) Fl::wait(0.02);
}

void expectGeometry(const Fl_Widget* widget, int x, int y, int w, int h) {
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->x(), x);
  EXPECT_EQ(widget->y(), y);
  EXPECT_EQ(widget->w(), w);
  EXPECT_EQ(widget->h(), h);
}

// Every control below `group` lies inside a window of the given size (the captions' own
// scroll bars and the GL views' insides are not controls).
void expectAllInside(Fl_Group* group, int width, int height) {
  for (int i = 0; i < group->children(); ++i) {
    Fl_Widget* child = group->child(i);
    SCOPED_TRACE(child->label() ? child->label() : "(no label)");
    EXPECT_GE(child->x(), 0);
    EXPECT_GE(child->y(), 0);
    EXPECT_LE(child->x() + child->w(), width);
    EXPECT_LE(child->y() + child->h(), height);
    Fl_Group* inner = child->as_group();
    if (inner != nullptr && dynamic_cast<const Fl_Text_Display*>(child) == nullptr &&
        child->as_gl_window() == nullptr) {
      expectAllInside(inner, width, height);
    }
  }
}

void flattenInDrawingOrder(Fl_Widget* widget, std::vector<Fl_Widget*>& order) {
  order.push_back(widget);
  Fl_Group* group = widget->as_group();
  if (group == nullptr || dynamic_cast<Fl_Text_Display*>(widget) != nullptr ||
      widget->as_gl_window() != nullptr)
    return;
  for (int i = 0; i < group->children(); ++i) flattenInDrawingOrder(group->child(i), order);
}

bool contains(const Fl_Widget* outer, const Fl_Widget* inner) {
  for (const Fl_Widget* w = inner; w != nullptr; w = w->parent())
    if (w == outer) return true;
  return false;
}

// The share of a's area that b lies over.
double coveredShare(const Fl_Widget* a, const Fl_Widget* b) {
  const int w = std::min(a->x() + a->w(), b->x() + b->w()) - std::max(a->x(), b->x());
  const int h = std::min(a->y() + a->h(), b->y() + b->h()) - std::max(a->y(), b->y());
  if (w <= 0 || h <= 0 || a->w() <= 0 || a->h() <= 0) return 0;
  return static_cast<double>(w) * h / (static_cast<double>(a->w()) * a->h());
}

// The visible controls of `window` over which a widget drawn later paints: a control that
// another widget covers cannot be read or touched, although it lies inside the window. A group
// without a box paints nothing of its own; its children are judged one by one. Neighbours
// whose frames share an edge pixel or two (a tenth of the control or less) do not cover it.
std::vector<std::string> coveredControls(Fl_Window* window) {
  std::vector<Fl_Widget*> order;
  for (int i = 0; i < window->children(); ++i) flattenInDrawingOrder(window->child(i), order);
  std::vector<std::string> covered;
  for (size_t i = 0; i < order.size(); ++i) {
    Fl_Widget* control = order[i];
    const bool isContainer = control->as_group() != nullptr &&
                             dynamic_cast<Fl_Text_Display*>(control) == nullptr &&
                             control->as_gl_window() == nullptr;
    if (isContainer || !control->visible()) continue;
    for (size_t j = i + 1; j < order.size(); ++j) {
      Fl_Widget* later = order[j];
      const bool paints = later->as_group() == nullptr || later->box() != FL_NO_BOX ||
                          later->as_gl_window() != nullptr;
      if (!later->visible() || !paints || contains(control, later)) continue;
      if (coveredShare(control, later) > 0.1) {
        covered.push_back(std::string(control->label() ? control->label() : "(no label)") + " at " +
                          std::to_string(control->x()) + "," + std::to_string(control->y()) +
                          " under " + (later->label() ? later->label() : "(no label)"));
      }
    }
  }
  return covered;
}

void hideEverything() {
  for (Fl_Window* window = Fl::first_window(); window != nullptr; window = Fl::first_window()) {
    window->hide();
  }
  pump(0.2);
}

class StationWindows : public ::testing::Test {
 protected:
  // The station is built once per process, in a fresh working directory that already holds
  // one long case text.
  static void SetUpTestSuite() {
    if (mainWindow != nullptr) return;
    setenv("PEDALYX_SIMULATED_CAMERA", "1", 1);
    static ScratchFolder scratch("station-windows");  // goes when the program ends
    const std::string folder = scratch.path();
    ASSERT_EQ(chdir(folder.c_str()), 0);
    workingDirectory = folder;
    for (int i = 0; longCaseText.size() < 3000; ++i) longCaseText += "扁平足 " + std::to_string(i);
    ASSERT_TRUE(platform::writeFileAtomic(folder + "/tx_case_3.txt", longCaseText));
    runStationStartup();
    buildStation();
  }
  static void TearDownTestSuite() { hideEverything(); }
};

TEST_F(StationWindows, MainWindowControlsKeepTheirPlacesAndSettings) {
  EXPECT_STREQ(mainWindow->label(), "足底壓力檢測儀");
  EXPECT_EQ(mainWindow->w(), kMainWindowWidth);
  EXPECT_EQ(mainWindow->resizable(), mainWindow);
  expectGeometry(pressureView, 5, 86, 630, 540);
  expectGeometry(referenceView, 654, 193, 265, 55);
  EXPECT_EQ(pressureView->box(), FL_THIN_DOWN_BOX);
  EXPECT_EQ(pressureView->color(), FL_BACKGROUND_COLOR);
  EXPECT_EQ(pressureView->align(), FL_ALIGN_TOP);

  expectGeometry(leftLengthInput, 709, 41, 55, 24);
  EXPECT_EQ(leftLengthInput->maximum(), 330);
  EXPECT_EQ(leftLengthInput->step(), 1);
  EXPECT_STREQ(leftLengthInput->label(), "左足長");
  EXPECT_EQ(rightWidthInput->maximum(), 150);
  EXPECT_DOUBLE_EQ(leftArchInput->step(), 0.01);
  expectGeometry(zoneInputs[6], 803, 619, 30, 24);
  EXPECT_EQ(zoneInputs[6]->align(), FL_ALIGN_RIGHT);
  EXPECT_STREQ(sizePanelTitle->label(), "足型尺寸");
  EXPECT_EQ(sizePanelTitle->labelcolor(), FL_RED);
  EXPECT_EQ(ratioTotalInputs[2]->maximum(), 100);
  EXPECT_EQ(ratioLeftInputs[1]->maximum(), 1) << "only the first left field is capped";
  expectGeometry(ratioTotalInputs[4], 846, 511, 30, 24);
  EXPECT_EQ(shareLowerLeftInput->align(), FL_ALIGN_BOTTOM);
  EXPECT_DOUBLE_EQ(shareLeftInput->step(), 0.1);

  EXPECT_EQ(archToolButton->color(), 50u);
  EXPECT_EQ(lengthToolButton->color(), FL_BACKGROUND_COLOR);
  expectGeometry(calibrateButton, 84, 47, 50, 24);
  expectGeometry(shoeTypeOutput, 223, 716, 130, 33);
  EXPECT_EQ(shoeTypeOutput->textsize(), 20);
  EXPECT_STREQ(shoeTypeOutput->label(), "建議鞋型/鞋墊");
  EXPECT_FALSE(crosshairButton->value());
  expectGeometry(analysisAreaButton, 390, 716, 157, 40);
  EXPECT_EQ(analysisAreaButton->color(), FL_BLACK);
  EXPECT_EQ(analysisAreaButton->labelcolor(), FL_YELLOW);
  EXPECT_EQ(analysisAreaButton->labelfont(), FL_HELVETICA_BOLD_ITALIC);
  EXPECT_EQ(analysisAreaButton->labelsize(), 21);
}

TEST_F(StationWindows, EveryControlOfTheMainSettingsAnalysisAndCalibrationWindowsIsReachable) {
  expectAllInside(mainWindow, mainWindow->w(), mainWindow->h());
  expectAllInside(settingsWindow, settingsWindow->w(), settingsWindow->h());
  expectAllInside(analysisWindow, analysisWindow->w(), analysisWindow->h());
  expectAllInside(calibrationWindow, calibrationWindow->w(), calibrationWindow->h());
  for (Fl_Window* window :
       {static_cast<Fl_Window*>(mainWindow), static_cast<Fl_Window*>(settingsWindow),
        static_cast<Fl_Window*>(analysisWindow), static_cast<Fl_Window*>(calibrationWindow)}) {
    const std::vector<std::string> covered = coveredControls(window);
    EXPECT_TRUE(covered.empty()) << window->label() << ": " << ::testing::PrintToString(covered);
  }
  // The settings window stays fixed in size (no resizable widget).
  EXPECT_EQ(settingsWindow->resizable(), nullptr);
  // The pressure view still fits against the design height: 533 x 558.
  int fittedHeight = 630 * 335 / 320;
  ASSERT_GT(86 + fittedHeight, kMainWindowDesignHeight);
  EXPECT_EQ(kMainWindowDesignHeight - 86 - 70, 558);
}

// The check itself must see a control that a later group paints over, as the analysis-area
// group once hid the shoe-type advice.
TEST_F(StationWindows, ReachabilityCheckSeesACoveredControl) {
  Fl_Window window(300, 200);
  Fl_Output output(100, 20, 130, 33, "advice");
  Fl_Group panel(150, 10, 100, 60);
  panel.box(FL_THIN_DOWN_BOX);
  panel.end();
  window.end();
  EXPECT_EQ(coveredControls(&window).size(), 1u);
  panel.box(FL_NO_BOX);
  EXPECT_TRUE(coveredControls(&window).empty());
}

TEST_F(StationWindows, OtherWindowsAndViewsMatchTheirTables) {
  expectGeometry(reportView, 0, 0, 500, 707);
  EXPECT_EQ(reportView->box(), FL_FLAT_BOX);
  // The camera view fills the calibration window's top left, so its pixels are camera pixels.
  expectGeometry(calibrationCameraView, 0, 0, 640, 480);
  EXPECT_EQ(calibrationCameraView->parent(), calibrationWindow);
  EXPECT_STREQ(calibrationWindow->label(), "校正視窗");
  expectGeometry(balanceView5050, 405, 116, 320, 335);
  EXPECT_EQ(balanceView8020->box(), FL_THIN_UP_BOX);
  EXPECT_EQ(balanceView2080->parent(), analysisWindow);

  EXPECT_EQ(ratioSlider->value(), 20);
  EXPECT_EQ(ratioSlider->maximum(), 100);
  EXPECT_EQ(ratioRightOutput->value(), 80);
  EXPECT_EQ(databaseSaveButton->color(), 62u);
  EXPECT_EQ(genderChoice->value(), 0);
  EXPECT_EQ(genderChoice->size(), 4);  // three items and the end mark
  expectGeometry(caseInputs[2], 767, 604, 187, 26);
  expectGeometry(caseRightChecks[5], 1002, 695, 45, 24);
  EXPECT_EQ(heightInput->maximum(), 220);
  expectGeometry(halluxAngleInputs[1], 545, 682, 94, 34);

  EXPECT_STREQ(settingsWindow->label(), "Edit");
  expectGeometry(languageChoice, 50, 522, 135, 30);
  EXPECT_EQ(languageChoice->value(), 0);
  EXPECT_EQ(noiseFilterSlider->step(), 1);
  EXPECT_STREQ(blockSliders[4]->label(), "下面");
  EXPECT_EQ(blockSliders[4]->y(), 454);
  EXPECT_EQ(blockSliders[5]->y(), 419);
  EXPECT_DOUBLE_EQ(blockSliders[3]->minimum(), 0.5);

  EXPECT_STREQ(dataEntryWindow->label(), "資料輸入");
  EXPECT_EQ(okButton->labelsize(), 32);
  EXPECT_EQ(phoneInput->labelcolor(), FL_RED);
  expectGeometry(phoneInput, 85, 81, 235, 34);
  EXPECT_EQ(entryGenderChoice->value(), 0);
  EXPECT_STREQ(remarksWindow->label(), "備註");
  EXPECT_EQ(remarksInput->textsize(), 34);
}

TEST_F(StationWindows, CaseTextsAreLoadedWholeAndStoredOnChange) {
  EXPECT_EQ(std::string(caseInputs[2]->value()), longCaseText) << "read whole, any length";
  EXPECT_STREQ(caseInputs[0]->value(), "");
  EXPECT_FALSE(platform::fileExists("tx_case_1.txt")) << "nothing is written at start";

  caseInputs[1]->value("seventeen letters");
  caseInputs[1]->do_callback();
  EXPECT_EQ(platform::readWholeFile(workingDirectory + "/tx_case_2.txt").value_or(""),
            "seventeen letters");
}

TEST_F(StationWindows, SlidersRewriteTheirFilesOnceTheValueSettles) {
  // A drag: many values in a row end with one file holding the last of them.
  for (int value = 5; value <= 7; ++value) {
    noiseFilterSlider->value(value);
    noiseFilterSlider->do_callback();
  }
  pump(0.4);
  EXPECT_EQ(platform::readWholeFile("noise.txt").value_or(""), "7.000000\r\n6.000000\r\n");

  blockSliders[5]->value(0.97);
  blockSliders[5]->do_callback();
  // Ending the program right after a change still leaves the change on disk.
  flushPendingSettings();
  EXPECT_EQ(platform::readWholeFile("blue_block.txt").value_or(""),
            "0.050000\r\n0.950000\r\n0.330000\r\n0.650000\r\n0.050000\r\n0.970000\r\n");
}

TEST_F(StationWindows, RatioSliderRewritesBothOuterCaptions) {
  ratioSlider->value(35);
  ratioSlider->do_callback();
  EXPECT_EQ(ratioRightOutput->value(), 65);
  EXPECT_STREQ(balanceCaption2080->label(), "35/65");
  EXPECT_STREQ(balanceCaption8020->label(), "65/35");
  EXPECT_STREQ(balanceCaption5050->label(), "50/50");
}

TEST_F(StationWindows, NavigationButtonsShowAndHideTheirWindows) {
  // "報表" takes the report view away and brings the data-entry form back.
  reportView->show();
  pump(0.3);
  reportButton->do_callback();
  pump(0.3);
  EXPECT_FALSE(reportView->visible());
  EXPECT_TRUE(dataEntryWindow->visible());
  // Pressing it again with the form open keeps it open (raised).
  reportButton->do_callback();
  EXPECT_TRUE(dataEntryWindow->visible());
  cameraViewButton->do_callback();
  remarksButton->do_callback();
  analysisAreaButton->do_callback();
  pump(0.3);
  EXPECT_TRUE(calibrationWindow->visible());
  EXPECT_TRUE(remarksWindow->visible());
  EXPECT_TRUE(analysisWindow->visible());
  EXPECT_FALSE(mainWindow->visible()) << "none of them opens the main window";
  hideEverything();
}

TEST_F(StationWindows, PickingSimplifiedRelabelsTheMainWindowAndStoresOne) {
  mainWindow->show();
  settingsWindow->show();
  pump(0.5);
  keepScreenshot("shell/settings");
  desktop::Point origin = desktop::windowPosition(fl_xid(settingsWindow));
  // The choice opens its menu in a nested loop, so the clicks and keys run in the background
  // while this process handles the events.
  std::string command = "(xdotool mousemove " + std::to_string(origin.x + 50 + 67) + " " +
                        std::to_string(origin.y + 522 + 15) +
                        " click 1 sleep 1.0 key Down sleep 0.5 key Return) &";
  ASSERT_EQ(std::system(command.c_str()), 0);
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (languageChoice->value() != 1 && std::chrono::steady_clock::now() < end) pump(0.1);
  pump(0.5);
  EXPECT_EQ(languageChoice->value(), 1);
  EXPECT_STREQ(mainWindow->label(), "足底压力检测仪");
  EXPECT_STREQ(takePictureButton->label(), "取图");
  EXPECT_STREQ(referenceLineButton->label(), "参考线");
  EXPECT_STREQ(archOutput2080L->label(), "左足弓指標:") << "other windows keep their labels";
  EXPECT_EQ(platform::readWholeFile("language_choice.txt").value_or(""), "1");
  pump(0.3);
  keepScreenshot("shell/main_simplified");

  languageChoice->value(0);
  traditionalLanguageCallback(languageChoice, nullptr);
  EXPECT_STREQ(mainWindow->label(), "足底壓力檢測儀");
  EXPECT_STREQ(zonePanelTitle->label(), "壓力六區分布");
  EXPECT_STREQ(crosshairButton->label(), "十字線");
  EXPECT_EQ(platform::readWholeFile("language_choice.txt").value_or(""), "0");
  hideEverything();
}

TEST_F(StationWindows, EveryWindowCanBeShownAndLookedAt) {
  struct Shot {
    Fl_Window* window;
    const char* name;
  } shots[] = {{mainWindow, "main"},
               {analysisWindow, "analysis"},
               {settingsWindow, "settings_alone"},
               {dataEntryWindow, "data_entry"},
               {remarksWindow, "remarks"},
               {reportView, "report_view"},
               {calibrationWindow, "calibration_window"},
               {pressureWindow, "pressure"}};
  for (const Shot& shot : shots) {
    hideEverything();
    shot.window->show();
    pump(0.6);
    EXPECT_TRUE(shot.window->shown()) << shot.name;
    if (shot.window == mainWindow) {
      // The first draw fits the pressure view against the design height, not the taller
      // window, so the picture keeps its usual size.
      EXPECT_EQ(pressureView->w(), 533);
      EXPECT_EQ(pressureView->h(), 558);
    }
    keepScreenshot(std::string("shell/") + shot.name);
  }
  hideEverything();
}

}  // namespace

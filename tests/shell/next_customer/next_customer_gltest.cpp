// Customer after customer on one station built in this process on the simulated plate, with
// the frame cycle running in between as it does in the shop: nothing measured on one customer
// reaches the next one's fields, report, hand-off or database row; values the operator types
// stay and count; the shoe size follows the length fields; returning to live removes both axes
// whatever the window's size.
#include <gtest/gtest.h>
// The toolkit's X11 headers define macros that clash with the test framework: include after.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "report/in_process_station.h"

namespace fs = std::filesystem;
using namespace in_process_station;

namespace {

// Frames as the station's clock asks for them. Live they are counted by the ring; a held view
// draws only when something changed, so held this waits for that draw, or a moment when there
// is nothing to draw.
void drawFrames(int count) {
  if (!pressureView->live) {
    const long before = pressureView->draws;
    pumpUntil([&] { return pressureView->draws > before; }, 0.5);
    pumpUntil([] { return false; }, 0.05);
    return;
  }
  const int target = pressureView->ringFrames + count;
  pumpUntil([&] { return pressureView->ringFrames >= target; }, 60);
}

int countFiles(const char* folder, const char* extension) {
  if (!fs::exists(folder)) return 0;
  int count = 0;
  for (auto& entry : fs::directory_iterator(folder)) count += entry.path().extension() == extension;
  return count;
}

void typeFootSizes() {
  leftLengthInput->value(243);
  leftWidthInput->value(94);
  rightLengthInput->value(245);
  rightWidthInput->value(95);
}

// Takes the report back out of the way and returns to live for the next customer, then lets
// the plate run for a while, as between two customers.
void nextCustomer() {
  reportView->hide();
  takePictureButton->do_callback();  // back to live
  ASSERT_TRUE(pressureView->live);
  drawFrames(30);
  takePictureButton->do_callback();  // hold the next customer
  drawFrames(5);
}

class NextCustomer : public ::testing::Test {
 protected:
  // A working directory with the staged data; the insole tool is a stand-in that leaves the
  // hand-off for the test to read.
  static void SetUpTestSuite() {
    enterScratchStation("next_customer_station", "exit 0");
    ASSERT_TRUE(openStationUntilCustomerStands(60)) << "the simulated customer never stood";
  }

  void SetUp() override {
    if (!pressureView->live) takePictureButton->do_callback();
    pressureView->analyzer->removeBothAxes();
    reportView->hide();
    takePictureButton->do_callback();  // hold
    drawFrames(3);
  }
};

TEST_F(NextCustomer, SecondCustomerWithoutAxesIsRefusedThenCarriesItsOwnValues) {
  clickAxes(0.9, 0.1);
  typeFootSizes();
  phoneInput->value("0911000001");
  drawFrames(3);
  const double firstLeftArch = leftArchInput->value();
  ASSERT_GT(firstLeftArch, 0);
  confirm();
  ASSERT_TRUE(pumpUntil([] { return fs::exists("insole_info.txt"); }, 20)) << lastMessage();
  fs::remove("insole_info.txt");
  const int pdfs = countFiles("PDF_INSOLES", ".pdf");

  nextCustomer();
  for (Fl_Value_Input* field : {leftArchInput, rightArchInput, zoneInputs[0], zoneInputs[11]})
    EXPECT_EQ(field->value(), 0) << "a field of the previous customer";
  typeFootSizes();
  phoneInput->value("0911000002");
  confirm();
  EXPECT_EQ(lastMessage(), "足弓指標為必填項目|請輸入足弓指標\n");
  EXPECT_FALSE(reportView->visible());
  pump(1.0);
  EXPECT_FALSE(fs::exists("insole_info.txt")) << "a hand-off for a customer without axes";
  EXPECT_EQ(countFiles("PDF_INSOLES", ".pdf"), pdfs);

  // Shorter axes than the first customer's: a different arch index, which the hand-off carries.
  clickAxes(0.8, 0.3);
  drawFrames(3);
  const double secondLeftArch = leftArchInput->value();
  ASSERT_GT(secondLeftArch, 0);
  ASSERT_NE(secondLeftArch, firstLeftArch);
  confirm();
  ASSERT_TRUE(pumpUntil([] { return fs::exists("insole_info.txt"); }, 20)) << lastMessage();
  char leftLine[32];
  std::snprintf(leftLine, sizeof leftLine, "left %0.2f 243 94 ", secondLeftArch);
  EXPECT_EQ(platform::readWholeFile("insole_info.txt").value_or("").rfind(leftLine, 0), 0u)
      << platform::readWholeFile("insole_info.txt").value_or("");
  fs::remove("insole_info.txt");
}

TEST_F(NextCustomer, TypedValuesSurviveFramesAndReachEveryOutput) {
  typeFootSizes();
  leftArchInput->value(0.31);
  rightArchInput->value(0.27);
  zoneInputs[0]->value(44);
  phoneInput->value("0911000003");
  drawFrames(60);
  EXPECT_DOUBLE_EQ(leftArchInput->value(), 0.31);
  EXPECT_DOUBLE_EQ(rightArchInput->value(), 0.27);
  EXPECT_EQ(zoneInputs[0]->value(), 44);
  EXPECT_EQ(leftLengthInput->value(), 243);

  const ReportInputs page = readReportInputsFromStation();
  EXPECT_DOUBLE_EQ(page.values.leftArch, 0.31);
  EXPECT_DOUBLE_EQ(page.values.leftLength, 243);
  confirm();
  ASSERT_TRUE(pumpUntil([] { return fs::exists("insole_info.txt"); }, 20)) << lastMessage();
  std::string handoff = platform::readWholeFile("insole_info.txt").value_or("");
  const std::string leftLine = handoff.substr(0, handoff.find('\n'));
  EXPECT_EQ(leftLine.rfind("left 0.31 243 94 ", 0), 0u) << handoff;
  EXPECT_NE((leftLine + " ").find(" 44 "), std::string::npos) << "the typed zone share";
  EXPECT_NE(handoff.find("\nright 0.27 245 95 "), std::string::npos) << handoff;
  fs::remove("insole_info.txt");

  // The database row carries the main window's zone fields, typed ones included.
  databaseSaveButton->do_callback();
  std::string database = platform::readWholeFile("Database_2080.csv").value_or("");
  std::string row = database.substr(database.rfind('\n') + 1);
  EXPECT_NE(row.find(",44,"), std::string::npos) << row;

  // A new measurement by the tool replaces the typed value.
  clickAxes(0.9, 0.1);
  drawFrames(3);
  EXPECT_NE(leftArchInput->value(), 0.31);
  EXPECT_FLOAT_EQ(leftArchInput->value(), pressureView->analyzer->left.archIndex);
}

TEST_F(NextCustomer, ShoeSizeIsEmptyUntilALengthIsKnownAndFollowsTypedLengths) {
  drawFrames(3);
  EXPECT_STREQ(shoeSizeOutput->value(), "");
  leftLengthInput->value(238);
  drawFrames(2);
  EXPECT_STREQ(shoeSizeOutput->value(), "25.0");
  rightLengthInput->value(252);  // the longer foot counts
  drawFrames(2);
  EXPECT_STREQ(shoeSizeOutput->value(), "26.5");
}

TEST_F(NextCustomer, ReturningToLiveRemovesBothAxesInAnEnlargedWindow) {
  const int width = mainWindow->w(), height = mainWindow->h();
  mainWindow->resize(mainWindow->x(), mainWindow->y(), 1600, 1000);
  drawFrames(5);
  ASSERT_GT(pressureView->w(), 800) << "the view grows with the window";
  clickAxes(0.9, 0.1);
  ASSERT_EQ(pressureView->analyzer->left.pointCount, 2);
  ASSERT_EQ(pressureView->analyzer->right.pointCount, 2);
  takePictureButton->do_callback();  // back to live
  EXPECT_EQ(pressureView->analyzer->left.pointCount, 0);
  EXPECT_EQ(pressureView->analyzer->right.pointCount, 0);
  EXPECT_EQ(pressureView->analyzer->right.archIndex, 0);
  mainWindow->resize(mainWindow->x(), mainWindow->y(), width, height);
  drawFrames(3);
}

}  // namespace

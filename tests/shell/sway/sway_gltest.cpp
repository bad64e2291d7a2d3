// The sway recording through the real pipeline: a station built in this process on the
// simulated "sway" customer, whose load centre follows a known path. Eyes open and eyes closed
// are recorded from the sway window; the figures must match the scene's path, both recordings
// reach "Sway.csv", "SWAY/" and page 2 of a two-page PDF, and returning to live clears them.
#include <gtest/gtest.h>
// The toolkit's X11 headers define macros that clash with the test framework: include after.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <regex>
#include <string>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/capture/simulated_plate.h"
#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/shell/sway_window.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "report/in_process_station.h"
#include "tools/desktop_driver.h"
// Last: it defines X11 names (None) that the station's headers use as enum values.
#include <FL/x.H>

namespace fs = std::filesystem;
using namespace in_process_station;

namespace {

// The scene's own centre-of-load path at the frames the recording took, in millimetres.
std::vector<SwaySample> groundTruth(const SwayRecording& recording) {
  const SimulatedPlate plate(PlateScene::Sway);
  std::vector<SwaySample> truth;
  for (const SwaySample& measured : recording.samples) {
    const int64_t frame =
        std::llround((recording.clockStart + measured.seconds) * SimulatedPlate::kFramesPerSecond);
    SwaySample s = measured;
    const cv::Point2d c = plate.loadCentre(frame, 2);
    s.both = {c.x * kMillimetresPerPixel, c.y * kMillimetresPerPixel};
    truth.push_back(s);
  }
  return truth;
}

void record(SwayWindow& window, bool eyesClosed) {
  (eyesClosed ? window.eyesClosedButton : window.eyesOpenButton)->setonly();
  window.secondsSlider->value(10);  // the shortest time keeps the test quick
  window.startButton->do_callback();
  ASSERT_TRUE(pressureView->swayRecorder.isRecording());
  ASSERT_TRUE(pumpUntil([] { return !pressureView->swayRecorder.isRecording(); }, 90));
  pump(0.3);  // the window's follow-up: files and message
}

int countLines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(SwayRecording, SceneFiguresBothStancesFilesPageTwoAndTheNextCustomer) {
  enterScratchStation("sway_station", "exit 0");
  setenv("PEDALYX_SIMULATED_CAMERA", "sway", 1);
  runStationStartup();
  buildStation();
  startExaminationKeeping();
  mainWindow->show();
  Fl::add_timeout(0.2, closeMessageBoxes);
  // The customer stands fully from frame 45 on.
  ASSERT_TRUE(pumpUntil([] { return pressureView->frameSource->framesRead > 60; }, 60));
  swayButton->do_callback();
  ASSERT_TRUE(swayWindow->shown());
  auto& window = *static_cast<SwayWindow*>(swayWindow);
  idInput->value("A 17");

  record(window, false);
  const SwayRecording& open = pressureView->swayRecorder.result(SwayCondition::EyesOpen);
  ASSERT_EQ(open.stop, SwayStop::Completed) << swayStopMessage(open.stop);
  EXPECT_TRUE(window.eyesClosedButton->value()) << "eyes closed follows eyes open";
  const SwayFigures measured = open.figures[int(SwayPart::Both)];
  const SwayFigures truth = computeSwayFigures(groundTruth(open), SwayPart::Both);
  std::printf(
      "sway scene, eyes open: path %.1f / %.1f mm, ellipse %.1f / %.1f mm2, "
      "velocity %.2f / %.2f mm/s (measured / truth)\n",
      measured.pathLength, truth.pathLength, measured.ellipse.area, truth.ellipse.area,
      measured.meanVelocity, truth.meanVelocity);
  EXPECT_NEAR(measured.seconds, 10, 0.05);
  EXPECT_GT(truth.pathLength, 50) << "the scene must sway for the comparison to mean anything";
  EXPECT_NEAR(measured.pathLength / truth.pathLength, 1, 0.05)
      << measured.pathLength << " mm against " << truth.pathLength;
  EXPECT_NEAR(measured.ellipse.area / truth.ellipse.area, 1, 0.05)
      << measured.ellipse.area << " mm2 against " << truth.ellipse.area;
  EXPECT_NEAR(measured.meanVelocity / truth.meanVelocity, 1, 0.05)
      << measured.meanVelocity << " mm/s against " << truth.meanVelocity;

  record(window, true);
  const SwayRecording& closed = pressureView->swayRecorder.result(SwayCondition::EyesClosed);
  ASSERT_EQ(closed.stop, SwayStop::Completed);
  Fl::flush();
  desktop::run("import -window " + std::to_string(fl_xid(swayWindow)) + " sway_window.png");

  // One row per recording beside the database, the header once; one trace file each.
  const std::string table = platform::readWholeFile("Sway.csv").value_or("");
  EXPECT_EQ(countLines(table), 3) << table;
  std::smatch record;
  ASSERT_TRUE(std::regex_search(table, record, std::regex("\n(A_17_\\d{14}),A 17,")));
  EXPECT_EQ(open.samples.size(), 301u) << "10 s at 30 frames a second, both ends counted";
  for (const SwayRecording* r : {&open, &closed}) {
    const char* suffix = r == &open ? "_eo.csv" : "_ec.csv";
    const std::string trace =
        platform::readWholeFile("SWAY/" + record[1].str() + suffix).value_or("");
    EXPECT_EQ(countLines(trace), 1 + static_cast<int>(r->samples.size())) << suffix;
  }

  // The report: hold the picture, both axes, the data, "確定": page 2 carries the traces.
  takePictureButton->do_callback();
  clickAxes(0.9, 0.1);
  leftLengthInput->value(243);
  leftWidthInput->value(94);
  rightLengthInput->value(245);
  rightWidthInput->value(95);
  phoneInput->value("0911222333");
  pump(0.5);
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
  // Both recordings, made before the picture was held, and the export are one record.
  std::string error;
  std::vector<report::ExaminationRecord> records;
  auto reader = report::ExaminationReader::open(".", error);
  ASSERT_TRUE(reader && reader->findCustomer("", "0911222333", records, error)) << error;
  ASSERT_EQ(records.size(), 1u);
  for (const char* group : {"sway_eyes_open", "sway_eyes_closed", "sway_romberg", "arch"})
    EXPECT_NE(report::findFigure(records[0], group, group[0] == 'a' ? "arch_index" : "path_length",
                                 group[0] == 'a' ? "left" : "both"),
              nullptr)
        << group;
  const std::string info = desktop::run("pdfinfo '" + pdf.string() + "'");
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +2\n"))) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  for (int page : {1, 2})
    desktop::run("pdftoppm -r 150 -png -singlefile -f " + std::to_string(page) + " -l " +
                 std::to_string(page) + " '" + pdf.string() + "' page" + std::to_string(page));
  cv::Mat pageOne = cv::imread("page1.png"), pageTwo = cv::imread("page2.png");
  ASSERT_FALSE(pageOne.empty());
  ASSERT_FALSE(pageTwo.empty());
  // The ellipse ink (green) and the left foot's trace ink (blue) on page 2, nowhere on page 1's
  // template in those pure shades.
  auto inked = [](const cv::Mat& page, cv::Scalar bgr) {
    cv::Mat mask;
    cv::inRange(page, bgr - cv::Scalar(40, 40, 40), bgr + cv::Scalar(40, 40, 40), mask);
    return cv::countNonZero(mask);
  };
  EXPECT_GT(inked(pageTwo, {60, 160, 0}), 50) << "no ellipse on page 2";
  EXPECT_GT(inked(pageTwo, {220, 90, 30}), 8) << "no left-foot trace on page 2";
  cv::imwrite("report_page2.png", pageTwo);
  reportView->turnPage(1);
  pump(0.5);
  desktop::run("import -window " + std::to_string(fl_xid(reportView)) + " report_window.png");

  // Back to live for the next customer: the recordings are gone from window, page and files.
  reportView->hide();
  takePictureButton->do_callback();
  ASSERT_TRUE(pressureView->live);
  pump(0.3);
  EXPECT_FALSE(pressureView->swayRecorder.result(SwayCondition::EyesOpen).recorded());
  EXPECT_FALSE(pressureView->swayRecorder.result(SwayCondition::EyesClosed).recorded());
  EXPECT_TRUE(window.eyesOpenButton->value());
}

}  // namespace

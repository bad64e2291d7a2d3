// The whole road from "報表" to the customer's files, in a station built in this process on
// the simulated plate: the gate's three refusals in order, then the report view's capture and
// export (PDF, insole tool start, hand-off, pressure PNG), which carry the held picture.
#include <gtest/gtest.h>
// The toolkit's X11 headers define macros that clash with the test framework: include after.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Value_Input.H>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <regex>
#include <string>
#include <vector>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/pressure_reanalysis.h"
#include "pedalyx/report/report_layout.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "report/in_process_station.h"
#include "tools/desktop_driver.h"

namespace fs = std::filesystem;
using namespace in_process_station;

namespace {

std::string onlyPdf() {
  if (!fs::exists("PDF_INSOLES")) return "";
  for (auto& entry : fs::directory_iterator("PDF_INSOLES"))
    if (entry.path().extension() == ".pdf") return entry.path().string();
  return "";
}

}  // namespace

TEST(ReportExportPath, GateRefusesInOrderThenTheReportIsExported) {
  // The insole tool is a stand-in that only notes that it was started, so the hand-off file
  // stays for the test to read.
  fs::path folder = enterScratchStation("export_path_station", "touch cobblet_started");

  // The simulated customer steps on the plate after its first second.
  ASSERT_TRUE(openStationUntilCustomerStands(30)) << "the simulated customer never stood";
  takePictureButton->do_callback();  // hold the picture, so typed results stay
  pump(0.5);
  // The levels the operator sees and measures from now on; every output must carry them.
  const std::vector<uint8_t> heldLevels(pressureView->levelImage,
                                        pressureView->levelImage + kCanvasPixels);

  reportButton->do_callback();
  ASSERT_TRUE(dataEntryWindow->shown());

  // a. No phone: one message, the window stays open.
  confirm();
  EXPECT_EQ(messages(), "聯絡方式為必填項目|聯絡方式欄位空白\n");
  EXPECT_TRUE(dataEntryWindow->shown());
  EXPECT_FALSE(reportView->visible());

  // b. Phone given; the right width is still 0 and so are the arch indexes: sizes come first.
  phoneInput->value("0987 654/..");
  emailInput->value("lin@example.tw");
  birthYearInput->value("1985");
  birthMonthInput->value("11");
  leftLengthInput->value(243.6);
  leftWidthInput->value(94.2);
  rightLengthInput->value(245.1);
  rightWidthInput->value(0);
  confirm();
  EXPECT_EQ(lastMessage(), "腳掌長寬為必填項目|請輸入腳掌長寬\n");

  // c. Sizes complete, arch indexes missing.
  rightWidthInput->value(95);
  confirm();
  EXPECT_EQ(lastMessage(), "足弓指標為必填項目|請輸入足弓指標\n");
  EXPECT_TRUE(dataEntryWindow->shown());
  EXPECT_EQ(onlyPdf(), "") << "no file before the data are complete";

  // d. The operator marks heel and toe of each foot with the arch-index tool: the analyzer
  // computes both arch indexes. Then the data are complete and the report view replaces the
  // data entry and exports at its next draw.
  clickAxes(0.9, 0.1);
  pump(0.5);
  ASSERT_GT(leftArchInput->value(), 0);
  ASSERT_GT(rightArchInput->value(), 0);
  remarksInput->value("右腳足跟偶有疼痛\n建議搭配足弓支撐鞋墊");
  size_t messagesBefore = messages().size();
  confirm();
  EXPECT_EQ(messages().size(), messagesBefore) << lastMessage();
  EXPECT_TRUE(reportView->visible());
  EXPECT_FALSE(dataEntryWindow->shown());
  ASSERT_TRUE(pumpUntil([] { return fs::exists("insole_info.txt") && onlyPdf() != ""; }, 20));
  ASSERT_TRUE(pumpUntil([] { return fs::exists("cobblet_started"); }, 10));

  // Everything named from the phone made safe for file names and one clock reading.
  std::string pdf = onlyPdf();
  std::smatch name;
  ASSERT_TRUE(
      std::regex_match(pdf, name, std::regex("PDF_INSOLES/(0987_654_\\.\\._\\d{12})\\.pdf")))
      << pdf;
  std::string reportName = name[1];
  std::string handoff = platform::readWholeFile("insole_info.txt").value_or("");
  char feet[128];
  std::snprintf(feet, sizeof feet, "left %0.2f 243 94( \\d+){6}\nright %0.2f 245 95( \\d+){6}\n",
                leftArchInput->value(), rightArchInput->value());
  EXPECT_TRUE(std::regex_match(
      handoff, std::regex(feet + std::regex_replace(reportName, std::regex("\\."), "\\."))))
      << handoff;

  std::string info = desktop::run("pdfinfo '" + pdf + "'");
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +2\n"))) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

  // The PDF shows the captured page 1: compare its rendering with pageOnePixels.
  desktop::run("pdftoppm -r 150 -png -singlefile '" + pdf + "' rendered");
  cv::Mat rendered = cv::imread("rendered.png", cv::IMREAD_COLOR);
  ASSERT_FALSE(rendered.empty());
  const auto& page = reportView->pageOnePixels;
  double difference = 0;
  long samples = 0;
  for (int r = 0; r < rendered.rows; r += 5)
    for (int x = 0; x < rendered.cols; x += 5) {
      double fromBottomPt = (rendered.rows - 0.5 - r) * 72.0 / 150;
      int pageRow = report::kPageHeight - 1 - int(fromBottomPt / 848 * report::kPageHeight);
      int pageCol = int((x + 0.5) * 72.0 / 150 / 600 * report::kPageWidth);
      if (pageRow < 0 || pageCol >= report::kPageWidth) continue;
      const unsigned char* want = &page[(size_t(pageRow) * report::kPageWidth + pageCol) * 3];
      cv::Vec3b got = rendered.at<cv::Vec3b>(r, x);
      for (int c = 0; c < 3; ++c) difference += std::abs(int(want[c]) - int(got[2 - c]));
      samples += 3;
    }
  EXPECT_LT(difference / samples, 6.0);

  // The pressure PNG: the plain picture of the snapshot, upright.
  cv::Mat png = cv::imread("FOOT_PRESSURE/" + reportName + ".png", cv::IMREAD_COLOR);
  ASSERT_EQ(png.cols, 320);
  ASSERT_EQ(png.rows, 335);
  cv::Mat plain(335, 320, CV_8UC3, pressureView->plainImage), upright;
  cv::flip(plain, upright, 0);
  EXPECT_EQ(cv::norm(png, upright, cv::NORM_INF), 0);
  EXPECT_GT(cv::countNonZero(cv::Mat(png.reshape(1))), 1000) << "the picture is empty";
  // The exported picture is the held one, level for level, through three refused reports and
  // the export; so the axes' band counts and arch indices re-computed from it are the ones
  // measured at the clicks.
  std::vector<uint8_t> exported;
  std::string reason;
  ASSERT_TRUE(report::levelsOfPressurePicture("FOOT_PRESSURE/" + reportName + ".png",
                                              pressureView->colourTable, exported, reason))
      << reason;
  int changed = 0;
  for (int i = 0; i < kCanvasPixels; ++i) changed += exported[i] != heldLevels[i];
  EXPECT_EQ(changed, 0) << "levels changed since the picture was held";
  const FootZoneAnalyzer& measured = *pressureView->analyzer;
  auto axisOf = [](const FootAxis& a) {
    return report::AxisPoints{a.heelX, a.heelY, a.toeX, a.toeY};
  };
  report::Reanalysis again;
  ASSERT_TRUE(
      report::reanalyse(exported, axisOf(measured.left), axisOf(measured.right), again, reason))
      << reason;
  EXPECT_EQ(again.left.archIndex, measured.left.archIndex);
  EXPECT_EQ(again.right.archIndex, measured.right.archIndex);

  // Nothing written outside the two folders but the hand-off, the examination store and the
  // test's own files.
  for (auto& entry : fs::recursive_directory_iterator(".")) {
    std::string file = fs::relative(entry.path(), ".").generic_string();
    if (!entry.is_regular_file() || fs::exists(fs::path(STATION_DIR) / file)) continue;
    bool expected = file.rfind("PDF_INSOLES/", 0) == 0 || file.rfind("FOOT_PRESSURE/", 0) == 0 ||
                    file == "insole_info.txt" || file == "messages.log" ||
                    file.rfind("examinations.sqlite", 0) == 0 || file == "cobblet_started" ||
                    file == "rendered.png" || file == "Cobblet";
    EXPECT_TRUE(expected) << "unexpected file " << file;
  }
  for (auto& entry : fs::directory_iterator(folder.parent_path()))
    EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();

  // The page, as the operator sees it; kept for a look.
  cv::Mat rgb(report::kPageHeight, report::kPageWidth, CV_8UC3,
              const_cast<unsigned char*>(page.data())),
      bgr;
  cv::cvtColor(rgb, bgr, cv::COLOR_RGB2BGR);
  cv::imwrite("station_page1.png", bgr);
}

// The walking window through its own controls on the simulated walking customer at 60 frames a
// second: a 10 s recording lists the scene's contacts with their feet, dropping one changes
// its foot's means and its row in "Gait.csv", and the report PDF carries the walking page as
// its third page while the recording exists and has two pages once "取圖" has cleared it.
#include <gtest/gtest.h>
// The toolkit's X11 headers define macros that clash with the test framework: include after.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <regex>
#include <sstream>
#include <string>

#include "kept_screenshots.h"
#include "pedalyx/capture/simulated_walk.h"
#include "pedalyx/report/gait_store.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/walk_pictures_ui.h"
#include "pedalyx/shell/walk_window.h"
#include "platform/text_encoding.h"
#include "report/in_process_station.h"
#include "tools/desktop_driver.h"
// Last: it defines X11 names (None) that the station's headers use as enum values.
#include <FL/x.H>

namespace fs = std::filesystem;
using namespace in_process_station;

namespace {

constexpr double kFramesPerSecond = 60;

void keepWindow(Fl_Window* window, const std::string& name) {
  if (kKeptScreenshotFolder.empty()) return;
  Fl::flush();
  desktop::run("import -window " + std::to_string(fl_xid(window)) + " '" + kKeptScreenshotFolder +
               "/" + name + ".png'");
}

// The foot column of a list line, without the list's format codes.
std::string footOfLine(const char* line) {
  const std::string text = line;
  const size_t tab = text.find('\t');
  const std::string column = text.substr(tab + 1, text.find('\t', tab + 1) - tab - 1);
  return column.substr(column.find("@.") + 2);
}

// The held picture with typed sizes and arch indices, the customer's phone and "確定"; the
// report PDF it exports.
fs::path exportReport(const std::string& phone) {
  takePictureButton->do_callback();
  pump(0.5);  // the held picture's results reach their fields first; typed values stay
  leftLengthInput->value(243);
  leftWidthInput->value(94);
  rightLengthInput->value(245);
  rightWidthInput->value(95);
  leftArchInput->value(0.23);
  rightArchInput->value(0.24);
  phoneInput->value(phone.c_str());
  okButton->do_callback();
  fs::path pdf;
  pumpUntil(
      [&] {
        if (!fs::exists("PDF_INSOLES")) return false;
        for (auto& e : fs::directory_iterator("PDF_INSOLES"))
          if (e.path().extension() == ".pdf" && e.path().filename().string().rfind(phone, 0) == 0)
            pdf = e.path();
        return !pdf.empty();
      },
      60);
  return pdf;
}

int pagesOf(const fs::path& pdf) {
  std::smatch pages;
  const std::string info = desktop::run("pdfinfo '" + pdf.string() + "'");
  return std::regex_search(info, pages, std::regex("Pages: +(\\d+)")) ? std::stoi(pages[1]) : 0;
}

TEST(WalkWindow, ContactsOfTheSceneADroppedContactAndTheWalkingPage) {
  enterScratchStation("walk_window", "exit 0");
  setenv("PEDALYX_SIMULATED_CAMERA", "walk", 1);
  setenv("PEDALYX_SIMULATED_FPS", "60", 1);
  runStationStartup();
  buildStation();
  mainWindow->show();
  Fl::add_timeout(0.2, closeMessageBoxes);
  ASSERT_TRUE(pumpUntil(
      [] { return pressureView->ringFrames >= 3 && !pressureView->calibrationRequested; }, 60));
  idInput->value("W 5");
  weightInput->value(70);  // the kPa figures scaled to the body weight
  walkButton->do_callback();
  ASSERT_TRUE(walkWindow->shown());
  auto& window = *static_cast<WalkWindow*>(walkWindow);
  GaitRecorder& recorder = pressureView->gaitRecorder;

  walkSecondsSlider->value(10);
  walkStartButton->do_callback();
  ASSERT_EQ(recorder.state(), GaitRecorder::State::Recording);
  EXPECT_FALSE(walkStartButton->active());
  ASSERT_TRUE(pumpUntil([&] { return recorder.state() == GaitRecorder::State::Done; }, 180));
  pump(0.3);  // the window's follow-up: list, tables, files

  // One list line per contact the scene put down while the camera was read, with its foot.
  const GaitResults& r = recorder.results();
  const SimulatedWalk scene(kFramesPerSecond, 1);
  const double first = r.frames.front().counter / kFramesPerSecond;
  const double last = r.frames.back().counter / kFramesPerSecond;
  std::vector<WalkContactTruth> truths;
  for (const WalkContactTruth& t : scene.contactsBefore(last + 1e-9))
    if (t.offSeconds > first) truths.push_back(t);
  ASSERT_GE(truths.size(), 8u) << "10 s of walking";
  ASSERT_EQ(window.contactList->size(), static_cast<int>(truths.size()));
  ASSERT_EQ(r.contacts.size(), truths.size());
  for (size_t k = 0; k < truths.size(); ++k)
    EXPECT_EQ(footOfLine(window.contactList->text(static_cast<int>(k) + 1)),
              truths[k].left ? "左" : "右")
        << k;

  // The first counted contact of a foot with at least two: dropped from the list's checks.
  size_t dropped = r.contacts.size();
  for (size_t k = 0; k < r.contacts.size() && dropped == r.contacts.size(); ++k)
    if (r.contacts[k].counted() && r.summary.left[0].count >= 2 && r.summary.right[0].count >= 2)
      dropped = k;
  ASSERT_LT(dropped, r.contacts.size());
  const FootSide side = r.contacts[dropped].side();
  const auto& means = side == FootSide::Left ? r.summary.left : r.summary.right;
  const int countBefore = means[0].count;
  const double contactMsBefore = means[0].mean;
  const std::vector<GaitTableRow> tableBefore = window.figureTable->rows();
  window.contactList->select(static_cast<int>(dropped) + 1);
  window.contactList->do_callback();
  ASSERT_EQ(window.chosenContact(), static_cast<int>(dropped));
  EXPECT_FALSE(window.contactPicture->picture().empty());
  EXPECT_EQ(window.contactPicture->picture().dots.size(), r.contacts[dropped].frames.size());
  walkDropCheck->value(1);
  walkDropCheck->do_callback();
  pump(0.2);
  keepWindow(walkWindow, "walk-window");
  EXPECT_TRUE(r.contacts[dropped].dropped);
  EXPECT_EQ(means[0].count, countBefore - 1);
  EXPECT_NE(means[0].mean, contactMsBefore);
  EXPECT_NE(window.figureTable->rows(), tableBefore) << "the table shows the new means";

  if (!kKeptScreenshotFolder.empty()) {
    languageChoice->value(1);
    simplifiedLanguageCallback(nullptr, nullptr);
    pump(0.3);
    keepWindow(walkWindow, "walk-window-simplified");
    languageChoice->value(0);
    traditionalLanguageCallback(nullptr, nullptr);
    analysisWindow->show();
    pump(0.5);
    keepWindow(analysisWindow, "analysis-window");
  }

  // "Gait.csv" holds the recording's rows once, the dropped one marked, as the report shows it.
  const std::string table = platform::big5ToUtf8(platform::readWholeFile("Gait.csv").value_or(""));
  std::vector<std::string> rows;
  for (size_t at = table.find('\n'); at != std::string::npos && at + 1 < table.size();) {
    const size_t end = table.find('\n', at + 1);
    rows.push_back(table.substr(at + 1, end - at - 1));
    at = end;
  }
  ASSERT_EQ(rows.size(), r.contacts.size()) << table;
  for (size_t k = 0; k < rows.size(); ++k) {
    std::vector<std::string> fields;
    std::stringstream row(rows[k]);
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    ASSERT_GT(fields.size(), 6u) << rows[k];
    EXPECT_EQ(fields[6], k == dropped ? "是" : "否") << k << ": " << rows[k];  // 剔除
  }
  EXPECT_EQ(window.examinationPart().rows.size(), r.contacts.size());

  // The report while the recording exists: three A4 pages, the third the walking page.
  const fs::path withWalk = exportReport("0911000111");
  ASSERT_FALSE(withWalk.empty());
  EXPECT_EQ(pagesOf(withWalk), 3);
  desktop::run("pdftoppm -r 150 -png -singlefile -f 3 -l 3 '" + withWalk.string() + "' page3");
  const cv::Mat pageThree = cv::imread("page3.png");
  ASSERT_FALSE(pageThree.empty());
  // The peak pictures' dark blue background (level 0 of the colour table) and the gait line's
  // white dots on it: the page holds both mean pictures.
  cv::Mat background;
  cv::inRange(pageThree, cv::Scalar(40, 0, 0), cv::Scalar(90, 20, 20), background);
  EXPECT_GT(cv::countNonZero(background), 2 * 150 * 300) << "no mean peak pictures";
  if (!kKeptScreenshotFolder.empty())
    cv::imwrite(kKeptScreenshotFolder + "/report-page3.png", pageThree);
  // The window's page buttons reach the third page and back: "next.png" on page 2 as well.
  ASSERT_TRUE(reportView->visible());
  reportView->turnPage(0);
  pump(0.3);
  const desktop::Point at = desktop::windowPosition(fl_xid(reportView));
  const int bottom = at.y + reportView->h() - 30;
  for (int page : {1, 2}) {
    desktop::click(at.x + reportView->w() - 60, bottom);
    EXPECT_TRUE(pumpUntil([&] { return reportView->pageIndex == page; }, 5)) << page;
    keepWindow(reportView, "report-window-page" + std::to_string(page + 1));
  }
  desktop::click(at.x + 60, bottom);
  EXPECT_TRUE(pumpUntil([] { return reportView->pageIndex == 1; }, 5));

  // Back to live for the next customer: the recording is gone from the window and the report.
  reportView->hide();
  takePictureButton->do_callback();
  ASSERT_TRUE(pressureView->live);
  pump(0.3);
  EXPECT_EQ(recorder.state(), GaitRecorder::State::Idle);
  EXPECT_EQ(window.contactList->size(), 0);
  const fs::path withoutWalk = exportReport("0922000222");
  ASSERT_FALSE(withoutWalk.empty());
  EXPECT_EQ(pagesOf(withoutWalk), 2);
}

}  // namespace

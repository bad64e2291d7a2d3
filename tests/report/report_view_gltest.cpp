// The report view composes both pages off-screen; these tests compare the captured pages with
// the templates and the layout, and the exported PDF's rendering with the captured page 1.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <regex>

#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_view.h"
#include "scratch_folder.h"
#include "tools/desktop_driver.h"

namespace fs = std::filesystem;

namespace {

// Page pixel at page coordinates (origin bottom-left) of an RGB top-row-first page.
cv::Vec3b pagePixel(const std::vector<unsigned char>& page, int x, int y) {
  const unsigned char* p =
      &page[(size_t(report::kPageHeight - 1 - y) * report::kPageWidth + x) * 3];
  return {p[0], p[1], p[2]};
}

report::ReportValues customer() {
  report::ReportValues v;
  v.birthYear = "1985";
  v.birthMonth = "11";
  v.genderItem = 1;
  v.phone = "0912 345 678";
  v.email = "lin@example.tw";
  v.leftLength = 243.6;
  v.leftWidth = 94.2;
  v.rightLength = 245.1;
  v.rightWidth = 95.0;
  v.leftArch = 0.22;
  v.rightArch = 0.25;
  const double zones[12] = {22, 18, 9, 6, 25, 20, 19, 23, 5, 10, 21, 22};
  for (int i = 0; i < 12; ++i) v.zones[i] = zones[i];
  v.shareLeft = 48;
  v.shareRight = 52;
  v.shoeSize = "24.5";
  v.leftColumn = 2;
  v.rightColumn = 5;
  v.remarks = "右腳足跟偶有疼痛\n建議搭配足弓支撐鞋墊";
  return v;
}

// One view for the whole program: destroying it ends the process, as in the station.
class ReportView : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static ScratchFolder scratch("report-view-station");  // goes when the program ends
    const fs::path folder = scratch.path();
    for (const char* asset :
         {"Origin_page1.png", "Origin_page2.png", "mark.png", "save.png", "next.png"})
      fs::copy_file(fs::path(STATION_DIR) / asset, folder / asset);
    fs::current_path(folder);
    picture_.assign(report::kPictureWidth * report::kPictureHeight * 3, 0);
    for (size_t i = 0; i < picture_.size(); i += 3) picture_[i + 1] = 200;  // green (B G R)
    view_ = new GL_Display_report();
    view_->readInputs = [] { return ReportInputs{customer(), picture_.data()}; };
    view_->show();
  }

  // Lets the view draw until no capture is pending.
  static void drawUntilCaptured() {
    view_->redraw();
    for (int i = 0; i < 200 && (view_->refreshPending || view_->exportPending); ++i) {
      Fl::wait(0.02);
      view_->redraw();
    }
    Fl::flush();
  }

  static GL_Display_report* view_;
  static std::vector<unsigned char> picture_;
};

GL_Display_report* ReportView::view_ = nullptr;
std::vector<unsigned char> ReportView::picture_;

}  // namespace

TEST_F(ReportView, PageOneHoldsTemplatePictureMarksAndDots) {
  view_->refreshPending = true;
  drawUntilCaptured();
  ASSERT_FALSE(view_->refreshPending);
  const auto& page = view_->pageOnePixels;
  cv::Mat tmpl = cv::imread("Origin_page1.png", cv::IMREAD_COLOR);
  ASSERT_EQ(tmpl.cols, report::kPageWidth);

  // Template areas the view does not draw on come through unchanged (header band, footer).
  for (auto [x, y] : {std::pair{20, 1740}, {600, 1700}, {1200, 40}, {60, 900}}) {
    cv::Vec3b bgr = tmpl.at<cv::Vec3b>(report::kPageHeight - 1 - y, x);
    EXPECT_EQ(pagePixel(page, x, y), cv::Vec3b(bgr[2], bgr[1], bgr[0])) << x << "," << y;
  }
  EXPECT_EQ(pagePixel(page, 130, 1000), cv::Vec3b(0, 0, 255));  // blue bar
  EXPECT_EQ(pagePixel(page, 660, 800), cv::Vec3b(0, 0, 255));
  EXPECT_EQ(pagePixel(page, 400, 970), cv::Vec3b(0, 200, 0));  // the pressure picture

  // Marks over foot-type columns 2 and 5: their centres take the mark's centre colour.
  // The mark's disc just below its top edge (row 10 of 65) is red.
  cv::Mat mark = cv::imread("mark.png", cv::IMREAD_COLOR);
  cv::Vec3b disc = mark.at<cv::Vec3b>(10, 32);
  ASSERT_GT(disc[2], 150);
  ASSERT_LT(disc[1], 100);
  cv::Vec3b discRgb(disc[2], disc[1], disc[0]);
  auto near = [](cv::Vec3b a, cv::Vec3b b) { return cv::norm(cv::Vec3i(a) - cv::Vec3i(b)) < 40; };
  EXPECT_TRUE(near(pagePixel(page, 377 + 32, 669 - 11), discRgb));
  EXPECT_TRUE(near(pagePixel(page, 796 + 32, 669 - 11), discRgb));
  for (int x : {175, 276, 478, 695, 897, 998})  // other columns stay unmarked
    EXPECT_FALSE(near(pagePixel(page, x + 32, 669 - 11), discRgb)) << x;

  // Arch indexes 0.22 and 0.25: the two basic-function dots, not the control-type one.
  EXPECT_EQ(pagePixel(page, 316, 211), cv::Vec3b(255, 0, 0));
  EXPECT_EQ(pagePixel(page, 547, 211), cv::Vec3b(255, 0, 0));
  EXPECT_NE(pagePixel(page, 316, 140), cv::Vec3b(255, 0, 0));

  // Grey text where the phone is written (the base line starts at 235, 1589).
  int grey = 0;
  for (int y = 1589; y < 1615; ++y)
    for (int x = 235; x < 400; ++x) {
      cv::Vec3b p = pagePixel(page, x, y);
      if (p[0] < 200 && p[0] == p[1] && p[1] == p[2]) ++grey;
    }
  EXPECT_GT(grey, 100) << "the phone number was not written";

  cv::Mat rgb(report::kPageHeight, report::kPageWidth, CV_8UC3, view_->pageOnePixels.data()), bgr;
  cv::cvtColor(rgb, bgr, cv::COLOR_RGB2BGR);
  cv::imwrite("report_page1.png", bgr);
  cv::Mat rgb2(report::kPageHeight, report::kPageWidth, CV_8UC3, view_->pageTwoPixels.data());
  cv::cvtColor(rgb2, bgr, cv::COLOR_RGB2BGR);
  cv::imwrite("report_page2.png", bgr);
}

TEST_F(ReportView, PageTwoHoldsBalanceMarkAndRemarkLines) {
  view_->refreshPending = true;
  drawUntilCaptured();
  const auto& page = view_->pageTwoPixels;
  cv::Mat mark = cv::imread("mark.png", cv::IMREAD_COLOR);
  cv::Vec3b c = mark.at<cv::Vec3b>(10, 32);
  auto red = [&](int x, int y) {
    return cv::norm(cv::Vec3i(pagePixel(page, x, y)) - cv::Vec3i(c[2], c[1], c[0])) < 40;
  };
  EXPECT_TRUE(red(190, 1409 - 10));  // shares 48 / 52: balanced
  EXPECT_FALSE(red(190, 1309 - 10));
  EXPECT_FALSE(red(190, 1159 - 10));
  auto inked = [&](int baseline) {
    int count = 0;
    for (int y = baseline; y < baseline + 26; ++y)
      for (int x = 165; x < 500; ++x)
        if (pagePixel(page, x, y)[0] < 200) ++count;
    return count;
  };
  EXPECT_GT(inked(259), 100);  // first remark line
  EXPECT_GT(inked(224), 100);  // second line
  EXPECT_LT(inked(189), 20);   // nothing more
}

TEST_F(ReportView, ExportedPdfIsOneA4PageThatRendersLikePageOne) {
  view_->runExport = [](GL_Display_report& view) {
    report::ExportInputs in;
    in.phone = "0912/345";
    in.time = {2027, 3, 3, 9, 5, 0};
    in.pageOnePixels = view.pageOnePixels.data();
    in.plainImage = picture_.data();
    in.startProgram = [](const std::string&) {};
    report::exportReport(in);
  };
  view_->exportPending = true;
  drawUntilCaptured();
  const std::string pdf = "PDF_INSOLES/0912_345_202703030905.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  std::string info = desktop::run("pdfinfo " + pdf);
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +1\n"))) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

  desktop::run("pdftoppm -r 150 -png -singlefile " + pdf + " rendered");
  cv::Mat rendered = cv::imread("rendered.png", cv::IMREAD_COLOR);
  ASSERT_FALSE(rendered.empty());
  // The image is placed 600 x 848 points from the bottom-left corner: rendered pixel (x, r)
  // shows page pixel (x * 595.276 / 600, ...) counted from the page's bottom edge.
  cv::Mat rgb(report::kPageHeight, report::kPageWidth, CV_8UC3, view_->pageOnePixels.data());
  double difference = 0;
  int samples = 0;
  for (int r = 0; r < rendered.rows; r += 7)
    for (int x = 0; x < rendered.cols; x += 7) {
      double fromBottomPt = (rendered.rows - 0.5 - r) * 72.0 / 150;
      int pageRow = report::kPageHeight - 1 - int(fromBottomPt / 848 * report::kPageHeight);
      int pageCol = int((x + 0.5) * 72.0 / 150 / 600 * report::kPageWidth);
      if (pageRow < 0 || pageCol >= report::kPageWidth) continue;
      cv::Vec3b want = rgb.at<cv::Vec3b>(pageRow, pageCol), got = rendered.at<cv::Vec3b>(r, x);
      for (int c = 0; c < 3; ++c) difference += std::abs(int(want[c]) - int(got[2 - c]));
      samples += 3;
    }
  ASSERT_GT(samples, 100000);
  EXPECT_LT(difference / samples, 6.0) << "the PDF does not show page 1";
  EXPECT_TRUE(fs::exists("FOOT_PRESSURE/0912_345_202703030905.png"));
}

// The operator turns pages with the two pictures the window draws at its bottom corners:
// "next.png" at the right of page 1, "save.png" at the left of page 2.
TEST_F(ReportView, PageButtonsTurnBetweenThePages) {
  view_->refreshPending = true;
  drawUntilCaptured();
  ASSERT_EQ(view_->pageIndex, 0);
  // The report view is this program's only window.
  const std::vector<unsigned long> windows = desktop::visibleWindows();
  ASSERT_EQ(windows.size(), 1u);
  const desktop::Point at = desktop::windowPosition(windows[0]);
  const int bottom = at.y + view_->h() - 30;
  desktop::click(at.x + 60, bottom);  // where "save.png" lies on page 2: nothing on page 1
  Fl::wait(0.3);
  EXPECT_EQ(view_->pageIndex, 0);
  desktop::click(at.x + view_->w() - 60, bottom);
  for (int i = 0; i < 20 && view_->pageIndex == 0; ++i) Fl::wait(0.05);
  EXPECT_EQ(view_->pageIndex, 1);
  desktop::click(at.x + view_->w() - 60, bottom);  // "next.png" is not on page 2
  Fl::wait(0.3);
  EXPECT_EQ(view_->pageIndex, 1);
  desktop::click(at.x + 60, bottom);
  for (int i = 0; i < 20 && view_->pageIndex == 1; ++i) Fl::wait(0.05);
  EXPECT_EQ(view_->pageIndex, 0);
}

// The operator opens the report once per customer, and each opening gets a new GL context.
// The station's other GL windows keep the shared objects of the old context alive, so a page
// target left behind (20 MB of attachments) made the station grow by that much per customer.
TEST_F(ReportView, ReopeningTheWindowKeepsNoOldPageTarget) {
  struct PressureWindow : Fl_Gl_Window {
    PressureWindow() : Fl_Gl_Window(600, 0, 64, 64) {}
    void draw() override {}
  } pressureWindow;
  pressureWindow.show();
  pressureWindow.make_current();  // its context shares the report's objects from now on

  auto heapInUse = [] {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024 * 1024);
  };
  auto reopen = [] {
    view_->hide();
    Fl::wait(0.05);
    view_->show();
    view_->refreshPending = true;
    drawUntilCaptured();
  };
  reopen();  // the first re-opening may settle caches of its own
  const double before = heapInUse();
  for (int customer = 0; customer < 4; ++customer) reopen();
  EXPECT_LT(heapInUse() - before, 12.0) << "MB kept over four re-openings of the report";
  pressureWindow.hide();
}

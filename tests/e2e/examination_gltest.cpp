// One whole examination in the real windows, played by tools/play_examination as an operator
// would (mouse clicks and key presses only), then every file the station and the insole tool
// wrote is checked against the value it came from.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cobblet/admesh_report.h"
#include "platform/files.h"
#include "scratch_folder.h"
#include "tools/desktop_driver.h"
#include "tools/examination_plan.h"

namespace {

using desktop::run;

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::istringstream listing(run("ls -1 '" + folder + "' 2>/dev/null"));
  for (std::string name; std::getline(listing, name);) names.push_back(name);
  return names;
}

std::vector<std::string> splitCsv(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : line) {
    if (c == ',') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

struct HandoffFoot {
  double arch = 0;
  int numbers[8] = {};  // length, width, six zone shares
};

bool parseHandoff(const std::string& text, HandoffFoot& left, HandoffFoot& right,
                  std::string& name) {
  std::istringstream in(text);
  std::string word;
  in >> word;
  if (word != "left") return false;
  in >> left.arch;
  for (int& n : left.numbers) in >> n;
  in >> word;
  if (word != "right") return false;
  in >> right.arch;
  for (int& n : right.numbers) in >> n;
  in >> name;
  return static_cast<bool>(in) || in.eof();
}

// What the length and width tools give for two presses at window points a and b: view points
// with the origin bottom left, image points at 320/533 and 335/558, 1.07 mm per image pixel.
int measuredMillimetres(WindowPoint a, WindowPoint b) {
  auto image = [](WindowPoint p, int& x, int& y) {
    const int viewX = p.x - 5, viewY = 558 - 1 - (p.y - 86);
    x = static_cast<int>(320.0f / 533.0f * static_cast<float>(viewX));
    y = static_cast<int>(335.0f / 558.0f * static_cast<float>(viewY));
  };
  int ax, ay, bx, by;
  image(a, ax, ay);
  image(b, bx, by);
  float squared =
      static_cast<float>((ax - bx) * (ax - bx)) + static_cast<float>((ay - by) * (ay - by));
  int pixels = static_cast<int>(std::sqrt(squared));
  return static_cast<int>(pixels * 1.07);
}

class Examination : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static ScratchFolder scratch("examination");  // goes when the program ends
    folder_ = scratch.path();
    output_ = folder_ + "/played";
    folder_ += "/station";
    // The staged programs and data, without what earlier examinations left there.
    run("mkdir -p '" + folder_ + "' && cp -r '" STATION_DIR "/.' '" + folder_ + "/' && cd '" +
        folder_ +
        "' && rm -rf PDF_INSOLES FOOT_PRESSURE PressureImage examination Database_2080.csv "
        "insole_info.txt");
    int status = std::system((std::string(TOOLS_DIR) + "/play_examination '" + folder_ + "' '" +
                              output_ + "' > '" + folder_ + "/../player.txt' 2>&1")
                                 .c_str());
    played_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  void SetUp() override {
    ASSERT_TRUE(played_) << platform::readWholeFile(folder_ + "/../player.txt").value_or("")
                         << "\nscreenshots in " << output_;
  }

  static std::string handoff() {
    return platform::readWholeFile(output_ + "/insole_info.txt").value_or("");
  }

  static std::string folder_, output_;
  static bool played_;
};

std::string Examination::folder_, Examination::output_;
bool Examination::played_ = false;

TEST_F(Examination, ReportNameJoinsThePdfThePictureAndBothInsoles) {
  HandoffFoot left, right;
  std::string name;
  ASSERT_TRUE(parseHandoff(handoff(), left, right, name)) << handoff();
  const ExaminationPlan plan = planExamination();
  EXPECT_TRUE(std::regex_match(name, std::regex(plan.phone + "_20[0-9]{10}"))) << name;
  // The hand-off ends with the name and no line end, and the insole tool consumed it.
  EXPECT_EQ(handoff().substr(handoff().size() - name.size()), name);
  EXPECT_FALSE(platform::fileExists(folder_ + "/insole_info.txt"));

  std::vector<std::string> reports = filesIn(folder_ + "/PDF_INSOLES");
  std::sort(reports.begin(), reports.end());
  EXPECT_EQ(reports,
            (std::vector<std::string>{name + ".pdf", name + "_iLeft.bmp", name + "_iLeft.stl",
                                      name + "_iRight.bmp", name + "_iRight.stl"}));
  EXPECT_EQ(filesIn(folder_ + "/FOOT_PRESSURE"), std::vector<std::string>{name + ".png"});
}

TEST_F(Examination, PdfIsTwoA4PagesAndPageOneRenders) {
  std::vector<std::string> reports = filesIn(folder_ + "/PDF_INSOLES");
  ASSERT_FALSE(reports.empty());
  std::string info = run("pdfinfo '" + folder_ + "/PDF_INSOLES/" + reports[0] + "'");
  EXPECT_NE(info.find("Pages:           2\n"), std::string::npos) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  cv::Mat page = cv::imread(output_ + "/report_page1.png");
  ASSERT_FALSE(page.empty());
  // A rendered page is not blank: the report's headings and pictures cover part of it.
  cv::Mat grey;
  cv::cvtColor(page, grey, cv::COLOR_BGR2GRAY);
  EXPECT_GT(cv::countNonZero(grey < 200), page.total() / 20);
}

TEST_F(Examination, HandoffCarriesTheMeasuredFeet) {
  HandoffFoot feet[2];
  std::string name;
  ASSERT_TRUE(parseHandoff(handoff(), feet[0], feet[1], name)) << handoff();
  const ExaminationPlan plan = planExamination();
  for (int side = 0; side < 2; ++side) {
    SCOPED_TRACE(side == 0 ? "left" : "right");
    const FootPlan& foot = plan.feet[side];
    EXPECT_EQ(feet[side].numbers[0], measuredMillimetres(foot.back, foot.front));
    EXPECT_EQ(feet[side].numbers[1], measuredMillimetres(foot.inner, foot.outer));
    // A normal simulated customer: the arch index lies in the normal class.
    EXPECT_GE(feet[side].arch, 0.21);
    EXPECT_LE(feet[side].arch, 0.26);
    int zoneSum = 0;
    for (int k = 2; k < 8; ++k) zoneSum += feet[side].numbers[k];
    // Six shares of one foot, each rounded to a whole percent in its field.
    EXPECT_GE(zoneSum, 97);
    EXPECT_LE(zoneSum, 103);
  }
}

TEST_F(Examination, DatabaseRowHoldsTheSameZonesAsTheHandoff) {
  HandoffFoot left, right;
  std::string name;
  ASSERT_TRUE(parseHandoff(handoff(), left, right, name));
  std::string database = platform::readWholeFile(folder_ + "/Database_2080.csv").value_or("");
  size_t rowStart = database.rfind('\n');
  ASSERT_NE(rowStart, std::string::npos) << "header and one row expected";
  std::vector<std::string> row = splitCsv(database.substr(rowStart + 1));
  ASSERT_EQ(row.size(), 51u);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(std::atoi(row[21 + k].c_str()), left.numbers[2 + k]) << "left zone " << k;
    EXPECT_EQ(std::atoi(row[27 + k].c_str()), right.numbers[2 + k]) << "right zone " << k;
  }
  // Three balance bitmaps named with the row's stamp and the default 20/80 split.
  std::vector<std::string> bitmaps = filesIn(folder_ + "/PressureImage");
  std::sort(bitmaps.begin(), bitmaps.end());
  EXPECT_EQ(bitmaps, (std::vector<std::string>{row[0] + "_20_80.bmp", row[0] + "_50_50.bmp",
                                               row[0] + "_80_20.bmp"}));
}

TEST_F(Examination, BothInsoleModelsLoadInAdmeshWithoutAnyRepair) {
  for (const std::string& name : filesIn(folder_ + "/PDF_INSOLES")) {
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".stl") != 0) continue;
    SCOPED_TRACE(name);
    const std::string report = admesh::report(folder_ + "/PDF_INSOLES/" + name);
    ASSERT_NE(report.find("Binary STL"), std::string::npos) << report;
    EXPECT_EQ(admesh::figure(report, "Number of parts"), 1) << report;
    for (const char* label : admesh::kRepairLabels) EXPECT_EQ(admesh::figure(report, label), 0);
  }
}

TEST_F(Examination, InsolesAreMirroredFitsOfTheTemplate) {
  std::vector<std::string> reports = filesIn(folder_ + "/PDF_INSOLES");
  std::sort(reports.begin(), reports.end());
  ASSERT_EQ(reports.size(), 5u);
  cv::Mat left = cv::imread(folder_ + "/PDF_INSOLES/" + reports[1], cv::IMREAD_GRAYSCALE);
  cv::Mat right = cv::imread(folder_ + "/PDF_INSOLES/" + reports[3], cv::IMREAD_GRAYSCALE);
  cv::Mat original =
      cv::imread(folder_ + "/255mm narrow 20220606 backmove 5mm.bmp", cv::IMREAD_GRAYSCALE);
  ASSERT_FALSE(left.empty());
  ASSERT_FALSE(right.empty());
  EXPECT_EQ(left.size(), original.size());
  EXPECT_EQ(right.size(), original.size());
  EXPECT_GT(cv::countNonZero(left), static_cast<int>(left.total() / 4));
  // Both feet measured alike, so the right insole is the left one mirrored, give or take the
  // pixel columns the mirroring shifts.
  cv::Mat mirrored;
  cv::flip(right, mirrored, 1);
  cv::Mat difference;
  cv::absdiff(left, mirrored, difference);
  EXPECT_LT(cv::mean(difference)[0], 6.0);
  EXPECT_GT(cv::mean(cv::abs(left - right))[0] + cv::mean(cv::abs(right - left))[0], 0.5)
      << "left and right insoles are the same picture, not mirror images";
}

TEST_F(Examination, LoadShowsTheSavedPressurePictureForReview) {
  std::vector<std::string> pictures = filesIn(folder_ + "/FOOT_PRESSURE");
  ASSERT_EQ(pictures.size(), 1u);
  cv::Mat picture = cv::imread(folder_ + "/FOOT_PRESSURE/" + pictures[0]);
  ASSERT_EQ(picture.cols, 320);
  ASSERT_EQ(picture.rows, 335);
  cv::Mat shown = cv::imread(output_ + "/review_view.png");
  ASSERT_FALSE(shown.empty());
  cv::Mat scaled;
  cv::resize(picture, scaled, shown.size(), 0, 0, cv::INTER_NEAREST);
  cv::Mat difference;
  cv::absdiff(shown, scaled, difference);
  // The overlay (axes, bands, marks) covers a small part; the rest is the saved picture.
  cv::Mat grey;
  cv::cvtColor(difference, grey, cv::COLOR_BGR2GRAY);
  EXPECT_LT(cv::countNonZero(grey > 40), static_cast<int>(grey.total() / 10));
  std::string console = platform::readWholeFile(output_ + "/pedalyx_console.txt").value_or("");
  EXPECT_EQ(console.find("refused"), std::string::npos);
}

}  // namespace

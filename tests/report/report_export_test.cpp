#include "pedalyx/report/report_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <opencv2/imgcodecs.hpp>
#include <regex>
#include <vector>

#include "pedalyx/report/report_layout.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace fs = std::filesystem;
using namespace report;

namespace {

const platform::LocalTime kMarchThird{2027, 3, 3, 9, 5, 41};

// Runs each test in an empty working directory of its own, removed after the test.
class ExportFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    root_ = scratch_.path();
    fs::create_directories(root_ / "station");
    fs::current_path(root_ / "station");
  }
  void TearDown() override { fs::current_path(previous_); }

  ExportInputs inputs(const std::string& phone) {
    page_.assign(size_t(kPageWidth) * kPageHeight * 3, 200);
    pageTwo_.assign(size_t(kPageWidth) * kPageHeight * 3, 40);
    picture_.assign(size_t(kPictureWidth) * kPictureHeight * 3, 0);
    // Bottom row blue (B first), so the upright PNG must have it as its last row.
    for (int x = 0; x < kPictureWidth; ++x) picture_[x * 3] = 255;
    ExportInputs in;
    in.phone = phone;
    in.time = kMarchThird;
    in.pageOnePixels = page_.data();
    in.pageTwoPixels = pageTwo_.data();
    in.plainImage = picture_.data();
    in.left = {0.254, 252.9, 98, {}};
    in.right = {0.3, 250, 97, {}};
    in.console = [this](const std::string& line) { console_ += line; };
    in.startProgram = [this](const std::string& command) {
      started_ += command;
      handoffBeforeStart_ = fs::exists(kInsoleHandoffPath);
    };
    return in;
  }

  // Every regular file below the test's root, relative to the station folder.
  std::vector<std::string> filesWritten() {
    std::vector<std::string> files;
    for (auto& entry : fs::recursive_directory_iterator(root_))
      if (entry.is_regular_file())
        files.push_back(fs::relative(entry.path(), root_ / "station").generic_string());
    return files;
  }

  ScratchFolder scratch_{"report-export"};
  fs::path previous_, root_;
  std::vector<uint8_t> page_, pageTwo_, picture_;
  std::string console_, started_;
  bool handoffBeforeStart_ = true;
};

}  // namespace

TEST(ReportNames, PhoneAndOneClockReadingNameEveryFile) {
  std::string name = reportName("0987", kMarchThird);
  EXPECT_EQ(name, "0987_202703030905");
  EXPECT_EQ(pdfPath(name), "./PDF_INSOLES/0987_202703030905.pdf");
  EXPECT_EQ(pngPath(name), "./FOOT_PRESSURE/0987_202703030905.png");
  EXPECT_EQ(reportName("0987", {12027, 12, 31, 23, 59, 0}), "0987_1202712312359");
}

TEST(ReportNames, FileNamesNeverCarryPathsSpacesOrControls) {
  EXPECT_EQ(phoneForFileName("0912 345 678"), "0912_345_678");
  EXPECT_EQ(phoneForFileName("../../etc/passwd"), "___.._etc_passwd");
  EXPECT_EQ(phoneForFileName(".0912"), "_0912") << "a leading dot would hide the report";
  EXPECT_EQ(phoneForFileName("a\\b:c*d?e\"f<g>h|i\tj\nk\x7f"), "a_b_c_d_e_f_g_h_i_j_k_");
  EXPECT_EQ(phoneForFileName("王小明\xE3\x80\x80電話"), "王小明_電話");  // ideographic space
  EXPECT_EQ(phoneForFileName("\xff\xfe"
                             "12"),
            "__12");                              // broken UTF-8
  EXPECT_EQ(phoneForFileName("\xE7\x8E"), "__");  // cut-off character

  std::string longChinese;
  for (int i = 0; i < 60; ++i) longChinese += "電";  // 180 bytes
  std::string cut = phoneForFileName(longChinese);
  EXPECT_EQ(cut.size(), 114u);  // 38 whole characters
  EXPECT_LE(reportName(std::string(500, '9'), kMarchThird).size(), 127u);
}

TEST_F(ExportFolder, WritesPdfHandoffAndPngInOrderAndCreatesTheFolders) {
  ExportResult result = exportReport(inputs("0987"));
  EXPECT_EQ(result.reportName, "0987_202703030905");
  EXPECT_TRUE(result.pdfWritten && result.handoffWritten && result.pngWritten);
  EXPECT_EQ(started_, "./Cobblet.exe");
  EXPECT_FALSE(handoffBeforeStart_);  // the tool is started before the hand-off is written

  EXPECT_EQ(console_,
            "can not find ./PDF_INSOLES/ folder \n"
            "create ./PDF_INSOLES/ folder sucess \n"
            "can create PdfDoc object\n"
            "can not find ./FOOT_PRESSURE/ folder \n"
            "create ./FOOT_PRESSURE/ folder sucess \n");
  EXPECT_EQ(platform::readWholeFile("./insole_info.txt").value_or(""),
            "left 0.25 252 98 0 0 0 0 0 0\nright 0.30 250 97 0 0 0 0 0 0\n0987_202703030905");

  cv::Mat png = cv::imread("./FOOT_PRESSURE/0987_202703030905.png", cv::IMREAD_COLOR);
  ASSERT_EQ(png.cols, 320);
  ASSERT_EQ(png.rows, 335);
  EXPECT_EQ(png.at<cv::Vec3b>(334, 0), cv::Vec3b(255, 0, 0));
  EXPECT_EQ(png.at<cv::Vec3b>(0, 0), cv::Vec3b(0, 0, 0));

  std::string pdf = platform::readWholeFile("./PDF_INSOLES/0987_202703030905.pdf").value_or("");
  ASSERT_GT(pdf.size(), 1000u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Width 1240"), std::string::npos);
  EXPECT_NE(pdf.find("/FlateDecode"), std::string::npos);  // image compression on

  // The second export finds both folders.
  console_.clear();
  exportReport(inputs("0987"));
  EXPECT_NE(console_.find("./PDF_INSOLES/ folder found \n"), std::string::npos);
  EXPECT_NE(console_.find("./FOOT_PRESSURE/ folder found \n"), std::string::npos);
}

TEST_F(ExportFolder, HostilePhoneTextsWriteOnlyInsideTheTwoFolders) {
  for (const char* phone : {"../../escape", "/tmp/abs", "a b", "..", "x/../../y", "\\..\\z"}) {
    ExportResult result = exportReport(inputs(phone));
    EXPECT_TRUE(result.pdfWritten && result.pngWritten) << phone;
    // The hand-off name has no white space, so the insole tool reads the whole name.
    std::string handoff = platform::readWholeFile("./insole_info.txt").value_or("");
    EXPECT_EQ(handoff.substr(handoff.rfind('\n') + 1), result.reportName) << phone;
    EXPECT_EQ(result.reportName.find_first_of(" /\\"), std::string::npos) << phone;
  }
  for (const std::string& file : filesWritten())
    EXPECT_TRUE(file == "insole_info.txt" || file.rfind("PDF_INSOLES/", 0) == 0 ||
                file.rfind("FOOT_PRESSURE/", 0) == 0)
        << file;
  EXPECT_FALSE(fs::exists("/tmp/abs_202703030905.pdf"));
}

TEST_F(ExportFolder, AFolderThatCannotBeMadeIsReportedAndTheRestStillRuns) {
  platform::writeFileAtomic("PDF_INSOLES", "a file where the folder should be");
  ExportResult result = exportReport(inputs("0987"));
  EXPECT_FALSE(result.pdfWritten);
  EXPECT_NE(console_.find("create ./PDF_INSOLES/ folder fail \n"), std::string::npos);
  EXPECT_EQ(started_, "./Cobblet.exe");
  EXPECT_TRUE(result.handoffWritten);
  EXPECT_TRUE(result.pngWritten);
}

// An arch index typed as "inf" once reached the insole tool as "right inf …", where it became
// the record name and both insoles were saved under a wrong name.
TEST_F(ExportFolder, FeetTheInsoleToolWouldRefuseAreNotHandedOverAndTheOperatorIsTold) {
  ExportInputs in = inputs("0987");
  in.right.archIndex = std::numeric_limits<double>::infinity();
  ExportResult result = exportReport(in);
  EXPECT_TRUE(result.pdfWritten && result.pngWritten);
  EXPECT_FALSE(result.handoffWritten);
  EXPECT_FALSE(fs::exists(kInsoleHandoffPath));
  EXPECT_EQ(started_, "") << "no insole tool waiting for a hand-off that never comes";
  EXPECT_NE(console_.find("insole hand-off not written: right arch index"), std::string::npos)
      << console_;
  EXPECT_NE(describeExportFailure(result).find("right arch index"), std::string::npos);

  for (double length : {0.4, 401.0, 2e10, std::nan("")}) {
    FootHandoff foot{0.25, length, 98, {}};
    EXPECT_FALSE(handoffRefusal(foot, in.left).empty()) << length;
  }
  EXPECT_EQ(handoffRefusal(in.left, FootHandoff{0.25, 400, 200, {150, -3, 0, 0, 0, 0}}), "");
  EXPECT_EQ(describeExportFailure(exportReport(inputs("0987"))), "");
}

TEST_F(ExportFolder, PdfHoldsBothA4PagesInOrder) {
  ExportInputs in = inputs("0987");
  ASSERT_TRUE(writePdf(in.pageOnePixels, in.pageTwoPixels, "page.pdf", in.console));
  FILE* pipe = popen("pdfinfo page.pdf 2>&1", "r");
  ASSERT_NE(pipe, nullptr);
  std::string info;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) info += buffer;
  pclose(pipe);
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +2\n"))) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  // Both pages render, each with its own picture (grey 200, then grey 40).
  for (int page : {1, 2}) {
    std::string command = "pdftoppm -r 20 -png -singlefile -f " + std::to_string(page) + " -l " +
                          std::to_string(page) + " page.pdf page" + std::to_string(page);
    ASSERT_EQ(std::system(command.c_str()), 0);
    cv::Mat rendered = cv::imread("page" + std::to_string(page) + ".png", cv::IMREAD_GRAYSCALE);
    ASSERT_FALSE(rendered.empty());
    EXPECT_NEAR(rendered.at<uchar>(rendered.rows / 2, rendered.cols / 2), page == 1 ? 200 : 40, 3);
  }
}

// The balance test, the measurement database and the review loader, driven on the staged station
// with the simulated plate's balance scene (the left share swings between 20 % and 80 % every
// ten seconds).
#include <gtest/gtest.h>

#include <cstdio>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/text_encoding.h"
#include "report/station_driver.h"

namespace {

using station_test::pause;
using station_test::StationRun;
using station_test::WindowPlace;

// Places of the controls, window coordinates.
const cv::Point kArchToolButton(211, 48);
const cv::Point kAnalysisAreaButton(468, 736);
const cv::Point kLoadButton(605, 667);
const cv::Rect kPressureView(5, 86, 533, 558);
const cv::Rect kShareLeftField(724, 309, 40, 24);
const cv::Rect kShareRightField(792, 309, 40, 24);
const cv::Point kAutoCaptureCheck(55, 30);
const cv::Rect kBalanceViews[3] = {{40, 116, 320, 335}, {405, 116, 320, 335}, {770, 116, 320, 335}};
const cv::Point kIdInput(170, 557);
const cv::Point kGenderChoice(100, 587);
const cv::Point kHeightInput(90, 646);
const cv::Point kWeightInput(90, 674);
const cv::Point kRatioSlider(600, 31);
const cv::Point kSaveButton(1092, 684);

void click(const WindowPlace& window, cv::Point at, int button = 1) {
  StationRun::click(window, at.x, at.y, button);
}

cv::Mat crop(const cv::Mat& screen, const WindowPlace& window, cv::Rect area) {
  return screen(area + cv::Point(window.x, window.y)).clone();
}

bool samePixels(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// Share of pixels that are not black.
double litShare(const cv::Mat& picture) {
  cv::Mat grey;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  return static_cast<double>(cv::countNonZero(grey)) / grey.total();
}

// Replaces the field's text as an operator does: click, select all, type, leave with Tab.
void enterText(const WindowPlace& window, cv::Point field, const std::string& text) {
  click(window, field);
  StationRun::key("End shift+Home");
  StationRun::typeText(text);
  StationRun::key("Tab");
  pause(0.2);
}

// Fields of a CSV row in the standard quoting.
std::vector<std::string> csvFields(const std::string& row) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < row.size(); ++i) {
    char c = row[i];
    if (quoted) {
      if (c == '"' && i + 1 < row.size() && row[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// Foot axes with the arch-index tool as its hint says, from the middle of the back of each heel
// to the base of its second toe, so the six-zone shares are measured and a firm stance puts
// more than half of a foot's load on its heel row and more than a quarter on its forefoot row.
void placeFootAxes(const WindowPlace& main) {
  click(main, kArchToolButton);
  const cv::Point clicks[4] = {{103, 481}, {124, 171}, {430, 481}, {409, 171}};
  for (cv::Point at : clicks) click(main, at + kPressureView.tl());
}

TEST(BalanceDatabase, AutoCaptureFillsTheViewsAndSaveStoresTheRowAndThreeBitmaps) {
  StationRun run("balance");
  WindowPlace main = run.findWindow("", 959, 772);
  ASSERT_FALSE(main.id.empty()) << run.console();
  pause(4);
  placeFootAxes(main);
  click(main, kAnalysisAreaButton);
  WindowPlace analysis = run.findWindow("", 1129, 754);
  ASSERT_FALSE(analysis.id.empty());

  click(analysis, kAutoCaptureCheck);
  pause(13);                           // more than one whole swing of the customer's weight
  click(analysis, kAutoCaptureCheck);  // off: the pictures hold still from here on
  pause(0.5);
  cv::Mat screen = cv::imread(run.screenshot("balance_views.png"));
  ASSERT_FALSE(screen.empty());
  cv::Mat views[3];
  for (int i = 0; i < 3; ++i) {
    views[i] = crop(screen, analysis, kBalanceViews[i]);
    EXPECT_GT(litShare(views[i]), 0.5) << "balance view " << i << " stayed black";
  }

  enterText(analysis, kIdInput, "Lin, Amy");
  enterText(analysis, kHeightInput, "172.9");
  enterText(analysis, kWeightInput, "65.4");
  click(analysis, kGenderChoice);  // the menu opens over the choice
  pause(1);
  StationRun::key("--delay 200 Down Down Return");
  click(analysis, kRatioSlider);
  StationRun::key("--repeat 100 --delay 5 Left");
  StationRun::key("--repeat 35 --delay 5 Right");
  run.screenshot("analysis_filled.png");
  click(analysis, kSaveButton);
  pause(1.5);

  const std::string database = platform::readWholeFile(run.path("Database_2080.csv")).value_or("");
  const size_t lineEnd = database.find('\n');
  ASSERT_NE(lineEnd, std::string::npos) << run.console();
  const std::string header = platform::big5ToUtf8(database.substr(0, lineEnd));
  EXPECT_EQ(header.rfind("時間戳,ID,Gender,", 0), 0u) << header;
  EXPECT_NE(header.find(",35/65足弓指標 L,35/65足弓指標 R,50/50足弓指標 L,"), std::string::npos);
  std::vector<std::string> row = csvFields(database.substr(lineEnd + 1));
  ASSERT_EQ(row.size(), 52u) << database;
  EXPECT_EQ(row[1], "Lin, Amy");
  EXPECT_EQ(row[2], "\xA4\xA4\xA5\xDF");  // 中立 in Big5
  EXPECT_EQ(row[4], "172");
  EXPECT_EQ(row[5], "65.4");
  EXPECT_EQ(row[14], "35/65");

  const std::string stamp = row[0];
  const std::string folder = run.path("PressureImage");
  for (const char* split : {"_35_65.bmp", "_65_35.bmp", "_50_50.bmp"}) {
    EXPECT_TRUE(platform::fileExists(platform::joinPath(folder, stamp + split))) << split;
  }
  // The even picture on disk is exactly what its view shows.
  cv::Mat even = cv::imread(platform::joinPath(folder, stamp + "_50_50.bmp"));
  EXPECT_TRUE(samePixels(even, views[1]));
  cv::Mat low = cv::imread(platform::joinPath(folder, stamp + "_35_65.bmp"));
  EXPECT_TRUE(samePixels(low, views[0]));

  click(analysis, kSaveButton);
  pause(1.5);
  const std::string twice = platform::readWholeFile(run.path("Database_2080.csv")).value_or("");
  ASSERT_GT(twice.size(), database.size());
  EXPECT_EQ(twice.substr(0, database.size()), database);
  const std::string added = twice.substr(database.size());
  EXPECT_EQ(added[0], '\n');
  EXPECT_EQ(added.find('\n', 1), std::string::npos) << "only one row is added";

  // A database that cannot be written is reported; the bitmaps are still stored.
  auto bitmapCount = [&] { return std::stoi(desktop::run("ls '" + folder + "' | wc -l")); };
  const int bitmapsBefore = bitmapCount();
  ASSERT_EQ(std::rename(run.path("Database_2080.csv").c_str(), run.path("saved.csv").c_str()), 0);
  ASSERT_TRUE(platform::makeDirectory(run.path("Database_2080.csv")));
  EXPECT_EQ(run.messages(), "");
  pause(1);  // a new stamp
  click(analysis, kSaveButton);
  pause(1.5);
  EXPECT_NE(run.messages().find("儲存失敗|資料未能寫入"), std::string::npos) << run.messages();
  EXPECT_EQ(bitmapCount(), bitmapsBefore + 3);
}

// A picture as the report export saves it: level 0 everywhere and a block of level 128 where
// the left foot stands, in the colours of the staged colour table.
std::string writeLeftFootPicture(const StationRun& run) {
  std::string text = platform::readWholeFile(run.path("lut_ancestor.txt")).value_or("");
  std::vector<int> table;
  for (size_t pos = 0; pos < text.size();) {
    size_t used = 0;
    table.push_back(std::stoi(text.substr(pos), &used));
    pos += used;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  }
  EXPECT_EQ(table.size(), 768u);
  auto colour = [&](int level) {
    return cv::Vec3b(table[3 * level + 2], table[3 * level + 1], table[3 * level]);
  };
  cv::Mat picture(335, 320, CV_8UC3, colour(0));
  picture(cv::Rect(30, 40, 70, 250)).setTo(colour(128));
  const std::string folder = run.path("FOOT_PRESSURE");
  platform::makeDirectory(folder);
  const std::string file = platform::joinPath(folder, "left_foot.png");
  EXPECT_TRUE(cv::imwrite(file, picture));
  return file;
}

TEST(ReviewLoader, LoadShowsASavedPictureAndItsLevelsUntilPressedAgain) {
  StationRun run("balance");
  WindowPlace main = run.findWindow("", 959, 772);
  ASSERT_FALSE(main.id.empty()) << run.console();
  pause(4);
  const std::string file = writeLeftFootPicture(run);

  click(main, kLoadButton);
  WindowPlace chooser = run.findWindow("Load a image file");
  ASSERT_FALSE(chooser.id.empty()) << "the chooser did not open";
  // The file name field holds the focus and starts with the working folder.
  StationRun::typeText("FOOT_PRESSURE/left_foot.png");
  StationRun::key("Return");
  pause(2);

  cv::Mat first = cv::imread(run.screenshot("review.png"));
  pause(1);
  cv::Mat second = cv::imread(run.screenshot("review_later.png"));
  ASSERT_FALSE(first.empty());
  cv::Mat shown = crop(first, main, kPressureView);
  // The picture fills the view upright: the block's colour near its top, level 0's beside it.
  cv::Mat picture = cv::imread(file);
  const cv::Vec3b blockColour = picture.at<cv::Vec3b>(80, 40);
  const double sx = kPressureView.width / 320.0, sy = kPressureView.height / 335.0;
  // (Away from the block's middle, where the load centre's marker is drawn.)
  EXPECT_EQ(shown.at<cv::Vec3b>(static_cast<int>(80 * sy), static_cast<int>(40 * sx)), blockColour);
  EXPECT_EQ(shown.at<cv::Vec3b>(static_cast<int>(20 * sy), static_cast<int>(250 * sx)),
            picture.at<cv::Vec3b>(20, 250));
  // Held in review while the customer keeps moving.
  EXPECT_TRUE(samePixels(shown, crop(second, main, kPressureView)));
  // The levels came back from the colours: all load on the left ("100.0" against "0.0"),
  // where unknown colours would have given an even split.
  EXPECT_FALSE(samePixels(crop(first, main, kShareLeftField), crop(first, main, kShareRightField)));

  click(main, kLoadButton);  // back to the live picture
  pause(2);
  cv::Mat live = cv::imread(run.screenshot("live_again.png"));
  EXPECT_FALSE(samePixels(shown, crop(live, main, kPressureView)));

  // A picture of another size is refused by its header with a message; the view stays live.
  ASSERT_TRUE(cv::imwrite(run.path("FOOT_PRESSURE/small.png"), cv::Mat(100, 80, CV_8UC3)));
  click(main, kLoadButton);
  ASSERT_FALSE(run.findWindow("Load a image file").id.empty());
  StationRun::typeText("FOOT_PRESSURE/small.png");
  StationRun::key("Return");
  pause(2);
  EXPECT_NE(run.console().find("small.png refused: PNG of 80 x 100"), std::string::npos)
      << run.console();
  EXPECT_NE(run.messages().find("small.png refused"), std::string::npos) << "the operator is told";
  cv::Mat before = crop(cv::imread(run.screenshot("refused.png")), main, kPressureView);
  pause(1);
  cv::Mat after = crop(cv::imread(run.screenshot("refused_later.png")), main, kPressureView);
  EXPECT_FALSE(samePixels(before, after)) << "the view should still be live";
}

}  // namespace

// The staged reference strip: eight prints side by side, each with an arch index inside the
// class of its column, the right foot's prints mirroring the left foot's.
#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <vector>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/report/foot_type_classifier.h"

namespace {

// Contact is any pixel that is not white paper. The axis runs upright from the lowest contact
// row to the top of the ball, found as the row below the first empty row above the heel.
float archIndexOfPrint(const cv::Mat& print) {
  cv::Mat contact(print.size(), CV_8U);
  for (int y = 0; y < print.rows; ++y) {
    for (int x = 0; x < print.cols; ++x) {
      const cv::Vec3b p = print.at<cv::Vec3b>(y, x);
      contact.at<uint8_t>(y, x) = (p[0] < 240 || p[1] < 240 || p[2] < 240) ? 1 : 0;
    }
  }
  int heelRow = print.rows - 1;
  while (heelRow > 0 && cv::countNonZero(contact.row(heelRow)) == 0) --heelRow;
  int ballTop = heelRow;
  while (ballTop > 0 && cv::countNonZero(contact.row(ballTop - 1)) > 0) --ballTop;
  int sum = 0, count = 0;
  for (int x = 0; x < print.cols; ++x) {
    if (contact.at<uint8_t>(heelRow, x)) sum += x, ++count;
  }
  std::vector<uint8_t> canvas(kCanvasPixels, 0);
  for (int y = 0; y < print.rows; ++y) {
    for (int x = 0; x < print.cols; ++x) {
      if (contact.at<uint8_t>(y, x)) canvas[(20 + x) + kCanvasWidth * (print.rows - 1 - y)] = 80;
    }
  }
  FootZoneAnalyzer analyzer(canvas.data(), kCanvasWidth, kCanvasHeight);
  analyzer.printDiagnostics = false;
  FootAxis& axis = analyzer.left;
  axis.heelX = axis.toeX = 20 + sum / count;
  axis.heelY = print.rows - 1 - heelRow;
  axis.toeY = print.rows - 1 - ballTop;
  axis.pointCount = 2;
  EXPECT_TRUE(analyzer.computeFootZones(axis));
  return axis.archIndex;
}

TEST(ReferencePicture, EightPrintsInTheirClassesAndMirrored) {
  cv::Mat strip = cv::imread(STATION_DIR "/reference.png", cv::IMREAD_COLOR);
  ASSERT_FALSE(strip.empty()) << "reference.png is staged";
  ASSERT_EQ(strip.cols % 8, 0);
  const int width = strip.cols / 8;
  for (int column = 0; column < 8; ++column) {
    cv::Mat print = strip(cv::Rect(column * width, 0, width, strip.rows));
    const float archIndex = archIndexOfPrint(print);
    SCOPED_TRACE(::testing::Message() << "column " << column << " arch index " << archIndex);
    if (column < 4) {
      EXPECT_EQ(leftReferenceColumn(archIndex), column);
      cv::Mat mirrored;
      cv::flip(strip(cv::Rect((7 - column) * width, 0, width, strip.rows)), mirrored, 1);
      EXPECT_EQ(cv::norm(print, mirrored, cv::NORM_INF), 0);
    } else {
      EXPECT_EQ(rightReferenceColumn(archIndex), column);
    }
  }
}

}  // namespace

// Where an operator clicks to measure the simulated customer: heel and toe of each foot's axis,
// the ends of its length and of its width, found on the load the simulated plate draws, and the
// personal data typed for the report. Points are in main-window pixels.
#pragma once
#include <opencv2/core.hpp>
#include <string>
#include <vector>

#include "pedalyx/capture/simulated_plate.h"

struct WindowPoint {
  int x = 0, y = 0;
};

struct FootPlan {
  WindowPoint heel, toe;     // the foot axis
  WindowPoint back, front;   // length: back of the heel to the tip of the longest toe
  WindowPoint inner, outer;  // width: across the ball of the foot
};

struct ExaminationPlan {
  std::vector<FootPlan> feet;  // left, then right
  std::string phone = "0987654321";
  std::string email = "customer@example.com";
  std::string birthYear = "1985";
  std::string birthMonth = "7";
};

namespace examination_detail {

// The pressure view sits at (5, 86) of the main window and shows the 320 × 335 canvas at
// 533 × 558, canvas rows counted from the bottom.
constexpr int kViewX = 5, kViewY = 86, kViewW = 533, kViewH = 558;

inline WindowPoint toWindow(double canvasX, double canvasY) {
  int x = static_cast<int>((canvasX + 0.5) * kViewW / 320.0);
  int yUp = static_cast<int>((canvasY + 0.5) * kViewH / 335.0);
  return {kViewX + x, kViewY + (kViewH - 1 - yUp)};
}

// Loaded pixels of one half of the canvas (rows bottom first).
inline FootPlan planFoot(const cv::Mat& levels, int firstColumn, int lastColumn) {
  const int threshold = 40;
  int lowest = -1, highest = -1;
  for (int y = 0; y < levels.rows; ++y) {
    for (int x = firstColumn; x <= lastColumn; ++x) {
      if (levels.at<uchar>(y, x) > threshold) {
        if (lowest < 0) lowest = y;
        highest = y;
      }
    }
  }
  auto rowCentre = [&](int y) {
    double sum = 0, count = 0;
    for (int x = firstColumn; x <= lastColumn; ++x) {
      if (levels.at<uchar>(y, x) > threshold) sum += x, count += 1;
    }
    return count > 0 ? sum / count : (firstColumn + lastColumn) / 2.0;
  };
  auto rowExtent = [&](int y, int& left, int& right) {
    left = lastColumn, right = firstColumn;
    for (int x = firstColumn; x <= lastColumn; ++x) {
      if (levels.at<uchar>(y, x) > threshold) left = std::min(left, x), right = std::max(right, x);
    }
    return right - left;
  };
  FootPlan plan;
  const int length = highest - lowest;
  // The foot axis as the station's hint says: from the middle of the back of the heel to the
  // base of the second toe, at the front of the ball (about 82 % of the print's length).
  const int heelRow = lowest + 1;
  const int toeRow = lowest + length * 82 / 100;
  plan.heel = toWindow(rowCentre(lowest + length / 20), heelRow);
  plan.toe = toWindow(rowCentre(toeRow), toeRow);
  plan.back = toWindow(rowCentre(lowest), lowest);
  plan.front = toWindow(rowCentre(lowest), highest);
  // The widest row of the forefoot.
  int widestRow = lowest + length * 2 / 3, widest = -1;
  for (int y = lowest + length / 2; y < highest - length / 8; ++y) {
    int left, right;
    int width = rowExtent(y, left, right);
    if (width > widest) widest = width, widestRow = y;
  }
  int left, right;
  rowExtent(widestRow, left, right);
  plan.inner = toWindow(left, widestRow);
  plan.outer = toWindow(right, widestRow);
  return plan;
}

}  // namespace examination_detail

// The plan for the normal simulated customer, standing still long after stepping on.
inline ExaminationPlan planExamination() {
  SimulatedPlate plate(PlateScene::Normal);
  cv::Mat levels;
  plate.canvasLevels(600, levels);
  ExaminationPlan plan;
  plan.feet.push_back(examination_detail::planFoot(levels, 0, 159));
  plan.feet.push_back(examination_detail::planFoot(levels, 160, 319));
  return plan;
}

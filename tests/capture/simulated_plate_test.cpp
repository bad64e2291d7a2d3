#include "pedalyx/capture/simulated_plate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int kStanding = 60;  // a frame well after the customer has stepped on

// What the station's pipeline does with the plate under the fallback calibration, done on the
// CPU: sample the camera at each canvas pixel centre (bilinear, like the warp's texture), take
// the green difference to the background and turn it into a level with the default settings
// (noise 5, tone density 6).
cv::Mat pipelineLevels(const cv::Mat& frame, const cv::Mat& background) {
  cv::Mat mapX(335, 320, CV_32F, cv::Scalar(-100));
  cv::Mat mapY(335, 320, CV_32F, cv::Scalar(-100));
  for (int j = 0; j < 335; ++j) {
    for (int i = 0; i < 320; ++i) {
      if (i >= 128 && i < 192) continue;
      cv::Point2d camera = canvasToCamera({i + 0.5, j + 0.5});
      mapX.at<float>(j, i) = static_cast<float>(camera.x - 0.5);  // to pixel-centre indices
      mapY.at<float>(j, i) = static_cast<float>(camera.y - 0.5);
    }
  }
  cv::Mat warped, warpedBackground;
  cv::remap(frame, warped, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_CONSTANT);
  cv::remap(background, warpedBackground, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_CONSTANT);
  cv::Mat levels(335, 320, CV_8U);
  for (int j = 0; j < 335; ++j) {
    for (int i = 0; i < 320; ++i) {
      double d = warped.at<cv::Vec3b>(j, i)[1] - double(warpedBackground.at<cv::Vec3b>(j, i)[1]);
      levels.at<uchar>(j, i) =
          d <= 5 ? 0 : cv::saturate_cast<uchar>(std::max(1.0, std::round(d * 255 / 230)));
    }
  }
  return levels;
}

// Pictures for a person to look at, written only into the folder SIMULATED_PLATE_SHOTS names.
void keepForLooking(const std::string& name, const cv::Mat& picture) {
  if (const char* folder = std::getenv("SIMULATED_PLATE_SHOTS")) {
    cv::imwrite(std::string(folder) + "/" + name, picture);
  }
}

// Top row first, for looking at.
void writeCanvas(const std::string& name, const cv::Mat& bottomFirst) {
  cv::Mat upright;
  cv::flip(bottomFirst, upright, 0);
  cv::Mat coloured;
  cv::applyColorMap(upright, coloured, cv::COLORMAP_JET);
  keepForLooking(name, coloured);
}

double loadSum(const cv::Mat& levels, int x0, int x1) {
  return cv::sum(levels.colRange(x0, x1))[0];
}

TEST(SimulatedPlate, CalibrationLayoutPointsMeetTheCameraPoints) {
  // Corners of both strips land on the fallback reference points: the left strip's top-left
  // canvas corner is camera (580, 384), the right strip's bottom-right corner camera (60, 96).
  EXPECT_EQ(canvasToCamera({0, 335}), cv::Point2d(580, 384));
  EXPECT_EQ(canvasToCamera({128, 0}), cv::Point2d(400, 96));
  EXPECT_EQ(canvasToCamera({192, 335}), cv::Point2d(240, 384));
  EXPECT_EQ(canvasToCamera({320, 0}), cv::Point2d(60, 96));
  for (cv::Point2d canvas : {cv::Point2d(17.25, 40.5), cv::Point2d(250.75, 300.125)}) {
    cv::Point2d back = cameraToCanvas(canvasToCamera(canvas), canvas.x < 160);
    EXPECT_NEAR(back.x, canvas.x, 1e-9);
    EXPECT_NEAR(back.y, canvas.y, 1e-9);
  }
}

TEST(SimulatedPlate, FramesAreFullSizeAndDeterministicPerSeed) {
  SimulatedPlate plate(PlateScene::Normal, 7);
  cv::Mat a, b, c, other;
  plate.renderFrame(kStanding, a);
  plate.renderFrame(3, b);  // rendering other frames in between changes nothing
  plate.renderFrame(kStanding, b);
  SimulatedPlate(PlateScene::Normal, 7).renderFrame(kStanding, c);
  SimulatedPlate(PlateScene::Normal, 8).renderFrame(kStanding, other);
  ASSERT_EQ(a.type(), CV_8UC3);
  ASSERT_EQ(a.size(), cv::Size(640, 480));
  ASSERT_TRUE(a.isContinuous());
  EXPECT_EQ(cv::norm(a, b, cv::NORM_INF), 0);
  EXPECT_EQ(cv::norm(a, c, cv::NORM_INF), 0);
  EXPECT_GT(cv::norm(a, other, cv::NORM_INF), 0);  // the seed drives the sensor noise
  EXPECT_LE(cv::norm(a, other, cv::NORM_INF), 10);
}

TEST(SimulatedPlate, FirstSecondShowsTheEmptyPlate) {
  SimulatedPlate plate(PlateScene::Balance);
  cv::Mat frame, levels;
  for (int n : {0, 15, SimulatedPlate::kEmptyFrames - 1}) {
    plate.renderFrame(n, frame);
    plate.canvasLevels(n, levels);
    EXPECT_EQ(cv::countNonZero(levels), 0) << n;
    double worst = 0;
    for (int y = 0; y < 480; y += 7)
      for (int x = 0; x < 640; x += 5)
        for (int ch = 0; ch < 3; ++ch)
          worst =
              std::max(worst, std::abs(frame.at<cv::Vec3b>(y, x)[ch] - plateBackground(x, y, ch)));
    EXPECT_LT(worst, 6.0) << n;  // noise of one unit, never near a load
  }
  // Vignetting: the corners are darker than the centre.
  EXPECT_LT(plateBackground(0, 0, 0), plateBackground(320, 240, 0) * 0.75);
  plate.canvasLevels(SimulatedPlate::kEmptyFrames, levels);
  EXPECT_GT(cv::countNonZero(levels), 0);  // the customer steps on at once after
}

TEST(SimulatedPlate, FeetStandUprightInsideTheirCalibrationAreas) {
  for (PlateScene scene : {PlateScene::Normal, PlateScene::Flat, PlateScene::High}) {
    SimulatedPlate plate(scene);
    cv::Mat levels;
    plate.canvasLevels(kStanding, levels);
    // Nothing under the mask: margins and the band between the feet.
    cv::Mat outside = levels.clone();
    outside(cv::Rect(10, 15, 108, 310)).setTo(0);
    outside(cv::Rect(202, 15, 108, 310)).setTo(0);
    EXPECT_EQ(cv::countNonZero(outside), 0);
    for (bool left : {true, false}) {
      cv::Mat foot = levels.colRange(left ? 0 : 160, left ? 160 : 320);
      std::vector<cv::Point> loaded;
      cv::findNonZero(foot, loaded);
      cv::Rect box = cv::boundingRect(loaded);
      // About 250 mm long (1.07 mm per pixel) and 90 mm wide.
      EXPECT_NEAR(box.height, 234, 12);
      EXPECT_NEAR(box.width, 85, 12);
      // Heel low, toes high (rows are bottom row first): the widest row, across the
      // metatarsal heads, lies in the upper half.
      int widest = 0, widestRow = 0;
      for (int row = box.y; row < box.y + box.height; ++row) {
        int width = cv::countNonZero(foot.row(row));
        if (width > widest) widest = width, widestRow = row;
      }
      EXPECT_GT(widestRow, box.y + box.height / 2);
      EXPECT_LT(widestRow, box.y + box.height * 85 / 100);
      // Big toe on the inner side: the top 15 % of the foot is heavier towards the middle.
      cv::Mat toes = foot.rowRange(box.y + box.height * 85 / 100, box.y + box.height);
      cv::Moments m = cv::moments(toes);
      double toeX = m.m10 / m.m00 + (left ? 0 : 160);
      double footX = box.x + box.width / 2.0 + (left ? 0 : 160);
      if (left)
        EXPECT_GT(toeX, footX);
      else
        EXPECT_LT(toeX, footX);
    }
  }
}

// Area share of the midfoot in the heel-to-forefoot print (toes excluded): low for a high
// arch, high for a flat foot.
double archIndex(const cv::Mat& levels) {
  cv::Mat foot = levels.colRange(0, 160);
  std::vector<cv::Point> loaded;
  cv::findNonZero(foot, loaded);
  cv::Rect box = cv::boundingRect(loaded);
  int heel = box.y;
  int toes = box.y + static_cast<int>(box.height * 0.8);  // toes occupy the top fifth
  int third = (toes - heel) / 3;
  int mid = cv::countNonZero(foot.rowRange(heel + third, heel + 2 * third));
  int all = cv::countNonZero(foot.rowRange(heel, toes));
  return double(mid) / all;
}

TEST(SimulatedPlate, ArchTypeSetsTheMidfootContact) {
  cv::Mat normal, flat, high;
  SimulatedPlate(PlateScene::Normal).canvasLevels(kStanding, normal);
  SimulatedPlate(PlateScene::Flat).canvasLevels(kStanding, flat);
  SimulatedPlate(PlateScene::High).canvasLevels(kStanding, high);
  double n = archIndex(normal), f = archIndex(flat), h = archIndex(high);
  EXPECT_GT(n, 0.21);
  EXPECT_LT(n, 0.26);
  EXPECT_GT(f, 0.26);
  EXPECT_LT(h, 0.21);
  writeCanvas("simulated_normal_levels.png", normal);
  writeCanvas("simulated_flat_levels.png", flat);
  writeCanvas("simulated_high_levels.png", high);
}

TEST(SimulatedPlate, GroundTruthMatchesWhatTheCameraSees) {
  for (PlateScene scene : {PlateScene::Normal, PlateScene::Flat, PlateScene::Balance}) {
    SimulatedPlate plate(scene, 3);
    cv::Mat background, frame, truth;
    plate.renderFrame(SimulatedPlate::kEmptyFrames - 1, background);
    plate.renderFrame(kStanding + 40, frame);
    plate.canvasLevels(kStanding + 40, truth);
    cv::Mat seen = pipelineLevels(frame, background);
    int compared = 0, close = 0;
    for (int j = 0; j < 335; ++j) {
      for (int i = 0; i < 320; ++i) {
        int t = truth.at<uchar>(j, i);
        int s = seen.at<uchar>(j, i);
        if (t < 12) continue;  // the rim, where the noise threshold decides
        ++compared;
        if (std::abs(t - s) <= 4) ++close;
      }
    }
    ASSERT_GT(compared, 10000);
    EXPECT_GT(double(close) / compared, 0.97) << int(scene);
    // Away from the feet the plate reads no load.
    cv::Mat nearFeet;
    cv::dilate(truth > 0, nearFeet, cv::Mat(), cv::Point(-1, -1), 2);
    cv::Mat empty = seen.clone();
    empty.setTo(0, nearFeet);
    EXPECT_LT(cv::countNonZero(empty), 20);
    if (scene == PlateScene::Normal) {
      keepForLooking("simulated_normal_frame.png", frame);
      writeCanvas("simulated_normal_seen.png", seen);
    }
  }
}

TEST(SimulatedPlate, BalanceSceneMovesTheWeightBetweenTwentyAndEightyPercent) {
  SimulatedPlate plate(PlateScene::Balance);
  double lowest = 1, highest = 0;
  cv::Mat levels;
  for (int n = 60; n < 60 + 10 * 30; n += 15) {
    double share = plate.leftShare(n);
    lowest = std::min(lowest, share);
    highest = std::max(highest, share);
    plate.canvasLevels(n, levels);
    double left = loadSum(levels, 0, 160), right = loadSum(levels, 160, 320);
    EXPECT_NEAR(left / (left + right), share, 0.01) << n;
    EXPECT_NEAR(std::abs(plate.leftShare(n + 1) - share), 0, 0.02);  // slowly
  }
  EXPECT_NEAR(lowest, 0.2, 0.01);
  EXPECT_NEAR(highest, 0.8, 0.01);
  cv::Mat frame;
  plate.renderFrame(30 + 75, frame);  // a quarter period in: 80 % on the left foot
  EXPECT_LT(cv::norm(frame, cv::NORM_INF), 256);
  plate.canvasLevels(30 + 75, levels);
  double peak;
  cv::minMaxLoc(levels, nullptr, &peak);
  EXPECT_GE(peak, 240);  // full scale at 80 %, not clipped beyond it
  keepForLooking("simulated_balance_frame.png", frame);
}

// The sway scene's ground truth is a formula over the feet's shape moments; it must be where
// the load it draws is centred, and the load must stay within the plate's scale.
TEST(SimulatedPlate, SwaySceneLoadCentreIsTheCentreOfTheLoadItDraws) {
  SimulatedPlate plate(PlateScene::Sway);
  cv::Mat load;
  double lowestY = 1e9, highestY = -1e9, lowestX = 1e9, highestX = -1e9;
  for (int n = 45; n < 45 + 8 * 30; n += 7) {
    plate.canvasLoad(n, load);
    double peak;
    cv::minMaxLoc(load, nullptr, &peak);
    EXPECT_LE(peak, 1.0) << n;
    const int halves[3][2] = {{0, 160}, {160, 320}, {0, 320}};
    for (int foot = 0; foot < 3; ++foot) {
      double sum = 0, sx = 0, sy = 0;
      for (int j = 0; j < 335; ++j)
        for (int i = halves[foot][0]; i < halves[foot][1]; ++i) {
          const double w = load.at<float>(j, i);
          sum += w;
          sx += w * (i + 0.5);
          sy += w * (j + 0.5);
        }
      const cv::Point2d centre = plate.loadCentre(n, foot);
      EXPECT_NEAR(centre.x, sx / sum, 1e-3) << n << " foot " << foot;
      EXPECT_NEAR(centre.y, sy / sum, 1e-3) << n << " foot " << foot;
      if (foot == 2) {
        lowestX = std::min(lowestX, centre.x), highestX = std::max(highestX, centre.x);
        lowestY = std::min(lowestY, centre.y), highestY = std::max(highestY, centre.y);
      }
    }
  }
  // Both directions sway by several millimetres (canvas pixels are 1.07 mm).
  EXPECT_GT(highestX - lowestX, 10);
  EXPECT_GT(highestY - lowestY, 6);
}

TEST(SimulatedPlate, SceneNames) {
  EXPECT_EQ(plateSceneByName("1"), PlateScene::Normal);
  EXPECT_EQ(plateSceneByName("normal"), PlateScene::Normal);
  EXPECT_EQ(plateSceneByName("flat"), PlateScene::Flat);
  EXPECT_EQ(plateSceneByName("high"), PlateScene::High);
  EXPECT_EQ(plateSceneByName("balance"), PlateScene::Balance);
  EXPECT_EQ(plateSceneByName("sway"), PlateScene::Sway);
  EXPECT_FALSE(plateSceneByName("0"));
  EXPECT_FALSE(plateSceneByName("/tmp/recording.avi"));
}

}  // namespace

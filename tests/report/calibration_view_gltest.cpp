// The calibration window on the staged station: pick a reference point with the right button,
// drag it with the left, switch grids with the corner square, and store the result.
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <string>

#include "pedalyx/station/window_layout.h"
#include "platform/files.h"
#include "report/station_driver.h"

namespace {

using station_test::pause;
using station_test::StationRun;
using station_test::WindowPlace;

const cv::Vec3b kBlue(255, 0, 0);  // B G R as read from the screenshot
const cv::Vec3b kGreen(0, 255, 0);
const cv::Vec3b kYellow(0, 255, 255);

cv::Vec3b pixelAt(const cv::Mat& screen, const WindowPlace& window, int x, int y) {
  return screen.at<cv::Vec3b>(window.y + y, window.x + x);
}

// Point i of a grid as stored: x and y blocks of 16 little-endian values, coordinate + 100.
cv::Point2i storedPoint(const std::string& store, int grid, int i) {
  auto value = [&](int block) {
    const int at = 32 * block + 2 * i;
    return static_cast<unsigned char>(store[at]) + 256 * static_cast<unsigned char>(store[at + 1]) -
           100;
  };
  return {value(2 * grid), value(2 * grid + 1)};
}

TEST(CalibrationView, PickDragAndGridSelectorWorkWithTheMouse) {
  StationRun run("1");
  WindowPlace main = run.findWindow("", 959, 772);
  ASSERT_FALSE(main.id.empty()) << run.console();
  pause(3);
  StationRun::click(main, 654 + 130, 193 + 27, 3);  // right button on the reference strip
  WindowPlace settings = run.findWindow("Edit");
  ASSERT_FALSE(settings.id.empty()) << "the settings window did not open";
  StationRun::click(settings, 70, 49);  // "校正視窗"
  // The camera view fills the top left of the calibration window: window pixels are camera
  // pixels.
  WindowPlace view = run.findWindow("", kCalibrationWindowWidth, kCalibrationWindowHeight);
  ASSERT_FALSE(view.id.empty()) << "the calibration window did not open";
  StationRun::raise(view);
  pause(1);

  cv::Mat screen = cv::imread(run.screenshot("calibration_start.png"));
  ASSERT_FALSE(screen.empty());
  EXPECT_EQ(pixelAt(screen, view, 5, 475), kBlue) << "selector square of the left grid";
  // The left grid's point 0 sits at camera (580, 384) in the fallback layout, drawn in blue.
  EXPECT_EQ(pixelAt(screen, view, 578, 383), kBlue);

  StationRun::click(view, 582, 380, 3);  // the nearest point is 0
  pause(0.5);
  EXPECT_NE(run.console().find("Reference POINT 0 be selected"), std::string::npos);
  screen = cv::imread(run.screenshot("calibration_picked.png"));
  EXPECT_EQ(pixelAt(screen, view, 580, 383), kYellow) << "the picked point is marked";

  // Drag in two steps anywhere in the window: (+2, -1), then (+1, -1).
  StationRun::moveTo(view, 300, 200);
  StationRun::press(1);
  pause(0.3);
  StationRun::moveTo(view, 302, 199);
  pause(0.3);
  StationRun::moveTo(view, 303, 198);
  pause(0.3);
  StationRun::release(1);
  pause(0.5);
  screen = cv::imread(run.screenshot("calibration_dragged.png"));
  EXPECT_EQ(pixelAt(screen, view, 583, 381), kYellow) << "the point moved by (+3, -2)";
  EXPECT_NE(pixelAt(screen, view, 580, 383), kYellow);

  StationRun::raise(settings);
  StationRun::click(settings, 70, 89);  // "儲存校正點"
  pause(0.5);
  const std::string store = platform::readWholeFile(run.path("calibration_store.bin")).value_or("");
  ASSERT_EQ(store.size(), 128u);
  EXPECT_EQ(storedPoint(store, 0, 0), cv::Point2i(583, 382));
  EXPECT_EQ(storedPoint(store, 0, 1), cv::Point2i(580, 288)) << "the other points stay";
  EXPECT_EQ(storedPoint(store, 1, 0), cv::Point2i(240, 384)) << "the right grid stays";

  // The corner square switches the grid the mouse edits; 15 pixels above the edge does not.
  StationRun::raise(view);
  StationRun::click(view, 5, 475);
  screen = cv::imread(run.screenshot("calibration_right_grid.png"));
  EXPECT_EQ(pixelAt(screen, view, 5, 475), kGreen);
  StationRun::click(view, 5, 465);
  screen = cv::imread(run.screenshot("calibration_right_grid_kept.png"));
  EXPECT_EQ(pixelAt(screen, view, 5, 475), kGreen);
  StationRun::click(view, 5, 475);
  screen = cv::imread(run.screenshot("calibration_left_grid.png"));
  EXPECT_EQ(pixelAt(screen, view, 5, 475), kBlue);
}

}  // namespace

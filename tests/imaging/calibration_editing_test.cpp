#include "pedalyx/imaging/calibration_editing.h"

#include <gtest/gtest.h>

#include "pedalyx/imaging/calibration_grid.h"

namespace {

CalibrationGrid fallbackLeftGrid() {
  CalibrationGrid left, right;
  setFallbackLayout(left, right);
  rebuildMesh(left);
  return left;
}

TEST(CalibrationMouse, SelectorSquareSwitchesTheGridOnlyInsideIt) {
  CalibrationMouse mouse;
  EXPECT_TRUE(pressCalibrationMouse(mouse, 5, 475, 480));  // 5 pixels above the bottom edge
  EXPECT_EQ(mouse.activeGrid, 1);
  EXPECT_TRUE(pressCalibrationMouse(mouse, 5, 475, 480));
  EXPECT_EQ(mouse.activeGrid, 0);
  EXPECT_FALSE(pressCalibrationMouse(mouse, 5, 465, 480));  // 15 pixels above: outside
  EXPECT_FALSE(pressCalibrationMouse(mouse, 10, 475, 480));
  EXPECT_EQ(mouse.activeGrid, 0);
  EXPECT_EQ(mouse.lastX, 10);  // every press is remembered as the drag's start
  EXPECT_EQ(mouse.lastY, 475);
}

TEST(CalibrationMouse, DragMovesThePickedPointByThePointerMovementAndRebuildsTheMesh) {
  CalibrationGrid grid = fallbackLeftGrid();
  pickCalibrationPoint(grid, 582, 380);  // nearest is point 0 at (580, 384)
  ASSERT_TRUE(grid.referenceSelected);
  ASSERT_EQ(grid.selectedReference, 0);

  CalibrationMouse mouse;
  pressCalibrationMouse(mouse, 300, 200, 480);
  EXPECT_TRUE(dragCalibrationMouse(mouse, grid, 302, 199));
  EXPECT_TRUE(dragCalibrationMouse(mouse, grid, 303, 198));
  EXPECT_FLOAT_EQ(grid.reference[0].x, 583);
  EXPECT_FLOAT_EQ(grid.reference[0].y, 382);
  // Point 0 sits on mesh node (0, 0): the mesh followed the point.
  EXPECT_NEAR(grid.meshX[meshIndex(0, 0)], 583, 1e-3);
  EXPECT_NEAR(grid.meshY[meshIndex(0, 0)], 382, 1e-3);
  EXPECT_FLOAT_EQ(grid.reference[1].x, 580);  // the others stay
}

TEST(CalibrationMouse, DragWithoutAPickedPointOnlyFollowsThePointer) {
  CalibrationGrid grid = fallbackLeftGrid();
  const CalibrationGrid before = grid;
  CalibrationMouse mouse;
  pressCalibrationMouse(mouse, 100, 100, 480);
  EXPECT_FALSE(dragCalibrationMouse(mouse, grid, 140, 90));
  EXPECT_EQ(mouse.lastX, 140);
  EXPECT_EQ(mouse.lastY, 90);
  for (int i = 0; i < CalibrationGrid::kReferenceCount; ++i) {
    EXPECT_EQ(grid.reference[i].x, before.reference[i].x);
    EXPECT_EQ(grid.reference[i].y, before.reference[i].y);
  }
}

}  // namespace

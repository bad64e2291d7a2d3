#include "pedalyx/imaging/calibration_grid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A curved, uneven layout like a real plate seen at an angle.
CalibrationGrid curvedGrid() {
  CalibrationGrid grid;
  for (int g = 0; g < 4; ++g) {
    for (int p = 0; p < 4; ++p) {
      const float x = 560.0f - 55.0f * g + 6.0f * p * p - 3.0f * g * p;
      const float y = 400.0f - 95.0f * p + 4.0f * g * g + 2.5f * g * p;
      grid.reference[4 * g + p] = {x, y};
    }
  }
  rebuildMesh(grid);
  return grid;
}

TEST(CalibrationMesh, PassesThroughAllSixteenPointsWithCornersOnTheOuterPoints) {
  const CalibrationGrid grid = curvedGrid();
  for (int g = 0; g < 4; ++g) {
    for (int p = 0; p < 4; ++p) {
      const CalibrationPoint& point = grid.reference[4 * g + p];
      EXPECT_NEAR(grid.meshX[meshIndex(4 * g, 4 * p)], point.x, 1e-3) << g << "," << p;
      EXPECT_NEAR(grid.meshY[meshIndex(4 * g, 4 * p)], point.y, 1e-3) << g << "," << p;
    }
  }
  const int corners[4][3] = {{0, 0, 0}, {12, 0, 12}, {0, 12, 3}, {12, 12, 15}};
  for (const auto& c : corners) {
    EXPECT_NEAR(grid.meshX[meshIndex(c[0], c[1])], grid.reference[c[2]].x, 1e-3);
    EXPECT_NEAR(grid.meshY[meshIndex(c[0], c[1])], grid.reference[c[2]].y, 1e-3);
  }
  // Between the points the surface stays smooth: no node jumps by more than a cell's worth.
  for (int r = 0; r <= 12; ++r)
    for (int c = 0; c < 12; ++c)
      EXPECT_LT(std::fabs(grid.meshX[meshIndex(c + 1, r)] - grid.meshX[meshIndex(c, r)]), 30.0f);
}

TEST(CalibrationMesh, FallbackLayoutPutsNodeZeroAtTheTopLeftOfTheLeftStrip) {
  CalibrationGrid left, right;
  setFallbackLayout(left, right);
  rebuildMesh(left);
  rebuildMesh(right);
  EXPECT_FLOAT_EQ(left.meshX[meshIndex(0, 0)], 580.0f);
  EXPECT_FLOAT_EQ(left.meshY[meshIndex(0, 0)], 384.0f);
  EXPECT_FLOAT_EQ(right.meshX[meshIndex(12, 12)], 60.0f);
  EXPECT_FLOAT_EQ(right.meshY[meshIndex(12, 12)], 96.0f);
  // The evenly spaced layout makes a linear mesh: node (6, 6) halfway between the corners.
  EXPECT_NEAR(left.meshX[meshIndex(6, 6)], 490.0f, 1e-3);
  EXPECT_NEAR(left.meshY[meshIndex(6, 6)], 240.0f, 1e-3);

  std::array<WarpVertex, kWarpVertexCount> vertices;
  ASSERT_EQ(warpMeshVertices(left, kLeftStripX, vertices), kWarpVertexCount);
  // Cell (0, 0): corners (1,1), (0,1), (0,0), (1,0); node (0, 0) is the strip's top-left.
  const WarpVertex& topLeft = vertices[2];
  EXPECT_EQ(topLeft.x, 0);
  EXPECT_EQ(topLeft.y, 335);
  EXPECT_FLOAT_EQ(topLeft.s, 580.0f / 640.0f);
  EXPECT_FLOAT_EQ(topLeft.t, 384.0f / 480.0f);
  // Positions are truncated: node column 1 is at 128 / 12 = 10.67 -> 10.
  EXPECT_EQ(vertices[0].x, 10);
  EXPECT_EQ(vertices[0].y, 307);
  ASSERT_EQ(warpMeshVertices(right, kRightStripX, vertices), kWarpVertexCount);
  EXPECT_EQ(vertices[kWarpVertexCount - 4].x, 320);
  EXPECT_EQ(vertices[kWarpVertexCount - 4].y, 0);
}

TEST(CalibrationMesh, OversizedMeshIsRefusedInsteadOfOverrunningTheNodeArrays) {
  CalibrationGrid grid = curvedGrid();
  grid.meshColumns = 13;
  const float before = grid.meshX[meshIndex(12, 12)];
  rebuildMesh(grid);
  EXPECT_EQ(grid.meshX[meshIndex(12, 12)], before);
  std::array<WarpVertex, kWarpVertexCount> vertices;
  EXPECT_EQ(warpMeshVertices(grid, 0, vertices), 0);
}

TEST(CalibrationPick, NearestPointWinsAndTiesKeepTheEarlierPoint) {
  CalibrationGrid left, right;
  setFallbackLayout(left, right);
  testing::internal::CaptureStdout();
  pickCalibrationPoint(left, 519, 290);  // next to point 5 (520, 288)
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Reference POINT 5 be selected\n");
  EXPECT_EQ(left.selectedReference, 5);
  EXPECT_TRUE(left.referenceSelected);

  // Halfway between point 0 (580, 384) and point 4 (520, 384): the earlier one wins.
  testing::internal::CaptureStdout();
  pickCalibrationPoint(left, 550, 384);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(left.selectedReference, 0);

  // Point 0 at 30.4, point 4 at 29.6: the best is kept truncated to 30, and 29.6 < 30 wins.
  testing::internal::CaptureStdout();
  pickCalibrationPoint(left, 549.6f, 384);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(left.selectedReference, 4);

  // Nothing within 1000 pixels: the selection stays, but counts as made.
  CalibrationGrid far;
  for (auto& p : far.reference) p = {5000, 5000};
  far.selectedReference = 7;
  testing::internal::CaptureStdout();
  pickCalibrationPoint(far, 0, 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(far.selectedReference, 7);
  EXPECT_TRUE(far.referenceSelected);
}

}  // namespace

#include "cobblet/wedges.h"

#include <gtest/gtest.h>

#include "cobblet/landmarks.h"

namespace cobblet {
namespace {

// A rectangular insole of rows 10..209 and columns 40..109, all at height h.
HeightPlane rectangle(uint8_t h) {
  HeightPlane plane{};
  for (int r = 10; r <= 209; ++r) {
    for (int c = 40; c <= 109; ++c) pixelAt(plane, r, c) = h;
  }
  return plane;
}

TEST(Landmarks, InnerEdgeIsHighColumnsForTheLeftFootAndLowForTheRight) {
  HeightPlane plane = rectangle(20);
  OutlineBox box;
  InsoleLandmarks left = findLandmarks(plane, 0, {}, box);
  EXPECT_EQ(box.lengthExtent(), 200);
  EXPECT_EQ(left.ballInner.row, 154);  // 200 * 0.72 + 10
  EXPECT_EQ(left.ballOuter.row, 138);
  EXPECT_EQ(left.heelMiddle.row, 40);
  EXPECT_EQ(left.ballInner.column, 109);
  EXPECT_EQ(left.ballOuter.column, 40);
  EXPECT_EQ(left.heelMiddle.column, (109 + 40) / 2);

  InsoleLandmarks right = findLandmarks(plane, 1, {}, box);
  EXPECT_EQ(right.ballInner.column, 40);
  EXPECT_EQ(right.heelInner.column, 40);
  EXPECT_EQ(right.heelOuter.column, 109);
}

TEST(Landmarks, ColumnNotFoundKeepsItsValue) {
  HeightPlane empty{};
  InsoleLandmarks previous;
  previous.ballInner.column = 77;
  OutlineBox box;
  InsoleLandmarks marks = findLandmarks(empty, 0, previous, box);
  EXPECT_TRUE(box.empty());
  EXPECT_EQ(marks.ballInner.column, 77);
}

class WholeHeel : public ::testing::Test {
 protected:
  void SetUp() override {
    OutlineBox measured;
    marks = findLandmarks(plane, 0, {}, measured);
    box = measured;
  }
  HeightPlane plane = rectangle(20);
  InsoleLandmarks marks;
  OutlineBox box;
};

TEST_F(WholeHeel, RaisesHeelwardsRampsTheBandAndLeavesTheToes) {
  const HeightPlane before = plane;
  pressWedgeButton(plane, WedgeButton::kWholeHeel, marks, box, 3);
  // Beyond the parallel through the heel middle: full 3 mm = 15 levels.
  EXPECT_EQ(pixelAt(plane, 15, 75), 35);
  EXPECT_EQ(pixelAt(plane, 40 - 5, 60), 35);
  // Toe side of the ball line: unchanged.
  EXPECT_EQ(pixelAt(plane, 200, 75), 20);
  EXPECT_EQ(pixelAt(plane, 170, 45), 20);
  // Between: rising towards the heel.
  const int nearBall = pixelAt(plane, 130, 75), nearHeel = pixelAt(plane, 60, 75);
  EXPECT_GT(nearBall, 20);
  EXPECT_LT(nearBall, nearHeel);
  EXPECT_LT(nearHeel, 35);
  EXPECT_EQ(pixelAt(plane, 5, 75), 0) << "outside stays 0";

  pressWedgeButton(plane, WedgeButton::kWholeHeel, marks, box, 3);
  EXPECT_EQ(pixelAt(plane, 15, 75), 50) << "two presses add twice";
  (void)before;
}

TEST_F(WholeHeel, ZeroAmountOnlyLiftsLowPixelsOnTheRaisedSide) {
  pixelAt(plane, 15, 75) = 4;
  pixelAt(plane, 200, 75) = 4;
  HeightPlane expected = plane;
  pixelAt(expected, 15, 75) = 10;
  pressWedgeButton(plane, WedgeButton::kWholeHeel, marks, box, 0);
  EXPECT_EQ(plane, expected);
}

TEST(Wedge, HeightsStayWithinTenAndTwoHundredFiftyFive) {
  HeightPlane plane = rectangle(250);
  EXPECT_TRUE(applyWedge(plane, {150, 40}, {150, 109}, {20, 75}, 5));
  EXPECT_EQ(pixelAt(plane, 15, 75), 255);
  HeightPlane low = rectangle(20);
  EXPECT_TRUE(applyWedge(low, {150, 40}, {150, 109}, {20, 75}, -50));
  EXPECT_EQ(pixelAt(low, 15, 75), 10);
  EXPECT_EQ(pixelAt(low, 9, 75), 0);
}

TEST(Wedge, ThirdPointOnTheLineChangesNothing) {
  HeightPlane plane = rectangle(20);
  const HeightPlane before = plane;
  EXPECT_FALSE(applyWedge(plane, {100, 40}, {100, 100}, {100, 70}, 3));
  EXPECT_EQ(plane, before);
}

TEST(Wedge, ArchButtonsTaperTheForefootOnlyForPositiveAmounts) {
  HeightPlane plane = rectangle(60);
  OutlineBox box;
  InsoleLandmarks marks = findLandmarks(plane, 0, {}, box);
  HeightPlane wedgeAlone = plane;
  applyWedge(wedgeAlone, marks.ballOuter, marks.heelInner, marks.ballInner, 2);
  pressWedgeButton(plane, WedgeButton::kInnerArch, marks, box, 2);
  EXPECT_EQ(pixelAt(plane, 209, 75), pixelAt(wedgeAlone, 209, 75) - 30)
      << "toe end lowered by three times 2 mm";
  EXPECT_EQ(pixelAt(plane, 100, 108), pixelAt(wedgeAlone, 100, 108)) << "no taper heel-wards";
  EXPECT_GT(pixelAt(plane, 100, 108), 60) << "inner arch raised";

  HeightPlane untouched = rectangle(60);
  const HeightPlane before = untouched;
  pressWedgeButton(untouched, WedgeButton::kOuterArch, marks, box, 0);
  EXPECT_EQ(untouched, before);
}

TEST(Wedge, SameColumnUsesASteepLine) {
  HeightPlane plane = rectangle(20);
  // A line along column 60: pixels at higher columns than the line rise.
  EXPECT_TRUE(applyWedge(plane, {50, 60}, {150, 60}, {100, 90}, 2));
  EXPECT_EQ(pixelAt(plane, 100, 100), 30);
  EXPECT_EQ(pixelAt(plane, 100, 45), 20);
}

}  // namespace
}  // namespace cobblet

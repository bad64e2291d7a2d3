// Manual length, width and angle tools of one half of the pressure view.
#include "pedalyx/imaging/measure_marks.h"

#include <gtest/gtest.h>

namespace {

TEST(MeasureDistance, TruncatesPixelsThenMillimetres) {
  EXPECT_EQ(measureDistance({0, 0}, {100, 0}), 107);
  EXPECT_EQ(measureDistance({60, 60}, {60, 120}), 64);
  EXPECT_EQ(measureDistance({0, 0}, {3, 4}), 5);  // 5 px = 5.35 mm
  EXPECT_EQ(measureDistance({0, 0}, {1, 1}), 1);  // sqrt 2 = 1 px
  EXPECT_EQ(measureDistance({5, 5}, {5, 5}), 0);
}

TEST(MeasureAngle, WholeDegreesAndDegenerateVertex) {
  EXPECT_EQ(measureAngle({10, 0}, {0, 0}, {0, 10}), 90);
  EXPECT_EQ(measureAngle({10, 0}, {0, 0}, {10, 10}), 45);
  EXPECT_EQ(measureAngle({-10, 0}, {0, 0}, {10, 0}), 180);
  EXPECT_EQ(measureAngle({10, 0}, {0, 0}, {20, 0}), 0);
  // A vertex on an arm end has no angle: 0 rather than a division by zero.
  EXPECT_EQ(measureAngle({4, 4}, {4, 4}, {9, 1}), 0);
  EXPECT_EQ(measureAngle({1, 2}, {9, 1}, {9, 1}), 0);
  EXPECT_EQ(measureAngle({3, 3}, {3, 3}, {3, 3}), 0);
}

// Straight and folded angles whose single-precision sides put the cosine just outside
// [-1, 1] (-1.00000012 and 1.00000012 here): still 180 and 0 degrees, not an undefined value.
TEST(MeasureAngle, StraightAndFoldedAnglesStayDefined) {
  EXPECT_EQ(measureAngle({0, 0}, {1, 1}, {4, 4}), 180);
  EXPECT_EQ(measureAngle({2, 2}, {1, 1}, {6, 6}), 0);
  EXPECT_EQ(measureAngle({0, 0}, {1, 1}, {5, 5}), 180);
}

struct Marks : ::testing::Test {
  MeasureMarks marks{533, 558};
};

TEST_F(Marks, TwoPressesGiveTheLengthWithoutWritingAField) {
  pressLength(marks, 100, 100);
  pressLength(marks, 100, 200);
  EXPECT_EQ(marks.lengthPoints[0].x, 60);
  EXPECT_EQ(marks.lengthPoints[0].y, 60);
  EXPECT_EQ(marks.lengthPoints[1].y, 120);
  EXPECT_EQ(marks.lengthCount, 2);
  EXPECT_EQ(marks.lengthResult, 64);
  EXPECT_FALSE(marks.lengthArmed);
  // Fixed: moves and further presses change nothing.
  EXPECT_FALSE(moveLength(marks, 150, 300).has_value());
  pressLength(marks, 10, 10);
  EXPECT_EQ(marks.lengthResult, 64);
  EXPECT_EQ(marks.lengthPoints[1].y, 120);
}

TEST_F(Marks, RubberBandWritesTheFieldOfTheFirstPointsHalf) {
  EXPECT_FALSE(moveLength(marks, 100, 100).has_value());  // no point yet
  pressLength(marks, 100, 100);
  auto update = moveLength(marks, 400, 200);  // the end wanders into the right half
  ASSERT_TRUE(update.has_value());
  EXPECT_EQ(update->field, FootSizeUpdate::LeftLength);
  EXPECT_EQ(update->millimetres, marks.lengthResult);
  pressLength(marks, 400, 400);  // fixes the end at the last mouse position
  EXPECT_EQ(marks.lengthPoints[1].x, static_cast<int>(400 * (320.0f / 533)));
  EXPECT_EQ(marks.lengthPoints[1].y, static_cast<int>(200 * (335.0f / 558)));
  EXPECT_FALSE(marks.lengthArmed);

  MeasureMarks rightHalf(533, 558);
  pressWidth(rightHalf, 300, 100);
  update = moveWidth(rightHalf, 320, 150);
  ASSERT_TRUE(update.has_value());
  EXPECT_EQ(update->field, FootSizeUpdate::RightWidth);
}

TEST_F(Marks, WidthStaysArmedAfterItsSecondPressUnlikeLength) {
  pressWidth(marks, 100, 100);
  pressWidth(marks, 100, 200);
  EXPECT_EQ(marks.widthResult, 64);
  EXPECT_TRUE(marks.widthArmed);
  auto update = moveWidth(marks, 100, 300);
  ASSERT_TRUE(update.has_value());
  EXPECT_EQ(update->field, FootSizeUpdate::LeftWidth);
  pressWidth(marks, 1, 1);  // the third press fixes it
  EXPECT_FALSE(marks.widthArmed);
  EXPECT_FALSE(moveWidth(marks, 100, 100).has_value());
}

TEST_F(Marks, AngleFollowsWithItsThirdPointOnly) {
  moveAngle(marks, 50, 50);
  EXPECT_EQ(marks.angleCount, 0);
  pressAngle(marks, 200, 100);
  pressAngle(marks, 100, 100);
  EXPECT_EQ(marks.angleCount, 2);
  moveAngle(marks, 100, 300);
  EXPECT_EQ(marks.angleCount, 3);
  EXPECT_EQ(marks.angleResult, 90);
  moveAngle(marks, 200, 200);
  EXPECT_EQ(marks.angleResult, 45);
  pressAngle(marks, 0, 0);  // full: disarms
  EXPECT_FALSE(marks.angleArmed);
  moveAngle(marks, 100, 300);
  EXPECT_EQ(marks.angleResult, 45);
}

TEST_F(Marks, ResetKeepsPointsAndAngleAndRestartsEveryTool) {
  pressLength(marks, 100, 100);
  pressLength(marks, 100, 200);
  pressAngle(marks, 200, 100);
  pressAngle(marks, 100, 100);
  pressAngle(marks, 100, 300);
  int angle = marks.angleResult;
  marks.reset();
  EXPECT_EQ(marks.lengthCount + marks.widthCount + marks.angleCount, 0);
  EXPECT_EQ(marks.lengthResult, 0);
  EXPECT_EQ(marks.angleResult, angle);
  EXPECT_EQ(marks.lengthPoints[1].y, 120);
  EXPECT_TRUE(marks.lengthArmed && marks.widthArmed && marks.angleArmed);
  pressLength(marks, 10, 10);
  EXPECT_EQ(marks.lengthCount, 1);
}

TEST_F(Marks, ResizeChangesScalesOnly) {
  pressLength(marks, 100, 100);
  marks.resize(320, 335);
  EXPECT_EQ(marks.scaleX, 1.0f);
  EXPECT_EQ(marks.lengthCount, 1);
  pressLength(marks, 60, 180);
  EXPECT_EQ(marks.lengthPoints[1].x, 60);
  EXPECT_EQ(marks.lengthResult, 128);  // 120 px
}

}  // namespace

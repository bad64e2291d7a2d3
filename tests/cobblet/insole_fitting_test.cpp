#include "cobblet/insole_fitting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace cobblet {
namespace {

HeightPlane filledRectangle(int rowFrom, int rowTo, int columnFrom, int columnTo, uint8_t value) {
  HeightPlane plane{};
  for (int r = rowFrom; r <= rowTo; ++r) {
    for (int c = columnFrom; c <= columnTo; ++c) pixelAt(plane, r, c) = value;
  }
  return plane;
}

// The slope limit exactly as described: full passes over the interior until nothing changes.
void limitSlopeByFullPasses(HeightPlane& plane) {
  HeightPlane scratch = plane;
  bool changed = true;
  while (changed) {
    changed = false;
    for (int r = 2; r <= 357; ++r) {
      for (int c = 2; c <= 147; ++c) {
        int p = pixelAt(plane, r, c);
        if (p == 0) continue;
        bool exceeds = false;
        for (int dr = -1; dr <= 1; ++dr) {
          for (int dc = -1; dc <= 1; ++dc) {
            int n = pixelAt(plane, r + dr, c + dc);
            if ((dr || dc) && n != 0 && p - n > ((dr == 0 || dc == 0) ? 3 : 4)) exceeds = true;
          }
        }
        if (exceeds) {
          pixelAt(scratch, r, c) = uint8_t(p - 1);
          changed = true;
        }
      }
    }
    plane = scratch;
  }
}

TEST(WidthFollowsLength, OneMillimetreForEveryFiveRoundingThreeAndFourAway) {
  const int templateLength = 240;
  EXPECT_EQ(widthStepForLength(252 - templateLength), 2);
  EXPECT_EQ(widthStepForLength(253 - templateLength), 3);
  EXPECT_EQ(widthStepForLength(227 - templateLength), -3);
  EXPECT_EQ(widthStepForLength(238 - templateLength), 0);
  EXPECT_EQ(widthStepForLength(0), 0);
  // A length no foot has (a lost line break in a hand-off) once made the step -2147483648 and
  // a shapeless insole; it is held at a metre's difference, and not-a-number changes nothing.
  EXPECT_EQ(widthStepForLength(2e10), 200);
  EXPECT_EQ(widthStepForLength(-2e10), -200);
  EXPECT_EQ(widthStepForLength(std::nan("")), 0);
  EXPECT_NEAR(archFactor(std::nanf("")), 1.0, 1e-6);
}

TEST(ArchFactor, LimitedIndexMapsToFactor) {
  EXPECT_NEAR(archFactor(0.05f), 1.15, 1e-6);
  EXPECT_NEAR(archFactor(0.1f), 1.15, 1e-6);
  EXPECT_NEAR(archFactor(0.5f), 0.85, 1e-6);
  EXPECT_NEAR(archFactor(0.27f), 1.0, 1e-6);
  EXPECT_GT(archFactor(0.2f), archFactor(0.3f)) << "a lower index raises the insole";
}

TEST(SlopeLimit, SinglePeakAmongTensEndsAtThirteen) {
  HeightPlane plane = filledRectangle(100, 140, 50, 90, 10);
  pixelAt(plane, 120, 70) = 100;
  HeightPlane scratch{};
  limitSlope(plane, scratch);
  EXPECT_EQ(pixelAt(plane, 120, 70), 13);
  EXPECT_EQ(pixelAt(plane, 120, 71), 10);
}

TEST(SlopeLimit, SkippingQuietRowsGivesTheSameResultAsFullPasses) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 5; ++trial) {
    HeightPlane plane{};
    std::uniform_int_distribution<int> value(0, 255), zero(0, 9);
    for (int r = 20; r < 300; ++r) {
      for (int c = 10; c < 140; ++c) pixelAt(plane, r, c) = zero(random) == 0 ? 0 : value(random);
    }
    HeightPlane expected = plane, scratch{};
    limitSlopeByFullPasses(expected);
    limitSlope(plane, scratch);
    ASSERT_EQ(plane, expected) << "trial " << trial;
  }
}

TEST(CornerTrim, IsolatedBlockLosesItsLowestCornerAndStraightEdgesStay) {
  HeightPlane block = filledRectangle(10, 11, 20, 21, 50);
  trimCorners(block);
  EXPECT_EQ(pixelAt(block, 10, 20), 0);
  EXPECT_EQ(pixelAt(block, 10, 21), 50);
  EXPECT_EQ(pixelAt(block, 11, 20), 50);
  EXPECT_EQ(pixelAt(block, 11, 21), 50);

  HeightPlane wide = filledRectangle(100, 200, 30, 120, 40);
  const HeightPlane before = wide;
  trimCorners(wide);
  for (int r = 101; r < 200; ++r) EXPECT_EQ(pixelAt(wide, r, 30), 40) << r;
  EXPECT_EQ(pixelAt(wide, 150, 120), 40);
  int removed = 0;
  for (size_t i = 0; i < wide.size(); ++i) removed += wide[i] != before[i];
  EXPECT_LE(removed, 4) << "only the outline's corners can go";
}

TEST(HeightScaling, LowestBecomesTenAndTopsAreCapped) {
  HeightPlane plane = filledRectangle(50, 60, 50, 60, 20);
  pixelAt(plane, 55, 55) = 200;
  scaleHeights(plane, 1.5, 1.0);  // 20 -> 30 -> 10, 200 -> 300 -> 280 -> 255
  EXPECT_EQ(pixelAt(plane, 50, 50), 10);
  EXPECT_EQ(pixelAt(plane, 55, 55), 255);
  EXPECT_EQ(pixelAt(plane, 49, 50), 0) << "outside stays outside";
}

TEST(ArchShaping, MirrorsForTheOtherFootAndScalesAboveTen) {
  HeightPlane plane = filledRectangle(50, 60, 10, 40, 10);
  pixelAt(plane, 55, 12) = 50;
  HeightBuffer buffer{};
  HeightPlane mirrored = plane;
  shapeArch(mirrored, buffer, true, 1.0);
  EXPECT_EQ(pixelAt(mirrored, 55, 149 - 12), 50);
  EXPECT_EQ(pixelAt(mirrored, 55, 12), 0);
  EXPECT_EQ(pixelAt(mirrored, 55, 150), 0);
  EXPECT_EQ(pixelAt(mirrored, 55, 151), 0);

  HeightPlane raised = plane;
  shapeArch(raised, buffer, false, 1.15);  // 50 * 1.15 - (11.5 - 10)
  EXPECT_EQ(pixelAt(raised, 55, 12), 56);
  EXPECT_EQ(pixelAt(raised, 50, 10), 10);
}

TEST(PadPlacement, SizeFromOutlineAndHvAngle) {
  OutlineBox box;
  box.minRow = 10, box.maxRow = 264, box.minColumn = 30, box.maxColumn = 119;
  PadSize pad = padSizeFor(box, 15);
  EXPECT_DOUBLE_EQ(pad.width, 60);
  EXPECT_DOUBLE_EQ(pad.length, 127.5);
  EXPECT_DOUBLE_EQ(pad.height, 2);
  EXPECT_NEAR(padSizeFor(box, 40).height, 3, 1e-6);
  EXPECT_NEAR(padSizeFor(box, 90).height, 5, 1e-6);
}

TEST(PadPlacement, CentreIsTheCrossingOfTheOutlineLines) {
  // A diamond: leftmost (200, 20), rightmost (200, 120), lowest (100, 70), highest (300, 70).
  HeightPlane diamond{};
  for (int r = 100; r <= 300; ++r) {
    int half = 50 - std::abs(r - 200) / 2;
    for (int c = 70 - half; c <= 70 + half; ++c) pixelAt(diamond, r, c) = 20;
  }
  float column = 0, row = 0;
  ASSERT_TRUE(padCentre(diamond, kLeft, column, row));
  EXPECT_NEAR(column, 70, 1.0);
  EXPECT_NEAR(row, 200, 1.0);

  HeightPlane empty{};
  EXPECT_FALSE(padCentre(empty, kLeft, column, row));
  // A single row: both lines lie on that row, so they do not cross.
  HeightPlane flat = filledRectangle(150, 150, 20, 120, 30);
  EXPECT_FALSE(padCentre(flat, kRight, column, row));
}

TEST(PadPlacement, WindowAddsScaledStampAboveTheCentreRowAndCaps) {
  PadStamp pad;
  pad.maximum = 200;
  pad.centreColumn = 75;
  pad.centreRow = 200;
  pad.readBackStride = 60;  // padWidth 40 -> window 60 x 80
  pad.readBack.fill(0);
  pad.readBack[30 * 60 + 30] = 200;  // k 30, l 30
  pad.readBack[0] = 100;
  HeightPlane plane = filledRectangle(0, 359, 0, 149, 250);
  pixelAt(plane, 200 - 70 + 30, 75 - 30 + 30) = 20;
  addPadWindow(plane, pad, 40, 60, 2.0);  // top of the stamp adds 2 mm = 10 levels
  EXPECT_EQ(pixelAt(plane, 160, 75), 30);
  EXPECT_EQ(pixelAt(plane, 130, 45), 255);
}

class CpuFitting : public ::testing::Test {
 protected:
  void SetUp() override {
    // A template: an oval outline with a raised medial (high-column) arch area.
    HeightPlane sampled{};
    for (int r = 10; r < 270; ++r) {
      for (int c = 30; c < 120; ++c) {
        double dr = (r - 140) / 130.0, dc = (c - 75) / 45.0;
        if (dr * dr + dc * dc > 1) continue;
        int arch = (r > 90 && r < 160 && c > 95) ? 40 : 0;
        pixelAt(sampled, r, c) = uint8_t(15 + arch);
      }
    }
    adoptTemplate(state, sampled, kLeft);
    state.pad.maximum = 0;  // no stamp: the pad adds nothing unless a test loads one
  }
  FittingInputs inputs() const {
    FittingInputs in;
    in.lengthSlider = state.templateLength;
    in.padOn = false;
    return in;
  }
  InsoleState state;
  CpuInsoleRenderer renderer;
};

TEST_F(CpuFitting, TemplateAtItsOwnSizeKeepsItsOutline) {
  EXPECT_EQ(state.templateWidth, 90);
  EXPECT_EQ(state.templateLength, 260);
  fitInsole(state, inputs(), renderer);
  EXPECT_FALSE(state.dirty);
  OutlineBox box = measureBox(state.resultPlane);
  EXPECT_NEAR(box.widthExtent(), state.templateWidth, 2);
  EXPECT_NEAR(box.lengthExtent(), state.templateLength, 2);
  EXPECT_NEAR((box.minColumn + box.maxColumn) / 2.0, 75, 2);
}

TEST_F(CpuFitting, RightFootIsTheMirroredLeftFoot) {
  state.currentSide = kLeft;
  fitInsole(state, inputs(), renderer);
  const HeightPlane left = state.resultPlane;
  state.currentSide = kRight;
  fitInsole(state, inputs(), renderer);
  EXPECT_EQ(state.landmarkSide, kRight);
  for (int r = 0; r < kPlaneRows; ++r) {
    for (int c = 0; c < kPlaneColumns; ++c) {
      ASSERT_EQ(pixelAt(state.resultPlane, r, c), pixelAt(left, r, 149 - c)) << r << "," << c;
    }
  }
}

TEST_F(CpuFitting, LowerArchIndexGivesAHigherArchAndLongerLengthAStretch) {
  FittingInputs in = inputs();
  in.leftArchIndex = 0.1;
  fitInsole(state, in, renderer);
  const int high = *std::max_element(state.resultPlane.begin(), state.resultPlane.end());
  in.leftArchIndex = 0.32;
  fitInsole(state, in, renderer);
  const int low = *std::max_element(state.resultPlane.begin(), state.resultPlane.end());
  EXPECT_GT(high, low + 10);

  state.targetHeight = 360.0f * 300 / state.templateLength;
  fitInsole(state, in, renderer);
  EXPECT_NEAR(measureBox(state.resultPlane).lengthExtent(), 300, 3);
}

TEST_F(CpuFitting, PadRaisesTheForefootBelowItsCentre) {
  for (int r = 0; r < kStampSize; ++r) {
    for (int c = 0; c < kStampSize; ++c) state.pad.stamp[r * kStampStride + c] = 100;
  }
  state.pad.maximum = 100;
  FittingInputs in = inputs();
  fitInsole(state, in, renderer);
  const HeightPlane withoutPad = state.resultPlane;
  in.padOn = true;
  fitInsole(state, in, renderer);
  const int row = int(state.pad.centreRow) - 20, column = int(state.pad.centreColumn);
  EXPECT_EQ(pixelAt(state.resultPlane, row, column), pixelAt(withoutPad, row, column) + 10)
      << "a 2 mm pad adds 10 levels";
  EXPECT_EQ(pixelAt(state.resultPlane, int(state.pad.centreRow) + 15, column),
            pixelAt(withoutPad, int(state.pad.centreRow) + 15, column))
      << "nothing toe-wards of the centre";
}

TEST_F(CpuFitting, EmptyTemplateFitsWithoutAPad) {
  HeightPlane blank{};
  adoptTemplate(state, blank, kLeft);
  state.pad.maximum = 100;
  state.pad.centreColumn = 12;
  FittingInputs in = inputs();
  in.padOn = true;
  fitInsole(state, in, renderer);
  EXPECT_EQ(state.pad.centreColumn, 12) << "the centre is kept";
  EXPECT_EQ(*std::max_element(state.resultPlane.begin(), state.resultPlane.end()), 0);
}

}  // namespace
}  // namespace cobblet

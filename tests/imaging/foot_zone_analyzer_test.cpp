// Foot axes and zone shares: the analyzer against the plain geometric reference, the exact
// rules on band lines, vertical axes, and the placement rules of the arch tool.
#include "pedalyx/imaging/foot_zone_analyzer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/foot_zone_reference.h"
#include "imaging/synthetic_plate.h"

namespace {

constexpr int kW = 320;
constexpr int kH = 335;

FootAxis axisOf(int heelX, int heelY, int toeX, int toeY) {
  FootAxis axis;
  axis.heelX = heelX;
  axis.heelY = heelY;
  axis.toeX = toeX;
  axis.toeY = toeY;
  axis.pointCount = 2;
  return axis;
}

void expectSameZones(const FootAxis& axis, const reference::Zones& expected) {
  EXPECT_EQ(axis.archIndex, expected.archIndex);
  for (int j = 0; j < 6; ++j) EXPECT_EQ(axis.zoneShare[j], expected.zoneShare[j]) << "zone " << j;
}

struct Analyzer {
  std::vector<uint8_t> image = std::vector<uint8_t>(kW * kH, 0);
  FootZoneAnalyzer analyzer{image.data(), kW, kH};
  Analyzer() { analyzer.printDiagnostics = false; }
  void set(int x, int y, int level) { image[x + kW * y] = static_cast<uint8_t>(level); }
};

TEST(FootZones, MatchTheGeometricReferenceOnRandomImagesAndAxes) {
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<int> column(0, 159), row(0, kH - 1);
  for (int round = 0; round < 300; ++round) {
    Analyzer a;
    a.image = synthetic::randomLevels(rng, round % 3 == 0 ? 0.9 : 0.3);
    a.analyzer.levelImage = a.image.data();
    int offset = round % 2 ? 160 : 0;
    int heelX = column(rng) + offset, heelY = row(rng), toeX = column(rng) + offset;
    int toeY = row(rng);
    if (round % 5 == 0) toeX = heelX;  // vertical axes are what operators click most
    if (toeY == heelY) continue;
    FootAxis axis = axisOf(heelX, heelY, toeX, toeY);
    ASSERT_TRUE(a.analyzer.computeFootZones(axis));
    SCOPED_TRACE(::testing::Message()
                 << "heel " << heelX << "," << heelY << " toe " << toeX << "," << toeY);
    expectSameZones(axis, reference::footZones(a.image.data(), heelX, heelY, toeX, toeY));
  }
}

// Upright axis from (40, 30) to (40, 120): bands are rows 31..60, 61..90 and 91..120 after the
// pixels on the lines are settled; left of the axis means x < 40 and the axis column itself.
TEST(FootZones, VerticalAxisSplitsIntoHorizontalThirds) {
  Analyzer a;
  for (int y = 0; y < kH; ++y) {
    a.set(30, y, 10);   // left of the axis
    a.set(40, y, 20);   // on the axis: counted as left
    a.set(50, y, 30);   // right of the axis
    a.set(200, y, 99);  // the other foot never counts
  }
  FootAxis axis = axisOf(40, 30, 40, 120);
  ASSERT_TRUE(a.analyzer.computeFootZones(axis));
  // Rows strictly inside the bands: 29 per band and column; the lines at rows 30, 60, 90
  // and 120 count for no band on an upright axis.
  const double leftLoad = 29 * (10 + 20), rightLoad = 29 * 30, total = 3 * (leftLoad + rightLoad);
  for (int band = 0; band < 3; ++band) {
    EXPECT_FLOAT_EQ(axis.zoneShare[2 * band], static_cast<float>(100 * leftLoad / total));
    EXPECT_FLOAT_EQ(axis.zoneShare[2 * band + 1], static_cast<float>(100 * rightLoad / total));
  }
  EXPECT_FLOAT_EQ(axis.archIndex, 1.0f / 3);
  // The horizontal lines across an upright axis are y = F.
  EXPECT_EQ(axis.bands[0].a, 0);
  EXPECT_EQ(axis.bands[0].c, -120);
  EXPECT_EQ(axis.bands[3].c, -30);
}

// The right side of an axis is the side of the point one column right of the heel, so an axis
// drawn downwards keeps the screen's sides.
TEST(FootZones, VerticalAxisPointingDownKeepsTheScreenSides) {
  Analyzer a;
  for (int y = 0; y < kH; ++y) a.set(50, y, 30);  // right of x = 40 on screen
  FootAxis up = axisOf(40, 30, 40, 120), down = axisOf(40, 120, 40, 30);
  ASSERT_TRUE(a.analyzer.computeFootZones(up));
  ASSERT_TRUE(a.analyzer.computeFootZones(down));
  EXPECT_FLOAT_EQ(up.zoneShare[1] + up.zoneShare[3] + up.zoneShare[5], 100);
  EXPECT_FLOAT_EQ(down.zoneShare[1] + down.zoneShare[3] + down.zoneShare[5], 100);
  EXPECT_EQ(up.archIndex, down.archIndex);
}

// A pixel exactly on a line across the foot: with an axis leaning right (dx, dy > 0) it
// belongs to the band on the heel side only; leaning left it belongs to neither band.
TEST(FootZones, PixelsOnBandLinesBelongToAtMostOneBand) {
  // Axis (10,10) -> (40,40): the line across at one third passes through (20,20); (25,15)
  // and (15,25) lie on it too.
  Analyzer right;
  right.set(20, 20, 50);
  right.set(25, 15, 50);
  FootAxis leaningRight = axisOf(10, 10, 40, 40);
  ASSERT_TRUE(right.analyzer.computeFootZones(leaningRight));
  EXPECT_FLOAT_EQ(leaningRight.archIndex, 0);  // heel band, not middle
  EXPECT_FLOAT_EQ(leaningRight.zoneShare[0] + leaningRight.zoneShare[1], 100);

  Analyzer leftLean;
  leftLean.set(50, 20, 50);  // on the first line across axis (60,10) -> (30,40)
  leftLean.set(70, 50, 60);  // inside the middle band
  FootAxis leaningLeft = axisOf(60, 10, 30, 40);
  ASSERT_TRUE(leftLean.analyzer.computeFootZones(leaningLeft));
  EXPECT_FLOAT_EQ(leaningLeft.archIndex, 1);  // only the middle pixel counts
}

TEST(FootZones, ToesBeyondTheToePointAndPixelsAtTheHeelLineDoNotCount) {
  Analyzer a;
  a.set(40, 30, 200);   // on the heel line
  a.set(40, 121, 200);  // beyond the toe
  a.set(40, 70, 10);
  FootAxis axis = axisOf(40, 30, 40, 120);
  ASSERT_TRUE(a.analyzer.computeFootZones(axis));
  EXPECT_FLOAT_EQ(axis.archIndex, 1);
  EXPECT_FLOAT_EQ(axis.zoneShare[2], 100);
}

TEST(FootZones, AxisAtOneHeightOrIncompleteIsRefusedAndKeepsItsResults) {
  Analyzer a;
  a.set(50, 50, 99);
  FootAxis flat = axisOf(30, 50, 90, 50);
  flat.archIndex = 0.42f;
  flat.zoneShare[3] = 17;
  EXPECT_FALSE(a.analyzer.computeFootZones(flat));
  EXPECT_FLOAT_EQ(flat.archIndex, 0.42f);
  EXPECT_FLOAT_EQ(flat.zoneShare[3], 17);
  FootAxis single = axisOf(30, 50, 40, 90);
  single.pointCount = 1;
  single.archIndex = 0.3f;
  EXPECT_FALSE(a.analyzer.computeFootZones(single));
  EXPECT_FLOAT_EQ(single.archIndex, 0.3f);
}

TEST(FootZones, EmptyFootGivesZeroSharesAndArchIndex) {
  Analyzer a;
  FootAxis axis = axisOf(40, 30, 60, 200);
  axis.archIndex = 0.5f;
  ASSERT_TRUE(a.analyzer.computeFootZones(axis));
  EXPECT_EQ(axis.archIndex, 0);
  for (float share : axis.zoneShare) EXPECT_EQ(share, 0);
}

// Reference pairs of the lines across a slanted axis follow the side-pair rule: above a line
// with positive axis slope is (+1, +1), below (-1, -1).
TEST(FootZones, BandLinesOfASlantedAxis) {
  Analyzer a;
  FootAxis axis = axisOf(10, 10, 40, 40);
  ASSERT_TRUE(a.analyzer.computeFootZones(axis));
  const BandLine& throughToe = axis.bands[0];
  EXPECT_FLOAT_EQ(throughToe.a, 1);
  EXPECT_FLOAT_EQ(throughToe.slope, -1);
  EXPECT_NEAR(throughToe.a * 40 + throughToe.b * 40 + throughToe.c, 0, 1e-4);
  EXPECT_EQ(throughToe.sxA, 1);
  EXPECT_EQ(throughToe.syA, 1);
  EXPECT_EQ(throughToe.sxB, -1);
  EXPECT_EQ(throughToe.syB, -1);
  // The axis line's pair A is its right side.
  EXPECT_EQ(axis.bands[4].sxA, 1);
}

// Placing points with the arch tool on a view of 320 x 335 (one view pixel per canvas pixel):
// toolkit y grows downwards, so y = 334 is canvas row 0.
struct ArchTool : ::testing::Test {
  std::vector<uint8_t> image = std::vector<uint8_t>(kW * kH, 0);
  FootZoneAnalyzer analyzer{image.data(), kW, kH};
  void SetUp() override {
    analyzer.printDiagnostics = false;
    for (int y = 0; y < kH; ++y) {
      for (int x = 20; x < 60; ++x) image[x + kW * y] = 100;    // left foot
      for (int x = 250; x < 260; ++x) image[x + kW * y] = 200;  // right foot
    }
  }
  void click(int canvasX, int canvasY) { analyzer.placeAxisPoint(canvasX, kH - 1 - canvasY); }
};

TEST_F(ArchTool, ToeFirstThenHeelGivesTheSameAxis) {
  click(40, 300);
  click(40, 20);
  FootAxis toeFirst = analyzer.left;
  analyzer.removeAxis(10);
  click(40, 20);
  click(40, 300);
  EXPECT_EQ(toeFirst.heelY, 20);
  EXPECT_EQ(toeFirst.toeY, 300);
  EXPECT_EQ(analyzer.left.heelY, toeFirst.heelY);
  EXPECT_EQ(analyzer.left.toeY, toeFirst.toeY);
  EXPECT_EQ(analyzer.left.heelViewY, toeFirst.heelViewY);
  EXPECT_EQ(analyzer.left.archIndex, toeFirst.archIndex);
}

TEST_F(ArchTool, ThirdClickChangesNothing) {
  click(40, 20);
  click(45, 300);
  FootAxis before = analyzer.left;
  EXPECT_FALSE(analyzer.placeAxisPoint(30, 100));
  EXPECT_EQ(analyzer.left.pointCount, 2);
  EXPECT_EQ(analyzer.left.toeX, before.toeX);
  EXPECT_EQ(analyzer.left.heelX, before.heelX);
}

TEST_F(ArchTool, SecondPointAtTheHeelsHeightIsRefused) {
  click(40, 20);
  EXPECT_FALSE(analyzer.placeAxisPoint(50, kH - 1 - 20));
  EXPECT_EQ(analyzer.left.pointCount, 1);
  click(45, 300);
  EXPECT_EQ(analyzer.left.pointCount, 2);
}

// Each foot alone: a result for one foot must never come from the other foot's pixels.
TEST_F(ArchTool, EachFootIsComputedFromItsOwnHalfOnly) {
  click(255, 10);
  click(255, 310);
  EXPECT_EQ(analyzer.left.pointCount, 0);
  EXPECT_EQ(analyzer.right.pointCount, 2);
  EXPECT_EQ(analyzer.left.archIndex, 0);
  // Right foot: pixels x 250..259, axis x = 255: columns 250..255 left (axis counts left).
  float leftShare =
      analyzer.right.zoneShare[0] + analyzer.right.zoneShare[2] + analyzer.right.zoneShare[4];
  EXPECT_FLOAT_EQ(leftShare, 60);

  for (int y = 0; y < kH; ++y) {
    for (int x = 250; x < 260; ++x) image[x + kW * y] = 0;
  }
  analyzer.removeAxis(300);
  click(40, 10);
  click(40, 310);
  EXPECT_EQ(analyzer.left.pointCount, 2);
  leftShare = analyzer.left.zoneShare[0] + analyzer.left.zoneShare[2] + analyzer.left.zoneShare[4];
  EXPECT_FLOAT_EQ(leftShare, 52.5f);  // x 20..40 of 20..59
  EXPECT_EQ(analyzer.right.pointCount, 0);
}

// The centre column is the right foot's, for the click and for the half the zones are taken
// from: a right heel on it is measured like one a column further right.
TEST_F(ArchTool, CentreColumnIsTheRightFootsForClicksAndZones) {
  // The right foot on columns 160..169 only; the left foot reaches column 159.
  for (int y = 0; y < kH; ++y) {
    for (int x = 159; x < kW; ++x) image[x + kW * y] = x < 170 ? 100 : 0;
  }
  click(160, 10);
  click(160, 310);
  EXPECT_EQ(analyzer.left.pointCount, 0);
  ASSERT_EQ(analyzer.right.pointCount, 2);
  const FootAxis onCentre = analyzer.right;
  EXPECT_FLOAT_EQ(onCentre.archIndex, 1.0f / 3);
  EXPECT_FLOAT_EQ(onCentre.zoneShare[0] + onCentre.zoneShare[2] + onCentre.zoneShare[4], 10)
      << "only the axis column itself lies left of the axis";
  analyzer.removeAxis(160);
  EXPECT_EQ(analyzer.right.pointCount, 0);
  click(161, 10);
  click(161, 310);
  EXPECT_EQ(analyzer.right.archIndex, onCentre.archIndex);
  click(159, 10);
  EXPECT_EQ(analyzer.left.pointCount, 1);

  // On the station's view (533 pixels wide) view column 266 is canvas column 159, 267 is 160.
  FootZoneAnalyzer view(image.data(), 533, 558);
  view.printDiagnostics = false;
  view.placeAxisPoint(266, 500);
  view.placeAxisPoint(267, 500);
  EXPECT_EQ(view.left.pointCount, 1);
  EXPECT_EQ(view.right.pointCount, 1);
  view.removeAxis(266);
  EXPECT_EQ(view.left.pointCount, 0);
  EXPECT_EQ(view.right.pointCount, 1);
}

// A removed axis takes its foot's results with it, so they cannot reach the next customer.
TEST_F(ArchTool, RightClickRemovesThatHalfsAxisAndItsResultsOnly) {
  click(40, 10);
  click(40, 310);
  click(255, 10);
  click(255, 310);
  const float leftArch = analyzer.left.archIndex;
  ASSERT_GT(analyzer.right.archIndex, 0);
  const unsigned rightRevision = analyzer.right.revision;
  analyzer.removeAxis(200);
  EXPECT_EQ(analyzer.left.pointCount, 2);
  EXPECT_EQ(analyzer.left.archIndex, leftArch);
  EXPECT_EQ(analyzer.right.pointCount, 0);
  EXPECT_EQ(analyzer.right.archIndex, 0);
  for (float share : analyzer.right.zoneShare) EXPECT_EQ(share, 0);
  EXPECT_NE(analyzer.right.revision, rightRevision) << "the cleared result must be published";
  // Later frames recompute nothing for the foot without an axis.
  EXPECT_FALSE(analyzer.computeFootZones(analyzer.right));
  EXPECT_EQ(analyzer.right.archIndex, 0);

  analyzer.removeBothAxes();
  EXPECT_EQ(analyzer.left.pointCount, 0);
  EXPECT_EQ(analyzer.left.archIndex, 0);
  for (float share : analyzer.left.zoneShare) EXPECT_EQ(share, 0);
}

// The fields take a foot's results only when its revision moves: a new axis, a changed
// result, or a removal. Recomputing the same picture must not move it, or every frame would
// overwrite what the operator typed.
TEST_F(ArchTool, RevisionMovesOnlyWithNewResults) {
  click(40, 10);
  click(40, 310);
  const unsigned placed = analyzer.left.revision;
  const unsigned level = (analyzer.computeLevelStatistics(), analyzer.levelRevision);
  for (int frame = 0; frame < 5; ++frame) {
    analyzer.computeFootZones(analyzer.left);
    analyzer.computeLevelStatistics();
  }
  EXPECT_EQ(analyzer.left.revision, placed);
  EXPECT_EQ(analyzer.levelRevision, level);
  for (int y = 0; y < kH; ++y) image[30 + kW * y] = 0;
  analyzer.computeFootZones(analyzer.left);
  analyzer.computeLevelStatistics();
  EXPECT_NE(analyzer.left.revision, placed);
  EXPECT_NE(analyzer.levelRevision, level);
}

TEST(FootAxisRescale, ViewPointsFollowTheCanvasPoints) {
  std::vector<uint8_t> image(kW * kH, 0);
  FootZoneAnalyzer analyzer(image.data(), 533, 558);
  analyzer.printDiagnostics = false;
  analyzer.placeAxisPoint(100, 557 - 100);
  analyzer.placeAxisPoint(110, 557 - 400);
  EXPECT_EQ(analyzer.left.heelX, 60);
  EXPECT_EQ(analyzer.left.heelY, 60);
  analyzer.rescale(kW, kH);
  EXPECT_EQ(analyzer.left.heelViewX, 60);
  EXPECT_EQ(analyzer.left.toeViewY, analyzer.left.toeY);
  analyzer.rescale(533, 558);
  EXPECT_EQ(analyzer.left.heelViewX, 60 * 533 / 320);
  EXPECT_FLOAT_EQ(analyzer.scaleX, 320.0f / 533);
}

}  // namespace

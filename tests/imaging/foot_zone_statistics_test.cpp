// Half shares, centres of pressure, level classes and the shoe size.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/foot_zone_reference.h"
#include "imaging/synthetic_plate.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/shoe_size.h"

namespace {

constexpr int kW = 320;
constexpr int kH = 335;

void expectHalf(const FootAxis& axis, const float* classShare, const float* expectedClasses,
                const reference::HalfStatistics& expected) {
  EXPECT_EQ(axis.halfShare, expected.halfShare);
  EXPECT_EQ(axis.upperShare, expected.upperShare);
  EXPECT_EQ(axis.lowerShare, expected.lowerShare);
  EXPECT_EQ(axis.centroidX, expected.centroidX);
  EXPECT_EQ(axis.centroidY, expected.centroidY);
  for (int j = 0; j < 5; ++j) {
    EXPECT_EQ(classShare[j], expected.classShare[j]);
    EXPECT_EQ(classShare[j], expectedClasses[j]);
  }
}

TEST(LevelStatistics, MatchTheReferenceOnRandomAndFootShapedImages) {
  std::mt19937 rng(7);
  std::vector<std::vector<uint8_t>> images = {synthetic::twoFeet()};
  for (double fraction : {0.01, 0.2, 0.6, 1.0})
    images.push_back(synthetic::randomLevels(rng, fraction));
  for (const auto& image : images) {
    FootZoneAnalyzer analyzer(image.data(), 533, 558);
    analyzer.computeLevelStatistics();
    reference::Statistics expected = reference::levelStatistics(image.data());
    expectHalf(analyzer.left, analyzer.classShareLeft, expected.left.classShare, expected.left);
    expectHalf(analyzer.right, analyzer.classShareRight, expected.right.classShare, expected.right);
    EXPECT_EQ(analyzer.centreX, expected.centreX);
    EXPECT_EQ(analyzer.centreY, expected.centreY);
    for (int j = 0; j < 5; ++j) EXPECT_EQ(analyzer.classShareTotal[j], expected.classShareTotal[j]);
  }
}

// A fully loaded plate at the highest level sums 255 * x over 53 600 pixels per half, beyond
// what 32-bit sums hold; the centre must still be the middle of the plate.
TEST(LevelStatistics, FullPlateAtTheHighestLevelKeepsItsCentre) {
  std::vector<uint8_t> image(kW * kH, 255);
  FootZoneAnalyzer analyzer(image.data(), kW, kH);
  analyzer.computeLevelStatistics();
  EXPECT_EQ(analyzer.right.centroidX, 239);
  EXPECT_EQ(analyzer.left.centroidX, 79);
  EXPECT_EQ(analyzer.centreX, 159);
  EXPECT_EQ(analyzer.centreY, 167);
  EXPECT_FLOAT_EQ(analyzer.classShareTotal[4], 100);
}

TEST(LevelStatistics, EmptyPlateGivesFiftyFiftyAndZeros) {
  std::vector<uint8_t> image(kW * kH, 0);
  FootZoneAnalyzer analyzer(image.data(), kW, kH);
  analyzer.computeLevelStatistics();
  EXPECT_FLOAT_EQ(analyzer.left.halfShare, 50);
  EXPECT_FLOAT_EQ(analyzer.right.halfShare, 50);
  for (const FootAxis* axis : {&analyzer.left, &analyzer.right}) {
    EXPECT_EQ(axis->upperShare, 0);
    EXPECT_EQ(axis->lowerShare, 0);
    EXPECT_EQ(axis->centroidX, 0);
    EXPECT_EQ(axis->centroidY, 0);
    EXPECT_EQ(axis->archIndex, 0);
  }
  EXPECT_EQ(analyzer.centreX, 0);
  EXPECT_EQ(analyzer.centreY, 0);
  for (int j = 0; j < 5; ++j) {
    EXPECT_EQ(analyzer.classShareTotal[j], 0);
    EXPECT_EQ(analyzer.classShareLeft[j], 0);
    EXPECT_EQ(analyzer.classShareRight[j], 0);
  }
}

// Each half alone: a load on one side must never show up in the other side's results.
TEST(LevelStatistics, LoadOnOneHalfOnlyStaysOnThatHalf) {
  for (bool loadLeft : {true, false}) {
    std::vector<uint8_t> image(kW * kH, 0);
    int x = loadLeft ? 100 : 260;
    image[x + kW * 200] = 70;   // class 2, upper rows
    image[x + kW * 100] = 230;  // class 5, lower rows
    FootZoneAnalyzer analyzer(image.data(), kW, kH);
    analyzer.computeLevelStatistics();
    const FootAxis& loaded = loadLeft ? analyzer.left : analyzer.right;
    const FootAxis& empty = loadLeft ? analyzer.right : analyzer.left;
    const float* loadedClasses = loadLeft ? analyzer.classShareLeft : analyzer.classShareRight;
    const float* emptyClasses = loadLeft ? analyzer.classShareRight : analyzer.classShareLeft;
    EXPECT_FLOAT_EQ(empty.halfShare, 100.0f / 301);
    EXPECT_FLOAT_EQ(loaded.halfShare, 100.0f * 300 / 301);
    EXPECT_FLOAT_EQ(loaded.upperShare, 100.0f * 70 / 301);
    EXPECT_FLOAT_EQ(loaded.lowerShare, 100.0f * 230 / 301);
    EXPECT_EQ(empty.upperShare, 0);
    EXPECT_EQ(loaded.centroidX, x);
    EXPECT_EQ(loaded.centroidY, (70 * 200 + 230 * 100) / 300);
    EXPECT_EQ(empty.centroidX, 0);
    EXPECT_FLOAT_EQ(loadedClasses[1], 50);
    EXPECT_FLOAT_EQ(loadedClasses[4], 50);
    for (int j = 0; j < 5; ++j) EXPECT_EQ(emptyClasses[j], 0);
    EXPECT_EQ(analyzer.centreX, x * 300 / 301);
  }
}

TEST(LevelStatistics, LevelClassBoundaries) {
  const int firstOfClass[] = {1, 65, 113, 193, 225};
  const int lastOfClass[] = {64, 112, 192, 224, 255};
  for (int j = 0; j < 5; ++j) {
    EXPECT_EQ(levelClassOf(static_cast<uint8_t>(firstOfClass[j])), j);
    EXPECT_EQ(levelClassOf(static_cast<uint8_t>(lastOfClass[j])), j);
  }
}

TEST(ShoeSize, RoundsTheLongerFootPlusRoomToFiveMillimetres) {
  EXPECT_EQ(shoeSizeText(245, 250), "26.5");
  EXPECT_EQ(shoeSizeText(250, 245), "26.5");
  EXPECT_EQ(shoeSizeText(240, 0), "25.5");
  EXPECT_EQ(shoeSizeText(0, 237), "25.0");
  EXPECT_EQ(shoeSizeText(238, 0), "25.0");  // 251: remainder 1 rounds down
}

}  // namespace

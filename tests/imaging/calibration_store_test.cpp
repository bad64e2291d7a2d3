#include "pedalyx/imaging/calibration_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/files.h"
#include "scratch_folder.h"

namespace {

// A file in this program's temporary folder, which goes when the program ends.
std::string tempPath(const std::string& name) {
  static ScratchFolder folder("imaging-calibration");
  return folder / name;
}

void fillGrid(CalibrationGrid& grid, float base) {
  for (int i = 0; i < 16; ++i) grid.reference[i] = {base + i, base + 100 + 2 * i};
}

std::string quiet(const std::function<void()>& action) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  action();
  std::string log = testing::internal::GetCapturedStdout();
  return log + testing::internal::GetCapturedStderr();
}

TEST(CalibrationStore, BlocksHoldLittleEndianCoordinatesPlusOneHundred) {
  CalibrationGrid left, right;
  fillGrid(left, 300);
  fillGrid(right, 20);
  left.reference[1] = {123.9f, -7.6f};  // truncated toward zero: 123 and -7
  const CalibrationStoreBytes bytes = encodeCalibrationStore(left, right);
  auto value = [&](int block, int point) {
    return bytes[32 * block + 2 * point] | (bytes[32 * block + 2 * point + 1] << 8);
  };
  EXPECT_EQ(value(0, 0), 400);  // x of left point 0
  EXPECT_EQ(bytes[0], 400 % 256);
  EXPECT_EQ(bytes[1], 400 / 256);
  EXPECT_EQ(value(0, 1), 223);
  EXPECT_EQ(value(1, 1), 93);
  EXPECT_EQ(value(1, 15), 300 + 100 + 30 + 100);  // y of left point 15
  EXPECT_EQ(value(2, 3), 20 + 3 + 100);           // x of right point 3
  EXPECT_EQ(value(3, 0), 220);                    // y of right point 0
}

// A point whose stored value has low byte 0 (x = 156 is 256) must not make the store look blank:
// that would throw away a saved calibration at the next start.
TEST(CalibrationStore, FirstByteZeroStillLoadsOnlyABlankStoreIsEmpty) {
  CalibrationGrid left, right;
  fillGrid(left, 300);
  fillGrid(right, 20);
  left.reference[0].x = 156.0f;
  const CalibrationStoreBytes bytes = encodeCalibrationStore(left, right);
  ASSERT_EQ(bytes[0], 0);
  CalibrationGrid readLeft, readRight;
  quiet([&] {
    EXPECT_TRUE(
        decodeCalibrationStore(std::string(bytes.begin(), bytes.end()), readLeft, readRight));
  });
  EXPECT_EQ(readLeft.reference[0].x, 156.0f);
  EXPECT_FALSE(decodeCalibrationStore(std::string(128, '\0'), readLeft, readRight));
}

TEST(CalibrationStore, CoordinatesOutsideTheStorableRangeAreClampedNotWrapped) {
  CalibrationGrid left, right;
  fillGrid(left, 10);
  fillGrid(right, 10);
  left.reference[0] = {-150.0f, 70000.0f};
  right.reference[2] = {65435.0f, -100.0f};
  const CalibrationStoreBytes bytes = encodeCalibrationStore(left, right);
  CalibrationGrid readLeft, readRight;
  quiet([&] {
    ASSERT_TRUE(
        decodeCalibrationStore(std::string(bytes.begin(), bytes.end()), readLeft, readRight));
  });
  EXPECT_EQ(readLeft.reference[0].x, -100.0f);
  EXPECT_EQ(readLeft.reference[0].y, 65435.0f);
  EXPECT_EQ(readRight.reference[2].x, 65435.0f);
  EXPECT_EQ(readRight.reference[2].y, -100.0f);
}

TEST(CalibrationStore, FileRoundTripKeepsWholePixelsAndRebuildsTheMeshes) {
  CalibrationGrid left, right;
  setFallbackLayout(left, right);
  left.reference[5] = {517.8f, 291.2f};
  right.reference[10] = {-3.9f, 200.5f};
  const std::string path = tempPath("store_roundtrip.bin");
  ASSERT_TRUE(saveCalibrationStore(path, left, right));
  EXPECT_EQ(platform::readWholeFile(path)->size(), 128u);

  CalibrationGrid readLeft, readRight;
  const std::string log =
      quiet([&] { EXPECT_TRUE(loadCalibrationStore(path, readLeft, readRight)); });
  EXPECT_NE(log.find("5 (517.000000,291.000000)\n"), std::string::npos) << log;
  EXPECT_EQ(readLeft.reference[5].x, 517.0f);
  EXPECT_EQ(readRight.reference[10].x, -3.0f);
  EXPECT_EQ(readRight.reference[10].y, 200.0f);
  EXPECT_EQ(readLeft.meshX[meshIndex(4, 4)], 517.0f);  // mesh follows the loaded points
  EXPECT_EQ(readRight.reference[0].x, 240.0f);
}

TEST(CalibrationStore, MissingEmptyOrShortStoreGivesTheFallbackLayout) {
  const std::string empty(128, '\0');
  const std::string shortStore(100, 'x');
  for (const std::string* content : {&empty, &shortStore}) {
    const std::string path = tempPath("store_bad.bin");
    ASSERT_TRUE(platform::writeFileAtomic(path, *content));
    CalibrationGrid left, right;
    EXPECT_FALSE(loadCalibrationStore(path, left, right));
    EXPECT_EQ(left.meshX[meshIndex(0, 0)], 580.0f);
    EXPECT_EQ(right.meshX[meshIndex(0, 0)], 240.0f);
  }
  CalibrationGrid left, right;
  EXPECT_FALSE(loadCalibrationStore(tempPath("no_such_store.bin"), left, right));
  EXPECT_EQ(left.meshY[meshIndex(0, 0)], 384.0f);
}

TEST(ReferencePointFile, FirstNumberDecidesBetweenPixelsAndFractions) {
  CalibrationGrid grid;
  std::string pixels, fractions;
  for (int i = 0; i < 16; ++i) {
    pixels += std::to_string(400 + i) + " " + std::to_string(100 + 10 * i) + "\n";
    // The first number 0.5 makes everything fractions, even the later 1.1.
    fractions += (i == 0 ? "0.5" : "1.1") + std::string(" 0.25\n");
  }
  quiet([&] { EXPECT_EQ(applyReferencePointText(pixels, grid), ReferenceFileResult::Loaded); });
  EXPECT_EQ(grid.reference[3].x, 403.0f);
  EXPECT_EQ(grid.reference[3].y, 130.0f);
  EXPECT_EQ(grid.meshX[meshIndex(0, 12)], 403.0f);

  quiet([&] { EXPECT_EQ(applyReferencePointText(fractions, grid), ReferenceFileResult::Loaded); });
  EXPECT_EQ(grid.reference[0].x, 320.0f);
  EXPECT_EQ(grid.reference[0].y, 120.0f);
  EXPECT_FLOAT_EQ(grid.reference[1].x, 704.0f);
}

TEST(ReferencePointFile, ShortFileIsRefusedAndTheCurrentPointsStay) {
  CalibrationGrid left, right;
  setFallbackLayout(left, right);
  const std::string path = tempPath("point_reference_short.txt");
  ASSERT_TRUE(platform::writeFileAtomic(path, "400 100 410 110 420\n"));
  const std::string log =
      quiet([&] { EXPECT_EQ(readReferencePointFile(path, left), ReferenceFileResult::Refused); });
  EXPECT_NE(log.find("holds 5 numbers instead of 32"), std::string::npos) << log;
  EXPECT_EQ(left.reference[0].x, 580.0f);
  EXPECT_EQ(left.reference[2].y, 192.0f);
  EXPECT_EQ(left.meshX[meshIndex(0, 0)], 580.0f);  // mesh rebuilt from the kept points

  CalibrationGrid missing;
  setFallbackLayout(missing, right);
  EXPECT_EQ(readReferencePointFile(tempPath("no_such_points.txt"), missing),
            ReferenceFileResult::Missing);
  EXPECT_EQ(missing.meshY[meshIndex(12, 12)], 96.0f);
}

// A typed or damaged file must not warp every later pressure picture: numbers that are not
// finite or lie far outside the camera frame are refused, and saving never converts such a
// value to an integer before clamping it.
TEST(ReferencePointFile, PointsThatAreNotNumbersOrFarOutsideTheFrameAreRefused) {
  for (const char* bad : {"nan", "inf", "1e30", "-1e30", "900"}) {
    std::string text = "400 100\n";
    for (int i = 1; i < 16; ++i) text += (i == 7 ? std::string(bad) : "410") + " 120\n";
    CalibrationGrid left, right;
    setFallbackLayout(left, right);
    const std::string log = quiet(
        [&] { EXPECT_EQ(applyReferencePointText(text, left), ReferenceFileResult::Refused); });
    EXPECT_NE(log.find("point 7"), std::string::npos) << bad << ": " << log;
    EXPECT_EQ(left.reference[0].x, 580.0f) << bad << ": the current points stay";
    EXPECT_EQ(left.reference[7].x, 520.0f) << bad;
  }
  CalibrationGrid left, right;
  setFallbackLayout(left, right);
  left.reference[4].x = 1e30f;
  right.reference[9].y = -1e30f;
  const CalibrationStoreBytes bytes = encodeCalibrationStore(left, right);
  CalibrationGrid readLeft, readRight;
  quiet([&] {
    ASSERT_TRUE(
        decodeCalibrationStore(std::string(bytes.begin(), bytes.end()), readLeft, readRight));
  });
  EXPECT_EQ(readLeft.reference[4].x, 65435.0f) << "clamped as a number, not wrapped";
  EXPECT_EQ(readRight.reference[9].y, -100.0f);

  left.reference[4].x = std::nanf("");
  const std::string path = tempPath("store_nan.bin");
  ASSERT_TRUE(saveCalibrationStore(path, right, right));
  const std::string before = *platform::readWholeFile(path);
  quiet([&] { EXPECT_FALSE(saveCalibrationStore(path, left, right)); });
  EXPECT_EQ(platform::readWholeFile(path), before) << "the saved calibration stays";
}

}  // namespace

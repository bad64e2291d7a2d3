// The technician's session at the plate: where the pad is when nobody marks it, and records
// that are refused or taken back leave the curve as the remaining loads give it.
#include "pedalyx/imaging/load_calibration_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pedalyx/imaging/canvas_geometry.h"

namespace {

// A round pad of radius 20 canvas pixels at (64, 160) reading `level`, and one stray loaded
// pixel far from it, as camera noise leaves now and then.
std::vector<uint8_t> padWithStrayPixel(int level) {
  std::vector<uint8_t> levels(kCanvasPixels, 0);
  for (int y = 0; y < kCanvasHeight; ++y)
    for (int x = 0; x < kCanvasWidth; ++x)
      if (std::hypot(x + 0.5 - 64, y + 0.5 - 160) < 20) levels[x + kCanvasWidth * y] = level;
  levels[300 + kCanvasWidth * 20] = 9;
  return levels;
}

const double kPadCm2 = M_PI * 20 * 20 * 1.07 * 1.07 / 100;

TEST(LoadedPadRegion, IsThePadWithItsEdgeNotEveryLoadedPixel) {
  const PadRegion r = loadedPadRegion(padWithStrayPixel(100).data());
  EXPECT_LE(r.x0, 44);
  EXPECT_GE(r.x1, 84);
  EXPECT_LE(r.y0, 140);
  EXPECT_GE(r.y1, 180);
  EXPECT_LT(r.x1, 100) << "the stray pixel at x 300 widened the region";
  EXPECT_GT(r.y0, 100) << "the stray pixel at y 20 widened the region";
  const std::vector<uint8_t> empty(kCanvasPixels, 0);
  const PadRegion whole = loadedPadRegion(empty.data());
  EXPECT_EQ(whole.x1 - whole.x0, kCanvasWidth);
}

TEST(LoadCalibrationSession, FitsFromThreeLoadsAndRefitsWhenOneIsTakenBack) {
  LoadCalibrationSession session;
  const double massPerKpa = kPadCm2 / 10 / CalibrationLimits::kGravity;
  int level = 40;
  for (double kpa : {10.0, 25.0}) {
    const auto step = session.record(padWithStrayPixel(level).data(),
                                     loadedPadRegion(padWithStrayPixel(level).data()),
                                     kpa * massPerKpa, kPadCm2, 6);
    ASSERT_TRUE(step.recorded) << step.message;
    EXPECT_FALSE(step.fitted);
    EXPECT_TRUE(step.fitRefusal.empty()) << "two loads are not yet a refusal";
    level += 60;
  }
  // A pad area typed wrong is refused and leaves the records as they were.
  const auto wrong =
      session.record(padWithStrayPixel(160).data(), PadRegion{}, 40 * massPerKpa, 3 * kPadCm2, 6);
  EXPECT_FALSE(wrong.recorded);
  EXPECT_EQ(session.records().size(), 2u);

  const auto third =
      session.record(padWithStrayPixel(160).data(), PadRegion{}, 40 * massPerKpa, kPadCm2, 6);
  ASSERT_TRUE(third.fitted) << third.fitRefusal;
  // A heavier load reading lower makes the curve refused; taking it back gives the curve again.
  const auto lower =
      session.record(padWithStrayPixel(120).data(), PadRegion{}, 60 * massPerKpa, kPadCm2, 6);
  EXPECT_TRUE(lower.recorded);
  EXPECT_FALSE(lower.fitted);
  EXPECT_FALSE(session.calibration());
  EXPECT_NE(lower.fitRefusal.find("不是單調"), std::string::npos) << lower.fitRefusal;
  session.removeLast();
  ASSERT_TRUE(session.calibration());
  EXPECT_EQ(session.calibration()->records.size(), 3u);
  for (const LoadRow& row : session.rows()) {
    ASSERT_TRUE(row.residual);
    EXPECT_LT(std::abs(row.residual->residualPercent()), 0.5);
  }
}

}  // namespace

#include "pedalyx/imaging/pressure_calibration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/pressure_calibration_file.h"
#include "platform/files.h"
#include "pressure_records.h"

namespace {

using pressure_records::padRecord;

// A plate whose level grows with the square root of the pressure (it saturates).
std::vector<CalibrationRecord> saturatingPlate(const std::vector<double>& kpas) {
  std::vector<CalibrationRecord> records;
  for (double kpa : kpas) records.push_back(padRecord(kpa, 25 * std::sqrt(kpa)));
  return records;
}

TEST(PressureCalibrationFit, CurvePassesThroughEachLoadIsMonotoneAndPredictsALoadLeftOut) {
  const std::vector<CalibrationRecord> records = saturatingPlate({10, 25, 40, 60, 80});
  const CurveFit fit = fitCalibrationCurve(records);
  ASSERT_TRUE(fit.curve) << fit.refusal;
  const CalibrationCurve& curve = *fit.curve;
  ASSERT_EQ(curve.points.size(), 5u);
  EXPECT_NEAR(curve.kpaAt(25 * std::sqrt(40.0)), 40, 1e-2);
  EXPECT_EQ(curve.kpaAt(0), 0);
  double last = 0;
  for (int level = 1; level < 256; ++level) {
    ASSERT_GT(curve.kpaAt(level), last) << "level " << level;
    last = curve.kpaAt(level);
  }
  // Above the heaviest load (level 223.6) the last segment goes on.
  const double slope = (80 - 60) / (25 * (std::sqrt(80.0) - std::sqrt(60.0)));
  EXPECT_NEAR(curve.kpaAt(250) - curve.kpaAt(240), 10 * slope, 1e-3);
  for (const CalibrationRecord& record : records) {
    EXPECT_LT(std::abs(residualOf(curve, record).residualPercent()), 1.0);
  }
  // 40 kPa left out: the chord from 25 to 60 kPa under a concave response is close, not exact.
  std::string refusal;
  const std::optional<CalibrationResidual> leftOut = predictLeftOutLoad(records, 2, &refusal);
  ASSERT_TRUE(leftOut) << refusal;
  EXPECT_EQ(leftOut->pressureKpa, recordPressureKpa(records[2]));
  EXPECT_GT(std::abs(leftOut->residualKpa()), 0.1);
  EXPECT_LT(std::abs(leftOut->residualPercent()), 5);
  // With three loads, leaving one out leaves too few.
  EXPECT_FALSE(predictLeftOutLoad(saturatingPlate({10, 40, 80}), 1, &refusal));
  EXPECT_NE(refusal.find("至少需要 3"), std::string::npos) << refusal;
}

TEST(PressureCalibrationFit, RefusesWithTheReason) {
  struct Case {
    const char* name;
    std::vector<CalibrationRecord> records;
    const char* reason;
  };
  std::vector<CalibrationRecord> repeated = saturatingPlate({10, 40, 40.2});
  std::vector<CalibrationRecord> mixed = saturatingPlate({10, 40, 80});
  mixed[1].toneDensity = 8;
  std::vector<CalibrationRecord> badMass = saturatingPlate({10, 40, 80});
  badMass[2].massKg = std::nan("");
  const Case cases[] = {
      {"two loads, one recorded twice", repeated, "2 種不同負重"},
      {"heavier load reads lower",
       {padRecord(10, 60), padRecord(40, 50), padRecord(80, 120)},
       "不是單調"},
      {"heavier load reads the same",
       {padRecord(10, 60), padRecord(40, 60), padRecord(80, 120)},
       "不是單調"},
      {"loads too close",
       {padRecord(10, 60), padRecord(40, 62), padRecord(80, 120)},
       "相差不到 4 級"},
      {"tone density changed", mixed, "色調濃度不同"},
      {"mass not a number", badMass, "第 3 筆負重：質量"},
  };
  for (const Case& c : cases) {
    const CurveFit fit = fitCalibrationCurve(c.records);
    EXPECT_FALSE(fit.curve) << c.name;
    EXPECT_NE(fit.refusal.find(c.reason), std::string::npos) << c.name << ": " << fit.refusal;
  }
}

// A round pad of radius 20 canvas pixels reading `level`, with a one-pixel rim at half the level
// where the pad's edge blurs.
std::vector<uint8_t> padPicture(int level) {
  std::vector<uint8_t> levels(kCanvasPixels, 0);
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      const double r = std::hypot(x + 0.5 - 64, y + 0.5 - 160);
      if (r < 20)
        levels[x + kCanvasWidth * y] = static_cast<uint8_t>(level);
      else if (r < 21)
        levels[x + kCanvasWidth * y] = static_cast<uint8_t>(level / 2);
    }
  }
  return levels;
}

TEST(PressureCalibrationRecord, TakesThePadInsideItsRimAndChecksItsArea) {
  const std::vector<uint8_t> levels = padPicture(120);
  const double padCm2 = M_PI * 21 * 21 * 1.07 * 1.07 / 100;
  const PadRecording recorded = recordPadLoad(levels.data(), PadRegion{}, 10, padCm2, 6);
  ASSERT_TRUE(recorded.record) << recorded.message;
  EXPECT_EQ(recordMeanLevel(*recorded.record), 120) << "the blurred rim must not count";
  EXPECT_GT(recordPixels(*recorded.record), 900u);
  EXPECT_NEAR(recorded.loadedAreaCm2, padCm2, 0.02 * padCm2);

  const PadRecording wrongArea = recordPadLoad(levels.data(), PadRegion{}, 10, 2 * padCm2, 6);
  EXPECT_FALSE(wrongArea.record);
  EXPECT_NE(wrongArea.message.find("不符"), std::string::npos) << wrongArea.message;
  const std::vector<uint8_t> full = padPicture(255);
  const PadRecording saturated = recordPadLoad(full.data(), PadRegion{}, 10, padCm2, 6);
  EXPECT_FALSE(saturated.record);
  EXPECT_NE(saturated.message.find("滿刻度"), std::string::npos) << saturated.message;
  EXPECT_FALSE(recordPadLoad(levels.data(), PadRegion{}, -3, padCm2, 6).record);
}

class PressureCalibrationFile : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::TempDir() + "/pressure_calibration_" + std::to_string(getpid());
    ASSERT_TRUE(platform::makeDirectory(folder_));
    path_ = folder_ + "/" + kPressureCalibrationFile;
  }
  void TearDown() override {
    platform::removeFile(path_);
    ::rmdir(folder_.c_str());
  }
  // The calibration read from `text`, with what the reader said on standard error.
  std::optional<PressureCalibration> loadText(const std::string& text, std::string& said) {
    EXPECT_TRUE(platform::writeFileAtomic(path_, text));
    testing::internal::CaptureStderr();
    std::optional<PressureCalibration> loaded = loadPressureCalibration(path_);
    said = testing::internal::GetCapturedStderr();
    return loaded;
  }
  std::string folder_, path_;
};

TEST_F(PressureCalibrationFile, KeepsItsLoadsAndReadsBackTheSameCurve) {
  std::string refusal;
  std::optional<PressureCalibration> made =
      makePressureCalibration(saturatingPlate({10, 25, 40, 60}), refusal);
  ASSERT_TRUE(made) << refusal;
  ASSERT_TRUE(savePressureCalibration(path_, *made));
  std::string said;
  testing::internal::CaptureStderr();
  const std::optional<PressureCalibration> loaded = loadPressureCalibration(path_);
  said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(loaded) << said;
  ASSERT_EQ(loaded->records.size(), 4u);
  EXPECT_EQ(loaded->records[3].levelCounts, made->records[3].levelCounts);
  EXPECT_EQ(recordPressureKpa(loaded->records[3]), recordPressureKpa(made->records[3]));
  for (int level = 0; level < 256; level += 15)
    EXPECT_NEAR(loaded->curve.kpaAt(level), made->curve.kpaAt(level), 1e-6);
  // No file: uncalibrated, and nothing to say about it.
  platform::removeFile(path_);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(loadPressureCalibration(path_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(PressureCalibrationFile, DamagedFileLeavesTheStationUncalibratedAndSaysWhy) {
  std::string refusal;
  const std::optional<PressureCalibration> made =
      makePressureCalibration(saturatingPlate({10, 25, 40, 60}), refusal);
  ASSERT_TRUE(made);
  // Lines: header, four loads, curve, end; each as its words.
  std::vector<std::vector<std::string>> good;
  {
    std::istringstream text(formatPressureCalibration(*made));
    for (std::string line; std::getline(text, line);) {
      std::istringstream in(line);
      good.emplace_back();
      for (std::string word; in >> word;) good.back().push_back(word);
    }
  }
  ASSERT_EQ(good.size(), 7u);
  auto joined = [](const std::vector<std::vector<std::string>>& lines, size_t count = 99) {
    std::string text;
    for (size_t i = 0; i < lines.size() && i < count; ++i) {
      for (const std::string& word : lines[i]) text += word + " ";
      text += "\n";
    }
    return text;
  };
  auto edited = [&](size_t line, size_t word, const std::string& to) {
    std::vector<std::vector<std::string>> lines = good;
    lines[line][word] = to;
    return joined(lines);
  };
  // The 25 and 40 kPa loads with each other's level distributions: the heavier reads lower.
  std::vector<std::vector<std::string>> swapped = good;
  swapped[2].resize(4);
  swapped[3].resize(4);
  swapped[2].insert(swapped[2].end(), good[3].begin() + 4, good[3].end());
  swapped[3].insert(swapped[3].end(), good[2].begin() + 4, good[2].end());
  std::string cutInALoad = joined(good, 3);
  cutInALoad += good[3][0] + " " + good[3][1] + " " + good[3][2];
  std::string huge = joined(good, 2);
  while (huge.size() <= kMaxPressureCalibrationBytes) huge += joined({good[1]});
  const std::string firstCurveKpa = std::to_string(std::stod(good[5][2]) + 1);
  const struct {
    const char* name;
    std::string text;
    const char* reason;
  } cases[] = {
      {"mass not finite", edited(1, 1, "nan"), "not a finite number"},
      {"curve not finite", edited(5, 1, "inf"), "not finite"},
      {"不是單調", joined(swapped), "不是單調"},
      {"curve edited", edited(5, 2, firstCurveKpa), "does not follow"},
      {"cut short in a load", cutInALoad, "cut short"},
      {"cut short before end", joined(good, 6), "cut short"},
      {"empty", "", "does not begin"},
      {"huge", huge, "longer than"},
      {"pixel count beyond the canvas", edited(1, 4, "30:999999"), "level distribution"},
  };
  for (const auto& c : cases) {
    std::string said;
    EXPECT_FALSE(loadText(c.text, said)) << c.name;
    EXPECT_NE(said.find("not calibrated"), std::string::npos) << c.name << ": " << said;
    EXPECT_NE(said.find(c.reason), std::string::npos) << c.name << ": " << said;
  }
}

}  // namespace

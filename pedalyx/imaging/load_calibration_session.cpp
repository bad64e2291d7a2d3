#include "pedalyx/imaging/load_calibration_session.h"

#include <algorithm>
#include <cstdio>

#include "pedalyx/imaging/canvas_geometry.h"

namespace {

constexpr int kRegionMargin = 4;  // pixels around the loaded area: its blurred edge and some

}  // namespace

PadRegion loadedPadRegion(const uint8_t* levels) {
  std::vector<int> component(kCanvasPixels, -1);
  std::vector<int> stack;
  PadRegion best{0, 0, kCanvasWidth, kCanvasHeight};
  int bestPixels = 0;
  int next = 0;
  for (int start = 0; start < kCanvasPixels; ++start) {
    if (levels[start] == 0 || component[start] >= 0) continue;
    PadRegion box{kCanvasWidth, kCanvasHeight, 0, 0};
    int pixels = 0;
    component[start] = next;
    stack.assign(1, start);
    while (!stack.empty()) {
      const int k = stack.back();
      stack.pop_back();
      const int x = k % kCanvasWidth, y = k / kCanvasWidth;
      ++pixels;
      box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x + 1),
             std::max(box.y1, y + 1)};
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= kCanvasWidth || ny >= kCanvasHeight) continue;
          const int n = nx + kCanvasWidth * ny;
          if (levels[n] == 0 || component[n] >= 0) continue;
          component[n] = next;
          stack.push_back(n);
        }
      }
    }
    ++next;
    if (pixels > bestPixels) {
      bestPixels = pixels;
      best = {std::max(box.x0 - kRegionMargin, 0), std::max(box.y0 - kRegionMargin, 0),
              std::min(box.x1 + kRegionMargin, kCanvasWidth),
              std::min(box.y1 + kRegionMargin, kCanvasHeight)};
    }
  }
  return best;
}

LoadCalibrationSession::LoadCalibrationSession(const PressureCalibration* inUse) {
  if (inUse != nullptr) records_ = inUse->records;
  fit();
}

LoadCalibrationSession::Step LoadCalibrationSession::record(const uint8_t* levels,
                                                            const PadRegion& region, double massKg,
                                                            double padAreaCm2, double toneDensity) {
  Step step;
  if (records_.size() >= static_cast<size_t>(CalibrationLimits::kMaxRecords)) {
    char text[128];
    std::snprintf(text, sizeof text, "已有 %d 筆負重：請先刪除或清除",
                  CalibrationLimits::kMaxRecords);
    step.message = text;
    return step;
  }
  PadRecording recorded = recordPadLoad(levels, region, massKg, padAreaCm2, toneDensity);
  step.message = recorded.message;
  if (!recorded.record) return step;
  step.recorded = true;
  records_.push_back(*recorded.record);
  fit();
  step.fitted = calibration_.has_value();
  step.fitRefusal = fitRefusal_;
  return step;
}

void LoadCalibrationSession::clear() {
  records_.clear();
  fit();
}

void LoadCalibrationSession::removeLast() {
  if (!records_.empty()) records_.pop_back();
  fit();
}

void LoadCalibrationSession::fit() {
  calibration_.reset();
  fitRefusal_.clear();
  if (records_.size() < static_cast<size_t>(CalibrationLimits::kMinLoads)) return;
  calibration_ = makePressureCalibration(records_, fitRefusal_);
  if (calibration_) fitRefusal_.clear();
}

std::vector<LoadRow> LoadCalibrationSession::rows() const {
  std::vector<LoadRow> rows;
  for (size_t i = 0; i < records_.size(); ++i) {
    LoadRow row;
    row.record = records_[i];
    row.pressureKpa = recordPressureKpa(row.record);
    row.meanLevel = recordMeanLevel(row.record);
    if (calibration_) {
      row.residual = residualOf(calibration_->curve, row.record);
      row.leftOut = predictLeftOutLoad(records_, i);
    }
    rows.push_back(row);
  }
  return rows;
}

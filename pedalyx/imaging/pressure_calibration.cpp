#include "pedalyx/imaging/pressure_calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/measure_marks.h"

namespace {

using Limits = CalibrationLimits;

double pixelAreaCm2() { return kMillimetresPerPixel * kMillimetresPerPixel / 100.0; }

template <class... Args>
std::string formatted(const char* format, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

bool within(double value, double low, double high) {
  return std::isfinite(value) && value >= low && value <= high;
}

std::string numbersProblem(double massKg, double padAreaCm2, double toneDensity) {
  if (!within(massKg, Limits::kMinMassKg, Limits::kMaxMassKg))
    return formatted("質量 %g kg 不在 %g 至 %g kg 之間", massKg, Limits::kMinMassKg,
                     Limits::kMaxMassKg);
  if (!within(padAreaCm2, Limits::kMinPadAreaCm2, Limits::kMaxPadAreaCm2))
    return formatted("墊面積 %g cm² 不在 %g 至 %g cm² 之間", padAreaCm2, Limits::kMinPadAreaCm2,
                     Limits::kMaxPadAreaCm2);
  if (!within(toneDensity, Limits::kMinToneDensity, Limits::kMaxToneDensity))
    return formatted("色調濃度 %g 不在 %g 至 %g 之間", toneDensity, Limits::kMinToneDensity,
                     Limits::kMaxToneDensity);
  return {};
}

// Sum of a loaded-pixel mask over rectangles, through its table of prefix sums.
struct LoadedSums {
  int width, height;
  std::vector<int> table;  // (width + 1) × (height + 1)
  LoadedSums(const uint8_t* levels, const PadRegion& r)
      : width(r.x1 - r.x0), height(r.y1 - r.y0), table((width + 1) * (height + 1), 0) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const int loaded = levels[(r.x0 + x) + kCanvasWidth * (r.y0 + y)] != 0;
        table[(x + 1) + (width + 1) * (y + 1)] = loaded + table[x + (width + 1) * (y + 1)] +
                                                 table[(x + 1) + (width + 1) * y] -
                                                 table[x + (width + 1) * y];
      }
    }
  }
  // Loaded pixels with x0 <= x < x1, y0 <= y < y1, region coordinates, clipped to the region.
  int loaded(int x0, int y0, int x1, int y1) const {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, width), y1 = std::min(y1, height);
    if (x0 >= x1 || y0 >= y1) return 0;
    const int w = width + 1;
    return table[x1 + w * y1] - table[x0 + w * y1] - table[x1 + w * y0] + table[x0 + w * y0];
  }
};

constexpr int kRimPixels = 2;  // the pad's blurred edge: half a 5 × 5 neighbourhood

struct PooledLoad {
  double kpa = 0;
  double levelSum = 0;
  uint64_t pixels = 0;
};

}  // namespace

double recordPressureKpa(const CalibrationRecord& record) {
  // N per cm² is 10 kPa.
  return record.massKg * Limits::kGravity / record.padAreaCm2 * 10.0;
}

uint64_t recordPixels(const CalibrationRecord& record) {
  uint64_t pixels = 0;
  for (int level = 1; level < 256; ++level) pixels += record.levelCounts[level];
  return pixels;
}

double recordMeanLevel(const CalibrationRecord& record) {
  double sum = 0;
  for (int level = 1; level < 256; ++level) sum += double(level) * record.levelCounts[level];
  const uint64_t pixels = recordPixels(record);
  return pixels == 0 ? 0 : sum / pixels;
}

std::string recordProblem(const CalibrationRecord& record) {
  std::string problem = numbersProblem(record.massKg, record.padAreaCm2, record.toneDensity);
  if (!problem.empty()) return problem;
  if (record.levelCounts[0] != 0) return "墊下的等級分布含有無負重的像素";
  const uint64_t pixels = recordPixels(record);
  if (pixels < Limits::kMinPadPixels || pixels > static_cast<uint64_t>(kCanvasPixels))
    return formatted("墊下有 %llu 個像素（至少要 %u 個，且不超過整個畫面）",
                     static_cast<unsigned long long>(pixels), Limits::kMinPadPixels);
  return {};
}

PadRecording recordPadLoad(const uint8_t* levels, const PadRegion& asked, double massKg,
                           double padAreaCm2, double toneDensity) {
  PadRecording out;
  out.message = numbersProblem(massKg, padAreaCm2, toneDensity);
  if (!out.message.empty()) return out;
  PadRegion r{std::max(asked.x0, 0), std::max(asked.y0, 0), std::min(asked.x1, kCanvasWidth),
              std::min(asked.y1, kCanvasHeight)};
  if (r.x0 >= r.x1 || r.y0 >= r.y1) {
    out.message = "墊的範圍在畫面之外";
    return out;
  }
  const LoadedSums sums(levels, r);
  out.loadedAreaCm2 = sums.loaded(0, 0, sums.width, sums.height) * pixelAreaCm2();
  if (std::abs(out.loadedAreaCm2 - padAreaCm2) > Limits::kPadAreaTolerance * padAreaCm2) {
    out.message = formatted(
        "受壓面積 %.1f cm² 與墊面積 %.1f cm² 不符：墊是否整個放在板上、範圍內只有墊，"
        "墊面積是否正確？",
        out.loadedAreaCm2, padAreaCm2);
    return out;
  }
  CalibrationRecord record{massKg, padAreaCm2, toneDensity, {}};
  const int side = 2 * kRimPixels + 1;
  for (int y = 0; y < sums.height; ++y) {
    for (int x = 0; x < sums.width; ++x) {
      const uint8_t level = levels[(r.x0 + x) + kCanvasWidth * (r.y0 + y)];
      if (level == 0) continue;
      if (sums.loaded(x - kRimPixels, y - kRimPixels, x + kRimPixels + 1, y + kRimPixels + 1) ==
          side * side)
        ++record.levelCounts[level];
    }
  }
  const uint64_t pixels = recordPixels(record);
  if (pixels < Limits::kMinPadPixels) {
    out.message = formatted("墊緣以內只有 %llu 個像素（至少需要 %u 個）",
                            static_cast<unsigned long long>(pixels), Limits::kMinPadPixels);
    return out;
  }
  // A level at the top of the scale may stand for any higher pressure.
  if (record.levelCounts[255] * 100 > pixels) {
    out.message = "墊下已達滿刻度（等級 255）：請改用較輕的砝碼或較大的墊";
    return out;
  }
  out.message = formatted("%.2f kg 放在 %.2f cm² 上（%.2f kPa）：平均等級 %.2f，%llu 個像素",
                          massKg, padAreaCm2, recordPressureKpa(record), recordMeanLevel(record),
                          static_cast<unsigned long long>(pixels));
  out.record = record;
  return out;
}

double CalibrationCurve::kpaAt(double level) const {
  if (points.empty() || !(level > 0)) return 0;
  LoadPoint low{0, 0};
  for (size_t i = 0; i < points.size(); ++i) {
    const LoadPoint& high = points[i];
    // Past the last point the last segment goes on.
    if (level <= high.level || i + 1 == points.size())
      return low.kpa + (level - low.level) * (high.kpa - low.kpa) / (high.level - low.level);
    low = high;
  }
  return 0;
}

CurveFit fitCalibrationCurve(const std::vector<CalibrationRecord>& records) {
  CurveFit fit;
  if (records.size() > static_cast<size_t>(Limits::kMaxRecords)) {
    fit.refusal =
        formatted("已記錄 %zu 筆負重，最多保留 %d 筆", records.size(), Limits::kMaxRecords);
    return fit;
  }
  std::vector<PooledLoad> loads;
  for (size_t i = 0; i < records.size(); ++i) {
    const CalibrationRecord& record = records[i];
    const std::string problem = recordProblem(record);
    if (!problem.empty()) {
      fit.refusal = formatted("第 %zu 筆負重：%s", i + 1, problem.c_str());
      return fit;
    }
    if (record.toneDensity != records.front().toneDensity) {
      fit.refusal = "各筆負重記錄時的色調濃度不同：請重新記錄";
      return fit;
    }
    const double kpa = recordPressureKpa(record);
    auto same = std::find_if(loads.begin(), loads.end(), [&](const PooledLoad& load) {
      return std::abs(load.kpa - kpa) <= Limits::kSameLoadFraction * std::max(load.kpa, kpa);
    });
    if (same == loads.end()) same = loads.insert(loads.end(), PooledLoad{kpa, 0, 0});
    const uint64_t pixels = recordPixels(record);
    same->levelSum += recordMeanLevel(record) * pixels;
    same->pixels += pixels;
  }
  if (loads.size() < static_cast<size_t>(Limits::kMinLoads)) {
    fit.refusal =
        formatted("只記錄了 %zu 種不同負重：至少需要 %d 種", loads.size(), Limits::kMinLoads);
    return fit;
  }
  std::sort(loads.begin(), loads.end(),
            [](const PooledLoad& a, const PooledLoad& b) { return a.kpa < b.kpa; });
  CalibrationCurve curve;
  for (const PooledLoad& load : loads) {
    const LoadPoint point{load.levelSum / load.pixels, load.kpa};
    if (!curve.points.empty()) {
      const LoadPoint& lighter = curve.points.back();
      if (point.level <= lighter.level) {
        fit.refusal = formatted("不是單調遞增：%.1f kPa 的等級為 %.1f，不高於 %.1f kPa 的等級 %.1f",
                                point.kpa, point.level, lighter.kpa, lighter.level);
        return fit;
      }
      if (point.level - lighter.level < Limits::kMinLevelGap) {
        fit.refusal = formatted(
            "%.1f kPa 與 %.1f kPa 的等級為 %.1f 與 %.1f，相差不到 %g 級：請改用相差較大的"
            "負重",
            lighter.kpa, point.kpa, lighter.level, point.level, Limits::kMinLevelGap);
        return fit;
      }
    } else if (point.level < Limits::kMinLevelGap) {
      fit.refusal = formatted("%.1f kPa 的等級只有 %.1f，太接近空板", point.kpa, point.level);
      return fit;
    }
    curve.points.push_back(point);
  }
  fit.curve = std::move(curve);
  return fit;
}

CalibrationResidual residualOf(const CalibrationCurve& curve, const CalibrationRecord& record) {
  double sum = 0;
  for (int level = 1; level < 256; ++level) sum += curve.kpaAt(level) * record.levelCounts[level];
  const uint64_t pixels = recordPixels(record);
  return {recordPressureKpa(record), pixels == 0 ? 0 : sum / pixels};
}

std::optional<CalibrationResidual> predictLeftOutLoad(const std::vector<CalibrationRecord>& records,
                                                      size_t index, std::string* refusal) {
  if (index >= records.size()) {
    if (refusal) *refusal = "沒有這筆負重";
    return std::nullopt;
  }
  const double kpa = recordPressureKpa(records[index]);
  std::vector<CalibrationRecord> others;
  for (const CalibrationRecord& record : records) {
    const double other = recordPressureKpa(record);
    if (std::abs(other - kpa) > Limits::kSameLoadFraction * std::max(other, kpa))
      others.push_back(record);
  }
  const CurveFit fit = fitCalibrationCurve(others);
  if (!fit.curve) {
    if (refusal) *refusal = fit.refusal;
    return std::nullopt;
  }
  return residualOf(*fit.curve, records[index]);
}

std::optional<PressureCalibration> makePressureCalibration(std::vector<CalibrationRecord> records,
                                                           std::string& refusal) {
  CurveFit fit = fitCalibrationCurve(records);
  if (!fit.curve) {
    refusal = fit.refusal;
    return std::nullopt;
  }
  return PressureCalibration{std::move(records), std::move(*fit.curve)};
}

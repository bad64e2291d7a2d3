#include "pedalyx/imaging/pressure_table.h"

#include <cmath>
#include <cstdio>

namespace {

// A calibration check further than this from 100 % asks the operator to look again.
constexpr double kCheckTolerancePercent = 10;

template <class... Args>
std::string formatted(const char* format, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// Zone numbers of the six rows after the whole foot, per foot. The left foot's big toe points
// to the middle of the plate, so its medial side is right of its axis; the right foot's left.
constexpr int kZoneOfRow[2][6] = {{5, 4, 3, 2, 1, 0}, {4, 5, 2, 3, 0, 1}};
const char* const kRegionNames[7] = {"全足",     "前足內側", "前足外側", "中足內側",
                                     "中足外側", "後跟內側", "後跟外側"};

std::string number(double value) {
  return formatted(std::abs(value) < 10 ? "%.1f" : "%.0f", value);
}

std::array<std::string, kPressureColumns> cellsOf(const RegionFigures& region, bool pressures,
                                                  double bodyWeightKg) {
  std::array<std::string, kPressureColumns> cells;
  cells[0] = formatted("%.1f", region.contactAreaCm2);
  if (pressures) {
    cells[1] = number(region.forceN);
    cells[2] =
        bodyWeightKg > 0
            ? formatted("%.1f", 100 * region.forceN / (bodyWeightKg * CalibrationLimits::kGravity))
            : "-";
    cells[3] = formatted("%.1f", region.peakKpa);
    cells[4] = formatted("%.1f", region.meanKpa);
  } else {
    cells[1] = cells[2] = "-";
    cells[3] = formatted("%d", region.peakLevel);
    cells[4] = formatted("%.0f", region.meanLevel);
  }
  return cells;
}

}  // namespace

std::string pressureSourceLabel(PressureSource source) {
  switch (source) {
    case PressureSource::Calibrated:
      return std::string("已校正 (") + pressureSourceText(source) + ")";
    case PressureSource::ScaledToBodyWeight:
      return std::string("依體重換算 (") + pressureSourceText(source) + ")";
    case PressureSource::LevelsOnly:
      break;
  }
  return "只有壓力等級與比例";
}

std::string bodyWeightLine(const PressureFigures& f) {
  const double forceN = f.feet[0].foot.forceN + f.feet[1].foot.forceN;
  switch (f.source) {
    case PressureSource::Calibrated: {
      if (f.bodyWeightKg <= 0)
        return formatted("雙腳合力 %.0f N；輸入體重 (kg) 即可核對校正", forceN);
      std::string line = formatted("體重 %.1f kg：雙腳合力 %.0f N，為體重的 %.1f %%",
                                   f.bodyWeightKg, forceN, f.bodyWeightPercent);
      if (std::abs(f.bodyWeightPercent - 100) > kCheckTolerancePercent)
        line += "（與 100 % 相差大：顧客是否完全站在板上？校正是否需要重做？）";
      return line;
    }
    case PressureSource::ScaledToBodyWeight:
      return formatted("依體重 %.1f kg 換算：雙腳合力 = 體重 × 9.81 = %.0f N", f.bodyWeightKg,
                       forceN);
    case PressureSource::LevelsOnly:
      break;
  }
  return "未校正，也未輸入體重：在分析視窗輸入「體重」(kg) 即可換算為 kPa";
}

PressureTable pressureTable(const PressureFigures& f) {
  const bool pressures = f.source != PressureSource::LevelsOnly;
  PressureTable table;
  table.names = {"面積", "力", "體重", "峰值", "平均"};
  if (pressures)
    table.units = {"cm²", "N", "%", "kPa", "kPa"};
  else
    table.units = {"cm²", "N", "%", "等級", "等級"};
  for (int row = 0; row < 7; ++row) {
    PressureTable::Row r;
    r.region = kRegionNames[row];
    for (int foot = 0; foot < 2; ++foot) {
      const FootPressureFigures& figures = f.feet[foot];
      if (row == 0) {
        r.cells[foot] = cellsOf(figures.foot, pressures, f.bodyWeightKg);
      } else if (figures.zonesMeasured) {
        r.cells[foot] =
            cellsOf(figures.zones[kZoneOfRow[foot][row - 1]], pressures, f.bodyWeightKg);
      } else {
        r.cells[foot].fill("-");
      }
    }
    table.rows.push_back(r);
  }
  return table;
}

std::array<std::string, 6> legendBoundPressures(const PressureScale& scale) {
  std::array<std::string, 6> bounds;
  if (scale.source == PressureSource::LevelsOnly) return bounds;
  const auto classes = levelClassPressures(scale);
  bounds[0] = number(classes[0].lowestKpa);
  for (int c = 0; c < kLevelClassCount; ++c) bounds[c + 1] = number(classes[c].highestKpa);
  return bounds;
}

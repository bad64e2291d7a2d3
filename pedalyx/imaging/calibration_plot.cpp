#include "pedalyx/imaging/calibration_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kTopLevel = 255;

std::string formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The smallest of 1, 2, 5 × 10^n at or above `value`.
double niceCeiling(double value) {
  if (!(value > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (double step : {1.0, 2.0, 5.0, 10.0})
    if (step * power >= value) return step * power;
  return 10 * power;
}

// `value` rounded up to a tenth of its nice ceiling: 100.3 gives 120, 79.9 gives 80.
double roundedUp(double value) {
  const double step = niceCeiling(value) / 10;
  return std::ceil(value / step - 1e-9) * step;
}

struct Panel {
  double left, bottom, width, height, top;  // drawing units
  double yMax;                              // value at the top edge (the bottom is 0 or -yMax)
  bool symmetric;
  CalibrationPlotPoint at(double level, double value) const {
    const double low = symmetric ? -yMax : 0;
    return {left + width * level / kTopLevel, bottom + height * (value - low) / (yMax - low)};
  }
};

CalibrationPlotLine frameOf(const Panel& p) {
  return {CalibrationInk::Frame,
          {{p.left, p.bottom},
           {p.left + p.width, p.bottom},
           {p.left + p.width, p.top},
           {p.left, p.top},
           {p.left, p.bottom}}};
}

}  // namespace

CalibrationPlot calibrationPlot(const std::vector<LoadRow>& rows, const CalibrationCurve* curve,
                                double width, double height, double labelSize) {
  CalibrationPlot plot;
  const double pad = labelSize * 0.4;
  const double gap = labelSize * 1.6;  // between the panels: the level scale's labels
  const double plotHeight = height - 2 * labelSize - gap - 2 * pad;
  const double left = labelSize * 2.4;
  const double plotWidth = width - left - pad;
  if (plotHeight < 4 * labelSize || plotWidth < 4 * labelSize) return plot;

  double kpaMax = 0;
  for (const LoadRow& row : rows) kpaMax = std::max(kpaMax, row.pressureKpa);
  if (curve != nullptr) kpaMax = std::max(kpaMax, curve->kpaAt(kTopLevel));
  double residualMax = 1;  // per cent
  for (const LoadRow& row : rows) {
    if (row.residual)
      residualMax = std::max(residualMax, std::abs(row.residual->residualPercent()));
    if (row.leftOut) residualMax = std::max(residualMax, std::abs(row.leftOut->residualPercent()));
  }
  residualMax = niceCeiling(std::min(residualMax, 100.0));

  const double strip = plotHeight * 0.3;
  const Panel residuals{
      left, pad + labelSize, plotWidth, strip, pad + labelSize + strip, residualMax, true};
  const double curveBottom = residuals.top + gap;
  const Panel pressures{left,
                        curveBottom,
                        plotWidth,
                        height - labelSize - pad - curveBottom,
                        height - labelSize - pad,
                        roundedUp(kpaMax > 0 ? kpaMax : 10),
                        false};
  plot.lines.push_back(frameOf(pressures));
  plot.lines.push_back(frameOf(residuals));
  plot.lines.push_back({CalibrationInk::Frame, {residuals.at(0, 0), residuals.at(kTopLevel, 0)}});

  if (curve != nullptr && !curve->points.empty()) {
    const double lastLoadLevel = std::min(curve->points.back().level, kTopLevel);
    CalibrationPlotLine measured{CalibrationInk::Curve, {}},
        beyond{CalibrationInk::BeyondLoads, {}};
    for (int level = 0; level <= kTopLevel; ++level) {
      CalibrationPlotLine& line = level <= lastLoadLevel ? measured : beyond;
      const double kpa = std::min(curve->kpaAt(level), pressures.yMax);
      if (line.points.empty() && &line == &beyond && !measured.points.empty())
        line.points.push_back(measured.points.back());
      line.points.push_back(pressures.at(level, kpa));
    }
    plot.lines.push_back(measured);
    if (beyond.points.size() > 1) plot.lines.push_back(beyond);
  }
  for (const LoadRow& row : rows) {
    const double level = std::clamp(row.meanLevel, 0.0, kTopLevel);
    plot.marks.push_back({CalibrationInk::Load, pressures.at(level, row.pressureKpa)});
    if (row.residual) {
      const double r = std::clamp(row.residual->residualPercent(), -residualMax, residualMax);
      plot.lines.push_back(
          {CalibrationInk::Residual, {residuals.at(level, 0), residuals.at(level, r)}});
    }
    if (row.leftOut) {
      const double r = std::clamp(row.leftOut->residualPercent(), -residualMax, residualMax);
      plot.marks.push_back({CalibrationInk::LeftOut, residuals.at(level, r)});
    }
  }

  const double textDown = labelSize * 0.35;  // a label's base line below the point it names
  plot.labels.push_back(
      {{pad, pressures.top - labelSize + textDown}, formatted("%g", pressures.yMax)});
  plot.labels.push_back({{pad, pressures.bottom}, "0"});
  plot.labels.push_back({{pressures.left + pad, pressures.top - labelSize - pad / 2}, "kPa"});
  plot.labels.push_back({{pressures.left, residuals.top + pad}, "0"});
  plot.labels.push_back(
      {{pressures.left + plotWidth - labelSize * 4.6, residuals.top + pad}, "255 等級"});
  plot.labels.push_back(
      {{pad, residuals.top - labelSize + textDown}, formatted("+%g", residualMax)});
  plot.labels.push_back({{pad, residuals.bottom}, formatted("-%g", residualMax)});
  plot.labels.push_back({{residuals.left + pad, pad}, "殘差 %（線：曲線，圈：留一預測）"});
  return plot;
}

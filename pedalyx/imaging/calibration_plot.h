// The load calibration as a small plot for the calibration window: pressure against level with
// the fitted curve and the recorded loads, and below it a strip of each load's residual (the
// curve's pressure over the load's pixels against the load's own) and its prediction when it
// was left out of the fit, in per cent. Plain geometry in drawing units, y upwards.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/imaging/load_calibration_session.h"

struct CalibrationPlotPoint {
  double x = 0, y = 0;
};

enum class CalibrationInk { Frame, Curve, BeyondLoads, Load, Residual, LeftOut };

struct CalibrationPlotLine {
  CalibrationInk ink;
  std::vector<CalibrationPlotPoint> points;  // one connected line
};

struct CalibrationPlotMark {
  CalibrationInk ink;
  CalibrationPlotPoint at;
};

struct CalibrationPlotLabel {
  CalibrationPlotPoint at;  // start of the base line
  std::string text;
};

struct CalibrationPlot {
  std::vector<CalibrationPlotLine> lines;
  std::vector<CalibrationPlotMark> marks;  // loads (Load) and left-out predictions (LeftOut)
  std::vector<CalibrationPlotLabel> labels;
};

// The plot of `rows` (with `curve` when the records give one) in a width × height area with its
// origin at the bottom left; labels are `labelSize` units high and stay inside the area.
CalibrationPlot calibrationPlot(const std::vector<LoadRow>& rows, const CalibrationCurve* curve,
                                double width, double height, double labelSize);

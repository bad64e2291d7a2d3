// Toolkit widgets of the load calibration in the calibration window: the level picture with the
// pad's region, and the plot of the curve with its loads and residuals.
#pragma once
#include <FL/Fl_Widget.H>

#include <optional>
#include <vector>

#include "pedalyx/imaging/load_calibration_session.h"

// The pressure view's current levels in their colours at canvas size (320 × 335), with the
// region the next load is recorded in. The region follows the loaded area of the picture until
// the technician drags one with the left button; the right button gives it back to the picture.
class PadPictureBox : public Fl_Widget {
 public:
  PadPictureBox(int x, int y);
  void draw() override;
  int handle(int event) override;

  // The region a load recorded now is taken in (canvas pixels).
  PadRegion region() const;
  bool regionMarked() const { return marked_.has_value(); }

 private:
  // Canvas point of a window position, clamped to the canvas.
  void canvasPoint(int wx, int wy, int& cx, int& cy) const;
  std::optional<PadRegion> marked_;
  int pressX_ = 0, pressY_ = 0;  // canvas point where the drag began
  std::vector<unsigned char> rgb_;
};

// The curve, the loads and the residual strip of a session, redrawn from it at every draw.
class CalibrationPlotBox : public Fl_Widget {
 public:
  CalibrationPlotBox(int x, int y, int w, int h, const LoadCalibrationSession& session);
  void draw() override;

 private:
  const LoadCalibrationSession& session_;
};

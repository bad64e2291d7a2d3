#include "pedalyx/shell/load_calibration_ui.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "pedalyx/imaging/calibration_plot.h"
#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/station/handles.h"

namespace {

void setInk(CalibrationInk ink) {
  switch (ink) {
    case CalibrationInk::Frame:
      fl_color(FL_DARK3);
      return;
    case CalibrationInk::Curve:
      fl_color(fl_rgb_color(0, 110, 190));
      return;
    case CalibrationInk::BeyondLoads:
      fl_color(fl_rgb_color(150, 190, 230));
      return;
    case CalibrationInk::Load:
      fl_color(fl_rgb_color(210, 40, 40));
      return;
    case CalibrationInk::Residual:
    case CalibrationInk::LeftOut:
      fl_color(fl_rgb_color(40, 140, 40));
      return;
  }
}

}  // namespace

PadPictureBox::PadPictureBox(int x, int y)
    : Fl_Widget(x, y, kCanvasWidth, kCanvasHeight), rgb_(kCanvasPixels * 3, 0) {}

void PadPictureBox::canvasPoint(int wx, int wy, int& cx, int& cy) const {
  cx = std::clamp(wx - x(), 0, kCanvasWidth);
  cy = std::clamp(kCanvasHeight - (wy - y()), 0, kCanvasHeight);
}

PadRegion PadPictureBox::region() const {
  if (marked_) return *marked_;
  if (pressureView == nullptr) return PadRegion{};
  return loadedPadRegion(pressureView->levelImage);
}

void PadPictureBox::draw() {
  if (pressureView != nullptr) {
    const unsigned char* levels = pressureView->levelImage;
    const unsigned char* table = pressureView->colourTable;
    for (int row = 0; row < kCanvasHeight; ++row) {
      const unsigned char* source = levels + kCanvasWidth * (kCanvasHeight - 1 - row);
      unsigned char* out = rgb_.data() + 3 * kCanvasWidth * row;
      for (int x = 0; x < kCanvasWidth; ++x) std::copy_n(table + 3 * source[x], 3, out + 3 * x);
    }
  }
  fl_draw_image(rgb_.data(), x(), y(), kCanvasWidth, kCanvasHeight, 3);
  const PadRegion r = region();
  fl_color(marked_ ? FL_YELLOW : FL_WHITE);
  fl_line_style(FL_SOLID, 2);
  fl_rect(x() + r.x0, y() + kCanvasHeight - r.y1, r.x1 - r.x0, r.y1 - r.y0);
  fl_line_style(0);
}

int PadPictureBox::handle(int event) {
  int cx = 0, cy = 0;
  canvasPoint(Fl::event_x(), Fl::event_y(), cx, cy);
  switch (event) {
    case FL_PUSH:
      if (Fl::event_button() == FL_RIGHT_MOUSE) {
        marked_.reset();
      } else {
        pressX_ = cx;
        pressY_ = cy;
        marked_ = PadRegion{cx, cy, cx, cy};
      }
      redraw();
      return 1;
    case FL_DRAG:
      if (marked_ && Fl::event_state(FL_BUTTON1)) {
        marked_ = PadRegion{std::min(pressX_, cx), std::min(pressY_, cy), std::max(pressX_, cx),
                            std::max(pressY_, cy)};
        redraw();
      }
      return 1;
    case FL_RELEASE:
      // A click without a drag marks nothing: the region follows the picture again.
      if (marked_ && (marked_->x1 - marked_->x0 < 3 || marked_->y1 - marked_->y0 < 3))
        marked_.reset();
      redraw();
      return 1;
    default:
      return Fl_Widget::handle(event);
  }
}

CalibrationPlotBox::CalibrationPlotBox(int x, int y, int w, int h,
                                       const LoadCalibrationSession& session)
    : Fl_Widget(x, y, w, h), session_(session) {}

void CalibrationPlotBox::draw() {
  fl_push_clip(x(), y(), w(), h());
  fl_color(FL_WHITE);
  fl_rectf(x(), y(), w(), h());
  const int labelSize = 13;
  const auto& calibration = session_.calibration();
  const CalibrationPlot plot = calibrationPlot(
      session_.rows(), calibration ? &calibration->curve : nullptr, w(), h(), labelSize);
  auto sx = [&](double px) { return x() + static_cast<int>(px + 0.5); };
  auto sy = [&](double py) { return y() + h() - 1 - static_cast<int>(py + 0.5); };
  for (const CalibrationPlotLine& line : plot.lines) {
    setInk(line.ink);
    fl_line_style(FL_SOLID, line.ink == CalibrationInk::Frame ? 1 : 2);
    for (size_t i = 1; i < line.points.size(); ++i)
      fl_line(sx(line.points[i - 1].x), sy(line.points[i - 1].y), sx(line.points[i].x),
              sy(line.points[i].y));
  }
  fl_line_style(0);
  for (const CalibrationPlotMark& mark : plot.marks) {
    setInk(mark.ink);
    const int r = 4;
    if (mark.ink == CalibrationInk::Load)
      fl_pie(sx(mark.at.x) - r, sy(mark.at.y) - r, 2 * r + 1, 2 * r + 1, 0, 360);
    else
      fl_arc(sx(mark.at.x) - r, sy(mark.at.y) - r, 2 * r + 1, 2 * r + 1, 0, 360);
  }
  fl_color(FL_BLACK);
  fl_font(FL_HELVETICA, labelSize);
  for (const CalibrationPlotLabel& label : plot.labels)
    fl_draw(label.text.c_str(), sx(label.at.x), sy(label.at.y));
  fl_pop_clip();
}

#include "pedalyx/shell/sway_plot_ui.h"

#include <FL/fl_draw.H>

namespace {

void setInk(SwayInk ink) {
  const InkColour c = inkColour(ink);
  fl_color(fl_rgb_color(c.red, c.green, c.blue));
}

}  // namespace

SwayPictureBox::SwayPictureBox(int x, int y, int w, int h, const char* label,
                               const SwayRecording& recording, Kind kind)
    : Fl_Widget(x, y, w, h, label), recording_(recording), kind_(kind) {
  align(FL_ALIGN_TOP_LEFT);
  labelsize(18);
}

void SwayPictureBox::draw() {
  fl_push_clip(x(), y(), w(), h());
  fl_color(FL_WHITE);
  fl_rectf(x(), y(), w(), h());
  // The pictures count y upwards from the box's bottom edge.
  const PlotArea area{0, 0, double(w() - 1), double(h() - 1)};
  const SwayPicture picture = kind_ == PlateTrace ? plateTracePicture(recording_, area)
                                                  : stabilogramPicture(recording_, area);
  auto screenX = [&](double px) { return x() + static_cast<int>(px + 0.5); };
  auto screenY = [&](double py) { return y() + h() - 1 - static_cast<int>(py + 0.5); };
  setInk(SwayInk::Outline);
  for (const PlatePoint& p : picture.outlineDots) fl_point(screenX(p.x), screenY(p.y));
  for (const PlotLine& line : picture.lines) {
    setInk(line.ink);
    fl_line_style(FL_SOLID, line.ink == SwayInk::Frame || line.ink == SwayInk::ZeroLine ? 1 : 2);
    for (size_t i = 1; i < line.points.size(); ++i)
      fl_line(screenX(line.points[i - 1].x), screenY(line.points[i - 1].y),
              screenX(line.points[i].x), screenY(line.points[i].y));
  }
  fl_line_style(0);
  fl_color(FL_DARK3);
  fl_font(FL_HELVETICA, 14);
  for (const PlotLabel& label : picture.labels)
    fl_draw(label.text.c_str(), screenX(label.x), screenY(label.y));
  fl_pop_clip();
  draw_label();
}

SwayTableBox::SwayTableBox(int x, int y, int w, int h, const SwayRecorder& recorder)
    : Fl_Widget(x, y, w, h), recorder_(recorder) {}

void SwayTableBox::draw() {
  fl_color(FL_WHITE);
  fl_rectf(x(), y(), w(), h());
  const auto rows = swayFigureTable(recorder_.result(SwayCondition::EyesOpen),
                                    recorder_.result(SwayCondition::EyesClosed));
  const int columns[4] = {10, 330, 560, 790};
  int baseline = y() + 26;
  for (size_t r = 0; r < rows.size(); ++r) {
    fl_font(r == 0 ? FL_HELVETICA_BOLD : FL_HELVETICA, 18);
    fl_color(FL_BLACK);
    for (int c = 0; c < 4; ++c) fl_draw(rows[r][c].c_str(), x() + columns[c], baseline);
    baseline += 30;
  }
}

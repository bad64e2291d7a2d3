#include "pedalyx/shell/walk_pictures_ui.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>

namespace {

void setColour(GaitColour c) { fl_color(fl_rgb_color(c.red, c.green, c.blue)); }

void drawEmptyText(const Fl_Widget& w, const std::string& text) {
  fl_color(FL_DARK3);
  fl_font(FL_HELVETICA, 16);
  fl_draw(text.c_str(), w.x(), w.y(), w.w(), w.h(), FL_ALIGN_CENTER | FL_ALIGN_WRAP);
}

}  // namespace

GaitPictureBox::GaitPictureBox(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

void GaitPictureBox::show(GaitPicture picture, std::string emptyText) {
  picture_ = std::move(picture);
  emptyText_ = std::move(emptyText);
  scaled_.clear();
  if (!picture_.empty()) {
    // Nearest pixels at the largest scale that fits, centred in the box.
    const double scale = std::min(double(w()) / picture_.width, double(h()) / picture_.height);
    shownW_ = std::max(1, static_cast<int>(picture_.width * scale));
    shownH_ = std::max(1, static_cast<int>(picture_.height * scale));
    shownX_ = (w() - shownW_) / 2;
    shownY_ = (h() - shownH_) / 2;
    scaled_.resize(static_cast<size_t>(shownW_) * shownH_ * 3);
    for (int row = 0; row < shownH_; ++row) {
      const int from = std::min(picture_.height - 1, static_cast<int>(row / scale));
      for (int x = 0; x < shownW_; ++x) {
        const int column = std::min(picture_.width - 1, static_cast<int>(x / scale));
        std::copy_n(&picture_.rgb[(static_cast<size_t>(from) * picture_.width + column) * 3], 3,
                    &scaled_[(static_cast<size_t>(row) * shownW_ + x) * 3]);
      }
    }
  }
  redraw();
}

void GaitPictureBox::draw() {
  fl_push_clip(x(), y(), w(), h());
  fl_color(FL_WHITE);
  fl_rectf(x(), y(), w(), h());
  if (picture_.empty()) {
    drawEmptyText(*this, emptyText_);
    fl_pop_clip();
    return;
  }
  const int left = x() + shownX_, top = y() + shownY_;
  fl_draw_image(scaled_.data(), left, top, shownW_, shownH_, 3);
  const double sx = double(shownW_) / picture_.width, sy = double(shownH_) / picture_.height;
  auto at = [&](PicturePoint p, int& px, int& py) {
    px = left + static_cast<int>(std::lround(p.x * sx));
    py = top + static_cast<int>(std::lround(p.y * sy));
  };
  for (const GaitPictureLine& line : picture_.lines) {
    setColour(gaitInkColour(line.ink));
    fl_line_style(line.ink == GaitInk::WalkingDirection ? FL_DASH : FL_SOLID, 2);
    int x0, y0, x1, y1;
    at(line.from, x0, y0);
    at(line.to, x1, y1);
    fl_line(x0, y0, x1, y1);
  }
  fl_line_style(0);
  // One dot per frame with a dark rim, so the dots' spacing shows the speed on every colour.
  for (const PicturePoint& p : picture_.dots) {
    int px, py;
    at(p, px, py);
    fl_color(FL_BLACK);
    fl_pie(px - 3, py - 3, 7, 7, 0, 360);
    setColour(gaitInkColour(GaitInk::GaitLine));
    fl_pie(px - 2, py - 2, 5, 5, 0, 360);
  }
  fl_pop_clip();
}

PhaseBarBox::PhaseBarBox(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

void PhaseBarBox::show(std::vector<PhaseSegment> phases) {
  phases_ = std::move(phases);
  redraw();
}

void PhaseBarBox::draw() {
  fl_color(FL_BACKGROUND_COLOR);
  fl_rectf(x(), y(), w(), h());
  if (phases_.empty()) return;
  const int barHeight = 26;
  for (const PhaseSegment& s : phases_) {
    const int left = x() + static_cast<int>(s.from * w());
    const int right = x() + static_cast<int>(s.to * w());
    if (right <= left) continue;
    setColour(s.colour);
    fl_rectf(left, y(), right - left, barHeight);
  }
  fl_color(FL_DARK3);
  fl_rect(x(), y(), w(), barHeight);
  // The names with their shares, two to a line, each behind a swatch of its colour.
  fl_font(FL_HELVETICA, 14);
  for (size_t k = 0; k < phases_.size(); ++k) {
    const int left = x() + static_cast<int>(k % 2) * (w() / 2);
    const int baseline = y() + barHeight + 20 + static_cast<int>(k / 2) * 20;
    setColour(phases_[k].colour);
    fl_rectf(left, baseline - 12, 14, 14);
    fl_color(FL_BLACK);
    fl_draw((phases_[k].name + " " + phases_[k].share).c_str(), left + 20, baseline);
  }
}

LegendBox::LegendBox(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

void LegendBox::show(std::vector<LegendEntry> legend, std::string heading) {
  legend_ = std::move(legend);
  heading_ = std::move(heading);
  redraw();
}

void LegendBox::draw() {
  fl_color(FL_BACKGROUND_COLOR);
  fl_rectf(x(), y(), w(), h());
  fl_font(FL_HELVETICA, 14);
  fl_color(FL_BLACK);
  fl_draw(heading_.c_str(), x(), y() + 14);
  int baseline = y() + 40;
  for (size_t k = legend_.size(); k-- > 0; baseline += 26) {
    setColour(legend_[k].colour);
    fl_rectf(x(), baseline - 15, 28, 20);
    fl_color(FL_DARK3);
    fl_rect(x(), baseline - 15, 28, 20);
    fl_color(FL_BLACK);
    fl_draw(legend_[k].text.c_str(), x() + 36, baseline);
  }
}

GaitTableBox::GaitTableBox(int x, int y, int w, int h, std::vector<int> columns, int textSize)
    : Fl_Widget(x, y, w, h), columns_(std::move(columns)), textSize_(textSize) {}

void GaitTableBox::show(std::vector<GaitTableRow> rows, std::string emptyText) {
  rows_ = std::move(rows);
  emptyText_ = std::move(emptyText);
  redraw();
}

void GaitTableBox::draw() {
  fl_push_clip(x(), y(), w(), h());
  fl_color(FL_WHITE);
  fl_rectf(x(), y(), w(), h());
  if (rows_.empty()) {
    drawEmptyText(*this, emptyText_);
    fl_pop_clip();
    return;
  }
  const int pitch = textSize_ + 5;
  int top = y() + 2;
  for (size_t r = 0; r < rows_.size(); ++r, top += pitch) {
    if (r > 0 && r % 2 == 0) {
      fl_color(fl_rgb_color(236, 240, 244));
      fl_rectf(x(), top, w(), pitch);
    }
    // The heading and the rows that head a group of rows (no values) in bold.
    const bool heading =
        r == 0 || std::all_of(rows_[r].begin() + 1, rows_[r].end(),
                              [](const std::string& cell) { return cell.empty(); });
    fl_font(heading ? FL_HELVETICA_BOLD : FL_HELVETICA, textSize_);
    fl_color(FL_BLACK);
    for (size_t c = 0; c < rows_[r].size() && c < columns_.size(); ++c)
      fl_draw(rows_[r][c].c_str(), x() + columns_[c], top + pitch - pitch / 4 - 1);
    if (r == 0) {
      fl_color(FL_DARK3);
      fl_xyline(x(), top + pitch - 1, x() + w());
    }
  }
  fl_pop_clip();
}

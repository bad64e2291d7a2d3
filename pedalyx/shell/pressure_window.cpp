#include "pedalyx/shell/pressure_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/fl_draw.H>

#include <cstring>

#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/imaging/station_pressure_ui.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"

namespace {

constexpr int kWindowWidth = 980;
constexpr int kWindowHeight = 352;
constexpr double kFollowPeriod = 0.1;
constexpr int kRegionWidth = 95;
constexpr int kColumnWidth = 82;
constexpr int kFootGap = 20;

void followTimer(void* data) {
  static_cast<PressureWindow*>(data)->follow();
  Fl::repeat_timeout(kFollowPeriod, followTimer, data);
}

int columnLeft(int foot, int column) {
  return kRegionWidth + foot * (kPressureColumns * kColumnWidth + kFootGap) + column * kColumnWidth;
}

}  // namespace

// The table of the window's figures: a heading per foot, the columns' names and units, a row
// for the whole foot and each zone, numbers right-aligned in their columns.
class PressureTableBox : public Fl_Widget {
 public:
  PressureTableBox(int x, int y, int w, int h, const PressureTable& table)
      : Fl_Widget(x, y, w, h), table_(table) {}
  void draw() override {
    fl_color(FL_WHITE);
    fl_rectf(x(), y(), w(), h());
    fl_color(FL_BLACK);
    if (table_.rows.empty()) return;
    auto right = [&](const std::string& text, int left, int baseline) {
      fl_draw(text.c_str(),
              x() + left + kColumnWidth - 10 - static_cast<int>(fl_width(text.c_str())), baseline);
    };
    fl_font(FL_HELVETICA_BOLD, 17);
    const char* feet[2] = {"左腳", "右腳"};
    for (int foot = 0; foot < 2; ++foot) {
      const int left = columnLeft(foot, 0), width = kPressureColumns * kColumnWidth;
      fl_draw(feet[foot], x() + left + (width - static_cast<int>(fl_width(feet[foot]))) / 2,
              y() + 22);
      fl_line(x() + left + 6, y() + 28, x() + left + width - 6, y() + 28);
    }
    fl_font(FL_HELVETICA, 16);
    for (int foot = 0; foot < 2; ++foot) {
      for (int c = 0; c < kPressureColumns; ++c) {
        right(table_.names[c], columnLeft(foot, c), y() + 50);
        right(table_.units[c], columnLeft(foot, c), y() + 70);
      }
    }
    fl_color(FL_DARK3);
    fl_line(x() + 6, y() + 78, x() + w() - 6, y() + 78);
    int baseline = y() + 102;
    for (size_t r = 0; r < table_.rows.size(); ++r) {
      const PressureTable::Row& row = table_.rows[r];
      fl_color(FL_BLACK);
      fl_font(r == 0 ? FL_HELVETICA_BOLD : FL_HELVETICA, 16);
      fl_draw(row.region.c_str(), x() + 10, baseline);
      for (int foot = 0; foot < 2; ++foot)
        for (int c = 0; c < kPressureColumns; ++c)
          right(row.cells[foot][c], columnLeft(foot, c), baseline);
      if (r == 0) {
        fl_color(FL_DARK3);
        fl_line(x() + 6, baseline + 8, x() + w() - 6, baseline + 8);
        baseline += 6;
      }
      baseline += 25;
    }
  }

 private:
  const PressureTable& table_;
};

bool PressureWindow::Inputs::operator==(const Inputs& other) const {
  return held == other.held && axes == other.axes && weightKg == other.weightKg &&
         toneDensity == other.toneDensity && curve == other.curve && levels == other.levels;
}

PressureWindow::PressureWindow() : Fl_Double_Window(kWindowWidth, kWindowHeight, "足底壓力") {
  source = new Fl_Box(10, 6, 960, 28);
  source->labelsize(18);
  source->labelfont(FL_BOLD);
  source->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  weight = new Fl_Box(10, 34, 960, 26);
  weight->labelsize(16);
  weight->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  tableBox_ = new PressureTableBox(10, 64, 960, 280, table_);
  end();
  Fl::add_timeout(kFollowPeriod, followTimer, this);
}

PressureWindow::~PressureWindow() { Fl::remove_timeout(followTimer, this); }

void PressureWindow::show() {
  Fl_Double_Window::show();
  follow();
}

PressureWindow::Inputs PressureWindow::currentInputs() const {
  Inputs in;
  if (pressureView == nullptr || pressureView->analyzer == nullptr) return in;
  in.held = !pressureView->live;
  if (!in.held) return in;
  in.levels.assign(pressureView->levelImage, pressureView->levelImage + kCanvasPixels);
  const FootAxis* feet[2] = {&pressureView->analyzer->left, &pressureView->analyzer->right};
  for (int foot = 0; foot < 2; ++foot) {
    const FootAxis& a = *feet[foot];
    const int values[5] = {a.pointCount, a.heelX, a.heelY, a.toeX, a.toeY};
    std::memcpy(in.axes.data() + 5 * foot, values, sizeof values);
  }
  in.weightKg = typedBodyWeightKg();
  in.toneDensity = pressureView->filterValues().gen;
  if (pressureView->pressureCalibration)
    for (const LoadPoint& p : pressureView->pressureCalibration->curve.points) {
      in.curve.push_back(p.level);
      in.curve.push_back(p.kpa);
    }
  return in;
}

void PressureWindow::follow() {
  if (!shown()) return;
  Inputs now = currentInputs();
  if (everShown_ && now == shown_) return;
  everShown_ = true;
  shown_ = std::move(now);
  update();
}

void PressureWindow::update() {
  showsFigures_ = shown_.held;
  if (showsFigures_) {
    const StationPressure pressure = stationPressure();
    figures_ = pressure.figures;
    table_ = pressureTable(figures_);
    sourceText_ = "壓力來源：" + pressureSourceLabel(figures_.source);
    weightText_ = bodyWeightLine(figures_);
  } else {
    figures_ = {};
    table_ = {};
    sourceText_ = "即時畫面：按「取圖」後顯示這張畫面的壓力";
    weightText_.clear();
  }
  source->label(sourceText_.c_str());
  weight->label(weightText_.c_str());
  redraw();
}

void buildPressureWindow() { pressureWindow = new PressureWindow(); }

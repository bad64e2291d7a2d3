#include "pedalyx/imaging/sway_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pedalyx/imaging/measure_marks.h"

namespace {

constexpr double kCanvasWidthMm = kCanvasWidth * kMillimetresPerPixel;
constexpr double kCanvasHeightMm = kCanvasHeight * kMillimetresPerPixel;
constexpr int kEllipseSegments = 72;

PlotLine frameOf(const PlotArea& a) {
  return {SwayInk::Frame,
          {{a.left, a.bottom},
           {a.left + a.width, a.bottom},
           {a.left + a.width, a.bottom + a.height},
           {a.left, a.bottom + a.height},
           {a.left, a.bottom}}};
}

bool loaded(const std::vector<uint8_t>& levels, int x, int y) {
  if (x < 0 || y < 0 || x >= kCanvasWidth || y >= kCanvasHeight) return false;
  return levels[y * kCanvasWidth + x] != 0;
}

// Characters of a UTF-8 text (its bytes that do not continue a character).
int characterCount(const std::string& text) {
  int count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

std::string format(const char* pattern, double value) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

}  // namespace

InkColour inkColour(SwayInk ink) {
  switch (ink) {
    case SwayInk::Outline:
      return {150, 150, 150};
    case SwayInk::LeftFoot:
      return {30, 90, 220};
    case SwayInk::RightFoot:
      return {220, 60, 40};
    case SwayInk::Both:
      return {20, 20, 20};
    case SwayInk::Ellipse:
      return {0, 160, 60};
    case SwayInk::Frame:
      return {120, 120, 120};
    case SwayInk::ZeroLine:
      break;
  }
  return {200, 200, 200};
}

SwayPicture plateTracePicture(const SwayRecording& recording, const PlotArea& area) {
  SwayPicture picture;
  picture.lines.push_back(frameOf(area));
  const double scale = std::min(area.width / kCanvasWidthMm, area.height / kCanvasHeightMm);
  const double left = area.left + (area.width - scale * kCanvasWidthMm) / 2;
  const double bottom = area.bottom + (area.height - scale * kCanvasHeightMm) / 2;
  auto place = [&](PlatePoint p) { return PlatePoint{left + scale * p.x, bottom + scale * p.y}; };
  const std::vector<uint8_t>& levels = recording.lastLevels;
  if (levels.size() == size_t(kCanvasPixels)) {
    for (int y = 0; y < kCanvasHeight; ++y)
      for (int x = 0; x < kCanvasWidth; ++x)
        if (loaded(levels, x, y) && !(loaded(levels, x - 1, y) && loaded(levels, x + 1, y) &&
                                      loaded(levels, x, y - 1) && loaded(levels, x, y + 1)))
          picture.outlineDots.push_back(
              place({(x + 0.5) * kMillimetresPerPixel, (y + 0.5) * kMillimetresPerPixel}));
  }
  for (SwayPart part : {SwayPart::Left, SwayPart::Right, SwayPart::Both}) {
    PlotLine line{part == SwayPart::Left    ? SwayInk::LeftFoot
                  : part == SwayPart::Right ? SwayInk::RightFoot
                                            : SwayInk::Both,
                  {}};
    for (const SwaySample& s : recording.samples) line.points.push_back(place(pointOf(s, part)));
    picture.lines.push_back(std::move(line));
  }
  // The ellipse is known once the recording has ended.
  const SwayEllipse& e = recording.figures[static_cast<int>(SwayPart::Both)].ellipse;
  if (recording.recorded()) {
    PlotLine ring{SwayInk::Ellipse, {}};
    const double turn = e.angleDegrees * M_PI / 180;
    for (int i = 0; i <= kEllipseSegments; ++i) {
      const double t = 2 * M_PI * i / kEllipseSegments;
      const double u = e.semiMajor * std::cos(t), v = e.semiMinor * std::sin(t);
      ring.points.push_back(place({e.centre.x + u * std::cos(turn) - v * std::sin(turn),
                                   e.centre.y + u * std::sin(turn) + v * std::cos(turn)}));
    }
    picture.lines.push_back(std::move(ring));
  }
  return picture;
}

SwayPicture stabilogramPicture(const SwayRecording& recording, const PlotArea& area,
                               double labelSize, const std::string& title) {
  SwayPicture picture;
  const double stripHeight = area.height / 2;
  const PlotArea upper{area.left, area.bottom + stripHeight, area.width, stripHeight};
  const PlotArea lower{area.left, area.bottom, area.width, stripHeight};
  picture.lines.push_back(frameOf(upper));
  picture.lines.push_back(frameOf(lower));
  // The running mean and ranges of the samples so far: while recording the figures are still
  // zero; once it has ended they are these same values.
  PlatePoint mean;
  double reach = 0;
  if (!recording.samples.empty()) {
    PlatePoint low = recording.samples.front().both, high = low;
    for (const SwaySample& s : recording.samples) {
      mean.x += s.both.x;
      mean.y += s.both.y;
      low = {std::min(low.x, s.both.x), std::min(low.y, s.both.y)};
      high = {std::max(high.x, s.both.x), std::max(high.y, s.both.y)};
    }
    mean.x /= static_cast<double>(recording.samples.size());
    mean.y /= static_cast<double>(recording.samples.size());
    reach = std::max(high.x - low.x, high.y - low.y);
  }
  // The scale fits the larger range, in steps of 5 mm and never below 10 mm.
  const double halfRange = std::max(10.0, 5 * std::ceil(reach / 5));
  const SwayFigures& f = recording.figures[static_cast<int>(SwayPart::Both)];
  const double seconds = std::max(recording.plannedSeconds, f.seconds);
  for (const PlotArea* strip : {&upper, &lower}) {
    const double middle = strip->bottom + strip->height / 2;
    picture.lines.push_back(
        {SwayInk::ZeroLine, {{strip->left, middle}, {strip->left + strip->width, middle}}});
    const bool frontBack = strip == &upper;
    PlotLine line{SwayInk::Both, {}};
    for (const SwaySample& s : recording.samples) {
      const double deviation = frontBack ? s.both.y - mean.y : s.both.x - mean.x;
      const double along = seconds > 0 ? s.seconds / seconds : 0;
      line.points.push_back(
          {strip->left + along * strip->width,
           middle + std::clamp(deviation / halfRange, -1.0, 1.0) * strip->height / 2});
    }
    picture.lines.push_back(std::move(line));
  }
  // The title and the strip names in the strips' top left corners, the scale in the bottom left
  // corner, all starting a few units inside the frame. Only the title's width is known here:
  // each of its full-width characters is one label size wide.
  const double inset = 0.3 * labelSize;
  const double textX = area.left + inset;
  const double belowTop = labelSize + inset;
  const double upperBase = upper.bottom + upper.height - belowTop;
  double stripNameX = textX;
  if (!title.empty()) {
    picture.labels.push_back({textX, upperBase, title});
    stripNameX += (characterCount(title) + 1) * labelSize;
  }
  picture.labels.push_back({stripNameX, upperBase, "前後 (mm)"});
  picture.labels.push_back({textX, lower.bottom + lower.height - belowTop, "左右 (mm)"});
  picture.labels.push_back({textX, area.bottom + inset, format("±%.0f mm", halfRange)});
  return picture;
}

namespace {

using FigureOf = double (*)(const SwayFigures&);

struct FigureRow {
  const char* name;
  const char* pattern;
  FigureOf value;
  bool romberg;
};

const FigureRow kFigureRows[] = {
    {"軌跡長 (mm)", "%.1f", [](const SwayFigures& f) { return f.pathLength; }, true},
    {"平均速度 (mm/s)", "%.1f", [](const SwayFigures& f) { return f.meanVelocity; }, false},
    {"95% 橢圓面積 (mm²)", "%.1f", [](const SwayFigures& f) { return f.ellipse.area; }, true},
    {"橢圓長軸/短軸 (mm)", nullptr, nullptr, false},
    {"左右範圍 / RMS (mm)", nullptr, nullptr, false},
    {"前後範圍 / RMS (mm)", nullptr, nullptr, false},
    {"左足負重 (%)", nullptr, nullptr, false},
};

std::string pairText(const SwayFigures& f, int row) {
  char text[64];
  switch (row) {
    case 3:
      std::snprintf(text, sizeof text, "%.1f / %.1f  %.0f°", f.ellipse.semiMajor,
                    f.ellipse.semiMinor, f.ellipse.angleDegrees);
      break;
    case 4:
      std::snprintf(text, sizeof text, "%.1f / %.1f", f.rangeX, f.rmsX);
      break;
    case 5:
      std::snprintf(text, sizeof text, "%.1f / %.1f", f.rangeY, f.rmsY);
      break;
    default:
      std::snprintf(text, sizeof text, "%.1f ± %.1f", f.leftShareMean, f.leftShareSpread);
      break;
  }
  return text;
}

std::string cell(const SwayRecording& r, int row) {
  if (!r.recorded()) return "-";
  const SwayFigures& f = r.figures[static_cast<int>(SwayPart::Both)];
  const FigureRow& figure = kFigureRows[row];
  return figure.value != nullptr ? format(figure.pattern, figure.value(f)) : pairText(f, row);
}

}  // namespace

std::vector<SwayTableRow> swayFigureTable(const SwayRecording& eyesOpen,
                                          const SwayRecording& eyesClosed) {
  std::vector<SwayTableRow> rows;
  auto heading = [](const char* name, const SwayRecording& r) {
    return r.recorded()
               ? std::string(name) + format(" %.0f 秒", r.figures[int(SwayPart::Both)].seconds)
               : std::string(name);
  };
  rows.push_back({"重心搖擺", heading("睜眼", eyesOpen), heading("閉眼", eyesClosed), "Romberg"});
  const int count = static_cast<int>(sizeof kFigureRows / sizeof kFigureRows[0]);
  for (int row = 0; row < count; ++row) {
    const FigureRow& figure = kFigureRows[row];
    std::string quotient = "";
    if (figure.romberg) {
      quotient = "-";
      if (eyesOpen.recorded() && eyesClosed.recorded()) {
        const auto q = rombergQuotient(figure.value(eyesClosed.figures[int(SwayPart::Both)]),
                                       figure.value(eyesOpen.figures[int(SwayPart::Both)]));
        if (q) quotient = format("%.2f", *q);
      }
    }
    rows.push_back({figure.name, cell(eyesOpen, row), cell(eyesClosed, row), quotient});
  }
  return rows;
}

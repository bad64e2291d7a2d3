#include "pedalyx/imaging/gait_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pedalyx/imaging/gait_figure_names.h"
#include "pedalyx/imaging/measure_marks.h"

namespace {

// The foot's frame of the mean picture: from 20 mm behind the back of the heel upwards, the
// axis in the middle of the picture's width.
constexpr double kBehindHeelMm = 20;
constexpr double kPictureLengthMm = kGaitPictureHeight * kMillimetresPerPixel;
constexpr double kHalfWidthMm = kGaitPictureWidth * kMillimetresPerPixel / 2;

constexpr GaitColour kPhaseColours[4] = {
    {70, 130, 200}, {60, 170, 110}, {235, 175, 40}, {215, 75, 60}};

GaitColour levelColour(const unsigned char* table, int level) {
  if (table == nullptr) {
    const auto grey = static_cast<unsigned char>(level);
    return {grey, grey, grey};
  }
  return {table[3 * level], table[3 * level + 1], table[3 * level + 2]};
}

void putPixel(GaitPicture& p, int x, int row, GaitColour c) {
  unsigned char* rgb = p.rgb.data() + (static_cast<size_t>(row) * p.width + x) * 3;
  rgb[0] = c.red;
  rgb[1] = c.green;
  rgb[2] = c.blue;
}

// The peak picture's level at a continuous canvas point, between its four nearest pixels.
double levelAt(const LevelPatch& peak, double x, double y) {
  const double u = x - 0.5, v = y - 0.5;
  const int i = static_cast<int>(std::floor(u)), j = static_cast<int>(std::floor(v));
  const double fx = u - i, fy = v - j;
  return (1 - fy) * ((1 - fx) * peak.at(i, j) + fx * peak.at(i + 1, j)) +
         fy * ((1 - fx) * peak.at(i, j + 1) + fx * peak.at(i + 1, j + 1));
}

double alongOf(const FootAxisOnPrint& axis, CanvasPoint q) {
  return ((q.x - axis.heelBack.x) * axis.along.x + (q.y - axis.heelBack.y) * axis.along.y) *
         kMillimetresPerPixel;
}

// A point of the foot's frame (mm along the axis, mm across it medial positive) in the mean
// picture; the big toe's side lies right for the left foot.
PicturePoint footFramePoint(double alongMm, double acrossMm, FootSide side) {
  const double right = side == FootSide::Left ? acrossMm : -acrossMm;
  return {(right + kHalfWidthMm) / kMillimetresPerPixel,
          (kPictureLengthMm - kBehindHeelMm - alongMm) / kMillimetresPerPixel};
}

bool shownInMean(const GaitResults& r, size_t i, FootSide side) {
  return i < r.figures.size() && r.contacts[i].counted() && r.contacts[i].side() == side &&
         r.figures[i].valid;
}

std::string percentText(double share) {
  char text[16];
  std::snprintf(text, sizeof text, "%.0f%%", share);
  return text;
}

}  // namespace

GaitColour gaitInkColour(GaitInk ink) {
  switch (ink) {
    case GaitInk::GaitLine:
      return {255, 255, 255};
    case GaitInk::Axis:
      return {20, 20, 20};
    case GaitInk::WalkingDirection:
      return {150, 150, 150};
  }
  return {0, 0, 0};
}

GaitPicture contactPicture(const GaitResults& results, size_t index,
                           const unsigned char* colourTable) {
  GaitPicture p;
  if (index >= results.figures.size()) return p;
  const ContactFigures& f = results.figures[index];
  const LevelPatch& peak = f.peak;
  if (peak.width == 0 || peak.height == 0) return p;
  // A window of the fixed size centred on the print (larger for a print that needs it), so
  // every contact is shown at the same scale.
  p.width = std::min(kCanvasWidth, std::max(kGaitPictureWidth, peak.width + 8));
  p.height = std::min(kCanvasHeight, std::max(kGaitPictureHeight, peak.height + 8));
  const int x0 = std::clamp(peak.x0 + peak.width / 2 - p.width / 2, 0, kCanvasWidth - p.width);
  const int y0 = std::clamp(peak.y0 + peak.height / 2 - p.height / 2, 0, kCanvasHeight - p.height);
  p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
  for (int row = 0; row < p.height; ++row)
    for (int x = 0; x < p.width; ++x)
      putPixel(p, x, row, levelColour(colourTable, peak.at(x0 + x, y0 + p.height - 1 - row)));
  auto picturePoint = [&](CanvasPoint q) { return PicturePoint{q.x - x0, y0 + p.height - q.y}; };
  for (const GaitLinePoint& point : f.gaitLine) p.dots.push_back(picturePoint(point.centre));
  if (f.axis.found) {
    const CanvasPoint heel = f.axis.heelCentre, toe = f.axis.secondToeBase;
    const double length = std::hypot(toe.x - heel.x, toe.y - heel.y);
    const double heading = f.axis.along.y >= 0 ? 1 : -1;
    p.lines.push_back({GaitInk::WalkingDirection, picturePoint(heel),
                       picturePoint({heel.x, heel.y + heading * length})});
    p.lines.push_back({GaitInk::Axis, picturePoint(heel), picturePoint(toe)});
  }
  return p;
}

GaitPicture meanFootPicture(const GaitResults& results, FootSide side,
                            const unsigned char* colourTable) {
  GaitPicture p;
  std::vector<size_t> shown;
  for (size_t i = 0; i < results.contacts.size(); ++i)
    if (shownInMean(results, i, side)) shown.push_back(i);
  if (shown.empty()) return p;
  p.width = kGaitPictureWidth;
  p.height = kGaitPictureHeight;
  p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
  const double medialSign = side == FootSide::Left ? 1 : -1;
  double heelAlong = 0, toeAlong = 0;
  for (size_t i : shown) {
    heelAlong += alongOf(results.figures[i].axis, results.figures[i].axis.heelCentre);
    toeAlong += alongOf(results.figures[i].axis, results.figures[i].axis.secondToeBase);
  }
  heelAlong /= shown.size();
  toeAlong /= shown.size();
  for (int row = 0; row < p.height; ++row) {
    const double along = kPictureLengthMm - kBehindHeelMm - (row + 0.5) * kMillimetresPerPixel;
    for (int x = 0; x < p.width; ++x) {
      const double across = medialSign * ((x + 0.5) * kMillimetresPerPixel - kHalfWidthMm);
      double sum = 0;
      for (size_t i : shown) {
        const FootAxisOnPrint& a = results.figures[i].axis;
        const double u = along / kMillimetresPerPixel, v = across / kMillimetresPerPixel;
        sum += levelAt(results.figures[i].peak, a.heelBack.x + u * a.along.x + v * a.medial.x,
                       a.heelBack.y + u * a.along.y + v * a.medial.y);
      }
      const int level = std::clamp(static_cast<int>(std::lround(sum / shown.size())), 0, 255);
      putPixel(p, x, row, levelColour(colourTable, level));
    }
  }
  for (size_t i : shown)
    for (const GaitLinePoint& point : results.figures[i].gaitLine)
      p.dots.push_back(footFramePoint(point.alongMm, point.acrossMm, side));
  p.lines.push_back(
      {GaitInk::Axis, footFramePoint(heelAlong, 0, side), footFramePoint(toeAlong, 0, side)});
  return p;
}

std::vector<PhaseSegment> phaseBar(const std::array<double, 4>& shares, bool simplified) {
  std::vector<PhaseSegment> bar;
  double from = 0;
  for (int k = 0; k < 4; ++k) {
    const double share = std::isfinite(shares[k]) ? std::clamp(shares[k], 0.0, 100.0) : 0;
    const double to = std::min(1.0, from + share / 100);
    const auto figure =
        static_cast<GaitFigure>(static_cast<int>(GaitFigure::InitialContactShare) + k);
    bar.push_back(
        {from, to, kPhaseColours[k], gaitFigureText(figure, simplified), percentText(share)});
    from = to;
  }
  return bar;
}

std::array<double, 4> meanPhaseShares(const GaitSummary& summary, FootSide side) {
  std::array<double, 4> shares{};
  const auto& figures = side == FootSide::Left ? summary.left : summary.right;
  for (int k = 0; k < 4; ++k)
    shares[k] = figures[static_cast<int>(GaitFigure::InitialContactShare) + k].mean;
  return shares;
}

std::vector<LegendEntry> levelLegend(const unsigned char* colourTable, const PressureScale& scale,
                                     bool simplified) {
  std::vector<LegendEntry> legend;
  const bool kpa = scale.source != PressureSource::LevelsOnly;
  for (const LevelClassPressure& c : levelClassPressures(scale)) {
    char text[48];
    if (kpa)
      std::snprintf(text, sizeof text, "%.0f–%.0f kPa", c.lowestKpa, c.highestKpa);
    else
      std::snprintf(text, sizeof text, "%s %d–%d", simplified ? "级" : "級", c.lowestLevel,
                    c.highestLevel);
    legend.push_back({levelColour(colourTable, (c.lowestLevel + c.highestLevel) / 2), text});
  }
  return legend;
}

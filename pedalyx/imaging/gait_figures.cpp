#include "pedalyx/imaging/gait_figures.h"

#include <algorithm>
#include <cmath>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/measure_marks.h"

namespace {

// The heel is off the plate once its zones carry less than this share of their peak.
constexpr double kHeelOffShare = 0.10;

LevelPatch peakOf(const GaitContact& contact) {
  int x0 = kCanvasWidth, y0 = kCanvasHeight, x1 = 0, y1 = 0;
  for (const ContactFrame& f : contact.frames) {
    x0 = std::min(x0, f.levels.x0);
    y0 = std::min(y0, f.levels.y0);
    x1 = std::max(x1, f.levels.x0 + f.levels.width);
    y1 = std::max(y1, f.levels.y0 + f.levels.height);
  }
  LevelPatch peak;
  if (x1 <= x0 || y1 <= y0) return peak;
  peak = {x0, y0, x1 - x0, y1 - y0, {}};
  peak.levels.assign(static_cast<size_t>(peak.width) * peak.height, 0);
  for (const ContactFrame& f : contact.frames) {
    const LevelPatch& p = f.levels;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        uint8_t& v = peak.levels[static_cast<size_t>(p.y0 + y - y0) * peak.width + (p.x0 + x - x0)];
        v = std::max(v, p.levels[static_cast<size_t>(y) * p.width + x]);
      }
  }
  return peak;
}

GaitLinePoint centreOf(const ContactFrame& frame) {
  GaitLinePoint point;
  point.counter = frame.counter;
  const LevelPatch& p = frame.levels;
  double sumX = 0, sumY = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const int v = p.levels[static_cast<size_t>(y) * p.width + x];
      point.load += v;
      sumX += v * (p.x0 + x + 0.5);
      sumY += v * (p.y0 + y + 0.5);
    }
  if (point.load > 0) point.centre = {sumX / point.load, sumY / point.load};
  return point;
}

// Loads and highest levels of the six zones in one frame; zoneOfPixel is the station's zone
// map of the axis (markFootZones), whose left and right sides become medial and lateral.
void zoneLoads(const LevelPatch& p, const int8_t* zoneOfPixel, bool medialRight,
               GaitLinePoint& point) {
  for (int y = p.y0; y < p.y0 + p.height; ++y) {
    const uint8_t* row = p.levels.data() + static_cast<size_t>(y - p.y0) * p.width;
    const int8_t* zones = zoneOfPixel + y * kCanvasWidth;
    for (int x = p.x0; x < p.x0 + p.width; ++x) {
      const uint8_t v = row[x - p.x0];
      const int station = zones[x];
      if (v == 0 || station < 0) continue;
      const GaitZone zone = gaitZoneOf(station, medialRight);
      point.zoneLoad[zone] += v;
      point.zonePeak[zone] = std::max(point.zonePeak[zone], v);
    }
  }
}

int floorToPixel(double coordinate) { return static_cast<int>(std::floor(coordinate)); }

}  // namespace

FootAxis stationZoneAxis(const FootAxisOnPrint& axis) {
  FootAxis zoneAxis;
  zoneAxis.heelX = floorToPixel(axis.heelBack.x);
  zoneAxis.heelY = floorToPixel(axis.heelBack.y);
  zoneAxis.toeX = floorToPixel(axis.secondToeBase.x);
  zoneAxis.toeY = floorToPixel(axis.secondToeBase.y);
  zoneAxis.pointCount = 2;
  return zoneAxis;
}

bool medialZonesOnRight(FootSide side, const FootAxis& zoneAxis) {
  // The medial side is the right of the heading for a left foot.
  return (side == FootSide::Left) == (zoneAxis.toeY > zoneAxis.heelY);
}

GaitZone gaitZoneOf(int stationZone, bool medialRight) {
  const bool right = stationZone % 2 == 1;
  return static_cast<GaitZone>(stationZone - stationZone % 2 + (right == medialRight ? 0 : 1));
}

FigureSpread spreadOf(const std::vector<double>& values) {
  FigureSpread s;
  s.count = static_cast<int>(values.size());
  if (values.empty()) return s;
  for (double v : values) s.mean += v;
  s.mean /= values.size();
  if (values.size() > 1) {
    double squares = 0;
    for (double v : values) squares += (v - s.mean) * (v - s.mean);
    s.spread = std::sqrt(squares / (values.size() - 1));
  }
  return s;
}

ContactPhases contactPhases(const std::vector<GaitLinePoint>& line, double framePeriod) {
  ContactPhases phases;
  if (line.empty()) return phases;
  const double start = line.front().seconds;
  phases.endSeconds = line.back().seconds - start + framePeriod;
  auto forefoot = [](const GaitLinePoint& p, int zone) { return p.zoneLoad[zone] > 0; };
  auto heel = [](const GaitLinePoint& p) {
    return p.zoneLoad[kHeelMedial] + p.zoneLoad[kHeelLateral];
  };
  const size_t n = line.size();
  size_t first = 0;
  while (first < n && !forefoot(line[first], kForefootMedial) &&
         !forefoot(line[first], kForefootLateral))
    ++first;
  size_t both = first;
  while (both < n &&
         !(forefoot(line[both], kForefootMedial) && forefoot(line[both], kForefootLateral)))
    ++both;
  size_t peakFrame = 0;
  for (size_t i = 1; i < n; ++i)
    if (heel(line[i]) > heel(line[peakFrame])) peakFrame = i;
  const double heelPeak = static_cast<double>(heel(line[peakFrame]));
  // A heel that never carried load is off from the start of foot flat.
  size_t off = both;
  if (heelPeak > 0) {
    off = std::max(both, peakFrame + 1);
    while (off < n && heel(line[off]) >= kHeelOffShare * heelPeak) ++off;
  }
  auto at = [&](size_t i) { return i < n ? line[i].seconds - start : phases.endSeconds; };
  phases.forefootSeconds = at(first);
  phases.bothHalvesSeconds = at(both);
  phases.heelOffSeconds = at(off);
  phases.heelLifted = off < n;
  const double bounds[5] = {0, phases.forefootSeconds, phases.bothHalvesSeconds,
                            phases.heelOffSeconds, phases.endSeconds};
  for (int k = 0; k < 4; ++k)
    phases.share[k] =
        phases.endSeconds > 0 ? 100.0 * (bounds[k + 1] - bounds[k]) / phases.endSeconds : 0;
  return phases;
}

ContactFigures computeContactFigures(const GaitContact& contact, double framePeriod) {
  ContactFigures f;
  if (contact.frames.empty()) return f;
  const double start = contact.frames.front().seconds;
  f.contactMs = 1000.0 * (contact.frames.back().seconds - start + framePeriod);
  f.peak = peakOf(contact);
  for (const ContactFrame& frame : contact.frames) {
    f.gaitLine.push_back(centreOf(frame));
    f.gaitLine.back().seconds = frame.seconds - start;
  }
  const FootSide side = contact.side();
  f.axis = findFootAxis(f.peak, f.gaitLine.front().centre, f.gaitLine.back().centre, side);
  if (!f.axis.found) return f;
  f.valid = true;
  const FootAxisOnPrint& axis = f.axis;
  const FootAxis stationAxis = stationZoneAxis(axis);
  std::vector<int8_t> zoneOfPixel(kCanvasPixels, -1);
  markFootZones(stationAxis, zoneOfPixel.data());
  const bool medialRight = medialZonesOnRight(side, stationAxis);
  for (size_t i = 0; i < contact.frames.size(); ++i) {
    GaitLinePoint& point = f.gaitLine[i];
    zoneLoads(contact.frames[i].levels, zoneOfPixel.data(), medialRight, point);
    const CanvasPoint d{point.centre.x - axis.heelBack.x, point.centre.y - axis.heelBack.y};
    point.alongMm = (d.x * axis.along.x + d.y * axis.along.y) * kMillimetresPerPixel;
    point.acrossMm = (d.x * axis.medial.x + d.y * axis.medial.y) * kMillimetresPerPixel;
    if (i > 0) {
      const CanvasPoint& a = f.gaitLine[i - 1].centre;
      f.gaitLineMm += std::hypot(point.centre.x - a.x, point.centre.y - a.y) * kMillimetresPerPixel;
    }
    f.medialExcursionMm = std::max(f.medialExcursionMm, point.acrossMm);
    f.lateralExcursionMm = std::max(f.lateralExcursionMm, -point.acrossMm);
  }
  // The walking direction is the canvas's long axis, pointing from heel to toe; a left foot's
  // toe-out turns its axis counter-clockwise from it.
  const double walking = axis.along.y >= 0 ? 1.0 : -1.0;
  const double turn = std::atan2(-walking * axis.along.x, walking * axis.along.y) * 180.0 / M_PI;
  f.progressionDegrees = side == FootSide::Left ? turn : -turn;
  f.phases = contactPhases(f.gaitLine, framePeriod);
  int64_t total = 0;
  std::array<int64_t, kGaitZoneCount> sums{};
  int64_t pushMedial = 0, pushForefoot = 0;
  for (const GaitLinePoint& point : f.gaitLine) {
    for (int z = 0; z < kGaitZoneCount; ++z) {
      sums[z] += point.zoneLoad[z];
      total += point.zoneLoad[z];
      f.zones[z].peakLevel = std::max<int>(f.zones[z].peakLevel, point.zonePeak[z]);
      f.zones[z].levelSeconds += point.zonePeak[z] * framePeriod;
    }
    if (f.phases.heelLifted && point.seconds >= f.phases.heelOffSeconds) {
      pushMedial += point.zoneLoad[kForefootMedial];
      pushForefoot += point.zoneLoad[kForefootMedial] + point.zoneLoad[kForefootLateral];
    }
  }
  for (int z = 0; z < kGaitZoneCount; ++z)
    f.zones[z].loadShare = total > 0 ? 100.0 * static_cast<double>(sums[z]) / total : 0;
  if (pushForefoot > 0)
    f.pushOffMedialShare = 100.0 * static_cast<double>(pushMedial) / pushForefoot;
  return f;
}

std::optional<double> figureValue(const ContactFigures& f, GaitFigure figure) {
  if (!f.valid) return std::nullopt;
  switch (figure) {
    case GaitFigure::ContactMs:
      return f.contactMs;
    case GaitFigure::LengthMm:
      return f.axis.lengthMm;
    case GaitFigure::WidthMm:
      return f.axis.widthMm;
    case GaitFigure::ProgressionDegrees:
      return f.progressionDegrees;
    case GaitFigure::GaitLineMm:
      return f.gaitLineMm;
    case GaitFigure::MedialExcursionMm:
      return f.medialExcursionMm;
    case GaitFigure::LateralExcursionMm:
      return f.lateralExcursionMm;
    case GaitFigure::InitialContactShare:
    case GaitFigure::ForefootContactShare:
    case GaitFigure::FootFlatShare:
    case GaitFigure::PushOffShare:
      return f.phases
          .share[static_cast<int>(figure) - static_cast<int>(GaitFigure::InitialContactShare)];
    case GaitFigure::HeelMedialShare:
    case GaitFigure::HeelLateralShare:
    case GaitFigure::MidfootMedialShare:
    case GaitFigure::MidfootLateralShare:
    case GaitFigure::ForefootMedialShare:
    case GaitFigure::ForefootLateralShare:
      return f.zones[static_cast<int>(figure) - static_cast<int>(GaitFigure::HeelMedialShare)]
          .loadShare;
    case GaitFigure::PushOffMedialShare:
      return f.pushOffMedialShare;
  }
  return std::nullopt;
}

std::optional<double> GaitSummary::difference(GaitFigure figure) const {
  const FigureSpread& l = left[static_cast<int>(figure)];
  const FigureSpread& r = right[static_cast<int>(figure)];
  if (l.count == 0 || r.count == 0) return std::nullopt;
  return l.mean - r.mean;
}

GaitSummary summariseGait(const std::vector<GaitContact>& contacts,
                          const std::vector<ContactFigures>& figures) {
  GaitSummary summary;
  for (int k = 0; k < kGaitFigureCount; ++k) {
    for (FootSide side : {FootSide::Left, FootSide::Right}) {
      std::vector<double> values;
      for (size_t i = 0; i < contacts.size() && i < figures.size(); ++i) {
        if (!contacts[i].counted() || contacts[i].side() != side) continue;
        if (std::optional<double> v = figureValue(figures[i], static_cast<GaitFigure>(k)))
          values.push_back(*v);
      }
      (side == FootSide::Left ? summary.left : summary.right)[k] = spreadOf(values);
    }
  }
  return summary;
}

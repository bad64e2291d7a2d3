#include "pedalyx/imaging/gait_pressure.h"

#include <algorithm>

namespace {

// The contact's pixels of one frame on an otherwise empty canvas; `clear` takes them off again.
void drawPatch(const LevelPatch& patch, uint8_t* canvas) {
  for (int y = 0; y < patch.height; ++y)
    std::copy_n(patch.levels.data() + static_cast<size_t>(y) * patch.width, patch.width,
                canvas + (patch.y0 + y) * kCanvasWidth + patch.x0);
}

void clearPatch(const LevelPatch& patch, uint8_t* canvas) {
  for (int y = 0; y < patch.height; ++y)
    std::fill_n(canvas + (patch.y0 + y) * kCanvasWidth + patch.x0, patch.width, uint8_t{0});
}

int64_t loadOf(const LevelPatch& patch) {
  int64_t load = 0;
  for (uint8_t v : patch.levels) load += v;
  return load;
}

}  // namespace

std::optional<double> kpaFigureValue(const ContactKpa& contact, int region, GaitKpaFigure figure) {
  if (!contact.measured || region < 0 || region >= kGaitKpaRegions) return std::nullopt;
  const PressureOverTime& r = region == kGaitKpaFootRegion ? contact.foot : contact.zones[region];
  return figure == GaitKpaFigure::Peak ? r.peakKpa : r.pressureTimeIntegralKpaS;
}

std::optional<double> GaitPressures::difference(int region, GaitKpaFigure figure) const {
  const FigureSpread& l = spread(FootSide::Left, region, figure);
  const FigureSpread& r = spread(FootSide::Right, region, figure);
  if (l.count == 0 || r.count == 0) return std::nullopt;
  return l.mean - r.mean;
}

PressureScale walkingPressureScale(const GaitResults& results,
                                   const PressureCalibration* calibration, double toneDensity,
                                   double bodyWeightKg) {
  if (calibration != nullptr) return calibratedScale(*calibration, toneDensity);
  if (!bodyWeightUsable(bodyWeightKg)) return PressureScale{};
  // The heaviest frame of each complete contact; the middle one of them stands for the weight,
  // so that one stamp or one contact cut short does not set the scale.
  std::vector<std::pair<int64_t, const LevelPatch*>> heaviest;
  for (const GaitContact& contact : results.contacts) {
    if (!contact.complete() || contact.frames.empty()) continue;
    std::pair<int64_t, const LevelPatch*> best{-1, nullptr};
    for (const ContactFrame& frame : contact.frames) {
      const int64_t load = loadOf(frame.levels);
      if (load > best.first) best = {load, &frame.levels};
    }
    heaviest.push_back(best);
  }
  if (heaviest.empty()) return PressureScale{};
  std::nth_element(heaviest.begin(), heaviest.begin() + heaviest.size() / 2, heaviest.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<uint8_t> canvas(kCanvasPixels, 0);
  drawPatch(*heaviest[heaviest.size() / 2].second, canvas.data());
  return bodyWeightScale(canvas.data(), bodyWeightKg);
}

ContactKpa contactKpa(const GaitContact& contact, const ContactFigures& figures,
                      const PressureScale& scale) {
  ContactKpa out;
  if (scale.source == PressureSource::LevelsOnly || !figures.valid || contact.frames.empty())
    return out;
  const FootAxis zoneAxis = stationZoneAxis(figures.axis);
  // The foot's region is the canvas half its heel landed in: its pixels lie there.
  ContactPressure pressure(zoneAxis, contact.heelSide == FootSide::Left, scale);
  if (!pressure.zonesMeasured()) return out;
  std::vector<uint8_t> canvas(kCanvasPixels, 0);
  for (const ContactFrame& frame : contact.frames) {
    drawPatch(frame.levels, canvas.data());
    pressure.addFrame(canvas.data(), frame.seconds);
    clearPatch(frame.levels, canvas.data());
  }
  out.measured = true;
  out.foot = pressure.foot();
  const bool medialRight = medialZonesOnRight(contact.side(), zoneAxis);
  for (int station = 0; station < kGaitZoneCount; ++station)
    out.zones[gaitZoneOf(station, medialRight)] = pressure.zone(station);
  return out;
}

GaitPressures gaitPressures(const GaitResults& results, const PressureScale& scale) {
  GaitPressures out;
  out.scale = scale;
  for (size_t i = 0; i < results.contacts.size() && i < results.figures.size(); ++i)
    out.contacts.push_back(contactKpa(results.contacts[i], results.figures[i], scale));
  for (int region = 0; region < kGaitKpaRegions; ++region) {
    for (GaitKpaFigure figure : {GaitKpaFigure::Peak, GaitKpaFigure::Integral}) {
      for (FootSide side : {FootSide::Left, FootSide::Right}) {
        std::vector<double> values;
        for (size_t i = 0; i < out.contacts.size(); ++i) {
          const GaitContact& c = results.contacts[i];
          if (!c.counted() || c.side() != side) continue;
          if (std::optional<double> v = kpaFigureValue(out.contacts[i], region, figure))
            values.push_back(*v);
        }
        (side == FootSide::Left ? out.left : out.right)[region][static_cast<int>(figure)] =
            spreadOf(values);
      }
    }
  }
  return out;
}

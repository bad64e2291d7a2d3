// The walking figures in kPa where the plate has a pressure scale: per contact and zone the
// highest pressure and the pressure-time integral, and their means per foot. The scale is the
// load calibration when one is stored, else the customer's body weight carried by one foot.
// Plain logic.
#pragma once
#include <optional>
#include <vector>

#include "pedalyx/imaging/contact_pressure.h"
#include "pedalyx/imaging/gait_recorder.h"

struct ContactKpa {
  bool measured = false;  // a scale with pressures, and zones on the contact's axis
  PressureOverTime foot;  // the whole contact
  std::array<PressureOverTime, kGaitZoneCount> zones{};
};

// The kPa figures the per-foot table holds: the foot's and each zone's highest pressure, and
// their pressure-time integrals.
enum class GaitKpaFigure { Peak, Integral };
constexpr int kGaitKpaRegions = kGaitZoneCount + 1;  // the six zones, then the whole foot
constexpr int kGaitKpaFootRegion = kGaitZoneCount;
std::optional<double> kpaFigureValue(const ContactKpa& contact, int region, GaitKpaFigure figure);

struct GaitPressures {
  PressureScale scale;               // LevelsOnly: the recording has no kPa figures
  std::vector<ContactKpa> contacts;  // one per contact of the recording
  // Over each foot's counted contacts: [region][0] highest pressure, [region][1] integral.
  std::array<std::array<FigureSpread, 2>, kGaitKpaRegions> left{}, right{};
  bool hasPressures() const { return scale.source != PressureSource::LevelsOnly; }
  const FigureSpread& spread(FootSide side, int region, GaitKpaFigure figure) const {
    return (side == FootSide::Left ? left : right)[region][static_cast<int>(figure)];
  }
  // Left mean minus right mean; nothing unless both feet have the figure.
  std::optional<double> difference(int region, GaitKpaFigure figure) const;
};

// The station's rule for a walking recording: the calibration when one is given (levels read
// at `toneDensity`), else the body weight (kg) when it is usable, spread over the heaviest
// frame of the middle complete contact (one foot then carries the whole body), else levels only.
PressureScale walkingPressureScale(const GaitResults& results,
                                   const PressureCalibration* calibration, double toneDensity,
                                   double bodyWeightKg);

// The kPa figures of one contact, its frames through the scale.
ContactKpa contactKpa(const GaitContact& contact, const ContactFigures& figures,
                      const PressureScale& scale);

// Every contact's kPa figures and the means per foot (nothing measured without pressures).
GaitPressures gaitPressures(const GaitResults& results, const PressureScale& scale);

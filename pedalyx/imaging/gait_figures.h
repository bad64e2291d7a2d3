// The figures of one walking contact, from the levels of its frames, and their means over each
// foot's contacts. Plain logic; millimetres on the plate (1.07 mm per canvas pixel), times
// from the frames' capture times. Loads are sums of levels: with a pressure for each level
// (a calibrated plate) the same sums give forces, and the zones' highest levels peak
// pressures and pressure-time integrals.
#pragma once
#include <array>
#include <optional>
#include <vector>

#include "pedalyx/imaging/gait_axis.h"

struct FootAxis;

// The station's six zones (heel, middle and forefoot thirds of the axis, each split by the
// axis), named by the foot's own sides.
enum GaitZone {
  kHeelMedial = 0,
  kHeelLateral,
  kMidfootMedial,
  kMidfootLateral,
  kForefootMedial,
  kForefootLateral,
  kGaitZoneCount
};

// One frame of the gait line.
struct GaitLinePoint {
  int64_t counter = 0;
  double seconds = 0;                              // from the contact's first frame
  CanvasPoint centre;                              // centre of pressure, canvas pixels
  double alongMm = 0;                              // from the back of the heel along the axis
  double acrossMm = 0;                             // from the axis, medial positive
  int64_t load = 0;                                // sum of the contact's levels in the frame
  std::array<int64_t, kGaitZoneCount> zoneLoad{};  // sums of levels per zone
  std::array<uint8_t, kGaitZoneCount> zonePeak{};  // highest level per zone
};

// The four phases. Each boundary is the capture time of the first frame that meets it, from the
// contact's first frame; a boundary never met falls on the contact's end.
struct ContactPhases {
  double forefootSeconds = 0;    // first load in the forefoot zones: initial contact ends
  double bothHalvesSeconds = 0;  // both forefoot zones loaded: forefoot contact ends
  double heelOffSeconds = 0;     // heel zones below 10 % of their peak: foot flat ends
  double endSeconds = 0;         // the contact time: push-off ends
  bool heelLifted = false;       // the heel came off before the last frame
  // Initial contact, forefoot contact, foot flat, push-off: percent of the contact time.
  std::array<double, 4> share{};
};

struct ZoneLoad {
  double loadShare = 0;     // percent of the contact's load in the six zones
  int peakLevel = 0;        // the highest level the zone carried
  double levelSeconds = 0;  // the zone's highest level of each frame times the frame period
};

struct ContactFigures {
  bool valid = false;  // the print had an axis
  double contactMs = 0;
  LevelPatch peak;  // highest level of each pixel over the contact
  FootAxisOnPrint axis;
  std::vector<GaitLinePoint> gaitLine;  // every frame of the contact
  double gaitLineMm = 0;                // the path of the centre of pressure
  double medialExcursionMm = 0;         // farthest the gait line went medial of the axis
  double lateralExcursionMm = 0;
  double progressionDegrees = 0;  // axis against the walking direction, toe-out positive
  ContactPhases phases;
  std::array<ZoneLoad, kGaitZoneCount> zones{};
  // Percent of the forefoot's load on its medial zone during push-off; nothing without push-off.
  std::optional<double> pushOffMedialShare;
};

// The station's zone map (markFootZones) placed on a print's axis: from the back of the heel to
// the second toe's base. Its zones are split by the picture's left and right; the foot's
// medial zones are its right-hand ones when medialZonesOnRight holds.
FootAxis stationZoneAxis(const FootAxisOnPrint& axis);
bool medialZonesOnRight(FootSide side, const FootAxis& zoneAxis);
// The walking zone of a station zone (0..5, numbered as FootAxis::zoneShare).
GaitZone gaitZoneOf(int stationZone, bool medialRight);

// Phase shares of a contact's heel and forefoot loads per frame (the phase rule on its own).
ContactPhases contactPhases(const std::vector<GaitLinePoint>& line, double framePeriod);

// Every figure of one contact; `framePeriod` is the camera's (each frame stands for one
// period, so a contact seen in n frames lasts n periods).
ContactFigures computeContactFigures(const GaitContact& contact, double framePeriod);

// The figures the per-foot means are made of, in the order of the tables.
enum class GaitFigure {
  ContactMs,
  LengthMm,
  WidthMm,
  ProgressionDegrees,
  GaitLineMm,
  MedialExcursionMm,
  LateralExcursionMm,
  InitialContactShare,
  ForefootContactShare,
  FootFlatShare,
  PushOffShare,
  HeelMedialShare,
  HeelLateralShare,
  MidfootMedialShare,
  MidfootLateralShare,
  ForefootMedialShare,
  ForefootLateralShare,
  PushOffMedialShare,
};
constexpr int kGaitFigureCount = static_cast<int>(GaitFigure::PushOffMedialShare) + 1;

std::optional<double> figureValue(const ContactFigures& figures, GaitFigure figure);

struct FigureSpread {
  int count = 0;
  double mean = 0;
  double spread = 0;  // sample standard deviation; 0 for one contact
};

// Mean and sample standard deviation of some values.
FigureSpread spreadOf(const std::vector<double>& values);

struct GaitSummary {
  std::array<FigureSpread, kGaitFigureCount> left{}, right{};
  // Left mean minus right mean; nothing unless both feet have the figure.
  std::optional<double> difference(GaitFigure figure) const;
};

// Means over each foot's counted contacts (complete and not dropped) with valid figures.
GaitSummary summariseGait(const std::vector<GaitContact>& contacts,
                          const std::vector<ContactFigures>& figures);

// Pressure over time under one foot contact (a step of the customer walking over the plate):
// per zone and for the whole foot, the highest pressure of the contact and the pressure-time
// integral, fed one level image at a time so no frame is kept.
#pragma once
#include <cstdint>
#include <vector>

#include "pedalyx/imaging/pressure_figures.h"

struct PressureOverTime {
  double peakKpa = 0;  // highest pressure of any pixel at any time
  // Integral over time of the region's peak pressure (kPa · s), trapezoids between frames.
  double pressureTimeIntegralKpaS = 0;
};

class ContactPressure {
 public:
  // The zones of `axis` (placed on the contact's peak picture) and the foot's canvas half.
  ContactPressure(const FootAxis& axis, bool leftFoot, const PressureScale& scale);

  // One frame of the contact at `seconds`. Refused (false, nothing added) when the time is not
  // finite or does not come after the last frame's.
  bool addFrame(const uint8_t* levels, double seconds);

  const PressureOverTime& foot() const { return regions_[kFootRegion]; }
  const PressureOverTime& zone(int zone) const { return regions_[zone]; }
  bool zonesMeasured() const { return zonesMeasured_; }
  int frames() const { return frames_; }

 private:
  static constexpr int kFootRegion = 6;
  std::vector<int8_t> regionOf_;  // per pixel: zone 0..5, kFootRegion, or -1 outside the foot
  PressureScale scale_;
  bool zonesMeasured_ = false;
  PressureOverTime regions_[7];
  double lastPeak_[7] = {};
  double lastSeconds_ = 0;
  int frames_ = 0;
};

#include "pedalyx/imaging/contact_pressure.h"

#include <algorithm>
#include <cmath>

ContactPressure::ContactPressure(const FootAxis& axis, bool leftFoot, const PressureScale& scale)
    : regionOf_(kCanvasPixels, -1), scale_(scale) {
  if (axis.pointCount == 2) zonesMeasured_ = markFootZones(axis, regionOf_.data());
  if (!zonesMeasured_) std::fill(regionOf_.begin(), regionOf_.end(), int8_t{-1});
  // The foot's own pixels outside its six zones (toes, behind the heel) count for the foot only.
  const int firstColumn = leftFoot ? 0 : kCanvasHalfWidth;
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = firstColumn; x < firstColumn + kCanvasHalfWidth; ++x) {
      int8_t& region = regionOf_[x + kCanvasWidth * y];
      if (region < 0) region = kFootRegion;
    }
  }
}

bool ContactPressure::addFrame(const uint8_t* levels, double seconds) {
  if (!std::isfinite(seconds) || (frames_ > 0 && seconds <= lastSeconds_)) return false;
  double peak[7] = {};
  for (int k = 0; k < kCanvasPixels; ++k) {
    const int region = regionOf_[k];
    if (region < 0 || levels[k] == 0) continue;
    const double kpa = scale_.kpaOfLevel[levels[k]];
    peak[region] = std::max(peak[region], kpa);
  }
  // A zone's pixels belong to the foot as well.
  for (int zone = 0; zone < 6; ++zone) peak[kFootRegion] = std::max(peak[kFootRegion], peak[zone]);
  for (int region = 0; region < 7; ++region) {
    PressureOverTime& r = regions_[region];
    r.peakKpa = std::max(r.peakKpa, peak[region]);
    if (frames_ > 0)
      r.pressureTimeIntegralKpaS +=
          (lastPeak_[region] + peak[region]) / 2 * (seconds - lastSeconds_);
    lastPeak_[region] = peak[region];
  }
  lastSeconds_ = seconds;
  ++frames_;
  return true;
}

#include "pedalyx/capture/foot_shape.h"

#include <algorithm>
#include <cmath>

namespace {

// A rounded pad: flat-topped and falling to 0 at its rim, like the contact print of soft
// tissue under load.
double pad(double peak, double q) { return q >= 1.0 ? 0.0 : peak * (1.0 - q * q); }

double ellipse(double peak, double cu, double cv, double ru, double rv, double u, double v) {
  double du = (u - cu) / ru;
  double dv = (v - cv) / rv;
  return pad(peak, du * du + dv * dv);
}

// A band of radius r around the segment (u0, v0)-(u1, v1).
double band(double peak, double u0, double v0, double u1, double v1, double r, double u, double v) {
  double su = u1 - u0;
  double sv = v1 - v0;
  double t = std::clamp(((u - u0) * su + (v - v0) * sv) / (su * su + sv * sv), 0.0, 1.0);
  double du = u - (u0 + t * su);
  double dv = v - (v0 + t * sv);
  return pad(peak, (du * du + dv * dv) / (r * r));
}

struct Blob {
  double peak, u, v, ru, rv;
};

// Metatarsal heads 1 (big-toe side) to 5, then the toes. In quiet standing a foot carries
// about 60 % of its load under the heel, 8 % under the midfoot, 28 % under the metatarsal
// heads and 4 % under the toes (docs/optical-model.md gives the source); the peaks below are
// set so that the drawn load keeps those proportions.
constexpr Blob kForefoot[] = {
    {0.60, 27, 182, 14, 15},  {0.71, 11, 186, 12, 15},  {0.66, -3, 182, 12, 14},
    {0.53, -16, 175, 11, 13}, {0.45, -28, 165, 11, 13}, {0.23, 26, 229, 12, 15},
    {0.15, 8, 229, 7, 9},     {0.14, -4, 223, 6, 8},    {0.12, -15, 215, 6, 7},
    {0.11, -25, 205, 6, 7},
};

}  // namespace

double footLoad(ArchType arch, double u, double v) {
  if (v < -5 || v > kFootLengthMm + 5 || std::abs(u) > 60) return 0.0;
  double load = ellipse(1.0, -2, 40, 31, 40, u, v);            // heel
  load = std::max(load, ellipse(0.45, 0, 177, 41, 21, u, v));  // forefoot pad
  for (const Blob& b : kForefoot)
    load = std::max(load, ellipse(b.peak, b.u, b.v, b.ru, b.rv, u, v));
  switch (arch) {
    case ArchType::Normal:
      load = std::max(load, band(0.19, -14, 60, -26, 160, 16, u, v));
      break;
    case ArchType::Flat:
      // The band spreads over the arch: the whole midfoot touches the plate.
      load = std::max(load, band(0.23, -14, 60, -26, 160, 17, u, v));
      load = std::max(load, band(0.20, 4, 70, 6, 160, 25, u, v));
      break;
    case ArchType::High:
      // Only a thin lateral rim, broken in its middle.
      load = std::max(load, band(0.14, -19, 62, -24, 95, 9, u, v));
      load = std::max(load, band(0.14, -27, 130, -29, 160, 9, u, v));
      break;
  }
  return std::clamp(load, 0.0, 1.0);
}
